#include "radio/CharSet.h"

#include <QTest>

#include <cerrno>
#include <iconv.h>

namespace {

QByteArray converted(QByteArray bytes, int codePage)
{
    CharSetToWin1250(bytes, codePage);
    return bytes;
}

// The system's own converter as an independent reference: the Windows-1250 byte of one
// source byte, '_' when Windows-1250 has no such character, -1 when the converter is missing.
int systemWin1250Byte(const char *sourceCodePage, unsigned char byte)
{
    iconv_t cd = iconv_open("CP1250", sourceCodePage);
    if (cd == iconv_t(-1))
        return -1;
    char in = char(byte);
    char out[8] = {};
    char *inPtr = &in;
    char *outPtr = out;
    size_t inLeft = 1, outLeft = sizeof out;
    const size_t rc = iconv(cd, &inPtr, &inLeft, &outPtr, &outLeft);
    iconv_close(cd);
    if (rc == size_t(-1) || outPtr - out != 1)
        return '_';
    return static_cast<unsigned char>(out[0]);
}

QByteArray allHighBytes()
{
    QByteArray bytes;
    for (int b = 0x80; b <= 0xFF; ++b)
        bytes.append(char(b));
    return bytes;
}

} // namespace

class TestCharSet : public QObject
{
    Q_OBJECT
private slots:
    void knownBytes_data()
    {
        QTest::addColumn<int>("codePage");
        QTest::addColumn<QByteArray>("source");
        QTest::addColumn<QString>("expected");
        QTest::newRow("852 Č") << 2 << QByteArray("\xAC") << "Č";
        QTest::newRow("8859-2 Š") << 3 << QByteArray("\xA9") << "Š";
        QTest::newRow("Kamenický Č") << 1 << QByteArray("\x80") << "Č";
        QTest::newRow("Kamenický box drawing") << 1 << QByteArray("\xC4") << "_";
        QTest::newRow("Kamenický signs") << 1 << QByteArray("\xF1\xF6\xF9\xFF\xF0") << "±÷·\u00A0_";
        QTest::newRow("ASCII stays") << 2 << QByteArray("OK1ABC/p 5,9") << "OK1ABC/p 5,9";
        QTest::newRow("852 word") << 2 << QByteArray("P\xFDi\x9Fn\xA0k") << "Přičnák";
        QTest::newRow("8859-2 word") << 3 << QByteArray("\xB9\xE8\xEC\xB3") << "ščěł";
        QTest::newRow("empty") << 1 << QByteArray() << "";
    }
    void knownBytes()
    {
        QFETCH(int, codePage);
        QFETCH(QByteArray, source);
        QFETCH(QString, expected);
        QCOMPARE(Win1250ToUnicode(converted(source, codePage)), expected);
    }

    void unknownCodePageChangesNothing()
    {
        const QByteArray bytes = allHighBytes();
        QCOMPARE(converted(bytes, 0), bytes);
        QCOMPARE(converted(bytes, 4), bytes);
        QCOMPARE(converted(bytes, -1), bytes);
    }

    void kamenickyLetters()
    {
        const QString letters = "ČüéďäĎŤčěĚĹÍľĺÄÁÉžŽôöÓůÚýÖÜŠĽÝŘťáíóúňŇŮÔšřŕŔ_§«»";
        const QString text = Win1250ToUnicode(converted(allHighBytes(), CodePageKamenicky));
        QCOMPARE(text.left(0x30), letters);
        for (int b = 0xB0; b <= 0xFF; ++b) {
            if (b == 0xF1 || b == 0xF6 || b == 0xF9 || b == 0xFF)
                continue;
            QCOMPARE(text[b - 0x80], QChar(u'_'));
        }
    }

    // Every byte of the two published code pages agrees with the system's converter.
    void publishedCodePages_data()
    {
        QTest::addColumn<int>("codePage");
        QTest::addColumn<QByteArray>("systemName");
        QTest::newRow("852") << int(CodePage852) << QByteArray("CP852");
        QTest::newRow("8859-2") << int(CodePageIso88592) << QByteArray("ISO-8859-2");
    }
    void publishedCodePages()
    {
        QFETCH(int, codePage);
        QFETCH(QByteArray, systemName);
        if (systemWin1250Byte(systemName.constData(), 0x80) < 0)
            QSKIP("the system has no converter for this code page");
        const QByteArray ours = converted(allHighBytes(), codePage);
        for (int b = 0x80; b <= 0xFF; ++b)
            QVERIFY2(static_cast<unsigned char>(ours[b - 0x80]) == systemWin1250Byte(systemName, b),
                     qPrintable(QString::number(b, 16)));
    }

    void win1250ToUnicode()
    {
        QCOMPARE(Win1250ToUnicode("\x8A\x9A\xC8\xE8\x80\xB0"), QString("ŠšČč€°"));
        // Undefined bytes survive the round trip.
        QByteArray all;
        for (int b = 0; b <= 0xFF; ++b)
            all.append(char(b));
        const QString text = Win1250ToUnicode(all);
        QCOMPARE(text.size(), 256);
        QCOMPARE(UnicodeToWin1250(text), all);
    }

    void unicodeToWin1250()
    {
        QCOMPARE(UnicodeToWin1250("Příliš žluťoučký kůň"),
                 QByteArray("P\xF8\xED\x6C\x69\x9A \x9Elu\x9Do\x75\xE8k\xFD k\xF9\xF2"));
        QCOMPARE(UnicodeToWin1250("ж€"), QByteArray("?\x80"));
        QCOMPARE(UnicodeToWin1250(QString::fromUtf8("a\xF0\x9F\x98\x80" "b")), QByteArray("a?b"));
        QCOMPARE(UnicodeToWin1250("\u0080"), QByteArray("?"));
        QCOMPARE(UnicodeToWin1250(QString()), QByteArray());
    }
};

QTEST_GUILESS_MAIN(TestCharSet)
#include "tst_charset.moc"
