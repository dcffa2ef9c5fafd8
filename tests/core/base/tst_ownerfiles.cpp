// An operator's files are theirs alone whatever the umask: the settings file (it holds
// the cluster password), the log, its backup and a restored log 0600, and the folders
// the program makes for them 0700. Files of no one's secrets keep the umask's mode.

#include "backup/BackUp.h"
#include "log/DmLog.h"
#include "base/FileUtils.h"
#include "base/HotJournal.h"
#include "settings/IniFile.h"
#include "settings/LogOptions.h"
#include "log/LogRegistry.h"
#include "log/LogTable.h"
#include "settings/UserOptions.h"
#include "log/VkrDatabase.h"

#include <QDir>
#include <QFile>
#include <QSqlDatabase>
#include <QSqlQuery>
#include <QTemporaryDir>
#include <QTest>

#include <sys/stat.h>
#include <unistd.h>

namespace
{

int modeOf(const QString &path)
{
    struct stat info {};
    return ::stat(QFile::encodeName(path).constData(), &info) == 0 ? int(info.st_mode & 07777) : -1;
}

// Sets the umask for the life of the object.
class UmaskGuard
{
public:
    explicit UmaskGuard(int mask) : m_old(::umask(mode_t(mask))) {}
    ~UmaskGuard() { ::umask(m_old); }

private:
    mode_t m_old;
};

void addMasks()
{
    QTest::addColumn<int>("mask");
    QTest::newRow("umask 000") << 0000;
    QTest::newRow("umask 002") << 0002;
    QTest::newRow("umask 022") << 0022;
    QTest::newRow("umask 077") << 0077;
}

} // namespace

class TestOwnerFiles : public QObject
{
    Q_OBJECT

    std::unique_ptr<QTemporaryDir> m_dir;

    QString path(const QString &name) const { return m_dir->filePath(name); }

private slots:
    void init() { m_dir = std::make_unique<QTemporaryDir>(); }
    void cleanup() { m_dir.reset(); }

    void settingsFileIsTheOwners_data() { addMasks(); }
    void settingsFileIsTheOwners()
    {
        QFETCH(int, mask);
        UmaskGuard guard(mask);
        TUserOptions options;
        options.SetCall("OK1ABC");
        options.SaveAs(path("OK1ABC.uf"));
        QCOMPARE(modeOf(path("OK1ABC.uf")), 0600);
        // A file that was readable by all becomes the owner's when it is read, and at the
        // next save.
        const QFileDevice::Permissions readableByAll = QFileDevice::ReadOwner | QFileDevice::WriteOwner |
                                                       QFileDevice::ReadOther | QFileDevice::ReadGroup;
        QVERIFY(QFile::setPermissions(path("OK1ABC.uf"), readableByAll));
        TUserOptions().Load(path("OK1ABC.uf"));
        QCOMPARE(modeOf(path("OK1ABC.uf")), 0600);
        QVERIFY(QFile::setPermissions(path("OK1ABC.uf"), readableByAll));
        options.Save();
        QCOMPARE(modeOf(path("OK1ABC.uf")), 0600);
    }

    void otherIniFilesKeepTheUmask()
    {
        UmaskGuard guard(0022);
        TMemIniFile ini(path("Velkor.ini"));
        QVERIFY(!ini.OwnerOnly());
        ini.WriteString("Users", "User1", "OK1ABC");
        ini.UpdateFile();
        QCOMPARE(modeOf(path("Velkor.ini")), 0644);
    }

    void newLogIsTheOwners_data() { addMasks(); }
    void newLogIsTheOwners()
    {
        QFETCH(int, mask);
        UmaskGuard guard(mask);
        CreateLogTable(path("OK1ABC.db"));
        QCOMPARE(modeOf(path("OK1ABC.db")), 0600);
        QVERIFY(IsReadableLogTableFile(path("OK1ABC.db")));
    }

    void journalOfALogIsTheOwners()
    {
        UmaskGuard guard(0);
        CreateLogTable(path("OK1ABC.db"));
        LogConnection connection(path("OK1ABC.db"));
        QSqlDatabase db = connection.database();
        QVERIFY(db.transaction());
        QSqlQuery q(db);
        QVERIFY(q.exec("INSERT INTO log (CALL) VALUES ('OK2AA')"));
        QCOMPARE(modeOf(JournalFileName(path("OK1ABC.db"))), 0600);
        QVERIFY(db.rollback());
    }

    // Opening takes the group's and others' bits away and never adds one of the owner's:
    // a log made read-only stays so, and is opened for reading only.
    void olderLogBecomesTheOwnersWhenOpened_data()
    {
        QTest::addColumn<int>("before");
        QTest::addColumn<int>("after");
        QTest::newRow("0644") << 0644 << 0600;
        QTest::newRow("0444") << 0444 << 0400;
        QTest::newRow("0400") << 0400 << 0400;
    }
    void olderLogBecomesTheOwnersWhenOpened()
    {
        QFETCH(int, before);
        QFETCH(int, after);
        QVERIFY(QDir(path("app")).mkpath("Data"));
        const QString log = path("app/Data/OK1ABC.db");
        CreateLogTable(log);
        QCOMPARE(::chmod(QFile::encodeName(log).constData(), mode_t(before)), 0);
        TdmLog dm(path("app"));
        dm.OpenDatabase("OK1ABC");
        QCOMPARE(modeOf(log), after);
        QCOMPARE(dm.DatabaseReadOnly(), after == 0400);
    }

    void newLogAndDataFolder_data() { addMasks(); }
    void newLogAndDataFolder()
    {
        QFETCH(int, mask);
        UmaskGuard guard(mask);
        TLogOptions logs;
        logs.Load(path("Velkor.ini"));
        TUserOptions options;
        options.SetCall("OK1ABC");
        const QString data = path("app/Data/");
        CreateLog(logs, data, options);
        QCOMPARE(modeOf(path("app")), 0700);
        QCOMPARE(modeOf(data), 0700);
        QCOMPARE(modeOf(data + "OK1ABC.uf"), 0600);
        QCOMPARE(modeOf(data + "OK1ABC.db"), 0600);
    }

    void existingFoldersKeepTheirMode()
    {
        QVERIFY(QDir().mkpath(path("shared")));
        QVERIFY(QFile::setPermissions(path("shared"), QFileDevice::ReadOwner | QFileDevice::WriteOwner |
                                                          QFileDevice::ExeOwner | QFileDevice::ReadOther |
                                                          QFileDevice::ExeOther));
        QVERIFY(MakeOwnerOnlyPath(path("shared/a/b")));
        QCOMPARE(modeOf(path("shared")), 0705);
        QCOMPARE(modeOf(path("shared/a")), 0700);
        QCOMPARE(modeOf(path("shared/a/b")), 0700);
        QVERIFY(MakeOwnerOnlyPath(path("shared/a/b"))); // already there
    }

    void ownerOnlyFileIsNew()
    {
        UmaskGuard guard(0);
        QVERIFY(CreateOwnerOnlyFile(path("new")));
        QCOMPARE(modeOf(path("new")), 0600);
        QCOMPARE(QFileInfo(path("new")).size(), 0);
        QVERIFY(!CreateOwnerOnlyFile(path("new")));
        QVERIFY(!CreateOwnerOnlyFile(path("missing/new")));
        QVERIFY(!MakeOwnerOnlyPath(path("new/below")));
    }

    void backUpAndRestoredLogAreTheOwners_data() { addMasks(); }
    void backUpAndRestoredLogAreTheOwners()
    {
        QFETCH(int, mask);
        UmaskGuard guard(mask);
        const QString data = path("Data/");
        QVERIFY(QDir().mkpath(data));
        CreateLogTable(data + "OK1ABC.db");
        TUserOptions options;
        options.SetCall("OK1ABC");
        options.SaveAs(data + "OK1ABC.uf");
        BackUpLog("OK1ABC", data, path("OK1ABC.vbk"));
        QCOMPARE(modeOf(path("OK1ABC.vbk")), 0600);
        QVERIFY(QFile::setPermissions(data + "OK1ABC.db", QFileDevice::ReadOwner | QFileDevice::WriteOwner |
                                                              QFileDevice::ReadOther));
        QVERIFY(QDir().mkpath(path("Temp")));
        RestoreLog("OK1ABC", data, path("Temp"), path("OK1ABC.vbk"));
        QCOMPARE(modeOf(data + "OK1ABC.db"), 0600);
        QVERIFY(IsReadableLogTableFile(data + "OK1ABC.db"));
    }
};

QTEST_GUILESS_MAIN(TestOwnerFiles)
#include "tst_ownerfiles.moc"
