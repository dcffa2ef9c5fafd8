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

#include <functional>
#include <optional>
#include <string_view>
#include <vector>

class TSqliteStatement;

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

// The first column, as IDs, of every row of a SELECT with "?" for each of the values,
// read through SQLite's own interface (a large log's IDs without a QVariant each), into a
// list with room for `capacity` IDs from the start. Nothing when the connection is not
// SQLite's or a value is of a kind not bound here (dates and times). Raises EDatabaseError
// when the log cannot be read.
std::optional<std::vector<qint64>> ReadLogIds(const QSqlDatabase &db, const QString &select,
                                              const QVariantList &values, size_t capacity = 0);

// How many rows the log can hold at most, told at once by its lowest and highest ID: its
// row count where no QSO was deleted. 0 for an empty log, or when the connection is not
// SQLite's. Raises EDatabaseError when the log cannot be read.
qint64 LogIdSpan(const QSqlDatabase &db);

// The IDs of the rows that the condition (SQL over the log's field names, "?" for each of
// the values, bound in order) selects, in this order: the condition read in one pass
// without a sort; a small part of the log (a sixteenth at most) sorted here from the keys
// read with it, a larger part placed by the whole log's order where an index gives it or
// SortLogInMemory sorts it, which is faster than SQLite's sort of a large part of the log.
// Nothing when a large part would need SQLite's own sort of the whole log, or for values
// other than numbers, texts and blobs. Raises EDatabaseError when the log cannot be read.
std::optional<std::vector<qint64>> OrderSelectedIds(const QSqlDatabase &db, const TLogOrder &order,
                                                    const QString &condition, const QVariantList &values);

// One value of a column as SQLite stores it, for a visit of a whole column: its bytes
// when it is a text, and the value Qt's driver would make of it, made only when asked for.
// A row that is gone reads as NULL.
class TStoredCell
{
public:
    // The column of the statement's current row; no statement: a row that is gone.
    TStoredCell(const TSqliteStatement *statement, int column);
    bool IsNull() const { return m_null; }
    bool IsText() const { return m_text; }
    std::string_view Text() const; // the UTF-8 bytes of a text
    QVariant Value() const;

private:
    const TSqliteStatement *m_statement;
    int m_column;
    bool m_null = true;
    bool m_text = false;
};

// Hands the ID and the stored value of one field of every row that the condition selects
// to `visit`, in the table's order, read through SQLite's own interface: a search over
// one column of a large log. False, with nothing read, when the connection is not
// SQLite's or the values are of a kind OrderSelectedIds leaves alone. Raises
// EDatabaseError when the log cannot be read.
bool ReadLogColumn(const QSqlDatabase &db, int field, const QString &condition, const QVariantList &values,
                   const std::function<void(qint64 id, const TStoredCell &stored)> &visit);

// Hands the stored value of one field of each of the rows with these IDs to `visit`, in
// the order of the IDs, until it answers false; a row that is gone comes as NULL. False,
// with nothing read, when the connection is not SQLite's. Raises EDatabaseError when the
// log cannot be read.
bool ReadLogValues(const QSqlDatabase &db, int field, const std::vector<qint64> &ids,
                   const std::function<bool(const TStoredCell &stored)> &visit);
