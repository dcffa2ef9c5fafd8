#pragma once
// Edit field for an RST report: up to three digits or capital letters.

#include "FilteredLineEdit.h"

class TReportEdit : public TFilteredLineEdit
{
    Q_OBJECT
public:
    explicit TReportEdit(QWidget *parent = nullptr);

protected:
    void filterKey(QChar &key) override;
};
