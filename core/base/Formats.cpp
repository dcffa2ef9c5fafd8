#include "base/Formats.h"

#include <QLocale>
#include <QStringList>

#include <algorithm>
#include <charconv>
#include <cstring>
#include <string>
#include <cmath>

namespace Formats {

namespace {

int runLength(const QString &pattern, int pos)
{
    const QChar c = pattern.at(pos).toLower();
    int n = 1;
    while (pos + n < pattern.size() && pattern.at(pos + n).toLower() == c)
        ++n;
    return n;
}

QString padded(int value, int width)
{
    return QString::number(value).rightJustified(width, u'0');
}

// A date or time part: two digits for a doubled letter ("dd"), else as few as it takes.
QString datePart(int value, int letters)
{
    return letters >= 2 ? padded(value, 2) : QString::number(value);
}

// The digits of a non-negative value rounded half away from zero to `decimals` places,
// whole part first: "0" or a digit string without leading zeros, then exactly `decimals`
// fraction digits; integerDigits tells where the fraction begins. The rounding works on
// the value's 15 significant decimal digits rather than on its binary form: 1.005 is held
// in binary just below 1.005, but reads, and so rounds, as 1.005 to 1.01.
struct RoundedDigits {
    std::string digits;
    int integerDigits = 1;
    bool isZero() const { return digits.find_first_not_of('0') == std::string::npos; }
};

constexpr int SignificantDigits = 15;

// When the digits of the value after its 15th significant one are exactly "5", the 15
// digits before them, cut off there; else false. A quick look at two more digits first,
// then, only for the rare candidate, the whole expansion (a double has at most 767
// significant decimal digits).
bool truncatedAtExactHalf(double magnitude, char digits[SignificantDigits], int &exponent)
{
    char text[40];
    std::to_chars(text, text + sizeof text, magnitude, std::chars_format::scientific, SignificantDigits + 1);
    if (text[SignificantDigits + 1] != '5' || text[SignificantDigits + 2] != '0')
        return false;
    std::string exact(800, '\0');
    const auto converted = std::to_chars(exact.data(), exact.data() + exact.size(), magnitude,
                                         std::chars_format::scientific, 780);
    const char *e = std::find(exact.data(), converted.ptr, 'e');
    const char *rest = exact.data() + SignificantDigits + 1;
    if (*rest != '5' || !std::all_of(rest + 1, e, [](char c) { return c == '0'; }))
        return false;
    digits[0] = exact[0];
    std::memcpy(digits + 1, exact.data() + 2, SignificantDigits - 1);
    std::from_chars(e + (e[1] == '+' ? 2 : 1), converted.ptr, exponent);
    return true;
}

// The first 15 significant digits of a positive finite value and its decimal exponent
// (value = d.dddddddddddddd x 10^exponent), rounded to nearest with an exact half rounded
// away from zero, as Qt's conversions round. The standard library rounds an exact half to
// even; an even last digit may come from such a half, which is then rounded up anew.
int significantDigits(double magnitude, char digits[SignificantDigits])
{
    char text[40];
    const auto converted = std::to_chars(text, text + sizeof text, magnitude, std::chars_format::scientific,
                                         SignificantDigits - 1);
    digits[0] = text[0];
    std::memcpy(digits + 1, text + 2, SignificantDigits - 1);
    const char *e = text + SignificantDigits + 1;
    int exponent = 0;
    std::from_chars(e + (e[1] == '+' ? 2 : 1), converted.ptr, exponent);
    if ((digits[SignificantDigits - 1] - '0') % 2 == 0 && truncatedAtExactHalf(magnitude, digits, exponent)) {
        int i = SignificantDigits - 1;
        for (; i >= 0 && digits[i] == '9'; --i)
            digits[i] = '0';
        if (i >= 0) {
            ++digits[i];
        } else {
            digits[0] = '1';
            ++exponent;
        }
    }
    return exponent;
}

RoundedDigits roundedDecimal(double magnitude, int decimals)
{
    char significant[SignificantDigits];
    const int exponent = significantDigits(magnitude, significant);
    RoundedDigits r;
    r.integerDigits = exponent + 1; // value = 0.<digits> x 10^integerDigits
    const int keep = r.integerDigits + decimals;
    if (keep < 0) {
        r.digits.assign(size_t(1 + decimals), '0');
        r.integerDigits = 1;
        return r;
    }
    r.digits.reserve(size_t(std::max(keep, 15)) + 2);
    r.digits.append(significant, SignificantDigits);
    if (keep < int(r.digits.size())) {
        const bool roundUp = r.digits[size_t(keep)] >= '5';
        r.digits.resize(size_t(keep));
        if (roundUp) {
            int i = keep - 1;
            for (; i >= 0 && r.digits[size_t(i)] == '9'; --i)
                r.digits[size_t(i)] = '0';
            if (i >= 0) {
                ++r.digits[size_t(i)];
            } else {
                r.digits.insert(r.digits.begin(), '1');
                ++r.integerDigits;
            }
        }
    }
    if (r.integerDigits <= 0) {
        r.digits.insert(0, size_t(1 - r.integerDigits), '0');
        r.integerDigits = 1;
    }
    if (int(r.digits.size()) < r.integerDigits + decimals)
        r.digits.resize(size_t(r.integerDigits + decimals), '0');
    return r;
}

// Whether the pattern has any of these letters (lower case), in either case.
bool usesLetters(const QString &pattern, QStringView letters)
{
    for (const QChar c : pattern)
        if (letters.contains(c.toLower()))
            return true;
    return false;
}

QString formatParts(const QString &pattern, QDate d, QTime t)
{
    QString out;
    int pos = 0;
    while (pos < pattern.size()) {
        const QChar c = pattern.at(pos).toLower();
        const int n = runLength(pattern, pos);
        switch (c.unicode()) {
        case 'd':
            out += datePart(d.day(), n);
            break;
        case 'm':
            out += datePart(d.month(), n);
            break;
        case 'y':
            out += n >= 3 ? padded(d.year(), 4) : padded(d.year() % 100, 2);
            break;
        case 'h':
            out += datePart(t.hour(), n);
            break;
        case 'n':
            out += datePart(t.minute(), n);
            break;
        case 's':
            out += datePart(t.second(), n);
            break;
        case 'z':
            out += n >= 3 ? padded(t.msec(), 3) : QString::number(t.msec());
            break;
        default:
            out += pattern.mid(pos, n);
            break;
        }
        pos += n;
    }
    return out;
}

} // namespace

QString formatDateTime(const QString &pattern, const QDateTime &value)
{
    return formatParts(pattern, value.date(), value.time());
}

// A date pattern shows no time, a time pattern no date: then the value is formatted as it
// is, without the local date and time made of it, which asks the system for the time zone
// each time (the grid formats every date and time it shows).
QString formatDate(const QString &pattern, const QDate &value)
{
    if (!usesLetters(pattern, u"hnsz"))
        return formatParts(pattern, value, QTime(0, 0));
    return formatDateTime(pattern, QDateTime(value, QTime(0, 0)));
}

QString formatTime(const QString &pattern, const QTime &value)
{
    // A local date and time made of a time that is not valid holds midnight.
    if (!usesLetters(pattern, u"dmy"))
        return formatParts(pattern, QDate(1899, 12, 30), value.isValid() ? value : QTime(0, 0));
    return formatDateTime(pattern, QDateTime(QDate(1899, 12, 30), value));
}

FloatPattern::FloatPattern(QStringView pattern)
{
    const qsizetype point = pattern.indexOf(u'.');
    const QStringView intPart = point < 0 ? pattern : pattern.left(point);
    const QStringView fracPart = point < 0 ? QStringView() : pattern.mid(point + 1);
    decimals = int(fracPart.size());
    minDecimals = int(fracPart.count(u'0'));
    minIntDigits = int(intPart.count(u'0'));
}

void appendFloat(QByteArray &out, const FloatPattern &pattern, double value, char separator)
{
    if (!std::isfinite(value)) {
        out += floatToStr(value).toLatin1();
        return;
    }
    const RoundedDigits rounded = roundedDecimal(std::abs(value), pattern.decimals);
    const char *digits = rounded.digits.data();
    int whole = rounded.integerDigits;
    int frac = int(rounded.digits.size()) - whole;
    while (frac > pattern.minDecimals && digits[whole + frac - 1] == '0')
        --frac;
    if (whole == 1 && digits[0] == '0' && pattern.minIntDigits == 0)
        whole = 0;
    const qsizetype start = out.size();
    if (value < 0 && !rounded.isZero())
        out += '-';
    for (int i = whole; i < pattern.minIntDigits; ++i)
        out += '0';
    const int wholeStart = rounded.integerDigits - whole;
    out.append(digits + wholeStart, whole);
    if (frac > 0) {
        out += separator;
        out.append(digits + rounded.integerDigits, frac);
    }
    if (out.size() == start)
        out += '0';
}

QString formatFloat(const QString &pattern, double value)
{
    QByteArray out;
    appendFloat(out, FloatPattern(pattern), value, char(DecimalSeparator.unicode()));
    return QString::fromLatin1(out);
}

void appendFloatToStr(QByteArray &out, double value, char separator)
{
    if (!std::isfinite(value)) {
        out += floatToStr(value).toLatin1();
        return;
    }
    if (value == 0) { // negative zero too
        out += '0';
        return;
    }
    // printf's "%.15g" with Qt's rounding: the fixed form unless the exponent is below -4
    // or not below 15, trailing zeros dropped, the exponent of at least two digits.
    char digits[SignificantDigits];
    const int exponent = significantDigits(std::abs(value), digits);
    int count = SignificantDigits;
    while (count > 1 && digits[count - 1] == '0')
        --count;
    if (value < 0)
        out += '-';
    if (exponent < -4 || exponent >= SignificantDigits) {
        out += digits[0];
        if (count > 1) {
            out += separator;
            out.append(digits + 1, count - 1);
        }
        out += exponent < 0 ? "E-" : "E+";
        const int e = std::abs(exponent);
        if (e < 10)
            out += '0';
        out += QByteArray::number(e);
    } else if (exponent < 0) {
        out += '0';
        out += separator;
        out.append(-exponent - 1, '0');
        out.append(digits, count);
    } else {
        out.append(digits, std::min(count, exponent + 1));
        if (count > exponent + 1) {
            out += separator;
            out.append(digits + exponent + 1, count - exponent - 1);
        } else {
            out.append(exponent + 1 - count, '0');
        }
    }
}

QString floatToStr(double value)
{
    QString text = QString::number(value, 'g', 15);
    text.replace(u'.', DecimalSeparator);
    return text.toUpper();
}

QString dateToStr(const QDate &value)
{
    return formatDate(QStringLiteral("dd.mm.yyyy"), value);
}

QString timeToStr(const QTime &value)
{
    return formatTime(QStringLiteral("hh:nn:ss"), value);
}

bool tryStrToFloat(const QString &text, double &value)
{
    QString t = text.trimmed();
    if (t.isEmpty() || t.contains(u'.'))
        return false;
    t.replace(DecimalSeparator, u'.');
    bool ok = false;
    const double v = QLocale::c().toDouble(t, &ok);
    if (!ok || !std::isfinite(v))
        return false;
    value = v;
    return true;
}

bool tryStrToInt(const QString &text, int &value)
{
    bool ok = false;
    const int v = text.trimmed().toInt(&ok, 10);
    if (ok)
        value = v;
    return ok;
}

namespace {

bool allDigits(const QString &s)
{
    if (s.isEmpty())
        return false;
    for (QChar c : s)
        if (c < u'0' || c > u'9')
            return false;
    return true;
}

} // namespace

bool tryStrToDate(const QString &text, QDate &value)
{
    QStringList parts = text.trimmed().split(DateSeparator);
    if (parts.size() == 3 && parts.last().isEmpty())
        parts.removeLast(); // "d.m." means this year
    if (parts.size() < 2 || parts.size() > 3)
        return false;
    for (const QString &p : parts)
        if (!allDigits(p) || p.size() > 4)
            return false;
    const int day = parts[0].toInt();
    const int month = parts[1].toInt();
    const int thisYear = QDate::currentDate().year();
    int year = thisYear;
    if (parts.size() == 3) {
        year = parts[2].toInt();
        if (parts[2].size() <= 2) {
            year += (thisYear / 100) * 100;
            if (year > thisYear + 50)
                year -= 100;
            else if (year < thisYear - 50)
                year += 100;
        }
    }
    const QDate d(year, month, day);
    if (!d.isValid())
        return false;
    value = d;
    return true;
}

bool tryStrToTime(const QString &text, QTime &value)
{
    const QString t = text.trimmed();
    QString main = t;
    int msec = 0;
    const int dot = t.indexOf(u'.');
    if (dot >= 0) {
        const QString ms = t.mid(dot + 1);
        if (!allDigits(ms) || ms.size() > 3)
            return false;
        msec = ms.leftJustified(3, u'0').toInt();
        main = t.left(dot);
    }
    const QStringList parts = main.split(TimeSeparator);
    if (parts.size() < 2 || parts.size() > 3)
        return false;
    for (const QString &p : parts)
        if (!allDigits(p) || p.size() > 2)
            return false;
    if (dot >= 0 && parts.size() != 3)
        return false;
    const QTime tm(parts[0].toInt(), parts[1].toInt(), parts.size() == 3 ? parts[2].toInt() : 0, msec);
    if (!tm.isValid())
        return false;
    value = tm;
    return true;
}

} // namespace Formats
