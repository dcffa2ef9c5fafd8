#include "export/ExportValues.h"

#include "radio/Amater.h"
#include "radio/CharSet.h"
#include "base/Formats.h"

namespace ExportValues
{

namespace
{

template <size_t N> QString nameAt(const std::array<QString, N> &names, int index)
{
    return index >= 0 && index < int(N) ? names[size_t(index)] : QString();
}

void appendDigits(QByteArray &out, int value, int width)
{
    value = std::max(value, 0); // dates before year 1 do not occur in a log
    char digits[12];
    int n = 0;
    do {
        digits[n++] = char('0' + value % 10);
        value /= 10;
    } while (value > 0 && n < int(sizeof digits));
    for (int i = n; i < width; ++i)
        out += '0';
    while (n > 0)
        out += digits[--n];
}

} // namespace

void AppendNumber(QByteArray &out, int value, int width)
{
    appendDigits(out, value, width);
}

bool IsAscii(const QString &text)
{
    for (const QChar c : text)
        if (c.unicode() >= 0x80)
            return false;
    return true;
}

qsizetype AppendText(QByteArray &out, const QString &text)
{
    // Most values are ASCII and go byte by byte; the others through the code page.
    const qsizetype start = out.size();
    for (const QChar c : text) {
        if (c.unicode() >= 0x80) {
            out.truncate(start);
            out += UnicodeToWin1250(text);
            break;
        }
        out += char(c.unicode());
    }
    return out.size() - start;
}

QByteArray Text(const TLogRecord &record, int field)
{
    QByteArray out;
    AppendText(out, record[field].toString());
    return out;
}

int Index(const TLogRecord &record, int field)
{
    return record[field].toInt();
}

QString BandName(const TLogRecord &record)
{
    return nameAt(BandNames, Index(record, fiBAND));
}

QString ModeName(const TLogRecord &record)
{
    return nameAt(ModeNames, Index(record, fiMODE));
}

QByteArray PointDecimal(const TLogRecord &record, int field)
{
    static const Formats::FloatPattern pattern(u"0.####");
    QByteArray out;
    Formats::appendFloat(out, pattern, record[field].toDouble(), '.');
    return out;
}

QByteArray Integer(const TLogRecord &record, int field)
{
    const QVariant &value = record[field];
    return value.isNull() ? QByteArray() : QByteArray::number(value.toInt());
}

void AppendDate(QByteArray &out, const QDate &date, bool separated)
{
    if (!date.isValid())
        return;
    if (separated) {
        AppendNumber(out, date.day(), 2);
        out += '.';
        AppendNumber(out, date.month(), 2);
        out += '.';
        AppendNumber(out, date.year(), 4);
    } else {
        AppendNumber(out, date.year(), 4);
        AppendNumber(out, date.month(), 2);
        AppendNumber(out, date.day(), 2);
    }
}

void AppendTime(QByteArray &out, const QTime &time, bool separated)
{
    if (!time.isValid())
        return;
    AppendNumber(out, time.hour(), 2);
    if (separated)
        out += ':';
    AppendNumber(out, time.minute(), 2);
    if (separated)
        out += ':';
    AppendNumber(out, time.second(), 2);
}

} // namespace ExportValues
