#include "TimeEdit.h"

#include "base/Formats.h"
#include "radio/KeyFilters.h"

TTimeEdit::TTimeEdit(QWidget *parent) : TFilteredLineEdit(parent)
{
    setMaxLength(8);
}

QTime TTimeEdit::Time() const
{
    QTime time;
    return Formats::tryStrToTime(text(), time) ? time : QTime();
}

void TTimeEdit::SetTime(const QTime &time)
{
    setText(time.isValid() ? Formats::timeToStr(time) : QString());
}

void TTimeEdit::filterKey(QChar &key)
{
    applyTypingAid(key, TimeKeyFilter);
}

void TTimeEdit::formatOnExit()
{
    QTime time;
    if (Formats::tryStrToTime(text(), time))
        setTextIfChanged(Formats::timeToStr(time));
}
