#include "DatabaseError.h"
#include "DmLog.h"
#include "LogQuery.h"
#include "LogTable.h"
#include "TestFiles.h"
#include "VkrDatabase.h"

#include <QDir>
#include <QFileInfo>
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

    void folders()
    {
        TdmLog dm(m_app->path());
        QCOMPARE(dm.AppDir, m_app->path() + "/");
        QCOMPARE(dm.DataDir, m_app->path() + "/Data/");
        QCOMPARE(dm.TempDir, m_temp->path() + "/Velkor_Temp/");
        QVERIFY(QFileInfo(dm.TempDir).isDir());
        QCOMPARE(dm.LogFileName("OK1ABC"), m_app->path() + "/Data/OK1ABC.db");
        QVERIFY(dm.UserOptions.Call.isEmpty());
        QVERIFY(!dm.DatabaseOpen());
    }

    void tempFolderWithTrailingSlash()
    {
        m_tempVar->set(m_temp->path() + "/");
        TdmLog dm(m_app->path() + "/");
        QCOMPARE(dm.AppDir, m_app->path() + "/");
        QCOMPARE(dm.TempDir, m_temp->path() + "/Velkor_Temp/");
    }

    void tmpdirWhenTempIsUnset()
    {
        m_tempVar->unset();
        m_tmpdirVar->set(m_temp->path());
        TdmLog dm(m_app->path());
        QCOMPARE(dm.TempDir, m_temp->path() + "/Velkor_Temp/");
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
        }
        QVERIFY(!QFileInfo::exists(tempDir));
        QVERIFY(QFileInfo(m_temp->path()).isDir());
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
        // A file named like the folder keeps the folder from being made.
        QVERIFY(WriteTestFile(m_temp->path() + "/Velkor_Temp", "x"));
        {
            TdmLog dm(m_app->path());
            QCOMPARE(dm.TempDir, m_temp->path() + "/");
            QVERIFY(WriteTestFile(dm.TempDir + "_Temp.db", "x"));
            QVERIFY(WriteTestFile(dm.TempDir + "_Temp.px", "x"));
        }
        QVERIFY(QFileInfo::exists(m_temp->path() + "/_Temp.db"));
        QVERIFY(QFileInfo::exists(m_temp->path() + "/_Temp.px"));
        QVERIFY(QFileInfo(m_temp->path() + "/Velkor_Temp").isFile());
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
            for (const char *index : {"log_dat_utc", "log_call", "log_call_nocase", "log_call_tail",
                                      "log_call_slashes", "log_dxcc_band"})
                QVERIFY(q.exec(QString("DROP INDEX ") + index));
        }
        dm.OpenDatabase("OK1ABC");
        QSqlQuery q(QSqlDatabase::database(TdmLog::DatabaseName));
        QVERIFY(q.exec("SELECT name FROM sqlite_master WHERE type='index' AND name LIKE 'log_%' ORDER BY name"));
        QStringList names;
        while (q.next())
            names << q.value(0).toString();
        QCOMPARE(names, QStringList({"log_call", "log_call_nocase", "log_call_slashes", "log_call_tail",
                                     "log_dat_utc", "log_dxcc_band"}));
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
