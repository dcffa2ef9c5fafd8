#include "print/QslTable.h"

#include "base/DatabaseError.h"
#include "log/LogConnection.h"
#include "log/LogTable.h"
#include "log/QueryViewsHeld.h"

#include <QFileInfo>
#include <QSqlError>
#include <QSqlQuery>

namespace
{

void reportSafely(TProgressReporter &reporter, long long done, long long total)
{
    // The copy must not fail because a progress window could not be updated.
    try {
        reporter.ReportStep(done, total);
    } catch (...) {
    }
}

const QString OkPrefixes = QStringLiteral("('OK0','OK1','OK2','OK3','OK4','OK6','OK7','OK9')");
const QString Digits = QStringLiteral("('0','1','2','3','4','5','6','7','8','9')");

// The group of a row as an SQL expression: the first condition that holds wins, so no row
// is counted in two groups and a row that fits none (an empty entity) goes to the last.
QString groupExpression()
{
    return QStringLiteral("CASE"
                          " WHEN substr(CALL,1,3) IN %1 AND NOT (substr(CALL,6,1) GLOB '[A-Z]') THEN 1"
                          " WHEN substr(CALL,1,3) IN %1 THEN 2"
                          " WHEN DXCC='OK' THEN 3"
                          " WHEN DXCC='K' AND (substr(CALL,2,1) IN %2 OR substr(CALL,3,1) IN %2) THEN 4"
                          " WHEN DXCC='K' THEN 5"
                          " ELSE 6 END")
        .arg(OkPrefixes, Digits);
}

// The sort key before call, date and time within each group.
QString groupOrder(int group)
{
    switch (group) {
    case 1:
    case 2:
        return QStringLiteral("substr(CALL,4),"); // the suffix
    case 4:
        return QStringLiteral("CASE WHEN substr(CALL,2,1) IN %1 THEN substr(CALL,2,1)"
                              " ELSE substr(CALL,3,1) END,")
            .arg(Digits); // the call-area digit
    default:
        return QString();
    }
}

QString groupInsertSql(int group)
{
    const QString dataFields = LogFieldNames.mid(1).join(u',');
    return QStringLiteral("INSERT INTO main.%1 (%2) SELECT %2 FROM src.%1 WHERE (%3)=%4"
                          " ORDER BY %5CALL,DAT,UTC,ID")
        .arg(LogTableName, dataFields, groupExpression())
        .arg(group)
        .arg(groupOrder(group));
}

// The tables are the program's temporary ones: told by the failure's kind (a full
// temporary folder), never in SQLite's words nor by their names.
[[noreturn]] void failSort(const QSqlDatabase &db, const QSqlError &error)
{
    throw SqlFailure(db, error, QStringLiteral("Chyba při třídění QSL!"));
}

void run(const QSqlDatabase &db, QSqlQuery &q, const QString &sql)
{
    if (!q.exec(sql))
        failSort(db, q.lastError());
}

} // namespace

void CopyMarkedToTable(LogQuery &query, const QList<TBookmark> &marked, const QString &tableFile,
                       const TProgressEvent &onProgress)
{
    TQueryViewsHeld quiet(query);
    DefineLogTable(tableFile);
    LogConnection connection(tableFile, LogConnection::OpenExisting);
    LogTable table(connection.connectionName());
    TProgressReporter reporter(onProgress);
    const long long last = marked.size() - 1;
    table.StartTransaction();
    for (int i = 0; i < marked.size(); ++i) {
        const int row = query.RowOfId(marked[i]);
        if (row < 0)
            continue; // a mark of a row no longer in the grid
        table.Insert(query.RecordAt(row));
        reportSafely(reporter, i, last);
    }
    table.Commit();
}

void BuildQSLTable(const QString &sourceTable, const QString &destTable, const TProgressEvent &onProgress)
{
    if (!QFileInfo(sourceTable).isFile())
        throw EDatabaseError(QStringLiteral("Chyba při třídění QSL!\nDočasná tabulka neexistuje."));
    DefineLogTable(destTable);
    LogConnection connection(destTable, LogConnection::OpenExisting);
    auto step = [&onProgress](int value) {
        if (onProgress)
            onProgress(value);
    };
    step(0);
    QSqlDatabase db = connection.database();
    {
        QSqlQuery q(db);
        q.prepare(QStringLiteral("ATTACH DATABASE ? AS src"));
        q.addBindValue(sourceTable);
        if (!q.exec())
            failSort(db, q.lastError());
        if (!db.transaction())
            failSort(db, db.lastError());
        try {
            for (int group = 1; group <= 6; ++group) {
                step(2 * group - 1);
                run(db, q, groupInsertSql(group));
                step(2 * group);
            }
        } catch (...) {
            db.rollback();
            q.exec(QStringLiteral("DETACH DATABASE src"));
            throw;
        }
        if (!db.commit())
            failSort(db, db.lastError());
        q.exec(QStringLiteral("DETACH DATABASE src"));
    }
}
