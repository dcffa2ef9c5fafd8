#pragma once
// The SQLite connection under a Qt one, for what Qt Sql does not offer: reading a column
// without a QVariant per value, and functions of the program's own in SQL.

#include <QSqlDatabase>

struct sqlite3;

// Null when the connection is not open or its driver is not SQLite's.
sqlite3 *SqliteHandle(const QSqlDatabase &db);
