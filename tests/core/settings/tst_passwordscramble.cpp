#include "settings/PasswordScramble.h"

#include <QRegularExpression>
#include <QTest>

class TestPasswordScramble : public QObject
{
    Q_OBJECT
private slots:
    void roundTrip_data()
    {
        QTest::addColumn<QString>("password");
        QTest::newRow("empty") << "";
        QTest::newRow("one letter") << "a";
        QTest::newRow("fifteen") << "Abc123!@#$%^&*(";
        QTest::newRow("blanks and symbols") << " x=y;z ";
        QTest::newRow("Czech letters") << "žluťoučký kůň";
        QTest::newRow("control byte") << QString(QChar(1)) + "\x7f";
    }
    void roundTrip()
    {
        QFETCH(QString, password);
        QString pad;
        QString code;
        ScrambleString(password, pad, code);
        const int bytes = int(password.toUtf8().size());
        QCOMPARE(pad.size(), 3 * bytes);
        QCOMPARE(code.size(), 3 * bytes);
        static const QRegularExpression digits("^[0-9]*$");
        QVERIFY(digits.match(pad).hasMatch());
        QVERIFY(digits.match(code).hasMatch());
        for (int i = 0; i < pad.size(); i += 3) {
            QVERIFY(pad.mid(i, 3).toInt() <= 255);
            QVERIFY(code.mid(i, 3).toInt() <= 255);
        }
        bool ok = false;
        QCOMPARE(UnscrambleString(pad, code, &ok), password);
        QVERIFY(ok);
    }

    void asciiGivesOneGroupPerCharacter()
    {
        QString pad;
        QString code;
        ScrambleString("heslo", pad, code);
        QCOMPARE(code.size(), 15);
        QCOMPARE(code.mid(0, 3).toInt() ^ pad.mid(0, 3).toInt(), int('h'));
        QCOMPARE(code.mid(12, 3).toInt() ^ pad.mid(12, 3).toInt(), int('o'));
    }

    void scramblingTwiceDiffers()
    {
        QString pad1, code1, pad2, code2;
        ScrambleString("tajneheslo12345", pad1, code1);
        ScrambleString("tajneheslo12345", pad2, code2);
        QVERIFY(pad1 != pad2);
        QVERIFY(code1 != code2);
    }

    void longPasswordIsCut()
    {
        QString pad;
        QString code;
        ScrambleString("0123456789abcdefghij", pad, code);
        QCOMPARE(UnscrambleString(pad, code), QString("0123456789abcde"));

        // A character of two code units at the cut is left out whole.
        const QString emoji = QString::fromUtf8("\xF0\x9F\x93\xBB");
        ScrambleString(QString(14, u'x') + emoji + "yz", pad, code);
        QCOMPARE(UnscrambleString(pad, code), QString(14, u'x'));
        ScrambleString(QString(13, u'x') + emoji + "yz", pad, code);
        QCOMPARE(UnscrambleString(pad, code), QString(13, u'x') + emoji);
    }

    void knownGroups()
    {
        QCOMPARE(UnscrambleString("065066", "000000"), QString("AB"));
        QCOMPARE(UnscrambleString("255", "190"), QString("A")); // 255 xor 190 = 65
        // Pad may be longer than Code; digits after the last whole group are ignored.
        QCOMPARE(UnscrambleString("065066067", "00000", nullptr), QString("A"));
        bool ok = false;
        QCOMPARE(UnscrambleString("", "", &ok), QString());
        QVERIFY(ok);
    }

    void malformedGivesEmpty_data()
    {
        QTest::addColumn<QString>("pad");
        QTest::addColumn<QString>("code");
        QTest::newRow("letter in code") << "065066"
                                        << "0000a0";
        QTest::newRow("letter in pad") << "06x066"
                                       << "000000";
        QTest::newRow("blank in code") << "065066"
                                       << "000 00";
        QTest::newRow("pad too short") << "065"
                                       << "000000";
        QTest::newRow("pad half a group") << "06506"
                                          << "000000";
        QTest::newRow("group above a byte") << "999"
                                            << "000";
        QTest::newRow("sign") << "-01"
                              << "000";
    }
    void malformedGivesEmpty()
    {
        QFETCH(QString, pad);
        QFETCH(QString, code);
        bool ok = true;
        QCOMPARE(UnscrambleString(pad, code, &ok), QString());
        QVERIFY(!ok);
    }
};

QTEST_GUILESS_MAIN(TestPasswordScramble)
#include "tst_passwordscramble.moc"
