#include "Formats.h"

#include <QLocale>
#include <QStringList>

#include <algorithm>
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

struct DecimalText {
    QString whole;
    QString fraction;
    bool isZero() const
    {
        const auto zero = [](QChar c) { return c == u'0'; };
        return std::all_of(whole.cbegin(), whole.cend(), zero) &&
               std::all_of(fraction.cbegin(), fraction.cend(), zero);
    }
};

// A non-negative value rounded half away from zero to `decimals` places. The rounding works
// on the value's 15 significant decimal digits rather than on its binary form: 1.005 is
// held in binary just below 1.005, but reads, and so rounds, as 1.005 to 1.01.
DecimalText roundedDecimal(double magnitude, int decimals)
{
    const QString scientific = QString::number(magnitude, 'e', 14); // "d.dddddddddddddde+XX"
    const qsizetype e = scientific.indexOf(u'e');
    QString digits = scientific.left(1) + scientific.mid(2, e - 2);
    int integerDigits = scientific.mid(e + 1).toInt() + 1; // value = 0.<digits> x 10^integerDigits
    const int keep = integerDigits + decimals;
    if (keep < 0)
        return {QStringLiteral("0"), QString(decimals, u'0')};
    if (keep < digits.size()) {
        const bool roundUp = digits.at(keep) >= u'5';
        digits.truncate(keep);
        if (roundUp) {
            int i = keep - 1;
            for (; i >= 0 && digits.at(i) == u'9'; --i)
                digits[i] = u'0';
            if (i >= 0) {
                digits[i] = QChar(digits.at(i).unicode() + 1);
            } else {
                digits.prepend(u'1');
                ++integerDigits;
            }
        }
    }
    if (integerDigits <= 0) {
        digits.prepend(QString(1 - integerDigits, u'0'));
        integerDigits = 1;
    }
    digits = digits.leftJustified(integerDigits + decimals, u'0');
    return {digits.left(integerDigits), digits.mid(integerDigits)};
}

} // namespace

QString formatDateTime(const QString &pattern, const QDateTime &value)
{
    const QDate d = value.date();
    const QTime t = value.time();
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

QString formatDate(const QString &pattern, const QDate &value)
{
    return formatDateTime(pattern, QDateTime(value, QTime(0, 0)));
}

QString formatTime(const QString &pattern, const QTime &value)
{
    return formatDateTime(pattern, QDateTime(QDate(1899, 12, 30), value));
}

QString formatFloat(const QString &pattern, double value)
{
    if (!std::isfinite(value))
        return floatToStr(value);
    const int point = pattern.indexOf(u'.');
    const QString intPart = point < 0 ? pattern : pattern.left(point);
    const QString fracPart = point < 0 ? QString() : pattern.mid(point + 1);
    const int minDecimals = int(fracPart.count(u'0'));
    const int minIntDigits = int(intPart.count(u'0'));

    const DecimalText rounded = roundedDecimal(std::abs(value), int(fracPart.size()));
    QString whole = rounded.whole;
    QString frac = rounded.fraction;
    while (frac.size() > minDecimals && frac.endsWith(u'0'))
        frac.chop(1);
    if (whole == u"0" && minIntDigits == 0)
        whole.clear();
    whole = whole.rightJustified(minIntDigits, u'0');
    QString out = whole;
    if (!frac.isEmpty())
        out += DecimalSeparator + frac;
    if (out.isEmpty())
        out = QStringLiteral("0");
    if (value < 0 && !rounded.isZero())
        out.prepend(u'-');
    return out;
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
