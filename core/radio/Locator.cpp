#include "radio/Locator.h"

#include "radio/Kontrola.h"
#include "base/Messages.h"
#include "base/MessageTexts.h"

#include <algorithm>
#include <cmath>
#include <numbers>

namespace
{

constexpr double DegToRad = std::numbers::pi / 180.0;

// Value of the locator character at `index` counted from `base` ("A" or "0"); a missing
// character counts 0.
int charValue(const QString &loc, int index, char base)
{
    if (index >= loc.size())
        return 0;
    // Locators are ASCII: only what lies beyond it needs the Unicode tables.
    const char16_t c = loc.at(index).unicode();
    if (c >= u'a' && c <= u'z')
        return c - (u'a' - u'A') - base;
    return (c < 0x80 ? c : loc.at(index).toUpper().unicode()) - base;
}

// The centre of OtherLoc when it is a valid locator, else the given point.
void partnerPoint(const QString &otherLoc, double &lon, double &lat)
{
    if (!otherLoc.isEmpty() && IsValidLocator(otherLoc))
        LocatorToLonLat(otherLoc, lon, lat);
}

// The character `steps` places after `base`. The arithmetic checks no range; a value that
// is no number at all gives `base`.
QChar offsetChar(char base, double steps)
{
    if (!std::isfinite(steps) || std::abs(steps) > 1000)
        steps = 0;
    return QChar(char16_t(base + int(steps)));
}

// `measure` from the centre of the own locator to the partner, in whole units, a half to
// the even neighbour. Without a valid own locator the operator gets `warning` and the
// result is 0.
int fromOwnLocator(const QString &ownLoc, const QString &otherLoc, double lon, double lat,
                   double (*measure)(double, double, double, double), const QString &warning)
{
    if (ownLoc.isEmpty() || !IsValidLocator(ownLoc)) {
        MessageDlgDef(warning, mtWarning, mbOK, mrOk, 0);
        return 0;
    }
    double ownLon, ownLat;
    LocatorToLonLat(ownLoc, ownLon, ownLat);
    partnerPoint(otherLoc, lon, lat);
    return int(std::nearbyint(measure(ownLon, ownLat, lon, lat)));
}

} // namespace

void LocatorToLonLat(const QString &loc, double &lon, double &lat)
{
    lon = charValue(loc, 0, 'A') * 20 + charValue(loc, 2, '0') * 2 + charValue(loc, 4, 'A') / 12.0 +
          1.0 / 24.0 - 180;
    lat = charValue(loc, 1, 'A') * 10 + charValue(loc, 3, '0') + charValue(loc, 5, 'A') / 24.0 + 1.0 / 48.0 -
          90;
}

QString LonLatToLocator(double lon, double lat)
{
    double x = lon + 180;
    double y = lat + 90;
    QString loc(6, QLatin1Char(' '));
    const double fieldX = std::trunc(x / 20);
    loc[0] = offsetChar('A', fieldX);
    x -= 20 * fieldX;
    const double fieldY = std::trunc(y / 10);
    loc[1] = offsetChar('A', fieldY);
    y -= 10 * fieldY;
    const double squareX = std::trunc(x / 2);
    loc[2] = offsetChar('0', squareX);
    x -= 2 * squareX;
    const double squareY = std::trunc(y);
    loc[3] = offsetChar('0', squareY);
    y -= squareY;
    loc[4] = offsetChar('A', std::trunc(x * 12));
    loc[5] = offsetChar('A', std::trunc(y * 24));
    return loc;
}

double GreatCircleDistance(double lon1, double lat1, double lon2, double lat2)
{
    const double phi1 = lat1 * DegToRad;
    const double phi2 = lat2 * DegToRad;
    const double cosine = std::sin(phi1) * std::sin(phi2) +
                          std::cos(phi1) * std::cos(phi2) * std::cos((lon2 - lon1) * DegToRad);
    if (std::isnan(cosine))
        return 0;
    // Rounding can push the cosine of equal or antipodal points just past +-1.
    return std::acos(std::clamp(cosine, -1.0, 1.0)) * EarthRadius;
}

double GreatCircleAzimuth(double lon1, double lat1, double lon2, double lat2)
{
    const double phi1 = lat1 * DegToRad;
    const double phi2 = lat2 * DegToRad;
    const double dLambda = (lon2 - lon1) * DegToRad;
    const double numerator = std::sin(dLambda);
    const double d = std::cos(phi1) * std::tan(phi2) - std::sin(phi1) * std::cos(dLambda);
    if (std::isnan(numerator) || std::isnan(d) || (numerator == 0 && d == 0))
        return 0;
    double azimuth;
    if (d == 0)
        azimuth = numerator > 0 ? 90 : 270;
    else
        azimuth = std::atan(numerator / d) / DegToRad;
    if (d < 0)
        azimuth += 180;
    if (azimuth > 360)
        azimuth -= 360;
    if (azimuth < 0)
        azimuth += 360;
    return azimuth;
}

int DistanceFromOwnLocator(const QString &ownLoc, const QString &otherLoc, double lon, double lat)
{
    return fromOwnLocator(ownLoc, otherLoc, lon, lat, GreatCircleDistance,
                          MsgNoOwnLocatorForDistance);
}

int AzimuthFromOwnLocator(const QString &ownLoc, const QString &otherLoc, double lon, double lat)
{
    return fromOwnLocator(ownLoc, otherLoc, lon, lat, GreatCircleAzimuth,
                          QStringLiteral("Chybí vlastní lokátor, nelze vypočítat azimut!"));
}
