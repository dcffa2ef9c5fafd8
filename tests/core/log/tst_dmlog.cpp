#include "backup/BackUp.h"
#include "base/DatabaseError.h"
#include "base/MessageTexts.h"
#include "log/DmLog.h"
#include "log/LogQuery.h"
#include "log/LogTable.h"
#include "TestFiles.h"
#include "log/VkrDatabase.h"

#include <QDir>
#include <QFileInfo>
#include <QProcess>
#include <QSqlQuery>
#include <QTemporaryDir>
#include <QTest>

#include <memory>

namespace
{

// Sets or removes an environment variable for the life of the object.
class EnvGuard
{
public:
    EnvGuard(const char *name) : m_name(name), m_had(qEnvironmentVariableIsSet(name)), m_old(qgetenv(name)) {}
    ~EnvGuard()
    {
        if (m_had)
            qputenv(m_name, m_old);
        else
            qunsetenv(m_name);
    }
    void set(const QString &value) { qputenv(m_name, value.toLocal8Bit()); }
    void unset() { qunsetenv(m_name); }

private:
    const char *m_name;
    bool m_had;
    QByteArray m_old;
};

} // namespace

class TestDmLog : public QObject
{
    Q_OBJECT

    std::unique_ptr<QTemporaryDir> m_app;
    std::unique_ptr<QTemporaryDir> m_temp;
    std::unique_ptr<EnvGuard> m_tempVar;
    std::unique_ptr<EnvGuard> m_tmpdirVar;

private slots:
    void init()
    {
        m_app = std::make_unique<QTemporaryDir>();
        m_temp = std::make_unique<QTemporaryDir>();
        QDir(m_app->path()).mkdir("Data");
        m_tempVar = std::make_unique<EnvGuard>("TEMP");
        m_tmpdirVar = std::make_unique<EnvGuard>("TMPDIR");
        m_tempVar->set(m_temp->path());
    }
    void cleanup()
    {
        m_tempVar.reset();
        m_tmpdirVar.reset();
        m_temp.reset();
        m_app.reset();
    }

    // The temporary folders of the running programs in TEMP.
    QStringList tempFolders() const
    {
        return QDir(m_temp->path()).entryList({"Velkor_Temp*"}, QDir::Dirs | QDir::NoDotAndDotDot);
    }

    // A temporary folder of this run's own: in TEMP, named "Velkor_Temp-" and a suffix,
    // readable only by its user.
    void isOwnTempFolder(const QString &tempDir)
    {
        QVERIFY2(tempDir.startsWith(m_temp->path() + "/Velkor_Temp-"), qPrintable(tempDir));
        QVERIFY(tempDir.endsWith(u'/'));
        const QFileInfo info(tempDir);
        QVERIFY(info.isDir());
        QCOMPARE(info.permissions() & (QFile::ReadGroup | QFile::WriteGroup | QFile::ExeGroup | QFile::ReadOther |
                                       QFile::WriteOther | QFile::ExeOther),
                 QFile::Permissions());
        QVERIFY(QFileInfo::exists(tempDir + TdmLog::TempLockName));
    }

    void folders()
    {
        TdmLog dm(m_app->path());
        QCOMPARE(dm.AppDir, m_app->path() + "/");
        QCOMPARE(dm.DataDir, m_app->path() + "/Data/");
        isOwnTempFolder(dm.TempDir);
        QCOMPARE(dm.LogFileName("OK1ABC"), m_app->path() + "/Data/OK1ABC.db");
        QVERIFY(dm.UserOptions.Call.isEmpty());
        QVERIFY(!dm.DatabaseOpen());
    }

    void tempFolderWithTrailingSlash()
    {
        m_tempVar->set(m_temp->path() + "/");
        TdmLog dm(m_app->path() + "/");
        QCOMPARE(dm.AppDir, m_app->path() + "/");
        isOwnTempFolder(dm.TempDir);
        QVERIFY(!dm.TempDir.contains("//"));
    }

    void tmpdirWhenTempIsUnset()
    {
        m_tempVar->unset();
        m_tmpdirVar->set(m_temp->path());
        TdmLog dm(m_app->path());
        isOwnTempFolder(dm.TempDir);
    }

    void tempFolderIsRemovedWithItsTables()
    {
        QString tempDir;
        {
            TdmLog dm(m_app->path());
            tempDir = dm.TempDir;
            QVERIFY(WriteTestFile(tempDir + "_Temp.db", "x"));
            QVERIFY(WriteTestFile(tempDir + "_Temp.px", "x"));
            QVERIFY(WriteTestFile(tempDir + "_QSL.db", "x"));
            QVERIFY(WriteTestFile(tempDir + "_QSL.db-journal", "x"));
            QVERIFY(WriteTestFile(tempDir + "_Sesit.xlsx", "PK half a workbook"));
        }
        QVERIFY(!QFileInfo::exists(tempDir));
        QVERIFY(QFileInfo(m_temp->path()).isDir());
        QCOMPARE(tempFolders(), QStringList());
    }

    // Two copies of the program sharing TEMP (two users, or one user's two copies whose
    // single-instance locks lie apart) each work in a folder of their own: when one ends,
    // the other's temporary tables and restore still work.
    void twoRunsShareTemp()
    {
        auto first = std::make_unique<TdmLog>(m_app->path());
        TdmLog second(m_app->path());
        QVERIFY(first->TempDir != second.TempDir);
        QCOMPARE(tempFolders().size(), 2);
        QVERIFY(WriteTestFile(second.TempDir + "_Temp.db", "x"));

        first.reset();
        QCOMPARE(tempFolders().size(), 1);
        QVERIFY(QFileInfo::exists(second.TempDir + "_Temp.db"));

        // The other's restore extracts into its folder and replaces its log.
        CreateLogTable(second.LogFileName("OK1ABC"));
        QVERIFY(WriteTestFile(second.DataDir + "OK1ABC.uf", "[User]\nCall=OK1ABC\n"));
        {
            LogConnection connection(second.LogFileName("OK1ABC"));
            LogTable table(connection.connectionName());
            TLogRecord r;
            r[fiCALL] = "DL1AA";
            table.Insert(r);
        }
        const QString archive = m_app->filePath("OK1ABC.z");
        BackUpLog("OK1ABC", second.DataDir, archive);
        { // a third copy starts meanwhile and must leave the running one's folder alone
            TdmLog third(m_app->path());
            QCOMPARE(tempFolders().size(), 2);
        }
        RestoreLog("OK1ABC", second.DataDir, second.TempDir, archive);
        QVERIFY(IsReadableLogTableFile(second.LogFileName("OK1ABC")));
        QVERIFY(QFileInfo::exists(second.TempDir + "_Temp.db"));
    }

    // What a killed run left behind is removed at a later start; a folder another program
    // put a file of its own into keeps that file.
    void abandonedFoldersAreRemovedAtStart()
    {
        const QString killed = m_temp->path() + "/Velkor_Temp-killed/";
        const QString foreign = m_temp->path() + "/Velkor_Temp-foreign/";
        QVERIFY(QDir().mkpath(killed) && QDir().mkpath(foreign));
        // The lock file of a process that no longer runs.
        QProcess gone;
        gone.start("sleep", {"0.1"});
        QVERIFY(gone.waitForStarted());
        const qint64 pid = gone.processId();
        QVERIFY(pid > 0);
        QVERIFY(gone.waitForFinished());
        const QByteArray staleLock = QByteArray::number(pid) + "\nvelkor\n\n";
        for (const QString &dir : {killed, foreign}) {
            QVERIFY(WriteTestFile(dir + TdmLog::TempLockName, staleLock));
            QVERIFY(WriteTestFile(dir + "_Temp.db", "x"));
            QVERIFY(WriteTestFile(dir + "_QSL.db-journal", "x"));
            QVERIFY(WriteTestFile(dir + "BackUp.db", "x"));
        }
        QVERIFY(WriteTestFile(foreign + "notes.txt", "x"));

        TdmLog dm(m_app->path());
        QVERIFY(!QFileInfo::exists(killed));
        QCOMPARE(QDir(foreign).entryList(QDir::Files), QStringList{"notes.txt"});
        QVERIFY(QFileInfo::exists(dm.TempDir));
    }

    void foreignFileKeepsTheFolder()
    {
        QString tempDir;
        {
            TdmLog dm(m_app->path());
            tempDir = dm.TempDir;
            QVERIFY(WriteTestFile(tempDir + "_Temp.db", "x"));
            QVERIFY(WriteTestFile(tempDir + "Tisk.rnd", "x"));
        }
        QVERIFY(QFileInfo(tempDir).isDir());
        QVERIFY(!QFileInfo::exists(tempDir + "_Temp.db"));
        QVERIFY(QFileInfo::exists(tempDir + "Tisk.rnd"));
    }

    void bareTempFolderIsLeftAlone()
    {
        // TEMP naming a file: no folder can be made in it, and nothing is deleted.
        const QString file = m_temp->path() + "/notafolder";
        QVERIFY(WriteTestFile(file, "x"));
        m_tempVar->set(file);
        {
            TdmLog dm(m_app->path());
            QCOMPARE(dm.TempDir, file + "/");
        }
        QCOMPARE(ReadTestFile(file), QByteArray("x"));
    }

    void programSettingsAreLoaded()
    {
        QVERIFY(WriteTestFile(m_app->filePath("Velkor.ini"), "[Users]\n0=OK1ABC\n3=OK2XYZ\n"));
        TdmLog dm(m_app->path());
        QCOMPARE(dm.LogOptions.GetUser(0), QString("OK1ABC"));
        QCOMPARE(dm.LogOptions.GetUser(3), QString("OK2XYZ"));
        QCOMPARE(dm.LogOptions.GetUser(1), QString());
    }

    void unreadableSettingsStayEmpty()
    {
        // A folder in place of the file cannot be read as settings.
        QVERIFY(QDir(m_app->path()).mkdir("Velkor.ini"));
        TdmLog dm(m_app->path());
        for (int i = 0; i < TLogOptions::UserCount; ++i)
            QCOMPARE(dm.LogOptions.GetUser(i), QString());
    }

    void databaseOfTheOpenLog()
    {
        TdmLog dm(m_app->path());
        QVERIFY_THROWS_EXCEPTION(EDatabaseError, dm.OpenDatabase("OK1ABC"));
        QVERIFY(!dm.DatabaseOpen());
        QVERIFY(!QFileInfo::exists(dm.LogFileName("OK1ABC")));

        CreateLogTable(dm.LogFileName("OK1ABC"));
        dm.OpenDatabase("OK1ABC");
        QVERIFY(dm.DatabaseOpen());
        {
            LogTable table(TdmLog::DatabaseName);
            TLogRecord r;
            r[fiCALL] = "DL1AA";
            table.Insert(r);
            LogQuery q;
            q.SetConnectionName(TdmLog::DatabaseName);
            q.Open();
            QCOMPARE(q.RecordCount(), 1);
            QCOMPARE(q.Value(fiCALL).toString(), QString("DL1AA"));
        }
        dm.CloseDatabase();
        QVERIFY(!dm.DatabaseOpen());
        QVERIFY(!QSqlDatabase::contains(TdmLog::DatabaseName));
    }

    void olderLogGetsItsIndexes()
    {
        TdmLog dm(m_app->path());
        const QString path = dm.LogFileName("OK1ABC");
        CreateLogTable(path);
        {
            LogConnection c(path);
            QSqlQuery q(c.database());
            for (const char *index : {"log_dat_utc", "log_call", "log_call_tail", "log_call_slashes", "log_dxcc_band"})
                QVERIFY(q.exec(QString("DROP INDEX ") + index));
            // An index of earlier versions that nothing reads any more.
            QVERIFY(q.exec("CREATE INDEX log_call_nocase ON log (CALL COLLATE NOCASE)"));
        }
        dm.OpenDatabase("OK1ABC");
        QSqlQuery q(QSqlDatabase::database(TdmLog::DatabaseName));
        QVERIFY(q.exec("SELECT name FROM sqlite_master WHERE type='index' AND name LIKE 'log_%' ORDER BY name"));
        QStringList names;
        while (q.next())
            names << q.value(0).toString();
        QCOMPARE(names, QStringList({"log_call", "log_call_slashes", "log_call_tail", "log_dat_utc", "log_dxcc_band"}));
    }

    // A log that another tool switched to WAL mode is still a log of this program: it
    // opens, in the program's own journal mode.
    void logInWalModeOpens()
    {
        TdmLog dm(m_app->path());
        const QString path = dm.LogFileName("OK1ABC");
        CreateLogTable(path);
        {
            LogConnection c(path);
            QSqlQuery q(c.database());
            QVERIFY(q.exec("PRAGMA journal_mode = WAL") && q.next());
            QCOMPARE(q.value(0).toString(), QString("wal"));
        }
        dm.OpenDatabase("OK1ABC");
        QSqlQuery q(QSqlDatabase::database(TdmLog::DatabaseName));
        QVERIFY(q.exec("PRAGMA journal_mode") && q.next());
        QCOMPARE(q.value(0).toString(), QString("delete"));
    }

    void invalidLogNamesAreRefused_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<bool>("valid");
        QTest::newRow("call") << "OK1ABC" << true;
        QTest::newRow("lower case") << "ok1abc" << true;
        QTest::newRow("empty") << "" << false;
        QTest::newRow("parent") << "../OK1ABC" << false;
        QTest::newRow("slash") << "OK1ABC/P" << false;
        QTest::newRow("NUL") << QString::fromLatin1("OK1\0ABC", 7) << false;
        QTest::newRow("letter with accent") << "OKČ" << false;
    }
    void invalidLogNamesAreRefused()
    {
        QFETCH(QString, name);
        QFETCH(bool, valid);
        QCOMPARE(TdmLog::IsValidLogName(name), valid);
        if (valid)
            return;
        TdmLog dm(m_app->path());
        const QStringList before = QDir(m_app->path()).entryList(QDir::AllEntries | QDir::NoDotAndDotDot);
        try {
            dm.OpenDatabase(name);
            QFAIL("opened");
        } catch (const EDatabaseError &e) {
            QVERIFY(e.message().startsWith("Neplatný název deníku"));
        }
        QCOMPARE(QDir(m_app->path()).entryList(QDir::AllEntries | QDir::NoDotAndDotDot), before);
        QVERIFY(!dm.DatabaseOpen());
    }

    // A QSO saved while another program holds the log is refused as such, not as a
    // damaged log; nothing is written, and the save goes through once the lock is gone.
    void writeWhileAnotherProgramHoldsTheLog()
    {
        TdmLog dm(m_app->path());
        const QString path = dm.LogFileName("OK1ABC");
        CreateLogTable(path);
        dm.OpenDatabase("OK1ABC");
        LogConnection holder(path);
        QSqlQuery q(holder.database());
        QVERIFY(q.exec("BEGIN EXCLUSIVE"));
        const QByteArray content = ReadTestFile(path);
        TLogRecord r;
        r[fiCALL] = "DL1AA";
        try {
            LogTable(TdmLog::DatabaseName).Insert(r);
            QFAIL("written into a log another program holds");
        } catch (const EDatabaseError &e) {
            QCOMPARE(e.message(), MsgLogInUse(path));
        }
        QCOMPARE(ReadTestFile(path), content);
        QVERIFY(q.exec("ROLLBACK"));
        QVERIFY(LogTable(TdmLog::DatabaseName).Insert(r) > 0);
    }

    void destructionClosesTheDatabase()
    {
        {
            TdmLog dm(m_app->path());
            CreateLogTable(dm.LogFileName("OK1ABC"));
            dm.OpenDatabase("OK1ABC");
            QVERIFY(QSqlDatabase::contains(TdmLog::DatabaseName));
        }
        QVERIFY(!QSqlDatabase::contains(TdmLog::DatabaseName));
    }
};

QTEST_GUILESS_MAIN(TestDmLog)
#include "tst_dmlog.moc"
