// The ADIF reader: tags and their field handling, the completion of a record at its end,
// the duplicate check, the scanner's edge cases, and the sample files of other programs.

#include "ExportFixture.h"
#include "ImportTestSupport.h"

#include "radio/CharSet.h"
#include "export/Export.h"
#include "base/Crc32.h"
#include "base/Formats.h"
#include "radio/Amater.h"
#include "import/EmptyValue.h"
#include "import/ImportDupeIndex.h"
#include "log/LogConnection.h"
#include "import/MessageFormat.h"
#include "TempLog.h"
#include "base/VelkorError.h"
#include "log/VkrDatabase.h"

#include <QFile>
#include <QRandomGenerator>
#include <QSet>
#include <QSqlDatabase>
#include <QSqlQuery>
#include <QTest>

#include <cmath>

namespace
{

// A complete record; a test row leaves tags out of it and appends its own after it.
const QList<QPair<QByteArray, QByteArray>> BaseTags{
    {"QSO_DATE", "20240105"}, {"TIME_ON", "1230"}, {"CALL", "OK1AB"},  {"FREQ", "14.025"},
    {"MODE", "CW"},           {"RST_SENT", "599"}, {"RST_RCVD", "579"}};

QByteArray tag(const QByteArray &name, const QByteArray &data)
{
    return '<' + name + ':' + QByteArray::number(data.size()) + '>' + data;
}

QByteArray baseRecord(const QStringList &omit)
{
    QByteArray r;
    for (const auto &[name, data] : BaseTags)
        if (!omit.contains(QString::fromLatin1(name)))
            r += tag(name, data);
    return r;
}

QStringList withoutNumbers(const QStringList &lines)
{
    QStringList result;
    for (const QString &line : lines)
        result << line.mid(line.indexOf(u')') + 2);
    return result;
}

// The QSO the duplicate-check tests put into the log before reading a file.
TLogRecord loggedQso(double freq)
{
    TLogRecord q;
    q[fiDAT] = QDate(2024, 1, 5);
    q[fiUTC] = QTime(12, 30);
    q[fiCALL] = QStringLiteral("OK1AB");
    q[fiFREQ] = freq;
    q[fiMODE] = 1;
    return q;
}

} // namespace

class TestAdifImport : public QObject
{
    Q_OBJECT

private slots:
    void tagHashesAreTheCrcOfTheirNames_data()
    {
        QTest::addColumn<QByteArray>("name");
        QTest::addColumn<quint32>("hash");
        const QList<QPair<const char *, quint32>> tags{{"EOR", AdifTagEOR},
                                                       {"QSO_DATE", AdifTag::QSO_DATE},
                                                       {"TIME_ON", AdifTag::TIME_ON},
                                                       {"CALL", AdifTag::CALL},
                                                       {"FREQ", AdifTag::FREQ},
                                                       {"BAND", AdifTag::BAND},
                                                       {"MODE", AdifTag::MODE},
                                                       {"RST_SENT", AdifTag::RST_SENT},
                                                       {"RST_RCVD", AdifTag::RST_RCVD},
                                                       {"NAME", AdifTag::NAME},
                                                       {"QTH", AdifTag::QTH},
                                                       {"STX", AdifTag::STX},
                                                       {"SRX", AdifTag::SRX},
                                                       {"MY_GRIDSQUARE", AdifTag::MY_GRIDSQUARE},
                                                       {"GRIDSQUARE", AdifTag::GRIDSQUARE},
                                                       {"WWL_RCVD", AdifTag::WWL_RCVD},
                                                       {"QSL_SENT", AdifTag::QSL_SENT},
                                                       {"QSL_RCVD", AdifTag::QSL_RCVD},
                                                       {"EQSL_RCVD", AdifTag::EQSL_RCVD},
                                                       {"QSL_VIA", AdifTag::QSL_VIA},
                                                       {"COMMENT", AdifTag::COMMENT},
                                                       {"NOTES", AdifTag::NOTES},
                                                       {"TX_PWR", AdifTag::TX_PWR},
                                                       {"DXCCP", AdifTag::DXCCP},
                                                       {"IOTA", AdifTag::IOTA},
                                                       {"ITUZ", AdifTag::ITUZ},
                                                       {"CQZ", AdifTag::CQZ},
                                                       {"AWARD", AdifTag::AWARD},
                                                       {"SUBMODE", AdifTag::SUBMODE},
                                                       {"NAME_INTL", AdifTag::NAME_INTL},
                                                       {"QTH_INTL", AdifTag::QTH_INTL},
                                                       {"COMMENT_INTL", AdifTag::COMMENT_INTL},
                                                       {"NOTES_INTL", AdifTag::NOTES_INTL}};
        for (const auto &[name, hash] : tags)
            QTest::newRow(name) << QByteArray(name) << hash;
    }
    void tagHashesAreTheCrcOfTheirNames()
    {
        QFETCH(QByteArray, name);
        QFETCH(quint32, hash);
        QCOMPARE(CalcCRC32(name.constData(), name.size()), hash);
    }

    void adifDateAndTime_data()
    {
        QTest::addColumn<QByteArray>("text");
        QTest::addColumn<bool>("isDate");
        QTest::addColumn<QString>("expected"); // empty: refused
        QTest::newRow("date") << QByteArray("20240229") << true << "2024-02-29";
        QTest::newRow("not a leap day") << QByteArray("20230229") << true << "";
        QTest::newRow("year 3xxx") << QByteArray("30240105") << true << "";
        QTest::newRow("month 20") << QByteArray("20242001") << true << "";
        QTest::newRow("day 40") << QByteArray("20240140") << true << "";
        QTest::newRow("seven digits") << QByteArray("2024011") << true << "";
        QTest::newRow("dashes") << QByteArray("2024-01-") << true << "";
        QTest::newRow("hhmm") << QByteArray("0959") << false << "09:59:00";
        QTest::newRow("hhmmss") << QByteArray("235959") << false << "23:59:59";
        QTest::newRow("hour 24") << QByteArray("2400") << false << "";
        QTest::newRow("minute 60") << QByteArray("1260") << false << "";
        QTest::newRow("five digits") << QByteArray("12345") << false << "";
        QTest::newRow("with colon") << QByteArray("12:30") << false << "";
    }
    void adifDateAndTime()
    {
        QFETCH(QByteArray, text);
        QFETCH(bool, isDate);
        QFETCH(QString, expected);
        if (isDate) {
            QDate d;
            QCOMPARE(ParseAdifDate(text.constData(), d), !expected.isEmpty());
            if (!expected.isEmpty())
                QCOMPARE(d.toString(Qt::ISODate), expected);
        } else {
            QTime t;
            QCOMPARE(ParseAdifTime(text.constData(), t), !expected.isEmpty());
            if (!expected.isEmpty())
                QCOMPARE(t.toString(u"hh:mm:ss"), expected);
        }
    }

    // One record: the base record without the tags of `omit`, then `extra`; the value
    // of one field and every message line of the record.
    void fields_data()
    {
        QTest::addColumn<QStringList>("omit");
        QTest::addColumn<QByteArray>("extra");
        QTest::addColumn<int>("field");
        QTest::addColumn<QVariant>("expected");
        QTest::addColumn<QStringList>("messages");
        const QStringList none;
        QTest::newRow("lower-case tag") << QStringList{"CALL"} << QByteArray("<call:6>ok1abc") << int(fiCALL)
                                        << QVariant("OK1ABC") << none;
        QTest::newRow("mixed-case tag") << QStringList{"QSO_DATE"} << QByteArray("<Qso_Date:8>19991231")
                                        << int(fiDAT) << QVariant(QDate(1999, 12, 31)) << none;
        QTest::newRow("invalid call")
            << QStringList{"CALL"} << QByteArray("<CALL:6>OK-1AB") << int(fiCALL) << QVariant()
            << QStringList{"Neplatná značka \"OK-1AB\" (může obsahovat jen znaky \"A-Z, "
                           "0-9, /\")!",
                           "Značka musí být zadána!"};
        QTest::newRow("invalid date")
            << none << QByteArray("<QSO_DATE:8>20241301") << int(fiDAT) << QVariant(QDate(2024, 1, 5))
            << QStringList{"Neplatné datum \"20241301\"!"};
        QTest::newRow("no time") << QStringList{"TIME_ON"} << QByteArray() << int(fiUTC) << QVariant()
                                 << QStringList{"Čas musí být zadán!"};
        QTest::newRow("NOTES keeps CR LF")
            << none << tag("NOTES", "first\r\nsecond") << int(fiNOTE) << QVariant("first\r\nsecond") << none;
        QTest::newRow("COMMENT drops CR LF")
            << none << tag("COMMENT", "first\r\nsecond") << int(fiNOTE) << QVariant("firstsecond") << none;
        QTest::newRow("COMMENT of type M") << none << QByteArray("<COMMENT:13:M>first\r\nsecond")
                                           << int(fiNOTE) << QVariant("first\r\nsecond") << none;
        QTest::newRow("zero length before <")
            << none << QByteArray("<NAME:0><QTH:5>Praha") << int(fiQTH) << QVariant("Praha") << none;
        QTest::newRow("zero length name stays empty")
            << none << QByteArray("<NAME:0><QTH:5>Praha") << int(fiNAME) << QVariant() << none;
        QTest::newRow("blanks trimmed")
            << none << tag("NAME", "  Jan  ") << int(fiNAME) << QVariant("Jan") << none;
        QTest::newRow("name cut to width")
            << none << tag("NAME", "Bartholomew Smith") << int(fiNAME) << QVariant("Bartholomew ") << none;
        QTest::newRow("name cut before a pair of surrogates")
            << none << tag("NAME", "Bartholomew\xF0\x9F\x93\xBB") << int(fiNAME) << QVariant("Bartholomew") << none;
        QTest::newRow("JN79 partner")
            << none << tag("GRIDSQUARE", "jn79") << int(fiLOCP) << QVariant("JN79MM") << none;
        QTest::newRow("WWL_RCVD") << none << tag("WWL_RCVD", "JO60AB") << int(fiLOCP) << QVariant("JO60AB")
                                  << none;
        QTest::newRow("bad partner locator") << none << tag("GRIDSQUARE", "ZZ99") << int(fiLOCP) << QVariant()
                                             << QStringList{"Neplatný lokátor \"ZZ99MM\"!"};
        QTest::newRow("JN79 own refused")
            << none << tag("MY_GRIDSQUARE", "JN79") << int(fiLOCO) << QVariant("JN79SX")
            << QStringList{"Neplatný vlastní lokátor \"JN79\"!"};
        QTest::newRow("own locator of 8") << none << tag("MY_GRIDSQUARE", "io84ni12") << int(fiLOCO)
                                          << QVariant("IO84NI")
                                          << QStringList{"Varování: Vlastní lokátor \"IO84NI12\" zkracuji na \"IO84NI\""};
        QTest::newRow("locator of 10") << none << tag("GRIDSQUARE", "JO70FC34AX") << int(fiLOCP) << QVariant("JO70FC")
                                       << QStringList{"Varování: Lokátor \"JO70FC34AX\" zkracuji na \"JO70FC\""};
        QTest::newRow("locator of 8, letters beyond")
            << none << tag("GRIDSQUARE", "JO70FCAB") << int(fiLOCP) << QVariant()
            << QStringList{"Neplatný lokátor \"JO70FCAB\"!"};
        QTest::newRow("own locator") << none << tag("MY_GRIDSQUARE", "jo70aa") << int(fiLOCO)
                                     << QVariant("JO70AA") << none;
        QTest::newRow("QSL_SENT q") << none << tag("QSL_SENT", "q") << int(fiQSLO) << QVariant(0) << none;
        QTest::newRow("QSL_SENT yes") << none << tag("QSL_SENT", "yes") << int(fiQSLO) << QVariant(1) << none;
        QTest::newRow("QSL_SENT R") << none << tag("QSL_SENT", "R") << int(fiQSLO) << QVariant(2) << none;
        QTest::newRow("QSL_SENT I") << none << tag("QSL_SENT", "i") << int(fiQSLO) << QVariant(3) << none;
        QTest::newRow("QSL_RCVD Y") << none << tag("QSL_RCVD", "Y") << int(fiQSLP) << QVariant(1) << none;
        QTest::newRow("QSL_RCVD R") << none << tag("QSL_RCVD", "R") << int(fiQSLP) << QVariant(0) << none;
        QTest::newRow("EQSL_RCVD y") << none << tag("EQSL_RCVD", "y") << int(fiEQSLP) << QVariant(1) << none;
        QTest::newRow("QSL_VIA") << none << tag("QSL_VIA", "OK1XYZ") << int(fiQSLVIA) << QVariant("OK1XYZ")
                                 << none;
        QTest::newRow("FREQ gives band") << none << QByteArray() << int(fiBAND) << QVariant(6) << none;
        QTest::newRow("BAND 20M gives FREQ")
            << QStringList{"FREQ"} << tag("BAND", "20M") << int(fiFREQ) << QVariant(14.0) << none;
        QTest::newRow("unknown BAND") << QStringList{"FREQ"} << tag("BAND", "11m") << int(fiBAND)
                                      << QVariant(28) << QStringList{"Frekvence musí být zadána!"};
        QTest::newRow("neither FREQ nor BAND") << QStringList{"FREQ"} << QByteArray() << int(fiFREQ)
                                               << QVariant(0.0) << QStringList{"Frekvence musí být zadána!"};
        QTest::newRow("neither: band 28") << QStringList{"FREQ"} << QByteArray() << int(fiBAND)
                                          << QVariant(28) << QStringList{"Frekvence musí být zadána!"};
        QTest::newRow("FREQ 15.5") << QStringList{"FREQ"} << tag("FREQ", "15.5") << int(fiBAND)
                                   << QVariant(28)
                                   << QStringList{
                                          "Varování: Frekvence 15,50 je mimo rozsah radioamatérských pásem!"};
        QTest::newRow("FREQ 15.5 kept")
            << QStringList{"FREQ"} << tag("FREQ", "15.5") << int(fiFREQ) << QVariant(15.5)
            << QStringList{"Varování: Frekvence 15,50 je mimo rozsah radioamatérských pásem!"};
        QTest::newRow("FREQ letters")
            << QStringList{"FREQ"} << tag("FREQ", "14.0x5") << int(fiFREQ) << QVariant(0.0)
            << QStringList{"Neplatná frekvence \"14.0x5\"!", "Frekvence musí být zadána!"};
        QTest::newRow("FREQ 0") << QStringList{"FREQ"} << tag("FREQ", "0") << int(fiFREQ) << QVariant(0.0)
                                << QStringList{"Frekvence musí být zadána!"};
        QTest::newRow("unknown mode")
            << QStringList{"MODE"} << tag("MODE", "ft8") << int(fiMODE) << QVariant(0)
            << QStringList{"Neplatný mód \"FT8\"!", "Mód musí být zadán!"};
        QTest::newRow("SUBMODE PSK31") << QStringList{"MODE"} << tag("MODE", "PSK") + tag("SUBMODE", "psk31")
                                       << int(fiMODE) << QVariant(6) << none;
        QTest::newRow("SUBMODE before MODE") << QStringList{"MODE"} << tag("SUBMODE", "PSK63") + tag("MODE", "PSK")
                                             << int(fiMODE) << QVariant(7) << none;
        QTest::newRow("SUBMODE outside the table")
            << QStringList{"MODE"} << tag("MODE", "MFSK") + tag("SUBMODE", "FT4") << int(fiMODE) << QVariant(13) << none;
        QTest::newRow("mode alias usb")
            << QStringList{"MODE"} << tag("MODE", "usb") << int(fiMODE) << QVariant(2) << none;
        QTest::newRow("SSB RSTo default")
            << QStringList{"MODE", "RST_SENT", "RST_RCVD"} << tag("MODE", "SSB") << int(fiRSTO)
            << QVariant("59")
            << QStringList{"Varování: Chybí RSTo - doplňuji defaultní hodnotu 59",
                           "Varování: Chybí RSTp - doplňuji defaultní hodnotu 59"};
        QTest::newRow("CW RSTp default")
            << QStringList{"RST_RCVD"} << QByteArray() << int(fiRSTP) << QVariant("599")
            << QStringList{"Varování: Chybí RSTp - doplňuji defaultní hodnotu 599"};
        QTest::newRow("RST cut to 3")
            << QStringList{"RST_SENT"} << tag("RST_SENT", "5999") << int(fiRSTO) << QVariant("599") << none;
        QTest::newRow("TX_PWR") << none << tag("TX_PWR", "2.5") << int(fiPWR) << QVariant(2.5) << none;
        QTest::newRow("TX_PWR letters")
            << none << tag("TX_PWR", "QRP") << int(fiPWR) << QVariant(100.0)
            << QStringList{"Varování: Neznámý výkon \"QRP\" - doplňuji defaultní hodnotu 100"};
        QTest::newRow("TX_PWR in words")
            << none << tag("TX_PWR", "fifty") << int(fiPWR) << QVariant(100.0)
            << QStringList{"Varování: Neznámý výkon \"fifty\" - doplňuji defaultní hodnotu 100"};
        QTest::newRow("TX_PWR 1.5kW") << none << tag("TX_PWR", "1.5kW") << int(fiPWR) << QVariant(1500.0) << none;
        QTest::newRow("TX_PWR 1 KW") << none << tag("TX_PWR", "1 KW") << int(fiPWR) << QVariant(1000.0) << none;
        QTest::newRow("TX_PWR 50W") << none << tag("TX_PWR", "50W") << int(fiPWR) << QVariant(50.0) << none;
        QTest::newRow("TX_PWR 5 W") << none << tag("TX_PWR", "5 W") << int(fiPWR) << QVariant(5.0) << none;
        QTest::newRow("TX_PWR 0.5w") << none << tag("TX_PWR", "0.5w") << int(fiPWR) << QVariant(0.5) << none;
        QTest::newRow("no TX_PWR") << none << QByteArray() << int(fiPWR) << QVariant(100.0) << none;
        QTest::newRow("IOTA EU-014") << none << tag("IOTA", "eu-014") << int(fiIOTA) << QVariant("EU014")
                                     << none;
        QTest::newRow("bad IOTA") << none << tag("IOTA", "E-14") << int(fiIOTA) << QVariant()
                                  << QStringList{"Neplatný formát IOTA!"};
        QTest::newRow("CQZ 55 gives entity WAZ")
            << none << tag("CQZ", "55") << int(fiWAZ) << QVariant(15)
            << QStringList{"Neplatný kód WAZ \"55\" (jsou povoleny hodnoty 1 až 40)!"};
        QTest::newRow("CQZ 14") << none << tag("CQZ", "14") << int(fiWAZ) << QVariant(14) << none;
        QTest::newRow("ITUZ 91") << none << tag("ITUZ", "91") << int(fiITU) << QVariant(28)
                                 << QStringList{"Neplatný kód ITU \"91\" (jsou povoleny hodnoty 1 až 90)!"};
        QTest::newRow("entity from call") << none << QByteArray() << int(fiDXCC) << QVariant("OK") << none;
        QTest::newRow("DXCCP wins") << none << tag("DXCCP", "dl") << int(fiDXCC) << QVariant("DL") << none;
        QTest::newRow("bad DXCCP") << none << tag("DXCCP", "D-L") << int(fiDXCC) << QVariant("OK")
                                   << QStringList{"Neplatný kód DXCC \"D-L\"!"};
        QTest::newRow("AWARD upper") << none << tag("AWARD", "wwff") << int(fiAWARD) << QVariant("WWFF")
                                     << none;
        QTest::newRow("QRB to locator")
            << none << tag("GRIDSQUARE", "JN79SX") << int(fiQRB) << QVariant(0.0) << none;
        QTest::newRow("QRB from file ignored")
            << none << tag("GRIDSQUARE", "JO70AA") + tag("QRB", "1") << int(fiQRB) << QVariant(123.0) << none;
        QTest::newRow("unknown tags ignored")
            << none << tag("APP_X_Y", "junk") + tag("STATE", "CA") << int(fiNAME) << QVariant() << none;
        QTest::newRow("EOR inside data")
            << none << tag("NAME", "<EOR>") << int(fiNAME) << QVariant("<EOR>") << none;
        // A writer that counts letters: the bytes it gives end before a blank or between
        // letters, and what it counted follows before the next tag.
        const QString counted =
            QStringLiteral("Varování: Délka hodnoty \"%1\" je v souboru udána ve znacích, ne v bajtech - načítám ji celou");
        QTest::newRow("letters counted, bytes end before a blank")
            << none << QByteArray("<QTH:20>Třebíč Ústí nad Labe") << int(fiQTH) << QVariant("Třebíč Ústí nad Labe")
            << QStringList{counted.arg("Třebíč Ústí nad Labe")};
        QTest::newRow("letters counted, a letter after the blank")
            << none << QByteArray("<NAME:10>Jiří Nov X") << int(fiNAME) << QVariant("Jiří Nov X")
            << QStringList{counted.arg("Jiří Nov X")};
        QTest::newRow("text between fields is no part of a value")
            << none << QByteArray("<NAME:6>Jiříx <QTH:5>Praha") << int(fiNAME) << QVariant("Jiří")
            << QStringList{"Varování: Za hodnotou \"Jiří\" stojí text \"x\", který podle délky pole k hodnotě "
                           "nepatří - vynechávám ho"};
        QTest::newRow("blanks between fields") << none << QByteArray("<NAME:6>Jiří \r\n <QTH:5>Praha") << int(fiNAME)
                                               << QVariant("Jiří") << none;
    }
    void fields()
    {
        QFETCH(QStringList, omit);
        QFETCH(QByteArray, extra);
        QFETCH(int, field);
        QFETCH(QVariant, expected);
        QFETCH(QStringList, messages);
        StagedImport im;
        im.read(baseRecord(omit) + extra + "<EOR>\n");
        QCOMPARE(im.count(), 1);
        const TLogRecord r = im.record(1);
        if (field == fiQRB && expected.toDouble() > 0)
            QVERIFY2(r[fiQRB].toDouble() > 50, qPrintable(r[fiQRB].toString())); // JN79SX to JO70AA
        else if (expected.isNull())
            QVERIFY2(r.isEmpty(field), qPrintable(r[field].toString()));
        else if (expected.typeId() == QMetaType::Double)
            QCOMPARE(r[field].toDouble(), expected.toDouble());
        else
            QCOMPARE(r[field].toString(), expected.toString());
        QStringList shown;
        for (const QString &line : withoutNumbers(im.messages()))
            shown << (line.startsWith(QStringLiteral("Chyba: ")) ? line.mid(7) : line);
        QCOMPARE(shown, messages);
    }

    void completionFillsEveryField()
    {
        StagedImport im;
        im.read(baseRecord({}) + "<EOR>");
        const TLogRecord r = im.record(1);
        QCOMPARE(r[fiLOCO].toString(), QString("JN79SX"));
        QCOMPARE(r[fiQSLO].toInt(), 0);
        QCOMPARE(r[fiQSLP].toInt(), 0);
        QCOMPARE(r[fiEQSLP].toInt(), 0);
        QCOMPARE(r[fiITU].toInt(), 28);
        QCOMPARE(r[fiWAZ].toInt(), 15);
        QCOMPARE(r[fiQRB].toDouble(), 0.0 + DistanceFromOwnLocatorProbe());
        QCOMPARE(r[fiUTC].toTime(), QTime(12, 30));
    }

    void stxSrxAndReplacedNote()
    {
        TImportOptions o = adifOptions();
        o.StxSrxToNameQth = true;
        o.ReplaceNote = true;
        o.Note = QStringLiteral("Expedice");
        StagedImport im;
        im.read(baseRecord({}) + tag("NAME", "Jan") + tag("STX", "001") + tag("SRX", "042") +
                    tag("QTH", "Brno") + tag("COMMENT", "tnx") + "<EOR>",
                o);
        const TLogRecord r = im.record(1);
        QCOMPARE(r[fiNAME].toString(), QString("001"));
        QCOMPARE(r[fiQTH].toString(), QString("042"));
        QCOMPARE(r[fiNOTE].toString(), QString("Expedice"));
    }

    void codePagesOfTextFields()
    {
        TImportOptions o = adifOptions();
        o.CharSet = CodePage852;
        StagedImport im;
        // "Kůň" in CP852: u-ring 0x85, n-caron 0xE5; the call sign is never converted.
        im.read(baseRecord({}) + tag("NAME", "K\x85\xE5") + "<EOR>", o);
        QCOMPARE(im.record(1)[fiNAME].toString(), QString::fromUtf8("Kůň"));
    }

    void messageNumbersNameTheirRecord()
    {
        StagedImport im;
        im.read(baseRecord({}) + "<EOR>" + baseRecord({"CALL"}) + "<EOR>" + baseRecord({}) +
                tag("IOTA", "X") + "<EOR>");
        QCOMPARE(im.count(), 3);
        QCOMPARE(im.messages(),
                 QStringList({"(2) Chyba: Značka musí být zadána!", "(3) Chyba: Neplatný formát IOTA!"}));
        QCOMPARE(im.staging->Errors, 2);
        im.staging->ShowSummary();
        QCOMPARE(im.messages().mid(0, 5),
                 QStringList({"Importovaných QSO: 3", "Vynechaných QSO: 0", "Počet chyb: 2",
                              "Počet varování: 0", QString(74, u'-')}));
        QCOMPARE(TImportStaging::RecordNumberOfLine(im.messages().at(6)), 3);
        QCOMPARE(TImportStaging::RecordNumberOfLine(im.messages().at(0)), 0);
    }

    void messageTexts_data()
    {
        QTest::addColumn<QString>("format");
        QTest::addColumn<QVariantList>("args");
        QTest::addColumn<QString>("expected"); // empty: cannot be formatted
        QTest::newRow("text") << "Neplatný mód \"%0:s\"!" << QVariantList{"FT8"} << "Neplatný mód \"FT8\"!";
        QTest::newRow("text holding a placeholder") << "a %0:s b" << QVariantList{"%1:s %%"} << "a %1:s %% b";
        QTest::newRow("empty text") << "[%0:s]" << QVariantList{QString()} << "[]";
        QTest::newRow("number as text") << "%0:s" << QVariantList{42} << "42";
        QTest::newRow("real as text") << "%0:s" << QVariantList{14.5} << "14.5";
        QTest::newRow("date as text") << "%0:s" << QVariantList{QDate(2024, 1, 5)} << "2024-01-05";
        QTest::newRow("list as text") << "%0:s" << QVariantList{QVariant(QVariantList{1})} << "";
        QTest::newRow("float") << "Frekvence %0:f je mimo" << QVariantList{15.5} << "Frekvence 15,50 je mimo";
        QTest::newRow("number") << "%0:d spojení, %1:s" << QVariantList{3, "ok"} << "3 spojení, ok";
        QTest::newRow("percent") << "100 %%" << QVariantList{} << "100 %";
        QTest::newRow("missing argument") << "%1:s" << QVariantList{"a"} << "";
        QTest::newRow("text as number") << "%0:d" << QVariantList{"abc"} << "";
        QTest::newRow("broken placeholder") << "50 %" << QVariantList{} << "";
        QTest::newRow("unknown type") << "%0:x" << QVariantList{1} << "";
    }
    void messageTexts()
    {
        QFETCH(QString, format);
        QFETCH(QVariantList, args);
        QFETCH(QString, expected);
        QCOMPARE(FormatMessageText(format, args).value_or(QString()), expected);
        // Neither kind of line ends the import over a text that cannot be formatted.
        StagedImport im;
        QCOMPARE(im.staging->AddError(format, args), !expected.isEmpty());
        QCOMPARE(im.staging->AddWarning(format, args), !expected.isEmpty());
        QCOMPARE(im.staging->Errors + im.staging->Warnings, expected.isEmpty() ? 0 : 2);
        // A line that could not be formatted leaves nothing in the next one.
        QVERIFY(im.staging->AddError(QStringLiteral("dál")));
        const QStringList lines = expected.isEmpty()
                                      ? QStringList{}
                                      : QStringList{"(1) Chyba: " + expected, "(1) Varování: " + expected};
        QCOMPARE(im.messages(), lines + QStringList{"(1) Chyba: dál"});
    }

    // "%0:f" writes a number as the program's two-decimal format does.
    void messageNumbersAsTheFormatWritesThem()
    {
        QList<double> values{0.0, -0.0, 0.005, 0.015, 0.025, -0.005, 1.005, 2.675, 15.5, 144.30499999999998,
                             99.995, 999999999.995, 1e15, 1e20, -14.025, 1e-300, std::nan(""), HUGE_VAL, -HUGE_VAL};
        QRandomGenerator rng(2026);
        for (int i = 0; i < 400; ++i)
            values << std::ldexp(rng.generateDouble() - 0.3, int(rng.bounded(-10, 40)));
        for (const double value : values)
            QCOMPARE(FormatMessageText(QStringLiteral("%0:f"), {value}).value_or(QStringLiteral("(none)")),
                     Formats::formatFloat(QStringLiteral("0.00"), value));
    }

    void messageLinesCarryTheRecordNumber_data()
    {
        QTest::addColumn<int>("posted");
        for (int posted : {0, 8, 9, 10, 98, 99, 100, 999, 1000, 12344})
            QTest::newRow(qPrintable(QString::number(posted))) << posted;
    }
    void messageLinesCarryTheRecordNumber()
    {
        QFETCH(int, posted);
        StagedImport im;
        im.staging->BeginFill();
        TLogRecord r;
        r[fiCALL] = QStringLiteral("OK1ABC");
        for (int i = 0; i < posted; ++i)
            im.staging->Post(r);
        im.staging->EndFill();
        QVERIFY(im.staging->AddWarning(QStringLiteral("Chybí %0:s"), {QStringLiteral("RSTo")}));
        QCOMPARE(im.messages(), QStringList{QStringLiteral("(%1) Varování: Chybí RSTo").arg(posted + 1)});
        QCOMPARE(TImportStaging::RecordNumberOfLine(im.messages().at(0)), posted + 1);
    }

    void duplicatesAreSkippedWithTheirLines()
    {
        TempLog log;
        TLogRecord q = loggedQso(14.025);
        LogTable(log.connectionName()).Insert(q);
        TImportDupeIndex dupes(log.connectionName());
        QCOMPARE(dupes.Count(), 1);

        StagedImport im;
        // The duplicate has a refused IOTA and a missing RST; the other differs in the frequency.
        im.read(baseRecord({"RST_SENT"}) + tag("IOTA", "X") + "<EOR>" + baseRecord({"FREQ"}) +
                    tag("FREQ", "14.026") + "<EOR>" + baseRecord({}) + tag("call", "ok1ab") + "<EOR>",
                adifOptions(), &dupes);
        QCOMPARE(im.count(), 1);
        QCOMPARE(im.staging->Skipped, 2);
        QCOMPARE(im.staging->Imported, 1);
        QCOMPARE(im.messages(), QStringList());
        QCOMPARE(im.staging->Errors, 0);
        QCOMPARE(im.staging->Warnings, 0);
        QCOMPARE(im.record(1)[fiFREQ].toDouble(), 14.026);
    }

    // The log's values in other forms than this program stores them are compared as they
    // read: a frequency in text, a mode as a real, a time with milliseconds still meet
    // the QSO; a date that is not "YYYY-MM-DD" meets none.
    void duplicateCheckReadsOddlyStoredValues_data()
    {
        QTest::addColumn<QString>("column");
        QTest::addColumn<QString>("stored");
        QTest::addColumn<bool>("duplicate");
        QTest::newRow("as stored") << "CALL" << "'OK1AB'" << true;
        QTest::newRow("frequency as text") << "FREQ" << "'14.025'" << true;
        QTest::newRow("frequency as other text") << "FREQ" << "'14.026'" << false;
        QTest::newRow("mode as real") << "MODE" << "1.0" << true;
        QTest::newRow("mode as text") << "MODE" << "'1'" << true;
        QTest::newRow("time with milliseconds") << "UTC" << "'12:30:00.000'" << true;
        QTest::newRow("time of another second") << "UTC" << "'12:30:01'" << false;
        QTest::newRow("unpadded date") << "DAT" << "'2024-1-05'" << false;
        QTest::newRow("date with a letter") << "DAT" << "'2024-01-0x'" << false;
        QTest::newRow("call in lower case") << "CALL" << "'ok1ab'" << false;
        QTest::newRow("call as blob") << "CALL" << "x'4F4B314142'" << true;
        QTest::newRow("no frequency") << "FREQ" << "NULL" << false;
    }
    void duplicateCheckReadsOddlyStoredValues()
    {
        QFETCH(QString, column);
        QFETCH(QString, stored);
        QFETCH(bool, duplicate);
        TempLog log;
        TLogRecord q = loggedQso(14.025);
        const qint64 id = LogTable(log.connectionName()).Insert(q);
        QSqlQuery update(QSqlDatabase::database(log.connectionName()));
        QVERIFY(update.exec(QStringLiteral("UPDATE log SET %1=%2 WHERE ID=%3").arg(column, stored).arg(id)));
        TImportDupeIndex dupes(log.connectionName());
        QCOMPARE(dupes.Count(), 1);
        QCOMPARE(dupes.Contains(q), duplicate);
    }

    // Call signs meet exactly when their texts are the same, whatever they hold.
    void duplicateCallsAsTheirTexts_data()
    {
        QTest::addColumn<QVariant>("logged");
        QTest::addColumn<QVariant>("read");
        QTest::addColumn<bool>("duplicate");
        const QString longCall = QStringLiteral("OK1ABCDEFGHIJKL"); // the full width
        QTest::newRow("same") << QVariant("OK1AB") << QVariant("OK1AB") << true;
        QTest::newRow("other") << QVariant("OK1AB") << QVariant("OK1AC") << false;
        QTest::newRow("longer") << QVariant("OK1AB") << QVariant("OK1AB/P") << false;
        QTest::newRow("shorter") << QVariant("OK1AB/P") << QVariant("OK1AB") << false;
        QTest::newRow("long") << QVariant(longCall) << QVariant(longCall) << true;
        QTest::newRow("long, last differs") << QVariant(longCall) << QVariant(longCall.chopped(1) + u'Q') << false;
        QTest::newRow("diacritics") << QVariant(QString::fromUtf8("OK1ÁB")) << QVariant(QString::fromUtf8("OK1ÁB")) << true;
        QTest::newRow("diacritics against ASCII") << QVariant(QString::fromUtf8("OK1ÁB")) << QVariant("OK1AB") << false;
        QTest::newRow("full width with diacritics") << QVariant(QString::fromUtf8("OK1ÁBCDEFGHIJKL"))
                                                    << QVariant(QString::fromUtf8("OK1ÁBCDEFGHIJKL")) << true;
        QTest::newRow("stored cut at the width") << QVariant(longCall + "MNOP") << QVariant(longCall) << true;
        QTest::newRow("beyond the BMP") << QVariant(QStringLiteral("OK\U0001F4FB")) << QVariant(QStringLiteral("OK\U0001F4FB"))
                                        << true;
        QTest::newRow("none against none") << QVariant() << QVariant() << true;
        QTest::newRow("none against empty") << QVariant() << QVariant(QString()) << true;
        QTest::newRow("none against a call") << QVariant() << QVariant("OK1AB") << false;
        QTest::newRow("number as call") << QVariant("42") << QVariant(42) << true;
    }
    void duplicateCallsAsTheirTexts()
    {
        QFETCH(QVariant, logged);
        QFETCH(QVariant, read);
        QFETCH(bool, duplicate);
        TempLog log;
        TLogRecord q = loggedQso(14.025);
        q[fiCALL] = logged;
        LogTable(log.connectionName()).Insert(q);
        TImportDupeIndex dupes(log.connectionName());
        q[fiCALL] = read;
        QCOMPARE(dupes.Contains(q), duplicate);
    }

    // A staged record is stored value for value and type for type as the log's own
    // insert stores it (the review and the append read it back so).
    void stagedValuesAreStoredAsTheLogStoresThem()
    {
        TLogRecord r;
        r[fiDAT] = QDate(2024, 1, 5);
        r[fiUTC] = QTime(12, 30, 7);
        r[fiCALL] = QStringLiteral("OK1ABC/P");
        r[fiFREQ] = 14.0255;
        r[fiBAND] = 5;
        r[fiMODE] = 1;
        r[fiNAME] = QStringLiteral("Jiří Šťastný");
        r[fiQTH] = QString(200, u'x'); // longer than the field
        r[fiPWR] = 0.5;
        r[fiQRB] = 1234.0;
        r[fiITU] = 28;
        r[fiNOTE] = QString(); // empty: stored as nothing
        StagedImport im;
        im.staging->BeginFill();
        im.staging->Post(r);
        im.staging->EndFill();

        TempLog log;
        const qint64 id = LogTable(log.connectionName()).Insert(r);
        const auto columns = [](const QString &connection, qint64 rowId) {
            QSqlQuery q(QSqlDatabase::database(connection));
            QStringList parts;
            for (int field = 1; field < LogFieldCount; ++field)
                parts << QStringLiteral("typeof(%1)||':'||quote(%1)").arg(LogFieldNames[field]);
            q.exec(QStringLiteral("SELECT %1 FROM log WHERE ID=%2").arg(parts.join(u','), QString::number(rowId)));
            QStringList values;
            if (q.next())
                for (int i = 0; i < LogFieldCount - 1; ++i)
                    values << q.value(i).toString();
            return values;
        };
        const QStringList staged = columns(im.staging->ConnectionName(), 1);
        QCOMPARE(staged.size(), LogFieldCount - 1);
        QCOMPARE(staged, columns(log.connectionName(), id));
    }

    // Value by value, whatever type an importer hands over: the staged column holds what
    // the log's own insert stores (same type, same bytes), or the post fails as it does.
    void stagedValueOfEveryKind_data()
    {
        QTest::addColumn<int>("field");
        QTest::addColumn<QVariant>("value");
        QTest::newRow("date") << int(fiDAT) << QVariant(QDate(2024, 2, 29));
        QTest::newRow("date of year 1") << int(fiDAT) << QVariant(QDate(1, 1, 1));
        QTest::newRow("date of year 999") << int(fiDAT) << QVariant(QDate(999, 12, 31));
        QTest::newRow("date of year 9999") << int(fiDAT) << QVariant(QDate(9999, 12, 31));
        QTest::newRow("date of year 10000") << int(fiDAT) << QVariant(QDate(10000, 1, 1));
        QTest::newRow("date before Christ") << int(fiDAT) << QVariant(QDate(-5, 3, 1));
        QTest::newRow("invalid date") << int(fiDAT) << QVariant(QDate());
        QTest::newRow("date and time as date") << int(fiDAT) << QVariant(QDateTime(QDate(2024, 1, 5), QTime(23, 59)));
        QTest::newRow("date as text") << int(fiDAT) << QVariant(QStringLiteral("5.1.2024"));
        QTest::newRow("time") << int(fiUTC) << QVariant(QTime(7, 5, 9));
        QTest::newRow("time with milliseconds") << int(fiUTC) << QVariant(QTime(23, 59, 59, 999));
        QTest::newRow("midnight") << int(fiUTC) << QVariant(QTime(0, 0));
        QTest::newRow("invalid time") << int(fiUTC) << QVariant(QTime());
        QTest::newRow("time as text") << int(fiUTC) << QVariant(QStringLiteral("12:30"));
        QTest::newRow("date in the time") << int(fiUTC) << QVariant(QDate(2024, 1, 5));
        QTest::newRow("text") << int(fiCALL) << QVariant(QStringLiteral("OK1ABC/P"));
        QTest::newRow("text of the full width") << int(fiCALL) << QVariant(QString(LogFieldSizes[fiCALL], u'W'));
        QTest::newRow("text over the width") << int(fiNOTE) << QVariant(QString(400, u'n'));
        QTest::newRow("letters with diacritics") << int(fiNAME) << QVariant(QStringLiteral("Jiří Šťastný"));
        QTest::newRow("diacritics past the width") << int(fiCALL) << QVariant(QString(LogFieldSizes[fiCALL], u'A') + u'Ř');
        QTest::newRow("pair past the width") << int(fiCALL) << QVariant(QString(LogFieldSizes[fiCALL], u'A') + QStringLiteral("\U0001F4FB"));
        QTest::newRow("pair within the width") << int(fiNAME) << QVariant(QStringLiteral("Jan \U0001F4FB"));
        QTest::newRow("control characters") << int(fiQTH) << QVariant(QStringLiteral("a\tb\x01"));
        QTest::newRow("empty text") << int(fiQTH) << QVariant(QStringLiteral(""));
        QTest::newRow("number in a text") << int(fiQTH) << QVariant(42);
        QTest::newRow("real") << int(fiFREQ) << QVariant(14.0255);
        QTest::newRow("negative zero") << int(fiFREQ) << QVariant(-0.0);
        QTest::newRow("not a number") << int(fiFREQ) << QVariant(std::nan(""));
        QTest::newRow("infinity") << int(fiQRB) << QVariant(HUGE_VAL);
        QTest::newRow("whole number as real") << int(fiPWR) << QVariant(100);
        QTest::newRow("real as text") << int(fiPWR) << QVariant(QStringLiteral("0,5"));
        QTest::newRow("text no real") << int(fiPWR) << QVariant(QStringLiteral("x"));
        QTest::newRow("small integer") << int(fiITU) << QVariant(28);
        QTest::newRow("zero") << int(fiQSLO) << QVariant(0);
        QTest::newRow("smallest small integer") << int(fiWAZ) << QVariant(-32768);
        QTest::newRow("largest small integer") << int(fiWAZ) << QVariant(32767);
        QTest::newRow("above a small integer") << int(fiWAZ) << QVariant(32768);
        QTest::newRow("below a small integer") << int(fiWAZ) << QVariant(-32769);
        QTest::newRow("64-bit integer") << int(fiBAND) << QVariant(qint64(5));
        QTest::newRow("real in a small integer") << int(fiMODE) << QVariant(2.0);
        QTest::newRow("fraction in a small integer") << int(fiMODE) << QVariant(2.5);
        QTest::newRow("truth") << int(fiEQSLP) << QVariant(true);
        // What a driver hands over for NULL: a variant of the column's type holding nothing.
        QTest::newRow("null real") << int(fiFREQ) << QVariant(QMetaType::fromType<double>());
        QTest::newRow("null small integer") << int(fiITU) << QVariant(QMetaType::fromType<int>());
        QTest::newRow("null text") << int(fiQTH) << QVariant(QMetaType::fromType<QString>());
        QTest::newRow("null date") << int(fiDAT) << QVariant(QMetaType::fromType<QDate>());
        QTest::newRow("null time") << int(fiUTC) << QVariant(QMetaType::fromType<QTime>());
        QTest::newRow("null 64-bit integer") << int(fiBAND) << QVariant(QMetaType::fromType<qint64>());
    }
    void stagedValueOfEveryKind()
    {
        QFETCH(int, field);
        QFETCH(QVariant, value);
        TLogRecord r;
        r[fiCALL] = QStringLiteral("OK1AB");
        r[field] = value;
        const QString column = QStringLiteral("typeof(%1)||':'||quote(%1)").arg(LogFieldNames[field]);
        const auto stored = [&](const QString &connection, qint64 id) {
            QSqlQuery q(QSqlDatabase::database(connection));
            q.exec(QStringLiteral("SELECT %1 FROM log WHERE ID=%2").arg(column).arg(id));
            return q.next() ? q.value(0).toString() : QStringLiteral("(no row)");
        };

        TempLog log;
        QString expected = QStringLiteral("(failed)");
        try {
            expected = stored(log.connectionName(), LogTable(log.connectionName()).Insert(r));
        } catch (const EVelkorError &) {
        }
        StagedImport im;
        im.staging->BeginFill();
        QString staged = QStringLiteral("(failed)");
        try {
            im.staging->Post(r);
            staged = stored(im.staging->ConnectionName(), 1);
        } catch (const EVelkorError &) {
        }
        im.staging->EndFill();
        QCOMPARE(staged, expected);
        // The texts of one row are no longer needed by the next.
        TLogRecord next;
        next[fiCALL] = QStringLiteral("OK2XYZ");
        im.staging->BeginFill();
        im.staging->Post(next);
        im.staging->EndFill();
        QCOMPARE(im.record(im.staging->NextRecordNumber() - 1)[fiCALL].toString(), QStringLiteral("OK2XYZ"));
    }

    void emptyAsTheLogTellsIt_data()
    {
        QTest::addColumn<QVariant>("value");
        QTest::newRow("nothing") << QVariant();
        QTest::newRow("null text") << QVariant(QString());
        QTest::newRow("empty text") << QVariant(QStringLiteral(""));
        QTest::newRow("blank") << QVariant(QStringLiteral(" "));
        QTest::newRow("text") << QVariant(QStringLiteral("OK1AB"));
        QTest::newRow("text holding nothing") << QVariant(QMetaType::fromType<QString>());
        QTest::newRow("invalid date") << QVariant(QDate());
        QTest::newRow("date") << QVariant(QDate(2024, 1, 5));
        QTest::newRow("date holding nothing") << QVariant(QMetaType::fromType<QDate>());
        QTest::newRow("invalid time") << QVariant(QTime());
        QTest::newRow("midnight") << QVariant(QTime(0, 0));
        QTest::newRow("time holding nothing") << QVariant(QMetaType::fromType<QTime>());
        QTest::newRow("invalid date and time") << QVariant(QDateTime());
        QTest::newRow("date and time") << QVariant(QDateTime(QDate(2024, 1, 5), QTime(1, 2)));
        QTest::newRow("zero") << QVariant(0.0);
        QTest::newRow("not a number") << QVariant(std::nan(""));
        QTest::newRow("real holding nothing") << QVariant(QMetaType::fromType<double>());
        QTest::newRow("whole zero") << QVariant(0);
        QTest::newRow("whole holding nothing") << QVariant(QMetaType::fromType<int>());
        QTest::newRow("64-bit holding nothing") << QVariant(QMetaType::fromType<qint64>());
        QTest::newRow("empty bytes") << QVariant(QByteArray());
        QTest::newRow("bytes") << QVariant(QByteArray("x"));
        QTest::newRow("false") << QVariant(false);
        QTest::newRow("negative whole") << QVariant(-1);
        const auto converted = [](const QString &text, QMetaType type) {
            QVariant v(text);
            v.convert(type);
            return v;
        };
        QTest::newRow("real from text") << converted(QStringLiteral("1.5"), QMetaType::fromType<double>());
        QTest::newRow("real from no number") << converted(QStringLiteral("x"), QMetaType::fromType<double>());
        QTest::newRow("whole from no number") << converted(QStringLiteral("x"), QMetaType::fromType<int>());
        QTest::newRow("date from no date") << converted(QStringLiteral("x"), QMetaType::fromType<QDate>());
        QTest::newRow("null pointer") << QVariant::fromValue(static_cast<QObject *>(nullptr));
    }
    void emptyAsTheLogTellsIt()
    {
        QFETCH(QVariant, value);
        QCOMPARE(IsEmptyImportValue(value), IsEmptyLogValue(value));
        QCOMPARE(ImportValueTypeId(value), value.typeId());
    }

    // Rows that hand over the same text again, shared or as a copy, in place changed, in
    // another field, cut at the width or beyond ASCII, are stored each as the log stores it.
    void stagedTextsSharedFromRowToRow()
    {
        // Texts of their own buffers (a literal's static data is never shared).
        const QString jan = QString::fromLatin1("Jan"), wide(40, u'w'), czech = QString::fromUtf8("Jiří");
        QList<TLogRecord> rows;
        const auto add = [&](const QVariant &name, const QVariant &qth) {
            TLogRecord r;
            r[fiCALL] = QStringLiteral("OK1AB");
            r[fiNAME] = name;
            r[fiQTH] = qth;
            rows << r;
        };
        add(jan, jan);
        add(jan, jan);
        add(QString(jan.constData(), jan.size()), jan);
        add(QStringLiteral("Jan"), QVariant());
        add(jan, QString());
        add(wide, wide);
        add(wide, wide);
        add(czech, czech);
        add(jan, czech);
        add(czech, jan);
        add(jan.left(2), jan);
        add(42, jan);
        add(jan, jan);
        add(jan, czech);
        add(jan, jan);
        add(jan, 7);
        add(jan, jan);
        StagedImport im;
        im.staging->BeginFill();
        QList<TLogRecord> changed = rows;
        for (TLogRecord &r : changed) {
            im.staging->Post(r);
            // The caller changes its text in place after the row is written.
            auto *name = static_cast<QString *>(r[fiNAME].data());
            if (r[fiNAME].typeId() == QMetaType::QString && !name->isEmpty()) {
                (*name)[0] = u'X';
                im.staging->Post(r);
            }
        }
        im.staging->EndFill();
        TempLog log;
        LogTable table(log.connectionName());
        qint64 id = 0;
        for (TLogRecord r : rows) {
            for (int pass = 0; pass < 2; ++pass) {
                const TLogRecord staged = im.record(++id);
                TLogRecord logged;
                QVERIFY(table.FindKey(table.Insert(r), logged));
                QCOMPARE(staged[fiNAME], logged[fiNAME]);
                QCOMPARE(staged[fiQTH], logged[fiQTH]);
                auto *name = static_cast<QString *>(r[fiNAME].data());
                if (r[fiNAME].typeId() != QMetaType::QString || name->isEmpty())
                    break;
                (*name)[0] = u'X';
            }
        }
        QCOMPARE(id, im.count());
    }

    // The duplicate check holds a frequency as its four-decimal text stands: two
    // frequencies meet exactly when the export writes them alike, near a half of the
    // fourth decimal, at any size, and on both sides of the ranges that need no text.
    void frequencyKeyMatchesTheExportedText_data()
    {
        QTest::addColumn<QList<double>>("freqs");
        const auto around = [](double x) {
            return QList<double>{x, std::nextafter(x, 0.0), std::nextafter(x, HUGE_VAL),
                                 x * (1 - 1e-15), x * (1 + 1e-15), x - 5e-5, x + 5e-5};
        };
        QTest::newRow("halves of the fourth decimal") << around(14.02505) + around(0.13575) + around(7.03245);
        QTest::newRow("exact steps") << around(14.025) + around(3.5) + around(144.3);
        QTest::newRow("large") << around(10368.09995) + around(999999999.99995) + around(1e9) + around(123456789.12345);
        QTest::newRow("small") << around(0.001) + around(0.00095) + around(0.00005) + around(4e-5) + around(1e-300);
        QTest::newRow("zero and below") << QList<double>{0.0, -0.0, -0.00004, -14.025, -14.02505, -1e-300};
        QTest::newRow("huge") << around(1e15) + around(1e300) + QList<double>{HUGE_VAL, -HUGE_VAL};
        QList<double> random;
        QRandomGenerator rng(26);
        for (int i = 0; i < 300; ++i) {
            const double x = std::ldexp(rng.generateDouble() + 0.5, int(rng.bounded(-12, 34)));
            random << x << std::round(x * 1e4) / 1e4 + 5e-5 << std::round(x * 1e4) / 1e4 + 4.9999e-5;
        }
        QTest::newRow("random") << random;
    }
    void frequencyKeyMatchesTheExportedText()
    {
        QFETCH(QList<double>, freqs);
        TempLog log;
        LogTable table(log.connectionName());
        for (double freq : freqs)
            table.Insert(loggedQso(freq));
        TImportDupeIndex dupes(log.connectionName());
        QSet<QString> texts;
        for (double freq : freqs)
            texts << Formats::formatFloat(QStringLiteral("0.0000"), freq);
        for (double freq : freqs) {
            for (double other : {freq, std::nextafter(freq, 0.0), freq * (1 + 3e-16), freq + 1e-4, freq - 5e-5}) {
                const bool written = texts.contains(Formats::formatFloat(QStringLiteral("0.0000"), other));
                if (dupes.Contains(loggedQso(other)) != written)
                    QFAIL(qPrintable(QStringLiteral("%1 against the log: %2").arg(other, 0, 'g', 17).arg(written)));
            }
        }
    }

    // A number of a field is what the general conversion makes of it (the first "." the
    // decimal separator), whether the reader takes it from the bytes or not.
    void numbersAsTheGeneralConversionReadsThem_data()
    {
        QTest::addColumn<QByteArray>("text");
        for (const char *text :
             {"14.025", "0", "0.5", "7", "144.3000000", "10368.1", "1.7976931348623157", "0.1", "3.14159265358979323846",
              "14.0250000000000000000000000000000000000000000000000000001", "12345678901234567890", "007", "00.5",
              "0.", "1.", ".5", "1.2.3", "14,025", "1,5.2", "+14.0", "-14.0", "1e3", "1E-2", "0x10", "inf", "nan",
              "1e400", " 14.5 ", "14 .5", "14.5x", "x14.5", "\xE8" "14", "1" "\xA0", "99999999999999999999999999999999999999999999999999999999999999999",
              "1.0000000000000000000000000000000000000000000000000000000000000001"})
            QTest::newRow(text) << QByteArray(text);
    }
    void numbersAsTheGeneralConversionReadsThem()
    {
        QFETCH(QByteArray, text);
        QString general = Win1250ToUnicode(text).trimmed();
        if (const qsizetype dot = general.indexOf(u'.'); dot >= 0)
            general[dot] = Formats::DecimalSeparator;
        double expected = 0;
        const bool valid = Formats::tryStrToFloat(general, expected);
        StagedImport im;
        im.read(baseRecord({"FREQ"}) + tag("FREQ", text) + tag("TX_PWR", text) + "<EOR>");
        const TLogRecord r = im.record(1);
        QCOMPARE(r[fiPWR].toDouble(), valid ? expected : 100.0);
        if (valid && expected != 0)
            QCOMPARE(r[fiFREQ].toDouble(), expected);
        else
            QCOMPARE(r[fiFREQ].toDouble(), 0.0);
        const bool refused =
            im.messages().filter(QStringLiteral("Neplatná frekvence \"%1\"!").arg(Win1250ToUnicode(text).trimmed())).size() == 1;
        QCOMPARE(refused, !valid);
    }

    // Mode names, also when the same ones come again and again, in any case, as aliases,
    // and more of them than are kept from one record to the next.
    void modeNamesOfManyRecords()
    {
        QList<QByteArray> names{"CW", "cw", "USB", "lsb", "PHONE", "FT8", "RTTY", "TTY", "PSK31", "BPSK", "C;W", "CW ",
                                "ŠSB", "PACTOR II", "MFSK16", "OLIVIA", "CONTESTIA", "X"};
        for (int i = 0; i < 300; ++i)
            names << "M" + QByteArray::number(i);
        QByteArray adif;
        for (int round = 0; round < 2; ++round)
            for (const QByteArray &name : names)
                adif += baseRecord({"MODE"}) + tag("MODE", name) + "<EOR>";
        StagedImport im;
        im.read(adif);
        QCOMPARE(im.count(), 2 * names.size());
        for (int i = 0; i < 2 * names.size(); ++i) {
            const QString name = Win1250ToUnicode(names[i % names.size()]).trimmed().toUpper();
            QCOMPARE(im.record(i + 1)[fiMODE].toInt(), GetModeIndexDef(name, 0));
        }
    }

    // A value that a record repeats from the one before is taken over exactly as if the
    // record stood alone in its file: every field and every line. Each record is read
    // again by itself, after a header that holds the whole file's bytes (tags blanked),
    // so that the file's code is told the same way.
    void recordsReadAsIfAlone_data()
    {
        QTest::addColumn<QList<QByteArray>>("records");
        QTest::addColumn<int>("charSet");
        QTest::addColumn<bool>("stxSrx");
        const auto fields = [](const QList<QPair<QByteArray, QByteArray>> &tags) {
            QByteArray r = baseRecord({"CALL", "MODE", "FREQ", "RST_SENT"});
            for (const auto &[name, data] : tags)
                r += tag(name, data);
            return r;
        };
        const QByteArray common = tag("CALL", "OK1AB") + tag("MODE", "CW") + tag("FREQ", "14.025");
        const auto same = [&](const QByteArray &name, const QList<QByteArray> &values) {
            QList<QByteArray> records;
            for (const QByteArray &v : values)
                records << fields({{name, v}}) + common;
            return records;
        };
        const QByteArray longText(300, 'a');
        const QByteArray keptText(256, 'k');
        QTest::newRow("calls in other cases") << same("CALL", {"ok1ab", "OK1AB", "Ok1Ab", "OK1AB", "OK1ABC", "OK1AB"})
                                              << 0 << false;
        QTest::newRow("refused calls again") << same("CALL", {"OK-1", "OK-1", "ok-1", "OK1AB", "OK-1"}) << 0 << false;
        QTest::newRow("modes") << same("MODE", {"cw", "CW", "FT8", "FT8", "ssb", "SSB", "x", "X"}) << 0 << false;
        QTest::newRow("frequencies") << same("FREQ", {"14.025", "14.025", "14,025", "abc", "abc", "15.5", "15.5", "0"})
                                     << 0 << false;
        QTest::newRow("bands") << same("BAND", {"20M", "20m", "20m", "2O m", "2o m", "²m", "²m"}) << 0 << false;
        QTest::newRow("reports") << same("RST_SENT", {"599", "599", "5991", "599", "59", " 59 ", "59"}) << 0 << false;
        QTest::newRow("names by one byte") << same("NAME", {"Jan", "Jan", "Jana", "Jan", "Ja", "Jan ", " Jan", "JAN"})
                                           << 0 << false;
        QTest::newRow("blank and filled") << same("NAME", {" ", "Jan", "  ", " ", "Jan"}) << 0 << false;
        QTest::newRow("locators") << same("GRIDSQUARE", {"jo70", "JO70", "JO70MM", "jo70mm", "XX99", "xx99", "JO7"})
                                  << 0 << false;
        QTest::newRow("own locators") << same("MY_GRIDSQUARE", {"jn79sx", "JN79SX", "JN79", "JN79", "JN79SX"}) << 0
                                      << false;
        QTest::newRow("power") << same("TX_PWR", {"100", "100", "1e2", "abc", "abc", "100.5", "100,5"}) << 0 << false;
        QTest::newRow("zones") << same("ITUZ", {"28", "28", "99", "99", "028", "28"}) << 0 << false;
        QTest::newRow("islands") << same("IOTA", {"EU-014", "EU014", "eu-014", "EU-014", "X", "X"}) << 0 << false;
        QTest::newRow("texts at and past the kept length")
            << same("COMMENT", {keptText, keptText, keptText + 'k', keptText + 'k', longText, longText, longText + 'b',
                                keptText})
            << 0 << false;
        QTest::newRow("notes with line breaks") << same("NOTES", {"a\r\nb", "a\r\nb", "ab", "a\r\nb"}) << 0 << false;
        QTest::newRow("Windows-1250") << same("NAME", {"K\x9A" "a", "K\x9A" "a", "Kša", "K\x8A" "a", "K\x9A" "a"}) << 0 << false;
        QTest::newRow("UTF-8") << same("QTH", {"Plzeň", "Plzeň", "Plzen", "Plzeň"}) << 0 << false;
        QTest::newRow("code page of the options")
            << same("NAME", {"K\x85\xE5", "K\x85\xE5", "Kun", "K\x85\xE5"}) << int(CodePage852) << false;
        QTest::newRow("code page beside texts not converted")
            << QList<QByteArray>{fields({{"NAME", "K\x85"}, {"QSL_VIA", "K\x85"}}) + common,
                                 fields({{"QSL_VIA", "K\x85"}, {"NAME", "K\x85"}}) + common}
            << int(CodePage852) << false;
        QTest::newRow("contest exchanges") << same("STX", {"001", "001", "002", "001"}) + same("NAME", {"Jan", "Jan"})
                                           << 0 << true;
        QTest::newRow("same bytes under other tags")
            << QList<QByteArray>{fields({{"NAME", "599"}, {"QTH", "599"}, {"RST_SENT", "599"}, {"COMMENT", "599"}}) + common,
                                 fields({{"RST_SENT", "599"}, {"QTH", "599"}, {"NAME", "59"}, {"AWARD", "599"}}) + common,
                                 fields({{"QSL_VIA", "599"}, {"AWARD", "599"}, {"NAME", "599"}}) + common}
            << 0 << false;
    }
    void recordsReadAsIfAlone()
    {
        QFETCH(QList<QByteArray>, records);
        QFETCH(int, charSet);
        QFETCH(bool, stxSrx);
        TImportOptions options = adifOptions();
        options.CharSet = quint8(charSet);
        options.StxSrxToNameQth = stxSrx;
        QByteArray file;
        for (const QByteArray &r : records)
            file += r + "<EOR>\n";
        const QByteArray header = QByteArray(file).replace('<', ' ') + "<EOH>";
        StagedImport whole;
        whole.read(file, options);
        QCOMPARE(whole.count(), records.size());
        const QStringList lines = whole.messages();
        for (int i = 0; i < records.size(); ++i) {
            StagedImport alone;
            alone.read(header + records[i] + "<EOR>", options);
            QCOMPARE(alone.count(), 1);
            TLogRecord expected = alone.record(1), actual = whole.record(i + 1);
            for (int field = fiID + 1; field < LogFieldCount; ++field)
                QVERIFY2(actual[field] == expected[field],
                         qPrintable(QStringLiteral("record %1, %2: %3 instead of %4")
                                        .arg(i + 1)
                                        .arg(LogFieldNames[field], actual[field].toString(), expected[field].toString())));
            QStringList own;
            for (const QString &line : lines)
                if (TImportStaging::RecordNumberOfLine(line) == i + 1)
                    own << line;
            QCOMPARE(withoutNumbers(own), withoutNumbers(alone.messages()));
        }
    }

    // One reader given a file in UTF-8 and then one holding the same UTF-8 bytes beside
    // a value in Windows-1250 reads each value in its own code.
    void secondFileInItsOwnCode()
    {
        const QByteArray name = "Ji\xC5\x99\xC3\xAD";
        const QByteArray utf8 = baseRecord({}) + tag("NAME", name) + "<EOR>";
        const QByteArray win1250 = baseRecord({}) + tag("NAME", name) + tag("QTH", "Plze\xF2") + "<EOR>";
        StagedImport im;
        TAdifImport reader(*im.staging, adifOptions(), &StagedImport::dxcc());
        reader.ReadData(reinterpret_cast<const uchar *>(utf8.constData()), utf8.size());
        reader.ReadData(reinterpret_cast<const uchar *>(win1250.constData()), win1250.size());
        QCOMPARE(im.count(), 2);
        QCOMPARE(im.record(1)[fiNAME].toString(), QString::fromUtf8(name));
        QCOMPARE(im.record(2)[fiNAME].toString(), QString::fromUtf8(name));
        QCOMPARE(im.record(2)[fiQTH].toString(), QString::fromUtf8("Plzeň"));
    }

    // The duplicate check's pass over the log leaves the log's page cache as it was.
    void duplicateCheckKeepsTheLogsCacheSize()
    {
        TempLog log;
        LogTable(log.connectionName()).Insert(loggedQso(14.025));
        QSqlQuery q(QSqlDatabase::database(log.connectionName()));
        const auto cacheSize = [&] {
            q.exec(QStringLiteral("PRAGMA cache_size"));
            return q.next() ? q.value(0).toInt() : 0;
        };
        const int before = cacheSize();
        QVERIFY(before != -2000);
        {
            TImportDupeIndex dupes(log.connectionName());
            QCOMPARE(dupes.Count(), 1);
            QCOMPARE(cacheSize(), before);
        }
        QCOMPARE(cacheSize(), before);
    }

    // A whole log exported to ADIF and read back with the duplicate check finds every QSO
    // of it, also where the export rounded the frequency to four decimals, and QSOs
    // without a mode (exported without MODE); no line and no count stays of them. Read
    // back without the check, the names come back letter for letter, also those whose
    // Windows-1250 bytes are well-formed UTF-8, and also from a file of one QSO.
    void wholeLogRoundTripIsAllDuplicates_data()
    {
        QTest::addColumn<QList<double>>("freqs");
        QTest::addColumn<int>("mode");
        QTest::addColumn<QStringList>("names");
        const QStringList ascii{"Jan", "Petr", "Karel", "Josef"};
        QTest::newRow("exact") << QList<double>{14.025, 3.5, 7.0} << 1 << ascii.mid(0, 3);
        QTest::newRow("rounded down") << QList<double>{28.076249, 144.30004, 14.0000001} << 1 << ascii.mid(0, 3);
        QTest::newRow("rounded up") << QList<double>{28.07626, 3.79999999, 10368.09999} << 1 << ascii.mid(0, 3);
        QTest::newRow("halves") << QList<double>{14.07625, 0.13575, 50.00005, 7.03245} << 1 << ascii;
        QTest::newRow("many near one another") << QList<double>{14.02501, 14.02502, 14.02503, 14.02504} << 1
                                               << ascii;
        QTest::newRow("without a mode") << QList<double>{14.025, 3.5} << 0 << ascii.mid(0, 2);
        QTest::newRow("names that look like UTF-8")
            << QList<double>{14.025, 3.5, 7.0} << 1 << QStringList{"MÍŠA", "PÍŠEK", "ÚŽLABINA"};
        QTest::newRow("one QSO whose name reads as UTF-8") << QList<double>{14.025} << 1 << QStringList{"MAĹŠA"};
    }
    void wholeLogRoundTripIsAllDuplicates()
    {
        QFETCH(QList<double>, freqs);
        QFETCH(int, mode);
        QFETCH(QStringList, names);
        ExportFixture fx;
        for (int i = 0; i < freqs.size(); ++i)
            fx.add(ExportFixture::qso({{"FREQ", freqs[i]},
                                       {"CALL", QStringLiteral("OK%1XYZ").arg(i)},
                                       {"MODE", mode},
                                       {"NAME", names[i]}}));
        LogQuery &q = fx.open();
        ExportADIF(q, {}, fx.path("all.adi"), {});
        TImportDupeIndex dupes(fx.log.connectionName());
        TImportOptions options = adifOptions();
        options.CheckDupes = true;
        StagedImport im;
        im.read(ReadTestFile(fx.path("all.adi")), options, &dupes);
        QCOMPARE(im.count(), 0);
        QCOMPARE(im.staging->Skipped, freqs.size());
        QCOMPARE(im.messages(), QStringList());
        QCOMPARE(im.staging->Errors, 0);
        QCOMPARE(im.staging->Warnings, 0);
        // Without the check the same QSOs come back, the missing mode reported.
        StagedImport again;
        again.read(ReadTestFile(fx.path("all.adi")));
        QCOMPARE(again.count(), freqs.size());
        QCOMPARE(again.record(1)[fiMODE].toInt(), mode);
        QCOMPARE(again.record(1)[fiCALL].toString(), QStringLiteral("OK0XYZ"));
        QCOMPARE(again.messages().filter(QStringLiteral("Mód musí být zadán!")).size(), mode == 0 ? freqs.size() : 0);
        QCOMPARE(again.staging->Errors, again.messages().filter(QStringLiteral(" Chyba: ")).size());
        for (int i = 0; i < names.size(); ++i)
            QCOMPARE(again.record(i + 1)[fiNAME].toString(), names[i]);
    }

    // One step of the fourth decimal is another QSO; the fifth decimal is not.
    void frequencyComparedAtFourDecimals_data()
    {
        QTest::addColumn<double>("logged");
        QTest::addColumn<QByteArray>("read");
        QTest::addColumn<bool>("duplicate");
        QTest::newRow("same four decimals") << 28.076249 << QByteArray("28.0762") << true;
        QTest::newRow("more decimals read") << 28.0762 << QByteArray("28.07621") << true;
        QTest::newRow("rounded up on both sides") << 28.07625 << QByteArray("28.076251") << true;
        QTest::newRow("next step") << 28.076249 << QByteArray("28.0763") << false;
        QTest::newRow("step below") << 28.0762 << QByteArray("28.0761") << false;
        QTest::newRow("other band") << 14.025 << QByteArray("1.4025") << false;
    }
    void frequencyComparedAtFourDecimals()
    {
        QFETCH(double, logged);
        QFETCH(QByteArray, read);
        QFETCH(bool, duplicate);
        TempLog log;
        TLogRecord q = loggedQso(logged);
        LogTable(log.connectionName()).Insert(q);
        TImportDupeIndex dupes(log.connectionName());
        StagedImport im;
        im.read(baseRecord({"FREQ"}) + tag("FREQ", read) + "<EOR>", adifOptions(), &dupes);
        QCOMPARE(im.count(), duplicate ? 0 : 1);
        QCOMPARE(im.staging->Skipped, duplicate ? 1 : 0);
    }

    void endOfData_data()
    {
        QTest::addColumn<QByteArray>("adif");
        QTest::addColumn<int>("staged");
        QTest::addColumn<QStringList>("messages");
        const QByteArray rec = baseRecord({});
        QTest::newRow("text after last EOR") << rec + "<EOR>\nend of log\n" << 1 << QStringList();
        QTest::newRow("unknown tags after last EOR") << rec + "<EOR><APP_X:1>y" << 1 << QStringList();
        QTest::newRow("fields after last EOR")
            << rec + "<EOR>" + rec << 1
            << QStringList{
                   "(2) Chyba: Záznam na konci souboru není ukončen značkou <EOR>, nebyl importován!"};
        QTest::newRow("no EOR at all")
            << rec << 0
            << QStringList{
                   "(1) Chyba: Záznam na konci souboru není ukončen značkou <EOR>, nebyl importován!"};
        QTest::newRow("length past the end")
            << rec + "<EOR>" + rec + "<NOTES:99999999>abc<EOR>" << 1
            << QStringList{
                   "(2) Chyba: Soubor končí uprostřed pole, poslední neukončený záznam nebyl importován!"};
        QTest::newRow("header read like records")
            << "Preamble <ADIF_VER:5>3.1.0 <PROGRAMID:3>XYZ\n<TX_PWR:2>10<EOH>\n" + rec + "<eor>" << 1
            << QStringList();
        QTest::newRow("EOR in lower case") << rec + "<eor>" + rec + "<Eor>" << 2 << QStringList();
        QTest::newRow("tag name with blanks")
            << "<C ALL:5>OK1AB" + baseRecord({"CALL"}) + "<E O R>" << 1 << QStringList();
    }
    void endOfData()
    {
        QFETCH(QByteArray, adif);
        QFETCH(int, staged);
        QFETCH(QStringList, messages);
        StagedImport im;
        im.read(adif);
        QCOMPARE(im.count(), staged);
        QCOMPARE(im.messages(), messages);
    }

    void headerFieldGoesIntoTheFirstRecord()
    {
        StagedImport im;
        im.read("<TX_PWR:2>10<EOH>" + baseRecord({}) + "<EOR>" + baseRecord({}) + "<EOR>");
        QCOMPARE(im.record(1)[fiPWR].toDouble(), 10.0);
        QCOMPARE(im.record(2)[fiPWR].toDouble(), 100.0);
    }

    void badLengthsEndTheImport_data()
    {
        QTest::addColumn<QByteArray>("adif");
        // Files without a single field are no ADIF at all.
        QTest::newRow("empty file") << QByteArray();
        QTest::newRow("plain text") << QByteArray("Dear OM, 73 <de> OK1AB\r\n");
        QTest::newRow("picture") << QByteArray("\x89PNG\r\n\x1a\n\0\0\0\rIHDR<\x01\xff>", 20);
        QTest::newRow("empty length") << baseRecord({}) + "<EOR>" + "<CALL:>OK1AB<EOR>";
        QTest::newRow("over 32 bits") << baseRecord({}) + "<EOR>" + "<CALL:2147483648>OK1AB<EOR>";
        QTest::newRow("64 digits") << baseRecord({}) + "<EOR>" + "<CALL:" + QByteArray(64, '9') + ">x<EOR>";
        QTest::newRow("eleven digits") << baseRecord({}) + "<EOR>" + "<CALL:21474836470>OK1AB<EOR>";
        QTest::newRow("zeros before too much") << baseRecord({}) + "<EOR>" + "<CALL:0002147483648>OK1AB<EOR>";
    }
    void badLengthsEndTheImport()
    {
        QFETCH(QByteArray, adif);
        StagedImport im;
        QVERIFY_THROWS_EXCEPTION(EVelkorError, im.read(adif));
        QCOMPARE(im.count(), 0); // the records before it went with the failed import
    }

    // Lengths that fit an int are read digit by digit, leading zeros and the largest too.
    void lengthsThatAreRead_data()
    {
        QTest::addColumn<QByteArray>("length");
        QTest::addColumn<QString>("call");
        QTest::newRow("plain") << QByteArray("5") << QStringLiteral("OK1AB");
        QTest::newRow("leading zeros") << QByteArray("0005") << QStringLiteral("OK1AB");
        QTest::newRow("many leading zeros") << QByteArray(60, '0') + "3" << QStringLiteral("OK1");
        QTest::newRow("largest") << QByteArray("2147483647") << QString();
    }
    // (The largest runs past the end: the file ends inside that field, and only the
    // record before it is staged.)
    void lengthsThatAreRead()
    {
        QFETCH(QByteArray, length);
        QFETCH(QString, call);
        StagedImport im;
        im.read(baseRecord({"CALL"}) + "<EOR>" + baseRecord({"CALL"}) + "<CALL:" + length + ">OK1AB<EOR>");
        QCOMPARE(im.count(), call.isEmpty() ? 1 : 2);
        if (!call.isEmpty())
            QCOMPARE(im.record(2)[fiCALL].toString(), call);
    }

    void hugeLengthAllocatesNoMoreThanTheFileHolds()
    {
        StagedImport im;
        const QByteArray adif = "<NOTES:2147483647>" + QByteArray(5000, 'x');
        TAdifImport reader(*im.staging, adifOptions(), nullptr);
        struct Sink : TAdifSink {
            int fields = 0;
            void ProcessAdifField(quint32, char *, int) override { ++fields; }
            void ProcessAdifRecord(qint64) override {}
        } sink;
        TAdifScanner scanner(sink);
        scanner.Scan(reinterpret_cast<const uchar *>(adif.constData()), adif.size());
        QVERIFY(scanner.FieldCutShort());
        QCOMPARE(sink.fields, 0);
        QVERIFY(scanner.BufferCapacity() > 5000);
        QVERIFY(scanner.BufferCapacity() <= 5000 * 3 / 2 + 2);
    }

    void bufferGrowth_data()
    {
        QTest::addColumn<int>("capacity");
        QTest::addColumn<int>("needed");
        QTest::addColumn<int>("expected");
        QTest::newRow("fits") << 1024 << 1023 << 1024;
        QTest::newRow("one step") << 1024 << 1024 << 1536;
        QTest::newRow("several steps") << 1024 << 5000 << 5184;
    }
    void bufferGrowth()
    {
        QFETCH(int, capacity);
        QFETCH(int, needed);
        QFETCH(int, expected);
        QCOMPARE(GrowBufferCapacity(capacity, needed), expected);
    }

    void longFieldGrowsTheBuffer()
    {
        StagedImport im;
        const QByteArray note = QByteArray(3000, 'n');
        im.read(baseRecord({}) + tag("NOTES", note) + tag("NAME", "Jan") + "<EOR>");
        QCOMPARE(im.record(1)[fiNOTE].toString(), QString(50, u'n'));
        QCOMPARE(im.record(1)[fiNAME].toString(), QString("Jan"));
    }

    void progressRisesToHundred()
    {
        StagedImport im;
        QByteArray adif;
        for (int i = 0; i < 200; ++i)
            adif += baseRecord({}) + "<EOR>\n";
        QList<int> seen;
        TAdifImport reader(*im.staging, adifOptions(), nullptr);
        reader.SetProgress([&seen](int p) { seen << p; });
        reader.ReadData(reinterpret_cast<const uchar *>(adif.constData()), adif.size());
        QCOMPARE(seen.first(), 0);
        QCOMPARE(seen.last(), 100);
        QVERIFY(std::is_sorted(seen.begin(), seen.end()));
        QCOMPARE(QSet<int>(seen.begin(), seen.end()).size(), seen.size());
    }

    void samples_data()
    {
        QTest::addColumn<QString>("file");
        QTest::addColumn<int>("qsos");
        QTest::newRow("QRZ") << "urbancamo+adif-processor/m0nom_p.204681.20210116183312.adi" << 4567;
        QTest::newRow("LoTW") << "urbancamo+adif-processor/no-qso-time.adi" << 1;
        QTest::newRow("QLog") << "urbancamo+adif-processor/LU7HF.adi" << 1;
        QTest::newRow("SAT") << "urbancamo+adif-processor/1649011478026-in-SAT_log_20220403_1823.adi" << 24;
        QTest::newRow("monolog") << "urbancamo+adif-processor/sample.adi" << 4;
        QTest::newRow("FLE") << "urbancamo+adif-processor/2021-05-14-Scafell-Pike-SOTA-fta.adi" << 51;
        QTest::newRow("Minos") << "urbancamo+adif-processor/M0KPW_2021_07_06_144MHz.adi" << 45;
        QTest::newRow("LogHX") << "urbancamo+adif-processor/2020-12-14-test-from-loghx-shuttle1.adi" << 1;
        QTest::newRow("qle") << "urbancamo+adif-processor/2021-08-23-ADIF-with-bad-gridsquare.adi" << 43;
        QTest::newRow("HAMRS") << "urbancamo+adif-processor/20m,-POTA-@-K-1980-06.21.21.adi" << 1;
        QTest::newRow("no header") << "urbancamo+adif-processor/WW4N@POTA-K-5490-20210704.adi" << 49;
        QTest::newRow("broken") << "urbancamo+adif-processor/DP9X.adi" << 0;
        QTest::newRow("N3FJP") << "farmergreg+adif-benchmark/N3FJP-AClogAdif.adi" << 438;
        QTest::newRow("WSJT-X") << "stevenmburns+wsjtx-logs/wsjtx_log.adi" << 528;
        QTest::newRow("JTDX") << "diablowu+jtdx-config/wsjtx_log.adi" << 2272;
    }
    void samples()
    {
        QFETCH(QString, file);
        QFETCH(int, qsos);
        const QString path = SamplesDir + file;
        if (!QFile::exists(path))
            QSKIP("the sample files are not there");
        StagedImport im;
        im.readFile(path);
        QCOMPARE(im.count(), qsos);
        QCOMPARE(im.staging->Imported, qsos);
        for (const QString &line : im.messages())
            QVERIFY2(TImportStaging::RecordNumberOfLine(line) >= 1 &&
                         TImportStaging::RecordNumberOfLine(line) <= qsos + 1,
                     qPrintable(line));
        if (qsos == 0)
            QVERIFY(im.staging->Errors > 0); // the broken file says why nothing came
    }

    void sampleDetails()
    {
        const QString qrz = SamplesDir + "urbancamo+adif-processor/m0nom_p.204681.20210116183312.adi";
        const QString lotw = SamplesDir + "urbancamo+adif-processor/no-qso-time.adi";
        if (!QFile::exists(qrz) || !QFile::exists(lotw))
            QSKIP("the sample files are not there");
        StagedImport im;
        im.readFile(lotw);
        QVERIFY(im.messages().contains("(1) Chyba: Čas musí být zadán!"));
        QVERIFY(!im.record(1).isEmpty(fiDAT));
        // UTF-8 text with its length in bytes: the field ends where its bytes end.
        StagedImport q;
        q.readFile(qrz);
        bool found = false;
        for (qint64 id = 1; id <= q.count() && !found; ++id) {
            const TLogRecord r = q.record(id);
            if (r[fiQTH].toString().startsWith("41900 Pet")) {
                found = true;
                // its 18 bytes, as the file declares, are 16 letters in UTF-8
                QCOMPARE(r[fiQTH].toString(), QStringLiteral("41900 Petäjävesi"));
            }
        }
        QVERIFY(found);
    }

    void fileThatCannotBeOpened()
    {
        StagedImport im;
        QVERIFY_THROWS_EXCEPTION(EVelkorError, im.readFile(im.dir.filePath("missing.adi")));
    }

private:
    static double DistanceFromOwnLocatorProbe();
};

#include "radio/Locator.h"

double TestAdifImport::DistanceFromOwnLocatorProbe()
{
    // OK1AB without a partner's locator: to the entity's point (16 E, 50 N).
    return DistanceFromOwnLocator(QStringLiteral("JN79SX"), QString(), 16.0, 50.0);
}

QTEST_GUILESS_MAIN(TestAdifImport)
#include "tst_adifimport.moc"
