#pragma once
// The edit line of the filter and find windows' value boxes: its key filter follows the
// field the operator searches in (call sign, locator, IOTA, date, digits, number, text),
// with "*" (and in the find window "?") allowed where a mask may be typed.

#include "FilteredLineEdit.h"

class TSearchLineEdit : public TFilteredLineEdit
{
    Q_OBJECT
public:
    enum TKeyKind { kkNone, kkCall, kkCallDash, kkLocator, kkIOTA, kkDate, kkDigit, kkFloat, kkFindDate };
    // kkFindDate: typing over the whole text (or into an empty box) starts afresh with the
    // key as typed; otherwise the date typing aid applies.

    explicit TSearchLineEdit(QWidget *parent = nullptr);

    void SetKeyKind(TKeyKind kind, const QString &extra = QString());
    TKeyKind KeyKind() const { return m_kind; }

protected:
    void filterKey(QChar &key) override;

private:
    TKeyKind m_kind = kkNone;
    QString m_extra;
};
