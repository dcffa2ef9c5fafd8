// The print tables: the copy of the marked QSOs and the label table in bureau order.

#include "PrintFixture.h"

#include "base/DatabaseError.h"
#include "print/QslTable.h"

#include <QTest>

class TestQslTable : public QObject
{
    Q_OBJECT

    struct Qso {
        QString call, dxcc;
        QDate date = QDate(2026, 3, 1);
        QTime time = QTime(12, 0);
    };

    // Marks the QSOs (in the order given), builds both tables and returns the label order.
    static QStringList labelOrder(PrintFixture &p, const QList<Qso> &qsos)
    {
        for (const Qso &q : qsos)
            p.marks << p.add(q.call, q.dxcc, q.date, q.time);
        p.open();
        CopyMarkedToTable(p.query, p.marks, p.temp("_Temp.db"));
        BuildQSLTable(p.temp("_Temp.db"), p.temp("_QSL.db"));
        return PrintFixture::callsOf(p.temp("_QSL.db"));
    }

private slots:
    void bureauOrder_data()
    {
        QTest::addColumn<QStringList>("calls");
        QTest::addColumn<QStringList>("entities");
        QTest::addColumn<QStringList>("expected");
        QTest::newRow("the groups") << QStringList{"OK1XYZ", "OK1AB", "OK2BC", "OL5A",
                                                   "K1ABC",  "W6XYZ", "KC2ZZ", "DL1ABC"}
                                    << QStringList{"OK", "OK", "OK", "OK", "K", "K", "K", "DL"}
                                    << QStringList{"OK1AB", "OK2BC", "OK1XYZ", "OL5A",
                                                   "K1ABC", "KC2ZZ", "W6XYZ",  "DL1ABC"};
        QTest::newRow("portable call by its suffix in group 1")
            << QStringList{"OK1XYZ", "OK2AC", "OK1AB/P", "OK1AA"} << QStringList{"OK", "OK", "OK", "OK"}
            << QStringList{"OK1AA", "OK1AB/P", "OK2AC", "OK1XYZ"};
        QTest::newRow("prefixes outside the eight")
            << QStringList{"OK5AB", "OK8XYZ", "OK1AB"} << QStringList{"OK", "OK", "OK"}
            << QStringList{"OK1AB", "OK5AB", "OK8XYZ"};
        QTest::newRow("US calls without a digit in front")
            << QStringList{"WA9ZZ", "AA0A", "KH6ABC"} << QStringList{"K", "K", "K"}
            << QStringList{"AA0A", "KH6ABC", "WA9ZZ"};
        QTest::newRow("OK prefix of another entity: one label, group 1")
            << QStringList{"DL1ABC", "OK1AB", "OK1XYZ"} << QStringList{"DL", "DL", "OK"}
            << QStringList{"OK1AB", "OK1XYZ", "DL1ABC"};
        QTest::newRow("US call with two digits: one label, by its second character")
            << QStringList{"K12AB", "K3ABC", "N2XX"} << QStringList{"K", "K", "K"}
            << QStringList{"K12AB", "N2XX", "K3ABC"};
        QTest::newRow("empty entity: one label, in the last group")
            << QStringList{"UA3ABC", "DL1ABC", "OK1AB", "ZZ9ZZ"} << QStringList{"", "DL", "OK", "UA"}
            << QStringList{"OK1AB", "DL1ABC", "UA3ABC", "ZZ9ZZ"};
    }

    void bureauOrder()
    {
        QFETCH(QStringList, calls);
        QFETCH(QStringList, entities);
        QFETCH(QStringList, expected);
        PrintFixture p;
        QList<Qso> qsos;
        for (int i = 0; i < calls.size(); ++i)
            qsos << Qso{calls[i], entities[i]};
        QCOMPARE(labelOrder(p, qsos), expected);
    }

    void sameCallFollowsDateAndTime()
    {
        PrintFixture p;
        labelOrder(p, {{"OK1AB", "OK", QDate(2026, 5, 2), QTime(8, 0)},
                       {"OK1AB", "OK", QDate(2026, 5, 1), QTime(9, 0)},
                       {"OK1AB", "OK", QDate(2026, 5, 1), QTime(7, 30)}});
        LogConnection connection(p.temp("_QSL.db"), LogConnection::OpenReadOnly);
        QSqlQuery q(connection.database());
        QVERIFY(q.exec("SELECT ID, DAT, UTC FROM log ORDER BY ID"));
        QStringList seen;
        while (q.next())
            seen << q.value(0).toString() + ' ' + q.value(1).toString() + ' ' + q.value(2).toString();
        QCOMPARE(seen,
                 (QStringList{"1 2026-05-01 07:30:00", "2 2026-05-01 09:00:00", "3 2026-05-02 08:00:00"}));
    }

    void sortProgressGoesThroughTheTwelveSteps()
    {
        PrintFixture p;
        p.marks << p.add("OK1AB", "OK");
        p.open();
        CopyMarkedToTable(p.query, p.marks, p.temp("_Temp.db"));
        QList<int> steps;
        BuildQSLTable(p.temp("_Temp.db"), p.temp("_QSL.db"), [&steps](int step) { steps << step; });
        QCOMPARE(steps, (QList<int>{0, 1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12}));
    }

    void copyKeepsMarkOrderRenumbersAndCopiesFields()
    {
        PrintFixture p;
        const qint64 a = p.add("OK1AB", "OK"), b = p.add("G3XYZ", "G"), c = p.add("DL1ABC", "DL");
        p.open();
        p.query.Last();
        QList<int> progress;
        CopyMarkedToTable(p.query, {c, a}, p.temp("_Temp.db"), [&progress](int v) { progress << v; });
        Q_UNUSED(b)
        QCOMPARE(PrintFixture::callsOf(p.temp("_Temp.db")), (QStringList{"DL1ABC", "OK1AB"}));
        QCOMPARE(progress, (QList<int>{0, 100}));
        QCOMPARE(p.query.RecNo(), 3); // the grid stays where it was
        QVERIFY(!p.query.ControlsDisabled());

        LogConnection connection(p.temp("_Temp.db"), LogConnection::OpenReadOnly);
        QSqlQuery q(connection.database());
        QVERIFY(q.exec("SELECT ID, DXCC, RSTO, FREQ, DAT FROM log ORDER BY ID"));
        QVERIFY(q.next());
        QCOMPARE(q.value(0).toInt(), 1);
        QCOMPARE(q.value(1).toString(), QString("DL"));
        QCOMPARE(q.value(2).toString(), QString("599"));
        QCOMPARE(q.value(3).toDouble(), 14.025);
        QCOMPARE(q.value(4).toString(), QString("2026-03-01"));
    }

    void noMarksGiveEmptyTablesAndReplaceOldOnes()
    {
        PrintFixture p;
        labelOrder(p, {{"OK1AB", "OK"}});
        p.marks.clear();
        CopyMarkedToTable(p.query, p.marks, p.temp("_Temp.db"));
        BuildQSLTable(p.temp("_Temp.db"), p.temp("_QSL.db"));
        QVERIFY(PrintFixture::callsOf(p.temp("_Temp.db")).isEmpty());
        QVERIFY(PrintFixture::callsOf(p.temp("_QSL.db")).isEmpty());
    }

    void failuresRaise()
    {
        PrintFixture p;
        p.open();
        QVERIFY_THROWS_EXCEPTION(EDatabaseError, BuildQSLTable(p.temp("_missing.db"), p.temp("_QSL.db")));
        QVERIFY_THROWS_EXCEPTION(EDatabaseError,
                                 CopyMarkedToTable(p.query, {}, p.fx.path("no/such/folder/_Temp.db")));
        QVERIFY(!p.query.ControlsDisabled());
    }
};

QTEST_MAIN(TestQslTable)
#include "tst_qsltable.moc"
