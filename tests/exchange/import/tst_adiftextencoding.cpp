// The text of ADIF files in UTF-8 and in the 8-bit code pages: a file in UTF-8 is read as
// UTF-8 whatever code page the options name, a value in it that is no UTF-8 and a file in
// an 8-bit code as the options say.

#include "ImportTestSupport.h"

#include "radio/CharSet.h"

#include <QFile>
#include <QTest>

namespace
{

// A field with its length in bytes, as ADIF counts it.
QByteArray tag(const QByteArray &name, const QByteArray &data)
{
    return '<' + name + ':' + QByteArray::number(data.size()) + '>' + data;
}

using Encode = QByteArray (*)(const QString &);
QByteArray toUtf8(const QString &text) { return text.toUtf8(); }
QByteArray toWin1250(const QString &text) { return UnicodeToWin1250(text); }

// Three QSOs whose texts hold Czech letters and letters of other languages in the text
// fields the options convert and in one they do not (QSL_VIA).
QByteArray threeQsos(Encode encode)
{
    const QList<QStringList> qsos{
        {"OK1AB", "Jiří Šťastný", "Říčany u Prahy", "Děkuji za spojení, 73", "OK1ŽŽ"},
        {"OK2XY", "ZDENĚK ČERMÁK", "ŽĎÁR NAD SÁZAVOU", "Pěkný signál", ""},
        {"SP9AB", "Paweł", "Łódź", "Dziękuję", ""},
    };
    QByteArray adif = "Export of a logger\n<ADIF_VER:5>3.1.4<EOH>\n";
    for (const QStringList &q : qsos) {
        adif += tag("QSO_DATE", "20240105") + tag("TIME_ON", "1230") + tag("CALL", q[0].toLatin1()) +
                tag("FREQ", "14.025") + tag("MODE", "CW") + tag("RST_SENT", "599") + tag("RST_RCVD", "579") +
                tag("NAME", encode(q[1])) + tag("QTH", encode(q[2])) + tag("COMMENT", encode(q[3]));
        if (!q[4].isEmpty())
            adif += tag("QSL_VIA", encode(q[4]));
        adif += "<EOR>\n";
    }
    return adif;
}

// One QSO a name.
QByteArray qsosNamed(const QStringList &names, Encode encode)
{
    QByteArray adif = "<ADIF_VER:5>3.1.4<EOH>\n";
    for (const QString &name : names)
        adif += tag("QSO_DATE", "20240105") + tag("TIME_ON", "1230") + tag("CALL", "OK1AB") + tag("FREQ", "14.025") +
                tag("MODE", "CW") + tag("RST_SENT", "599") + tag("RST_RCVD", "579") + tag("NAME", encode(name)) +
                "<EOR>\n";
    return adif;
}

// "M", a letter of `first`, a letter of `second` and "A", for every pair.
QStringList namesOfPairs(const QString &first, const QString &second)
{
    QStringList names;
    for (QChar a : first)
        for (QChar b : second)
            names << QStringLiteral("M") + a + b + QStringLiteral("A");
    return names;
}

const QByteArray Bom = "\xEF\xBB\xBF";

QStringList stagedRows(const StagedImport &im)
{
    QStringList rows;
    for (qint64 id = 1; id <= im.count(); ++id) {
        const TLogRecord r = im.record(id);
        QStringList values;
        for (int f = 0; f < LogFieldCount; ++f)
            values << r[f].toString();
        rows << values.join(u'|');
    }
    return rows;
}

TImportOptions withCodePage(int codePage)
{
    TImportOptions o = adifOptions();
    o.CharSet = codePage;
    return o;
}

} // namespace

class TestAdifTextEncoding : public QObject
{
    Q_OBJECT

private slots:
    // The same QSOs written in UTF-8 with and without a byte-order mark, and in
    // Windows-1250, are staged alike; a file in UTF-8 is UTF-8 whatever code page the
    // options name.
    void sameRecordsFromEveryEncoding_data()
    {
        QTest::addColumn<QByteArray>("adif");
        QTest::addColumn<int>("codePage");
        QTest::newRow("UTF-8") << threeQsos(toUtf8) << 0;
        QTest::newRow("UTF-8 with mark") << Bom + threeQsos(toUtf8) << 0;
        QTest::newRow("UTF-8, options CP852") << threeQsos(toUtf8) << int(CodePage852);
        QTest::newRow("UTF-8 with mark, options ISO8859-2") << Bom + threeQsos(toUtf8) << int(CodePageIso88592);
        QTest::newRow("UTF-8, options Kamenický") << threeQsos(toUtf8) << int(CodePageKamenicky);
        QTest::newRow("Windows-1250") << threeQsos(toWin1250) << 0;
    }
    void sameRecordsFromEveryEncoding()
    {
        QFETCH(QByteArray, adif);
        QFETCH(int, codePage);
        StagedImport reference;
        reference.read(threeQsos(toWin1250));
        QCOMPARE(reference.count(), 3);
        QCOMPARE(reference.record(1)[fiNAME].toString(), QStringLiteral("Jiří Šťastný"));
        QCOMPARE(reference.record(2)[fiQTH].toString(), QStringLiteral("ŽĎÁR NAD SÁZAVOU"));
        QCOMPARE(reference.record(1)[fiQSLVIA].toString(), QStringLiteral("OK1ŽŽ"));

        StagedImport im;
        im.read(adif, withCodePage(codePage));
        QCOMPARE(stagedRows(im), stagedRows(reference));
        QCOMPARE(im.messages(), reference.messages());
    }

    // Windows-1250 stays Windows-1250, and the other code pages go through their tables,
    // however few letters above 127 the file holds.
    void eightBitFilesAsTheOptionsSay_data()
    {
        QTest::addColumn<QByteArray>("name");
        QTest::addColumn<int>("codePage");
        QTest::addColumn<QString>("expected");
        QTest::newRow("Windows-1250") << UnicodeToWin1250(QStringLiteral("Úštěk")) << 0 << QStringLiteral("Úštěk");
        QTest::newRow("one letter") << UnicodeToWin1250(QStringLiteral("Jiří")) << 0 << QStringLiteral("Jiří");
        QTest::newRow("capitals") << UnicodeToWin1250(QStringLiteral("ŠŤASTNÝ")) << 0 << QStringLiteral("ŠŤASTNÝ");
        QTest::newRow("CP852") << QByteArray("K\x85\xE5") << int(CodePage852) << QStringLiteral("Kůň");
        QTest::newRow("ASCII, CP852") << QByteArray("Karel") << int(CodePage852) << QStringLiteral("Karel");
        // Windows-1250 letters that are well-formed UTF-8 too, alone in their file.
        QTest::newRow("letters that form UTF-8") << UnicodeToWin1250(QStringLiteral("MÍŠA")) << 0 << QStringLiteral("MÍŠA");
        QTest::newRow("capitals that form UTF-8")
            << UnicodeToWin1250(QStringLiteral("ÚŽLABINA")) << 0 << QStringLiteral("ÚŽLABINA");
        QTest::newRow("the same in UTF-8") << QStringLiteral("MÍŠA").toUtf8() << 0 << QStringLiteral("MÍŠA");
    }
    void eightBitFilesAsTheOptionsSay()
    {
        QFETCH(QByteArray, name);
        QFETCH(int, codePage);
        QFETCH(QString, expected);
        StagedImport im;
        im.read(tag("QSO_DATE", "20240105") + tag("TIME_ON", "1230") + tag("CALL", "OK1AB") + tag("MODE", "CW") +
                    tag("FREQ", "14.025") + tag("NAME", name) + "<EOR>",
                withCodePage(codePage));
        QCOMPARE(im.count(), 1);
        QCOMPARE(im.record(1)[fiNAME].toString(), expected);
    }

    // A file in Windows-1250 and its twin in UTF-8 stage the same names: every pair of
    // the Czech and Slovak letters, and names in other scripts.
    void namesOfAWholeFile_data()
    {
        QTest::addColumn<QStringList>("names");
        const QString capitals = QStringLiteral("ÁČĎÉĚÍĹĽŇÓÔŔŘŠŤÚŮÝŽÄ");
        QTest::newRow("capitals") << namesOfPairs(capitals, capitals);
        QTest::newRow("capital and small letter") << namesOfPairs(capitals, capitals.toLower());
        QTest::newRow("small letter and capital") << namesOfPairs(capitals.toLower(), capitals);
        QTest::newRow("small letters") << namesOfPairs(capitals.toLower(), capitals.toLower());
        QTest::newRow("other scripts") << QStringList{"Иван", "Ελένη", "Łukasz", "Şükrü", "MÍŠA"};
    }
    void namesOfAWholeFile()
    {
        QFETCH(QStringList, names);
        const bool beyondWin1250 = UnicodeToWin1250(names.join(QString())).contains(Win1250Unmappable);
        for (const Encode encode : {toWin1250, toUtf8}) {
            if (encode == toWin1250 && beyondWin1250)
                continue; // no Windows-1250 twin
            StagedImport im;
            im.read(qsosNamed(names, encode));
            QStringList staged;
            for (qint64 id = 1; id <= im.count(); ++id)
                staged << im.record(id)[fiNAME].toString();
            QCOMPARE(staged, names);
        }
    }

    // Lengths count the bytes as written. A length counted in letters instead (one short
    // of the bytes of "Plzeň") is read to the end of its letters, with a warning.
    void lengthsCountBytes()
    {
        StagedImport im;
        im.read(Bom + "<QSO_DATE:8>20240105<TIME_ON:4>1230<CALL:5>OK1AB<MODE:2>CW<FREQ:6>14.025" +
                "<NAME:7>Zdeněk<QTH:5>Plzeň<COMMENT:4>ü73<EOR>");
        QCOMPARE(im.count(), 1);
        const TLogRecord r = im.record(1);
        QCOMPARE(r[fiNAME].toString(), QStringLiteral("Zdeněk"));
        QCOMPARE(r[fiQTH].toString(), QStringLiteral("Plzeň"));
        QCOMPARE(r[fiNOTE].toString(), QStringLiteral("ü73"));
        QCOMPARE(im.messages().filter(QStringLiteral("Délka")), QStringList{"(1) Varování: Délka hodnoty \"Plzeň\" je v souboru udána ve znacích, ne "
                                            "v bajtech - načítám ji celou"});
    }

    // Small files as other programs write them: the texts of every staged record and
    // every line.
    void filesOfOtherPrograms_data()
    {
        QTest::addColumn<QString>("file");
        QTest::addColumn<QStringList>("names");
        QTest::addColumn<QStringList>("qths");
        QTest::addColumn<QStringList>("notes");
        QTest::addColumn<QStringList>("messages");
        // Texts beyond ASCII only under *_INTL; the plain tag wins where it holds text.
        QTest::newRow("CQRLOG") << "cqrlog_intl.adi" << QStringList{"Jiří", "Karel", "Ľubomír Šťas"}
                                << QStringList{"Říčany u Prahy", "Brno", ""}
                                << QStringList{"Děkuji, 73", "první\r\ndruhý", "tnx"} << QStringList{};
        // One value in Windows-1250 turns neither the UTF-8 values nor itself.
        QTest::newRow("UTF-8, one stray byte") << "utf8_stray_byte.adi" << QStringList{"Jiří", "Zdeněk", "Paweł"}
                                               << QStringList{"Plzeň", "", "Łódź"}
                                               << QStringList{"", "Pěkný signál", ""} << QStringList{};
        const QString counted =
            QStringLiteral("Varování: Délka hodnoty \"%1\" je v souboru udána ve znacích, ne v bajtech - načítám ji celou");
        QTest::newRow("lengths in letters")
            << "utf8_letter_lengths.adi" << QStringList{"Ľubomír", "Jan", "Ji"}
            << QStringList{"Žďár nad Sázavou", "Říčany", "Brno"} << QStringList{"", "Díky za QSO", ""}
            << QStringList{"(1) " + counted.arg("Ľubomír"), "(1) " + counted.arg("Žďár nad Sázavou"),
                           "(2) " + counted.arg("Díky za QSO"),
                           "(3) Varování: Hodnota \"Ji\" je v souboru useknuta uprostřed znaku - neúplný znak "
                           "vynechávám"};
    }
    void filesOfOtherPrograms()
    {
        QFETCH(QString, file);
        QFETCH(QStringList, names);
        QFETCH(QStringList, qths);
        QFETCH(QStringList, notes);
        QFETCH(QStringList, messages);
        StagedImport im;
        im.readFile(QStringLiteral(VELKOR_TEST_DATA "/") + file);
        QCOMPARE(im.count(), names.size());
        for (int i = 0; i < names.size(); ++i) {
            const TLogRecord r = im.record(i + 1);
            QCOMPARE(r[fiNAME].toString(), names[i]);
            QCOMPARE(r[fiQTH].toString(), qths[i]);
            QCOMPARE(r[fiNOTE].toString(), notes[i]);
        }
        QCOMPARE(im.messages(), messages);
    }

    // The QRZ download: UTF-8 without a mark, read as written.
    void qrzDownload()
    {
        const QString path = SamplesDir + "urbancamo+adif-processor/m0nom_p.204681.20210116183312.adi";
        if (!QFile::exists(path))
            QSKIP("the sample files are not there");
        for (int codePage : {0, int(CodePage852)}) {
            StagedImport im;
            im.readFile(path, withCodePage(codePage));
            QCOMPARE(im.count(), 4567);
            bool found = false;
            for (qint64 id = 1; id <= im.count() && !found; ++id)
                found = im.record(id)[fiQTH].toString() == QStringLiteral("41900 Petäjävesi");
            QVERIFY(found);
        }
    }
};

QTEST_GUILESS_MAIN(TestAdifTextEncoding)
#include "tst_adiftextencoding.moc"
