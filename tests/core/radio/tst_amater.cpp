#include "radio/Amater.h"

#include <QTest>

class TestAmater : public QObject
{
    Q_OBJECT
private slots:
    void tableShapes()
    {
        QCOMPARE(ModeNames[0], QString());
        QCOMPARE(ModeAliases[0], QString());
        QCOMPARE(ModeNames[1], QString("CW"));
        QCOMPARE(ModeNames[21], QString("JT44"));
        QCOMPARE(ModeNames[27], QString("CLOVER"));
        QCOMPARE(BandNames[6], QString("20m"));
        QCOMPARE(BandNames[BandOutside], QString("Mimo!"));
        QCOMPARE(PowerPresets.front(), 0.1);
        QCOMPARE(PowerPresets.back(), 1000.0);
        QCOMPARE(QslSentNames[2], QString("Požadován"));
        QCOMPARE(QslSentMarks[3], QString("I"));
    }

    // Each row's alias list is framed by ";" and starts with the row's own name.
    void aliasesStartWithName()
    {
        for (int i = 1; i < ModeCount; ++i) {
            QVERIFY2(ModeAliases[i].startsWith(';' + ModeNames[i] + ';'), qPrintable(ModeNames[i]));
            QVERIFY(ModeAliases[i].endsWith(';'));
            QCOMPARE(ModeAliases[i], ModeAliases[i].toUpper());
        }
    }

    void bandsAreOrdered()
    {
        for (int i = 0; i < BandOutside; ++i) {
            QVERIFY(BandLow[i] < BandHigh[i]);
            if (i > 0)
                QVERIFY(BandHigh[i - 1] < BandLow[i]);
            QCOMPARE(GetBandIndex(BandLow[i]), i);
            QCOMPARE(GetBandIndex(BandHigh[i]), i);
        }
    }

    void modeLookup_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<int>("defaultIndex");
        QTest::addColumn<int>("expected");
        QTest::newRow("usb") << "usb" << 0 << 2;
        QTest::newRow("PACTOR II") << "PACTOR II" << 0 << 11;
        QTest::newRow("Clover") << "Clover" << 0 << 27;
        QTest::newRow("CLO") << "CLO" << 0 << 27;
        QTest::newRow("JT44") << "JT44" << 0 << 21;
        QTest::newRow("PSK") << "PSK" << 0 << 5;
        QTest::newRow("PSK3") << "PSK3" << 0 << 6;
        QTest::newRow("c/mthell") << "c/mthell" << 0 << 16;
        QTest::newRow("unknown, default 9") << "XYZMODE" << 9 << 9;
        QTest::newRow("empty, default 9") << "" << 9 << 9;
        QTest::newRow("part of an alias") << "SS" << 9 << 9;
        QTest::newRow("two aliases joined") << "SSB;LSB" << 9 << 9;
        QTest::newRow("lone separator") << ";" << 9 << 9;
        QTest::newRow("padded") << " SSB" << 9 << 9;
    }
    void modeLookup()
    {
        QFETCH(QString, name);
        QFETCH(int, defaultIndex);
        QFETCH(int, expected);
        QCOMPARE(GetModeIndexDef(name, defaultIndex), expected);
    }

    void modeLookupDefaultsToNone()
    {
        QCOMPARE(GetModeIndex(QString()), 0);
        QCOMPARE(GetModeIndex("nonsense"), 0);
        QCOMPARE(GetModeIndex("rtty"), 9);
    }

    void everyModeNameReadsBack()
    {
        for (int i = 1; i < ModeCount; ++i)
            QCOMPARE(GetModeIndex(ModeNames[i]), i);
    }

    void bandLookup_data()
    {
        QTest::addColumn<double>("mhz");
        QTest::addColumn<int>("expected");
        QTest::newRow("14.35 upper edge") << 14.35 << 6;
        QTest::newRow("14.351 above 20m") << 14.351 << 28;
        QTest::newRow("14.0 lower edge") << 14.0 << 6;
        QTest::newRow("zero") << 0.0 << 28;
        QTest::newRow("negative") << -5.0 << 28;
        QTest::newRow("0.1365 in 2190m") << 0.1365 << 0;
        QTest::newRow("edge with rounding noise") << (14.35 + 1e-14) << 6;
        QTest::newRow("just below 160m") << 1.7999 << 28;
        QTest::newRow("2m") << 145.5 << 13;
        QTest::newRow("1mm upper") << 250000.0 << 27;
        QTest::newRow("far above") << 1e9 << 28;
        QTest::newRow("not a number") << qQNaN() << 28;
    }
    void bandLookup()
    {
        QFETCH(double, mhz);
        QFETCH(int, expected);
        QCOMPARE(GetBandIndex(mhz), expected);
    }

    void baseCall_data()
    {
        QTest::addColumn<QString>("call");
        QTest::addColumn<QString>("expected");
        QTest::newRow("portable suffix") << "xyz/p" << "XYZ";
        QTest::newRow("country prefix") << "P/XYZ" << "XYZ";
        QTest::newRow("prefix and suffix") << "AB/XYZ/P" << "XYZ";
        QTest::newRow("equal lengths keep first") << "AB/CD" << "AB";
        QTest::newRow("three slashes") << "A/B/C/D" << "A/B/C/D";
        QTest::newRow("plain") << "ok1abc" << "OK1ABC";
        QTest::newRow("empty") << "" << "";
        QTest::newRow("trailing slash") << "OK1ABC/" << "OK1ABC";
        QTest::newRow("non-ASCII left alone") << "ok1čž" << "OK1čž";
    }
    void baseCall()
    {
        QFETCH(QString, call);
        QFETCH(QString, expected);
        QCOMPARE(ExtractBaseCall(call), expected);
    }

    void zones_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<int>("itu");
        QTest::addColumn<int>("waz");
        QTest::newRow("0") << "0" << 0 << 0;
        QTest::newRow("40") << "40" << 40 << 40;
        QTest::newRow("41") << "41" << 41 << -1;
        QTest::newRow("90") << "90" << 90 << -1;
        QTest::newRow("91") << "91" << -1 << -1;
        QTest::newRow("-1") << "-1" << -1 << -1;
        QTest::newRow("empty") << "" << -1 << -1;
        QTest::newRow("1a") << "1a" << -1 << -1;
        QTest::newRow("1.5") << "1,5" << -1 << -1;
    }
    void zones()
    {
        QFETCH(QString, text);
        QFETCH(int, itu);
        QFETCH(int, waz);
        QCOMPARE(StrToITU(text), itu);
        QCOMPARE(StrToWAZ(text), waz);
    }
};

QTEST_GUILESS_MAIN(TestAmater)
#include "tst_amater.moc"
