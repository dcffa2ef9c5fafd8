#pragma once
// Makes sure that only one logbook runs per user. The first start holds a lock file in
// the user's own runtime folder (the same for every start of the user, see
// PrivateRuntimeFolder) and answers raise requests at the main window's endpoint
// "TfrmVelkor"; a later start finds the lock taken, asks the first one to bring its
// window forward and ends. A start that does not find this lock (another user, another
// home folder) is still kept off a log that is open: the data module locks each log it
// opens beside the log itself (TdmLog::OpenDatabase).

#include <QObject>
#include <QString>

#include <memory>

class QLockFile;
class TLocalEndpoint;

class TSingleInstance : public QObject
{
    Q_OBJECT
public:
    static constexpr auto MainWindowClass = "TfrmVelkor";

    // The lock file lies in lockDir; an empty text means the user's own runtime folder
    // (see PrivateRuntimeFolder).
    explicit TSingleInstance(const QString &lockDir = {}, QObject *parent = nullptr);
    ~TSingleInstance() override;

    // True when this process is now the one instance: the lock is taken and the main
    // window's endpoint listens. False when another instance holds the lock, and also
    // when the lock cannot be created at all (then lockImpossible() tells so). A lock
    // left by a program that crashed is taken over.
    bool tryAcquire();
    // After a refused tryAcquire: true when no lock could be made (no folder of the
    // user's own, or one that cannot be written), false when another instance holds it.
    bool lockImpossible() const { return m_lockImpossible; }
    // The folder of the lock file, made or not.
    QString lockFolder() const { return m_lockDir; }
    // Asks the running instance to bring its main window forward; false when it did not
    // answer.
    bool requestRaise(int timeoutMs = 2000);
    // Gives the lock back and stops answering; also done on destruction.
    void release();

    bool isAcquired() const;
    QString lockFilePath() const { return m_lockPath; }
    // The main window's endpoint while the instance is acquired (receives the DX-cluster
    // client's window size as well), else nullptr.
    TLocalEndpoint *endpoint() const { return m_endpoint; }

signals:
    // A later start asked for the main window to be raised and activated.
    void raiseRequested();

private:
    QString m_lockDir;
    QString m_lockPath;
    bool m_lockImpossible = false;
    std::unique_ptr<QLockFile> m_lock;
    TLocalEndpoint *m_endpoint = nullptr;
};
