#include "log/VkrDatabase.h"

#include "base/DatabaseError.h"
#include "base/FileUtils.h"
#include "log/LogConnection.h"
#include "base/MessageTexts.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSqlError>
#include <QSqlQuery>
#include <QSqlRecord>
#include <QUuid>

#include <filesystem>
#include <system_error>

namespace
{

QString sqlType(TLogFieldType type)
{
    switch (type) {
    case ftAutoInc:
        return QStringLiteral("INTEGER PRIMARY KEY AUTOINCREMENT");
    case ftFloat:
        return QStringLiteral("REAL");
    case ftSmallint:
        return QStringLiteral("INTEGER");
    case ftDate:
    case ftTime:
    case ftString:
        break;
    }
    return QStringLiteral("TEXT");
}

QString createTableSql()
{
    QStringList columns;
    for (int i = 0; i < LogFieldCount; ++i)
        columns << LogFieldNames[i] + u' ' + sqlType(LogFieldTypes[i]);
    return QStringLiteral("CREATE TABLE %1 (%2)").arg(LogTableName, columns.join(u", "));
}

QString failureContext(const QSqlDatabase &db)
{
    return QStringLiteral("Chyba databáze \"%1\"!").arg(QFileInfo(db.databaseName()).fileName());
}

void exec(QSqlDatabase &db, const QString &sql)
{
    QSqlQuery q(db);
    if (!q.exec(sql))
        throw SqlFailure(db, q.lastError(), failureContext(db));
}

void dropRetiredIndexes(QSqlDatabase &db)
{
    // Earlier versions kept a second index on the call sign, in NOCASE order; it made
    // every insert dearer and nothing reads it now. A file that cannot be written keeps
    // it: the log still works, and an older version that opens the log finds its index.
    for (const char *name : {"log_call_nocase"}) {
        QSqlQuery q(db);
        q.exec(QStringLiteral("DROP INDEX IF EXISTS %1").arg(QLatin1String(name)));
    }
}

} // namespace

int ScreenWidthClass(int screenWidth)
{
    if (screenWidth < 1024)
        return 0;
    if (screenWidth < 1152)
        return 1;
    if (screenWidth < 1280)
        return 2;
    return 3;
}

int LogFieldIndex(const QString &fieldName)
{
    for (int i = 0; i < LogFieldCount; ++i)
        if (LogFieldNames[i].compare(fieldName, Qt::CaseInsensitive) == 0)
            return i;
    return -1;
}

QString LogFieldListSql()
{
    return LogFieldNames.join(u',');
}

bool IsBdeConfigured()
{
    if (!QSqlDatabase::isDriverAvailable(QStringLiteral("QSQLITE")))
        return false;
    const QString name = QStringLiteral("VelkorDriverCheck-") + QUuid::createUuid().toString(QUuid::Id128);
    bool works = false;
    {
        QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), name);
        db.setDatabaseName(QStringLiteral(":memory:"));
        if (db.open()) {
            QSqlQuery q(db);
            works = q.exec(QStringLiteral("SELECT sqlite_version()")) && q.next();
        }
    }
    QSqlDatabase::removeDatabase(name);
    return works;
}

bool QueryHasFields(const QStringList &fieldNames, const QStringList &names)
{
    if (fieldNames.size() != names.size())
        return false;
    for (int i = 0; i < names.size(); ++i)
        if (fieldNames[i].toLower() != names[i])
            return false;
    return true;
}

bool QueryHasFields(const QSqlRecord &record, const QStringList &names)
{
    QStringList fieldNames;
    for (int i = 0; i < record.count(); ++i)
        fieldNames << record.fieldName(i);
    return QueryHasFields(fieldNames, names);
}

bool QueryHasFields(const QSqlQuery &query, const QStringList &names)
{
    return QueryHasFields(query.record(), names);
}

void DefineLogTable(QSqlDatabase &db)
{
    if (!db.transaction())
        throw SqlFailure(db, db.lastError(), failureContext(db));
    try {
        exec(db, QStringLiteral("DROP TABLE IF EXISTS %1").arg(LogTableName));
        exec(db, createTableSql());
        EnsureLogIndexes(db);
        exec(db, QStringLiteral("PRAGMA user_version = %1").arg(LogSchemaVersion));
    } catch (...) {
        db.rollback();
        throw;
    }
    if (!db.commit()) {
        const EDatabaseError failure = SqlFailure(db, db.lastError(), failureContext(db));
        db.rollback();
        throw failure;
    }
}

void EnsureLogIndexes(QSqlDatabase &db)
{
    // Both indexes hold the ID (the row id) too, so an ordered list of IDs is read from
    // the index alone. The index on the call sign also serves the QSO window's look-ups
    // of a station (PreviousQsoFilter), which try the few letter-case forms of a call.
    exec(db, QStringLiteral("CREATE INDEX IF NOT EXISTS log_dat_utc ON %1 (DAT, UTC)").arg(LogTableName));
    exec(db, QStringLiteral("CREATE INDEX IF NOT EXISTS log_call ON %1 (CALL, DAT, UTC)").arg(LogTableName));
    // The part after the first "/" of the few portable calls, without regard to case,
    // and the rarer calls with two "/" or more, which the look-ups search through.
    exec(db, QStringLiteral("CREATE INDEX IF NOT EXISTS log_call_tail ON %1 (%2 COLLATE NOCASE) WHERE %3")
                 .arg(LogTableName, CallTailSql, CallHasSlashSql));
    exec(db, QStringLiteral("CREATE INDEX IF NOT EXISTS log_call_slashes ON %1 (CALL) WHERE %2")
                 .arg(LogTableName, CallHasSlashesSql));
    // "Nová země": has this entity been worked on this band.
    exec(db, QStringLiteral("CREATE INDEX IF NOT EXISTS log_dxcc_band ON %1 (DXCC, BAND)").arg(LogTableName));
    dropRetiredIndexes(db);
}

void CreateLogTable(const QString &path)
{
    if (QFileInfo::exists(path)) {
        // A log that another program holds is said to be in use, never "not a log".
        if (IsLogTableFileOrRaise(path))
            return;
        throw EDatabaseError(QStringLiteral("Soubor \"%1\" již existuje a není deníkem!").arg(path));
    }
    // A log is the operator's alone: the file is made 0600 before SQLite fills it, and
    // SQLite gives its journal the same mode.
    // A folder the operator made read-only gets no new file, even from a program that
    // runs as root.
    if (!IsWritablePath(QFileInfo(path).path()))
        throw EDatabaseError(QStringLiteral("Soubor \"%1\" nelze vytvořit!\nAdresář je určen jen pro čtení.").arg(path),
                             TDatabaseFailure::ReadOnly);
    int systemError = 0;
    if (!CreateOwnerOnlyFile(path, &systemError))
        throw EDatabaseError(QStringLiteral("Soubor \"%1\" nelze vytvořit!").arg(path),
                             SystemFailureKind(systemError));
    LogConnection connection(path, LogConnection::OpenOrCreate);
    try {
        QSqlDatabase db = connection.database();
        DefineLogTable(db);
    } catch (...) {
        // The database handle lived only in the try block, so closing really releases the
        // file before it is removed.
        connection.close();
        QFile::remove(path);
        QFile::remove(path + QStringLiteral("-journal"));
        throw;
    }
}

void DefineLogTable(const QString &path)
{
    // The table is the program's own business: the operator is told about its folder.
    // The error comes with the removal itself, before any other call can change errno.
    std::error_code removal;
    std::filesystem::remove(QFile::encodeName(path).toStdString(), removal);
    if (removal)
        throw EDatabaseError(QStringLiteral("Dočasnou tabulku v adresáři \"%1\" nelze přepsat!")
                                 .arg(QDir::toNativeSeparators(QFileInfo(path).path())),
                             SystemFailureKind(removal.value()));
    QFile::remove(path + QStringLiteral("-journal"));
    LogConnection connection(path, LogConnection::OpenOrCreate);
    QSqlDatabase db = connection.database();
    DefineLogTable(db);
}

bool IsReadableLogTableFile(const QString &path)
{
    try {
        return IsLogTableFileOrRaise(path);
    } catch (const EDatabaseError &) {
        return false;
    }
}

bool IsLogTableFileOrRaise(const QString &path)
{
    if (!QFileInfo(path).isFile())
        return false;
    try {
        LogConnection connection(path, LogConnection::OpenReadOnly);
        QSqlDatabase db = connection.database();
        QSqlQuery q(db);
        if (!q.exec(QStringLiteral("PRAGMA table_info(%1)").arg(LogTableName)))
            throw SqlFailure(db, q.lastError(), MsgDatabaseCannotOpen(path));
        // Columns of table_info: cid, name, type, notnull, dflt_value, pk.
        int count = 0;
        while (q.next()) {
            if (count >= LogFieldCount)
                return false;
            if (q.value(1).toString().compare(LogFieldNames[count], Qt::CaseInsensitive) != 0)
                return false;
            const bool isKey = q.value(5).toInt() == 1;
            if (isKey != (count == fiID))
                return false;
            if (count == fiID && q.value(2).toString().compare(u"INTEGER", Qt::CaseInsensitive) != 0)
                return false;
            ++count;
        }
        return count == LogFieldCount;
    } catch (const EDatabaseError &e) {
        // Only a file that is no SQLite database, or a damaged one, is no log; a log that
        // another program holds, or that cannot be read now, is one all the same.
        if (e.kind() == TDatabaseFailure::Damaged)
            return false;
        throw;
    }
}
