#include "backup/BackUpSchedule.h"
#include "settings/UserOptions.h"

#include <QDir>
#include <QTemporaryDir>
#include <QTest>

// When the automatic backup falls due and the archive it writes, without a window.
class TestBackUpSchedule : public QObject
{
    Q_OBJECT

private slots:
    void due_data()
    {
        QTest::addColumn<bool>("enabled");
        QTest::addColumn<int>("interval");
        QTest::addColumn<QDate>("last");
        QTest::addColumn<QDate>("today");
        QTest::addColumn<bool>("due");
        const QDate monday(2007, 3, 5);
        QTest::newRow("off") << false << 1 << QDate(2007, 1, 5) << monday << false;
        QTest::newRow("weekly, same week") << true << 0 << QDate(2007, 3, 11) << monday << false;
        QTest::newRow("weekly, next week") << true << 0 << QDate(2007, 3, 4) << monday << true;
        // The week number alone counts: the same week a year earlier is no change.
        QTest::newRow("weekly, same week number a year back")
            << true << 0 << QDate(2006, 3, 6) << monday << false;
        QTest::newRow("monthly, same month") << true << 1 << QDate(2007, 3, 1) << monday << false;
        QTest::newRow("monthly, next month") << true << 1 << QDate(2007, 2, 28) << monday << true;
        QTest::newRow("monthly, same month a year back")
            << true << 1 << QDate(2006, 3, 20) << monday << false;
    }
    void due()
    {
        QFETCH(bool, enabled);
        QFETCH(int, interval);
        QFETCH(QDate, last);
        QFETCH(QDate, today);
        QFETCH(bool, due);
        TUserOptions o;
        o.SetBackUpEnabled(enabled);
        o.SetBackUpInterval(interval);
        o.SetBackUpLast(last);
        QCOMPARE(IsAutoBackUpDue(o, today), due);
    }

    // Never stored, the last backup is today: the first close makes none.
    void neverStoredIsNotDue()
    {
        TUserOptions o;
        o.SetBackUpEnabled(true);
        QVERIFY(!IsAutoBackUpDue(o, QDate::currentDate()));
    }

    void fileName()
    {
        QTemporaryDir dir;
        const QString appDir = dir.path() + "/";
        const QString own = dir.path() + "/zalohy";
        QVERIFY(QDir().mkpath(own));
        TUserOptions o;
        o.SetCall("ok1abc");
        const QDate day(2007, 3, 5);
        o.SetBackUpPath(own);
        QCOMPARE(AutoBackUpFileName(o, appDir, day), own + "/OK1ABC 05.03.2007.z");
        o.SetBackUpPath(own + "/");
        QCOMPARE(AutoBackUpFileName(o, appDir, day), own + "/OK1ABC 05.03.2007.z");
        // A folder that does not exist (or none) gives the program's own.
        o.SetBackUpPath(dir.path() + "/missing");
        QCOMPARE(AutoBackUpFileName(o, appDir, day), appDir + "Zaloha/OK1ABC 05.03.2007.z");
        o.SetBackUpPath(QString());
        QCOMPARE(AutoBackUpFileName(o, appDir, day), appDir + "Zaloha/OK1ABC 05.03.2007.z");
    }
};

QTEST_GUILESS_MAIN(TestBackUpSchedule)
#include "tst_backupschedule.moc"
