#include "radio/Amater.h"
#include "radio/PresetLists.h"

#include <QTest>

// The preset lists of the settings dialog without the dialog: the default mark follows
// its entry through every change.
class TestPresetLists : public QObject
{
    Q_OBJECT

private slots:
    void defaults()
    {
        const QList<int> modes = DefaultPresetModes();
        QCOMPARE(modes.size(), 27);
        QCOMPARE(modes.first(), 1);
        QCOMPARE(ModeNames[modes.first()], QString("CW"));
        QCOMPARE(modes.last(), 27);
        const QList<double> freqs = DefaultPresetFreqs();
        QCOMPARE(freqs.size(), MaxPresetFreqs);
        QCOMPARE(freqs.first(), 0.135);
        for (int i = 0; i < freqs.size(); ++i)
            QCOMPARE(freqs[i], BandLow[i]);
    }

    void frequency_data()
    {
        QTest::addColumn<QString>("typed");
        QTest::addColumn<double>("value");
        QTest::newRow("decimal comma") << "14,025" << 14.025;
        QTest::newRow("whole") << "7" << 7.0;
        QTest::newRow("to kHz") << "3,5504" << 3.55;
        QTest::newRow("half up to even") << "14,0255" << 14.026;
        QTest::newRow("half down to even") << "0,0125" << 0.012;
        QTest::newRow("letters") << "abc" << 0.0;
        QTest::newRow("empty") << "" << 0.0;
        QTest::newRow("zero") << "0" << 0.0;
        QTest::newRow("rounds to zero") << "0,0004" << 0.0;
        QTest::newRow("negative") << "-7" << 0.0;
    }
    void frequency()
    {
        QFETCH(QString, typed);
        QFETCH(double, value);
        QCOMPARE(PresetFrequency(typed), value);
    }

    void addKeepsOneOfEach()
    {
        QList<double> list{3.5, 7.0};
        QCOMPARE(PresetAdd(list, 14.0), 2);
        QCOMPARE(PresetAdd(list, 7.0), 1); // already there: its position, nothing added
        QCOMPARE(list, (QList<double>{3.5, 7.0, 14.0}));
        QList<int> empty;
        QCOMPARE(PresetAdd(empty, 2), 0);
    }

    void remove_data()
    {
        QTest::addColumn<int>("position");
        QTest::addColumn<int>("defaultBefore");
        QTest::addColumn<QList<int>>("after");
        QTest::addColumn<int>("defaultAfter");
        QTest::addColumn<bool>("removed");
        QTest::newRow("above the default") << 0 << 2 << QList<int>{2, 3, 4} << 1 << true;
        QTest::newRow("the default") << 2 << 2 << QList<int>{1, 2, 4} << 0 << true;
        QTest::newRow("below the default") << 3 << 1 << QList<int>{1, 2, 3} << 1 << true;
        QTest::newRow("outside") << 4 << 1 << QList<int>{1, 2, 3, 4} << 1 << false;
        QTest::newRow("none selected") << -1 << 1 << QList<int>{1, 2, 3, 4} << 1 << false;
    }
    void remove()
    {
        QFETCH(int, position);
        QFETCH(int, defaultBefore);
        QFETCH(QList<int>, after);
        QFETCH(int, defaultAfter);
        QFETCH(bool, removed);
        QList<int> list{1, 2, 3, 4};
        int def = defaultBefore;
        QCOMPARE(PresetRemove(list, position, def), removed);
        QCOMPARE(list, after);
        QCOMPARE(def, defaultAfter);
    }

    void removeTheLastEntry()
    {
        QList<int> list{5};
        int def = 0;
        QVERIFY(PresetRemove(list, 0, def));
        QVERIFY(list.isEmpty());
        QCOMPARE(def, 0);
        QVERIFY(!PresetRemove(list, 0, def));
    }

    void move_data()
    {
        QTest::addColumn<int>("position");
        QTest::addColumn<int>("step");
        QTest::addColumn<int>("defaultBefore");
        QTest::addColumn<QList<int>>("after");
        QTest::addColumn<int>("defaultAfter");
        QTest::newRow("default down") << 1 << 1 << 1 << QList<int>{1, 3, 2, 4} << 2;
        QTest::newRow("default up") << 1 << -1 << 1 << QList<int>{2, 1, 3, 4} << 0;
        QTest::newRow("neighbour up onto the default") << 2 << -1 << 1 << QList<int>{1, 3, 2, 4} << 2;
        QTest::newRow("neighbour down onto the default") << 0 << 1 << 1 << QList<int>{2, 1, 3, 4} << 0;
        QTest::newRow("elsewhere") << 2 << 1 << 0 << QList<int>{1, 2, 4, 3} << 0;
        QTest::newRow("first up") << 0 << -1 << 0 << QList<int>{1, 2, 3, 4} << 0;
        QTest::newRow("last down") << 3 << 1 << 3 << QList<int>{1, 2, 3, 4} << 3;
    }
    void move()
    {
        QFETCH(int, position);
        QFETCH(int, step);
        QFETCH(int, defaultBefore);
        QFETCH(QList<int>, after);
        QFETCH(int, defaultAfter);
        QList<int> list{1, 2, 3, 4};
        int def = defaultBefore;
        const bool changed = PresetMove(list, position, step, def);
        QCOMPARE(changed, list != QList<int>({1, 2, 3, 4}));
        QCOMPARE(list, after);
        QCOMPARE(def, defaultAfter);
    }

    void defaultPastTheList()
    {
        QCOMPARE(PresetDefault(3, 4), 3);
        QCOMPARE(PresetDefault(4, 4), 0);
        QCOMPARE(PresetDefault(-1, 4), 0);
        QCOMPARE(PresetDefault(0, 0), 0);
    }
};

QTEST_GUILESS_MAIN(TestPresetLists)
#include "tst_presetlists.moc"
