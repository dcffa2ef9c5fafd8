#pragma once
// One QSO of the log as a pass over the whole log reads it: either straight from the
// current row of a statement that selects the log's fields in their order, or from a
// record read earlier. Every accessor gives exactly what the same call on the record's
// value (as the log query makes it of the stored value) would give; the statement's row
// is only spared the QVariant and QString of each value in the common cases (text in
// text fields, numbers in number fields, dates and times in their stored forms).
//
// A view over a statement is valid until the statement steps on.

#include "log/LogRecord.h"

#include <QByteArrayView>
#include <QDate>
#include <QString>
#include <QTime>
#include <QVariant>

class TSqliteStatement;
struct sqlite3_stmt;

class TLogRowView
{
public:
    explicit TLogRowView(const TLogRecord &record) : m_record(&record) {}
    explicit TLogRowView(const TSqliteStatement &statement);

    // The value as the record holds it (the stored value made typed, as the log query
    // makes it).
    QVariant Value(int field) const;
    TLogRecord Record() const;

    // Value(field).isNull(), IsEmptyLogValue(Value(field)), and the conversions of the value.
    bool IsNull(int field) const;
    bool IsEmpty(int field) const;
    QString String(int field) const;
    double Double(int field) const;
    int Int(int field) const;
    QDate Date(int field) const;
    QTime Time(int field) const;

    // True when the field's text is plain ASCII as stored (or empty), and then its bytes,
    // the same as String(field) in one byte a character. False for any other value: the
    // caller takes String(field).
    bool Ascii(int field, QByteArrayView &bytes) const;

private:
    int type(int field) const;
    QByteArrayView storedText(int field) const;
    // A date or time field in its stored form ("YYYY-MM-DD", "HH:MM:SS"): 1 and its three
    // numbers; 0 when NULL; -1 for anything else, which is read the general way.
    int storedParts(int field, int firstWidth, char separator, int parts[3]) const;

    const TLogRecord *m_record = nullptr;
    const TSqliteStatement *m_statement = nullptr;
    sqlite3_stmt *m_stmt = nullptr;
};
