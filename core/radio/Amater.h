#pragma once
// The fixed amateur-radio vocabulary of the logbook: modes with their aliases, bands
// with their limits, power presets, QSL state names and marks, and the small rules
// built on them. The log stores modes, bands and QSL states as positions in these
// tables, so their order never changes.

#include <QString>

#include <array>

inline constexpr int ModeCount = 28;  // 0 = no mode, 1..27
inline constexpr int BandCount = 29;  // 0..27 amateur bands, 28 = out of band
inline constexpr int BandOutside = 28;

extern const std::array<QString, ModeCount> ModeNames;
extern const std::array<QString, ModeCount> ModeAliases; // ";A;B;" framed alias lists
extern const std::array<QString, BandCount> BandNames;
extern const std::array<double, BandCount> BandLow;
extern const std::array<double, BandCount> BandHigh;
extern const std::array<double, 12> PowerPresets;

extern const std::array<QString, 4> QslSentNames;
extern const std::array<QString, 4> QslSentMarks;
extern const std::array<QString, 2> QslRcvdNames;
extern const std::array<QString, 2> QslRcvdMarks;
extern const std::array<QString, 2> EQslNames;
extern const std::array<QString, 2> EQslMarks;

QString ExtractBaseCall(const QString &call);
int GetModeIndexDef(const QString &name, int defaultIndex);
int GetModeIndex(const QString &name);
int GetBandIndex(double mhz);
int StrToITU(const QString &text);
int StrToWAZ(const QString &text);
