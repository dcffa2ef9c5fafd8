#include "system/SingleInstance.h"

#include "system/LocalEndpoint.h"
#include "system/RuntimeFolder.h"

#include <QDir>
#include <QLockFile>
#include <QLoggingCategory>

#include <unistd.h>

Q_LOGGING_CATEGORY(lcInstance, "velkor.instance")

namespace
{

QString lockPath(const QString &dir)
{
    return dir.isEmpty() ? QString() : dir + QStringLiteral("/velkor-%1.lock").arg(::getuid());
}

} // namespace

TSingleInstance::TSingleInstance(const QString &lockDir, QObject *parent)
    : QObject(parent), m_lockDir(lockDir.isEmpty() ? PrivateRuntimeFolder() : lockDir),
      m_lockPath(lockPath(m_lockDir))
{
    if (m_lockDir.isEmpty())
        m_lockDir = OwnRuntimeFolderPath();
}

TSingleInstance::~TSingleInstance()
{
    release();
}

bool TSingleInstance::tryAcquire()
{
    m_lockImpossible = false;
    if (isAcquired())
        return true;
    if (m_lockPath.isEmpty()) {
        qCWarning(lcInstance) << "no folder of this user's own for the lock file";
        m_lockImpossible = true;
        return false;
    }
    auto lock = std::make_unique<QLockFile>(m_lockPath);
    // The lock lives as long as the program, so only a dead owner makes it stale, not age.
    lock->setStaleLockTime(0);
    if (!lock->tryLock(0)) {
        if (lock->error() != QLockFile::LockFailedError) {
            qCWarning(lcInstance) << "cannot create the lock file" << m_lockPath << lock->error();
            m_lockImpossible = true;
        }
        return false;
    }
    m_lock = std::move(lock);
    m_endpoint = new TLocalEndpoint(this);
    connect(m_endpoint, &TLocalEndpoint::raiseRequested, this, &TSingleInstance::raiseRequested);
    if (!m_endpoint->listen(QString::fromLatin1(MainWindowClass)))
        qCWarning(lcInstance) << "the main window's endpoint does not listen; raise requests are lost";
    return true;
}

bool TSingleInstance::requestRaise(int timeoutMs)
{
    return TLocalEndpoint::requestRaise(QString::fromLatin1(MainWindowClass), timeoutMs);
}

void TSingleInstance::release()
{
    if (m_endpoint) {
        m_endpoint->close();
        m_endpoint->deleteLater();
        m_endpoint = nullptr;
    }
    m_lock.reset(); // unlocks and removes the file
}

bool TSingleInstance::isAcquired() const
{
    return m_lock && m_lock->isLocked();
}
