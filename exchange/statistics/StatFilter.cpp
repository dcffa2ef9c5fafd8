#include "statistics/StatFilter.h"

#include "base/DatabaseError.h"
#include "base/Formats.h"

#include <QDate>
#include <QStringList>

namespace {

QString invalidValue(const QString &text)
{
    return QStringLiteral("Hodnota \"%1\" není platná!").arg(text);
}

QVariant storedDate(const QString &text)
{
    QDate date;
    if (!Formats::tryStrToDate(text.trimmed(), date))
        throw EDatabaseError(invalidValue(text));
    return date.toString(Qt::ISODate);
}

QVariant storedPower(const QString &text)
{
    double value = 0;
    if (!Formats::tryStrToFloat(text.trimmed(), value))
        throw EDatabaseError(invalidValue(text));
    return value;
}

void addLimit(TStatFilter &filter, const QString &text, const char *condition, QVariant (*stored)(const QString &))
{
    if (text.isEmpty())
        return;
    filter.where += QStringLiteral("AND(%1?)").arg(QLatin1String(condition));
    filter.values << stored(text);
}

} // namespace

TStatFilter BuildStatFilter(const TStatFilterChoice &choice)
{
    QStringList modes;
    for (int mode : choice.modes)
        modes << QString::number(mode);
    TStatFilter filter;
    filter.where = QStringLiteral("(MODE IN (%1))").arg(modes.join(u','));
    addLimit(filter, choice.dateMin, "DAT>=", storedDate);
    addLimit(filter, choice.dateMax, "DAT<=", storedDate);
    addLimit(filter, choice.powerMin, "PWR>=", storedPower);
    addLimit(filter, choice.powerMax, "PWR<=", storedPower);
    return filter;
}
