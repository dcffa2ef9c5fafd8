#include "log/LogRegistry.h"

#include "base/DatabaseError.h"
#include "log/DmLog.h"
#include "base/FileUtils.h"
#include "settings/IniFile.h"
#include "settings/LogOptions.h"
#include "log/LogRecord.h"
#include "base/MessageTexts.h"
#include "settings/UserOptions.h"
#include "log/VkrDatabase.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QLockFile>

int FreeUserSlot(const TLogOptions &logs)
{
    for (int slot = 0; slot < TLogOptions::UserCount; ++slot)
        if (logs.GetUser(slot).isEmpty())
            return slot;
    return -1;
}

int RegisteredUserCount(const TLogOptions &logs)
{
    int count = 0;
    for (int slot = 0; slot < TLogOptions::UserCount; ++slot)
        if (!logs.GetUser(slot).isEmpty())
            ++count;
    return count;
}

bool IsUserRegistered(const TLogOptions &logs, const QString &call)
{
    if (call.isEmpty())
        return false; // an empty slot is no log
    for (int slot = 0; slot < TLogOptions::UserCount; ++slot)
        if (logs.GetUser(slot) == call)
            return true;
    return false;
}

QStringList LogFiles(const QString &dataDir, const QString &call)
{
    // A name read from Velkor.ini that cannot be a log's name ("../x") names no file of
    // the data folder: none is touched.
    if (!TdmLog::IsValidLogName(call))
        return {};
    const QString base = dataDir + call;
    return {base + QStringLiteral(".db"), base + QStringLiteral(".db-journal"),
            base + QStringLiteral(".db-wal"), base + QStringLiteral(".db-shm"), base + QStringLiteral(".uf")};
}

std::unique_ptr<QLockFile> LockLog(const QString &dataDir, const QString &call)
{
    if (!IsWritablePath(dataDir))
        return nullptr;
    const QString lockPath = dataDir + call + QStringLiteral(".lock");
    auto lock = std::make_unique<QLockFile>(lockPath);
    lock->setStaleLockTime(0); // held as long as the log is open; only a dead copy's is stale
    if (lock->tryLock(0))
        return lock;
    const QString path = dataDir + call + QStringLiteral(".db");
    if (lock->error() == QLockFile::LockFailedError)
        throw EDatabaseError(MsgLogInUse(path), TDatabaseFailure::Busy);
    throw EDatabaseError(MsgDatabaseCannotOpen(path) + QStringLiteral("\nZámek \"%1\" nelze vytvořit.")
                                                      .arg(QDir::toNativeSeparators(lockPath)));
}

void SetNewLogDefaults(TUserOptions &o, int screenWidthClass, const QDate &today)
{
    o.SetQuickQSOs(0);
    o.SetBackUpLast(today);
    o.SetMapZoom(0);
    o.SetMapCenterX(15);
    o.SetMapCenterY(49.8);
    o.SetMapWWLGrid(false);
    o.SetMapGeoGrid(true);
    const int widthClass = std::clamp(screenWidthClass, 0, ScreenWidthClassCount - 1);
    for (int field = fiDAT; field < LogFieldCount; ++field) {
        const QString &name = LogFieldNames[field];
        o.SetColumnCaption(name, LogFieldCaptions[field]);
        o.SetColumnCaptionAlignment(name, LogColumnTitleAlignments[field]);
        o.SetColumnAlignment(name, LogColumnAlignments[field]);
        o.SetColumnWidth(name, LogColumnWidths[field][widthClass]);
        o.SetColumnVisible(name, LogColumnVisible[field][widthClass]);
        o.SetColumnIndex(name, LogColumnPositions[field]);
    }
}

int CreateLog(TLogOptions &logs, const QString &dataDir, TUserOptions &options)
{
    const QString call = options.Call;
    const QString settingsFile = dataDir + call + QStringLiteral(".uf");
    const QString tableFile = dataDir + call + QStringLiteral(".db");
    const int slot = FreeUserSlot(logs);
    if (slot < 0)
        throw EVelkorError(MsgTooManyUsers);
    const bool hadSettings = QFileInfo::exists(settingsFile);
    const bool hadTable = QFileInfo::exists(tableFile);
    auto undoFiles = [&](bool table) {
        if (!hadSettings)
            QFile::remove(settingsFile);
        if (table && !hadTable)
            QFile::remove(tableFile);
    };

    MakeOwnerOnlyPath(dataDir);
    // The table first: a file in its place that is no log, or a log that another program
    // holds, is refused before the settings beside it are touched.
    CreateLogTable(tableFile);
    try {
        options.SaveAs(settingsFile);
    } catch (const EIniFileError &) {
        undoFiles(true);
        throw;
    }
    logs.SetUser(slot, call);
    try {
        logs.Save();
    } catch (const EIniFileError &) {
        logs.SetUser(slot, QString());
        undoFiles(true);
        throw;
    }
    return slot;
}

TDeleteLogResult DeleteLog(TLogOptions &logs, const QString &dataDir, const QString &call)
{
    TDeleteLogResult result;
    const QStringList files = LogFiles(dataDir, call);
    // Held while the files go, so that no copy opens the log half deleted; a log that
    // another program holds raises its kind here.
    std::unique_ptr<QLockFile> lock;
    if (!files.isEmpty()) {
        lock = LockLog(dataDir, call);
        IsLogTableFileOrRaise(files.first());
    }
    for (const QString &file : files)
        if (QFile::exists(file) && !QFile::remove(file))
            result.undeletedFiles << file;
    for (int slot = 0; slot < TLogOptions::UserCount; ++slot)
        if (logs.GetUser(slot) == call)
            logs.SetUser(slot, QString());
    try {
        logs.Save();
    } catch (const EIniFileError &e) {
        result.saveError = e.message();
    }
    return result;
}
