#pragma once
// Small shared routines of the logbook's windows.

#include <QString>

// Degrees as "49° 30'  0'' S": whole degrees, minutes and seconds of the absolute value
// (each cut, not rounded), each two wide, then S/J for north/south latitudes or V/Z for
// east/west longitudes.
QString DegToDMS(bool isLatitude, double value);
