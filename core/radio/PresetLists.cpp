#include "radio/PresetLists.h"

#include "radio/Amater.h"
#include "base/Formats.h"

#include <cmath>

QList<int> DefaultPresetModes()
{
    QList<int> modes;
    for (int mode = 1; mode < ModeCount; ++mode)
        modes.append(mode);
    return modes;
}

QList<double> DefaultPresetFreqs()
{
    return QList<double>(BandLow.begin(), BandLow.begin() + MaxPresetFreqs);
}

double PresetFrequency(const QString &typed)
{
    double value = 0;
    if (!Formats::tryStrToFloat(typed, value) || !std::isfinite(value))
        return 0;
    // nearbyint rounds halves to even in the default rounding mode.
    value = std::nearbyint(value * 1000) / 1000;
    return value > 0 ? value : 0;
}
