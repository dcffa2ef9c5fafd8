#pragma once
// The cluster commands' fixed texts: the bands of the Show/DX band menu and the commands
// built from the operator's input.

#include <QString>

#include <array>
#include <optional>

struct TDxBand {
    const char *Band0;   // the band word after "Show/DX on "
    const char *Caption; // the menu caption
};

// One band a row, by index.
// clang-format off
inline constexpr std::array<TDxBand, 20> DxBands{{
    {"136khz", "137kHz"},
    {"160m", "160m (1.8MHz)"},
    {"80m", "80m (3.5MHz)"},
    {"40m", "40m (7MHz)"},
    {"30m", "30m (10MHz)"},
    {"20m", "20m (14MHz)"},
    {"17m", "17m (18MHz)"},
    {"15m", "15m (21MHz)"},
    {"12m", "12m (24MHz)"},
    {"10m", "10m (28MHz)"},
    {"6m", "6m (50MHz)"},
    {"2m", "2m (144MHz)"},
    {"70cm", "70cm (430MHz)"},
    {"23cm", "23cm (1.2GHz)"},
    {"13cm", "13cm (2.3GHz)"},
    {"9cm", "9cm (3.4GHz)"},
    {"6cm", "5cm (5.6GHz)"},
    {"3cm", "3cm (10GHz)"},
    {"12mm", "12mm (24GHz)"},
    {"6mm", "6mm (47GHz)"},
}};
// clang-format on

// "Show/DX on " followed by the band word of the row.
QString ShowDxOnCommand(int bandIndex);

// The spot frequency typed in MHz with '.' as the decimal separator, written in kHz in the
// shortest form (3.5 gives "3500", 7.0255 gives "7025.5"; the kHz value always takes '.',
// as the cluster reads it). Empty when the text is not such a number.
std::optional<QString> SpotFrequencyKHz(const QString &mhzText);

// Why the spot frequency typed in MHz cannot be sent (not a number, or in no amateur band),
// as the message shown; empty when it can.
QString SpotFrequencyProblem(const QString &mhzText);

// "DX " + call + " " + kHz + " " + note, unchanged.
QString NewSpotCommand(const QString &call, const QString &kHz, const QString &note);

// The message of a frequency that is not a number.
QString InvalidFrequencyText(const QString &mhzText);
