#include "base/Crc32.h"

#include <QBuffer>
#include <QRandomGenerator>
#include <QTest>

class TestCrc32 : public QObject
{
    Q_OBJECT
private slots:
    void knownValues_data()
    {
        QTest::addColumn<QByteArray>("data");
        QTest::addColumn<quint32>("expected");
        QTest::newRow("empty") << QByteArray() << 0u;
        QTest::newRow("abc") << QByteArray("abc") << 0x352441C2u;
        QTest::newRow("check value") << QByteArray("123456789") << 0xCBF43926u;
        QTest::newRow("fox") << QByteArray("The quick brown fox jumps over the lazy dog") << 0x414FA339u;
        QTest::newRow("one zero byte") << QByteArray(1, '\0') << 0xD202EF8Du;
    }

    // Every way of computing the CRC gives the same, published value.
    void knownValues()
    {
        QFETCH(QByteArray, data);
        QFETCH(quint32, expected);

        QCOMPARE(CalcCRC32(data.constData(), data.size()), expected);

        quint32 byBytes;
        CRC32Init(byBytes);
        for (char c : data)
            CRC32UpdateByte(byBytes, quint8(c));
        CRC32Final(byBytes);
        QCOMPARE(byBytes, expected);

        // Split in two uneven updates, mixed with single bytes.
        quint32 inParts;
        CRC32Init(inParts);
        const qsizetype half = data.size() / 2;
        CRC32Update(inParts, data.constData(), half);
        if (half < data.size())
            CRC32UpdateByte(inParts, quint8(data[half]));
        if (half + 1 < data.size())
            CRC32Update(inParts, data.constData() + half + 1, data.size() - half - 1);
        CRC32Final(inParts);
        QCOMPARE(inParts, expected);

        QBuffer buffer(&data);
        QVERIFY(buffer.open(QIODevice::ReadOnly));
        QCOMPARE(CRC32Stream(buffer), expected);
    }

    // The stream routine starts at the current position and crosses its 61440-byte
    // chunks without losing or repeating bytes.
    void streamFromPosition_data()
    {
        QTest::addColumn<int>("length");
        QTest::addColumn<int>("start");
        QTest::newRow("below one chunk") << 1000 << 10;
        QTest::newRow("exactly one chunk after start") << 61440 + 7 << 7;
        QTest::newRow("several chunks") << 200000 << 12;
        QTest::newRow("start at the end") << 5000 << 5000;
    }
    void streamFromPosition()
    {
        QFETCH(int, length);
        QFETCH(int, start);
        QByteArray data(length, Qt::Uninitialized);
        QRandomGenerator generator(length);
        for (char &c : data)
            c = char(generator.bounded(256));

        QBuffer buffer(&data);
        QVERIFY(buffer.open(QIODevice::ReadOnly));
        QVERIFY(buffer.seek(start));
        QCOMPARE(CRC32Stream(buffer), CalcCRC32(data.constData() + start, length - start));
        QVERIFY(buffer.atEnd());
    }
};

QTEST_GUILESS_MAIN(TestCrc32)
#include "tst_crc32.moc"
