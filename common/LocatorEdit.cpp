#include "LocatorEdit.h"

#include "radio/KeyFilters.h"

TLocatorEdit::TLocatorEdit(QWidget *parent) : TFilteredLineEdit(parent)
{
    setMaxLength(6);
}

void TLocatorEdit::filterKey(QChar &key)
{
    const int caret = insertPosition();
    LocatorKeyFilter(key, caret); // letters and digits by position, upper case
    if (key.isNull())
        return;
    // The shared filter takes any letter; a field letter ends at R, a subsquare at X.
    const bool field = caret <= 1;
    const bool subsquare = caret == 4 || caret == 5;
    if ((field && key > u'R') || (subsquare && key > u'X'))
        key = KeyNull;
}
