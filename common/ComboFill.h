#pragma once
// Loading the fixed tables (modes, bands, QSL states, power presets) into combo boxes
// and lists. Numbers appear in the program's shortest form with "," as separator.

#include <QString>
#include <QStringList>

#include <span>

class QComboBox;

// Replaces the box's list with the items and selects the first one (nothing when empty).
void FillComboBox(QComboBox *box, std::span<const QString> items);
void FillComboBoxFloat(QComboBox *box, std::span<const double> values);

// The same with the items first..last only (none when last < first); indexes outside the
// array are left out.
void FillComboBoxRange(QComboBox *box, std::span<const QString> items, int first, int last);
void FillComboBoxFloatRange(QComboBox *box, std::span<const double> values, int first, int last);

// Replaces the list's contents with the items first..last.
void FillStringsRange(QStringList &strings, std::span<const QString> items, int first, int last);
