#include "log/LogRowView.h"

#include "base/SqliteStatement.h"
#include "base/Utf8Text.h"

#include <sqlite3.h>

namespace
{

// The digits of the stored forms, as LogValueFromStorage reads them; -1 when one is not
// a digit (that text goes the general way).
int digitsAt(QByteArrayView text, int at, int count)
{
    int value = 0;
    for (int i = at; i < at + count; ++i) {
        const char c = text[i];
        if (c < '0' || c > '9')
            return -1;
        value = value * 10 + (c - '0');
    }
    return value;
}

} // namespace

TLogRowView::TLogRowView(const TSqliteStatement &statement) : m_statement(&statement), m_stmt(statement.get()) {}

int TLogRowView::type(int field) const
{
    return sqlite3_column_type(m_stmt, field);
}

QByteArrayView TLogRowView::storedText(int field) const
{
    const auto *text = reinterpret_cast<const char *>(sqlite3_column_text(m_stmt, field));
    return QByteArrayView(text, sqlite3_column_bytes(m_stmt, field));
}

QVariant TLogRowView::Value(int field) const
{
    if (m_record)
        return (*m_record)[field];
    const int stored = type(field);
    switch (LogFieldTypes[field]) {
    case ftString:
        if (stored == SQLITE_TEXT)
            return m_statement->ColumnText(field);
        break;
    case ftFloat:
        if (stored == SQLITE_FLOAT || stored == SQLITE_INTEGER)
            return sqlite3_column_double(m_stmt, field);
        break;
    case ftSmallint:
        if (stored == SQLITE_INTEGER)
            return int(sqlite3_column_int64(m_stmt, field));
        break;
    default:
        break;
    }
    return LogValueFromStorage(field, m_statement->ColumnValue(field));
}

TLogRecord TLogRowView::Record() const
{
    if (m_record)
        return *m_record;
    TLogRecord record;
    record[fiID] = qint64(sqlite3_column_int64(m_stmt, fiID));
    for (int field = 1; field < LogFieldCount; ++field)
        record[field] = Value(field);
    return record;
}

bool TLogRowView::IsNull(int field) const
{
    if (m_record)
        return (*m_record)[field].isNull();
    switch (LogFieldTypes[field]) {
    case ftDate:
        return !Date(field).isValid();
    case ftTime:
        return !Time(field).isValid();
    default:
        // Every other stored value makes a value of the field's type.
        return type(field) == SQLITE_NULL;
    }
}

bool TLogRowView::IsEmpty(int field) const
{
    if (m_record)
        return m_record->isEmpty(field);
    if (LogFieldTypes[field] == ftString && type(field) == SQLITE_TEXT)
        return sqlite3_column_bytes(m_stmt, field) == 0;
    return IsEmptyLogValue(Value(field));
}

QString TLogRowView::String(int field) const
{
    return Value(field).toString();
}

double TLogRowView::Double(int field) const
{
    if (!m_record && LogFieldTypes[field] == ftFloat) {
        switch (type(field)) {
        case SQLITE_NULL:
            return 0;
        case SQLITE_FLOAT:
        case SQLITE_INTEGER:
            return sqlite3_column_double(m_stmt, field);
        default:
            break;
        }
    }
    return Value(field).toDouble();
}

int TLogRowView::Int(int field) const
{
    if (!m_record && LogFieldTypes[field] == ftSmallint) {
        switch (type(field)) {
        case SQLITE_NULL:
            return 0;
        case SQLITE_INTEGER:
            return int(sqlite3_column_int64(m_stmt, field));
        default:
            break;
        }
    }
    return Value(field).toInt();
}

int TLogRowView::storedParts(int field, int firstWidth, char separator, int parts[3]) const
{
    if (m_record)
        return -1;
    switch (type(field)) {
    case SQLITE_NULL:
        return 0;
    case SQLITE_TEXT: {
        const QByteArrayView text = storedText(field);
        const int second = firstWidth + 1, third = second + 3;
        if (text.size() != third + 2 || text[firstWidth] != separator || text[second + 2] != separator)
            return -1;
        parts[0] = digitsAt(text, 0, firstWidth);
        parts[1] = digitsAt(text, second, 2);
        parts[2] = digitsAt(text, third, 2);
        return parts[0] >= 0 && parts[1] >= 0 && parts[2] >= 0 ? 1 : -1;
    }
    default:
        return -1;
    }
}

QDate TLogRowView::Date(int field) const
{
    // A day or month out of range gives an invalid date, as the general way does.
    int parts[3];
    if (LogFieldTypes[field] == ftDate) {
        switch (storedParts(field, 4, '-', parts)) {
        case 0:
            return QDate();
        case 1:
            return QDate(parts[0], parts[1], parts[2]);
        }
    }
    return Value(field).toDate();
}

QTime TLogRowView::Time(int field) const
{
    int parts[3];
    if (LogFieldTypes[field] == ftTime) {
        switch (storedParts(field, 2, ':', parts)) {
        case 0:
            return QTime();
        case 1:
            return QTime(parts[0], parts[1], parts[2]);
        }
    }
    return Value(field).toTime();
}

bool TLogRowView::Ascii(int field, QByteArrayView &bytes) const
{
    if (m_record || LogFieldTypes[field] != ftString)
        return false;
    switch (type(field)) {
    case SQLITE_NULL:
        bytes = QByteArrayView();
        return true;
    case SQLITE_TEXT:
        bytes = storedText(field);
        return IsAsciiBytes(bytes);
    default:
        return false;
    }
}
