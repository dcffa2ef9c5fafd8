#include "log/LogTable.h"

#include "base/DatabaseError.h"
#include "base/MessageTexts.h"

#include <QFileInfo>
#include <QSqlError>
#include <QSqlQuery>

#include <optional>
#include <type_traits>

namespace
{

QString dataFieldList()
{
    return LogFieldNames.mid(1).join(u',');
}

QString placeholders(int count)
{
    QStringList marks;
    for (int i = 0; i < count; ++i)
        marks << QStringLiteral("?");
    return marks.join(u',');
}

} // namespace

struct LogTable::Private {
    QString connectionName;
    QSqlDatabase db;
    int outerDepth = 0; // 1 while StartTransaction is in force
    std::optional<QSqlQuery> insertQuery, updateQuery, selectQuery, deleteQuery, savepointQuery, releaseQuery;

    QString failureContext() const
    {
        if (IsTemporaryTable(db.databaseName()))
            return QStringLiteral("Chyba při zápisu do dočasné tabulky!");
        return QStringLiteral("Chyba při zápisu do deníku \"%1\"!").arg(QFileInfo(db.databaseName()).fileName());
    }

    // A fault of the program's own (a call that does not fit), in Czech.
    [[noreturn]] void fail(const QString &detail) const
    {
        throw EDatabaseError(failureContext() + u'\n' + detail);
    }

    // A failure of SQLite, told by its kind (another program holds the log, read-only,
    // disk full), never in SQLite's words.
    [[noreturn]] void fail(const QSqlError &error) const { throw SqlFailure(db, error, failureContext()); }

    void exec(const QString &sql)
    {
        QSqlQuery q(db);
        if (!q.exec(sql))
            fail(q.lastError());
    }

    QSqlQuery &prepared(std::optional<QSqlQuery> &slot, const QString &sql)
    {
        if (!slot) {
            slot.emplace(db);
            if (!slot->prepare(sql)) {
                const QSqlError error = slot->lastError();
                slot.reset();
                fail(error);
            }
        }
        return *slot;
    }

    void run(QSqlQuery &q)
    {
        if (!q.exec())
            fail(q.lastError());
    }

    void bindData(QSqlQuery &q, const TLogRecord &record)
    {
        for (int field = 1; field < LogFieldCount; ++field)
            q.bindValue(field - 1, LogValueToStorage(field, record[field]));
    }

    bool read(qint64 id, TLogRecord &record)
    {
        QSqlQuery &q = prepared(
            selectQuery, QStringLiteral("SELECT %1 FROM %2 WHERE ID=?").arg(LogFieldListSql(), LogTableName));
        q.bindValue(0, id);
        run(q);
        const bool found = q.next();
        if (found)
            for (int field = 0; field < LogFieldCount; ++field)
                record[field] = LogValueFromStorage(field, q.value(field));
        q.finish();
        return found;
    }

    bool write(qint64 id, const TLogRecord &record)
    {
        QSqlQuery &q =
            prepared(updateQuery, QStringLiteral("UPDATE %1 SET %2=? WHERE ID=?")
                                      .arg(LogTableName, LogFieldNames.mid(1).join(QStringLiteral("=?,"))));
        bindData(q, record);
        q.bindValue(LogFieldCount - 1, id);
        run(q);
        return q.numRowsAffected() > 0;
    }

    // Runs `work` as one unit: a savepoint that is released on success and rolled back on
    // failure, so a call never leaves half of its rows written, also inside an outer
    // transaction.
    template <typename Work> auto unit(Work work) -> decltype(work())
    {
        run(prepared(savepointQuery, QStringLiteral("SAVEPOINT vkr_unit")));
        try {
            if constexpr (std::is_void_v<decltype(work())>) {
                work();
                run(prepared(releaseQuery, QStringLiteral("RELEASE vkr_unit")));
            } else {
                auto result = work();
                run(prepared(releaseQuery, QStringLiteral("RELEASE vkr_unit")));
                return result;
            }
        } catch (...) {
            QSqlQuery q(db);
            q.exec(QStringLiteral("ROLLBACK TO vkr_unit"));
            q.exec(QStringLiteral("RELEASE vkr_unit"));
            throw;
        }
    }
};

LogTable::LogTable(const QString &connectionName) : d(std::make_unique<Private>())
{
    d->connectionName = connectionName;
    d->db = QSqlDatabase::database(connectionName, false);
    if (!d->db.isOpen())
        throw EDatabaseError(MsgLogNotOpen);
}

LogTable::~LogTable()
{
    if (d->outerDepth > 0) {
        QSqlQuery q(d->db);
        q.exec(QStringLiteral("ROLLBACK"));
    }
}

QString LogTable::ConnectionName() const
{
    return d->connectionName;
}

// A single statement is atomic by itself (its own transaction outside an outer one), so
// Insert and Edit need no savepoint.
qint64 LogTable::Insert(const TLogRecord &record)
{
    QSqlQuery &q =
        d->prepared(d->insertQuery, QStringLiteral("INSERT INTO %1 (%2) VALUES (%3)")
                                        .arg(LogTableName, dataFieldList(), placeholders(LogFieldCount - 1)));
    d->bindData(q, record);
    d->run(q);
    return q.lastInsertId().toLongLong();
}

bool LogTable::Edit(qint64 id, const TLogRecord &record)
{
    return d->write(id, record);
}

bool LogTable::FindKey(qint64 id, TLogRecord &record)
{
    return d->read(id, record);
}

bool LogTable::Delete(qint64 id)
{
    return Delete(QList<qint64>{id}) > 0;
}

int LogTable::Delete(const QList<qint64> &ids)
{
    return d->unit([&] {
        QSqlQuery &q =
            d->prepared(d->deleteQuery, QStringLiteral("DELETE FROM %1 WHERE ID=?").arg(LogTableName));
        int deleted = 0;
        for (qint64 id : ids) {
            q.bindValue(0, id);
            d->run(q);
            deleted += q.numRowsAffected();
        }
        return deleted;
    });
}

int LogTable::SetFieldValue(const QList<qint64> &ids, int field, const QVariant &value)
{
    if (field <= fiID || field >= LogFieldCount)
        d->fail(QStringLiteral("Neplatné pole %1.").arg(field));
    const QVariant stored = LogValueToStorage(field, value);
    return d->unit([&] {
        QSqlQuery q(d->db);
        if (!q.prepare(
                QStringLiteral("UPDATE %1 SET %2=? WHERE ID=?").arg(LogTableName, LogFieldNames[field])))
            d->fail(q.lastError());
        int changed = 0;
        for (qint64 id : ids) {
            q.bindValue(0, stored);
            q.bindValue(1, id);
            d->run(q);
            changed += q.numRowsAffected();
        }
        return changed;
    });
}

int LogTable::Update(const QList<qint64> &ids, const std::function<void(TLogRecord &)> &change,
                     const TProgressEvent &progress)
{
    TProgressReporter reporter(progress);
    return d->unit([&] {
        int written = 0;
        TLogRecord record;
        reporter.ReportStep(0, ids.size());
        for (qsizetype i = 0; i < ids.size(); ++i) {
            if (d->read(ids[i], record)) {
                change(record);
                if (d->write(ids[i], record))
                    ++written;
            }
            reporter.ReportStep(i + 1, ids.size());
        }
        return written;
    });
}

qint64 LogTable::AppendFrom(const QString &sourcePath)
{
    if (!IsReadableLogTableFile(sourcePath))
        throw EDatabaseError(QStringLiteral("Soubor \"%1\" není tabulkou deníku!").arg(sourcePath));
    // SQLite attaches files only outside transactions.
    if (d->outerDepth > 0)
        d->fail(QStringLiteral("Přidání tabulky nelze provést uvnitř rozpracované transakce."));

    QSqlQuery attach(d->db);
    attach.prepare(QStringLiteral("ATTACH DATABASE ? AS vkr_source"));
    attach.bindValue(0, sourcePath);
    if (!attach.exec())
        d->fail(attach.lastError());
    attach.finish();

    qint64 appended = 0;
    try {
        appended = d->unit([&] {
            QSqlQuery q(d->db);
            // Ordered by the source's IDs, so the new IDs follow the order of appending.
            if (!q.exec(QStringLiteral("INSERT INTO main.%1 (%2) SELECT %2 FROM vkr_source.%1 ORDER BY ID")
                            .arg(LogTableName, dataFieldList())))
                d->fail(q.lastError());
            return static_cast<qint64>(q.numRowsAffected());
        });
    } catch (...) {
        d->exec(QStringLiteral("DETACH DATABASE vkr_source"));
        throw;
    }
    d->exec(QStringLiteral("DETACH DATABASE vkr_source"));
    return appended;
}

qint64 LogTable::RecordCount()
{
    QSqlQuery q(d->db);
    if (!q.exec(QStringLiteral("SELECT count(*) FROM %1").arg(LogTableName)) || !q.next())
        d->fail(q.lastError());
    return q.value(0).toLongLong();
}

void LogTable::StartTransaction()
{
    if (d->outerDepth > 0)
        d->fail(QStringLiteral("Transakce již běží."));
    d->exec(QStringLiteral("BEGIN IMMEDIATE"));
    d->outerDepth = 1;
}

void LogTable::Commit()
{
    if (d->outerDepth == 0)
        return;
    d->exec(QStringLiteral("COMMIT"));
    d->outerDepth = 0;
}

void LogTable::Rollback()
{
    if (d->outerDepth == 0)
        return;
    d->outerDepth = 0;
    d->exec(QStringLiteral("ROLLBACK"));
}

bool LogTable::InTransaction() const
{
    return d->outerDepth > 0;
}
