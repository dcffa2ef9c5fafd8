#pragma once
// The program settings file Velkor.ini: section "Users" holds, under the keys "0" to
// "9", the call signs of the registered logs. An empty or missing value is a free slot.

#include "settings/Options.h"
#include "base/VelkorError.h"

#include <QString>

// Raised for a log slot outside 0..9, with the text "Index mimo rozsah!".
class EIndexOutOfRange : public EVelkorError
{
public:
    EIndexOutOfRange();
};

class TLogOptions : public TOptions
{
public:
    static constexpr int UserCount = 10;

    // The call sign in slot index, empty for a free slot; throws EIndexOutOfRange
    // for an index outside 0..9 before reading anything.
    QString GetUser(int index) const;
    // Stores the call sign unchanged in slot index; the same range test.
    void SetUser(int index, const QString &call);
};
