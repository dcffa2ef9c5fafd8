#include "base/DatabaseError.h"

#include "base/MessageTexts.h"
#include "base/SqliteHandle.h"

#include <QFileInfo>
#include <QLoggingCategory>
#include <QSqlError>

#include <sqlite3.h>

#include <cerrno>

Q_LOGGING_CATEGORY(lcDatabase, "velkor.database")

bool IsTemporaryTable(const QString &path)
{
    return QFileInfo(path).fileName().startsWith(u'_');
}

TDatabaseFailure SqliteFailureKind(int sqliteCode)
{
    switch (sqliteCode & 0xff) {
    case SQLITE_BUSY:
    case SQLITE_LOCKED:
        return TDatabaseFailure::Busy;
    case SQLITE_READONLY:
    case SQLITE_PERM:
        return TDatabaseFailure::ReadOnly;
    case SQLITE_FULL:
        return TDatabaseFailure::Full;
    case SQLITE_NOTADB:
    case SQLITE_CORRUPT:
        return TDatabaseFailure::Damaged;
    default:
        return TDatabaseFailure::Other;
    }
}

TDatabaseFailure SystemFailureKind(int errorNumber)
{
    switch (errorNumber) {
    case EACCES:
    case EPERM:
    case EROFS:
        return TDatabaseFailure::ReadOnly;
    case ENOSPC:
    case EDQUOT:
        return TDatabaseFailure::Full;
    default:
        return TDatabaseFailure::Other;
    }
}

namespace
{

QString failureText(TDatabaseFailure kind, bool temporary, const QString &path, const QString &context,
                    int sqliteCode)
{
    const QString folder = QFileInfo(path).path();
    switch (kind) {
    case TDatabaseFailure::Busy:
        return temporary ? MsgTempFolderInUse(folder) : MsgLogInUse(path);
    case TDatabaseFailure::ReadOnly:
        return temporary ? MsgTempFolderReadOnly(folder) : MsgLogReadOnly(path);
    case TDatabaseFailure::Full:
        return temporary ? MsgTempFolderFull(folder) : MsgLogDiskFull(path);
    case TDatabaseFailure::Damaged:
        // What was being done, and that the file is damaged.
        if (!temporary)
            return context.isEmpty() ? MsgNotALog(path) : context + u'\n' + MsgNotALog(path);
        break;
    case TDatabaseFailure::Other:
        break;
    }
    if (sqliteCode == 0)
        return context;
    return QStringLiteral("%1\n(chyba databáze %2)").arg(context).arg(sqliteCode);
}

} // namespace

QString DatabaseFailureText(TDatabaseFailure kind, const QString &path, const QString &context, int sqliteCode)
{
    return failureText(kind, IsTemporaryTable(path), path, context, sqliteCode);
}

QString TemporaryFileFailureText(TDatabaseFailure kind, const QString &path, const QString &context)
{
    return failureText(kind, true, path, context, 0);
}

int SqliteErrorCode(const QSqlDatabase &db, const QSqlError &error)
{
    bool numeric = false;
    int code = error.nativeErrorCode().toInt(&numeric);
    if (!numeric || code == SQLITE_OK) {
        sqlite3 *handle = SqliteHandle(db);
        code = handle ? sqlite3_extended_errcode(handle) : SQLITE_ERROR;
    }
    return code == SQLITE_OK ? SQLITE_ERROR : code;
}

EDatabaseError SqlFailure(const QSqlDatabase &db, const QSqlError &error, const QString &context)
{
    // SQLite's own words go to the diagnostics, where a developer reads them.
    qCWarning(lcDatabase) << db.databaseName() << error.nativeErrorCode() << error.text();
    const int code = SqliteErrorCode(db, error);
    const TDatabaseFailure kind = SqliteFailureKind(code);
    return EDatabaseError(DatabaseFailureText(kind, db.databaseName(), context, code), kind);
}

EDatabaseError SqliteFailure(int sqliteCode, const QString &path, const QString &context)
{
    qCWarning(lcDatabase) << path << sqliteCode << sqlite3_errstr(sqliteCode);
    const TDatabaseFailure kind = SqliteFailureKind(sqliteCode);
    return EDatabaseError(DatabaseFailureText(kind, path, context, sqliteCode), kind);
}
