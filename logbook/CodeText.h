#pragma once
// The text a log view shows for a coded field (band, mode, QSL state): the entry of the
// field's table.

#include "log/LogRecord.h"

#include <QString>
#include <QVariant>

#include <array>

// An empty field shows nothing; a code outside the table shows as its number, so that a
// value the table does not know is still seen rather than hidden.
template <std::size_t N> QString CodeText(const std::array<QString, N> &table, const QVariant &value)
{
    if (IsEmptyLogValue(value))
        return QString();
    const int code = value.toInt();
    return code >= 0 && code < int(N) ? table[code] : QString::number(code);
}
