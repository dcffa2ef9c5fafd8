#include "base/OstrelFP.h"

#include <QTest>

class TestOstrelFP : public QObject
{
    Q_OBJECT
private slots:
    void degToDms_data()
    {
        QTest::addColumn<bool>("isLatitude");
        QTest::addColumn<double>("value");
        QTest::addColumn<QString>("expected");
        QTest::newRow("north") << true << 49.5 << "49° 30'  0'' S";
        QTest::newRow("west") << false << -14.25 << "14° 15'  0'' Z";
        QTest::newRow("zero longitude") << false << 0.0 << " 0°  0'  0'' V";
        QTest::newRow("south") << true << -0.5 << " 0° 30'  0'' J";
        QTest::newRow("three-digit degrees") << false << 179.999 << "179° 59' 56'' V";
        QTest::newRow("seconds are cut") << true << (50.0 + 59.0 / 60 + 59.9 / 3600) << "50° 59' 59'' S";
        QTest::newRow("binary fraction below the minute") << true << 49.1 << "49°  6'  0'' S";
    }
    void degToDms()
    {
        QFETCH(bool, isLatitude);
        QFETCH(double, value);
        QFETCH(QString, expected);
        QCOMPARE(DegToDMS(isLatitude, value), expected);
    }
};

QTEST_GUILESS_MAIN(TestOstrelFP)
#include "tst_ostrelfp.moc"
