#pragma once
// Edit field for a time "hh:nn:ss": the colons come by themselves while typing, and on
// leaving the field a time such as 9:5 becomes 09:05:00. Text that is no time stays as
// typed, for the field check to report.

#include "FilteredLineEdit.h"

#include <QTime>

class TTimeEdit : public TFilteredLineEdit
{
    Q_OBJECT
    Q_PROPERTY(QTime Time READ Time WRITE SetTime)
public:
    explicit TTimeEdit(QWidget *parent = nullptr);

    // The time the text holds; invalid when it holds none (also when empty).
    QTime Time() const;
    // Shows the time as "hh:nn:ss"; an invalid time empties the field.
    void SetTime(const QTime &time);

    void formatOnExit() override;

protected:
    void filterKey(QChar &key) override;
};
