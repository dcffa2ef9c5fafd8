// The report engine: the project Tisk.rav, rendering the log and the labels into the
// rendered file, reading back what the pages say, aborting, and printing to a PDF file.

#include "ListRows.h"
#include "PageText.h"
#include "PrintFixture.h"

#include "report/PrintQuery.h"
#include "report/RenderedReport.h"
#include "report/ReportError.h"
#include "report/ReportPrinter.h"
#include "report/ReportProject.h"
#include "report/ReportWriter.h"
#include "TestFiles.h"

#include <QImage>
#include <QPainter>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>

namespace
{

QList<TLogRecord> qsos(int count)
{
    QList<TLogRecord> rows;
    for (int i = 0; i < count; ++i)
        rows << QsoTestFixture::qso(QStringLiteral("DL%1ABC").arg(i), QDate(2026, 2, 3), QTime(14, 5), 14.025,
                                    1, {{"BAND", 6}, {"RSTO", "599"}, {"QSLVIA", "DL0XX"}, {"QSLO", 2}});
    return rows;
}

const QString ProjectFile = QStringLiteral(VELKOR_SOURCE_DIR "/data/Tisk.rav");

} // namespace

class TestReportEngine : public QObject
{
    Q_OBJECT

    QTemporaryDir m_dir;
    TReportProject m_project;

    QString out(const QString &name) const { return m_dir.filePath(name); }

    // Renders the report with the parameters of the dialogs; returns the rendered pages.
    QList<QStringList> render(const QString &report, int rows, TRvWriter &writer)
    {
        writer.SetOutputFile(out("Tisk.rnd"));
        writer.SetParameter("Znacka", "OK1XYZ");
        writer.SetParameter("Verze", "1.0.1");
        writer.SetParameter("Poznamka", "TNX FOR NICE QSO");
        ListRows list(qsos(rows));
        const TReportDefinition *definition = m_project.FindReport(report);
        if (!definition)
            return {};
        writer.Execute(*definition, &list);
        return RenderedPagesText(out("Tisk.rnd"));
    }

private slots:
    void initTestCase()
    {
        QVERIFY(m_dir.isValid());
        m_project.Open(ProjectFile);
    }

    void projectListsItsReports()
    {
        QVERIFY(m_project.FindReport("rprtDenik"));
        QCOMPARE(m_project.FindReport("RPRTDENIK")->kind, TReportDefinition::Log);
        const QStringList labels = m_project.ReportNames("NALEPKY");
        QVERIFY(labels.size() >= 2);
        QCOMPARE(labels.first(), QString("Nálepky A4 3 x 8 (70 x 37 mm)"));
        const TReportDefinition *sheet = m_project.FindReportByFullName(labels[1]);
        QVERIFY(sheet && sheet->kind == TReportDefinition::Labels);
        QCOMPARE(sheet->LabelsPerPage(), 14);
        QCOMPARE(sheet->labelSize, QSizeF(99.1, 38.1));
    }

    void missingProjectNamesTheFile()
    {
        TReportProject project;
        try {
            project.Open(out("Chybi.rav"));
            QFAIL("no error");
        } catch (const EReportError &e) {
            QVERIFY(e.message().contains(out("Chybi.rav")));
        }
        QVERIFY(!project.Active());
    }

    void brokenReportsAreRefused_data()
    {
        QTest::addColumn<QByteArray>("section");
        QTest::addColumn<QString>("reason");
        QTest::newRow("unknown type") << QByteArray("Type=Graf\n") << "neznámý typ";
        QTest::newRow("unknown field") << QByteArray("Type=Log\nColumns=CALL:Značka:20;XYZ:X:10\n") << "XYZ";
        QTest::newRow("columns too wide")
            << QByteArray("Type=Log\nColumns=CALL:Značka:150;NAME:Jméno:100\n") << "širší";
        QTest::newRow("labels off the sheet")
            << QByteArray("Type=Labels\nLabelColumns=3\nLabelRows=9\nLabelWidth=70\nLabelHeight=37\n")
            << "nevejdou";
        QTest::newRow("no rows") << QByteArray("Type=Labels\nLabelColumns=3\nLabelRows=0\n") << "LabelRows";
        QTest::newRow("bad length") << QByteArray(
                                           "Type=Labels\nLabelColumns=2\nLabelRows=2\nLabelWidth=abc\n")
                                    << "LabelWidth";
    }

    void brokenReportsAreRefused()
    {
        QFETCH(QByteArray, section);
        QFETCH(QString, reason);
        QVERIFY(WriteTestFile(out("Zly.rav"), "[rprtZly]\n" + section));
        TReportProject project;
        try {
            project.Open(out("Zly.rav"));
            QFAIL("no error");
        } catch (const EReportError &e) {
            QVERIFY2(e.message().contains("rprtZly") && e.message().contains(reason),
                     qPrintable(e.message()));
        }
    }

    void logReportPagesAndTheirText()
    {
        TRvWriter writer;
        QStringList statuses;
        writer.SetStatusHandler([&statuses](const QString &s) { statuses << s; });
        const QList<QStringList> pages = render("rprtDenik", 150, writer);
        QVERIFY(pages.size() >= 2);
        QCOMPARE(writer.PageCount(), pages.size());
        QCOMPARE(statuses.first(), QString("Generuji stranu 1"));
        QCOMPARE(statuses.size(), pages.size());
        const QStringList &first = pages.first();
        QCOMPARE(first.mid(0, 3), (QStringList{"Deník stanice OK1XYZ", "Velkor 1.0.1", "Strana 1"}));
        QVERIFY(first.contains("Značka") && first.contains("Poznámka"));
        // The first QSO's row as printed: date, time, call, MHz, mode, reports, QSLo mark.
        const int row = int(first.indexOf("03.02.2026"));
        QVERIFY(row > 0);
        QCOMPARE(first.mid(row, 6), (QStringList{"03.02.2026", "14:05", "DL0ABC", "14,025", "CW", "599"}));
        QVERIFY(first.contains("R"));
        QVERIFY(pages.last().contains(QStringLiteral("Strana %1").arg(pages.size())));
        int printed = 0;
        for (const QStringList &page : pages)
            printed += int(page.count("03.02.2026"));
        QCOMPARE(printed, 150);
    }

    void pagesPaintTheSameWhateverThePainterHeld()
    {
        TRvWriter writer;
        render("rprtDenik", 1, writer);
        QFile file(out("Tisk.rnd"));
        QVERIFY(file.open(QIODevice::ReadOnly));
        const TRenderedReport report(file);
        QCOMPARE(report.PageSizeMm(), QSizeF(297, 210)); // A4 turned
        // The heading is drawn before the page sets any colour: a white pen left on the
        // target painter (a widget's palette) must not hide it.
        QImage image(594, 420, QImage::Format_RGB32);
        image.fill(Qt::white);
        {
            QPainter painter(&image);
            painter.setPen(Qt::white);
            report.PaintPage(1, painter, 50.8); // two pixels per millimetre
        }
        int dark = 0;
        for (int y = 20; y < 36; ++y) // the heading line, 10 to 18 mm from the top
            for (int x = 24; x < 200; ++x)
                dark += qGray(image.pixel(x, y)) < 128 ? 1 : 0;
        QVERIFY2(dark > 50, qPrintable(QString::number(dark)));
    }

    void emptyLogStillHasItsHeading()
    {
        TRvWriter writer;
        writer.SetOutputFile(out("Tisk.rnd"));
        writer.SetParameter("Znacka", "OK1XYZ");
        QVERIFY(writer.Execute(*m_project.FindReport("rprtDenik"), nullptr));
        const QList<QStringList> pages = RenderedPagesText(out("Tisk.rnd"));
        QCOMPARE(pages.size(), 1);
        QCOMPARE(pages[0].first(), QString("Deník stanice OK1XYZ"));
    }

    void labelsFillTheSheets_data()
    {
        QTest::addColumn<int>("sheet");
        QTest::addColumn<int>("labels");
        QTest::addColumn<int>("pages");
        QTest::newRow("3 x 8, one label") << 0 << 1 << 1;
        QTest::newRow("3 x 8, a full sheet") << 0 << 24 << 1;
        QTest::newRow("3 x 8, one more") << 0 << 25 << 2;
        QTest::newRow("2 x 7, 30 labels") << 1 << 30 << 3;
    }

    void labelsFillTheSheets()
    {
        QFETCH(int, sheet);
        QFETCH(int, labels);
        QFETCH(int, pages);
        const TReportDefinition *report =
            m_project.FindReportByFullName(m_project.ReportNames("Nalepky")[sheet]);
        QVERIFY(report);
        TRvWriter writer;
        const QList<QStringList> text = render(report->name, labels, writer);
        QCOMPARE(text.size(), pages);
        int calls = 0;
        for (const QStringList &page : text)
            calls += int(page.count("73 de OK1XYZ"));
        QCOMPARE(calls, labels);
        // Everything a bureau card needs is on the label.
        for (const QString &word :
             {"DL0ABC", "via DL0XX", "03.02.2026", "14:05", "20m", "CW", "599", "TNX FOR NICE QSO"})
            QVERIFY2(text[0].contains(word), qPrintable(word));
    }

    void longCallGivesWayToTheManager()
    {
        TLogRecord r = qsos(1)[0];
        r[fiCALL] = "VP2E/OK1ABCDEFG";
        r[fiQSLVIA] = "W1ABCDEFGHIJKL";
        ListRows rows({r});
        TRvWriter writer;
        writer.SetOutputFile(out("Tisk.rnd"));
        QVERIFY(writer.Execute(*m_project.FindReport("rprtNalepky3x8"), &rows));
        const QStringList words = RenderedPagesText(out("Tisk.rnd")).value(0);
        QVERIFY(words.contains("via W1ABCDEFGHIJKL"));
        const QStringList call = words.filter("VP2E");
        QCOMPARE(call.size(), 1);
        QVERIFY2(call[0].endsWith(QChar(0x2026)), qPrintable(call[0]));
    }

    void abortStopsAfterThePageAndRemovesTheFile()
    {
        TRvWriter writer;
        int pagesBegun = 0;
        writer.SetStatusHandler([&](const QString &) {
            if (++pagesBegun == 2)
                QTimer::singleShot(0, [&writer] { writer.Abort(); });
        });
        render("rprtDenik", 500, writer);
        QVERIFY(writer.Aborted());
        QCOMPARE(pagesBegun, 2);
        QVERIFY(!QFile::exists(out("Tisk.rnd")));
    }

    void printsToPdfWithAllPages()
    {
        TRvWriter writer;
        const int pages = int(render("rprtDenik", 150, writer).size());
        TRvPrinter printer;
        QCOMPARE(printer.PrinterNames().last(), TRvPrinter::PdfTargetName());
        printer.SetPrinterIndex(int(printer.PrinterNames().size()) - 1);
        printer.PrintFile(out("Tisk.rnd"), out("denik.pdf"));
        QCOMPARE(PdfPageCount(out("denik.pdf")), pages);
    }

    void printFailuresRaise()
    {
        TRvWriter writer;
        render("rprtDenik", 3, writer);
        TRvPrinter printer;
        printer.SetPrinterIndex(int(printer.PrinterNames().size()) - 1);
        QVERIFY_THROWS_EXCEPTION(EReportError, printer.PrintFile(out("Tisk.rnd"), out("no/such/dir/x.pdf")));
        QVERIFY_THROWS_EXCEPTION(EReportError, printer.PrintFile(out("none.rnd"), out("x.pdf")));
        QByteArray damaged = ReadTestFile(out("Tisk.rnd"));
        damaged.chop(damaged.size() / 2);
        QVERIFY(WriteTestFile(out("damaged.rnd"), damaged));
        QVERIFY_THROWS_EXCEPTION(EReportError, printer.PrintFile(out("damaged.rnd"), out("x.pdf")));
    }

    void printQueryOrdersAndRefusesUnknownFields()
    {
        PrintFixture p;
        p.add("OK2BC", "OK", QDate(2026, 1, 2));
        p.add("OK1AB", "OK", QDate(2026, 1, 3));
        p.add("DL1AB", "DL", QDate(2026, 1, 1));
        TPrintQuery query;
        query.Open(p.fx.dm->LogFileName(QsoTestFixture::Call), {"DXCC", "CALL DESC"});
        QStringList calls;
        TLogRecord r;
        while (query.Next(r))
            calls << r[fiCALL].toString();
        QCOMPARE(calls, (QStringList{"DL1AB", "OK2BC", "OK1AB"}));
        QVERIFY_THROWS_EXCEPTION(EVelkorError,
                                 query.Open(p.fx.dm->LogFileName(QsoTestFixture::Call), {"ID;DROP"}));
        QVERIFY_THROWS_EXCEPTION(EVelkorError, query.Open(p.temp("_none.db"), {"ID"}));
        QVERIFY(!query.Active() && !query.Next(r));
    }
};

QTEST_MAIN(TestReportEngine)
#include "tst_reportengine.moc"
