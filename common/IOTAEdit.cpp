#include "IOTAEdit.h"

#include "radio/KeyFilters.h"

TIOTAEdit::TIOTAEdit(QWidget *parent) : TFilteredLineEdit(parent)
{
    setMaxLength(5);
}

void TIOTAEdit::filterKey(QChar &key)
{
    IOTAKeyFilter(key, insertPosition());
}

void TIOTAEdit::formatOnExit()
{
    QString t = text();
    if (t.size() == 3 || t.size() == 4) {
        t.insert(2, QString(5 - t.size(), u'0'));
        setTextIfChanged(t);
    }
}
