#include "ExportValues.h"

#include "Amater.h"
#include "CharSet.h"
#include "Formats.h"

namespace ExportValues
{

namespace
{

template <size_t N> QString nameAt(const std::array<QString, N> &names, int index)
{
    return index >= 0 && index < int(N) ? names[size_t(index)] : QString();
}

} // namespace

QByteArray Text(const TLogRecord &record, int field)
{
    return UnicodeToWin1250(record[field].toString());
}

int Index(const TLogRecord &record, int field)
{
    return record[field].toInt();
}

QString BandName(const TLogRecord &record)
{
    return nameAt(BandNames, Index(record, fiBAND));
}

QString ModeName(const TLogRecord &record)
{
    return nameAt(ModeNames, Index(record, fiMODE));
}

QByteArray PointDecimal(const TLogRecord &record, int field)
{
    QString text = Formats::formatFloat(QStringLiteral("0.####"), record[field].toDouble());
    text.replace(Formats::DecimalSeparator, u'.');
    return text.toLatin1();
}

QByteArray Integer(const TLogRecord &record, int field)
{
    const QVariant &value = record[field];
    return value.isNull() ? QByteArray() : QByteArray::number(value.toInt());
}

} // namespace ExportValues
