#include "base/OstrelFP.h"

#include <cmath>

namespace {

// Seconds are cut to whole ones; the tiny allowance keeps a value such as 49.1°, which
// the binary double holds as 49.0999999..., from showing as 49° 5' 59''.
constexpr double SecondAllowance = 1e-6;

QString twoWide(long long number)
{
    return QStringLiteral("%1").arg(number, 2);
}

} // namespace

QString DegToDMS(bool isLatitude, double value)
{
    if (!std::isfinite(value))
        value = 0;
    const long long totalSeconds = std::llround(std::floor(std::abs(value) * 3600.0 + SecondAllowance));
    const long long degrees = totalSeconds / 3600;
    const long long minutes = totalSeconds / 60 % 60;
    const long long seconds = totalSeconds % 60;
    QString hemisphere;
    if (isLatitude)
        hemisphere = value >= 0 ? QStringLiteral("S") : QStringLiteral("J");
    else
        hemisphere = value >= 0 ? QStringLiteral("V") : QStringLiteral("Z");
    return QStringLiteral("%1° %2' %3'' %4")
        .arg(twoWide(degrees), twoWide(minutes), twoWide(seconds), hemisphere);
}
