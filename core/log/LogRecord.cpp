#include "log/LogRecord.h"

#include "base/DatabaseError.h"
#include "base/Formats.h"

#include <QDate>
#include <QDateTime>
#include <QTime>

#include <cmath>
#include <limits>

namespace
{

const QString StoredDateFormat = QStringLiteral("yyyy-MM-dd");
const QString StoredTimeFormat = QStringLiteral("HH:mm:ss");

// The stored forms read digit by digit: the general format parser would cost more than
// the rest of reading a row. Anything else goes to the parser and is judged there.
int digitsAt(const QString &text, int at, int count)
{
    int value = 0;
    for (int i = at; i < at + count; ++i) {
        const char16_t c = text[i].unicode();
        if (c < u'0' || c > u'9')
            return -1;
        value = value * 10 + (c - u'0');
    }
    return value;
}

QDate storedDate(const QString &text)
{
    if (text.size() == 10 && text[4] == u'-' && text[7] == u'-') {
        const int y = digitsAt(text, 0, 4), m = digitsAt(text, 5, 2), d = digitsAt(text, 8, 2);
        if (y >= 0 && m >= 0 && d >= 0)
            return QDate(y, m, d); // invalid when the day or month is out of range
    }
    return QDate::fromString(text, StoredDateFormat);
}

QTime storedTime(const QString &text)
{
    if (text.size() == 8 && text[2] == u':' && text[5] == u':') {
        const int h = digitsAt(text, 0, 2), m = digitsAt(text, 3, 2), s = digitsAt(text, 6, 2);
        if (h >= 0 && m >= 0 && s >= 0)
            return QTime(h, m, s);
    }
    QTime time = QTime::fromString(text, StoredTimeFormat);
    if (!time.isValid())
        time = QTime::fromString(text, QStringLiteral("HH:mm"));
    return time;
}

[[noreturn]] void invalidValue(int field, const QString &text)
{
    throw EDatabaseError(
        QStringLiteral("Hodnota \"%1\" není platná pro pole %2!").arg(text, LogFieldNames[field]));
}

QString textOf(const QVariant &value)
{
    return value.toString();
}

QDate dateOf(int field, const QVariant &value)
{
    if (value.metaType().id() == QMetaType::QDate || value.metaType().id() == QMetaType::QDateTime)
        return value.toDate();
    const QString text = textOf(value).trimmed();
    QDate date = QDate::fromString(text, StoredDateFormat);
    if (!date.isValid() && !Formats::tryStrToDate(text, date))
        invalidValue(field, text);
    return date;
}

QTime timeOf(int field, const QVariant &value)
{
    if (value.metaType().id() == QMetaType::QTime)
        return value.toTime();
    if (value.metaType().id() == QMetaType::QDateTime)
        return value.toDateTime().time();
    const QString text = textOf(value).trimmed();
    QTime time;
    if (!Formats::tryStrToTime(text, time))
        invalidValue(field, text);
    return time;
}

double floatOf(int field, const QVariant &value)
{
    if (value.metaType().id() == QMetaType::QString) {
        double number = 0;
        if (!Formats::tryStrToFloat(value.toString(), number))
            invalidValue(field, value.toString());
        return number;
    }
    bool ok = false;
    const double number = value.toDouble(&ok);
    if (!ok)
        invalidValue(field, textOf(value));
    return number;
}

qint64 integerOf(int field, const QVariant &value)
{
    bool ok = false;
    qint64 number = 0;
    if (value.metaType().id() == QMetaType::QString) {
        int parsed = 0;
        ok = Formats::tryStrToInt(value.toString(), parsed);
        number = parsed;
    } else if (value.metaType().id() == QMetaType::Double) {
        // Only a whole number within the 64-bit range converts; casting any other double
        // (NaN, 1e30) to an integer is undefined.
        const double d = value.toDouble();
        ok = std::isfinite(d) && std::trunc(d) == d && std::abs(d) < 0x1p63;
        number = ok ? static_cast<qint64>(d) : 0;
    } else {
        number = value.toLongLong(&ok);
    }
    if (!ok)
        invalidValue(field, textOf(value));
    if (LogFieldTypes[field] == ftSmallint &&
        (number < std::numeric_limits<qint16>::min() || number > std::numeric_limits<qint16>::max()))
        invalidValue(field, QString::number(number));
    return number;
}

} // namespace

bool IsEmptyLogValue(const QVariant &value)
{
    // The values are looked at in place: a copy costs more than the test. A null variant
    // of these types holds their default value, which is empty too.
    switch (value.typeId()) {
    case QMetaType::UnknownType:
        return true;
    case QMetaType::QString:
        return static_cast<const QString *>(value.constData())->isEmpty();
    // An invalid date or time is no value either (QVariant does not count it as null).
    case QMetaType::QDate:
        return !static_cast<const QDate *>(value.constData())->isValid();
    case QMetaType::QTime:
        return !static_cast<const QTime *>(value.constData())->isValid();
    case QMetaType::QDateTime:
        return !static_cast<const QDateTime *>(value.constData())->isValid();
    default:
        return value.isNull();
    }
}

bool TLogRecord::isEmpty(int field) const
{
    return IsEmptyLogValue(values[field]);
}

void TLogRecord::clear()
{
    for (QVariant &v : values)
        if (v.isValid())
            v = QVariant();
}

QVariant LogValueToStorage(int field, const QVariant &value)
{
    if (IsEmptyLogValue(value))
        return QVariant();
    switch (LogFieldTypes[field]) {
    case ftDate:
        return dateOf(field, value).toString(StoredDateFormat);
    case ftTime:
        return timeOf(field, value).toString(StoredTimeFormat);
    case ftString:
        return textOf(value).left(LogFieldSizes[field]);
    case ftFloat:
        return floatOf(field, value);
    case ftSmallint:
    case ftAutoInc:
        return integerOf(field, value);
    }
    return QVariant();
}

QVariant LogValueFromStorage(int field, const QVariant &stored)
{
    if (stored.isNull())
        return QVariant();
    switch (LogFieldTypes[field]) {
    case ftDate: {
        const QDate date = storedDate(stored.toString());
        return date.isValid() ? QVariant(date) : QVariant();
    }
    case ftTime: {
        const QTime time = storedTime(stored.toString());
        return time.isValid() ? QVariant(time) : QVariant();
    }
    case ftString:
        return stored.toString();
    case ftFloat:
        return stored.toDouble();
    case ftSmallint:
        return stored.toInt();
    case ftAutoInc:
        return stored.toLongLong();
    }
    return QVariant();
}

QVariant LogValueFromText(int field, const QString &text)
{
    if (text.isEmpty())
        return QVariant();
    switch (LogFieldTypes[field]) {
    case ftDate: {
        QDate date;
        if (!Formats::tryStrToDate(text, date))
            invalidValue(field, text);
        return date;
    }
    case ftTime:
        return timeOf(field, text);
    case ftString:
        return text;
    case ftFloat:
        if (text.trimmed().isEmpty())
            return QVariant();
        return floatOf(field, text);
    case ftSmallint:
    case ftAutoInc:
        if (text.trimmed().isEmpty())
            return QVariant();
        return static_cast<int>(integerOf(field, text));
    }
    return QVariant();
}

QString LogValueAsString(int field, const QVariant &value)
{
    if (IsEmptyLogValue(value))
        return QString();
    switch (LogFieldTypes[field]) {
    case ftDate:
        return Formats::dateToStr(value.toDate());
    case ftTime:
        return Formats::timeToStr(value.toTime());
    case ftFloat:
        return Formats::floatToStr(value.toDouble());
    case ftString:
    case ftSmallint:
    case ftAutoInc:
        break;
    }
    return value.toString();
}
