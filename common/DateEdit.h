#pragma once
// Edit field for a date "dd.mm.yyyy": the dots come by themselves while typing, and on
// leaving the field a date such as 1.2.2007 becomes 01.02.2007. Text that is no date
// stays as typed, for the field check to report.

#include "FilteredLineEdit.h"

#include <QDate>

class TDateEdit : public TFilteredLineEdit
{
    Q_OBJECT
    Q_PROPERTY(QDate Date READ Date WRITE SetDate)
public:
    explicit TDateEdit(QWidget *parent = nullptr);

    // The date the text holds; invalid when it holds none (also when empty).
    QDate Date() const;
    // Shows the date as "dd.mm.yyyy"; an invalid date empties the field.
    void SetDate(const QDate &date);

    void formatOnExit() override;

protected:
    void filterKey(QChar &key) override;
};
