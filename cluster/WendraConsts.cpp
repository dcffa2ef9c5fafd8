#include "WendraConsts.h"

#include "radio/Amater.h"

#include <QLocale>

#include <cmath>

QString ShowDxOnCommand(int bandIndex)
{
    return QStringLiteral("Show/DX on ") + QLatin1String(DxBands.at(size_t(bandIndex)).Band0);
}

namespace
{

// The spot frequency in MHz, typed with '.' or ','; empty when the text is not such a number.
std::optional<double> spotFrequencyMHz(const QString &mhzText)
{
    QLocale reader = QLocale::c();
    // The decimal comma is typed as everywhere else in the programs, so "3,5" is 3.5 MHz;
    // no separator of thousands is taken ("3.500,5" is refused).
    reader.setNumberOptions(QLocale::RejectGroupSeparator);
    bool ok = false;
    const double mhz = reader.toDouble(mhzText.trimmed().replace(u',', u'.'), &ok);
    if (!ok || !std::isfinite(mhz))
        return std::nullopt;
    return mhz;
}

} // namespace

std::optional<QString> SpotFrequencyKHz(const QString &mhzText)
{
    const std::optional<double> mhz = spotFrequencyMHz(mhzText);
    if (!mhz)
        return std::nullopt;
    const double khz = *mhz * 1000.0;
    if (!std::isfinite(khz))
        return std::nullopt;
    return QString::number(khz, 'g', 15);
}

QString SpotFrequencyProblem(const QString &mhzText)
{
    const std::optional<double> mhz = spotFrequencyMHz(mhzText);
    if (!mhz)
        return InvalidFrequencyText(mhzText);
    // A spot outside every band is a mistake, most often kHz typed into the MHz box.
    if (GetBandIndex(*mhz) == BandOutside)
        return QStringLiteral("Frekvence \"%1\" neleží v žádném radioamatérském pásmu! "
                              "Zadejte ji v MHz, např. 14,025.")
            .arg(mhzText);
    return {};
}

QString NewSpotCommand(const QString &call, const QString &kHz, const QString &note)
{
    return QStringLiteral("DX ") + call + u' ' + kHz + u' ' + note;
}

QString InvalidFrequencyText(const QString &mhzText)
{
    return QStringLiteral("'%1' není platné číslo (např. 14,025 nebo 14.025).").arg(mhzText);
}
