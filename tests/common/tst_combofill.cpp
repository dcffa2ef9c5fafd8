#include "radio/Amater.h"
#include "ComboFill.h"

#include <QComboBox>
#include <QTest>

#include <array>

namespace {

QStringList itemsOf(const QComboBox &box)
{
    QStringList list;
    for (int i = 0; i < box.count(); ++i)
        list << box.itemText(i);
    return list;
}

} // namespace

class TestComboFill : public QObject
{
    Q_OBJECT
private slots:
    void modesOneTo27()
    {
        QComboBox box;
        box.addItem("stale");
        FillComboBoxRange(&box, ModeNames, 1, 27);
        QCOMPARE(box.count(), 27);
        QCOMPARE(box.itemText(0), QString("CW"));
        QCOMPARE(box.itemText(26), QString("CLOVER"));
        QCOMPARE(box.currentIndex(), 0);
        QCOMPARE(box.currentText(), QString("CW"));
    }

    void ranges_data()
    {
        QTest::addColumn<int>("first");
        QTest::addColumn<int>("last");
        QTest::addColumn<QStringList>("expected");
        QTest::newRow("middle") << 1 << 2 << QStringList{"Ano", "Požadován"};
        QTest::newRow("single") << 3 << 3 << QStringList{"Neplatný"};
        QTest::newRow("last before first") << 2 << 1 << QStringList{};
        QTest::newRow("beyond the table") << 2 << 10 << QStringList{"Požadován", "Neplatný"};
        QTest::newRow("before the table") << -3 << 0 << QStringList{"Ne"};
    }
    void ranges()
    {
        QFETCH(int, first);
        QFETCH(int, last);
        QFETCH(QStringList, expected);
        QComboBox box;
        box.addItems({"a", "b"});
        FillComboBoxRange(&box, QslSentNames, first, last);
        QCOMPARE(itemsOf(box), expected);
        QCOMPARE(box.currentIndex(), expected.isEmpty() ? -1 : 0);

        QStringList strings{"old"};
        FillStringsRange(strings, QslSentNames, first, last);
        QCOMPARE(strings, expected);
    }

    void wholeTable()
    {
        QComboBox box;
        FillComboBox(&box, QslRcvdNames);
        QCOMPARE(itemsOf(box), (QStringList{"Ne", "Ano"}));
        QCOMPARE(box.currentIndex(), 0);

        const QStringList list{"x", "y", "z"};
        FillComboBox(&box, list);
        QCOMPARE(itemsOf(box), list);

        FillComboBox(&box, std::span<const QString>());
        QCOMPARE(box.count(), 0);
        QCOMPARE(box.currentIndex(), -1);
    }

    void numbers()
    {
        QComboBox box;
        box.setEditable(true);
        FillComboBoxFloat(&box, PowerPresets);
        QCOMPARE(box.count(), 12);
        QCOMPARE(box.itemText(0), QString("0,1"));
        QCOMPARE(box.itemText(1), QString("0,25"));
        QCOMPARE(box.itemText(11), QString("1000"));
        QCOMPARE(box.currentText(), QString("0,1"));

        FillComboBoxFloatRange(&box, BandLow, 0, 27);
        QCOMPARE(box.count(), 28);
        QCOMPARE(box.itemText(0), QString("0,135"));
        QCOMPARE(box.itemText(27), QString("241000"));

        FillComboBoxFloatRange(&box, BandLow, 5, 4);
        QCOMPARE(box.count(), 0);
        QCOMPARE(box.currentIndex(), -1);
    }
};

QTEST_MAIN(TestComboFill)
#include "tst_combofill.moc"
