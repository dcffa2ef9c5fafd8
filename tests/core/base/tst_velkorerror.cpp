#include "backup/BackUp.h"
#include "base/DatabaseError.h"
#include "base/FileUtils.h"
#include "base/MessageTexts.h"
#include "settings/IniFile.h"
#include "log/LogConnection.h"
#include "settings/LogOptions.h"
#include "TestFiles.h"
#include "base/VelkorError.h"

#include <QDir>
#include <QTemporaryDir>
#include <QTest>

#include <functional>

// The end of a user operation catches EVelkorError alone: every kind of core failure must
// arrive there with its Czech text intact.
class TestVelkorError : public QObject
{
    Q_OBJECT

    QTemporaryDir m_dir;

    static QString caughtAsBase(const std::function<void()> &operation)
    {
        try {
            operation();
        } catch (const EVelkorError &e) {
            return e.message();
        }
        return QStringLiteral("<nothing thrown>");
    }

private slots:
    void everyCoreFailureIsOneType_data()
    {
        QTest::addColumn<int>("kind");
        QTest::addColumn<QString>("expected");
        const QString missing = QDir::toNativeSeparators(m_dir.filePath("missing.db"));
        QTest::newRow("file") << 0 << QString("Soubor \"%1\" nelze otevřít!").arg(missing);
        QTest::newRow("backup archive") << 1 << QString("Neplatný formát souboru!");
        QTest::newRow("database") << 2
                                  << QString("Databázi \"%1\" nelze otevřít!\nSoubor neexistuje.")
                                         .arg(m_dir.filePath("missing.db"));
        QTest::newRow("settings file") << 3 << QString("Soubor \"%1\" nelze načíst!").arg(m_dir.path());
        QTest::newRow("log slot") << 4 << QString("Index mimo rozsah!");
    }
    void everyCoreFailureIsOneType()
    {
        QFETCH(int, kind);
        QFETCH(QString, expected);
        const QString shortArchive = m_dir.filePath("short.z");
        QVERIFY(WriteTestFile(shortArchive, "too short for a header"));

        const std::function<void()> operations[] = {
            [&] { GetFileSizeByName(m_dir.filePath("missing.db")); },
            [&] {
                QString call;
                QDateTime created;
                ReadBackUpInfo(shortArchive, call, created);
            },
            [&] { LogConnection connection(m_dir.filePath("missing.db")); },
            [&] { TMemIniFile ini(m_dir.path()); }, // a folder, not a file
            [&] { TLogOptions().GetUser(TLogOptions::UserCount); },
        };
        QCOMPARE(caughtAsBase(operations[kind]), expected);
    }

    // SQLite's failures reach the operator by their kind, in Czech, without SQLite's
    // English and without the names of the program's temporary tables.
    void sqliteFailuresAreToldByKind_data()
    {
        QTest::addColumn<int>("code");
        QTest::addColumn<QString>("path");
        QTest::addColumn<QString>("expected");
        const QString log = "/home/op/Data/OK1ABC.db";
        QTest::newRow("busy") << 5 << log << MsgLogInUse(log);
        QTest::newRow("read-only folder") << (8 | (6 << 8)) << log << MsgLogReadOnly(log);
        QTest::newRow("disk full") << 13 << log << MsgLogDiskFull(log);
        QTest::newRow("temporary folder full")
            << 13 << "/tmp/V/_Temp.db" << "V dočasném adresáři \"/tmp/V\" není dost místa na disku!";
        QTest::newRow("damaged") << 11 << log << "Chyba!\n" + MsgNotALog(log);
        QTest::newRow("input/output") << 10 << log << "Chyba!\n(chyba databáze 10)";
    }
    void sqliteFailuresAreToldByKind()
    {
        QFETCH(int, code);
        QFETCH(QString, path);
        QFETCH(QString, expected);
        QCOMPARE(SqliteFailure(code, path, "Chyba!").message(), expected);
    }
};

QTEST_GUILESS_MAIN(TestVelkorError)
#include "tst_velkorerror.moc"
