#include "radio/CharSet.h"
#include "base/Utf8Text.h"

#include <QTest>

// Telling UTF-8 from the 8-bit code pages of Czech by the bytes alone.
class TestUtf8Text : public QObject
{
    Q_OBJECT

    static bool isUtf8(const QByteArray &bytes)
    {
        return IsUtf8Text(reinterpret_cast<const uchar *>(bytes.constData()), bytes.size());
    }

private slots:
    void bytes_data()
    {
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<bool>("utf8");
        QTest::newRow("nothing") << QByteArray() << false;
        QTest::newRow("ASCII only") << QByteArray("<CALL:5>OK1AB<EOR>") << false;
        QTest::newRow("byte-order mark alone") << QByteArray("\xEF\xBB\xBF") << true;
        QTest::newRow("byte-order mark before ASCII") << QByteArray("\xEF\xBB\xBF<EOR>") << true;
        QTest::newRow("byte-order mark wins over bad bytes") << QByteArray("\xEF\xBB\xBFK\xF9\xF2") << true;
        QTest::newRow("mark not at the start") << QByteArray("x\xEF\xBB\xBF\xE8") << false;
        QTest::newRow("two-byte letters") << QString::fromUtf8("Plzeň Říčany").toUtf8() << true;
        QTest::newRow("three bytes") << QString::fromUtf8("€ \uFFFD").toUtf8() << true;
        QTest::newRow("four bytes") << QString::fromUtf8("\U0001F4FB").toUtf8() << true;
        QTest::newRow("stray continuation") << QByteArray("a\x9A" "b") << false;
        QTest::newRow("cut short at the end") << QByteArray("Plze\xC5") << false;
        QTest::newRow("cut short before ASCII") << QByteArray("\xE2\x82x") << false;
        QTest::newRow("overlong two bytes") << QByteArray("\xC0\x80") << false;
        QTest::newRow("overlong C1") << QByteArray("\xC1\xBF") << false;
        QTest::newRow("overlong three bytes") << QByteArray("\xE0\x80\x80") << false;
        QTest::newRow("surrogate") << QByteArray("\xED\xA0\x80") << false;
        QTest::newRow("above U+10FFFF") << QByteArray("\xF4\x90\x80\x80") << false;
        QTest::newRow("lead F5") << QByteArray("\xF5\x80\x80\x80") << false;
        QTest::newRow("one bad among good") << (QString::fromUtf8("Plzeň ").toUtf8() + "\xE8") << false;
    }
    void bytes()
    {
        QFETCH(QByteArray, bytes);
        QFETCH(bool, utf8);
        QCOMPARE(isUtf8(bytes), utf8);
    }

    // The verdict does not depend on where in a run of ASCII the first byte above 127
    // stands: at each offset of an eight-byte block, at the very end, and cut short there.
    void verdictAtEveryOffset_data()
    {
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<bool>("utf8");
        for (int offset = 0; offset <= 70; ++offset) {
            const QByteArray ascii(offset, 'a');
            const QByteArray tail(offset % 5, 'z');
            QTest::addRow("good at %d", offset) << ascii + "\xC5\x88" + tail << true;
            QTest::addRow("bad at %d", offset) << ascii + "\xE8" + tail << false;
            QTest::addRow("bad after good at %d", offset) << "\xC5\x88" + ascii + "\xE8" << false;
            QTest::addRow("cut at the end after %d", offset) << ascii + "\xE2\x82" << false;
            QTest::addRow("ASCII alone, %d bytes", offset) << ascii + tail << false;
        }
    }
    void verdictAtEveryOffset()
    {
        QFETCH(QByteArray, bytes);
        QFETCH(bool, utf8);
        QCOMPARE(isUtf8(bytes), utf8);
    }

    // Czech words in Windows-1250 are never taken for UTF-8, whatever the letters: a
    // letter with a diacritic is one byte there, which UTF-8 never writes alone.
    void czechInWindows1250IsNotUtf8_data()
    {
        QTest::addColumn<QString>("text");
        const QStringList words{
            QStringLiteral("Příliš žluťoučký kůň úpěl ďábelské ódy"),
            QStringLiteral("PŘÍLIŠ ŽLUŤOUČKÝ KŮŇ ÚPĚL ĎÁBELSKÉ ÓDY"),
            QStringLiteral("Úštěk"),     QStringLiteral("ÚŠTĚK"),     QStringLiteral("Šťastný"),
            QStringLiteral("Čáslav"),    QStringLiteral("Ďáblice"),   QStringLiteral("Ňuk"),
            QStringLiteral("Ťápal"),     QStringLiteral("Žďár"),      QStringLiteral("Ústí nad Labem"),
            QStringLiteral("Říčany"),    QStringLiteral("Plzeň"),     QStringLiteral("Dvůr Králové"),
            QStringLiteral("Ľubochňa"),  QStringLiteral("Ĺ ŕ ô ä"),   QStringLiteral("Łódź"),
        };
        for (const QString &word : words)
            QTest::newRow(qPrintable(word)) << word;
        // Every letter of Windows-1250 above 127 alone among ASCII.
        for (int byte = 0xA0; byte <= 0xFF; ++byte) {
            const QString letter = Win1250ToUnicode(QByteArray(1, char(byte)));
            if (letter.at(0).isLetter())
                QTest::newRow(qPrintable(QStringLiteral("x%1x").arg(letter))) << QStringLiteral("x%1x").arg(letter);
        }
    }
    void czechInWindows1250IsNotUtf8()
    {
        QFETCH(QString, text);
        QVERIFY(!isUtf8(UnicodeToWin1250(text)));
        QVERIFY(isUtf8(text.toUtf8()));
    }

    void sequenceAt()
    {
        const QByteArray bytes = QString::fromUtf8("až€\U0001F4FB").toUtf8();
        const auto *data = reinterpret_cast<const uchar *>(bytes.constData());
        int length = 0;
        QCOMPARE(Utf8SequenceAt(data, bytes.size(), 0, length), char32_t('a'));
        QCOMPARE(length, 1);
        QCOMPARE(Utf8SequenceAt(data, bytes.size(), 1, length), char32_t(0x17E));
        QCOMPARE(length, 2);
        QCOMPARE(Utf8SequenceAt(data, bytes.size(), 3, length), char32_t(0x20AC));
        QCOMPARE(length, 3);
        QCOMPARE(Utf8SequenceAt(data, bytes.size(), 6, length), char32_t(0x1F4FB));
        QCOMPARE(length, 4);
        Utf8SequenceAt(data, bytes.size(), 2, length); // inside ž
        QCOMPARE(length, 0);
        Utf8SequenceAt(data, bytes.size() - 1, 6, length); // the last byte cut off
        QCOMPARE(length, 0);
    }
};

QTEST_GUILESS_MAIN(TestUtf8Text)
#include "tst_utf8text.moc"
