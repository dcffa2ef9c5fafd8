#include "WendraConsts.h"

#include <QLocale>

#include <cmath>

QString ShowDxOnCommand(int bandIndex)
{
    return QStringLiteral("Show/DX on ") + QLatin1String(DxBands.at(size_t(bandIndex)).Band0);
}

std::optional<QString> SpotFrequencyKHz(const QString &mhzText)
{
    QLocale reader = QLocale::c();
    // The decimal comma is typed as everywhere else in the programs, so "3,5" is 3.5 MHz;
    // no separator of thousands is taken ("3.500,5" is refused).
    reader.setNumberOptions(QLocale::RejectGroupSeparator);
    bool ok = false;
    const double mhz = reader.toDouble(mhzText.trimmed().replace(u',', u'.'), &ok);
    if (!ok || !std::isfinite(mhz))
        return std::nullopt;
    const double khz = mhz * 1000.0;
    if (!std::isfinite(khz))
        return std::nullopt;
    return QString::number(khz, 'g', 15);
}

QString NewSpotCommand(const QString &call, const QString &kHz, const QString &note)
{
    return QStringLiteral("DX ") + call + u' ' + kHz + u' ' + note;
}

QString InvalidFrequencyText(const QString &mhzText)
{
    return QStringLiteral("'%1' není platné číslo (např. 14,025 nebo 14.025).").arg(mhzText);
}
