#include "log/LogConnection.h"

#include "base/CaseFold.h"
#include "base/DatabaseError.h"
#include "base/FileUtils.h"
#include "base/HotJournal.h"
#include "base/MessageTexts.h"

#include <QFileInfo>
#include <QSqlError>
#include <QSqlQuery>
#include <QUuid>

#include <optional>

#include <sqlite3.h>

namespace
{

QString cannotOpen(const QString &path, const QString &detail)
{
    QString text = MsgDatabaseCannotOpen(path);
    if (!detail.isEmpty())
        text += u'\n' + detail;
    return text;
}

// A journal that could not be played back: the file is left as it is, and the operator
// is told why in the words of the failure's kind.
EDatabaseError recoveryFailed(const QString &path, int sqliteCode)
{
    if (SqliteFailureKind(sqliteCode) == TDatabaseFailure::ReadOnly)
        return EDatabaseError(MsgLogReadOnlyUnfinished(path), TDatabaseFailure::ReadOnly);
    return SqliteFailure(sqliteCode, path, MsgDatabaseCannotOpen(path));
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
    int recoveryCode = SQLITE_OK;
    if (RollBackHotJournal(path, nullptr, &recoveryCode) == TJournalRecovery::Failed)
        throw recoveryFailed(path, recoveryCode);
    // A file or folder that the operator made read-only is opened for reading only,
    // whatever was asked, so that nothing is written into it even by a program that
    // runs as root; every write then fails as read-only.
    const bool readOnly = mode == OpenReadOnly || (mode == OpenExisting && !IsWritableFileAndFolder(path));

    const QString name = connectionName.isEmpty()
                             ? QStringLiteral("VelkorLog-") + QUuid::createUuid().toString(QUuid::Id128)
                             : connectionName;
    QSqlError error;
    std::optional<EDatabaseError> failure;
    {
        QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), name);
        db.setDatabaseName(path);
        QString options = QStringLiteral("QSQLITE_BUSY_TIMEOUT=5000");
        if (readOnly)
            options += QStringLiteral(";QSQLITE_OPEN_READONLY");
        db.setConnectOptions(options);
        if (!db.open()) {
            failure = SqlFailure(db, db.lastError(), MsgDatabaseCannotOpen(path));
        } else {
            QSqlQuery q(db);
            // Reading the schema proves the file is an SQLite database at all.
            if (!q.exec(QStringLiteral("SELECT count(*) FROM sqlite_master")))
                error = q.lastError();
            // A larger page cache than the default 2 MB keeps the indexes of a big log in
            // memory while many QSOs are written in one transaction.
            else if (!q.exec(QStringLiteral("PRAGMA cache_size = -16384")))
                error = q.lastError();
            else if (!readOnly && !(q.exec(QStringLiteral("PRAGMA journal_mode = DELETE")) &&
                                    q.exec(QStringLiteral("PRAGMA synchronous = FULL"))))
                error = q.lastError();
            // The filter compares text through this function, letter case ignored in
            // every alphabet; without it no filter on a text field could run.
            else if (!RegisterCaseFold(db))
                failure = EDatabaseError(cannotOpen(
                    path, QStringLiteral("Funkci %1 nelze zaregistrovat.").arg(QLatin1String(CaseFoldSqlName))));
            q.finish();
            if (error.isValid())
                failure = SqlFailure(db, error, MsgDatabaseCannotOpen(path));
            if (failure)
                db.close();
        }
    }
    if (failure) {
        QSqlDatabase::removeDatabase(name);
        throw *failure;
    }
    m_path = path;
    m_connectionName = name;
    m_readOnly = readOnly;
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
    m_readOnly = false;
}

QSqlDatabase LogConnection::database() const
{
    return QSqlDatabase::database(m_connectionName, false);
}
