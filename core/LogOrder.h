#pragma once
// The order of a log query's rows, as SQLite's ORDER BY gives it and as the program
// computes it itself: NULL first, then numbers by value, then texts character by
// character (the binary collation of the log's columns), then blobs; each key ascending
// or descending; the ID as the last key, so that no two rows tie.
//
// The program orders in memory where SQLite would sort through a temporary table (a field
// without an index over the whole log): reading the key and the ID and sorting them here
// takes half the time. And a row that was inserted, changed or deleted is put back at its
// place in an ordered list of IDs without reading the whole list again.

#include <QSqlDatabase>
#include <QStringList>
#include <QVariant>

#include <optional>
#include <vector>

struct TOrderTerm {
    int field = 0;
    bool descending = false;

    friend bool operator==(const TOrderTerm &, const TOrderTerm &) = default;
};

// The keys of an order, the ID always the last one.
using TLogOrder = std::vector<TOrderTerm>;

// Reads an order list of log field names, each optionally followed by " ASC" or " DESC";
// an empty list is DAT, UTC. The ID is appended unless listed. An unknown name raises
// EDatabaseError.
TLogOrder ParseLogOrder(const QStringList &order);

// The order as SQL ("NAME,DAT,UTC,ID"). As expressions ("+NAME,...") SQLite does not
// walk an ordering index; the order is the same.
QString LogOrderSql(const TLogOrder &order, bool asExpressions);

// Compares two column values as ORDER BY does with the binary collation: negative, zero
// or positive.
int CompareSqlValues(const QVariant &a, const QVariant &b);

// Compares the keys of two rows (the values of the order's fields, in its order).
int CompareOrderKeys(const TLogOrder &order, const QVariantList &a, const QVariantList &b);

// The IDs of every row of the log in this order, sorted in memory, for the orders that
// SQLite would sort through a temporary table: one field without an index followed by
// DAT, UTC (and ID), as the grid's sort commands order. Nothing for the other orders,
// which SQLite reads from an index or which the program does not sort itself. Raises
// EDatabaseError when the log cannot be read.
std::optional<std::vector<qint64>> SortLogInMemory(const QSqlDatabase &db, const TLogOrder &order);
