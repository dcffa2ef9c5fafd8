#include "system/ClusterLinkRecords.h"

#include <QTest>

using WindowData = TDxClusterWindowData;

class TestClusterLinkRecords : public QObject
{
    Q_OBJECT
private slots:
    void windowDataLayout_data()
    {
        QTest::addColumn<int>("width");
        QTest::addColumn<int>("height");
        QTest::addColumn<bool>("maximized");
        QTest::addColumn<QByteArray>("bytes");
        QTest::newRow("normal") << 800 << 600 << false << QByteArray::fromHex("20030000 58020000 00000000");
        QTest::newRow("maximized") << 800 << 600 << true << QByteArray::fromHex("20030000 58020000 01000000");
        QTest::newRow("extremes") << -1 << 2147483647 << false
                                  << QByteArray::fromHex("ffffffff ffffff7f 00000000");
    }
    void windowDataLayout()
    {
        QFETCH(int, width);
        QFETCH(int, height);
        QFETCH(bool, maximized);
        QFETCH(QByteArray, bytes);
        const WindowData data{width, height, maximized};
        QCOMPARE(data.encode(), bytes);
        const auto decoded = WindowData::decode(bytes);
        QVERIFY(decoded);
        QCOMPARE(*decoded, data);
    }

    void windowDataIgnoresPaddingAndReadsAnyNonZeroAsTrue()
    {
        const auto decoded = WindowData::decode(QByteArray::fromHex("80020000 e0010000 02abcdef"));
        QVERIFY(decoded);
        QCOMPARE(decoded->Width, 640);
        QCOMPARE(decoded->Height, 480);
        QVERIFY(decoded->Maximized);
        const auto cleared = WindowData::decode(QByteArray::fromHex("80020000 e0010000 00ffffff"));
        QVERIFY(cleared);
        QVERIFY(!cleared->Maximized);
    }

    void windowDataRejectsOtherSizes_data()
    {
        QTest::addColumn<int>("size");
        QTest::newRow("empty") << 0;
        QTest::newRow("short") << 11;
        QTest::newRow("oversized") << 13;
        QTest::newRow("QSO record") << 24;
    }
    void windowDataRejectsOtherSizes()
    {
        QFETCH(int, size);
        QVERIFY(!WindowData::decode(QByteArray(size, '\1')));
    }

    void copyToLogLayout()
    {
        const TCopyToLogData data{QStringLiteral("OK1ABC"), 14.025};
        const QByteArray expected = QByteArray::fromHex("06") + "OK1ABC" + QByteArray(9, '\0') +
                                    QByteArray::fromHex("cdcccccccc0c2c40");
        QCOMPARE(data.encode(), expected);
        const auto decoded = TCopyToLogData::decode(expected);
        QVERIFY(decoded);
        QCOMPARE(*decoded, data);
    }

    void copyToLogCutsLongCallSigns()
    {
        const TCopyToLogData data{QStringLiteral("VP2E/OK1ABCDEFGHIJ"), -1.5};
        const QByteArray bytes = data.encode();
        QCOMPARE(bytes.size(), TCopyToLogData::Size);
        QCOMPARE(quint8(bytes.at(0)), quint8(15));
        QCOMPARE(bytes.mid(1, 15), QByteArray("VP2E/OK1ABCDEFG"));
        QCOMPARE(bytes.mid(16), QByteArray::fromHex("000000000000f8bf"));
        QCOMPARE(TCopyToLogData::decode(bytes)->Call, QStringLiteral("VP2E/OK1ABCDEFG"));
    }

    void copyToLogReadsOnlyTheCountedCharacters()
    {
        // Whatever lies after the counted characters is not part of the call sign.
        const QByteArray bytes = QByteArray::fromHex("03") + "DL1XYZXYZXYZXYZ" + QByteArray(8, '\0');
        const auto decoded = TCopyToLogData::decode(bytes);
        QVERIFY(decoded);
        QCOMPARE(decoded->Call, QStringLiteral("DL1"));
        QCOMPARE(decoded->Freq, 0.0);
        const auto empty = TCopyToLogData::decode(QByteArray(1, '\0') + QByteArray(23, 'x'));
        QVERIFY(empty);
        QVERIFY(empty->Call.isEmpty());
    }

    void copyToLogRejectsBadRecords_data()
    {
        QTest::addColumn<QByteArray>("bytes");
        const QByteArray call = QByteArray::fromHex("06") + "OK1ABC" + QByteArray(9, '\0');
        const QByteArray freq = QByteArray::fromHex("cdcccccccc0c2c40");
        QTest::newRow("empty") << QByteArray();
        QTest::newRow("short") << (call + freq).left(23);
        QTest::newRow("oversized") << call + freq + '\0';
        QTest::newRow("window record") << QByteArray(12, '\0');
        QTest::newRow("length byte 16") << QByteArray::fromHex("10") + QByteArray(15, 'A') + freq;
        QTest::newRow("length byte 255") << QByteArray::fromHex("ff") + QByteArray(15, 'A') + freq;
        QTest::newRow("NaN frequency") << call + QByteArray::fromHex("000000000000f87f");
        QTest::newRow("infinite frequency") << call + QByteArray::fromHex("000000000000f07f");
    }
    void copyToLogRejectsBadRecords()
    {
        QFETCH(QByteArray, bytes);
        QVERIFY(!TCopyToLogData::decode(bytes));
    }
};

QTEST_GUILESS_MAIN(TestClusterLinkRecords)
#include "tst_clusterlinkrecords.moc"
