#include "export/ExportValues.h"

#include "radio/Amater.h"
#include "radio/CharSet.h"
#include "base/Formats.h"

#include <array>
#include <charconv>

namespace ExportValues
{

namespace
{

template <size_t N> QString nameAt(const std::array<QString, N> &names, int index)
{
    return index >= 0 && index < int(N) ? names[size_t(index)] : QString();
}

// The names of a table as they go into the files, encoded once.
template <size_t N> std::array<QByteArray, N + 1> encodedNames(const std::array<QString, N> &names)
{
    std::array<QByteArray, N + 1> encoded; // the last one, empty, stands for an index outside
    for (size_t i = 0; i < N; ++i)
        AppendText(encoded[i], names[i]);
    return encoded;
}

template <size_t N> const QByteArray &encodedAt(const std::array<QByteArray, N> &names, int index)
{
    return index >= 0 && index < int(N) - 1 ? names[size_t(index)] : names[N - 1];
}

// The longer part of "prefix/call" or "call/suffix" (the first on a tie), the middle one
// of "prefix/call/suffix", else the whole call; in capitals.
void appendAsciiBaseCall(QByteArray &out, QByteArrayView call)
{
    const qsizetype first = call.indexOf('/');
    const qsizetype second = first < 0 ? -1 : call.sliced(first + 1).indexOf('/');
    QByteArrayView part = call;
    if (first >= 0 && second < 0) {
        const QByteArrayView before = call.first(first), after = call.sliced(first + 1);
        part = after.size() > before.size() ? after : before;
    } else if (second >= 0 && call.sliced(first + 1 + second + 1).indexOf('/') < 0) {
        part = call.sliced(first + 1, second);
    }
    const qsizetype start = out.size();
    out.append(part.data(), part.size());
    for (char *c = out.data() + start, *end = out.data() + out.size(); c != end; ++c)
        if (*c >= 'a' && *c <= 'z')
            *c = char(*c - ('a' - 'A'));
}

} // namespace

void AppendNumber(QByteArray &out, int value, int width)
{
    value = std::max(value, 0); // dates before year 1 do not occur in a log
    char digits[16];
    const int n = int(std::to_chars(digits, digits + sizeof digits, value).ptr - digits);
    if (n < width)
        out.append(width - n, '0');
    out.append(digits, n);
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

qsizetype AppendText(QByteArray &out, const TLogRowView &row, int field)
{
    QByteArrayView bytes;
    if (!row.Ascii(field, bytes))
        return AppendText(out, row.String(field));
    out.append(bytes.data(), bytes.size());
    return bytes.size();
}

int Index(const TLogRowView &row, int field)
{
    return row.Int(field);
}

QString BandName(const TLogRowView &row)
{
    return nameAt(BandNames, Index(row, fiBAND));
}

QString ModeName(const TLogRowView &row)
{
    return nameAt(ModeNames, Index(row, fiMODE));
}

const QByteArray &BandNameText(const TLogRowView &row)
{
    static const auto names = encodedNames(BandNames);
    return encodedAt(names, Index(row, fiBAND));
}

const QByteArray &ModeNameText(const TLogRowView &row)
{
    static const auto names = encodedNames(ModeNames);
    return encodedAt(names, Index(row, fiMODE));
}

void AppendPointDecimal(QByteArray &out, const TLogRowView &row, int field)
{
    static const Formats::FloatPattern pattern(u"0.####");
    Formats::appendFloat(out, pattern, row.Double(field), '.');
}

void AppendInteger(QByteArray &out, const TLogRowView &row, int field)
{
    if (row.IsNull(field))
        return;
    char digits[16];
    out.append(digits, std::to_chars(digits, digits + sizeof digits, row.Int(field)).ptr - digits);
}

void AppendBaseCall(QByteArray &out, const TLogRowView &row, int field)
{
    QByteArrayView call;
    if (row.Ascii(field, call))
        appendAsciiBaseCall(out, call);
    else
        AppendText(out, ExtractBaseCall(row.String(field)));
}

void AppendDate(QByteArray &out, const QDate &date, bool separated)
{
    if (!date.isValid())
        return;
    int year = 0, month = 0, day = 0;
    date.getDate(&year, &month, &day);
    if (separated) {
        AppendNumber(out, day, 2);
        out += '.';
        AppendNumber(out, month, 2);
        out += '.';
        AppendNumber(out, year, 4);
    } else {
        AppendNumber(out, year, 4);
        AppendNumber(out, month, 2);
        AppendNumber(out, day, 2);
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
