#pragma once
// Edit field for a Maidenhead locator such as JN79SX: each position takes only what a
// locator can hold there (field letters A..R, square digits, subsquare letters A..X).

#include "FilteredLineEdit.h"

class TLocatorEdit : public TFilteredLineEdit
{
    Q_OBJECT
public:
    explicit TLocatorEdit(QWidget *parent = nullptr);

protected:
    void filterKey(QChar &key) override;
};
