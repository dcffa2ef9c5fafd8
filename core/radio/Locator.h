#pragma once
// Maidenhead locators and great-circle maths. A locator is six characters: field letters
// A..R (longitude, latitude), square digits 0..9, subsquare letters A..X; a field spans
// 20 x 10 degrees, a square 2 x 1, a subsquare 5 x 2.5 minutes. Coordinates are degrees,
// longitude east positive, latitude north positive.

#include <QString>

// Radius of the Earth used for distances, in km.
inline constexpr double EarthRadius = 6371.229;

// The centre of the locator's subsquare. The locator is expected valid (either case);
// missing characters count as the first of their range.
void LocatorToLonLat(const QString &loc, double &lon, double &lat);

// The locator (upper case) of the subsquare that holds the point. Callers keep the
// longitude below 180 and the latitude below 90.
QString LonLatToLocator(double lon, double lat);

// Kilometres along the great circle between two points.
double GreatCircleDistance(double lon1, double lat1, double lon2, double lat2);

// Initial bearing from point 1 to point 2 in degrees clockwise from north, 0..360;
// 0 when it is undefined (equal points, a pole).
double GreatCircleAzimuth(double lon1, double lat1, double lon2, double lat2);

// Whole kilometres from the centre of the own locator to the partner: to `otherLoc` when
// it is a valid locator, else to the point (`lon`, `lat`). Without a valid own locator
// the operator is warned and the result is 0.
int DistanceFromOwnLocator(const QString &ownLoc, const QString &otherLoc, double lon, double lat);

// The bearing from the own locator to the partner in whole degrees, as the distance above.
int AzimuthFromOwnLocator(const QString &ownLoc, const QString &otherLoc, double lon, double lat);
