#include "log/LogConnection.h"

#include "base/CaseFold.h"
#include "base/DatabaseError.h"
#include "base/HotJournal.h"
#include "base/MessageTexts.h"

#include <QFileInfo>
#include <QSqlError>
#include <QSqlQuery>
#include <QUuid>

namespace
{

QString cannotOpen(const QString &path, const QString &detail)
{
    QString text = MsgDatabaseCannotOpen(path);
    if (!detail.isEmpty())
        text += u'\n' + detail;
    return text;
}

} // namespace

LogConnection::LogConnection(const QString &path, OpenMode mode, const QString &connectionName)
{
    open(path, mode, connectionName);
}

LogConnection::~LogConnection()
{
    close();
}

void LogConnection::open(const QString &path, OpenMode mode, const QString &connectionName)
{
    close();
    if (mode != OpenOrCreate && !QFileInfo(path).isFile())
        throw EDatabaseError(cannotOpen(path, QStringLiteral("Soubor neexistuje.")));
    // A write that was cut short is undone first, so that even a read-only opening finds
    // the file as it was before; a file that is damaged after that is not opened.
    QString recoveryError;
    if (RollBackHotJournal(path, &recoveryError) == TJournalRecovery::Failed)
        throw EDatabaseError(cannotOpen(path, recoveryError));

    const QString name = connectionName.isEmpty()
                             ? QStringLiteral("VelkorLog-") + QUuid::createUuid().toString(QUuid::Id128)
                             : connectionName;
    QString error;
    {
        QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), name);
        db.setDatabaseName(path);
        QString options = QStringLiteral("QSQLITE_BUSY_TIMEOUT=5000");
        if (mode == OpenReadOnly)
            options += QStringLiteral(";QSQLITE_OPEN_READONLY");
        db.setConnectOptions(options);
        if (!db.open()) {
            error = db.lastError().text();
        } else {
            QSqlQuery q(db);
            // Reading the schema proves the file is an SQLite database at all.
            if (!q.exec(QStringLiteral("SELECT count(*) FROM sqlite_master")))
                error = q.lastError().text();
            // A larger page cache than the default 2 MB keeps the indexes of a big log in
            // memory while many QSOs are written in one transaction.
            else if (!q.exec(QStringLiteral("PRAGMA cache_size = -16384")))
                error = q.lastError().text();
            else if (mode != OpenReadOnly && !(q.exec(QStringLiteral("PRAGMA journal_mode = DELETE")) &&
                                               q.exec(QStringLiteral("PRAGMA synchronous = FULL"))))
                error = q.lastError().text();
            // The filter compares text through this function, letter case ignored in
            // every alphabet; without it no filter on a text field could run.
            else if (!RegisterCaseFold(db))
                error = QStringLiteral("Funkci %1 nelze zaregistrovat.").arg(QLatin1String(CaseFoldSqlName));
            q.finish();
            if (!error.isEmpty())
                db.close();
        }
    }
    if (!error.isEmpty()) {
        QSqlDatabase::removeDatabase(name);
        throw EDatabaseError(cannotOpen(path, error));
    }
    m_path = path;
    m_connectionName = name;
}

void LogConnection::close()
{
    if (m_connectionName.isEmpty())
        return;
    {
        QSqlDatabase db = QSqlDatabase::database(m_connectionName, false);
        db.close();
    }
    QSqlDatabase::removeDatabase(m_connectionName);
    m_connectionName.clear();
    m_path.clear();
}

QSqlDatabase LogConnection::database() const
{
    return QSqlDatabase::database(m_connectionName, false);
}
