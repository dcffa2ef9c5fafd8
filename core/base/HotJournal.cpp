#include "base/HotJournal.h"

#include "base/DatabaseError.h"
#include "base/FileUtils.h"

#include <QFileInfo>
#include <QSqlDatabase>
#include <QSqlError>
#include <QSqlQuery>
#include <QUuid>

#include <sqlite3.h>

namespace
{

struct Failure {
    QString text;
    int code = SQLITE_OK;
};

Failure failureOf(const QSqlDatabase &db, const QSqlError &error)
{
    return {error.text(), SqliteErrorCode(db, error)};
}

// Reads the schema (which makes SQLite play a hot journal back) and checks the file.
Failure rollBackAndCheck(QSqlDatabase &db)
{
    QSqlQuery q(db);
    q.setForwardOnly(true);
    if (!q.exec(QStringLiteral("SELECT count(*) FROM sqlite_master")))
        return failureOf(db, q.lastError());
    if (!q.exec(QStringLiteral("PRAGMA integrity_check")))
        return failureOf(db, q.lastError());
    QStringList problems;
    while (q.next())
        problems << q.value(0).toString();
    if (problems != QStringList{QStringLiteral("ok")})
        return {QStringLiteral("Kontrola integrity databáze selhala: %1").arg(problems.join(u'\n')), SQLITE_CORRUPT};
    return {};
}

} // namespace

QString JournalFileName(const QString &path)
{
    return path + QStringLiteral("-journal");
}

TJournalRecovery RollBackHotJournal(const QString &path, QString *error, int *sqliteCode)
{
    // A zero-length journal is what SQLite leaves when it truncates instead of deleting:
    // there is nothing to play back.
    const QFileInfo journal(JournalFileName(path));
    if (!journal.isFile() || journal.size() == 0 || !QFileInfo(path).isFile())
        return TJournalRecovery::NoJournal;

    Failure failure;
    // Playing the journal back writes the file and removes the journal from the folder:
    // where the operator has forbidden that, the file stays as it is.
    if (!IsWritableFileAndFolder(path)) {
        failure = {QStringLiteral("Soubor nebo adresář je jen pro čtení."), SQLITE_READONLY_ROLLBACK};
    } else {
        const QString name = QStringLiteral("VelkorRecovery-") + QUuid::createUuid().toString(QUuid::Id128);
        {
            QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), name);
            db.setDatabaseName(path);
            db.setConnectOptions(QStringLiteral("QSQLITE_BUSY_TIMEOUT=5000"));
            if (!db.open())
                failure = failureOf(db, db.lastError());
            else
                failure = rollBackAndCheck(db);
            db.close();
        }
        QSqlDatabase::removeDatabase(name);
    }
    if (failure.code == SQLITE_OK)
        return TJournalRecovery::RolledBack;
    if (error)
        *error = failure.text;
    if (sqliteCode)
        *sqliteCode = failure.code;
    return TJournalRecovery::Failed;
}
