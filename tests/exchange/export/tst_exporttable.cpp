// The CSV and fixed-width text writers: caption lines, the value forms of each column,
// the column widths, the selection by marks.

#include "ExportFixture.h"

#include "export/Export.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QLocale>
#include <QProcess>
#include <QStandardPaths>

#include <cstdio>

namespace
{

using Columns = QMap<int, QString>;

const char *const CaptionFormat =
    "%-10s %-8s %-15s %-15s %10s %-6s %-6s %-4s %-4s %-12s %-20s %-6s %-6s %4s %4s "
    "%4s %-15s %5s %7s %-50s %-7s %-7s %-10s %-4s %-4s";
const char *const ValueFormat =
    "%10s %8s %-15s %-15s %10s %-6s %-6s %-4s %-4s %-12s %-20s %-6s %-6s %-4s %-4s "
    "%-4s %-15s %5s %7s %-50s %-7s %-7s %-10s %-4s %-4s";

const QStringList Captions{"Datum", "Čas",    "Značka", "MCALL", "MHz",  "Pásmo",    "Mód",
                           "RSTo",  "RSTp",   "Jméno",  "QTH",   "LOCo", "LOCp",     "QSLo",
                           "QSLp",  "eQSL",   "QSLvia", "QRB",   "PWR",  "Poznámka", "DXCC",
                           "IOTA",  "Diplom", "ITU",    "WAZ"};

// The values of ExportFixture::qso() in both files.
const QStringList DefaultValues{"03.02.2007", "07:05:09", "OK1ABC", "OK1ABC", "14,025", "20m",    "CW",
                                "599",        "579",      "Jan",    "Praha",  "JN79SX", "JO70FC", "-",
                                "-",          "-",        "",       "85",     "100",    "",       "OK",
                                "",           "",         "28",     "15"};

// A line of the text file through the C library's printf, widths counted in the bytes
// of the Windows-1250 text as the file holds it.
QByteArray printfLine(const char *format, const QStringList &values)
{
    QList<QByteArray> v;
    for (const QString &value : values)
        v << Cp1250(value);
    char buffer[2048];
    const int n = std::snprintf(buffer, sizeof buffer, format, v[0].constData(), v[1].constData(),
                                v[2].constData(), v[3].constData(), v[4].constData(), v[5].constData(),
                                v[6].constData(), v[7].constData(), v[8].constData(), v[9].constData(),
                                v[10].constData(), v[11].constData(), v[12].constData(), v[13].constData(),
                                v[14].constData(), v[15].constData(), v[16].constData(), v[17].constData(),
                                v[18].constData(), v[19].constData(), v[20].constData(), v[21].constData(),
                                v[22].constData(), v[23].constData(), v[24].constData());
    return QByteArray(buffer, n) + "\r\n";
}

QByteArray csvLine(const QStringList &values)
{
    return Cp1250(values.join(u';') + QStringLiteral(";\r\n"));
}

QStringList withColumns(QStringList values, const Columns &columns)
{
    for (auto it = columns.cbegin(); it != columns.cend(); ++it)
        values[it.key()] = it.value();
    return values;
}

QList<QByteArray> lines(const QByteArray &data)
{
    QList<QByteArray> result = data.split('\n');
    if (!result.isEmpty() && result.last().isEmpty())
        result.removeLast();
    for (QByteArray &line : result)
        line += '\n';
    return result;
}

} // namespace

class TestExportTable : public QObject
{
    Q_OBJECT

private slots:
    void init() { QLocale::setDefault(QLocale(QLocale::English, QLocale::UnitedStates)); }
    void cleanup() { QLocale::setDefault(QLocale::c()); }

    void captionLines();
    void values_data();
    void values();
    void marksAndEmptyLog();
    void csvReadBackBySpreadsheetRules_data();
    void csvReadBackBySpreadsheetRules();
};

void TestExportTable::captionLines()
{
    ExportFixture fx;
    fx.add(ExportFixture::qso());
    LogQuery &q = fx.open();
    ExportCSV(q, {}, fx.path("a.csv"), {});
    const QByteArray csvCaptions =
        "Datum;\xC8"
        "as;Zna\xE8ka;MCALL;MHz;P\xE1smo;M\xF3"
        "d;RSTo;RSTp;Jm\xE9no;QTH;LOCo;"
        "LOCp;QSLo;QSLp;eQSL;QSLvia;QRB;PWR;Pozn\xE1mka;DXCC;IOTA;Diplom;ITU;WAZ;\r\n";
    QCOMPARE(lines(ReadTestFile(fx.path("a.csv"))), (QList<QByteArray>{csvCaptions, csvLine(DefaultValues)}));

    ExportTXT(q, {}, fx.path("a.txt"), {});
    const QList<QByteArray> txt = lines(ReadTestFile(fx.path("a.txt")));
    QCOMPARE(txt.size(), 3);
    QCOMPARE(txt[0], printfLine(CaptionFormat, Captions));
    QCOMPARE(txt[1], QByteArray(270, '-') + "\r\n");
    QCOMPARE(txt[2], printfLine(ValueFormat, DefaultValues));
}

void TestExportTable::values_data()
{
    QTest::addColumn<QVariantMap>("record");
    QTest::addColumn<Columns>("csv");
    QTest::addColumn<Columns>("txt");

    const QVariant null;
    const Columns qsl{{13, "R"}, {15, "Y"}};
    QTest::newRow("QSL marks") << QVariantMap{{"QSLO", 2}, {"QSLP", 0}, {"EQSLP", 1}} << qsl << qsl;
    QTest::newRow("QSL received, invalid") << QVariantMap{{"QSLO", 3}, {"QSLP", 1}}
                                           << Columns{{13, "I"}, {14, "Y"}} << Columns{{13, "I"}, {14, "Y"}};
    const Columns portable{{2, "OK1ABC/P"}, {3, "OK1ABC"}};
    QTest::newRow("portable suffix") << QVariantMap{{"CALL", "OK1ABC/P"}} << portable << portable;
    const Columns abroad{{2, "DL/OK1ABC"}, {3, "OK1ABC"}};
    QTest::newRow("country prefix") << QVariantMap{{"CALL", "DL/OK1ABC"}} << abroad << abroad;
    QTest::newRow("14 MHz") << QVariantMap{{"FREQ", 14.0}} << Columns{{4, "14"}} << Columns{{4, "14,000"}};
    QTest::newRow("1296.2 MHz") << QVariantMap{{"FREQ", 1296.2}} << Columns{{4, "1296,2"}}
                                << Columns{{4, "1296,200"}};
    QTest::newRow("PWR 0.5") << QVariantMap{{"PWR", 0.5}} << Columns{{18, "0,5"}} << Columns{{18, "0,5"}};
    QTest::newRow("PWR 0.1234") << QVariantMap{{"PWR", 0.1234}} << Columns{{18, "0,1234"}}
                                << Columns{{18, "0,123"}};
    QTest::newRow("QRB 1234") << QVariantMap{{"QRB", 1234.0}} << Columns{{17, "1234"}}
                              << Columns{{17, "1234"}};
    QTest::newRow("QRB rounded") << QVariantMap{{"QRB", 1234.5}} << Columns{{17, "1234,5"}}
                                 << Columns{{17, "1235"}};
    QTest::newRow("empty floats") << QVariantMap{{"FREQ", null}, {"QRB", null}, {"PWR", null}}
                                  << Columns{{4, ""}, {17, ""}, {18, ""}}
                                  << Columns{{4, "0,000"}, {17, "0"}, {18, "0"}};
    QTest::newRow("empty zones") << QVariantMap{{"ITU", null}, {"WAZ", null}} << Columns{{23, ""}, {24, ""}}
                                 << Columns{{23, ""}, {24, ""}};
    QTest::newRow("out of band, no mode") << QVariantMap{{"BAND", 28}, {"MODE", 0}}
                                          << Columns{{5, "Mimo!"}, {6, ""}} << Columns{{5, "Mimo!"}, {6, ""}};
    QTest::newRow("long mode and award shift the line")
        << QVariantMap{{"MODE", 26}, {"AWARD", "OKDA-123456"}} << Columns{{6, "CHIP128"}, {22, "OKDA-123456"}}
        << Columns{{6, "CHIP128"}, {22, "OKDA-123456"}};
    QTest::newRow("Czech letters") << QVariantMap{{"NAME", "Jiří"}, {"QTH", "Ústí nad Labem"}}
                                   << Columns{{9, "Jiří"}, {10, "Ústí nad Labem"}}
                                   << Columns{{9, "Jiří"}, {10, "Ústí nad Labem"}};
    QTest::newRow("separator and quotes quoted in CSV only")
        << QVariantMap{{"NOTE", "a;b \"c\""}} << Columns{{19, "\"a;b \"\"c\"\"\""}} << Columns{{19, "a;b \"c\""}};
    QTest::newRow("quote alone quoted in CSV only")
        << QVariantMap{{"QTH", "\"U lipy\""}} << Columns{{10, "\"\"\"U lipy\"\"\""}} << Columns{{10, "\"U lipy\""}};
    QTest::newRow("other punctuation unquoted")
        << QVariantMap{{"NOTE", "a,b 'c' x=1"}} << Columns{{19, "a,b 'c' x=1"}} << Columns{{19, "a,b 'c' x=1"}};
    QTest::newRow("IOTA and via") << QVariantMap{{"IOTA", "EU123"},
                                                 {"QSLVIA", "W3HNK"},
                                                 {"DAT", QDate(1999, 12, 31)},
                                                 {"UTC", QTime(23, 59, 58)}}
                                  << Columns{{21, "EU123"}, {16, "W3HNK"}, {0, "31.12.1999"}, {1, "23:59:58"}}
                                  << Columns{
                                         {21, "EU123"}, {16, "W3HNK"}, {0, "31.12.1999"}, {1, "23:59:58"}};
}

void TestExportTable::values()
{
    QFETCH(QVariantMap, record);
    QFETCH(Columns, csv);
    QFETCH(Columns, txt);
    ExportFixture fx;
    fx.add(ExportFixture::qso(record));
    LogQuery &q = fx.open();
    ExportCSV(q, {}, fx.path("v.csv"), {});
    ExportTXT(q, {}, fx.path("v.txt"), {});
    const QByteArray csvData = ReadTestFile(fx.path("v.csv"));
    const QList<QByteArray> csvLines = lines(csvData);
    QCOMPARE(csvLines.size(), 2);
    QCOMPARE(csvLines[1], csvLine(withColumns(DefaultValues, csv)));
    const QList<QByteArray> txtLines = lines(ReadTestFile(fx.path("v.txt")));
    QCOMPARE(txtLines.size(), 3);
    QCOMPARE(txtLines[2], printfLine(ValueFormat, withColumns(DefaultValues, txt)));
    QCOMPARE(txtLines[1], QByteArray(270, '-') + "\r\n");
}

void TestExportTable::marksAndEmptyLog()
{
    ExportFixture fx;
    LogQuery &empty = fx.open();
    ExportCSV(empty, {}, fx.path("e.csv"), {});
    ExportTXT(empty, {}, fx.path("e.txt"), {});
    QCOMPARE(lines(ReadTestFile(fx.path("e.csv"))).size(), 1);
    QCOMPARE(lines(ReadTestFile(fx.path("e.txt"))).size(), 2);

    const QList<qint64> ids = fx.addMany(40);
    LogQuery &q = fx.open();
    ExportCSV(q, {ids[30], ids[2]}, fx.path("m.csv"), {});
    const QList<QByteArray> csv = lines(ReadTestFile(fx.path("m.csv")));
    QCOMPARE(csv.size(), 3);
    QVERIFY(csv[1].startsWith("01.01.2007;00:30:00;OK30;OK30;"));
    QVERIFY(csv[2].startsWith("01.01.2007;00:02:00;OK2;OK2;"));
    for (const QByteArray &line : csv)
        QCOMPARE(line.count(';'), 25);
    QCOMPARE(q.Bookmark(), ids[2]);

    ExportTXT(q, {ids[7]}, fx.path("m.txt"), {});
    const QList<QByteArray> txt = lines(ReadTestFile(fx.path("m.txt")));
    QCOMPARE(txt.size(), 3);
    QVERIFY(txt[2].startsWith("01.01.2007 00:07:00 OK7 "));
}


void TestExportTable::csvReadBackBySpreadsheetRules_data()
{
    QTest::addColumn<QString>("field");
    QTest::addColumn<int>("column");
    QTest::addColumn<QString>("value");
    QTest::newRow("separator in a note") << "NOTE" << 19 << "tnx; 73";
    QTest::newRow("separators only") << "NOTE" << 19 << ";;;";
    QTest::newRow("quotes in a name") << "NAME" << 9 << "Jan \"Honza\"";
    QTest::newRow("leading quote") << "QTH" << 10 << "\"Brno";
    QTest::newRow("CR LF in a note") << "NOTE" << 19 << "first line\r\nsecond line";
    QTest::newRow("LF in a note") << "NOTE" << 19 << "a\nb";
    QTest::newRow("CR alone") << "NOTE" << 19 << "a\rb";
    QTest::newRow("all at once, Czech") << "QSLVIA" << 16 << "Čech; \"Ř\"\r\nž";
    QTest::newRow("nothing special") << "NOTE" << 19 << "plain note";
}

// The CSV file as another program reads it: Python's csv module with ";" as separator.
// Every record keeps its 25 values (and the empty one after the last ";"), and the value
// with the special characters comes back whole.
void TestExportTable::csvReadBackBySpreadsheetRules()
{
    QFETCH(QString, field);
    QFETCH(int, column);
    QFETCH(QString, value);
    const QString python = QStandardPaths::findExecutable(QStringLiteral("python3"));
    if (python.isEmpty())
        QSKIP("python3 is not installed");
    ExportFixture fx;
    fx.add(ExportFixture::qso({{field, value}}));
    fx.add(ExportFixture::qso({{"CALL", "OK2XYZ"}, {"UTC", QTime(8, 0)}}));
    LogQuery &q = fx.open();
    ExportCSV(q, {}, fx.path("r.csv"), {});

    QProcess reader;
    reader.start(python, {QStringLiteral("-c"),
                          QStringLiteral("import csv, json, sys\n"
                                         "with open(sys.argv[1], newline='', encoding='cp1250') as f:\n"
                                         "    print(json.dumps(list(csv.reader(f, delimiter=';'))))\n"),
                          fx.path("r.csv")});
    QVERIFY(reader.waitForFinished(30000));
    QCOMPARE(reader.exitCode(), 0);
    const QJsonArray rows = QJsonDocument::fromJson(reader.readAllStandardOutput()).array();
    QCOMPARE(rows.size(), 3);
    for (const auto &row : rows)
        QCOMPARE(row.toArray().size(), 26);
    QCOMPARE(rows[0].toArray()[0].toString(), QStringLiteral("Datum"));
    QCOMPARE(rows[1].toArray()[column].toString(), value);
    QCOMPARE(rows[1].toArray()[2].toString(), QStringLiteral("OK1ABC"));
    QCOMPARE(rows[1].toArray()[24].toString(), QStringLiteral("15"));
    QCOMPARE(rows[2].toArray()[2].toString(), QStringLiteral("OK2XYZ"));
}

QTEST_GUILESS_MAIN(TestExportTable)
#include "tst_exporttable.moc"
