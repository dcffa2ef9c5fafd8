#include "log/DmLog.h"

#include "base/DatabaseError.h"
#include "system/DxClusterLink.h"
#include "base/FileUtils.h"
#include "base/MessageTexts.h"
#include "log/LogRegistry.h"
#include "log/VkrDatabase.h"

#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSqlDatabase>
#include <QTemporaryDir>

#include <unistd.h>

namespace
{

// What the program itself leaves in its temporary folder: temporary tables with their
// journals, a log extracted from a backup, and a workbook being written.
const QStringList TempFileMasks{QStringLiteral("_*.db"), QStringLiteral("_*.px"), QStringLiteral("_*.db-journal"),
                                QStringLiteral("BackUp.*"), QStringLiteral("_*.xlsx")};

// A folder without a lock file may belong to a run that has just made it.
constexpr qint64 UnlockedFolderGraceSecs = 60;

void removeProgramFiles(const QString &dir)
{
    for (const QString &mask : TempFileMasks)
        DeleteFilesByMask(dir, mask);
}

QString withSlash(QString folder)
{
    folder = QDir::fromNativeSeparators(folder);
    if (!folder.endsWith(u'/'))
        folder += u'/';
    return folder;
}

// TEMP, else TMPDIR, else /tmp; with a trailing "/".
QString systemTempFolder()
{
    for (const char *name : {"TEMP", "TMPDIR"}) {
        const QString value = qEnvironmentVariable(name);
        if (!value.isEmpty())
            return withSlash(value);
    }
    return QStringLiteral("/tmp/");
}

} // namespace

TdmLog::TdmLog(const QString &appDir, QObject *parent) : QObject(parent)
{
    AppDir = withSlash(appDir);
    DataDir = AppDir + QStringLiteral("Data/");
    m_tempBase = systemTempFolder();
    removeAbandonedTempFolders();
    makeTempFolder();

    try {
        LogOptions.Load(AppDir + QStringLiteral("Velkor.ini"));
    } catch (...) {
        // An unreadable Velkor.ini leaves the program settings empty (no registered log).
        LogOptions.Clear();
    }
}

TdmLog::~TdmLog()
{
    CloseDatabase();
    removeTempFolder();
}

QString TdmLog::LogFileName(const QString &call) const
{
    return DataDir + call + QStringLiteral(".db");
}

bool TdmLog::IsValidLogName(const QString &name)
{
    if (name.isEmpty())
        return false;
    for (const QChar c : name)
        if (!((c >= u'0' && c <= u'9') || (c >= u'A' && c <= u'Z') || (c >= u'a' && c <= u'z')))
            return false;
    return true;
}

QString TdmLog::InvalidLogNameText(const QString &name)
{
    QString shown = name;
    shown.replace(QChar(0), QChar(0xFFFD)); // a NUL would cut the message short
    return QStringLiteral("Neplatný název deníku \"%1\"! Název deníku smí obsahovat jen písmena a číslice.")
        .arg(shown);
}

void TdmLog::OpenDatabase(const QString &call)
{
    CloseDatabase();
    if (!IsValidLogName(call))
        throw EDatabaseError(InvalidLogNameText(call));
    const QString path = LogFileName(call);
    m_logLock = LockLog(DataDir, call);
    try {
        openLogFile(path);
    } catch (...) {
        CloseDatabase();
        throw;
    }
}

void TdmLog::openLogFile(const QString &path)
{
    // A file of another program (or a damaged one) is neither opened as a log nor
    // changed: opening a log adds indexes and sets its journal mode. The check first lets
    // SQLite undo a write that was cut short, so an interrupted save refuses no log; a log
    // that another program holds, or a read-only one, is told as such by the check.
    if (QFileInfo(path).isFile() && !IsLogTableFileOrRaise(path))
        throw EDatabaseError(MsgNotALog(path), TDatabaseFailure::Damaged);
    // A log made by an older version, or copied in, becomes the operator's alone too;
    // the owner's own bits stay, so a log made read-only stays read-only.
    RemoveGroupOtherAccess(path);
    m_dbLog.open(path, LogConnection::OpenExisting, DatabaseName);
    if (m_dbLog.isReadOnly())
        return; // read as it is: nothing is added to a log that may not be written
    QSqlDatabase db = m_dbLog.database();
    EnsureLogIndexes(db);
}

void TdmLog::CloseDatabase()
{
    m_dbLog.close();
    m_logLock.reset(); // unlocks and removes the file
}

bool TdmLog::DatabaseOpen() const
{
    return m_dbLog.isOpen();
}

bool TdmLog::DatabaseReadOnly() const
{
    return m_dbLog.isOpen() && m_dbLog.isReadOnly();
}

void TdmLog::makeTempFolder()
{
    TempDir = m_tempBase;
    // QTemporaryDir makes the folder with a name no other run has, for this user only.
    QTemporaryDir folder(m_tempBase + TempFolderPrefix + QStringLiteral("XXXXXX"));
    if (!folder.isValid())
        return; // not reported: the program then works in the bare TEMP folder
    folder.setAutoRemove(false);
    TempDir = withSlash(folder.path());
    m_tempLock = std::make_unique<QLockFile>(TempDir + TempLockName);
    m_tempLock->setStaleLockTime(0); // held for the whole run, however long
    if (!m_tempLock->tryLock(0))
        m_tempLock.reset(); // the folder still works; a later start may clean it early
}

// Folders of this user's earlier runs whose lock no running program holds (the run was
// killed, or its computer stopped) lose the files the program made there, and go when
// nothing else is left in them.
void TdmLog::removeAbandonedTempFolders() const
{
    const QFileInfoList folders =
        QDir(m_tempBase)
            .entryInfoList({TempFolderPrefix + u'*'}, QDir::Dirs | QDir::NoDotAndDotDot | QDir::Hidden);
    for (const QFileInfo &folder : folders) {
        if (folder.isSymLink() || folder.ownerId() != ::getuid())
            continue;
        const QString dir = withSlash(folder.filePath());
        const QString lockPath = dir + TempLockName;
        if (!QFileInfo::exists(lockPath) &&
            folder.lastModified().secsTo(QDateTime::currentDateTime()) < UnlockedFolderGraceSecs)
            continue;
        QLockFile lock(lockPath);
        lock.setStaleLockTime(0);
        if (!lock.tryLock(0))
            continue; // a running copy of the program works there
        removeProgramFiles(dir);
        lock.unlock();
        QDir().rmdir(dir);
    }
}

void TdmLog::removeTempFolder()
{
    // Only our own folder is cleaned; in the bare TEMP folder nothing is deleted.
    if (TempDir == m_tempBase)
        return;
    // A rollback journal left by a temporary table that was being written when the
    // program stopped is of no use any more.
    removeProgramFiles(TempDir);
    if (m_tempLock)
        m_tempLock->unlock(); // removes the lock file
    m_tempLock.reset();
    // rmdir removes only an empty folder: a file of someone else's keeps it.
    QDir().rmdir(TempDir);
}

void TdmLog::StartDxCluster()
{
    TDxClusterLink::StartDxCluster(AppDir, UserOptions);
}

void TdmLog::StopDxCluster()
{
    TDxClusterLink::StopDxCluster();
}
