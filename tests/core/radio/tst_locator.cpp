#include "radio/Locator.h"
#include "ScriptedMessages.h"

#include <QTest>

#include <cmath>
#include <numbers>

namespace
{

// Haversine distance: another formula for the same sphere, to check the arc cosine against.
double haversineKm(double lon1, double lat1, double lon2, double lat2)
{
    const double rad = std::numbers::pi / 180;
    const double dLat = (lat2 - lat1) * rad;
    const double dLon = (lon2 - lon1) * rad;
    const double a = std::pow(std::sin(dLat / 2), 2) +
                     std::cos(lat1 * rad) * std::cos(lat2 * rad) * std::pow(std::sin(dLon / 2), 2);
    return 2 * std::atan2(std::sqrt(a), std::sqrt(1 - a)) * 6371.229;
}

// Bearing by atan2, the usual textbook form.
double atan2Bearing(double lon1, double lat1, double lon2, double lat2)
{
    const double rad = std::numbers::pi / 180;
    const double dLon = (lon2 - lon1) * rad;
    const double y = std::sin(dLon) * std::cos(lat2 * rad);
    const double x = std::cos(lat1 * rad) * std::sin(lat2 * rad) -
                     std::sin(lat1 * rad) * std::cos(lat2 * rad) * std::cos(dLon);
    return std::fmod(std::atan2(y, x) / rad + 360, 360);
}

} // namespace

class TestLocator : public QObject
{
    Q_OBJECT
private slots:
    void locatorToLonLat_data()
    {
        QTest::addColumn<QString>("loc");
        QTest::addColumn<double>("lon");
        QTest::addColumn<double>("lat");
        QTest::newRow("AA00AA") << "AA00AA" << -179.958333333333 << -89.979166666667;
        QTest::newRow("RR99XX") << "RR99XX" << 179.958333333333 << 89.979166666667;
        QTest::newRow("lower case") << "jn79aa" << 14.041666666667 << 49.020833333333;
        QTest::newRow("JJ00AA") << "JJ00AA" << 0.041666666667 << 0.020833333333;
    }
    void locatorToLonLat()
    {
        QFETCH(QString, loc);
        QFETCH(double, lon);
        QFETCH(double, lat);
        double gotLon = 0, gotLat = 0;
        LocatorToLonLat(loc, gotLon, gotLat);
        QVERIFY2(qAbs(gotLon - lon) < 1e-9, qPrintable(QString::number(gotLon, 'f', 12)));
        QVERIFY2(qAbs(gotLat - lat) < 1e-9, qPrintable(QString::number(gotLat, 'f', 12)));
    }

    void lonLatToLocator_data()
    {
        QTest::addColumn<double>("lon");
        QTest::addColumn<double>("lat");
        QTest::addColumn<QString>("loc");
        QTest::newRow("origin") << 0.0 << 0.0 << "JJ00AA";
        QTest::newRow("Prague") << 14.42 << 50.08 << "JO70FB";
        QTest::newRow("south-west corner") << -180.0 << -90.0 << "AA00AA";
        QTest::newRow("just below the limits") << 179.999 << 89.999 << "RR99XX";
        QTest::newRow("west and south") << -77.04 << -12.05 << "FH17LW";
    }
    void lonLatToLocator()
    {
        QFETCH(double, lon);
        QFETCH(double, lat);
        QTEST(LonLatToLocator(lon, lat), "loc");
    }

    // The centre of a subsquare converts back to it, over every field and square and a
    // spread of subsquares.
    void centreConvertsBack()
    {
        int checked = 0;
        for (char f1 = 'A'; f1 <= 'R'; ++f1)
            for (char f2 = 'A'; f2 <= 'R'; ++f2)
                for (char s1 = '0'; s1 <= '9'; ++s1)
                    for (char s2 = '0'; s2 <= '9'; ++s2)
                        for (char u1 = 'A'; u1 <= 'X'; u1 += 5)
                            for (char u2 = 'A'; u2 <= 'X'; u2 += 7) {
                                const QString loc = QString(QLatin1Char(f1)) + QLatin1Char(f2) +
                                                    QLatin1Char(s1) + QLatin1Char(s2) + QLatin1Char(u1) +
                                                    QLatin1Char(u2);
                                double lon, lat;
                                LocatorToLonLat(loc, lon, lat);
                                if (LonLatToLocator(lon, lat) != loc)
                                    QFAIL(qPrintable(loc));
                                ++checked;
                            }
        QCOMPARE(checked, 18 * 18 * 100 * 5 * 4);
    }

    void shortLocatorIsNoCrash()
    {
        double lon = 1, lat = 1;
        LocatorToLonLat("JN", lon, lat);
        QVERIFY(qAbs(lon - (180 + 1.0 / 24 - 180)) < 1e-9);
        QVERIFY(qAbs(lat - (130 + 1.0 / 48 - 90)) < 1e-9);
        QCOMPARE(LonLatToLocator(std::nan(""), 0).size(), 6);
    }

    void distanceOfOneDegree()
    {
        double lon1, lat1, lon2, lat2;
        LocatorToLonLat("JJ00AA", lon1, lat1);
        LocatorToLonLat("JJ01AA", lon2, lat2);
        QVERIFY(qAbs(GreatCircleDistance(lon1, lat1, lon2, lat2) - 111.1989) < 1e-4);
        ScriptedMessages messages;
        QCOMPARE(DistanceFromOwnLocator("JJ00AA", "JJ01AA", 0, 0), 111);
        QVERIFY(messages.shown.isEmpty());
    }

    void knownDistances_data()
    {
        QTest::addColumn<QString>("own");
        QTest::addColumn<QString>("other");
        QTest::newRow("Prague to Tokyo") << "JN79AA"
                                         << "PM95VQ";
        QTest::newRow("Prague to New York") << "JN79AA"
                                            << "FN30AR";
        QTest::newRow("Prague to Wellington") << "JN79AA"
                                              << "RE78IR";
        QTest::newRow("Prague to Buenos Aires") << "jn79aa"
                                                << "gf05to";
        QTest::newRow("neighbours") << "JN79AA"
                                    << "JN79AB";
        QTest::newRow("equal") << "JN79AA"
                               << "JN79AA";
    }
    void knownDistances()
    {
        QFETCH(QString, own);
        QFETCH(QString, other);
        double lon1, lat1, lon2, lat2;
        LocatorToLonLat(own, lon1, lat1);
        LocatorToLonLat(other, lon2, lat2);
        const double expected = haversineKm(lon1, lat1, lon2, lat2);
        const double got = GreatCircleDistance(lon1, lat1, lon2, lat2);
        QVERIFY2(qAbs(got - expected) < 1e-3, qPrintable(QString("%1 != %2").arg(got).arg(expected)));
        ScriptedMessages messages;
        QCOMPARE(DistanceFromOwnLocator(own, other, 0, 0), int(std::lround(expected)));
        QCOMPARE(AzimuthFromOwnLocator(own, other, 0, 0) % 360,
                 int(std::lround(atan2Bearing(lon1, lat1, lon2, lat2))) % 360);
    }

    // Rounding can push the arc cosine's argument past -1 for opposite points; half the
    // Earth's circumference is the answer there, not 0.
    void antipodesAreHalfTheCircumference()
    {
        const double half = std::numbers::pi * EarthRadius;
        QVERIFY(qAbs(GreatCircleDistance(10, 20, -170, -20) - half) < 1e-6);
        ScriptedMessages messages;
        QCOMPARE(DistanceFromOwnLocator("JJ00AA", "AI09AX", 0, 0), int(std::lround(half)));
        QCOMPARE(GreatCircleDistance(14.5, 50.1, 14.5, 50.1), 0.0);
    }

    // The same rounding pushes the cosine of a point with itself just past 1 at some latitudes:
    // every subsquare centre must still be (within a metre) 0 km from itself, never NaN.
    void equalPointsAreZeroAtEverySubsquareLatitude()
    {
        int failures = 0;
        for (int row = 0; row < 180 * 24; ++row) {
            const double lat = -90 + (row + 0.5) / 24;
            const double d = GreatCircleDistance(14.5, lat, 14.5, lat);
            if (!(d >= 0 && d < 0.001) && ++failures == 1)
                qWarning("latitude %.6f gives %g km", lat, d);
        }
        QCOMPARE(failures, 0);
    }

    void bearingsFromTheOrigin_data()
    {
        QTest::addColumn<double>("lon");
        QTest::addColumn<double>("lat");
        QTest::addColumn<double>("bearing");
        QTest::newRow("north") << 0.0 << 1.0 << 0.0;
        QTest::newRow("east") << 1.0 << 0.0 << 90.0;
        QTest::newRow("south") << 0.0 << -1.0 << 180.0;
        QTest::newRow("west") << -1.0 << 0.0 << 270.0;
        QTest::newRow("north-east") << 1.0 << 1.0 << 44.9956;
        QTest::newRow("same point") << 0.0 << 0.0 << 0.0;
    }
    void bearingsFromTheOrigin()
    {
        QFETCH(double, lon);
        QFETCH(double, lat);
        QFETCH(double, bearing);
        const double got = GreatCircleAzimuth(0, 0, lon, lat);
        QVERIFY2(qAbs(got - bearing) < 1e-3, qPrintable(QString::number(got, 'f', 6)));
        QVERIFY(got >= 0 && got < 360);
    }

    void bearingJustWestOfNorthRoundsTo360()
    {
        double lon0, lat0;
        LocatorToLonLat("JN79AA", lon0, lat0);
        const double lon = lon0 - 0.1, lat = lat0 + 10;
        const double raw = GreatCircleAzimuth(lon0, lat0, lon, lat);
        QVERIFY2(raw > 359.5 && raw < 360, qPrintable(QString::number(raw)));
        ScriptedMessages messages;
        QCOMPARE(AzimuthFromOwnLocator("JN79AA", "", lon, lat), 360);
    }

    void missingOwnLocator_data()
    {
        QTest::addColumn<QString>("own");
        QTest::newRow("empty") << "";
        QTest::newRow("four characters") << "JN79";
        QTest::newRow("beyond R") << "JS79AA";
        QTest::newRow("beyond X") << "JN79AY";
    }
    void missingOwnLocator()
    {
        QFETCH(QString, own);
        ScriptedMessages messages;
        QCOMPARE(DistanceFromOwnLocator(own, "JN79AA", 14, 50), 0);
        QCOMPARE(AzimuthFromOwnLocator(own, "JN79AA", 14, 50), 0);
        QCOMPARE(messages.texts(),
                 QStringList({QString::fromUtf8("Chybí vlastní lokátor, nelze vypočítat vzdálenost!"),
                              QString::fromUtf8("Chybí vlastní lokátor, nelze vypočítat azimut!")}));
        for (const ScriptedMessages::Shown &shown : messages.shown) {
            QCOMPARE(shown.type, mtWarning);
            QCOMPARE(shown.buttons, TMsgDlgButtons(mbOK));
        }
    }

    void partnerWithoutLocatorUsesThePoint_data()
    {
        QTest::addColumn<QString>("other");
        QTest::newRow("empty") << "";
        QTest::newRow("invalid") << "JN7";
        QTest::newRow("bad character") << "JN7#AA";
    }
    void partnerWithoutLocatorUsesThePoint()
    {
        QFETCH(QString, other);
        double lon0, lat0;
        LocatorToLonLat("JN79AA", lon0, lat0);
        const double lon = -77.04, lat = 38.9; // Washington
        ScriptedMessages messages;
        QCOMPARE(DistanceFromOwnLocator("JN79AA", other, lon, lat),
                 int(std::lround(haversineKm(lon0, lat0, lon, lat))));
        QCOMPARE(AzimuthFromOwnLocator("JN79AA", other, lon, lat),
                 int(std::lround(atan2Bearing(lon0, lat0, lon, lat))));
        QVERIFY(messages.shown.isEmpty());
    }

    void validPartnerOverridesThePoint()
    {
        ScriptedMessages messages;
        QCOMPARE(DistanceFromOwnLocator("JN79AA", "jn79aa", -77, 38), 0);
        QCOMPARE(AzimuthFromOwnLocator("JN79AA", "JN79AA", -77, 38), 0);
    }
};

QTEST_GUILESS_MAIN(TestLocator)
#include "tst_locator.moc"
