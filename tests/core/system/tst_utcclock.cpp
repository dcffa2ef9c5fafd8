#include "system/UtcClock.h"

#include <QDateTime>
#include <QTest>

#include <ctime>

class TestUtcClock : public QObject
{
    Q_OBJECT
private slots:
    void initTestCase()
    {
        // Far from UTC, so that local time cannot pass for UTC.
        qputenv("TZ", "Asia/Tokyo");
        tzset();
    }

    void matchesUtc()
    {
        const QDateTime before = QDateTime::currentDateTimeUtc();
        const QDateTime stamped(UTCDate(), UTCTime(), Qt::UTC);
        const QDateTime after = QDateTime::currentDateTimeUtc();
        // A date taken just before midnight and a time just after it may differ by a day.
        if (before.date() != after.date())
            QSKIP("the clock passed midnight during the test");
        QVERIFY(stamped >= before.addMSecs(-1));
        QVERIFY(stamped <= after);
        QVERIFY(QDateTime::currentDateTime().offsetFromUtc() != 0);
    }
};

QTEST_GUILESS_MAIN(TestUtcClock)
#include "tst_utcclock.moc"
