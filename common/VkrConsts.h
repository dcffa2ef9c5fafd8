#pragma once
// Display formats of the log view, indexed by the operator's "Design" settings and
// offered as choices in the settings dialog. Patterns as Formats::formatDate/Time/Float
// read them.

#include <QString>

#include <array>

extern const std::array<QString, 6> DateFormats;
extern const std::array<QString, 4> TimeFormats;
extern const std::array<QString, 7> FreqFormats;
