// The program's own ordering of log rows against SQLite's ORDER BY: the sort commands
// ordered in memory, and rows put back at their place after inserts, edits and deletes,
// must give exactly the IDs that SQLite gives, on values of every storage class, NULLs,
// empty texts, accents, characters beyond U+FFFF and ties in every key.

#include "base/DatabaseError.h"
#include "log/LogOrder.h"
#include "log/LogQuery.h"
#include "log/LogTable.h"
#include "TempLog.h"
#include "log/VkrDatabase.h"

#include <QDate>
#include <QRandomGenerator>
#include <QSignalSpy>
#include <QSqlError>
#include <QSqlQuery>
#include <QTest>

#include <algorithm>
#include <limits>
#include <memory>
#include <optional>
#include <numeric>
#include <tuple>

namespace
{

using Ids = std::vector<qint64>;

const QVariant Null;

// Values of the text columns: ties, letter case, accents, digits as text, an empty text
// (not NULL), U+FFFD, U+E000 and an emoji (whose UTF-16 surrogates lie below U+E000 but
// whose code point lies above), numbers that the column's affinity turns into text.
const QVariantList TextPool{Null, "", "Jan", "jan", "JAN", "Ján", "Čech", "čech", "Zed", "zed", "Ábel", "Abel", "A",
                            "AB", "a b", "10", "9", QStringLiteral("\U0001F600"), QStringLiteral("\uFFFD"),
                            QStringLiteral("\uE000"), "ž", 5, 2.5};
// Values of the number columns: integers and reals that tie, a text that stays a text,
// a text that the affinity turns into a number, a blob.
const QVariantList NumberPool{Null, 0, -1, 3, 3.0, 3.5, 1e10, 14.2, 7, "abc", "12", QByteArray("\x01\x02", 2)};
const QVariantList DatePool{Null, "2007-03-05", "2006-01-01", "2007-03-05", "2007-03-05", ""};
const QVariantList TimePool{Null, "07:04:09", "12:00:00", "07:04:09", "07:04:09"};

const QStringList ValueFields{"DAT",  "UTC",  "CALL", "FREQ",  "BAND", "MODE", "NAME", "QTH",
                              "LOCO", "LOCP", "QSLO", "QSLP",  "QSLVIA", "EQSLP", "NOTE", "PWR",
                              "QRB",  "DXCC", "IOTA", "ITU",   "WAZ",  "AWARD"};

QVariant pick(QRandomGenerator &rng, const QVariantList &pool)
{
    return pool[rng.bounded(int(pool.size()))];
}

const QVariantList &poolOf(const QString &field)
{
    if (field == u"DAT")
        return DatePool;
    if (field == u"UTC")
        return TimePool;
    return LogFieldTypes[LogFieldIndex(field)] == ftString ? TextPool : NumberPool;
}

} // namespace

class TestLogOrder : public QObject
{
    Q_OBJECT

    std::unique_ptr<TempLog> m_log;
    QRandomGenerator m_rng{2007};

    // A row written past the program's routines, so that every storage class appears.
    qint64 insertRaw()
    {
        QSqlQuery q(m_log->database());
        QStringList marks;
        for (int i = 0; i < ValueFields.size(); ++i)
            marks << "?";
        if (!q.prepare(QString("INSERT INTO log (%1) VALUES (%2)").arg(ValueFields.join(','), marks.join(','))))
            qFatal("%s", qPrintable(q.lastError().text()));
        for (int i = 0; i < ValueFields.size(); ++i)
            q.bindValue(i, pick(m_rng, poolOf(ValueFields[i])));
        if (!q.exec())
            qFatal("%s", qPrintable(q.lastError().text()));
        return q.lastInsertId().toLongLong();
    }

    void setRaw(qint64 id, const QString &field, const QVariant &value)
    {
        QSqlQuery q(m_log->database());
        QVERIFY(q.prepare(QString("UPDATE log SET %1 = ? WHERE ID = ?").arg(field)));
        q.addBindValue(value);
        q.addBindValue(id);
        QVERIFY2(q.exec(), qPrintable(q.lastError().text()));
    }

    // SQLite's own answer.
    Ids sqliteOrder(const QStringList &order, const QString &where = {}, const QVariantList &values = {})
    {
        QSqlQuery q(m_log->database());
        const QString condition = where.isEmpty() ? QString() : " WHERE " + where;
        if (!q.prepare("SELECT ID FROM log" + condition + " ORDER BY " + LogOrderSql(ParseLogOrder(order), false)))
            qFatal("%s", qPrintable(q.lastError().text()));
        for (int i = 0; i < values.size(); ++i)
            q.bindValue(i, values[i]);
        if (!q.exec())
            qFatal("%s", qPrintable(q.lastError().text()));
        Ids ids;
        while (q.next())
            ids.push_back(q.value(0).toLongLong());
        return ids;
    }

    static Ids idsOf(const LogQuery &q)
    {
        Ids ids;
        for (int row = 0; row < q.RecordCount(); ++row)
            ids.push_back(q.IdAt(row));
        return ids;
    }

    Ids allIds() { return sqliteOrder({"ID"}); }

    void openQuery(LogQuery &q, const QStringList &order, const QString &where, const QVariantList &values)
    {
        q.SetConnectionName(m_log->connectionName());
        q.SetOrderBy(order);
        q.SetWhere(where, values);
        q.Open();
    }

    // The log query's answer.
    Ids queryIds(const QStringList &order, const QString &where = {}, const QVariantList &values = {})
    {
        LogQuery q;
        openQuery(q, order, where, values);
        return idsOf(q);
    }

private slots:
    void init()
    {
        m_log = std::make_unique<TempLog>();
        m_rng.seed(2007);
        // Nothing here needs to survive a power cut.
        QVERIFY(m_log->exec("PRAGMA synchronous = OFF"));
        QVERIFY(m_log->database().transaction());
        for (int i = 0; i < 300; ++i)
            insertRaw();
        QVERIFY(m_log->database().commit());
    }
    void cleanup() { m_log.reset(); }

    void valuesCompareAsSqliteOrdersThem()
    {
        // The pools in a column without affinity, ordered by SQLite (ties by position)...
        const QVariantList pool = TextPool + NumberPool + DatePool;
        QVERIFY(m_log->exec("CREATE TABLE v (i INTEGER, x)"));
        QSqlQuery q(m_log->database());
        QVERIFY(q.prepare("INSERT INTO v VALUES (?, ?)"));
        for (int i = 0; i < pool.size(); ++i) {
            q.bindValue(0, i);
            q.bindValue(1, pool[i]);
            QVERIFY(q.exec());
        }
        QVERIFY(q.exec("SELECT i, x FROM v ORDER BY x, i"));
        QList<int> expected;
        QVariantList read; // as the driver hands them over
        while (q.next()) {
            expected << q.value(0).toInt();
            read << q.value(1);
        }
        // ... and by the program, from the values as the driver reads them.
        QList<int> order(pool.size());
        std::iota(order.begin(), order.end(), 0);
        QVariantList byIndex(pool.size());
        for (int i = 0; i < expected.size(); ++i)
            byIndex[expected[i]] = read[i];
        std::stable_sort(order.begin(), order.end(),
                         [&](int a, int b) { return CompareSqlValues(byIndex[a], byIndex[b]) < 0; });
        QCOMPARE(order, expected);
    }

    void sortCommandsGiveSqlitesOrder_data()
    {
        QTest::addColumn<QStringList>("order");
        QTest::addColumn<bool>("inMemory");
        for (int field = fiDAT; field < LogFieldCount; ++field) {
            if (field == fiUTC || field == fiRSTO || field == fiRSTP)
                continue;
            const QStringList order = LogQuery::SortOrderFor(field);
            QTest::newRow(qPrintable(order.join(','))) << order << (field != fiDAT && field != fiCALL);
        }
        QTest::newRow("NAME DESC,DAT,UTC") << QStringList{"NAME DESC", "DAT", "UTC"} << true;
        QTest::newRow("FREQ DESC,DAT,UTC") << QStringList{"FREQ DESC", "DAT", "UTC"} << true;
        QTest::newRow("CALL DESC,DAT,UTC") << QStringList{"CALL DESC", "DAT", "UTC"} << true;
        QTest::newRow("NAME,QTH") << QStringList{"NAME", "QTH"} << false;
        QTest::newRow("DAT DESC,UTC DESC") << QStringList{"DAT DESC", "UTC DESC"} << false;
    }
    void sortCommandsGiveSqlitesOrder()
    {
        QFETCH(QStringList, order);
        QFETCH(bool, inMemory);
        const Ids expected = sqliteOrder(order);
        const std::optional<Ids> sorted = SortLogInMemory(m_log->database(), ParseLogOrder(order));
        QCOMPARE(sorted.has_value(), inMemory);
        if (sorted)
            QVERIFY(*sorted == expected);
        QVERIFY(queryIds(order) == expected);
    }

    void refreshedRowsTakeTheirPlaces_data()
    {
        QTest::addColumn<QStringList>("order");
        QTest::addColumn<QString>("where");
        QTest::addColumn<QVariantList>("values");
        for (int field : {fiDAT, fiCALL, fiFREQ, fiBAND, fiNAME, fiNOTE}) {
            const QStringList order = LogQuery::SortOrderFor(field);
            QTest::newRow(qPrintable(order.join(','))) << order << QString() << QVariantList{};
            QTest::newRow(qPrintable(order.join(',') + " filtered"))
                << order << QString("MODE = ? OR NAME >= ?") << QVariantList{3, "Z"};
        }
        QTest::newRow("NAME DESC,QTH") << QStringList{"NAME DESC", "QTH"} << QString() << QVariantList{};
    }
    void refreshedRowsTakeTheirPlaces()
    {
        QFETCH(QStringList, order);
        QFETCH(QString, where);
        QFETCH(QVariantList, values);
        LogQuery q;
        openQuery(q, order, where, values);
        LogTable table(m_log->connectionName());
        const Ids existing = allIds();

        auto refreshAndCompare = [&](const QList<qint64> &changed, const char *step) {
            q.RefreshRows(changed);
            QVERIFY2(idsOf(q) == sqliteOrder(order, where, values), step);
            QCOMPARE(q.RecNo(), q.IsEmpty() ? 0 : 1);
        };
        for (int round = 0; round < 8; ++round) {
            // A new QSO, often equal to existing ones in the sort key.
            const qint64 added = insertRaw();
            refreshAndCompare({added}, "insert");
            // An edit that moves a row, one that gives it NULL, one with no change at all.
            const qint64 moved = existing[m_rng.bounded(int(existing.size()))];
            const QString field = ValueFields[m_rng.bounded(int(ValueFields.size()))];
            setRaw(moved, field, pick(m_rng, poolOf(field)));
            setRaw(moved, "MODE", pick(m_rng, NumberPool));
            refreshAndCompare({moved}, "edit");
            const qint64 nulled = existing[m_rng.bounded(int(existing.size()))];
            setRaw(nulled, order.first().split(' ').first(), Null);
            refreshAndCompare({nulled, nulled}, "edit to NULL");
            refreshAndCompare({existing[m_rng.bounded(int(existing.size()))]}, "unchanged");
            // A delete, and several changes told at once.
            const qint64 gone = table.Insert(TLogRecord{});
            refreshAndCompare({gone}, "empty record");
            table.Delete(gone);
            refreshAndCompare({gone}, "delete");
            const qint64 a = insertRaw();
            const qint64 b = insertRaw();
            const qint64 c = existing[m_rng.bounded(int(existing.size()))];
            setRaw(c, "NAME", pick(m_rng, TextPool));
            table.Delete(b);
            refreshAndCompare({a, b, c, 999999}, "several at once");
        }
    }

    void refreshRowsOpensLikeOpen()
    {
        LogQuery q;
        q.SetConnectionName(m_log->connectionName());
        q.SetOrderBy(LogQuery::SortOrderFor(fiNAME));
        q.Open();
        q.Last();
        int opened = 0;
        connect(&q, &LogQuery::afterOpen, this, [&opened] { ++opened; });
        // A view that does not follow single rows is reset.
        QSignalSpy resets(&q, &LogQuery::viewReset);
        const qint64 id = insertRaw();
        q.RefreshRows({id});
        QCOMPARE(opened, 1);
        QCOMPARE(resets.count(), 1);
        QCOMPARE(q.RecNo(), 1);
        QVERIFY(q.RowOfId(id) >= 0);
        // Its row is read afresh, not taken from a page read before.
        QCOMPARE(q.ValueAt(q.RowOfId(id), fiID).toLongLong(), id);
        setRaw(id, "NAME", "Zzz");
        q.RefreshRows({id});
        QCOMPARE(q.ValueAt(q.RowOfId(id), fiNAME).toString(), QString("Zzz"));
    }

    // A filter's rows placed by the whole log's order: exactly SQLite's filtered ORDER BY,
    // whatever the condition selects; orders that SQLite itself would sort are left to it.
    // A condition that keeps a sixteenth of the log or less has its rows sorted from
    // their keys ("few"); a larger part is placed by the whole log's order.
    void selectedRowsKeepSqlitesOrder_data()
    {
        QTest::addColumn<QStringList>("order");
        QTest::addColumn<QString>("where");
        QTest::addColumn<QVariantList>("values");
        QTest::addColumn<bool>("placed");
        QTest::addColumn<bool>("few");
        const QList<std::tuple<const char *, QString, QVariantList, bool>> conditions{
            {"text and number", "MODE = ? OR NAME >= ?", {3, "Z"}, false},
            {"real", "FREQ > ?", {3.2}, false},
            {"NULL and empty", "NAME IS NULL OR QTH = ?", {""}, false},
            {"blob", "PWR = ?", {QByteArray("\x01\x02", 2)}, false},
            {"accents", "NAME IN (?, ?)", {"Ján", "\U0001F600"}, false},
            {"nothing", "ID < ?", {0}, true},
            {"everything", "ID > ?", {0}, false},
            {"no values", "NOTE IS NOT NULL", {}, false},
            {"few rows", "ID % 20 = ?", {7}, true},
            {"few rows of other values", "ID % 40 IN (?, ?)", {3, 22}, true},
            {"one row", "ID = ?", {150}, true},
        };
        for (const QStringList &order : {LogQuery::SortOrderFor(fiDAT), LogQuery::SortOrderFor(fiCALL),
                                         LogQuery::SortOrderFor(fiNAME), LogQuery::SortOrderFor(fiFREQ),
                                         QStringList{"NAME DESC", "DAT", "UTC"}})
            for (const auto &[name, where, values, few] : conditions)
                QTest::newRow(qPrintable(order.join(',') + ": " + name)) << order << where << values << true << few;
        QTest::newRow("an order SQLite sorts") << QStringList{"NAME", "QTH"} << QString("MODE = ?") << QVariantList{3}
                                               << false << false;
        QTest::newRow("few in an order SQLite sorts")
            << QStringList{"NAME", "QTH DESC", "PWR"} << QString("ID % 20 = ?") << QVariantList{7} << true << true;
        QTest::newRow("few in ID order descending")
            << QStringList{"ID DESC"} << QString("ID % 40 IN (?, ?)") << QVariantList{3, 22} << true << true;
        QTest::newRow("a date value") << LogQuery::SortOrderFor(fiDAT) << QString("DAT >= ?")
                                      << QVariantList{QDate(2007, 1, 1)} << false << false;
    }
    void selectedRowsKeepSqlitesOrder()
    {
        QFETCH(QStringList, order);
        QFETCH(QString, where);
        QFETCH(QVariantList, values);
        QFETCH(bool, placed);
        QFETCH(bool, few);
        const Ids expected = sqliteOrder(order, where, values);
        QCOMPARE(expected.size() <= 300 / 16, few);
        const std::optional<Ids> ids = OrderSelectedIds(m_log->database(), ParseLogOrder(order), where, values);
        QCOMPARE(ids.has_value(), placed);
        if (ids)
            QVERIFY(*ids == expected);
        QVERIFY(queryIds(order, where, values) == expected);
    }

    void columnReadAsTheDriverReadsIt_data()
    {
        QTest::addColumn<QString>("field");
        QTest::addColumn<QString>("where");
        QTest::addColumn<QVariantList>("values");
        for (const QString &field : {"CALL", "NAME", "FREQ", "MODE", "DAT", "PWR"}) {
            QTest::newRow(qPrintable(field)) << field << QString() << QVariantList{};
            QTest::newRow(qPrintable(field + " filtered"))
                << field << QString("MODE = ? OR NAME >= ?") << QVariantList{3, "Z"};
        }
    }
    void columnReadAsTheDriverReadsIt()
    {
        QFETCH(QString, field);
        QFETCH(QString, where);
        QFETCH(QVariantList, values);
        const int index = LogFieldIndex(field);
        QList<std::pair<qint64, QVariant>> read;
        QVERIFY(ReadLogColumn(m_log->database(), index, where, values,
                              [&read](qint64 id, const TStoredCell &v) { read.append({id, v.Value()}); }));
        QSqlQuery q(m_log->database());
        q.setForwardOnly(true);
        QVERIFY(q.prepare(QString("SELECT ID, %1 FROM log%2").arg(field, where.isEmpty() ? "" : " WHERE " + where)));
        for (int i = 0; i < values.size(); ++i)
            q.bindValue(i, values[i]);
        QVERIFY(q.exec());
        int n = 0;
        int nulls = 0;
        for (; q.next(); ++n) {
            QVERIFY(n < read.size());
            QCOMPARE(read[n].first, q.value(0).toLongLong());
            const QVariant expected = q.value(1);
            QCOMPARE(read[n].second.isNull(), expected.isNull());
            nulls += expected.isNull();
            if (!expected.isNull()) {
                QCOMPARE(read[n].second.typeId(), expected.typeId());
                QCOMPARE(read[n].second, expected);
                QCOMPARE(LogValueFromStorage(index, read[n].second), LogValueFromStorage(index, expected));
            }
        }
        QCOMPARE(n, int(read.size()));
        QVERIFY(n > nulls); // values of several kinds were compared
        // Values of a kind not bound here leave the read to the caller.
        QVERIFY(!ReadLogColumn(m_log->database(), index, "DAT >= ?", {QDate(2007, 1, 1)},
                               [](qint64, const TStoredCell &) { QFAIL("read"); }));
    }

    // Changes told while the views are held back reach them one by one, each on the list
    // as it was then, though the list itself is changed in place; a view that fails part
    // way leaves the list as the log gives it.
    void heldBackChangesReachViewsOnTheListAsItWas_data()
    {
        QTest::addColumn<QStringList>("order");
        QTest::addColumn<QString>("where");
        QTest::addColumn<QVariantList>("values");
        QTest::addColumn<int>("failAt");
        for (int failAt : {-1, 0, 3}) {
            const QString suffix = failAt < 0 ? QString() : QString(", view fails at %1").arg(failAt);
            QTest::newRow(qPrintable("DAT" + suffix)) << LogQuery::SortOrderFor(fiDAT) << QString() << QVariantList{}
                                                      << failAt;
            QTest::newRow(qPrintable("NAME filtered" + suffix))
                << LogQuery::SortOrderFor(fiNAME) << QString("MODE = ? OR NAME >= ?") << QVariantList{3, "Z"}
                << failAt;
        }
    }
    void heldBackChangesReachViewsOnTheListAsItWas()
    {
        QFETCH(QStringList, order);
        QFETCH(QString, where);
        QFETCH(QVariantList, values);
        QFETCH(int, failAt);
        LogQuery q;
        openQuery(q, order, where, values);
        Ids seen = idsOf(q); // the view's copy, kept by the notices alone
        int notices = 0;
        bool consistent = true;
        connect(&q, &LogQuery::viewRowAboutToBeEdited, this, [&](bool, int) {
            consistent = consistent && idsOf(q) == seen;
            if (notices++ == failAt)
                throw EDatabaseError("view failed");
        });
        connect(&q, &LogQuery::viewRowEdited, this, [&](bool inserted, int row) {
            if (inserted)
                seen.insert(seen.begin() + row, q.IdAt(row));
            else
                seen.erase(seen.begin() + row);
            consistent = consistent && idsOf(q) == seen;
        });
        LogTable table(m_log->connectionName());
        const Ids existing = allIds();
        q.DisableControls();
        for (int round = 0; round < 4; ++round) {
            const qint64 added = insertRaw();
            const qint64 moved = existing[m_rng.bounded(int(existing.size()))];
            setRaw(moved, "NAME", pick(m_rng, TextPool));
            setRaw(moved, "MODE", 3);
            const qint64 gone = existing[m_rng.bounded(int(existing.size()))];
            table.Delete(gone);
            q.RefreshRows({added, moved, gone});
        }
        const Ids expected = sqliteOrder(order, where, values);
        QVERIFY(idsOf(q) == expected);
        if (failAt < 0) {
            q.EnableControls();
            QVERIFY(notices > failAt + 3);
            QVERIFY(seen == expected);
        } else {
            QVERIFY_THROWS_EXCEPTION(EDatabaseError, q.EnableControls());
            QCOMPARE(notices, failAt + 1);
            QVERIFY(!q.ControlsDisabled());
        }
        QVERIFY(consistent);
        QVERIFY(idsOf(q) == expected);
    }

    // The log's span of IDs, which the unfiltered query takes as the room for its list, and
    // the list read into that room: SQLite's order whatever the span, also where it is far
    // larger than the rows (QSOs deleted, IDs set from outside) or beyond any count.
    void idSpanAndTheListReadIntoIt_data()
    {
        QTest::addColumn<QString>("change"); // SQL run on the 300 rows of init()
        QTest::addColumn<qint64>("span");
        QTest::newRow("every ID from 1 on") << QString() << qint64(300);
        QTest::newRow("rows deleted in the middle") << "DELETE FROM log WHERE ID BETWEEN 100 AND 180" << qint64(300);
        QTest::newRow("the first rows deleted") << "DELETE FROM log WHERE ID <= 10" << qint64(290);
        QTest::newRow("the last rows deleted") << "DELETE FROM log WHERE ID > 290" << qint64(290);
        QTest::newRow("one row left") << "DELETE FROM log WHERE ID <> 77" << qint64(1);
        QTest::newRow("no row left") << "DELETE FROM log" << qint64(0);
        QTest::newRow("an ID far above the others") << "UPDATE log SET ID = 5000000 WHERE ID = 300" << qint64(5000000);
        QTest::newRow("an ID beyond what is reserved")
            << "UPDATE log SET ID = 1099511627776 WHERE ID = 150" << qint64(1099511627776);
        QTest::newRow("negative IDs") << "UPDATE log SET ID = -ID WHERE ID <= 20" << qint64(321);
        QTest::newRow("IDs at both ends of the range")
            << "UPDATE log SET ID = CASE ID WHEN 1 THEN -9223372036854775807 WHEN 2 THEN 9223372036854775807 ELSE ID END"
            << std::numeric_limits<qint64>::max();
    }
    void idSpanAndTheListReadIntoIt()
    {
        QFETCH(QString, change);
        QFETCH(qint64, span);
        if (!change.isEmpty())
            QVERIFY(m_log->exec(change));
        // Beyond the integers SQLite counts in reals; a span is never taken as smaller.
        QCOMPARE(LogIdSpan(m_log->database()), span);
        for (const QStringList &order : {QStringList(), QStringList{"DAT", "UTC"}, QStringList{"ID"}})
            QCOMPARE(queryIds(order), sqliteOrder(order.isEmpty() ? QStringList{"DAT", "UTC"} : order));
        std::optional<Ids> read = ReadLogIds(m_log->database(), "SELECT ID FROM log ORDER BY DAT,UTC,ID", {},
                                             static_cast<size_t>(std::min<qint64>(span, 1 << 20)));
        QVERIFY(read);
        QCOMPARE(*read, sqliteOrder({"DAT", "UTC"}));
        QVERIFY(read->capacity() >= std::min<qint64>(span, 1 << 20));
    }

    void failedRefreshClosesTheQuery()
    {
        LogQuery q;
        q.SetConnectionName(m_log->connectionName());
        q.SetWhere("MODE = ?", {3});
        q.Open();
        QVERIFY(m_log->exec("DROP TABLE log"));
        QVERIFY_THROWS_EXCEPTION(EVelkorError, q.RefreshRows({1}));
        QVERIFY(!q.Active());
    }
};

QTEST_GUILESS_MAIN(TestLogOrder)
#include "tst_logorder.moc"
