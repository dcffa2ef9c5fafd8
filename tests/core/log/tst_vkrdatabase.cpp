#include "base/DatabaseError.h"
#include "base/MessageTexts.h"
#include "log/LogConnection.h"
#include "TempLog.h"
#include "TestFiles.h"
#include "log/VkrDatabase.h"

#include <QFile>
#include <QSqlQuery>
#include <QSqlRecord>
#include <QTemporaryDir>
#include <QTest>

#include <algorithm>
#include <numeric>

namespace
{

QStringList tableColumns(const QString &path)
{
    LogConnection c(path, LogConnection::OpenReadOnly);
    QSqlQuery q(c.database());
    q.exec("PRAGMA table_info(log)");
    QStringList names;
    while (q.next())
        names << q.value(1).toString();
    return names;
}

void makeSqliteFile(const QString &path, const QString &createSql)
{
    LogConnection c(path, LogConnection::OpenOrCreate);
    QSqlQuery q(c.database());
    QVERIFY2(q.exec(createSql), qPrintable(createSql));
}

QStringList indexNames(const QSqlDatabase &db)
{
    QSqlQuery q(db);
    q.exec("SELECT name FROM sqlite_master WHERE type='index' AND name LIKE 'log_%' ORDER BY name");
    QStringList names;
    while (q.next())
        names << q.value(0).toString();
    return names;
}

// The indexes of the log, as this version makes them.
const QStringList CurrentIndexes{"log_call", "log_call_slashes", "log_call_tail", "log_dat_utc", "log_dxcc_band"};

} // namespace

class TestVkrDatabase : public QObject
{
    Q_OBJECT
private slots:
    void fieldIndexByName()
    {
        QCOMPARE(LogFieldIndex("qslvia"), int(fiQSLVIA));
        QCOMPARE(LogFieldIndex("XYZ"), -1);
    }

    void defaultColumnOrder()
    {
        // Applying the stored positions one field after the other, as the grid does.
        QStringList columns = LogFieldNames.mid(1);
        for (int field = 1; field < LogFieldCount; ++field) {
            columns.move(columns.indexOf(LogFieldNames[field]), LogColumnPositions[field]);
        }
        QCOMPARE(columns.join(','), QString("DAT,UTC,CALL,FREQ,BAND,MODE,RSTO,RSTP,NAME,QTH,LOCO,LOCP,"
                                            "QRB,DXCC,IOTA,ITU,WAZ,QSLO,QSLP,QSLVIA,EQSLP,NOTE,PWR,AWARD"));
    }

    void screenWidthClass_data()
    {
        QTest::addColumn<int>("width");
        QTest::addColumn<int>("expected");
        QTest::newRow("800") << 800 << 0;
        QTest::newRow("1023") << 1023 << 0;
        QTest::newRow("1024") << 1024 << 1;
        QTest::newRow("1151") << 1151 << 1;
        QTest::newRow("1152") << 1152 << 2;
        QTest::newRow("1279") << 1279 << 2;
        QTest::newRow("1280") << 1280 << 3;
        QTest::newRow("1920") << 1920 << 3;
    }
    void screenWidthClass()
    {
        QFETCH(int, width);
        QFETCH(int, expected);
        QCOMPARE(ScreenWidthClass(width), expected);
    }

    void noteColumnBySceenWidth()
    {
        const int narrow = ScreenWidthClass(1024);
        QCOMPARE(LogColumnVisible[fiNOTE][narrow], false);
        QCOMPARE(LogColumnWidths[fiNOTE][narrow], 90);
        const int wide = ScreenWidthClass(1280);
        QCOMPARE(LogColumnVisible[fiNOTE][wide], true);
        QCOMPARE(LogColumnWidths[fiNOTE][wide], 220);
    }

    void queryHasFields_data()
    {
        QTest::addColumn<QStringList>("fields");
        QTest::addColumn<QStringList>("names");
        QTest::addColumn<bool>("expected");
        const QStringList names{"call", "date", "mode"};
        QTest::newRow("same") << QStringList{"call", "date", "mode"} << names << true;
        QTest::newRow("field case") << QStringList{"CALL", "Date", "mode"} << names << true;
        QTest::newRow("one more") << QStringList{"call", "date", "mode", "note"} << names << false;
        QTest::newRow("one fewer") << QStringList{"call", "date"} << names << false;
        QTest::newRow("other name") << QStringList{"call", "datum", "mode"} << names << false;
        QTest::newRow("other order") << QStringList{"date", "call", "mode"} << names << false;
        QTest::newRow("names not lower")
            << QStringList{"call", "date", "mode"} << QStringList{"CALL", "date", "mode"} << false;
        QTest::newRow("both empty") << QStringList{} << QStringList{} << true;
    }
    void queryHasFields()
    {
        QFETCH(QStringList, fields);
        QFETCH(QStringList, names);
        QFETCH(bool, expected);
        QCOMPARE(QueryHasFields(fields, names), expected);
    }

    void queryHasFieldsOfSqlQuery()
    {
        QTemporaryDir dir;
        const QString path = dir.filePath("t.db");
        makeSqliteFile(path, "CREATE TABLE t (Call TEXT, DATE TEXT)");
        LogConnection c(path);
        QSqlQuery q(c.database());
        QVERIFY(q.exec("SELECT * FROM t"));
        QVERIFY(QueryHasFields(q, {"call", "date"}));
        QVERIFY(!QueryHasFields(q, {"call"}));
        QVERIFY(!QueryHasFields(q, {"call", "date", "x"}));
    }

    void driverIsConfigured() { QVERIFY(IsBdeConfigured()); }

    void createdTableHasTheLogShape()
    {
        QTemporaryDir dir;
        const QString path = dir.filePath("OK1ABC.db");
        CreateLogTable(path);
        QCOMPARE(tableColumns(path), LogFieldNames);
        QVERIFY(IsReadableLogTableFile(path));
        QVERIFY(!QFile::exists(dir.filePath("OK1ABC.px")));

        LogConnection c(path);
        QSqlQuery q(c.database());
        QVERIFY(q.exec("PRAGMA user_version") && q.next());
        QCOMPARE(q.value(0).toInt(), LogSchemaVersion);
        QVERIFY(q.exec("PRAGMA journal_mode") && q.next());
        QCOMPARE(q.value(0).toString().toLower(), QString("delete"));
        QVERIFY(q.exec("PRAGMA synchronous") && q.next());
        QCOMPARE(q.value(0).toInt(), 2); // FULL
        QVERIFY(q.exec("SELECT name FROM sqlite_master WHERE type='index' ORDER BY name"));
        QStringList indexes;
        while (q.next())
            indexes << q.value(0).toString();
        QVERIFY(indexes.contains("log_dat_utc"));
        QVERIFY(indexes.contains("log_call"));
    }

    // The table itself is defined as it always was, so that the readers of every version
    // take a log of this one; only the indexes beside it change.
    void tableDefinitionStaysAsItWas()
    {
        TempLog log;
        QSqlQuery q(log.database());
        QVERIFY(q.exec("SELECT sql FROM sqlite_master WHERE type='table' AND name='log'") && q.next());
        QCOMPARE(q.value(0).toString(),
                 QString("CREATE TABLE log (ID INTEGER PRIMARY KEY AUTOINCREMENT, DAT TEXT, UTC TEXT, CALL TEXT, "
                         "FREQ REAL, BAND INTEGER, MODE INTEGER, RSTO TEXT, RSTP TEXT, NAME TEXT, QTH TEXT, "
                         "LOCO TEXT, LOCP TEXT, QSLO INTEGER, QSLP INTEGER, QSLVIA TEXT, EQSLP INTEGER, "
                         "NOTE TEXT, PWR REAL, QRB REAL, DXCC TEXT, IOTA TEXT, ITU INTEGER, WAZ INTEGER, "
                         "AWARD TEXT)"));
        QCOMPARE(indexNames(log.database()), CurrentIndexes);
    }

    // Opening a log of an earlier version adds what is missing and drops the index on
    // the call sign in NOCASE order that nothing reads any more; the rows stay.
    void earlierIndexesBecomeTheCurrentOnes_data()
    {
        QTest::addColumn<QStringList>("dropped");
        QTest::addColumn<bool>("withRetired");
        QTest::newRow("all of them, and the retired one") << CurrentIndexes << true;
        QTest::newRow("current ones, and the retired one") << QStringList{} << true;
        QTest::newRow("the look-ups of the call sign missing")
            << QStringList{"log_call_tail", "log_call_slashes"} << true;
        QTest::newRow("no index at all") << CurrentIndexes << false;
    }
    void earlierIndexesBecomeTheCurrentOnes()
    {
        QFETCH(QStringList, dropped);
        QFETCH(bool, withRetired);
        TempLog log;
        QVERIFY(log.exec("INSERT INTO log (CALL) VALUES ('OK1ABC'), ('ok1abc'), (NULL)"));
        for (const QString &name : dropped)
            QVERIFY(log.exec("DROP INDEX " + name));
        if (withRetired)
            QVERIFY(log.exec("CREATE INDEX log_call_nocase ON log (CALL COLLATE NOCASE)"));
        QSqlDatabase db = log.database();
        EnsureLogIndexes(db);
        QCOMPARE(indexNames(db), CurrentIndexes);
        QSqlQuery q(db);
        QVERIFY(q.exec("SELECT count(*) FROM log") && q.next());
        QCOMPARE(q.value(0).toInt(), 3);
        QVERIFY(q.exec("PRAGMA integrity_check") && q.next());
        QCOMPARE(q.value(0).toString(), QString("ok"));
    }

    // A log that cannot be written still opens with the index it has; the retired one
    // only costs its upkeep, which a read-only log never pays.
    void readOnlyLogKeepsTheRetiredIndex()
    {
        TempLog log;
        QVERIFY(log.exec("CREATE INDEX log_call_nocase ON log (CALL COLLATE NOCASE)"));
        log.connection().close();
        LogConnection readOnly(log.path(), LogConnection::OpenReadOnly);
        QSqlDatabase db = readOnly.database();
        EnsureLogIndexes(db);
        QStringList expected = CurrentIndexes;
        expected.insert(1, "log_call_nocase");
        QCOMPARE(indexNames(db), expected);
    }

    void recordWithEveryFieldButIdEmpty()
    {
        TempLog log;
        QVERIFY(log.exec("INSERT INTO log DEFAULT VALUES"));
        QVERIFY(log.exec("INSERT INTO log DEFAULT VALUES"));
        QSqlQuery q(log.database());
        QVERIFY(q.exec("SELECT * FROM log ORDER BY ID"));
        QVERIFY(q.next());
        QCOMPARE(q.value(0).toLongLong(), 1);
        for (int i = 1; i < LogFieldCount; ++i)
            QVERIFY(q.value(i).isNull());
        QVERIFY(q.next());
        QCOMPARE(q.value(0).toLongLong(), 2);
    }

    void existingLogIsNeverReplaced()
    {
        TempLog log;
        QVERIFY(log.exec("INSERT INTO log (CALL) VALUES ('OK2XYZ')"));
        CreateLogTable(log.path());
        QSqlQuery q(log.database());
        QVERIFY(q.exec("SELECT CALL FROM log") && q.next());
        QCOMPARE(q.value(0).toString(), QString("OK2XYZ"));
    }

    // An existing file that a new log would replace is refused and left as it is: a
    // foreign one as no log, one that another program holds as in use (it may well be a
    // good log, which an operator told "no log" might delete).
    void existingFileIsRefused_data()
    {
        QTest::addColumn<bool>("held");
        QTest::newRow("foreign file") << false;
        QTest::newRow("log held by another program") << true;
    }
    void existingFileIsRefused()
    {
        QFETCH(bool, held);
        QTemporaryDir dir;
        const QString path = dir.filePath("OK1ABC.db");
        LogConnection holder;
        if (held) {
            CreateLogTable(path);
            holder.open(path);
            QVERIFY(QSqlQuery(holder.database()).exec("BEGIN EXCLUSIVE"));
        } else {
            QVERIFY(WriteTestFile(
                path, "not a database at all, just some text that is long enough to be read as a header"));
        }
        const QByteArray content = ReadTestFile(path);
        try {
            CreateLogTable(path);
            QFAIL("an existing file was taken for a new log");
        } catch (const EDatabaseError &e) {
            QCOMPARE(e.kind(), held ? TDatabaseFailure::Busy : TDatabaseFailure::Other);
            QCOMPARE(e.message(), held ? MsgLogInUse(path) : QString("Soubor \"%1\" již existuje a není deníkem!").arg(path));
        }
        QCOMPARE(ReadTestFile(path), content);
    }

    void defineReplacesATemporaryTable()
    {
        TempLog staging("_Temp");
        QVERIFY(staging.exec("INSERT INTO log (CALL) VALUES ('OK2XYZ')"));
        staging.connection().close();
        DefineLogTable(staging.path());
        LogConnection c(staging.path());
        QSqlQuery q(c.database());
        QVERIFY(q.exec("SELECT count(*) FROM log") && q.next());
        QCOMPARE(q.value(0).toInt(), 0);
        QCOMPARE(tableColumns(staging.path()), LogFieldNames);
    }

    void isLogTableFile_data()
    {
        QTest::addColumn<QString>("createSql");
        QTest::addColumn<bool>("expected");
        QStringList columns;
        for (int i = 1; i < LogFieldCount; ++i)
            columns << LogFieldNames[i] + " TEXT";
        const QString rest = columns.join(',');
        QTest::newRow("log shape") << "CREATE TABLE log (ID INTEGER PRIMARY KEY, " + rest + ")" << true;
        QTest::newRow("other table name")
            << "CREATE TABLE qso (ID INTEGER PRIMARY KEY, " + rest + ")" << false;
        QTest::newRow("field missing")
            << "CREATE TABLE log (ID INTEGER PRIMARY KEY, " + columns.mid(0, 23).join(',') + ")" << false;
        QTest::newRow("field more") << "CREATE TABLE log (ID INTEGER PRIMARY KEY, " + rest + ", X TEXT)"
                                    << false;
        QTest::newRow("no key") << "CREATE TABLE log (ID INTEGER, " + rest + ")" << false;
        QStringList swapped = columns;
        swapped.swapItemsAt(0, 1);
        QTest::newRow("other order") << "CREATE TABLE log (ID INTEGER PRIMARY KEY, " + swapped.join(',') + ")"
                                     << false;
    }
    void isLogTableFile()
    {
        QFETCH(QString, createSql);
        QFETCH(bool, expected);
        QTemporaryDir dir;
        const QString path = dir.filePath("x.db");
        makeSqliteFile(path, createSql);
        QCOMPARE(IsReadableLogTableFile(path), expected);
    }

    void isLogTableFileOfNoDatabase()
    {
        QTemporaryDir dir;
        QVERIFY(!IsReadableLogTableFile(dir.filePath("missing.db")));
        QVERIFY(!IsReadableLogTableFile(dir.path()));
        const QString text = dir.filePath("text.db");
        QVERIFY(WriteTestFile(text, QByteArray(4096, 'x')));
        QVERIFY(!IsReadableLogTableFile(text));
        QVERIFY(!QFile::exists(dir.filePath("missing.db")));
    }

    void openingAMissingLogFails()
    {
        QTemporaryDir dir;
        LogConnection c;
        QVERIFY_THROWS_EXCEPTION(EDatabaseError, c.open(dir.filePath("none.db")));
        QVERIFY(!c.isOpen());
        QVERIFY(!QFile::exists(dir.filePath("none.db")));
    }
};

QTEST_GUILESS_MAIN(TestVkrDatabase)
#include "tst_vkrdatabase.moc"
