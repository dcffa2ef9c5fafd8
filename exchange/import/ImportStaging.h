#pragma once
// The staging table of an import and what the operator is told about it: every importer
// (ADIF, the older log tables) delivers its records here, one at a time, with error and
// warning lines for what it could not take over; the review window shows the table and
// the lines, and only its "Importovat" appends the table to the log.
//
// The table is the file "_Temp.db" of the log's shape in the temporary folder, made new
// for each import and deleted with this object. Staged records are numbered 1, 2, 3 ...
// in the order they are posted, and every message line begins with the number that the
// record being read receives, so that a line leads to its record.

#include "log/LogConnection.h"
#include "log/LogRecord.h"
#include "log/LogTable.h"
#include "base/SqliteStatement.h"

#include <QString>
#include <QStringList>
#include <QVariantList>

#include <QSqlQuery>

#include <array>
#include <memory>
#include <string>
#include <optional>

class TImportStaging
{
public:
    static inline const QString TableFileName = QStringLiteral("_Temp.db");
    // The rule under the summary lines.
    static inline const QString SummaryRule = QString(74, u'-');
    static constexpr int SummaryLineCount = 5;

    // Creates the empty staging table in tempDir (a folder ending with "/") and opens
    // it; raises EDatabaseError when it cannot.
    explicit TImportStaging(const QString &tempDir);
    // Closes and deletes the table.
    ~TImportStaging();
    TImportStaging(const TImportStaging &) = delete;
    TImportStaging &operator=(const TImportStaging &) = delete;

    QString FilePath() const { return m_path; }
    QString ConnectionName() const { return m_connection.connectionName(); }
    // The table object for the review window's edits and deletions.
    LogTable &Table() { return *m_table; }

    // --- filling: an importer posts its records between BeginFill and EndFill, in one
    // transaction; AbortFill drops them all (an import that failed half-way) ---
    void BeginFill();
    void EndFill();
    void AbortFill();
    // Stores the record as the next staged one: it gets NextRecordNumber() as its ID and
    // counts as imported.
    void Post(const TLogRecord &record);
    // The ID the record being read will receive.
    int NextRecordNumber() const { return m_posted + 1; }
    // A source record dropped as a duplicate.
    void CountSkipped() { ++Skipped; }

    // --- counters ---
    void ResetCounters();
    int Imported = 0;
    int Skipped = 0;
    int Errors = 0;
    int Warnings = 0;

    // --- message lines ---
    // Append "(n) Chyba: text" (or "Varování") and count it; a text whose format cannot
    // be applied to its arguments adds nothing and is not counted (false).
    bool AddError(const QString &format, const QVariantList &args = {});
    bool AddWarning(const QString &format, const QVariantList &args = {});
    const QStringList &Messages() const { return m_messages; }
    // The message lines and their counts at one moment, to go back to when a record is
    // dropped with its own lines.
    struct TMessageMark {
        qsizetype lines = 0;
        int errors = 0;
        int warnings = 0;
    };
    TMessageMark MessageMark() const { return {m_messages.size(), Errors, Warnings}; }
    // Removes the lines added since the mark, and takes them out of the counts.
    void RollBackMessages(const TMessageMark &mark);
    // Puts the four counts and the rule above the message lines.
    void ShowSummary();
    // The record number a message line names: the number in the parentheses it begins
    // with; 0 for a line without one (the summary, the rule).
    static int RecordNumberOfLine(const QString &line);

    // --- to the log ---
    // Appends every staged record to the log of the connection in one transaction: all
    // of them reach the log, or (raising EDatabaseError) none. Returns the count.
    qint64 AppendTo(const QString &logConnectionName);
    // How many records the table holds now (after deletions in the review).
    qint64 RecordCount();

private:
    bool addLine(const QString &kind, const QString &format, const QVariantList &args, int &counter);
    void bindField(int field, const QVariant &value);

    QString m_path;
    LogConnection m_connection;
    std::unique_ptr<LogTable> m_table;
    QStringList m_messages;
    QString m_lineBuffer; // where the next message line is put together
    int m_posted = 0;
    std::unique_ptr<TSqliteStatement> m_insert; // prepared once for all staged records
    std::array<std::string, LogFieldCount> m_boundText; // the texts bound to it for one row
    std::array<QString, LogFieldCount> m_boundSource;   // the text each was made of, if any
};
