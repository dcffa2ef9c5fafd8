#pragma once
// The logbook's data module, alive for the whole run: the program, data and temporary
// folders every other part builds its paths from, the program settings (Velkor.ini),
// the settings of the operator whose log is open, and the database connection of the
// open log.
//
// Folders end with "/". The temporary folder is a folder of this run's own, readable
// only by its user, in the folder named by TEMP (else TMPDIR, else /tmp):
// "Velkor_Temp-" and a random suffix. That folder is shared by every program on the
// machine, so one fixed name would let one running copy remove the temporary tables of
// another when it ends. The folder holds a lock file while the run lasts; at start the
// folders of runs that ended without cleaning up (killed) lose what the program puts
// there, and go. When no folder of its own can be made, the program works in the TEMP
// folder itself; only in the first case are its "_*.db" tables removed, with the folder,
// at the end.

#include "log/LogConnection.h"
#include "settings/LogOptions.h"
#include "settings/UserOptions.h"

#include <QLockFile>
#include <QObject>
#include <QString>

#include <memory>

class TdmLog : public QObject
{
    Q_OBJECT
public:
    // The name of the database connection of the open log; queries and table objects on
    // the log name it.
    static inline const QString DatabaseName = QStringLiteral("Velkor");

    // appDir: the program folder (the executable's folder; tests pass a temporary one).
    explicit TdmLog(const QString &appDir, QObject *parent = nullptr);
    // Closes the database and removes the temporary folder's tables and the folder.
    ~TdmLog() override;

    QString AppDir;  // program folder: Velkor.ini, reference tables, Help/, Zaloha/
    QString TempDir; // temporary tables (names beginning with "_"), extracted backups
    QString DataDir; // AppDir + "Data/": the logs <CALL>.db and settings <CALL>.uf

    TLogOptions LogOptions;   // loaded from AppDir + "Velkor.ini" at creation
    TUserOptions UserOptions; // empty until the main window loads the open log's settings

    // The log file of a call sign: DataDir + CALL + ".db".
    QString LogFileName(const QString &call) const;

    // A log's name (the operator's call sign) names its files in the data folder, so it
    // is what the settings dialog lets an operator type: ASCII letters and digits only.
    static bool IsValidLogName(const QString &name);
    // The operator's message for a name that is not one (a call sign read from a file).
    static QString InvalidLogNameText(const QString &name);

    // Opens the connection DatabaseName on the log file of the call sign (which must
    // exist; CreateLogTable makes a new one), adding the ordering indexes an older file
    // lacks. A connection already open is closed first. Raises EDatabaseError, and
    // touches no file, for an invalid name or a file that is not a log of this program
    // (other than playing back the rollback journal of an interrupted write), and of its
    // kind for a log that another program holds. A log or data folder whose mode forbids
    // writing is opened for reading only (DatabaseReadOnly) and left as it is.
    // While the log is open, a lock file beside it (LockLog) keeps every other
    // copy of the program from opening it, whoever started that copy and however (another
    // user, another home folder, which the single-instance lock cannot see); a log whose
    // lock another copy holds raises EDatabaseError of the kind Busy, its text the one of
    // a log that another program holds. A data folder that may not be written holds no
    // lock: its logs are only read.
    void OpenDatabase(const QString &call);
    // Closes the connection and gives the log's lock back; queries and table objects on it
    // must be closed before.
    void CloseDatabase();
    bool DatabaseOpen() const;
    bool DatabaseReadOnly() const;

    // The system's temporary folder (TEMP, else TMPDIR, else /tmp) with "/", in which
    // TempDir lies: for files that must outlive the run.
    QString SystemTempDir() const { return m_tempBase; }

    // The prefix of the temporary folders' names and the lock file inside each.
    static inline const QString TempFolderPrefix = QStringLiteral("Velkor_Temp-");
    static inline const QString TempLockName = QStringLiteral("Velkor.lock");

    // The DX-cluster client of the open log (TDxClusterLink): started with the operator's
    // cluster settings unless one runs or a setting is missing (said in a message), and
    // told to end when the log closes.
    void StartDxCluster();
    void StopDxCluster();

private:
    QString m_tempBase; // TEMP folder with "/": the fall-back, never cleaned
    std::unique_ptr<QLockFile> m_tempLock;
    LogConnection m_dbLog;
    std::unique_ptr<QLockFile> m_logLock; // held while the log is open

    void openLogFile(const QString &path);

    void makeTempFolder();
    void removeAbandonedTempFolders() const;
    void removeTempFolder();
};
