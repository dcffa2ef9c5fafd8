#pragma once
// The logbook's start and end: one copy per user, the checks that must pass before
// anything is created, the data modules and windows made behind the splash screen, the
// choice of the log to open, the message loop, and the clean-up that gives everything
// back in the reverse order. It takes the program folder and the command-line arguments
// (without the program's own name), so that tests run it in a folder of their own.

#include <QList>
#include <QObject>
#include <QString>
#include <QStringList>
#include <QTranslator>

#include <functional>
#include <memory>

class TfrmAbout;
class TfrmProfile;
class TSingleInstance;

class TProgramStart : public QObject
{
    Q_OBJECT
public:
    enum TOutcome {
        osRunning,          // a log is open and the main window is shown: the loop may run
        osAlreadyRunning,   // another copy runs; it was asked to come to the front
        osNoInstanceLock,   // no lock against a second copy could be made (said in a message)
        osNoDatabase,       // the SQLite driver is missing
        osNoSettingsAccess, // Velkor.ini beside the program cannot be read and written
        osStartFailed,      // a data module could not be created (its message was shown)
        osCancelled,        // the log choice was left without a log
        osTerminated,       // opening the log asked the program to end
    };

    static constexpr int SplashSteps = 5;

    // lockDir: the folder of the single-instance lock (empty: the user's runtime folder).
    TProgramStart(const QString &appDir, const QStringList &arguments, const QString &lockDir = {},
                  QObject *parent = nullptr);
    ~TProgramStart() override;

    // Everything up to the message loop. Any outcome but osRunning has already cleaned up.
    TOutcome Start();
    // Start, the message loop while a log is open, and the end; the process exit code.
    int Run();
    // The end: the windows and data modules go in the reverse order of their creation
    // (the data module removes the temporary folder), then the lock is given back.
    void Finish();

    QString ChosenLogName() const { return m_chosenLogName; }
    TSingleInstance *Instance() const { return m_instance.get(); }
    // The splash gauge's values as the start set them.
    const QList<int> &SplashProgress() const { return m_splashProgress; }

    // Gives the commands that live outside the logbook's library (the application
    // layer's) their handlers, once the main window exists; may be empty.
    std::function<void(class TfrmVelkor &)> InstallCommands;

    // The message shown when the database driver is missing.
    static const QString DatabaseMissingText;
    // The message shown when no lock against a second copy can be made in the folder.
    static QString NoInstanceLockText(const QString &folder);

private:
    bool createModules();
    void advanceSplash(int step);
    void chooseLog();
    bool runLogChoice();
    void raiseMainWindow();

    QString m_appDir;
    QStringList m_arguments;
    std::unique_ptr<TSingleInstance> m_instance;
    std::unique_ptr<TfrmAbout> m_splash;
    QTranslator m_qtTranslator;
    QString m_chosenLogName;
    QList<int> m_splashProgress;
    bool m_started = false;
};
