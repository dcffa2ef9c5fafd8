#pragma once
// Changes to a log table, each finding its record by ID. Every call is one transaction of
// its own (all or nothing), unless the caller has started one with StartTransaction, in
// which case it becomes part of that one. Bulk calls over many IDs reuse one prepared
// statement. Failures raise EDatabaseError after the transaction has been rolled back.

#include "log/LogRecord.h"
#include "base/Progress.h"

#include <QList>
#include <QSqlDatabase>
#include <QString>

#include <functional>
#include <memory>

class LogTable
{
public:
    // Works on the log table of the named QSqlDatabase connection (see LogConnection).
    explicit LogTable(const QString &connectionName);
    ~LogTable();
    LogTable(const LogTable &) = delete;
    LogTable &operator=(const LogTable &) = delete;

    QString ConnectionName() const;

    // Stores a new record (its ID is ignored) and returns the ID the table gave it.
    qint64 Insert(const TLogRecord &record);
    // Writes fields 1..24 of the record over the row with that ID; false when there is none.
    bool Edit(qint64 id, const TLogRecord &record);
    // Reads the row with that ID; false (record untouched) when there is none.
    bool FindKey(qint64 id, TLogRecord &record);
    // Deletes the row with that ID; false when there is none.
    bool Delete(qint64 id);
    // Deletes the rows with these IDs; IDs no longer in the table are passed over.
    // Returns how many rows were deleted.
    int Delete(const QList<qint64> &ids);
    // Sets one field of every listed row to the same value (a QSL state, a bulk edit);
    // returns how many rows were changed.
    int SetFieldValue(const QList<qint64> &ids, int field, const QVariant &value);
    // Reads each listed row, lets `change` alter it and writes fields 1..24 back (a bulk
    // edit that recomputes other fields, a QSL toggle); missing IDs are passed over.
    // Returns how many rows were written. `progress` receives the percentage of the listed
    // rows done (0 to 100) whenever it changes.
    int Update(const QList<qint64> &ids, const std::function<void(TLogRecord &)> &change,
               const TProgressEvent &progress = {});

    // Appends every row of another log-shaped file (the import staging table) in the order
    // of its IDs; the rows get new IDs of this table in that order. Returns the count.
    qint64 AppendFrom(const QString &sourcePath);

    qint64 RecordCount();

    // An outer transaction that several calls join (an import filling a staging table).
    void StartTransaction();
    void Commit();
    void Rollback();
    bool InTransaction() const;

private:
    struct Private;
    std::unique_ptr<Private> d;
};
