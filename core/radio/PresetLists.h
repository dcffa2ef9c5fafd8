#pragma once
// The operator's preset lists of modes and frequencies for new QSOs: a list of values
// with one of them marked as the default. Adding, deleting and moving entries keep the
// mark on the entry it marked (or on the first, when the marked entry itself goes).

#include <QList>
#include <QString>

// The most frequencies the preset list holds.
inline constexpr int MaxPresetFreqs = 28;

// The lists of a new operator: every mode but the empty one, in table order, and the
// lower edges of the 28 bands.
QList<int> DefaultPresetModes();
QList<double> DefaultPresetFreqs();

// A frequency typed for the preset list, in MHz ("," as decimal separator), kept to whole
// kilohertz (halves to even). 0 for a text that is no number, and for a value that is not
// above zero once rounded: the stored list has no room for a sign.
double PresetFrequency(const QString &typed);

// Adds the value unless the list holds it already; returns its position either way.
template <typename T> int PresetAdd(QList<T> &list, const T &value)
{
    int position = list.indexOf(value);
    if (position < 0) {
        list.append(value);
        position = int(list.size()) - 1;
    }
    return position;
}

// Removes the entry at `position` (nothing outside the list); the default keeps marking
// the same entry, or the first one when the default itself went.
template <typename T> bool PresetRemove(QList<T> &list, int position, int &defaultPosition)
{
    if (position < 0 || position >= list.size())
        return false;
    list.removeAt(position);
    if (position == defaultPosition)
        defaultPosition = 0;
    else if (position < defaultPosition)
        --defaultPosition;
    return true;
}

// Moves the entry at `position` one place up (step -1) or down (step +1); the default
// mark follows the entries it is on. False, with nothing changed, at either end.
template <typename T> bool PresetMove(QList<T> &list, int position, int step, int &defaultPosition)
{
    const int to = position + step;
    if (position < 0 || position >= list.size() || to < 0 || to >= list.size())
        return false;
    list.swapItemsAt(position, to);
    if (defaultPosition == position)
        defaultPosition = to;
    else if (defaultPosition == to)
        defaultPosition = position;
    return true;
}

// A default position that points past its list marks the first entry.
inline int PresetDefault(int defaultPosition, qsizetype listSize)
{
    return defaultPosition < 0 || defaultPosition >= listSize ? 0 : defaultPosition;
}
