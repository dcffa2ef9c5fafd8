// Table files whose writing was cut short: a copy of a file and its rollback journal
// taken in the middle of a transaction is what a kill leaves on disk. Every opener of an
// existing table file (logs, reference tables, the callbook) plays the journal back and
// finds the file as it was before the transaction; a file that is damaged after that is
// refused.

#include "log/CallBookImport.h"
#include "base/DatabaseError.h"
#include "log/DmLog.h"
#include "base/FileUtils.h"
#include "base/HotJournal.h"
#include "base/MessageTexts.h"
#include "log/LogConnection.h"
#include "log/QsoLookup.h"
#include "log/TableQuery.h"
#include "TestFiles.h"
#include "log/VkrDatabase.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSqlError>
#include <QSqlQuery>
#include <QTemporaryDir>
#include <QTest>
#include <QUuid>

#include <functional>

namespace
{

constexpr int Rows = 3000;

// Runs statements on a file through a connection of its own; the callback sees it open.
bool withDatabase(const QString &path, const std::function<bool(QSqlDatabase &)> &work)
{
    const QString name = QUuid::createUuid().toString();
    bool ok = false;
    {
        QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), name);
        db.setDatabaseName(path);
        ok = db.open() && work(db);
        db.close();
    }
    QSqlDatabase::removeDatabase(name);
    return ok;
}

bool exec(QSqlDatabase &db, const QString &sql)
{
    QSqlQuery q(db);
    if (q.exec(sql))
        return true;
    qWarning("%s: %s", qPrintable(sql), qPrintable(q.lastError().text()));
    return false;
}

// Fills a log file with Rows QSOs whose NOTE is "original".
bool fillLog(const QString &path)
{
    return withDatabase(path, [](QSqlDatabase &db) {
        return exec(db, QStringLiteral("INSERT INTO log (DAT, UTC, CALL, NOTE) "
                                       "WITH RECURSIVE n(i) AS (SELECT 1 UNION ALL SELECT i + 1 FROM n "
                                       "WHERE i < %1) SELECT '2024-01-01', '12:00:00', 'OK' || i, "
                                       "'original' FROM n")
                                .arg(Rows));
    });
}

// Copies the file and its journal to `target` while `change` runs in an open
// transaction whose pages no longer fit the (tiny) page cache, so that the file itself
// already holds changed pages: the state a kill leaves.
bool makeHotCopy(const QString &source, const QString &target, const QString &change)
{
    return withDatabase(source, [&](QSqlDatabase &db) {
        if (!exec(db, QStringLiteral("PRAGMA journal_mode = DELETE")) ||
            !exec(db, QStringLiteral("PRAGMA cache_size = 5")) || !db.transaction() || !exec(db, change))
            return false;
        const bool copied = QFileInfo(JournalFileName(source)).size() > 0 && QFile::copy(source, target) &&
                            QFile::copy(JournalFileName(source), JournalFileName(target));
        db.rollback();
        return copied;
    });
}

// The notes of the log as a count per value.
QMap<QString, int> notes(const QString &connection)
{
    QMap<QString, int> counts;
    QSqlQuery q(QSqlDatabase::database(connection));
    q.exec(QStringLiteral("SELECT NOTE, count(*) FROM log GROUP BY NOTE"));
    while (q.next())
        counts[q.value(0).toString()] = q.value(1).toInt();
    return counts;
}

// Overwrites the middle of the page that holds the root of an index on CALL, which a
// change of NOTE does not touch: the journal cannot mend it. The page is looked up in
// `layout`, a file of the same layout, as opening the damaged file would play its
// journal back.
bool damageIndexPage(const QString &path, const QString &layout)
{
    int page = 0, pageSize = 0;
    withDatabase(layout, [&](QSqlDatabase &db) {
        QSqlQuery q(db);
        if (q.exec(QStringLiteral("SELECT rootpage FROM sqlite_master WHERE name = 'log_call'")) && q.next())
            page = q.value(0).toInt();
        if (q.exec(QStringLiteral("PRAGMA page_size")) && q.next())
            pageSize = q.value(0).toInt();
        return true;
    });
    QFile file(path);
    if (page < 2 || pageSize == 0 || !file.open(QIODevice::ReadWrite))
        return false;
    file.seek(qint64(page - 1) * pageSize + 16);
    return file.write(QByteArray(pageSize - 32, '\xA5')) == pageSize - 32;
}

} // namespace

class TestHotJournal : public QObject
{
    Q_OBJECT

    QTemporaryDir m_dir;
    QString m_source;

    QString path(const QString &name) const { return m_dir.filePath(name); }

    // A hot copy of the filled log, under a name of its own.
    QString hotLog(const QString &name)
    {
        const QString target = path(name);
        if (!makeHotCopy(m_source, target, QStringLiteral("UPDATE log SET NOTE = 'changed'")))
            qFatal("no hot copy of the log");
        return target;
    }

private slots:
    void initTestCase()
    {
        QVERIFY(m_dir.isValid());
        m_source = path("Source.db");
        CreateLogTable(m_source);
        QVERIFY(fillLog(m_source));
    }

    void copyIsHot()
    {
        const QString log = hotLog("Hot.db");
        // What a read-only opening meets without the journal played back.
        const QString name = QStringLiteral("raw");
        QString error;
        {
            QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), name);
            db.setDatabaseName(log);
            db.setConnectOptions(QStringLiteral("QSQLITE_OPEN_READONLY"));
            QVERIFY(db.open());
            QSqlQuery q(db);
            if (!q.exec(QStringLiteral("SELECT count(*) FROM log")))
                error = q.lastError().text();
            db.close();
        }
        QSqlDatabase::removeDatabase(name);
        QVERIFY2(!error.isEmpty(), "a read-only connection read a file with a hot journal");
    }

    void recoveryStates()
    {
        QCOMPARE(RollBackHotJournal(m_source), TJournalRecovery::NoJournal);
        QCOMPARE(RollBackHotJournal(path("Missing.db")), TJournalRecovery::NoJournal);
        // A journal that SQLite truncated instead of deleting holds nothing to play back.
        const QString empty = path("EmptyJournal.db");
        QVERIFY(QFile::copy(m_source, empty));
        QVERIFY(WriteTestFile(JournalFileName(empty), QByteArray()));
        QCOMPARE(RollBackHotJournal(empty), TJournalRecovery::NoJournal);

        const QString log = hotLog("States.db");
        QCOMPARE(RollBackHotJournal(log), TJournalRecovery::RolledBack);
        QVERIFY(!QFileInfo::exists(JournalFileName(log)));
        QCOMPARE(RollBackHotJournal(log), TJournalRecovery::NoJournal);
    }

    void foreignFileWithJournalFails()
    {
        const QString text = path("Text.db");
        QVERIFY(WriteTestFile(text, QByteArray(4096, 'x')));
        QVERIFY(QFile::copy(JournalFileName(hotLog("ForJournal.db")), JournalFileName(text)));
        QString error;
        QCOMPARE(RollBackHotJournal(text, &error), TJournalRecovery::Failed);
        QVERIFY(!error.isEmpty());
        QVERIFY(!IsReadableLogTableFile(text));
    }

    void damagedAfterRollBackIsRefused()
    {
        const QString log = hotLog("Damaged.db");
        QVERIFY(damageIndexPage(log, m_source));
        QString error;
        QCOMPARE(RollBackHotJournal(log, &error), TJournalRecovery::Failed);
        QVERIFY2(error.contains(QStringLiteral("integrity")) || error.contains(QStringLiteral("malformed")),
                 qPrintable(error));
    }

    void everyLogOpeningRollsBack_data()
    {
        QTest::addColumn<int>("mode");
        QTest::newRow("existing") << int(LogConnection::OpenExisting);
        QTest::newRow("read-only") << int(LogConnection::OpenReadOnly);
        QTest::newRow("or create") << int(LogConnection::OpenOrCreate);
    }
    void everyLogOpeningRollsBack()
    {
        QFETCH(int, mode);
        const QString log = hotLog(QStringLiteral("Mode%1.db").arg(mode));
        LogConnection connection(log, LogConnection::OpenMode(mode));
        QCOMPARE(notes(connection.connectionName()), (QMap<QString, int>{{QStringLiteral("original"), Rows}}));
    }

    void logWithJournalOpensInTheProgram()
    {
        QTemporaryDir app;
        QVERIFY(QDir(app.path()).mkdir("Data"));
        QVERIFY(makeHotCopy(m_source, app.filePath("Data/OK1HOT.db"),
                            QStringLiteral("DELETE FROM log WHERE ID % 2 = 0")));
        TdmLog dm(app.path());
        dm.OpenDatabase(QStringLiteral("OK1HOT"));
        QCOMPARE(notes(TdmLog::DatabaseName), (QMap<QString, int>{{QStringLiteral("original"), Rows}}));
        QVERIFY(!QFileInfo::exists(JournalFileName(app.filePath("Data/OK1HOT.db"))));
    }

    // A journal that cannot be played back because the operator made the data folder
    // read-only: the log is not opened, the text says why, nothing is touched; with the
    // mode given back it opens whole.
    void logWithJournalInAReadOnlyFolder()
    {
        QTemporaryDir app;
        QVERIFY(QDir(app.path()).mkdir("Data"));
        const QString log = app.filePath("Data/OK1HOT.db");
        QVERIFY(makeHotCopy(m_source, log, QStringLiteral("DELETE FROM log WHERE ID % 2 = 0")));
        QVERIFY(QFile::setPermissions(app.filePath("Data"), QFile::ReadOwner | QFile::ExeOwner));
        const QByteArray journal = ReadTestFile(JournalFileName(log));
        TdmLog dm(app.path());
        QString text;
        try {
            dm.OpenDatabase(QStringLiteral("OK1HOT"));
        } catch (const EDatabaseError &e) {
            text = e.message();
        }
        QCOMPARE(text, MsgLogReadOnlyUnfinished(log));
        QCOMPARE(ReadTestFile(JournalFileName(log)), journal);
        QVERIFY(QFile::setPermissions(app.filePath("Data"), OwnerOnlyFolder));
        dm.OpenDatabase(QStringLiteral("OK1HOT"));
        QCOMPARE(notes(TdmLog::DatabaseName), (QMap<QString, int>{{QStringLiteral("original"), Rows}}));
    }

    void damagedLogIsRefusedByTheProgram()
    {
        QTemporaryDir app;
        QVERIFY(QDir(app.path()).mkdir("Data"));
        const QString log = app.filePath("Data/OK1BAD.db");
        QVERIFY(makeHotCopy(m_source, log, QStringLiteral("UPDATE log SET NOTE = 'changed'")));
        QVERIFY(damageIndexPage(log, m_source));
        TdmLog dm(app.path());
        try {
            dm.OpenDatabase(QStringLiteral("OK1BAD"));
            QFAIL("a damaged log was opened");
        } catch (const EDatabaseError &e) {
            QVERIFY2(e.message().contains(QStringLiteral("není deníkem programu Velkor nebo je poškozen")),
                     qPrintable(e.message()));
        }
        QVERIFY(!dm.DatabaseOpen());
    }

    void referenceTableRollsBack()
    {
        const QString table = path("iota.db");
        QVERIFY(withDatabase(table, [](QSqlDatabase &db) {
            return exec(db, QStringLiteral("CREATE TABLE iota (IOTA TEXT, PREFIX TEXT, NAZEV TEXT)")) &&
                   exec(db, QStringLiteral("INSERT INTO iota WITH RECURSIVE n(i) AS (SELECT 1 UNION ALL "
                                           "SELECT i + 1 FROM n WHERE i < %1) SELECT printf('EU-%03d', i), "
                                           "'OK', 'ostrov' FROM n")
                                    .arg(Rows));
        }));
        const QString hot = path("iotaHot.db");
        QVERIFY(makeHotCopy(table, hot, QStringLiteral("DELETE FROM iota WHERE rowid > 10")));
        TTableQuery query;
        query.SetTable(hot, QStringLiteral("iota"));
        query.SetOrderBy(QStringLiteral("IOTA"));
        query.Open();
        QCOMPARE(query.RecordCount(), Rows);
    }

    void callBookRollsBack()
    {
        QTemporaryDir app;
        const QString book = path("CallBookSource.db");
        QVERIFY(withDatabase(book, [](QSqlDatabase &db) {
            return exec(db, QStringLiteral("CREATE TABLE CallBook (%1)").arg(CallBookFields.join(" TEXT, ") + " TEXT")) &&
                   exec(db, QStringLiteral("INSERT INTO CallBook (ZNACKA, JMENO) WITH RECURSIVE n(i) AS (SELECT 1 "
                                           "UNION ALL SELECT i + 1 FROM n WHERE i < %1) SELECT 'OK' || i || 'CB', "
                                           "'Jan' FROM n")
                                    .arg(Rows)) &&
                   exec(db, QStringLiteral("CREATE INDEX callbook_call ON CallBook (ZNACKA)"));
        }));
        QVERIFY(makeHotCopy(book, app.filePath(CallBookFileName), QStringLiteral("UPDATE CallBook SET JMENO = 'Petr'")));
        TCallBookLookup lookup(app.path());
        QVERIFY(lookup.IsOpen());
        TCallBookEntry entry;
        QVERIFY(lookup.Find(QStringLiteral("OK1500CB"), entry));
        QCOMPARE(entry.Name, QStringLiteral("Jan"));
    }
};

QTEST_GUILESS_MAIN(TestHotJournal)
#include "tst_hotjournal.moc"
