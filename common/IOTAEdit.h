#pragma once
// Edit field for an IOTA reference such as EU001: two letters and a number of up to three
// digits, which gets its leading zeros when the focus leaves the field (EU1 -> EU001).

#include "FilteredLineEdit.h"

class TIOTAEdit : public TFilteredLineEdit
{
    Q_OBJECT
public:
    explicit TIOTAEdit(QWidget *parent = nullptr);

    void formatOnExit() override;

protected:
    void filterKey(QChar &key) override;
};
