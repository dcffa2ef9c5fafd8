#pragma once
// A statement on SQLite's own interface, over the connection that Qt's SQLite driver has
// open: for the bulk work of imports and exports, where a QVariant per value costs more
// than storing or reading the value itself. Failures raise EDatabaseError with the text
// given, or the text of the failure's kind (see SqliteFailure).

#include "base/SqliteHandle.h"

#include <QSqlDatabase>
#include <QString>
#include <QVariant>

struct sqlite3;
struct sqlite3_stmt;

class TSqliteStatement
{
public:
    TSqliteStatement(const QSqlDatabase &db, const QString &sql, const QString &errorText);
    ~TSqliteStatement();
    TSqliteStatement(const TSqliteStatement &) = delete;
    TSqliteStatement &operator=(const TSqliteStatement &) = delete;

    sqlite3_stmt *get() const { return m_stmt; }
    // The next row (true) or the end (false).
    bool Step();
    // Runs a statement that gives no rows, then makes it ready for the next values.
    void Execute();
    // Binds the value of the parameter with that zero-based index as Qt's driver binds
    // it: null, whole numbers as integers, doubles as reals, everything else as its text.
    void Bind(int index, const QVariant &value);
    void BindInt(int index, qint64 value);

    // The value of a column of the current row as Qt's driver hands it over: null,
    // qint64, double, QByteArray (a blob) or QString.
    QVariant ColumnValue(int column) const;
    // The column's text; empty text is an empty, not a null string, as Qt's driver gives it.
    QString ColumnText(int column) const;

    [[noreturn]] void Fail() const;

private:
    sqlite3 *m_handle = nullptr;
    sqlite3_stmt *m_stmt = nullptr;
    QString m_errorText;
};
