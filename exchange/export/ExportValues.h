#pragma once
// How the exports turn the values of a log record into the bytes of their files. The
// appenders write straight into the file's buffer: an export of a million QSOs formats
// some twenty-five million values.

#include "log/LogRecord.h"

#include <QByteArray>
#include <QDate>
#include <QString>
#include <QTime>

namespace ExportValues
{

// The text as Windows-1250 (a character the code page lacks becomes "?"); returns the
// number of bytes appended.
qsizetype AppendText(QByteArray &out, const QString &text);
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

// True when every character is ASCII (one byte in the file).
bool IsAscii(const QString &text);
// A non-negative number in decimal with at least `width` digits.
void AppendNumber(QByteArray &out, int value, int width = 1);
// Dates "yyyymmdd" or "dd.mm.yyyy", times "hhnnss" or "hh:nn:ss"; nothing for an
// invalid (empty) value.
void AppendDate(QByteArray &out, const QDate &date, bool separated);
void AppendTime(QByteArray &out, const QTime &time, bool separated);

} // namespace ExportValues
