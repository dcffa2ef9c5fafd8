#include "radio/Kontrola.h"
#include "ScriptedMessages.h"

#include <QTest>

#include <functional>

using Check = std::function<bool(const QString &, QObject *)>;
Q_DECLARE_METATYPE(Check)

class TestKontrola : public QObject
{
    Q_OBJECT
private slots:
    // Every check: the text, whether it passes, and the exact message when it fails.
    void checks_data()
    {
        QTest::addColumn<Check>("check");
        QTest::addColumn<QString>("text");
        QTest::addColumn<QString>("message"); // empty: the text passes

        const Check call = CheckCall, freq = CheckFreq, power = CheckPower, locator = CheckLocator,
                    dxcc = CheckDXCC, iota = CheckIOTA, itu = CheckITU, waz = CheckWAZ, time = CheckTime,
                    date = CheckDate, lat = CheckLatDegrees, lon = CheckLonDegrees, minSec = CheckMinSec;

        QTest::newRow("call ok") << call << "OK1ABC/p" << "";
        QTest::newRow("call empty") << call << "" << "Značka musí být zadána!";
        QTest::newRow("call hyphen") << call << "OK-1"
                                     << "Neplatná značka \"OK-1\" (může obsahovat jen znaky \"A-Z, 0-9, /\")!";
        QTest::newRow("call blank") << call << "OK1 A"
                                    << "Neplatná značka \"OK1 A\" (může obsahovat jen znaky \"A-Z, 0-9, /\")!";

        QTest::newRow("freq ok") << freq << "14,025" << "";
        QTest::newRow("freq empty") << freq << "" << "Frekvence musí být zadána!";
        QTest::newRow("freq point") << freq << "14.025" << "Neplatná frekvence \"14.025\"!";
        QTest::newRow("freq letters") << freq << "abc" << "Neplatná frekvence \"abc\"!";
        QTest::newRow("freq zero") << freq << "0" << "Neplatná frekvence \"0\"!";
        QTest::newRow("freq zero with decimals") << freq << "0,000" << "Neplatná frekvence \"0,000\"!";
        QTest::newRow("freq negative") << freq << "-14,025" << "Neplatná frekvence \"-14,025\"!";
        QTest::newRow("freq just above zero") << freq << "0,001" << "";

        QTest::newRow("power ok") << power << "100" << "";
        QTest::newRow("power empty") << power << "" << "Výkon musí být zadán!";
        QTest::newRow("power bad") << power << "5W" << "Neplatný výkon!";

        QTest::newRow("locator upper") << locator << "JN79AB" << "";
        QTest::newRow("locator lower") << locator << "jn79ab" << "";
        QTest::newRow("locator empty") << locator << "" << "";
        QTest::newRow("locator short") << locator << "JN79" << "Neplatný lokátor \"JN79\"!";
        QTest::newRow("locator long") << locator << "JN79ABC" << "Neplatný lokátor \"JN79ABC\"!";
        QTest::newRow("locator S") << locator << "JS79AA" << "Neplatný lokátor \"JS79AA\"!";
        QTest::newRow("locator Y") << locator << "JN79AY" << "Neplatný lokátor \"JN79AY\"!";
        QTest::newRow("locator letter as digit") << locator << "JNA9AA" << "Neplatný lokátor \"JNA9AA\"!";

        QTest::newRow("dxcc ok") << dxcc << "OK" << "";
        QTest::newRow("dxcc empty") << dxcc << "" << "";
        QTest::newRow("dxcc hyphen") << dxcc << "O-K" << "Neplatný kód DXCC \"O-K\"!";

        QTest::newRow("iota ok") << iota << "EU123" << "";
        QTest::newRow("iota lower and more") << iota << "eu123x" << "";
        QTest::newRow("iota empty") << iota << "" << "";
        QTest::newRow("iota short") << iota << "EU12" << "Neplatný formát IOTA!";
        QTest::newRow("iota digit first") << iota << "E1234" << "Neplatný formát IOTA!";

        QTest::newRow("itu 0") << itu << "0" << "";
        QTest::newRow("itu 90") << itu << "90" << "";
        QTest::newRow("itu empty") << itu << "" << "";
        QTest::newRow("itu 91") << itu << "91" << "Neplatný kód ITU \"91\" (povoleny jsou hodnoty 1..90)!";
        QTest::newRow("itu text") << itu << "x" << "Neplatný kód ITU \"x\" (povoleny jsou hodnoty 1..90)!";
        QTest::newRow("waz 40") << waz << "40" << "";
        QTest::newRow("waz empty") << waz << "" << "";
        QTest::newRow("waz 41") << waz << "41" << "Neplatný kód WAZ \"41\" (povoleny jsou hodnoty 1..40)!";

        QTest::newRow("time ok") << time << "12:30" << "";
        QTest::newRow("time seconds") << time << "12:30:59" << "";
        QTest::newRow("time empty") << time << "" << "Neplatný čas \"\"!";
        QTest::newRow("time 25h") << time << "25:00" << "Neplatný čas \"25:00\"!";
        QTest::newRow("date ok") << date << "12.03.2007" << "";
        QTest::newRow("date empty") << date << "" << "Neplatné datum \"\"!";
        QTest::newRow("date 30 Feb") << date << "30.02.2007" << "Neplatné datum \"30.02.2007\"!";

        QTest::newRow("lat 89") << lat << "89" << "";
        QTest::newRow("lat 90") << lat << "90" << "Jsou povoleny jen hodnoty 0..89";
        QTest::newRow("lat empty") << lat << "" << "Neplatná souřadnice";
        QTest::newRow("lon 179") << lon << "179" << "";
        QTest::newRow("lon 180") << lon << "180" << "Jsou povoleny jen hodnoty 0..179";
        QTest::newRow("minsec 0") << minSec << "0" << "";
        QTest::newRow("minsec 60") << minSec << "60" << "Jsou povoleny jen hodnoty 0..59";
        QTest::newRow("minsec x") << minSec << "x" << "Neplatná souřadnice";
        QTest::newRow("minsec -1") << minSec << "-1" << "Jsou povoleny jen hodnoty 0..59";
    }
    void checks()
    {
        QFETCH(Check, check);
        QFETCH(QString, text);
        QFETCH(QString, message);

        ScriptedMessages messages;
        QObject control;
        const bool passed = check(text, &control);
        QCOMPARE(passed, message.isEmpty());
        if (passed) {
            QVERIFY(messages.shown.isEmpty());
            QVERIFY(messages.focused.isEmpty());
            return;
        }
        QCOMPARE(messages.texts(), QStringList{message});
        QCOMPARE(messages.shown[0].type, mtError);
        QCOMPARE(messages.shown[0].buttons, TMsgDlgButtons(mbOK));
        QCOMPARE(messages.shown[0].defaultResult, int(mrOk));
        QCOMPARE(messages.focused.size(), 1);
        QCOMPARE(messages.lastFocused(), &control);
    }

    void silentTwins()
    {
        ScriptedMessages messages;
        QVERIFY(IsValidLocator(""));
        QVERIFY(IsValidLocator("jn79ab"));
        QVERIFY(!IsValidLocator("JN79"));
        QVERIFY(!IsValidLocator("JN79AY"));
        QVERIFY(!IsValidCall(""));
        QVERIFY(IsValidCall("ok1abc/p"));
        QVERIFY(!IsValidCall("OK1-ABC"));
        QVERIFY(IsValidIOTA("EU123"));
        QVERIFY(!IsValidIOTA("EU12"));
        QVERIFY(messages.shown.isEmpty());
    }

    // The message shows the text as typed, even when it looks like a placeholder.
    void textWithPercentSign()
    {
        ScriptedMessages messages;
        QObject control;
        QVERIFY(!CheckLocator("%1%2", &control));
        QCOMPARE(messages.lastText(), QString("Neplatný lokátor \"%1%2\"!"));
    }
};

QTEST_GUILESS_MAIN(TestKontrola)
#include "tst_kontrola.moc"
