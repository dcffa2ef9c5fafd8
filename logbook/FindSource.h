#pragma once
// What the find window searches: the ordered rows of a grid's query, walked from a
// record on, with the query's cursor and its bound views. The log grid and the reference
// lists each adapt their query to it.

#include "FindMatch.h"

#include <QVariant>

class TFindSource
{
public:
    using Match = TFindMatch;

    virtual ~TFindSource() = default;

    virtual int RecordCount() const = 0;
    virtual int RecNo() const = 0; // 1-based; 0 without rows
    virtual void SetRecNo(int recNo) = 0;
    virtual void DisableControls() = 0;
    virtual void EnableControls() = 0;
    virtual QVariant ValueAt(int row, int field) const = 0;

    // The first row (0-based), from `from` on in query order, whose field the match
    // accepts; -1 when none does. Sources over large tables answer faster than the walk.
    virtual int FindFrom(int from, int field, const Match &match) const
    {
        for (int row = std::max(0, from); row < RecordCount(); ++row)
            if (match(ValueAt(row, field)))
                return row;
        return -1;
    }
};
