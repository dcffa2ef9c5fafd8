// The folder of the single-instance lock and the local endpoints: only one that belongs
// to the user and that nobody else may write into. A runtime folder that another user
// made, or that everybody may write into, with a lock planted in it, neither stops the
// logbook from starting nor receives its endpoints.

#include "system/LocalEndpoint.h"
#include "system/RuntimeFolder.h"
#include "system/SingleInstance.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QLockFile>
#include <QTemporaryDir>
#include <QTest>

#include <sys/stat.h>
#include <unistd.h>

namespace
{

// Sets an environment variable (or removes it, for a null value) for the life of the object.
class EnvGuard
{
public:
    EnvGuard(const char *name, const QString &value)
        : m_name(name), m_had(qEnvironmentVariableIsSet(name)), m_old(qgetenv(name))
    {
        if (value.isNull())
            qunsetenv(name);
        else
            qputenv(name, QFile::encodeName(value));
    }
    ~EnvGuard()
    {
        if (m_had)
            qputenv(m_name, m_old);
        else
            qunsetenv(m_name);
    }

private:
    const char *m_name;
    bool m_had;
    QByteArray m_old;
};

int modeOf(const QString &path)
{
    struct stat info {};
    return ::lstat(QFile::encodeName(path).constData(), &info) == 0 ? int(info.st_mode & 07777) : -1;
}

bool makeFolder(const QString &path, int mode)
{
    return QDir().mkpath(path) && ::chmod(QFile::encodeName(path).constData(), mode_t(mode)) == 0;
}

QString lockName()
{
    return QStringLiteral("velkor-%1.lock").arg(::getuid());
}

} // namespace

class TestRuntimeFolder : public QObject
{
    Q_OBJECT

    std::unique_ptr<QTemporaryDir> m_dir;
    std::unique_ptr<EnvGuard> m_home;

    QString home() const { return m_dir->filePath("home"); }
    QString ownFolder() const { return home() + "/.velkor-runtime"; }

private slots:
    void init()
    {
        m_dir = std::make_unique<QTemporaryDir>();
        QVERIFY(makeFolder(home(), 0700));
        m_home = std::make_unique<EnvGuard>("HOME", home());
        TLocalEndpoint::setNamePrefix({});
    }
    void cleanup()
    {
        m_home.reset();
        m_dir.reset();
    }

    // The session's runtime folder is never taken, private or not: a start without it
    // (from a shell, ssh or cron) must find the same lock as one with it.
    void runtimeFolderIsNeverTaken_data()
    {
        QTest::addColumn<int>("mode");
        QTest::addColumn<bool>("taken");
        QTest::newRow("0700") << 0700 << true;
        QTest::newRow("0755") << 0755 << true;
        QTest::newRow("0770 group may write") << 0770 << false;
        QTest::newRow("0777 everybody may write") << 0777 << false;
        QTest::newRow("1777 like /tmp") << 01777 << false;
        QTest::newRow("0702 others may write") << 0702 << false;
    }
    void runtimeFolderIsNeverTaken()
    {
        QFETCH(int, mode);
        QFETCH(bool, taken);
        const QString runtime = m_dir->filePath("run");
        QVERIFY(makeFolder(runtime, mode));
        EnvGuard xdg("XDG_RUNTIME_DIR", runtime);
        QCOMPARE(IsPrivateFolder(runtime), taken);
        QCOMPARE(PrivateRuntimeFolder(), ownFolder());
        ::chmod(QFile::encodeName(runtime).constData(), 0700);
    }

    void unusableRuntimeFolders_data()
    {
        QTest::addColumn<QString>("kind");
        QTest::newRow("unset") << "unset";
        QTest::newRow("empty") << "empty";
        QTest::newRow("relative") << "relative";
        QTest::newRow("missing") << "missing";
        QTest::newRow("a file") << "file";
        QTest::newRow("a link to a private folder") << "link";
        QTest::newRow("another user's") << "foreign";
    }
    void unusableRuntimeFolders()
    {
        QFETCH(QString, kind);
        QString value;
        if (kind == "empty") {
            value = "";
        } else if (kind == "relative") {
            value = "run";
        } else if (kind == "missing") {
            value = m_dir->filePath("missing");
        } else if (kind == "file") {
            value = m_dir->filePath("file");
            QFile file(value);
            QVERIFY(file.open(QIODevice::WriteOnly));
        } else if (kind == "link") {
            QVERIFY(makeFolder(m_dir->filePath("target"), 0700));
            value = m_dir->filePath("link");
            QVERIFY(QFile::link(m_dir->filePath("target"), value));
        } else if (kind == "foreign") {
            if (::getuid() != 0)
                QSKIP("only root can give a folder to another user");
            value = m_dir->filePath("foreign");
            QVERIFY(makeFolder(value, 0700));
            QCOMPARE(::chown(QFile::encodeName(value).constData(), 65534, 65534), 0);
        }
        EnvGuard xdg("XDG_RUNTIME_DIR", value);
        QCOMPARE(PrivateRuntimeFolder(), ownFolder());
        QCOMPARE(modeOf(ownFolder()), 0700);
        QVERIFY(IsPrivateFolder(ownFolder()));
    }

    void ownFolderMadeWhateverTheUmask_data()
    {
        QTest::addColumn<int>("mask");
        QTest::newRow("000") << 0000;
        QTest::newRow("022") << 0022;
        QTest::newRow("077") << 0077;
        QTest::newRow("777") << 0777;
    }
    void ownFolderMadeWhateverTheUmask()
    {
        QFETCH(int, mask);
        EnvGuard xdg("XDG_RUNTIME_DIR", QString());
        const mode_t old = ::umask(mode_t(mask));
        const QString folder = PrivateRuntimeFolder();
        ::umask(old);
        QCOMPARE(folder, ownFolder());
        QCOMPARE(modeOf(folder), 0700);
    }

    void looseOwnFolderIsTightened()
    {
        EnvGuard xdg("XDG_RUNTIME_DIR", QString());
        QVERIFY(makeFolder(ownFolder(), 0777));
        QCOMPARE(PrivateRuntimeFolder(), ownFolder());
        QCOMPARE(modeOf(ownFolder()), 0700);
    }

    void noFolderAtAllGivesNoLockAndNoEndpoint()
    {
        // A home below a plain file: no folder can be made there, not even by root.
        QFile plain(m_dir->filePath("plain"));
        QVERIFY(plain.open(QIODevice::WriteOnly));
        EnvGuard homeBelowFile("HOME", plain.fileName() + "/home");
        EnvGuard xdg("XDG_RUNTIME_DIR", QString());
        QCOMPARE(PrivateRuntimeFolder(), QString());
        TSingleInstance instance;
        QCOMPARE(instance.lockFilePath(), QString());
        QVERIFY(!instance.tryAcquire());
        QVERIFY(instance.lockImpossible());
        QCOMPARE(instance.lockFolder(), plain.fileName() + "/home/.velkor-runtime");
        QCOMPARE(TLocalEndpoint::serverName("TfrmVelkor"), QString());
        TLocalEndpoint endpoint;
        QVERIFY(!endpoint.listen("TfrmVelkor"));
    }

    // Another user made the runtime folder first, open to everybody, and planted a lock
    // held by a live process (this one) under the victim's name.
    void plantedLockInASharedFolderStopsNothing()
    {
        const QString shared = m_dir->filePath("runtime-victim");
        QVERIFY(makeFolder(shared, 0777));
        QLockFile planted(shared + '/' + lockName());
        QVERIFY(planted.tryLock(0));
        if (::getuid() == 0)
            QCOMPARE(::chown(QFile::encodeName(shared).constData(), 65534, 65534), 0);
        EnvGuard xdg("XDG_RUNTIME_DIR", shared);

        TSingleInstance instance;
        QCOMPARE(QFileInfo(instance.lockFilePath()).path(), ownFolder());
        QVERIFY(instance.tryAcquire());
        QVERIFY(TLocalEndpoint::serverName("TfrmVelkor").startsWith(ownFolder() + '/'));
        QVERIFY(instance.endpoint() && instance.endpoint()->isListening());
        QVERIFY(!QFileInfo::exists(shared + QStringLiteral("/velkor-%1-TfrmVelkor").arg(::getuid())));
        // The second start of the same user still finds the first.
        TSingleInstance second;
        QVERIFY(!second.tryAcquire());
        instance.release();
    }

    void ownFolderHoldsLockAndEndpointsBesideAPrivateRuntimeFolder()
    {
        const QString runtime = m_dir->filePath("run");
        QVERIFY(makeFolder(runtime, 0700));
        EnvGuard xdg("XDG_RUNTIME_DIR", runtime);
        TSingleInstance instance;
        QCOMPARE(instance.lockFilePath(), ownFolder() + '/' + lockName());
        QVERIFY(instance.tryAcquire());
        QCOMPARE(TLocalEndpoint::serverName("TfrmQSO"),
                 ownFolder() + QStringLiteral("/velkor-%1-TfrmQSO").arg(::getuid()));
        QVERIFY(QDir(runtime).isEmpty());
    }
};

QTEST_GUILESS_MAIN(TestRuntimeFolder)
#include "tst_runtimefolder.moc"
