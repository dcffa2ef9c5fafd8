#include "system/LocalEndpoint.h"
#include "system/SingleInstance.h"

#include <QFile>
#include <QLockFile>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>

#include <sys/wait.h>
#include <unistd.h>

class TestSingleInstance : public QObject
{
    Q_OBJECT
private:
    QTemporaryDir m_dir;

    // Leaves a lock behind as a program that crashed does: a child process takes the
    // lock and ends without giving it back.
    bool leaveLockOfDeadProcess(const QString &path)
    {
        const pid_t child = ::fork();
        if (child == 0) {
            QLockFile lock(path);
            ::_exit(lock.tryLock(0) ? 0 : 1);
        }
        int status = 0;
        return child > 0 && ::waitpid(child, &status, 0) == child && WIFEXITED(status) &&
               WEXITSTATUS(status) == 0;
    }

private slots:
    void initTestCase()
    {
        QVERIFY(m_dir.isValid());
        TLocalEndpoint::setNamePrefix(m_dir.path() + "/ep-");
    }

    void secondStartAsksTheFirstToRaise()
    {
        TSingleInstance first(m_dir.path());
        QVERIFY(first.tryAcquire());
        QVERIFY(QFile::exists(first.lockFilePath()));
        QVERIFY(first.endpoint() && first.endpoint()->isListening());
        QSignalSpy raised(&first, &TSingleInstance::raiseRequested);

        TSingleInstance second(m_dir.path());
        QVERIFY(!second.tryAcquire());
        QVERIFY(!second.lockImpossible());
        QVERIFY(!second.isAcquired());
        QVERIFY(!second.endpoint());
        QVERIFY(second.requestRaise());
        QCOMPARE(raised.count(), 1);
        QVERIFY(first.isAcquired());
    }

    void releaseLetsTheNextStartIn()
    {
        TSingleInstance first(m_dir.path());
        QVERIFY(first.tryAcquire());
        first.release();
        QVERIFY(!QFile::exists(first.lockFilePath()));
        QVERIFY(!TLocalEndpoint::exists(TSingleInstance::MainWindowClass, 200));

        TSingleInstance next(m_dir.path());
        QVERIFY(next.tryAcquire());
        QSignalSpy raised(&next, &TSingleInstance::raiseRequested);
        QVERIFY(TSingleInstance(m_dir.path()).requestRaise());
        QCOMPARE(raised.count(), 1);
    }

    void lockOfACrashedProgramIsTakenOver()
    {
        TSingleInstance instance(m_dir.path());
        QVERIFY(leaveLockOfDeadProcess(instance.lockFilePath()));
        QVERIFY(QFile::exists(instance.lockFilePath()));
        // The crashed program also left its endpoint's socket file behind.
        QFile leftover(TLocalEndpoint::serverName(TSingleInstance::MainWindowClass));
        QVERIFY(leftover.open(QIODevice::WriteOnly));
        leftover.close();

        QVERIFY(instance.tryAcquire());
        QSignalSpy raised(&instance, &TSingleInstance::raiseRequested);
        QVERIFY(TSingleInstance(m_dir.path()).requestRaise());
        QCOMPARE(raised.count(), 1);
    }

    void lockThatCannotBeCreatedIsToldApart()
    {
        TSingleInstance instance(m_dir.path() + "/no such folder");
        QVERIFY(!instance.tryAcquire());
        QVERIFY(instance.lockImpossible());
        QVERIFY(!instance.isAcquired());
        // Nobody answers in this case.
        QVERIFY(!instance.requestRaise(200));
    }
};

QTEST_GUILESS_MAIN(TestSingleInstance)
#include "tst_singleinstance.moc"
