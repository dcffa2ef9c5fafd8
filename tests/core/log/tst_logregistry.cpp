#include "base/DatabaseError.h"
#include "base/MessageTexts.h"
#include "log/LogConnection.h"
#include "TestFiles.h"
#include "settings/IniFile.h"
#include "settings/LogOptions.h"
#include "log/LogRecord.h"
#include "log/LogRegistry.h"
#include "settings/UserOptions.h"
#include "log/VkrDatabase.h"

#include <QDir>
#include <QFile>
#include <QLockFile>
#include <QSqlQuery>
#include <QTemporaryDir>
#include <QTest>

// Creating and deleting logs without any window: Velkor.ini's slots and the files in
// the data folder of a temporary program folder.
class TestLogRegistry : public QObject
{
    Q_OBJECT

    std::unique_ptr<QTemporaryDir> m_dir;
    QString m_ini;
    QString m_data;

    void writeIni(const QStringList &users)
    {
        QFile ini(m_ini);
        QVERIFY(ini.open(QIODevice::WriteOnly | QIODevice::Truncate));
        ini.write("[Users]\n");
        for (int slot = 0; slot < users.size(); ++slot)
            ini.write(QStringLiteral("%1=%2\n").arg(slot).arg(users[slot]).toUtf8());
    }
    QStringList slotsOnDisk() const
    {
        TLogOptions logs;
        logs.Load(m_ini);
        QStringList users;
        for (int slot = 0; slot < TLogOptions::UserCount; ++slot)
            users << logs.GetUser(slot);
        return users;
    }
    QStringList dataFiles() const { return QDir(m_data).entryList(QDir::Files, QDir::Name); }
    std::unique_ptr<TUserOptions> newOperator(const QString &call)
    {
        auto options = std::make_unique<TUserOptions>();
        options->SetCall(call);
        options->SetLocator("JN79AB");
        SetNewLogDefaults(*options, 1, QDate(2007, 3, 4));
        return options;
    }

private slots:
    void init()
    {
        m_dir = std::make_unique<QTemporaryDir>();
        m_ini = m_dir->filePath("Velkor.ini");
        m_data = m_dir->path() + "/Data/";
    }

    void slotQueries_data()
    {
        QTest::addColumn<QStringList>("users");
        QTest::addColumn<int>("freeSlot");
        QTest::addColumn<int>("count");
        QTest::newRow("none") << QStringList() << 0 << 0;
        QTest::newRow("gap") << QStringList{"OK1ABC", "", "OK2DEF"} << 1 << 2;
        QTest::newRow("full") << QStringList{"A0", "A1", "A2", "A3", "A4", "A5", "A6", "A7", "A8", "A9"} << -1
                              << 10;
    }
    void slotQueries()
    {
        QFETCH(QStringList, users);
        QFETCH(int, freeSlot);
        QFETCH(int, count);
        writeIni(users);
        TLogOptions logs;
        logs.Load(m_ini);
        QCOMPARE(FreeUserSlot(logs), freeSlot);
        QCOMPARE(RegisteredUserCount(logs), count);
    }

    // The duplicate check minds the case: a slot holding "ok1abc" is another log.
    void registeredComparesExactly()
    {
        writeIni({"ok1abc", "OK2DEF"});
        TLogOptions logs;
        logs.Load(m_ini);
        QVERIFY(IsUserRegistered(logs, "OK2DEF"));
        QVERIFY(IsUserRegistered(logs, "ok1abc"));
        QVERIFY(!IsUserRegistered(logs, "OK1ABC"));
        QVERIFY(!IsUserRegistered(logs, "OK2DE"));
        QVERIFY(!IsUserRegistered(logs, ""));
    }

    void newLogDefaults_data()
    {
        QTest::addColumn<int>("widthClass");
        for (int c = 0; c < ScreenWidthClassCount; ++c)
            QTest::addRow("class %d", c) << c;
    }
    void newLogDefaults()
    {
        QFETCH(int, widthClass);
        TUserOptions o;
        o.SetQuickQSOs(5);
        SetNewLogDefaults(o, widthClass, QDate(2007, 3, 4));
        QCOMPARE(o.GetQuickQSOs(), 0);
        QCOMPARE(o.GetBackUpLast(), QDate(2007, 3, 4));
        QCOMPARE(o.Ini.ReadString("Map", "Zoom", "?"), QString("0,000"));
        QCOMPARE(o.Ini.ReadString("Map", "CenterX", "?"), QString("15,000"));
        QCOMPARE(o.Ini.ReadString("Map", "CenterY", "?"), QString("49,800"));
        QCOMPARE(o.Ini.ReadString("Map", "WWLGrid", "?"), QString("0"));
        QCOMPARE(o.Ini.ReadString("Map", "GeoGrid", "?"), QString("1"));
        QVERIFY(!o.Ini.ValueExists("Columns", "ID_Width"));
        for (int field = fiDAT; field < LogFieldCount; ++field) {
            const QString &name = LogFieldNames[field];
            QCOMPARE(o.GetColumnCaption(name), LogFieldCaptions[field]);
            QCOMPARE(o.GetColumnCaptionAlignment(name), LogColumnTitleAlignments[field]);
            QCOMPARE(o.GetColumnAlignment(name), LogColumnAlignments[field]);
            QCOMPARE(o.GetColumnWidth(name), LogColumnWidths[field][widthClass]);
            QCOMPARE(o.GetColumnVisible(name), LogColumnVisible[field][widthClass]);
            QCOMPARE(o.GetColumnIndex(name, -1), LogColumnPositions[field]);
        }
    }

    void createRegistersInTheFirstFreeSlot()
    {
        writeIni({"OK1ABC", "", "OK2DEF"});
        TLogOptions logs;
        logs.Load(m_ini);
        auto options = newOperator("dl1aaa");
        QCOMPARE(CreateLog(logs, m_data, *options), 1);
        QCOMPARE(slotsOnDisk().mid(0, 3), (QStringList{"OK1ABC", "DL1AAA", "OK2DEF"}));
        QCOMPARE(dataFiles(), (QStringList{"DL1AAA.db", "DL1AAA.uf"}));
        QVERIFY(IsReadableLogTableFile(m_data + "DL1AAA.db"));
        TUserOptions stored;
        stored.Load(m_data + "DL1AAA.uf");
        QCOMPARE(stored.Call, QString("DL1AAA"));
        QCOMPARE(stored.GetLocator(), QString("JN79AB"));
        QCOMPARE(stored.GetColumnWidth("NOTE"), LogColumnWidths[fiNOTE][1]);
    }

    void createWithoutAFreeSlotWritesNothing()
    {
        writeIni({"A0", "A1", "A2", "A3", "A4", "A5", "A6", "A7", "A8", "A9"});
        TLogOptions logs;
        logs.Load(m_ini);
        auto options = newOperator("DL1AAA");
        QVERIFY_THROWS_EXCEPTION(EVelkorError, CreateLog(logs, m_data, *options));
        try {
            CreateLog(logs, m_data, *options);
        } catch (const EVelkorError &e) {
            QCOMPARE(e.message(), QString("Maximální počet uživatelů je 10!"));
        }
        QCOMPARE(dataFiles(), QStringList());
    }

    // A Velkor.ini that cannot be written leaves neither a slot nor the new files.
    void createUndoesWhenVelkorIniCannotBeSaved()
    {
        writeIni({"OK1ABC"});
        TLogOptions logs;
        logs.Load(m_ini);
        QVERIFY(QFile::remove(m_ini));
        QVERIFY(QDir().mkpath(m_ini)); // a folder where the file should be
        auto options = newOperator("DL1AAA");
        QVERIFY_THROWS_EXCEPTION(EIniFileError, CreateLog(logs, m_data, *options));
        QCOMPARE(FreeUserSlot(logs), 1);
        QCOMPARE(dataFiles(), QStringList());
    }

    // A table that cannot be made leaves no settings file and no slot; the files of a log
    // that another program holds stay as they were, and the text says it is in use.
    void createUndoesWhenTheTableCannotBeMade_data()
    {
        QTest::addColumn<bool>("held");
        QTest::newRow("a folder in the table's place") << false;
        QTest::newRow("a log held by another program") << true;
    }
    void createUndoesWhenTheTableCannotBeMade()
    {
        QFETCH(bool, held);
        writeIni({});
        TLogOptions logs;
        logs.Load(m_ini);
        const QString table = m_data + "DL1AAA.db";
        LogConnection holder;
        if (held) {
            QVERIFY(QDir().mkpath(m_data));
            CreateLogTable(table);
            QVERIFY(WriteTestFile(m_data + "DL1AAA.uf", "[User]\nCall=DL1AAA\n"));
            holder.open(table);
            QVERIFY(QSqlQuery(holder.database()).exec("BEGIN EXCLUSIVE"));
        } else {
            QVERIFY(QDir().mkpath(table)); // a folder in the table's place
        }
        const QStringList files = dataFiles();
        auto options = newOperator("DL1AAA");
        try {
            CreateLog(logs, m_data, *options);
            QFAIL("a log was made where none can be");
        } catch (const EDatabaseError &e) {
            if (held)
                QCOMPARE(e.message(), MsgLogInUse(table));
        }
        QCOMPARE(FreeUserSlot(logs), 0);
        QCOMPARE(slotsOnDisk().first(), QString());
        QCOMPARE(dataFiles(), files);
        if (held)
            QCOMPARE(ReadTestFile(m_data + "DL1AAA.uf"), QByteArray("[User]\nCall=DL1AAA\n"));
    }

    void deleteRemovesFilesAndEverySlot()
    {
        writeIni({"OK1ABC", "OK2DEF", "OK1ABC", "ok1abc"});
        QVERIFY(QDir().mkpath(m_data));
        for (const QString &name :
             {"OK1ABC.db", "OK1ABC.db-journal", "OK1ABC.uf", "OK2DEF.db", "OK2DEF.uf"}) {
            QFile file(m_data + name);
            QVERIFY(file.open(QIODevice::WriteOnly));
        }
        TLogOptions logs;
        logs.Load(m_ini);
        const TDeleteLogResult result = DeleteLog(logs, m_data, "OK1ABC");
        QVERIFY(result.undeletedFiles.isEmpty());
        QVERIFY(result.saveError.isEmpty());
        QCOMPARE(dataFiles(), (QStringList{"OK2DEF.db", "OK2DEF.uf"}));
        // Both slots of the call sign are free; the lower-case one is another log.
        QCOMPARE(slotsOnDisk().mid(0, 4), (QStringList{"", "OK2DEF", "", "ok1abc"}));
    }

    void deleteLeavesAHeldLogWhole_data()
    {
        QTest::addColumn<bool>("otherCopy");
        QTest::newRow("open in another copy of the program") << true;
        QTest::newRow("held by another program") << false;
    }

    void deleteLeavesAHeldLogWhole()
    {
        QFETCH(bool, otherCopy);
        writeIni({"OK1ABC"});
        QVERIFY(QDir().mkpath(m_data));
        const QString table = m_data + "OK1ABC.db";
        CreateLogTable(table);
        QVERIFY(WriteTestFile(m_data + "OK1ABC.uf", "[User]\nCall=OK1ABC\n"));
        LogConnection holder;
        std::unique_ptr<QLockFile> copy;
        if (otherCopy) {
            copy = LockLog(m_data, "OK1ABC");
            QVERIFY(copy);
        } else {
            holder.open(table);
            QVERIFY(QSqlQuery(holder.database()).exec("BEGIN EXCLUSIVE"));
        }
        const QStringList files = dataFiles();
        TLogOptions logs;
        logs.Load(m_ini);
        try {
            DeleteLog(logs, m_data, "OK1ABC");
            QFAIL("a log in use was deleted");
        } catch (const EDatabaseError &e) {
            QCOMPARE(e.message(), MsgLogInUse(table));
        }
        QCOMPARE(dataFiles(), files);
        QCOMPARE(slotsOnDisk().first(), QString("OK1ABC"));
    }

    void deleteGoesOnWhenVelkorIniCannotBeSaved()
    {
        writeIni({"OK1ABC", "OK2DEF"});
        TLogOptions logs;
        logs.Load(m_ini);
        QVERIFY(QFile::remove(m_ini));
        QVERIFY(QDir().mkpath(m_ini));
        const TDeleteLogResult result = DeleteLog(logs, m_data, "OK1ABC");
        QVERIFY(!result.saveError.isEmpty());
        QCOMPARE(logs.GetUser(0), QString()); // cleared in memory all the same
        QCOMPARE(logs.GetUser(1), QString("OK2DEF"));
    }
};

QTEST_GUILESS_MAIN(TestLogRegistry)
#include "tst_logregistry.moc"
