#include "DateEdit.h"

#include "base/Formats.h"
#include "radio/KeyFilters.h"

TDateEdit::TDateEdit(QWidget *parent) : TFilteredLineEdit(parent)
{
    setMaxLength(10);
}

QDate TDateEdit::Date() const
{
    QDate date;
    return Formats::tryStrToDate(text(), date) ? date : QDate();
}

void TDateEdit::SetDate(const QDate &date)
{
    setText(date.isValid() ? Formats::dateToStr(date) : QString());
}

void TDateEdit::filterKey(QChar &key)
{
    applyTypingAid(key, DateKeyFilter);
}

void TDateEdit::formatOnExit()
{
    QDate date;
    if (Formats::tryStrToDate(text(), date))
        setTextIfChanged(Formats::dateToStr(date));
}
