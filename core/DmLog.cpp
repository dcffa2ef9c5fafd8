#include "DmLog.h"

#include "DatabaseError.h"
#include "DxClusterLink.h"
#include "FileUtils.h"
#include "VkrDatabase.h"

#include <QDir>
#include <QFileInfo>
#include <QSqlDatabase>

namespace
{

const QString TempFolderName = QStringLiteral("Velkor_Temp/");

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
    TempDir = m_tempBase;
    // An existing folder or a failure to make one is not reported: the program then
    // works in the bare TEMP folder.
    QDir().mkdir(m_tempBase + TempFolderName);
    if (QFileInfo(m_tempBase + TempFolderName).isDir())
        TempDir += TempFolderName;

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

void TdmLog::OpenDatabase(const QString &call)
{
    CloseDatabase();
    m_dbLog.open(LogFileName(call), LogConnection::OpenExisting, DatabaseName);
    try {
        QSqlDatabase db = m_dbLog.database();
        EnsureLogIndexes(db);
    } catch (...) {
        m_dbLog.close();
        throw;
    }
}

void TdmLog::CloseDatabase()
{
    m_dbLog.close();
}

bool TdmLog::DatabaseOpen() const
{
    return m_dbLog.isOpen();
}

void TdmLog::removeTempFolder()
{
    // Only our own folder is cleaned; in the bare TEMP folder nothing is deleted.
    if (TempDir != m_tempBase + TempFolderName)
        return;
    DeleteFilesByMask(TempDir, QStringLiteral("_*.db"));
    DeleteFilesByMask(TempDir, QStringLiteral("_*.px"));
    // A rollback journal left by a temporary table that was being written when the
    // program stopped is of no use any more.
    DeleteFilesByMask(TempDir, QStringLiteral("_*.db-journal"));
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
