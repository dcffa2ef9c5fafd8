#pragma once
// Text forms of numbers, dates and times with the program's separators: "," for
// decimals, "." in dates and ":" in times, whatever the system locale says.

#include <QByteArray>
#include <QDate>
#include <QDateTime>
#include <QString>
#include <QTime>

namespace Formats {

inline constexpr QChar DecimalSeparator = u',';
inline constexpr QChar DateSeparator = u'.';
inline constexpr QChar TimeSeparator = u':';

// Date/time pattern: d/dd day, m/mm month, yy/yyyy year, h/hh hour, nn minutes,
// ss seconds, zzz milliseconds; any other character stands for itself.
QString formatDateTime(const QString &pattern, const QDateTime &value);
QString formatDate(const QString &pattern, const QDate &value);
QString formatTime(const QString &pattern, const QTime &value);

// Number pattern such as "0.###" or "0.00": "0" a mandatory digit, "#" an optional
// one, "." the decimal point (written as ","). Rounds half away from zero.
QString formatFloat(const QString &pattern, double value);

// A number pattern read once, for formatting many values without reading it again.
struct FloatPattern {
    explicit FloatPattern(QStringView pattern);
    int decimals = 0;     // characters after the point
    int minDecimals = 0;  // "0" among them
    int minIntDigits = 0; // "0" before the point
};
// The bytes of formatFloat with `separator` for the decimal point, appended to out.
void appendFloat(QByteArray &out, const FloatPattern &pattern, double value, char separator);

// The shortest general form with up to 15 significant digits and "," as separator.
QString floatToStr(double value);
// The bytes of floatToStr with `separator` for the decimal point, appended to out.
void appendFloatToStr(QByteArray &out, double value, char separator);

// The program's short date "dd.mm.yyyy" and long time "hh:nn:ss".
QString dateToStr(const QDate &value);
QString timeToStr(const QTime &value);

// Parsers; blanks around the text are allowed. A float takes "," (never ".") as its
// decimal separator and may carry a sign and an exponent.
bool tryStrToFloat(const QString &text, double &value);
bool tryStrToInt(const QString &text, int &value);
// "d.m.yyyy", "d.m.yy" (two-digit years within fifty years of today) or "d.m" (this year).
bool tryStrToDate(const QString &text, QDate &value);
// "h:n", "h:n:s" or "h:n:s.zzz".
bool tryStrToTime(const QString &text, QTime &value);

} // namespace Formats
