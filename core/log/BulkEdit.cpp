#include "log/BulkEdit.h"

#include "radio/Amater.h"
#include "radio/DxccList.h"
#include "radio/Kontrola.h"
#include "radio/Locator.h"

QString BulkEditText(int field, const QString &value)
{
    switch (field) {
    case fiLOCO:
    case fiLOCP:
    case fiDXCC:
    case fiIOTA:
    case fiAWARD:
        return value.toUpper();
    default:
        return value;
    }
}

QVariant BulkEditValue(int field, const QString &value)
{
    return LogValueFromText(field, BulkEditText(field, value));
}

TBulkEdit::TBulkEdit(int field, const QVariant &value, TDxccList &dxcc)
    : m_field(field), m_value(value), m_dxcc(dxcc)
{
}

void TBulkEdit::Apply(TLogRecord &record)
{
    record[m_field] = m_value;
    switch (m_field) {
    case fiFREQ:
        record[fiBAND] = GetBandIndex(record[fiFREQ].toDouble());
        break;
    case fiLOCO:
    case fiLOCP:
    case fiDXCC: {
        const QString own = record[fiLOCO].toString();
        // Checked here rather than by the distance routine, which would warn once per QSO.
        if (own.isEmpty() || !IsValidLocator(own)) {
            ++m_missingOwnLocator;
            record[fiQRB] = 0.0;
            break;
        }
        const QString partner = record[fiLOCP].toString();
        if (!partner.isEmpty() && IsValidLocator(partner)) {
            record[fiQRB] = double(DistanceFromOwnLocator(own, partner, 0, 0));
        } else if (m_dxcc.FindDxcc(record[fiDXCC].toString())) {
            record[fiQRB] = double(DistanceFromOwnLocator(own, partner, m_dxcc.GetLongitude(), m_dxcc.GetLatitude()));
        } else {
            // Nothing to measure to: no distance, as the QSO window has it, rather than
            // the distance to the point 0 degrees north, 0 degrees east.
            record[fiQRB] = 0.0;
        }
        break;
    }
    default:
        break;
    }
}
