#pragma once
// How the exports turn the values of a log row into the bytes of their files. The
// appenders write straight into the file's buffer: an export of a million QSOs formats
// some twenty-five million values.

#include "log/LogRowView.h"

#include <QByteArray>
#include <QDate>
#include <QString>
#include <QTime>

namespace ExportValues
{

// The text as Windows-1250 (a character the code page lacks becomes "?"); returns the
// number of bytes appended.
qsizetype AppendText(QByteArray &out, const QString &text);
// The same for the text of a field of the row (its ASCII bytes as they are stored).
qsizetype AppendText(QByteArray &out, const TLogRowView &row, int field);
// The name of the band or mode of the row; a value outside the table gives "".
QString BandName(const TLogRowView &row);
QString ModeName(const TLogRowView &row);
// The same names as Windows-1250 bytes.
const QByteArray &BandNameText(const TLogRowView &row);
const QByteArray &ModeNameText(const TLogRowView &row);
// The index stored in a small-integer field; an empty field reads as 0.
int Index(const TLogRowView &row, int field);
// A float field as "0.####" with "." for decimals (an empty field reads as 0).
void AppendPointDecimal(QByteArray &out, const TLogRowView &row, int field);
// A small-integer field in decimal, nothing when empty.
void AppendInteger(QByteArray &out, const TLogRowView &row, int field);
// The base call of the call sign (ExtractBaseCall) as Windows-1250.
void AppendBaseCall(QByteArray &out, const TLogRowView &row, int field);

// True when every character is ASCII (one byte in the file).
bool IsAscii(const QString &text);
// A non-negative number in decimal with at least `width` digits.
void AppendNumber(QByteArray &out, int value, int width = 1);
// Dates "yyyymmdd" or "dd.mm.yyyy", times "hhnnss" or "hh:nn:ss"; nothing for an
// invalid (empty) value.
void AppendDate(QByteArray &out, const QDate &date, bool separated);
void AppendTime(QByteArray &out, const QTime &time, bool separated);

} // namespace ExportValues
