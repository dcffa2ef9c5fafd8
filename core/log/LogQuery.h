#pragma once
// The read-only, ordered view of a log table that the grids and the commands read
// through: record number and count, navigation, locate, bookmarks (a row's ID), field
// values and display texts, and the disable/enable counter of the bound views.
//
// Opening fetches only the ordered list of IDs; whole rows are read in pages around
// the rows asked for and kept in a small cache, so a log of a million QSOs opens in a
// fraction of a second and costs some ten megabytes. The query never changes the log: changes go
// through LogTable, after which the query is opened again.

#include "log/LogRecord.h"

#include <QFlags>
#include <QObject>
#include <QString>
#include <QStringList>
#include <QVariant>

#include <functional>
#include <memory>
#include <vector>

class TLogRowView;

// A bookmark is the row's ID; 0 is no bookmark.
using TBookmark = qint64;

class LogQuery : public QObject
{
    Q_OBJECT
public:
    enum LocateOption { loCaseInsensitive = 0x1, loPartialKey = 0x2 };
    Q_DECLARE_FLAGS(TLocateOptions, LocateOption)

    explicit LogQuery(QObject *parent = nullptr);
    ~LogQuery() override;

    // --- what the query selects (takes effect at the next Open) ---
    // The named QSqlDatabase connection of the log file (see LogConnection, TdmLog).
    void SetConnectionName(const QString &connectionName);
    QString ConnectionName() const;
    // The condition without the word WHERE, over the log's field names, with "?" for every
    // value; the values are bound in this order, never written into the SQL text. An empty
    // condition selects every row.
    void SetWhere(const QString &condition, const QVariantList &values = {});
    QString Where() const;
    QVariantList WhereValues() const;
    // The order: log field names, each optionally followed by " DESC". Rows equal in all
    // of them keep the order of their IDs. Empty means "DAT,UTC". An unknown name makes
    // Open raise EDatabaseError.
    void SetOrderBy(const QStringList &fields);
    QStringList OrderBy() const;
    // The log grid's order for a sort field: "DAT,UTC" for DAT and UTC, else the field
    // followed by DAT and UTC ("CALL,DAT,UTC").
    static QStringList SortOrderFor(int fieldIndex);

    // --- life ---
    // Runs the query and stands on the first row; emits afterOpen (an open query is closed
    // first). Raises EDatabaseError on failure, the query then closed; but while another
    // program holds the log (TDatabaseFailure::Busy) it stays as it was, an open one with
    // its rows and position.
    void Open();
    void Close();
    bool Active() const;
    // Brings the result up to date after the rows with these IDs were inserted, changed
    // or deleted (and nothing else changed): each leaves its place and, when it is in the
    // log and the condition selects it, enters at the place the order gives it. The same
    // rows in the same order as Open, without reading the whole list again; then as after
    // Open (first row, afterOpen), but bound views are told only the rows that went and came.
    // Raises EDatabaseError on failure, the query then closed, or as it was while another
    // program holds the log (see Open).
    void RefreshRows(const QList<qint64> &changedIds);

    // --- position (record numbers are 1-based; rows are 0-based) ---
    int RecordCount() const;
    bool IsEmpty() const;
    int RecNo() const;        // 0 when the query is empty or closed
    bool SetRecNo(int recNo); // false when out of range (the position stays)
    int CurrentRow() const;   // RecNo() - 1
    bool Bof() const;
    bool Eof() const;
    void First();
    void Last();
    void Next();
    void Prior();
    // Moves by `distance` rows, stopping at either end; returns how far it moved.
    int MoveBy(int distance);

    // Moves to the first row, in query order, whose fields equal the values; false (no
    // move) when there is none. Partial key: a text field matches when it begins with
    // the value. Case-insensitive applies to ASCII letters.
    bool Locate(const QList<int> &fields, const QVariantList &values, TLocateOptions options = {});
    bool Locate(int field, const QVariant &value, TLocateOptions options = {});
    // Whether a row of the result has fields equal to the values, as Locate without
    // options would find it, but without moving. An index over the fields makes it fast
    // on any log.
    bool Contains(const QList<int> &fields, const QVariantList &values) const;

    // --- bookmarks ---
    TBookmark Bookmark() const; // ID of the current row, 0 when empty
    bool BookmarkValid(TBookmark bookmark) const;
    bool GotoBookmark(TBookmark bookmark); // false (no move) when not in the result
    qint64 IdAt(int row) const;
    int RowOfId(qint64 id) const; // -1 when not in the result

    // --- bound views ---
    // A counter: while it is above zero, bound views are told nothing (they neither
    // repaint nor scroll); the last EnableControls tells them once what changed.
    void DisableControls();
    void EnableControls();
    bool ControlsDisabled() const;

    // --- fields (of the current row, or of any row) ---
    int FieldCount() const { return LogFieldCount; }
    int FieldIndex(const QString &fieldName) const; // -1 when unknown
    QVariant Value(int field) const;                // null when empty or no current row
    QVariant Value(const QString &fieldName) const;
    QVariant ValueAt(int row, int field) const;
    TLogRecord Record() const;
    TLogRecord RecordAt(int row) const;
    QString AsString(int field) const; // LogValueAsString of the value
    // Hands the rows from `firstRow` on to `visit` in query order, read with one statement
    // rather than page by page (an export of the whole log), until `visit` returns false.
    // The records are those RecordAt gives; the current row does not move. Raises
    // EDatabaseError when the log cannot be read.
    void ReadRows(int firstRow, const std::function<bool(int row, const TLogRecord &record)> &visit) const;
    // The same pass handing over views of the rows as the statement reads them, which
    // spare a QVariant per value; a view is valid only during its call of `visit`.
    void ReadRowViews(int firstRow, const std::function<bool(int row, const TLogRowView &view)> &visit) const;

    // --- reads for views (grids, the strip, the QSO window's look-ups) ---
    // As ValueAt, DisplayTextAt and RecordAt, but they never raise: a row that cannot be
    // read (a damaged page of the log file) reads as empty but for its ID. The first such
    // failure after opening is kept in ReadError() and announced once by readFailed, later,
    // from the event loop, so that no view shows a message while it paints. The reads
    // above keep raising EDatabaseError for such a row: an operation over the log must not
    // take a row it could not read for an empty one.
    QVariant ViewValueAt(int row, int field) const;
    QString ViewDisplayTextAt(int row, int field) const;
    // ok (when given) is false for a row that could not be read.
    TLogRecord ViewRecordAt(int row, bool *ok = nullptr) const;
    QString ReadError() const;

    // Display formats of DAT, UTC and the float fields (patterns of Formats); an empty
    // pattern shows dates "dd.mm.yyyy", times "hh:nn:ss" and floats in shortest form.
    void SetDisplayFormat(int field, const QString &pattern);
    QString DisplayFormat(int field) const;
    QString DisplayText(int field) const;
    QString DisplayTextAt(int row, int field) const;

signals:
    // Events of the query, sent whatever the counter of the bound views says.
    void afterOpen();
    void afterScroll();
    void afterClose();
    // Notices for bound views, held back while the controls are disabled.
    void viewReset();          // opened, closed or re-opened: rows and count changed
    void viewCurrentChanged(); // the current row moved
    // A view read failed for the first time since the query was opened (queued).
    void readFailed(const QString &message);
    // RefreshRows takes out the row at `row` (inserted false) or puts one in there (true):
    // the first before, the second after the change. Views that do not follow these are
    // reset instead. A current-row notice follows the last one.
    void viewRowAboutToBeEdited(bool inserted, int row);
    void viewRowEdited(bool inserted, int row);

private:
    struct Private;
    std::unique_ptr<Private> d;

    void moveTo(int row, bool bof = false, bool eof = false);
    void scrolled();
    void notifyReset();
    QString displayText(int field, const QVariant &value) const;
    void emitRowEdits();
};

Q_DECLARE_OPERATORS_FOR_FLAGS(LogQuery::TLocateOptions)
