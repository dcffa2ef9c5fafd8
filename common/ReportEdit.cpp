#include "ReportEdit.h"

#include "radio/KeyFilters.h"

TReportEdit::TReportEdit(QWidget *parent) : TFilteredLineEdit(parent)
{
    setMaxLength(3);
}

void TReportEdit::filterKey(QChar &key)
{
    ReportKeyFilter(key);
    // The shared report filter also lets "," through for lists of reports; one report has none.
    if (key == u',')
        key = KeyNull;
}
