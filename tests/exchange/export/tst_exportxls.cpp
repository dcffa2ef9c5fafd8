// The workbook writer, checked by unpacking the .xlsx and reading its XML with Qt: the
// sheet, the bold captions, the cell types, values and formats, the rows of marked QSOs
// and the column widths.

#include "ExportFixture.h"
#include "ZipArchive.h"

#include "export/Export.h"
#include "base/FileError.h"

#include <QFile>
#include <QRegularExpression>
#include <QXmlStreamReader>

namespace
{

struct Cell {
    QString type; // "s" shared string, "inlineStr", "str", "n" number (also when absent)
    QString value;
    QString format; // number format code of its style ("General" when none)
    bool bold = false;
};

struct Sheet {
    QStringList sheetNames;
    QHash<QString, Cell> cells; // by reference, "A1"
    int lastRow = 0;
    QHash<int, double> widths; // by 1-based column
};

QString builtInFormat(int id)
{
    switch (id) {
    case 0:
        return QStringLiteral("General");
    case 49:
        return QStringLiteral("@");
    default:
        return QStringLiteral("#%1").arg(id);
    }
}

Sheet readWorkbook(const QString &path)
{
    Sheet sheet;
    const auto zip = ReadZip(ReadTestFile(path));

    QXmlStreamReader book(zip.value("xl/workbook.xml"));
    while (book.readNextStartElement() || !book.atEnd()) {
        if (book.isStartElement() && book.name() == u"sheet")
            sheet.sheetNames << book.attributes().value("name").toString();
        book.readNext();
    }

    QStringList shared;
    QXmlStreamReader strings(zip.value("xl/sharedStrings.xml"));
    while (!strings.atEnd()) {
        strings.readNext();
        if (strings.isStartElement() && strings.name() == u"si")
            shared << QString();
        else if (strings.isStartElement() && strings.name() == u"t")
            shared.last() += strings.readElementText();
    }

    QHash<int, QString> formats;
    QList<bool> boldFonts;
    QList<QPair<int, int>> styles; // numFmtId, fontId
    QXmlStreamReader css(zip.value("xl/styles.xml"));
    QString section;
    while (!css.atEnd()) {
        css.readNext();
        if (!css.isStartElement())
            continue;
        const auto a = css.attributes();
        if (css.name() == u"numFmt")
            formats.insert(a.value("numFmtId").toInt(), a.value("formatCode").toString());
        else if (css.name() == u"fonts" || css.name() == u"cellXfs" || css.name() == u"cellStyleXfs")
            section = css.name().toString();
        else if (css.name() == u"font" && section == u"fonts")
            boldFonts << false;
        else if (css.name() == u"b" && section == u"fonts")
            boldFonts.last() = true;
        else if (css.name() == u"xf" && section == u"cellXfs")
            styles << qMakePair(a.value("numFmtId").toInt(), a.value("fontId").toInt());
    }

    QXmlStreamReader xml(zip.value("xl/worksheets/sheet1.xml"));
    while (!xml.atEnd()) {
        xml.readNext();
        if (!xml.isStartElement())
            continue;
        const auto a = xml.attributes();
        if (xml.name() == u"col") {
            for (int c = a.value("min").toInt(); c <= a.value("max").toInt(); ++c)
                sheet.widths.insert(c, a.value("width").toDouble());
        } else if (xml.name() == u"row") {
            sheet.lastRow = std::max(sheet.lastRow, a.value("r").toInt());
        } else if (xml.name() == u"c") {
            Cell cell;
            const QString ref = a.value("r").toString();
            cell.type = a.hasAttribute("t") ? a.value("t").toString() : QStringLiteral("n");
            const auto style = styles.value(a.value("s").toInt());
            cell.format = formats.value(style.first, builtInFormat(style.first));
            cell.bold = boldFonts.value(style.second);
            while (xml.readNextStartElement()) {
                if (xml.name() == u"v" || xml.name() == u"t")
                    cell.value = xml.readElementText();
                else if (xml.name() == u"is") {
                    xml.readNextStartElement();
                    cell.value = xml.readElementText();
                    xml.skipCurrentElement();
                } else
                    xml.skipCurrentElement();
            }
            if (cell.type == u"s") {
                cell.value = shared.value(cell.value.toInt());
                cell.type = QStringLiteral("text");
            } else if (cell.type != u"n") {
                cell.type = QStringLiteral("text");
            }
            // Control characters are kept as _xHHHH_ in the sheet's XML.
            static const QRegularExpression escaped(QStringLiteral("_x([0-9A-F]{4})_"));
            for (auto m = escaped.match(cell.value); m.hasMatch(); m = escaped.match(cell.value))
                cell.value.replace(m.capturedStart(), m.capturedLength(),
                                   QChar(m.captured(1).toUShort(nullptr, 16)));
            if (cell.value.isEmpty() && cell.type == u"n")
                cell.type = QStringLiteral("blank");
            sheet.cells.insert(ref, cell);
        }
    }
    return sheet;
}

const QStringList XlsCaptions{"Datum",  "Čas",      "Značka", "MCALL", "MHz",  "Pásmo", "Mód",  "RSTo",
                              "RSTp",   "Jméno",    "QTH",    "LOCp",  "LOCo", "QSLo",  "QSLp", "eQSL",
                              "QSLvia", "Poznámka", "PWR",    "DXCC",  "ITU",  "WAZ",   "IOTA", "Diplom"};

QString ref(int column, int row)
{
    return QChar(u'A' + column) + QString::number(row);
}

} // namespace

class TestExportXls : public QObject
{
    Q_OBJECT

private slots:
    void captionsAndTypes();
    void values_data();
    void values();
    void marksAndFormatsReachLastRow();
    void widthsFollowContent();
    void unwritableFile();
};

void TestExportXls::captionsAndTypes()
{
    ExportFixture fx;
    fx.add(ExportFixture::qso({{"QSLO", 2},
                               {"QSLP", 0},
                               {"EQSLP", 1},
                               {"ITU", QVariant()},
                               {"NOTE", "první"},
                               {"IOTA", "EU123"},
                               {"AWARD", "OKDA"},
                               {"QSLVIA", "W3HNK"}}));
    const QString file = fx.path("book.xlsx");
    ExportXLS(fx.open(), {}, file, {});
    // The workbook is left in the shared temporary folder: the operator's alone.
    QCOMPARE(QFile::permissions(file) & ~(QFile::ReadUser | QFile::WriteUser), QFile::ReadOwner | QFile::WriteOwner);
    const Sheet sheet = readWorkbook(file);
    QCOMPARE(sheet.sheetNames, QStringList{"Tab"});
    QCOMPARE(sheet.lastRow, 2);
    for (int col = 0; col < XlsCaptions.size(); ++col) {
        const Cell caption = sheet.cells.value(ref(col, 1));
        QCOMPARE(caption.value, XlsCaptions[col]);
        QCOMPARE(caption.type, QStringLiteral("text"));
        QVERIFY2(caption.bold, qPrintable(caption.value));
        QVERIFY(!sheet.cells.value(ref(col, 2)).bold);
    }
    QVERIFY(!sheet.cells.contains(ref(24, 1)) && !sheet.cells.contains(ref(24, 2)));

    struct Expected {
        const char *type;
        QString value;
        const char *format;
    };
    const QList<Expected> row{
        {"text", "03.02.2007", "General"},
        {"n", QString::number((7 * 3600 + 5 * 60 + 9) / 86400.0, 'g', 17), "hh:mm:ss"},
        {"text", "OK1ABC", "General"},
        {"text", "OK1ABC", "General"},
        {"n", "14.025", "0.0000"},
        {"text", "20m", "General"},
        {"text", "CW", "General"},
        {"text", "599", "@"},
        {"text", "579", "@"},
        {"text", "Jan", "General"},
        {"text", "Praha", "General"},
        {"text", "JO70FC", "General"},
        {"text", "JN79SX", "General"},
        {"text", "Požadován", "General"},
        {"text", "Ne", "General"},
        {"text", "Ano", "General"},
        {"text", "W3HNK", "General"},
        {"text", "první", "General"},
        {"n", "100", "General"},
        {"text", "OK", "General"},
        {"n", "0", "General"},
        {"n", "15", "General"},
        {"text", "EU123", "General"},
        {"text", "OKDA", "General"},
    };
    for (int col = 0; col < row.size(); ++col) {
        const Cell cell = sheet.cells.value(ref(col, 2));
        const QString where = ref(col, 2);
        QCOMPARE(cell.type, QString::fromLatin1(row[col].type));
        if (cell.type == u"n")
            QVERIFY2(qFuzzyCompare(cell.value.toDouble(), row[col].value.toDouble()),
                     qPrintable(where + cell.value));
        else
            QCOMPARE(cell.value, row[col].value);
        QCOMPARE(cell.format, QString::fromLatin1(row[col].format));
    }
}

void TestExportXls::values_data()
{
    QTest::addColumn<QVariantMap>("record");
    QTest::addColumn<int>("column");
    QTest::addColumn<QString>("type");
    QTest::addColumn<QString>("value");

    const QVariant null;
    QTest::newRow("empty RSTo keeps the text format") << QVariantMap{{"RSTO", null}} << 7 << "blank"
                                                      << "";
    QTest::newRow("QSLo sent") << QVariantMap{{"QSLO", 1}} << 13 << "text"
                               << "Ano";
    QTest::newRow("QSLo invalid") << QVariantMap{{"QSLO", 3}} << 13 << "text"
                                  << "Neplatný";
    QTest::newRow("QSLp received") << QVariantMap{{"QSLP", 1}} << 14 << "text"
                                   << "Ano";
    QTest::newRow("empty WAZ") << QVariantMap{{"WAZ", null}} << 21 << "n"
                               << "0";
    QTest::newRow("PWR 0.5") << QVariantMap{{"PWR", 0.5}} << 18 << "n"
                             << "0.5";
    QTest::newRow("portable call") << QVariantMap{{"CALL", "OK1ABC/P"}} << 3 << "text"
                                   << "OK1ABC";
    QTest::newRow("out of band") << QVariantMap{{"BAND", 28}} << 5 << "text"
                                 << "Mimo!";
    QTest::newRow("midnight") << QVariantMap{{"UTC", QTime(0, 0)}} << 1 << "n"
                              << "0";
    QTest::newRow("empty name: no cell") << QVariantMap{{"NAME", null}} << 9 << ""
                                         << "";
    QTest::newRow("line break kept") << QVariantMap{{"NOTE", "a\r\nb <c> & d"}} << 17 << "text"
                                     << "a\r\nb <c> & d";
}

void TestExportXls::values()
{
    QFETCH(QVariantMap, record);
    QFETCH(int, column);
    QFETCH(QString, type);
    QFETCH(QString, value);
    ExportFixture fx;
    fx.add(ExportFixture::qso(record));
    const QString file = fx.path("v.xlsx");
    ExportXLS(fx.open(), {}, file, {});
    const Sheet sheet = readWorkbook(file);
    QCOMPARE(sheet.cells.contains(ref(column, 2)), !type.isEmpty());
    const Cell cell = sheet.cells.value(ref(column, 2));
    QCOMPARE(cell.type, type);
    if (type == u"n")
        QCOMPARE(cell.value.toDouble(), value.toDouble());
    else
        QCOMPARE(cell.value, value);
    if (column == 7)
        QCOMPARE(cell.format, QStringLiteral("@"));
}

void TestExportXls::marksAndFormatsReachLastRow()
{
    ExportFixture fx;
    const QList<qint64> ids = fx.addMany(30);
    LogQuery &q = fx.open();
    const QString file = fx.path("m.xlsx");
    ExportXLS(q, {ids[20], ids[3], ids[11]}, file, {});
    const Sheet sheet = readWorkbook(file);
    QCOMPARE(sheet.lastRow, 4);
    QCOMPARE(sheet.cells.value("C2").value, QStringLiteral("OK20"));
    QCOMPARE(sheet.cells.value("C3").value, QStringLiteral("OK3"));
    QCOMPARE(sheet.cells.value("C4").value, QStringLiteral("OK11"));
    for (int row = 2; row <= 4; ++row) {
        QCOMPARE(sheet.cells.value(ref(1, row)).format, QStringLiteral("hh:mm:ss"));
        QCOMPARE(sheet.cells.value(ref(4, row)).format, QStringLiteral("0.0000"));
        QCOMPARE(sheet.cells.value(ref(7, row)).format, QStringLiteral("@"));
        QCOMPARE(sheet.cells.value(ref(8, row)).format, QStringLiteral("@"));
    }
    QCOMPARE(q.Bookmark(), ids[11]);

    ExportXLS(q, {}, file, {});
    const Sheet all = readWorkbook(file);
    QCOMPARE(all.lastRow, 31);
    QCOMPARE(all.cells.value("C31").value, QStringLiteral("OK29"));
}

void TestExportXls::widthsFollowContent()
{
    ExportFixture fx;
    const QString note = QStringLiteral("Dlouhá poznámka, která se do úzkého sloupce nevejde");
    fx.add(ExportFixture::qso({{"NOTE", note}}));
    fx.add(ExportFixture::qso({{"CALL", "VP2E/OK1ABCDEFG"}}));
    const QString file = fx.path("w.xlsx");
    ExportXLS(fx.open(), {}, file, {});
    const Sheet sheet = readWorkbook(file);
    QCOMPARE(sheet.widths.size(), 24);
    QVERIFY(sheet.widths.value(18) >= note.size()); // Poznámka
    QVERIFY(sheet.widths.value(18) < note.size() + 5);
    QVERIFY(sheet.widths.value(3) >= 15);                      // Značka
    QVERIFY(sheet.widths.value(2) >= 8);                       // Čas: hh:mm:ss
    QVERIFY(sheet.widths.value(6) >= QString("Pásmo").size()); // caption wider than "20m"
    QVERIFY(sheet.widths.value(6) < sheet.widths.value(18));
}

void TestExportXls::unwritableFile()
{
    ExportFixture fx;
    fx.addMany(2);
    LogQuery &q = fx.open();
    const QString file = fx.path("missing/folder/x.xlsx");
    QVERIFY_THROWS_EXCEPTION(EFileError, ExportXLS(q, {}, file, {}));
    QVERIFY(!QFile::exists(file));
    QVERIFY(!q.ControlsDisabled());
}

QTEST_GUILESS_MAIN(TestExportXls)
#include "tst_exportxls.moc"
