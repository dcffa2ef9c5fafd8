#include "base/HotJournal.h"

#include <QFileInfo>
#include <QSqlDatabase>
#include <QSqlError>
#include <QSqlQuery>
#include <QUuid>

namespace
{

// Reads the schema (which makes SQLite play a hot journal back) and checks the file.
QString rollBackAndCheck(QSqlDatabase &db)
{
    QSqlQuery q(db);
    q.setForwardOnly(true);
    if (!q.exec(QStringLiteral("SELECT count(*) FROM sqlite_master")))
        return q.lastError().text();
    if (!q.exec(QStringLiteral("PRAGMA integrity_check")))
        return q.lastError().text();
    QStringList problems;
    while (q.next())
        problems << q.value(0).toString();
    if (problems != QStringList{QStringLiteral("ok")})
        return QStringLiteral("Kontrola integrity databáze selhala: %1").arg(problems.join(u'\n'));
    return {};
}

} // namespace

QString JournalFileName(const QString &path)
{
    return path + QStringLiteral("-journal");
}

TJournalRecovery RollBackHotJournal(const QString &path, QString *error)
{
    // A zero-length journal is what SQLite leaves when it truncates instead of deleting:
    // there is nothing to play back.
    const QFileInfo journal(JournalFileName(path));
    if (!journal.isFile() || journal.size() == 0 || !QFileInfo(path).isFile())
        return TJournalRecovery::NoJournal;

    const QString name = QStringLiteral("VelkorRecovery-") + QUuid::createUuid().toString(QUuid::Id128);
    QString failure;
    {
        QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), name);
        db.setDatabaseName(path);
        db.setConnectOptions(QStringLiteral("QSQLITE_BUSY_TIMEOUT=5000"));
        if (!db.open())
            failure = db.lastError().text();
        else
            failure = rollBackAndCheck(db);
        db.close();
    }
    QSqlDatabase::removeDatabase(name);
    if (failure.isEmpty())
        return TJournalRecovery::RolledBack;
    if (error)
        *error = failure;
    return TJournalRecovery::Failed;
}
