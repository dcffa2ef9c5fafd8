#pragma once
// How the exports turn the values of a log record into text.

#include "LogRecord.h"

#include <QByteArray>
#include <QString>

namespace ExportValues
{

// Windows-1250 bytes of a text field's value ("" for an empty field).
QByteArray Text(const TLogRecord &record, int field);
// The name of the band or mode of the record; a value outside the table gives "".
QString BandName(const TLogRecord &record);
QString ModeName(const TLogRecord &record);
// The index stored in a small-integer field; an empty field reads as 0.
int Index(const TLogRecord &record, int field);
// A float field as "0.####" with "." for decimals (an empty field reads as 0).
QByteArray PointDecimal(const TLogRecord &record, int field);
// A small-integer field in decimal, "" when empty.
QByteArray Integer(const TLogRecord &record, int field);

} // namespace ExportValues
