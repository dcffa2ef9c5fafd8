#pragma once
// One field of many QSOs changed at once (the marked QSOs of the log, or of an import):
// the value in the form the field stores, and the values that follow from it.

#include "log/LogRecord.h"

#include <QString>
#include <QVariant>

class TDxccList;

// The typed value in the form the field takes: locators, DXCC, IOTA and award in upper
// case, every other field as typed.
QString BulkEditText(int field, const QString &value);

// The typed value converted to the field's type ("," as decimal separator, dates
// d.m.yyyy, times h:n[:s]); an empty text empties the field. Raises EDatabaseError with
// a Czech message for a text the field cannot take.
QVariant BulkEditValue(int field, const QString &value);

class TBulkEdit
{
public:
    // field: the log field written; value: from BulkEditValue; dxcc: the entity list that
    // gives the coordinates of a QSO's entity.
    TBulkEdit(int field, const QVariant &value, TDxccList &dxcc);

    // Writes the value into the record and recomputes what depends on it: BAND from FREQ,
    // QRB from LOCO, LOCP or DXCC (to the partner's locator, else to the entity's
    // coordinates; 0 when neither is known or the own locator is missing).
    void Apply(TLogRecord &record);

    // How many records had no valid own locator, so that their QRB became 0; the caller
    // tells the operator once.
    int MissingOwnLocator() const { return m_missingOwnLocator; }

private:
    int m_field;
    QVariant m_value;
    TDxccList &m_dxcc;
    int m_missingOwnLocator = 0;
};
