#pragma once
// The logs of the program: their call signs in the ten slots of Velkor.ini and their
// files in the data folder. Creating a log registers the call sign in a free slot and
// writes its settings file and empty log table; deleting one removes its files and
// every slot that names it.

#include <QDate>
#include <QString>
#include <QStringList>

#include <memory>

class QLockFile;

class TLogOptions;
class TUserOptions;

// The first slot without a call sign, -1 when all ten are taken.
int FreeUserSlot(const TLogOptions &logs);
// How many slots hold a call sign.
int RegisteredUserCount(const TLogOptions &logs);
// Whether a slot holds exactly this call sign (the comparison minds the case); an
// empty call sign names no log.
bool IsUserRegistered(const TLogOptions &logs, const QString &call);

// The files of one log in the data folder: the log table, with what SQLite may leave
// beside it, and the operator settings file.
QStringList LogFiles(const QString &dataDir, const QString &call);

// Takes the lock that a copy of the program holds while it has the log open (the file
// <dataDir><CALL>.lock; a lock left by a copy that died is taken over). Raises
// EDatabaseError of the kind Busy, with the text of a log that another program holds, when
// another copy has the log open, whoever started it. A data folder that may not be written
// holds no lock (nullptr): its logs are only read.
std::unique_ptr<QLockFile> LockLog(const QString &dataDir, const QString &call);

// The settings of a new operator that the settings dialog does not show: no quick QSOs
// yet, the last backup today, the map defaults and the default column layout of the
// grid for the screen-width class (ScreenWidthClass).
void SetNewLogDefaults(TUserOptions &options, int screenWidthClass, const QDate &today);

// Creates the log of options.Call: writes <dataDir><CALL>.uf from the options, creates
// the empty table <dataDir><CALL>.db and registers the call sign in the first free slot
// of Velkor.ini. A step that fails raises its error (EIniFileError, EDatabaseError, or
// EVelkorError with "Maximální počet uživatelů je 10!" when no slot is free) after
// undoing what the earlier steps wrote, so no half-made log is left registered or lying
// in the data folder. Returns the slot.
int CreateLog(TLogOptions &logs, const QString &dataDir, TUserOptions &options);

// What deleting a log could not do: the files that exist but could not be removed, and
// the message of a failed save of Velkor.ini (the slots stay cleared in memory).
struct TDeleteLogResult {
    QStringList undeletedFiles;
    QString saveError;
};

// Deletes the log's files and clears every slot that holds exactly its call sign, then
// saves Velkor.ini; goes on past a file that cannot be removed. A log that another copy of
// the program has open, or that another program holds, is left whole: EDatabaseError of the
// kind Busy is raised before anything is removed.
TDeleteLogResult DeleteLog(TLogOptions &logs, const QString &dataDir, const QString &call);
