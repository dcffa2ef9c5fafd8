#include "base/DatabaseError.h"
#include "log/LogQuery.h"
#include "log/LogRowView.h"
#include "log/LogTable.h"
#include "TempLog.h"
#include "log/VkrDatabase.h"
#include "log/LogConnection.h"
#include "base/SqliteHandle.h"

#include <QFile>
#include <QSignalSpy>
#include <QSqlError>
#include <QSqlQuery>
#include <QTest>

#include <memory>

#include <sqlite3.h>

namespace
{

TLogRecord qso(const QString &call, const QDate &date, const QTime &time, const QString &name = {})
{
    TLogRecord r;
    r[fiCALL] = call;
    r[fiDAT] = date;
    r[fiUTC] = time;
    r[fiNAME] = name;
    return r;
}

// Equal, of the same type, and null (or a null text) alike.
bool sameValue(const QVariant &a, const QVariant &b)
{
    return a == b && a.metaType() == b.metaType() && a.isNull() == b.isNull()
           && (a.metaType().id() != QMetaType::QString || a.toString().isNull() == b.toString().isNull());
}

} // namespace

class TestLogQuery : public QObject
{
    Q_OBJECT

    std::unique_ptr<TempLog> m_log;
    QList<qint64> m_ids; // IDs in insertion order

    QStringList calls(LogQuery &q)
    {
        QStringList result;
        for (int row = 0; row < q.RecordCount(); ++row)
            result << q.ValueAt(row, fiCALL).toString();
        return result;
    }

    void openQuery(LogQuery &q, const QStringList &order = {})
    {
        q.SetConnectionName(m_log->connectionName());
        q.SetOrderBy(order);
        q.Open();
    }

private slots:
    void init()
    {
        m_log = std::make_unique<TempLog>();
        LogTable table(m_log->connectionName());
        // Inserted out of chronological order; two QSOs share date and time.
        m_ids = {
            table.Insert(qso("OK2B", QDate(2007, 3, 5), QTime(7, 4, 9), "Petr")),
            table.Insert(qso("DL1A", QDate(2006, 1, 1), QTime(12, 0, 0), "Hans")),
            table.Insert(qso("OK1C", QDate(2007, 3, 5), QTime(6, 0, 0), "O'Brien")),
            table.Insert(qso("G3X", QDate(2007, 3, 5), QTime(7, 4, 9), "x\" OR 1=1 --")),
            table.Insert(qso("OK2B", QDate(2005, 6, 7), QTime(23, 59, 59), "Petr")),
        };
    }
    void cleanup() { m_log.reset(); }

    void emptyLog()
    {
        LogTable(m_log->connectionName()).Delete(m_ids);
        LogQuery q;
        openQuery(q);
        QVERIFY(q.Active());
        QVERIFY(q.IsEmpty());
        QCOMPARE(q.RecordCount(), 0);
        QCOMPARE(q.RecNo(), 0);
        QVERIFY(q.Bof() && q.Eof());
        q.First();
        q.Next();
        q.Last();
        QCOMPARE(q.MoveBy(5), 0);
        QCOMPARE(q.RecNo(), 0);
        QCOMPARE(q.Bookmark(), TBookmark(0));
        QVERIFY(q.Value(fiCALL).isNull());
        QCOMPARE(q.DisplayText(fiDAT), QString());
        QVERIFY(!q.Locate(fiCALL, "OK2B"));
    }

    void orderByDateAndTime()
    {
        LogQuery q;
        openQuery(q, LogQuery::SortOrderFor(fiDAT));
        // Equal date and time keep the order of their IDs.
        QCOMPARE(calls(q), (QStringList{"OK2B", "DL1A", "OK1C", "OK2B", "G3X"}));
        QCOMPARE(q.IdAt(3), m_ids[0]);
        QCOMPARE(q.IdAt(4), m_ids[3]);
        QCOMPARE(q.RecNo(), 1);
    }

    void orderByCall()
    {
        LogQuery q;
        openQuery(q, LogQuery::SortOrderFor(fiCALL));
        QCOMPARE(calls(q), (QStringList{"DL1A", "G3X", "OK1C", "OK2B", "OK2B"}));
        // The two OK2B QSOs by date: 2005 before 2007.
        QCOMPARE(q.ValueAt(3, fiDAT).toDate(), QDate(2005, 6, 7));
        QCOMPARE(q.ValueAt(4, fiDAT).toDate(), QDate(2007, 3, 5));
    }

    void sortOrderFor_data()
    {
        QTest::addColumn<int>("field");
        QTest::addColumn<QString>("expected");
        QTest::newRow("DAT") << int(fiDAT) << "DAT,UTC";
        QTest::newRow("UTC") << int(fiUTC) << "DAT,UTC";
        QTest::newRow("CALL") << int(fiCALL) << "CALL,DAT,UTC";
        QTest::newRow("QSLO") << int(fiQSLO) << "QSLO,DAT,UTC";
        QTest::newRow("AWARD") << int(fiAWARD) << "AWARD,DAT,UTC";
    }
    void sortOrderFor()
    {
        QFETCH(int, field);
        QFETCH(QString, expected);
        QCOMPARE(LogQuery::SortOrderFor(field).join(','), expected);
    }

    void descendingOrder()
    {
        LogQuery q;
        openQuery(q, {"DAT DESC", "UTC desc"});
        QCOMPARE(q.ValueAt(0, fiCALL).toString(), QString("OK2B"));
        QCOMPARE(q.ValueAt(4, fiDAT).toDate(), QDate(2005, 6, 7));
    }

    void unknownOrderIsRefused_data()
    {
        QTest::addColumn<QStringList>("order");
        QTest::newRow("unknown field") << QStringList{"XYZ"};
        QTest::newRow("injection") << QStringList{"CALL; DROP TABLE log"};
        QTest::newRow("bad direction") << QStringList{"CALL UP"};
    }
    void unknownOrderIsRefused()
    {
        QFETCH(QStringList, order);
        LogQuery q;
        q.SetConnectionName(m_log->connectionName());
        q.SetOrderBy(order);
        QVERIFY_THROWS_EXCEPTION(EDatabaseError, q.Open());
        QVERIFY(!q.Active());
        QCOMPARE(LogTable(m_log->connectionName()).RecordCount(), 5);
    }

    void navigation()
    {
        LogQuery q;
        openQuery(q);
        QVERIFY(q.Bof() && !q.Eof());
        q.Next();
        QCOMPARE(q.RecNo(), 2);
        QVERIFY(!q.Bof() && !q.Eof());
        q.Last();
        QCOMPARE(q.RecNo(), 5);
        QVERIFY(q.Eof());
        q.Next();
        QCOMPARE(q.RecNo(), 5);
        q.Prior();
        QCOMPARE(q.RecNo(), 4);
        QVERIFY(!q.Eof());
        QCOMPARE(q.MoveBy(-10), -3);
        QCOMPARE(q.RecNo(), 1);
        QVERIFY(q.Bof());
        QCOMPARE(q.MoveBy(2), 2);
        QCOMPARE(q.MoveBy(10), 2);
        QVERIFY(q.Eof());
        QVERIFY(q.SetRecNo(2));
        QVERIFY(!q.SetRecNo(0));
        QVERIFY(!q.SetRecNo(6));
        QCOMPARE(q.RecNo(), 2);
    }

    void loopUntilEofVisitsEveryRowOnce()
    {
        LogQuery q;
        openQuery(q);
        QList<qint64> seen;
        q.First();
        while (!q.Eof()) {
            seen << q.Bookmark();
            q.Next();
        }
        QCOMPARE(seen.size(), 5);
        QCOMPARE(QSet<qint64>(seen.begin(), seen.end()).size(), 5);
    }

    void recNoAfterReopenAndLocate()
    {
        LogQuery q;
        openQuery(q);
        q.SetRecNo(4);
        q.Open();
        QCOMPARE(q.RecNo(), 1);
        QVERIFY(q.Locate(fiCALL, "G3X"));
        QCOMPARE(q.RecNo(), 5);
        QCOMPARE(q.Bookmark(), m_ids[3]);
    }

    void locate_data()
    {
        QTest::addColumn<QList<int>>("fields");
        QTest::addColumn<QVariantList>("values");
        QTest::addColumn<int>("options");
        QTest::addColumn<int>("expectedRecNo"); // 0: not found
        const int none = 0;
        const int nocase = LogQuery::loCaseInsensitive;
        const int partial = LogQuery::loPartialKey;
        QTest::newRow("first of two") << QList<int>{fiCALL} << QVariantList{"OK2B"} << none << 1;
        QTest::newRow("case differs") << QList<int>{fiCALL} << QVariantList{"ok1c"} << none << 0;
        QTest::newRow("case ignored") << QList<int>{fiCALL} << QVariantList{"ok1c"} << nocase << 3;
        QTest::newRow("prefix without partial") << QList<int>{fiCALL} << QVariantList{"OK1"} << none << 0;
        QTest::newRow("partial") << QList<int>{fiCALL} << QVariantList{"OK1"} << partial << 3;
        QTest::newRow("partial no case")
            << QList<int>{fiCALL} << QVariantList{"dl"} << (partial | nocase) << 2;
        QTest::newRow("two fields") << QList<int>{fiCALL, fiDAT} << QVariantList{"OK2B", QDate(2007, 3, 5)}
                                    << none << 4;
        QTest::newRow("date as text") << QList<int>{fiDAT} << QVariantList{"1.1.2006"} << none << 2;
        QTest::newRow("quote in value") << QList<int>{fiNAME} << QVariantList{"O'Brien"} << none << 3;
        QTest::newRow("injection in value")
            << QList<int>{fiNAME} << QVariantList{"x' OR '1'='1"} << none << 0;
        QTest::newRow("empty value") << QList<int>{fiQTH} << QVariantList{QString()} << none << 1;
        QTest::newRow("by ID") << QList<int>{fiID} << QVariantList{4} << none << 5;
        QTest::newRow("missing") << QList<int>{fiCALL} << QVariantList{"W1AW"} << none << 0;
    }
    void locate()
    {
        QFETCH(QList<int>, fields);
        QFETCH(QVariantList, values);
        QFETCH(int, options);
        QFETCH(int, expectedRecNo);
        LogQuery q;
        openQuery(q);
        q.Last();
        QSignalSpy scrolls(&q, &LogQuery::afterScroll);
        const bool found = q.Locate(fields, values, LogQuery::TLocateOptions(options));
        QCOMPARE(found, expectedRecNo > 0);
        QCOMPARE(q.RecNo(), found ? expectedRecNo : 5);
        QCOMPARE(scrolls.count(), found ? 1 : 0);
    }

    void locateHonoursTheCondition()
    {
        LogQuery q;
        q.SetWhere("DAT >= ?", {"2007-01-01"});
        openQuery(q);
        QCOMPARE(q.RecordCount(), 3);
        QVERIFY(q.Locate(fiCALL, "OK2B"));
        QCOMPARE(q.ValueAt(q.CurrentRow(), fiDAT).toDate(), QDate(2007, 3, 5));
        QVERIFY(!q.Locate(fiCALL, "DL1A"));
    }

    void containsAnswersWithoutMoving_data()
    {
        QTest::addColumn<QString>("where");
        QTest::addColumn<QList<int>>("fields");
        QTest::addColumn<QVariantList>("values");
        QTest::addColumn<bool>("expected");
        QTest::newRow("two fields") << QString() << QList<int>{fiCALL, fiDAT}
                                    << QVariantList{"OK2B", QDate(2007, 3, 5)} << true;
        QTest::newRow("case differs") << QString() << QList<int>{fiCALL} << QVariantList{"ok1c"} << false;
        QTest::newRow("empty value is NULL") << QString() << QList<int>{fiQTH} << QVariantList{QString()} << true;
        QTest::newRow("value in no row") << QString() << QList<int>{fiNAME} << QVariantList{"x' OR '1'='1"} << false;
        QTest::newRow("left out by the condition")
            << QString("DAT >= ?") << QList<int>{fiCALL} << QVariantList{"DL1A"} << false;
        QTest::newRow("kept by the condition")
            << QString("DAT >= ?") << QList<int>{fiCALL, fiUTC} << QVariantList{"OK2B", QTime(7, 4, 9)} << true;
    }
    void containsAnswersWithoutMoving()
    {
        QFETCH(QString, where);
        QFETCH(QList<int>, fields);
        QFETCH(QVariantList, values);
        QFETCH(bool, expected);
        LogQuery q;
        q.SetWhere(where, where.isEmpty() ? QVariantList{} : QVariantList{"2007-01-01"});
        openQuery(q);
        q.Last();
        QSignalSpy scrolls(&q, &LogQuery::afterScroll);
        QCOMPARE(q.Contains(fields, values), expected);
        QCOMPARE(q.RecNo(), q.RecordCount());
        QCOMPARE(scrolls.count(), 0);
    }

    void containsSeesOnlyTheRowsRead()
    {
        LogQuery q;
        openQuery(q);
        // Written after the query was opened: in the log, not yet in the result.
        const qint64 id = LogTable(m_log->connectionName()).Insert(qso("VP8A", QDate(2008, 1, 1), QTime(1, 0)));
        QVERIFY(!q.Contains({fiCALL}, {"VP8A"}));
        q.RefreshRows({id});
        QVERIFY(q.Contains({fiCALL}, {"VP8A"}));
    }

    void bookmarksSurviveReorder()
    {
        LogQuery q;
        openQuery(q);
        q.SetRecNo(3);
        const TBookmark mark = q.Bookmark();
        QCOMPARE(mark, m_ids[2]);
        QCOMPARE(q.Value(fiCALL).toString(), QString("OK1C"));
        q.SetOrderBy(LogQuery::SortOrderFor(fiCALL));
        q.Open();
        QVERIFY(q.BookmarkValid(mark));
        QVERIFY(q.GotoBookmark(mark));
        QCOMPARE(q.Value(fiCALL).toString(), QString("OK1C"));
        QCOMPARE(q.RecNo(), 3);

        LogTable(m_log->connectionName()).Delete(mark);
        q.Open();
        QVERIFY(!q.BookmarkValid(mark));
        q.Last();
        QVERIFY(!q.GotoBookmark(mark));
        QCOMPARE(q.RecNo(), 4);
        QVERIFY(!q.GotoBookmark(0));
    }

    void whereWithBoundValues_data()
    {
        QTest::addColumn<QString>("condition");
        QTest::addColumn<QVariantList>("values");
        QTest::addColumn<QStringList>("expected");
        QTest::newRow("apostrophe") << "NAME = ?" << QVariantList{"O'Brien"} << QStringList{"OK1C"};
        QTest::newRow("double quote") << "NAME = ?" << QVariantList{"x\" OR 1=1 --"} << QStringList{"G3X"};
        QTest::newRow("injection") << "NAME = ?" << QVariantList{"' OR 1=1 --"} << QStringList{};
        QTest::newRow("like") << "CALL LIKE ?" << QVariantList{"OK%"} << QStringList{"OK2B", "OK1C", "OK2B"};
        QTest::newRow("two values") << "CALL = ? AND DAT < ?" << QVariantList{"OK2B", "2007-01-01"}
                                    << QStringList{"OK2B"};
        QTest::newRow("or in parentheses")
            << "CALL = ? OR CALL = ?" << QVariantList{"G3X", "DL1A"} << QStringList{"DL1A", "G3X"};
    }
    void whereWithBoundValues()
    {
        QFETCH(QString, condition);
        QFETCH(QVariantList, values);
        QFETCH(QStringList, expected);
        LogQuery q;
        q.SetWhere(condition, values);
        openQuery(q);
        QCOMPARE(calls(q), expected);
        QCOMPARE(LogTable(m_log->connectionName()).RecordCount(), 5);
    }

    void badConditionFailsAndLeavesTheQueryClosed()
    {
        LogQuery q;
        q.SetWhere("NOSUCHFIELD = ?", {1});
        q.SetConnectionName(m_log->connectionName());
        QVERIFY_THROWS_EXCEPTION(EDatabaseError, q.Open());
        QVERIFY(!q.Active());
        QCOMPARE(q.RecordCount(), 0);
    }

    // Reading a large log's order leaves the connection's page cache as large as it was, yet
    // holding no more than SQLite's usual cache of the pages read: the scan does not fill
    // the connection's large cache (fresh memory) with index pages read once. Also after a
    // failed opening.
    void readingTheOrderLeavesThePageCacheAsItWas_data()
    {
        QTest::addColumn<QStringList>("order");
        QTest::addColumn<QString>("where");
        QTest::addColumn<bool>("fails");
        QTest::newRow("date and time") << QStringList() << QString() << false;
        QTest::newRow("call sign, sorted here") << QStringList{"CALL", "DAT", "UTC"} << QString() << false;
        QTest::newRow("under a condition") << QStringList() << "MODE = ?" << false;
        QTest::newRow("a condition that fails") << QStringList() << "NOSUCHFIELD = ?" << true;
    }
    void readingTheOrderLeavesThePageCacheAsItWas()
    {
        QFETCH(QStringList, order);
        QFETCH(QString, where);
        QFETCH(bool, fails);
        // Some 150000 QSOs: an index of dates and times far larger than SQLite's usual
        // cache of about 2 MB.
        QVERIFY(m_log->exec("WITH RECURSIVE n(x) AS (SELECT 1 UNION ALL SELECT x + 1 FROM n WHERE x < 150000) "
                            "INSERT INTO log (DAT, UTC, CALL, MODE) SELECT date('2000-01-01', '+' || (x % 9000) || "
                            "' days'), time(x % 86400, 'unixepoch'), 'OK' || (x % 977), x % 5 FROM n"));
        // A connection of its own, with a fresh cache.
        LogConnection connection;
        connection.open(m_log->path(), LogConnection::OpenExisting);
        QSqlDatabase db = connection.database();
        const auto pragma = [&db] {
            QSqlQuery q(db);
            return q.exec("PRAGMA cache_size") && q.next() ? q.value(0).toLongLong() : 0;
        };
        QVERIFY(db.exec("PRAGMA cache_size = -16384").lastError().type() == QSqlError::NoError);
        LogQuery q;
        q.SetConnectionName(connection.connectionName());
        q.SetOrderBy(order);
        q.SetWhere(where, where.isEmpty() ? QVariantList() : QVariantList{3});
        if (fails) {
            QVERIFY_THROWS_EXCEPTION(EDatabaseError, q.Open());
        } else {
            q.Open();
            QCOMPARE(q.RecordCount(), where.isEmpty() ? 150005 : 30000);
        }
        QCOMPARE(pragma(), -16384);
        int used = 0, highest = 0;
        QCOMPARE(sqlite3_db_status(SqliteHandle(db),
                                   SQLITE_DBSTATUS_CACHE_USED, &used, &highest, 0),
                 SQLITE_OK);
        QVERIFY2(used < 3 * 1024 * 1024, qPrintable(QString::number(used)));
    }

    void disableEnableCounting()
    {
        LogQuery q;
        openQuery(q);
        QSignalSpy scrolls(&q, &LogQuery::afterScroll);
        QSignalSpy viewMoves(&q, &LogQuery::viewCurrentChanged);
        QSignalSpy viewResets(&q, &LogQuery::viewReset);

        q.DisableControls();
        q.DisableControls();
        QVERIFY(q.ControlsDisabled());
        q.Next();
        q.Next();
        QCOMPARE(scrolls.count(), 2); // the query's own event still runs
        QCOMPARE(viewMoves.count(), 0);
        q.EnableControls();
        QVERIFY(q.ControlsDisabled());
        QCOMPARE(viewMoves.count(), 0);
        q.EnableControls();
        QVERIFY(!q.ControlsDisabled());
        QCOMPARE(viewMoves.count(), 1);
        QCOMPARE(viewResets.count(), 0);

        // A re-open while disabled tells the views once, as a reset.
        q.DisableControls();
        q.Open();
        q.Last();
        q.EnableControls();
        QCOMPARE(viewResets.count(), 1);
        QCOMPARE(viewMoves.count(), 1);

        // Enabling more often than disabling does not go below zero.
        q.EnableControls();
        q.DisableControls();
        QVERIFY(q.ControlsDisabled());
        q.EnableControls();
        QVERIFY(!q.ControlsDisabled());

        // Nothing happened while disabled: nothing to tell.
        q.DisableControls();
        q.EnableControls();
        QCOMPARE(viewResets.count(), 1);
        QCOMPARE(viewMoves.count(), 1);
    }

    void openAndCloseEvents()
    {
        LogQuery q;
        QSignalSpy opened(&q, &LogQuery::afterOpen);
        QSignalSpy closed(&q, &LogQuery::afterClose);
        openQuery(q);
        QCOMPARE(opened.count(), 1);
        q.Open(); // re-open closes first
        QCOMPARE(opened.count(), 2);
        QCOMPARE(closed.count(), 1);
        q.Close();
        q.Close();
        QCOMPARE(closed.count(), 2);
        QVERIFY(!q.Active());
        QCOMPARE(q.RecordCount(), 0);
        QVERIFY(q.Value(fiCALL).isNull());
    }

    void fieldValuesAndTypes()
    {
        LogTable table(m_log->connectionName());
        TLogRecord r = qso("S51A", QDate(2010, 2, 3), QTime(4, 5, 6));
        r[fiFREQ] = 14.025;
        r[fiBAND] = 9;
        r[fiQRB] = 812.4;
        const qint64 id = table.Insert(r);
        LogQuery q;
        openQuery(q);
        QVERIFY(q.GotoBookmark(id));
        QCOMPARE(q.Value(fiID).toLongLong(), id);
        QCOMPARE(q.Value(fiDAT).metaType().id(), int(QMetaType::QDate));
        QCOMPARE(q.Value(fiUTC).toTime(), QTime(4, 5, 6));
        QCOMPARE(q.Value("freq").toDouble(), 14.025);
        QCOMPARE(q.Value("Band").toInt(), 9);
        QVERIFY(q.Value(fiNAME).isNull());
        QVERIFY(q.Value("NOSUCH").isNull());
        QCOMPARE(q.FieldIndex("qsl"
                              "via"),
                 int(fiQSLVIA));
        QCOMPARE(q.Record()[fiCALL].toString(), QString("S51A"));
        QCOMPARE(q.AsString(fiFREQ), QString("14,025"));
    }

    void displayFormats_data()
    {
        QTest::addColumn<int>("field");
        QTest::addColumn<QString>("pattern");
        QTest::addColumn<QString>("expected");
        QTest::newRow("date default") << int(fiDAT) << ""
                                      << "05.03.2007";
        QTest::newRow("date d.m.yyyy") << int(fiDAT) << "d.m.yyyy"
                                       << "5.3.2007";
        QTest::newRow("time default") << int(fiUTC) << ""
                                      << "07:04:09";
        QTest::newRow("time hh:nn") << int(fiUTC) << "hh:nn"
                                    << "07:04";
        QTest::newRow("freq default") << int(fiFREQ) << ""
                                      << "14,025";
        QTest::newRow("freq 0.000") << int(fiFREQ) << "0.000"
                                    << "14,025";
        QTest::newRow("freq 0.#") << int(fiFREQ) << "0.#"
                                  << "14";
        QTest::newRow("qrb 0") << int(fiQRB) << "0"
                               << "812";
        QTest::newRow("band") << int(fiBAND) << ""
                              << "9";
        QTest::newRow("empty name") << int(fiNAME) << ""
                                    << "";
    }
    void displayFormats()
    {
        QFETCH(int, field);
        QFETCH(QString, pattern);
        QFETCH(QString, expected);
        LogTable table(m_log->connectionName());
        TLogRecord r = qso("S51A", QDate(2007, 3, 5), QTime(7, 4, 9));
        r[fiFREQ] = 14.025;
        r[fiBAND] = 9;
        r[fiQRB] = 812.4;
        const qint64 id = table.Insert(r);
        LogQuery q;
        openQuery(q);
        q.SetDisplayFormat(field, pattern);
        QCOMPARE(q.DisplayFormat(field), pattern);
        QVERIFY(q.GotoBookmark(id));
        QCOMPARE(q.DisplayText(field), expected);
        QCOMPARE(q.DisplayTextAt(q.CurrentRow(), field), expected);
    }

    void bookmarksInLargeLogs_data()
    {
        QTest::addColumn<int>("idStep"); // 1: IDs close together, 10: far apart
        QTest::newRow("dense") << 1;
        QTest::newRow("sparse") << 10;
    }
    void bookmarksInLargeLogs()
    {
        QFETCH(int, idStep);
        LogTable(m_log->connectionName()).Delete(m_ids);
        QSqlDatabase db = m_log->database();
        QVERIFY(db.transaction());
        QSqlQuery insert(db);
        QVERIFY(insert.prepare("INSERT INTO log (ID, CALL, DAT) VALUES (?, ?, ?)"));
        const int count = 5000;
        for (int i = 0; i < count; ++i) {
            // Date order is the reverse of ID order.
            insert.addBindValue(100 + i * idStep);
            insert.addBindValue(QString("C%1").arg(i));
            insert.addBindValue(QDate(2000, 1, 1).addDays(count - i).toString(Qt::ISODate));
            QVERIFY(insert.exec());
        }
        QVERIFY(db.commit());
        LogQuery q;
        openQuery(q);
        QCOMPARE(q.RecordCount(), count);
        for (int i : {0, 1, 2500, 4999}) {
            const TBookmark mark = 100 + i * idStep;
            QVERIFY(q.GotoBookmark(mark));
            QCOMPARE(q.RecNo(), count - i);
            QCOMPARE(q.Value(fiCALL).toString(), QString("C%1").arg(i));
        }
        QVERIFY(!q.BookmarkValid(99));
        QVERIFY(!q.BookmarkValid(100 + count * idStep));
        QCOMPARE(q.BookmarkValid(101), idStep == 1);
        // After a re-open in another order the rows are found at their new places.
        q.SetOrderBy({"ID"});
        q.Open();
        QVERIFY(q.GotoBookmark(100 + 7 * idStep));
        QCOMPARE(q.RecNo(), 8);
    }

    void rowsAcrossManyPages()
    {
        // More rows than the page cache holds, so pages are dropped and read again.
        LogTable table(m_log->connectionName());
        table.Delete(m_ids);
        table.StartTransaction();
        const QDate start(2001, 1, 1);
        for (int i = 0; i < 6000; ++i) {
            TLogRecord r = qso(QString("OK%1A").arg(i), start.addDays(i / 10), QTime(0, 0).addSecs(i % 10));
            r[fiITU] = i % 90;
            table.Insert(r);
        }
        table.Commit();
        LogQuery q;
        openQuery(q);
        QCOMPARE(q.RecordCount(), 6000);
        for (int row : {0, 127, 128, 129, 3000, 5999, 0, 4095, 4096, 1})
            QCOMPARE(q.ValueAt(row, fiCALL).toString(), QString("OK%1A").arg(row));
        for (int row = 0; row < 6000; row += 97)
            QCOMPARE(q.ValueAt(row, fiITU).toInt(), row % 90);
        QCOMPARE(q.ValueAt(17, fiCALL).toString(), QString("OK17A"));
        QVERIFY(q.ValueAt(6000, fiCALL).isNull());
        QVERIFY(q.ValueAt(-1, fiCALL).isNull());
        QVERIFY(q.Locate(fiCALL, "OK5432A"));
        QCOMPARE(q.RecNo(), 5433);
    }

    // RefreshRows keeps what was read of the rows before the change (pages, the row index)
    // and must leave the query as a fresh one over the changed log: the same IDs in the same
    // rows, every row's values as the log holds them, every ID found at its row.
    void refreshKeepsReadsTrue_data()
    {
        QTest::addColumn<int>("idStep"); // 1: the row index is a table by ID; 10: sorted pairs
        QTest::addColumn<QString>("change");
        for (int step : {1, 10}) {
            for (const char *change : {"new at the end", "new in the middle", "new first", "new with a low ID",
                                       "edited in place", "edited to the end", "edited to the start",
                                       "deleted last", "deleted in the middle", "several at once", "unknown ID"})
                QTest::addRow("%s, IDs %s", change, step == 1 ? "dense" : "sparse") << step << QString(change);
        }
    }
    void refreshKeepsReadsTrue()
    {
        QFETCH(int, idStep);
        QFETCH(QString, change);
        LogTable table(m_log->connectionName());
        table.Delete(m_ids);
        QSqlDatabase db = m_log->database();
        QVERIFY(db.transaction());
        QSqlQuery insert(db);
        QVERIFY(insert.prepare("INSERT INTO log (ID, CALL, DAT, UTC) VALUES (?, ?, ?, ?)"));
        const int count = 3000; // above the size searched without an index, over many pages
        for (int i = 0; i < count; ++i) {
            insert.addBindValue(1000 + i * idStep);
            insert.addBindValue(QString("C%1").arg(i));
            insert.addBindValue(QDate(2000, 1, 1).addDays(i / 3).toString(Qt::ISODate));
            insert.addBindValue(QTime(10, 0).addSecs(i % 3).toString("hh:mm:ss"));
            QVERIFY(insert.exec());
        }
        QVERIFY(db.commit());
        LogQuery q;
        openQuery(q);
        // Everything read once: the pages cached, the row index built.
        for (int row = 0; row < count; row += 50)
            QCOMPARE(q.ValueAt(row, fiCALL).toString(), QString("C%1").arg(row));
        QCOMPARE(q.ValueAt(count - 1, fiCALL).toString(), QString("C%1").arg(count - 1));
        QCOMPARE(q.RowOfId(1000 + 7 * idStep), 7);

        const auto idOf = [idStep](int i) { return qint64(1000 + i * idStep); };
        const auto addAt = [&](const QDate &date, const QTime &time, qint64 id = 0) {
            TLogRecord r = qso("NEW", date, time);
            if (id == 0)
                return table.Insert(r);
            QSqlQuery q(db);
            q.prepare("INSERT INTO log (ID, CALL, DAT, UTC) VALUES (?, 'NEW', ?, ?)");
            q.addBindValue(id);
            q.addBindValue(date.toString(Qt::ISODate));
            q.addBindValue(time.toString("hh:mm:ss"));
            return q.exec() ? id : qint64(-1);
        };
        const auto editTo = [&](int i, const QDate &date, const QString &call) {
            TLogRecord r;
            QVERIFY(table.FindKey(idOf(i), r));
            r[fiDAT] = date;
            r[fiCALL] = call;
            QVERIFY(table.Edit(idOf(i), r));
        };
        QList<qint64> changed;
        if (change == "new at the end") {
            changed << addAt(QDate(2020, 1, 1), QTime(1, 0));
        } else if (change == "new in the middle") {
            changed << addAt(QDate(2000, 1, 1).addDays(500), QTime(10, 0, 1));
        } else if (change == "new first") {
            changed << addAt(QDate(1990, 1, 1), QTime(0, 0));
        } else if (change == "new with a low ID") {
            changed << addAt(QDate(2000, 1, 1).addDays(700), QTime(12, 0), 5);
        } else if (change == "edited in place") {
            editTo(1500, QDate(2000, 1, 1).addDays(500), "CHANGED");
            changed << idOf(1500);
        } else if (change == "edited to the end") {
            editTo(100, QDate(2030, 1, 1), "LATE");
            changed << idOf(100);
        } else if (change == "edited to the start") {
            editTo(2990, QDate(1980, 1, 1), "EARLY");
            changed << idOf(2990);
        } else if (change == "deleted last") {
            QVERIFY(table.Delete(idOf(count - 1)));
            changed << idOf(count - 1);
        } else if (change == "deleted in the middle") {
            QVERIFY(table.Delete(idOf(1234)));
            changed << idOf(1234);
        } else if (change == "several at once") {
            QVERIFY(table.Delete(idOf(10)));
            editTo(2000, QDate(2000, 1, 1).addDays(100), "MOVED");
            changed << idOf(10) << idOf(2000) << addAt(QDate(2021, 5, 5), QTime(5, 5))
                    << addAt(QDate(2000, 1, 1).addDays(900), QTime(9, 0));
        } else {
            changed << idOf(count) + 1000000; // neither in the log nor in the list
        }
        QVERIFY(!changed.contains(-1));
        q.RefreshRows(changed);

        LogQuery fresh;
        openQuery(fresh);
        QCOMPARE(q.RecordCount(), fresh.RecordCount());
        for (int row = 0; row < fresh.RecordCount(); ++row) {
            QCOMPARE(q.IdAt(row), fresh.IdAt(row));
            QCOMPARE(q.RowOfId(fresh.IdAt(row)), row);
            QCOMPARE(q.ValueAt(row, fiCALL), fresh.ValueAt(row, fiCALL));
            QCOMPARE(q.ValueAt(row, fiDAT), fresh.ValueAt(row, fiDAT));
        }
        for (qint64 id : changed)
            QCOMPARE(q.RowOfId(id) >= 0, fresh.RowOfId(id) >= 0);
        // A second refresh over the kept reads stays true as well.
        const qint64 later = addAt(QDate(2040, 1, 1), QTime(0, 0));
        q.RefreshRows({later});
        fresh.Open();
        QCOMPARE(q.RecordCount(), fresh.RecordCount());
        QCOMPARE(q.RowOfId(later), fresh.RecordCount() - 1);
        for (int row = 0; row < fresh.RecordCount(); row += 7) {
            QCOMPARE(q.IdAt(row), fresh.IdAt(row));
            QCOMPARE(q.ValueAt(row, fiCALL), fresh.ValueAt(row, fiCALL));
        }
    }

    // A damaged part of the file: views read its rows as empty but for the ID, and the
    // failure is announced once, later; the reads of operations raise for those rows.
    void viewReadsOfADamagedPage()
    {
        LogTable table(m_log->connectionName());
        table.Delete(m_ids);
        table.StartTransaction();
        for (int i = 0; i < 1500; ++i) {
            TLogRecord r = qso(QString("OK%1A").arg(i), QDate(2001, 1, 1).addDays(i), QTime(12, 0));
            r[fiNOTE] = QString("Poznámka číslo %1, dost dlouhá na to, aby zabrala místo").arg(i);
            table.Insert(r);
        }
        table.Commit();
        // A new connection, so that no page of the table is in its cache.
        m_log->connection().close();
        m_log->connection().open(m_log->path());
        LogQuery q;
        openQuery(q);
        QSignalSpy failed(&q, &LogQuery::readFailed);
        // The rows lie in the file's pages behind the indexes; the middle third of the
        // file is damaged under the open query (its IDs are read already).
        {
            QFile file(m_log->path());
            QVERIFY(file.open(QIODevice::ReadWrite));
            const qint64 pages = file.size() / 4096;
            QVERIFY(file.seek(pages / 3 * 4096));
            QVERIFY(file.write(QByteArray(int(pages / 3) * 4096, '\0')) > 0);
        }
        int unreadable = 0;
        for (int row = 0; row < q.RecordCount(); ++row) {
            bool ok = false;
            const TLogRecord r = q.ViewRecordAt(row, &ok);
            QCOMPARE(r[fiID].toLongLong(), q.IdAt(row));
            QCOMPARE(q.ViewValueAt(row, fiID).toLongLong(), q.IdAt(row));
            if (ok) {
                QCOMPARE(r[fiCALL].toString(), QString("OK%1A").arg(row));
                QCOMPARE(q.ViewDisplayTextAt(row, fiCALL), QString("OK%1A").arg(row));
                continue;
            }
            ++unreadable;
            QVERIFY(q.ViewValueAt(row, fiCALL).isNull());
            QCOMPARE(q.ViewDisplayTextAt(row, fiCALL), QString());
            QVERIFY_THROWS_EXCEPTION(EDatabaseError, q.ValueAt(row, fiCALL));
            QVERIFY_THROWS_EXCEPTION(EDatabaseError, q.RecordAt(row));
        }
        QVERIFY(unreadable > 0);
        QVERIFY(unreadable < q.RecordCount());
        QVERIFY(q.ReadError().startsWith("Chyba při čtení deníku"));
        QCOMPARE(failed.count(), 0); // announced from the event loop, not from the read
        QTRY_COMPARE(failed.count(), 1);
        QCoreApplication::processEvents();
        QCOMPARE(failed.count(), 1);
        QCOMPARE(failed.first().first().toString(), q.ReadError());
        // Opening again forgets the failure.
        q.Close();
        QVERIFY(q.ReadError().isEmpty());
    }

    void readRows_data()
    {
        QTest::addColumn<QStringList>("order");
        QTest::addColumn<QString>("where");
        QTest::addColumn<int>("firstRow");
        QTest::addColumn<int>("stopAfter"); // rows until visit answers false, -1 never
        QTest::newRow("date order") << QStringList() << QString() << 0 << -1;
        QTest::newRow("call order from row 2") << LogQuery::SortOrderFor(fiCALL) << QString() << 2 << -1;
        QTest::newRow("descending, filtered") << QStringList{"NAME DESC"} << "CALL LIKE ?" << 0 << -1;
        QTest::newRow("stopped after two") << QStringList() << QString() << 1 << 2;
        QTest::newRow("first row past the end") << QStringList() << QString() << 5 << -1;
    }
    void readRows()
    {
        QFETCH(QStringList, order);
        QFETCH(QString, where);
        QFETCH(int, firstRow);
        QFETCH(int, stopAfter);
        LogQuery q;
        if (!where.isEmpty())
            q.SetWhere(where, {"OK%"});
        openQuery(q, order);
        q.SetRecNo(2);
        QList<int> rows;
        int differing = 0;
        q.ReadRows(firstRow, [&](int row, const TLogRecord &record) {
            rows << row;
            for (int field = 0; field < LogFieldCount; ++field)
                differing += record[field] != q.RecordAt(row)[field];
            return stopAfter < 0 || rows.size() < stopAfter;
        });
        QCOMPARE(differing, 0);
        QList<int> expected;
        for (int row = firstRow; row < q.RecordCount() && (stopAfter < 0 || expected.size() < stopAfter);
             ++row)
            expected << row;
        QCOMPARE(rows, expected);
        QCOMPARE(q.RecNo(), 2);
    }
    void readRowsAfterTheLogChanged()
    {
        // Rows deleted or added since the query was opened: the rows of the result come
        // all the same, as RecordAt gives them.
        LogQuery q;
        openQuery(q);
        const QList<qint64> ids{q.IdAt(0), q.IdAt(1), q.IdAt(2), q.IdAt(3), q.IdAt(4)};
        LogTable table(m_log->connectionName());
        table.Delete(ids[1]);
        table.Insert(qso("OK9NEW", QDate(2000, 1, 1), QTime(0, 0)));
        QList<qint64> seen;
        QStringList seenCalls;
        q.ReadRows(0, [&](int row, const TLogRecord &record) {
            seen << record.id();
            seenCalls << record[fiCALL].toString();
            return row >= 0;
        });
        QCOMPARE(seen, ids);
        QCOMPARE(seenCalls, (QStringList{"OK2B", "", "OK1C", "OK2B", "G3X"}));
    }

    // Values another program wrote in other forms than this one stores: the rows read in
    // one pass must be the records that the row-by-row reading makes of them, type for
    // type, and text that is empty stays empty rather than null.
    void readRowsOfOddlyStoredValues_data()
    {
        QTest::addColumn<QString>("column");
        QTest::addColumn<QString>("stored");
        QTest::newRow("frequency as text") << "FREQ" << "'14.025'";
        QTest::newRow("frequency as words") << "FREQ" << "'abc'";
        QTest::newRow("frequency as integer") << "FREQ" << "14";
        QTest::newRow("mode as real") << "MODE" << "2.7";
        QTest::newRow("mode as text") << "MODE" << "'3'";
        QTest::newRow("band as blob") << "BAND" << "x'3031'";
        QTest::newRow("empty call") << "CALL" << "''";
        QTest::newRow("call as integer") << "CALL" << "1234";
        QTest::newRow("name as real") << "NAME" << "1.5";
        QTest::newRow("name as blob") << "NAME" << "x'414243'";
        QTest::newRow("unpadded date") << "DAT" << "'2024-1-5'";
        QTest::newRow("date as integer") << "DAT" << "20240105";
        QTest::newRow("impossible date") << "DAT" << "'2024-02-30'";
        QTest::newRow("time without seconds") << "UTC" << "'12:30'";
        QTest::newRow("time with milliseconds") << "UTC" << "'12:30:00.250'";
        QTest::newRow("time as real") << "UTC" << "0.5";
        QTest::newRow("zone as text") << "ITU" << "'28'";
        QTest::newRow("power as text with comma") << "PWR" << "'100,5'";
        QTest::newRow("null distance") << "QRB" << "NULL";
    }
    void readRowsOfOddlyStoredValues()
    {
        QFETCH(QString, column);
        QFETCH(QString, stored);
        QSqlQuery update(QSqlDatabase::database(m_log->connectionName()));
        QVERIFY(update.exec(QStringLiteral("UPDATE log SET %1=%2 WHERE ID=%3").arg(column, stored).arg(m_ids[2])));
        LogQuery q;
        openQuery(q);
        int rows = 0;
        QStringList differing;
        q.ReadRows(0, [&](int row, const TLogRecord &record) {
            const TLogRecord expected = q.RecordAt(row);
            for (int field = 0; field < LogFieldCount; ++field) {
                if (!sameValue(record[field], expected[field]))
                    differing << QStringLiteral("%1/%2").arg(row).arg(LogFieldNames[field]);
            }
            ++rows;
            return true;
        });
        QCOMPARE(rows, m_ids.size());
        QCOMPARE(differing, QStringList());
    }

    // Each accessor of a row read in place gives what the same conversion of the record's
    // value gives, whatever the file holds; plain text is handed over as its bytes.
    void rowViewsConvertAsTheRecord_data()
    {
        QTest::addColumn<QString>("column");
        QTest::addColumn<QString>("stored");
        QTest::addColumn<bool>("asStored"); // the text's bytes are handed over as they are
        QTest::newRow("plain call") << "CALL" << "'OK1ABC'" << true;
        QTest::newRow("lower-case call") << "CALL" << "'ok1abc/p'" << true;
        QTest::newRow("call with a zero byte") << "CALL" << "'OK1'||char(0)||'X'" << true;
        QTest::newRow("empty call") << "CALL" << "''" << true;
        QTest::newRow("null call") << "CALL" << "NULL" << true;
        QTest::newRow("accented name") << "NAME" << "'Jiří'" << false;
        QTest::newRow("name beyond the code page") << "NAME" << "'Zlín 😀'" << false;
        QTest::newRow("name of a broken byte") << "NAME" << "CAST(x'C3' AS TEXT)" << false;
        QTest::newRow("name as blob") << "NAME" << "x'4142'" << false;
        QTest::newRow("name given as a number, kept as text") << "NAME" << "599" << true;
        QTest::newRow("locator given as a real, kept as text") << "LOCO" << "1.5" << true;
        QTest::newRow("date") << "DAT" << "'2023-12-31'" << false;
        QTest::newRow("leap day") << "DAT" << "'2024-02-29'" << false;
        QTest::newRow("no such day") << "DAT" << "'2023-02-29'" << false;
        QTest::newRow("month 13") << "DAT" << "'2023-13-01'" << false;
        QTest::newRow("year 0") << "DAT" << "'0000-01-01'" << false;
        QTest::newRow("date with a blank") << "DAT" << "'2023-01-01 '" << false;
        QTest::newRow("date with a sign") << "DAT" << "'+023-01-01'" << false;
        QTest::newRow("date as integer") << "DAT" << "20230101" << false;
        QTest::newRow("null date") << "DAT" << "NULL" << false;
        QTest::newRow("time") << "UTC" << "'23:59:59'" << false;
        QTest::newRow("hour 24") << "UTC" << "'24:00:00'" << false;
        QTest::newRow("second 60") << "UTC" << "'12:00:60'" << false;
        QTest::newRow("time without seconds") << "UTC" << "'12:34'" << false;
        QTest::newRow("time with milliseconds") << "UTC" << "'12:34:56.789'" << false;
        QTest::newRow("time as real") << "UTC" << "0.5" << false;
        QTest::newRow("null time") << "UTC" << "NULL" << false;
        QTest::newRow("frequency") << "FREQ" << "14.025" << false;
        QTest::newRow("negative zero") << "FREQ" << "-0.0" << false;
        QTest::newRow("frequency as integer") << "FREQ" << "7" << false;
        QTest::newRow("frequency as text") << "FREQ" << "'14.025'" << false;
        QTest::newRow("frequency as blob") << "FREQ" << "x'0102'" << false;
        QTest::newRow("null power") << "PWR" << "NULL" << false;
        QTest::newRow("band") << "BAND" << "6" << false;
        QTest::newRow("band as text") << "BAND" << "'3'" << false;
        QTest::newRow("mode as real") << "MODE" << "2.5" << false;
        QTest::newRow("zone beyond 32 bits") << "ITU" << "3000000000" << false;
        QTest::newRow("negative zone") << "WAZ" << "-4" << false;
        QTest::newRow("null zone") << "ITU" << "NULL" << false;
    }
    void rowViewsConvertAsTheRecord()
    {
        QFETCH(QString, column);
        QFETCH(QString, stored);
        QFETCH(bool, asStored);
        const int field = LogFieldIndex(column);
        QSqlQuery update(QSqlDatabase::database(m_log->connectionName()));
        QVERIFY(update.exec(QStringLiteral("UPDATE log SET %1=%2 WHERE ID=%3").arg(column, stored).arg(m_ids[2])));
        LogQuery q;
        openQuery(q);
        const int row = q.RowOfId(m_ids[2]);
        struct {
            QVariant value, recordValue;
            bool isNull = false, isEmpty = false, ascii = false;
            QString string;
            double real = 0;
            int integer = 0;
            QDate date;
            QTime time;
            QByteArray bytes;
        } read;
        int visited = 0;
        q.ReadRowViews(row, [&](int, const TLogRowView &view) {
            ++visited;
            read.value = view.Value(field);
            read.recordValue = view.Record()[field];
            read.isNull = view.IsNull(field);
            read.isEmpty = view.IsEmpty(field);
            read.string = view.String(field);
            read.real = view.Double(field);
            read.integer = view.Int(field);
            read.date = view.Date(field);
            read.time = view.Time(field);
            QByteArrayView bytes;
            read.ascii = view.Ascii(field, bytes);
            read.bytes = bytes.toByteArray();
            return false;
        });
        QCOMPARE(visited, 1);
        const TLogRecord expected = q.RecordAt(row);
        const QVariant &value = expected[field];
        QCOMPARE(read.value, value);
        QCOMPARE(read.value.metaType(), value.metaType());
        QCOMPARE(read.recordValue, value);
        QCOMPARE(read.isNull, value.isNull());
        QCOMPARE(read.isEmpty, expected.isEmpty(field));
        QCOMPARE(read.string, value.toString());
        QCOMPARE(read.real, value.toDouble());
        QCOMPARE(read.integer, value.toInt());
        QCOMPARE(read.date.isValid(), value.toDate().isValid());
        if (read.date.isValid())
            QCOMPARE(read.date, value.toDate());
        QCOMPARE(read.time.isValid(), value.toTime().isValid());
        if (read.time.isValid())
            QCOMPARE(read.time, value.toTime());
        QCOMPARE(read.ascii, asStored);
        if (asStored)
            QCOMPARE(read.bytes, value.toString().toLatin1());
        // A view of the record says the same and never hands over stored bytes.
        const TLogRowView ofRecord(expected);
        QCOMPARE(ofRecord.String(field), value.toString());
        QCOMPARE(ofRecord.IsEmpty(field), expected.isEmpty(field));
        QCOMPARE(ofRecord.Date(field), value.toDate());
        QByteArrayView bytes;
        QVERIFY(!ofRecord.Ascii(field, bytes));
    }

    // The grid's pages are read on SQLite's own interface: every value as Qt's driver and
    // LogValueFromStorage make it, of the same type, null where it is null.
    void pageReadsOfOddlyStoredValues_data()
    {
        readRowsOfOddlyStoredValues_data();
        QTest::newRow("name not valid UTF-8") << "NAME" << "CAST(x'41C328FF42' AS TEXT)";
        QTest::newRow("note with a zero byte") << "NOTE" << "CAST(x'410042' AS TEXT)";
        QTest::newRow("huge integer in a zone") << "WAZ" << "9223372036854775807";
    }
    void pageReadsOfOddlyStoredValues()
    {
        QFETCH(QString, column);
        QFETCH(QString, stored);
        QSqlDatabase db = QSqlDatabase::database(m_log->connectionName());
        QSqlQuery update(db);
        QVERIFY(update.exec(QStringLiteral("UPDATE log SET %1=%2 WHERE ID=%3").arg(column, stored).arg(m_ids[2])));
        LogQuery q;
        openQuery(q);
        QSqlQuery read(db);
        QVERIFY(read.prepare(QStringLiteral("SELECT %1 FROM log WHERE ID=?").arg(LogFieldListSql())));
        QStringList differing;
        for (int row = 0; row < q.RecordCount(); ++row) {
            read.bindValue(0, q.IdAt(row));
            QVERIFY(read.exec() && read.next());
            bool ok = false;
            const TLogRecord page = q.RecordAt(row), view = q.ViewRecordAt(row, &ok);
            QVERIFY(ok);
            for (int field = 1; field < LogFieldCount; ++field) {
                const QVariant expected = LogValueFromStorage(field, read.value(field));
                for (const QVariant &a : {page[field], view[field]}) {
                    if (!sameValue(a, expected))
                        differing << QStringLiteral("%1/%2: %3 against %4")
                                         .arg(row)
                                         .arg(LogFieldNames[field], a.toString(), expected.toString());
                }
            }
            read.finish();
        }
        QCOMPARE(differing, QStringList());
    }
};

QTEST_GUILESS_MAIN(TestLogQuery)
#include "tst_logquery.moc"
