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
        QTest::addColumn<int>("kind");
        QTest::addColumn<QString>("expected");
        const QString log = "/home/op/Velkor/Data/OK1ABC.db";
        const QString temp = "/tmp/Velkor_Temp-x/_Temp.db";
        const QString inUse = QString("Deník \"%1\" právě používá jiný program!\n"
                                      "Nic nebylo změněno, zkuste to prosím znovu později.").arg(log);
        const auto row = [](const char *name, int code, const QString &path, TDatabaseFailure kind,
                            const QString &expected) {
            QTest::newRow(name) << code << path << int(kind) << expected;
        };
        row("busy", 5, log, TDatabaseFailure::Busy, inUse);
        row("locked", 6, log, TDatabaseFailure::Busy, inUse);
        row("busy, extended code", 5 | (2 << 8), log, TDatabaseFailure::Busy, inUse);
        row("read-only", 8, log, TDatabaseFailure::ReadOnly, MsgLogReadOnly(log));
        row("read-only folder", 8 | (6 << 8), log, TDatabaseFailure::ReadOnly, MsgLogReadOnly(log));
        row("disk full", 13, log, TDatabaseFailure::Full, MsgLogDiskFull(log));
        row("temporary folder full", 13, temp, TDatabaseFailure::Full,
            "V dočasném adresáři \"/tmp/Velkor_Temp-x\" není dost místa na disku!");
        row("not a database", 26, log, TDatabaseFailure::Damaged,
            QString("Chyba při zápisu!\nSoubor \"%1\" není deníkem programu Velkor nebo je poškozen!").arg(log));
        row("damaged", 11, log, TDatabaseFailure::Damaged, "Chyba při zápisu!\n" + MsgNotALog(log));
        row("input/output", 10, log, TDatabaseFailure::Other, "Chyba při zápisu!\n(chyba databáze 10)");
    }
    void sqliteFailuresAreToldByKind()
    {
        QFETCH(int, code);
        QFETCH(QString, path);
        QFETCH(int, kind);
        QFETCH(QString, expected);
        const EDatabaseError failure = SqliteFailure(code, path, "Chyba při zápisu!");
        QCOMPARE(failure.message(), expected);
        QCOMPARE(int(failure.kind()), kind);
        QVERIFY(!failure.message().contains("_Temp.db"));
    }
};

QTEST_GUILESS_MAIN(TestVelkorError)
#include "tst_velkorerror.moc"
