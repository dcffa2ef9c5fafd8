// What lands on paper: the log and the three label sheets printed to PDF through the PDF
// target and through printers of several resolutions, read back with pdftotext as words
// with their boxes, and checked against the layout of the report project; and the
// preview's pages against the printed ones.

#include "ListRows.h"
#include "PageText.h"
#include "PdfText.h"

#include "../../logbook/QsoTestFixture.h"

#include "radio/Amater.h"
#include "report/RenderedReport.h"
#include "report/ReportPreview.h"
#include "report/ReportPrinter.h"
#include "report/ReportProject.h"
#include "report/ReportWriter.h"

#include <QPrinter>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QTest>

#include <map>
#include <optional>

namespace
{

constexpr double Tolerance = 1.0; // mm, for margins and positions

// One QSO of the test log, as the operator typed it.
struct TestQso {
    QString call, name, qth, locator, note;
    QDate date;
    QTime time;
    double mhz;
    int mode;
    bool wide; // values wider than their columns, to be wrapped
};

// A log that holds what logs hold at their widest: calls of 15 characters, QTH of 20,
// notes of 50, every mode name, six-character locators; two QSOs carry values no column
// can hold on one line. In date, time and call order, as the log is printed.
QList<TestQso> testLog()
{
    static const QStringList calls{"VP2E/OK1WMW/QRP", "OK1ABC",   "DL1ABC/P",        "3DA0/ZS6ABC/MM",
                                   "9A/OM3XYZ/QRP",   "W1AW",     "HB0/DL1ABC/QRPP", "OK2ZZZ/AM",
                                   "UA9/OK1DXA/P",    "G4ABC/MM"};
    static const QStringList names{"Maximilián A", "Jaroslava Ž.", "Jo", "Bohumil"};
    static const QStringList qths{"Frýdlant nad Ostrav.", "Brno-Královo Pole 12", "Praha", "Dvůr Králové n. L."};
    static const QStringList notes{QStringLiteral("Šťastná cesta domů, 73 a hodně DX! Příště na 10m FT8"),
                                   QStringLiteral("QSL via bureau, please; band opening to JA and VK6"),
                                   QStringLiteral("Contest"), QString()};
    static const QList<double> mhz{1.8325, 14.025, 144.3001, 1296.12345, 10368.1};
    QList<TestQso> log;
    for (int i = 0; i < 100; ++i) {
        TestQso q;
        q.wide = i == 40 || i == 77;
        q.call = q.wide ? QString(15, u'W') : calls[i % calls.size()];
        q.name = q.wide ? QString(12, u'W') : names[i % names.size()];
        q.qth = q.wide ? QString(20, u'W') : qths[i % qths.size()];
        q.note = q.wide ? QString(50, u'M') : notes[i % notes.size()].left(50);
        const auto letter = [](char first, int offset) { return QChar(char16_t(first + offset)); };
        q.locator = QString(letter('A', i % 18)) + letter('R', -(i / 3) % 18) + QString::number(i % 10) +
                    QString::number((i / 7) % 10) + letter('X', -(i % 24)) + letter('A', (i * 5) % 24);
        q.date = QDate(2026, 1, 1).addDays(i / 10);
        q.time = QTime(0, 0).addSecs(60 * 97 * (i % 10));
        q.mhz = mhz[i % mhz.size()];
        q.mode = 1 + i % (ModeCount - 1);
        log << q;
    }
    return log;
}

QList<TLogRecord> recordsOf(const QList<TestQso> &log)
{
    QList<TLogRecord> records;
    for (const TestQso &q : log)
        records << QsoTestFixture::qso(q.call, q.date, q.time, q.mhz, q.mode,
                                       {{"NAME", q.name},
                                        {"QTH", q.qth},
                                        {"LOCP", q.locator},
                                        {"NOTE", q.note.isEmpty() ? QVariant() : QVariant(q.note)},
                                        {"BAND", 6},
                                        {"RSTO", "599"},
                                        {"RSTP", "57"}});
    return records;
}

// The printed form of the checked fields, as the test expects it.
std::map<int, QString> expectedCells(const TestQso &q)
{
    return {{fiDAT, q.date.toString("dd.MM.yyyy")},
            {fiUTC, q.time.toString("hh:mm")},
            {fiCALL, q.call},
            {fiMODE, ModeNames[q.mode]},
            {fiNAME, q.name},
            {fiQTH, q.qth},
            {fiLOCP, q.locator},
            {fiNOTE, q.note}};
}

QString withoutSpaces(QString text)
{
    return text.remove(QRegularExpression(QStringLiteral("\\s")));
}

QString describe(const QList<PdfWord> &words)
{
    QStringList parts;
    for (const PdfWord &w : words)
        parts << QStringLiteral("%1@(%2,%3)-(%4,%5)")
                     .arg(w.text)
                     .arg(w.box.left(), 0, 'f', 1)
                     .arg(w.box.top(), 0, 'f', 1)
                     .arg(w.box.right(), 0, 'f', 1)
                     .arg(w.box.bottom(), 0, 'f', 1);
    return parts.join(u' ');
}

// The column boxes of the log, in mm from the paper's left edge.
QList<QPair<double, double>> columnSpans(const TReportDefinition &report)
{
    QList<QPair<double, double>> spans;
    double x = report.margins.left();
    for (const TReportColumn &column : report.columns) {
        spans.append({x, x + column.width});
        x += column.width;
    }
    return spans;
}

// The printable area of a page: the paper within the report's margins.
QRectF printableArea(const TReportDefinition &report)
{
    return QRectF(QPointF(report.margins.left(), report.margins.top()),
                  QPointF(report.pageSize.width() - report.margins.right(),
                          report.pageSize.height() - report.margins.bottom()));
}

// The rectangle of a label slot (row by row) on its sheet, in mm.
QRectF slotRect(const TReportDefinition &report, int slot)
{
    const int column = slot % report.labelColumns;
    const int row = slot / report.labelColumns;
    const QSizeF size = report.labelSize;
    return QRectF(report.margins.left() + column * (size.width() + report.gap.width()),
                  report.margins.top() + row * (size.height() + report.gap.height()), size.width(),
                  size.height());
}

// The words of a page read out in order as plain words, for comparing two readings.
QStringList sortedWords(QStringList words)
{
    std::sort(words.begin(), words.end());
    return words;
}

} // namespace

class TestPrintedPages : public QObject
{
    Q_OBJECT

    QTemporaryDir m_dir;
    TReportProject m_project;

    QString out(const QString &name) const { return m_dir.filePath(name); }

    // Renders a report of the project over the records into a rendered file.
    QString render(const QString &report, const QList<TLogRecord> &records)
    {
        const QString file = out(report + QStringLiteral(".rnd"));
        TRvWriter writer;
        writer.SetOutputFile(file);
        writer.SetParameter("Znacka", "OK1XYZ");
        writer.SetParameter("Verze", "1.0.1");
        writer.SetParameter("Poznamka", "TNX FOR NICE QSO");
        ListRows rows(records);
        const TReportDefinition *definition = m_project.FindReport(report);
        if (!definition || !writer.Execute(*definition, &rows))
            return QString();
        return file;
    }

    // Prints a rendered file to PDF: dpi 0 through the program's PDF target, otherwise
    // through a printer of that resolution writing PDF.
    static void print(const QString &rendered, int dpi, const QString &pdf)
    {
        if (dpi == 0) {
            TRvPrinter printer;
            printer.SetPrinterIndex(int(printer.PrinterNames().size()) - 1);
            QVERIFY(printer.IsPdfTarget(printer.PrinterIndex()));
            printer.PrintFile(rendered, pdf);
            return;
        }
        QPrinter printer(QPrinter::HighResolution);
        printer.setOutputFormat(QPrinter::PdfFormat);
        printer.setOutputFileName(pdf);
        printer.setResolution(dpi);
        QFile file(rendered);
        QVERIFY(file.open(QIODevice::ReadOnly));
        TRvPrinter::PrintStreamOn(file, printer);
        QCOMPARE(printer.resolution(), dpi);
    }

    static PdfText printed(const QString &rendered, int dpi, const QString &pdf)
    {
        print(rendered, dpi, pdf);
        return PdfText::Read(pdf);
    }

    static void targets()
    {
        QTest::addColumn<int>("dpi");
        QTest::newRow("PDF target") << 0;
        QTest::newRow("printer 72 dpi") << 72;
        QTest::newRow("printer 300 dpi") << 300;
        QTest::newRow("printer 600 dpi") << 600;
        QTest::newRow("printer 1200 dpi") << 1200;
    }

    // Every word of the page within the printable area; the heading at the margins.
    static void checkLogPageFrame(const TReportDefinition &report, const PdfPage &page, int number)
    {
        QVERIFY2(qAbs(page.size.width() - report.pageSize.width()) < Tolerance &&
                     qAbs(page.size.height() - report.pageSize.height()) < Tolerance,
                 qPrintable(QStringLiteral("page %1 x %2 mm").arg(page.size.width()).arg(page.size.height())));
        const QRectF area = printableArea(report).adjusted(-Tolerance, -Tolerance, Tolerance, Tolerance);
        for (const PdfWord &w : page.words)
            QVERIFY2(area.contains(w.box), qPrintable(describe({w})));
        QVERIFY(!page.words.isEmpty());
        const PdfWord &title = page.words.first();
        QCOMPARE(title.text, QString("Deník"));
        QVERIFY2(qAbs(title.box.left() - report.margins.left()) < Tolerance, qPrintable(describe({title})));
        QVERIFY2(qAbs(title.box.top() - report.margins.top()) < Tolerance, qPrintable(describe({title})));
        // Every caption whole over its column.
        const auto spans = columnSpans(report);
        for (int c = 0; c < report.columns.size(); ++c) {
            const QRectF head(QPointF(spans[c].first, title.box.bottom()), QPointF(spans[c].second, title.box.bottom() + 8));
            const QList<PdfWord> caption = page.within(head);
            QVERIFY2(caption.size() == 1 && caption[0].text == report.columns[c].caption &&
                         caption[0].box.left() >= spans[c].first && caption[0].box.right() <= spans[c].second,
                     qPrintable(report.columns[c].caption + QStringLiteral(": ") + describe(caption)));
        }
        // "Strana <n>" closes the heading at the right margin.
        const int strana = int(page.texts().indexOf("Strana"));
        QVERIFY(strana >= 0 && strana + 1 < page.words.size());
        const PdfWord &count = page.words[strana + 1];
        QCOMPARE(count.text, QString::number(number));
        const double right = report.pageSize.width() - report.margins.right();
        QVERIFY2(qAbs(count.box.right() - right) < Tolerance, qPrintable(describe({count})));
    }

    // Checks the rows of a page against the log from `next` on; returns the index after
    // the page's last row.
    static int checkLogRows(const TReportDefinition &report, const PdfPage &page, const QList<TestQso> &log,
                            int next, bool lastPage)
    {
        const auto spans = columnSpans(report);
        const int dateColumn = 0;
        static const QRegularExpression date(QStringLiteral("^\\d\\d\\.\\d\\d\\.\\d{4}$"));
        QList<PdfWord> dates;
        for (const PdfWord &w : page.within(QRectF(QPointF(spans[dateColumn].first, 0),
                                                   QPointF(spans[dateColumn].second, page.size.height()))))
            if (date.match(w.text).hasMatch())
                dates << w;
        const double bottom = report.pageSize.height() - report.margins.bottom();
        double lastRowBottom = 0;
        for (int r = 0; r < dates.size(); ++r, ++next) {
            if (next >= log.size()) {
                qWarning() << "row beyond the log:" << describe({dates[r]});
                return -1;
            }
            const TestQso &q = log[next];
            const double top = dates[r].box.top() - 0.5;
            const double end = r + 1 < dates.size() ? dates[r + 1].box.top() - 0.5 : bottom + Tolerance;
            for (const auto &[field, value] : expectedCells(q)) {
                int column = -1;
                for (int c = 0; c < report.columns.size(); ++c)
                    if (report.columns[c].field == field)
                        column = c;
                if (column < 0) {
                    qWarning() << "the log report has no column for" << LogFieldNames[field];
                    return -1;
                }
                const QRectF cell(QPointF(spans[column].first, top), QPointF(spans[column].second, end));
                const QList<PdfWord> pieces = page.within(cell);
                QStringList texts;
                QList<double> lines;
                for (const PdfWord &w : pieces) {
                    texts << w.text;
                    if (w.box.left() < cell.left() - 0.05 || w.box.right() > cell.right() + 0.05) {
                        qWarning() << "QSO" << next << LogFieldNames[field] << "leaves its cell:" << describe(pieces);
                        return -1;
                    }
                    if (lines.isEmpty() || w.box.top() > lines.last() + 0.3)
                        lines << w.box.top();
                    lastRowBottom = std::max(lastRowBottom, w.box.bottom());
                }
                if (withoutSpaces(texts.join(QString())) != withoutSpaces(value)) {
                    qWarning() << "QSO" << next << LogFieldNames[field] << "expected" << value << "printed"
                               << describe(pieces);
                    return -1;
                }
                // Values the columns were laid out for stay on one line; wider ones wrap.
                const bool wraps = q.wide && (field == fiCALL || field == fiNOTE || field == fiQTH || field == fiNAME);
                if (!value.isEmpty() && (lines.size() > 1) != wraps) {
                    qWarning() << "QSO" << next << LogFieldNames[field] << "on" << lines.size()
                               << "lines:" << describe(pieces);
                    return -1;
                }
            }
        }
        // A page ends only when the next row would not fit under its last one.
        if (!lastPage && dates.size() > 2) {
            const double pitch = (dates.last().box.top() - dates.first().box.top()) / (dates.size() - 1);
            if (bottom - lastRowBottom > 2 * pitch) {
                qWarning() << "page ends early, last row at" << lastRowBottom << "mm";
                return -1;
            }
        }
        return next;
    }

    // The words of a preview page, split as a PDF reader splits them, with the left
    // edge of each drawn piece in mm from the page's top-left corner as drawn.
    static QList<QPair<QString, double>> previewWords(TRvPreview &preview, int page)
    {
        preview.RenderPage(page);
        TextRecorder recorder(preview.logicalDpiX());
        preview.render(&recorder);
        QList<QPair<QString, double>> words;
        const double pixelsPerMm = preview.logicalDpiX() / 25.4 * preview.ZoomFactor() / 100.0;
        for (const DrawnText &t : recorder.texts()) {
            const QStringList parts = t.text.split(u' ', Qt::SkipEmptyParts);
            for (int i = 0; i < parts.size(); ++i)
                words.append({parts[i], i == 0 ? t.at.x() / pixelsPerMm : -1.0});
        }
        return words;
    }

    // The preview shows the same words on the same pages as the printed PDF, each
    // piece at the same place.
    void comparePreviewWithPdf(const QString &rendered, const PdfText &pdf)
    {
        QFile file(rendered);
        QVERIFY(file.open(QIODevice::ReadOnly));
        TRvPreview preview;
        preview.RenderStream(file);
        QCOMPARE(preview.PageCount(), pdf.pages.size());
        for (int page = 1; page <= preview.PageCount(); ++page) {
            const auto shown = previewWords(preview, page);
            QStringList shownTexts;
            for (const auto &w : shown)
                shownTexts << w.first;
            const PdfPage &paper = pdf.pages[page - 1];
            QCOMPARE(sortedWords(shownTexts), sortedWords(paper.texts()));
            // Words found once on the page: the preview and the paper place them alike,
            // apart from the frame the preview draws around the page.
            std::optional<double> frame;
            int compared = 0;
            for (const auto &[text, x] : shown) {
                if (x < 0 || shownTexts.count(text) != 1)
                    continue;
                const PdfWord &w = paper.words[paper.texts().indexOf(text)];
                if (!frame)
                    frame = x - w.box.left();
                QVERIFY2(qAbs(x - *frame - w.box.left()) < Tolerance,
                         qPrintable(QStringLiteral("%1: preview %2 mm, paper %3 mm")
                                        .arg(text)
                                        .arg(x - *frame)
                                        .arg(w.box.left())));
                ++compared;
            }
            QVERIFY(compared > 5);
        }
    }

private slots:
    void initTestCase()
    {
        QVERIFY2(!PdfText::Tool().isEmpty(), "pdftotext (poppler-utils) is needed: tools/install-deps.sh");
        m_project.Open(VELKOR_SOURCE_DIR "/data/Tisk.rav");
    }

    void logLandsWholeOnEveryPage_data() { targets(); }
    void logLandsWholeOnEveryPage()
    {
        QFETCH(int, dpi);
        const QList<TestQso> log = testLog();
        const QString rendered = render("rprtDenik", recordsOf(log));
        QVERIFY(!rendered.isEmpty());
        const PdfText pdf = printed(rendered, dpi, out(QStringLiteral("log%1.pdf").arg(dpi)));
        QVERIFY2(pdf.error.isEmpty(), qPrintable(pdf.error));
        QVERIFY(pdf.pages.size() >= 2);
        const TReportDefinition &report = *m_project.FindReport("rprtDenik");
        int next = 0;
        for (int p = 0; p < pdf.pages.size(); ++p) {
            checkLogPageFrame(report, pdf.pages[p], p + 1);
            if (QTest::currentTestFailed())
                return;
            next = checkLogRows(report, pdf.pages[p], log, next, p + 1 == pdf.pages.size());
            QVERIFY2(next >= 0, qPrintable(QStringLiteral("page %1").arg(p + 1)));
        }
        QCOMPARE(next, log.size());
    }

    void labelsLandInTheirSlots_data()
    {
        QTest::addColumn<QString>("sheet");
        QTest::addColumn<int>("dpi");
        for (const char *sheet : {"rprtNalepky3x8", "rprtNalepky2x7", "rprtNalepky3x7"})
            for (int dpi : {0, 72, 300, 1200})
                QTest::addRow("%s %s", sheet, dpi ? qPrintable(QString::number(dpi) + " dpi") : "PDF target")
                    << QString(sheet) << dpi;
    }
    void labelsLandInTheirSlots()
    {
        QFETCH(QString, sheet);
        QFETCH(int, dpi);
        // A sheet and a half, so that the second sheet starts again at the first slot.
        const TReportDefinition &report = *m_project.FindReport(sheet);
        const int perSheet = report.LabelsPerPage();
        QList<TestQso> log;
        for (const TestQso &q : testLog())
            if (!q.wide && q.call.size() <= 10 && log.size() < perSheet * 3 / 2)
                log << q;
        QCOMPARE(log.size(), perSheet * 3 / 2);
        const QString rendered = render(sheet, recordsOf(log));
        QVERIFY(!rendered.isEmpty());
        const PdfText pdf = printed(rendered, dpi, out(QStringLiteral("%1-%2.pdf").arg(sheet).arg(dpi)));
        QVERIFY2(pdf.error.isEmpty(), qPrintable(pdf.error));
        QCOMPARE(pdf.pages.size(), 2);
        for (int p = 0; p < pdf.pages.size(); ++p) {
            const PdfPage &page = pdf.pages[p];
            QVERIFY(qAbs(page.size.width() - report.pageSize.width()) < Tolerance);
            QVERIFY(qAbs(page.size.height() - report.pageSize.height()) < Tolerance);
            int placed = 0;
            for (int slot = 0; slot < perSheet; ++slot) {
                const QRectF outer = slotRect(report, slot);
                const QList<PdfWord> words = page.within(outer);
                placed += int(words.size());
                const int index = p * perSheet + slot;
                if (index >= log.size()) {
                    QVERIFY2(words.isEmpty(), qPrintable(describe(words)));
                    continue;
                }
                const TestQso &q = log[index];
                const QRectF inner = outer.adjusted(report.padding, report.padding, -report.padding,
                                                    -report.padding);
                for (const PdfWord &w : words)
                    QVERIFY2(inner.adjusted(-0.5, -0.5, 0.5, 0.5).contains(w.box),
                             qPrintable(QStringLiteral("slot %1: %2").arg(slot).arg(describe({w}))));
                QStringList texts;
                for (const PdfWord &w : words)
                    texts << w.text;
                for (const QString &expected :
                     {q.call, q.date.toString("dd.MM.yyyy"), q.time.toString("hh:mm"), ModeNames[q.mode],
                      QString("599"), QString("TNX"), QString("QSO"), QString("OK1XYZ")})
                    QVERIFY2(texts.contains(expected),
                             qPrintable(QStringLiteral("slot %1 lacks %2: %3").arg(slot).arg(expected, describe(words))));
            }
            // Nothing printed outside the slots.
            QCOMPARE(placed, page.words.size());
        }
    }

    void previewShowsWhatIsPrinted_data()
    {
        QTest::addColumn<QString>("report");
        QTest::addColumn<int>("dpi");
        QTest::newRow("log, PDF target") << "rprtDenik" << 0;
        QTest::newRow("log, printer 300 dpi") << "rprtDenik" << 300;
        QTest::newRow("labels 3x8, PDF target") << "rprtNalepky3x8" << 0;
        QTest::newRow("labels 2x7, printer 600 dpi") << "rprtNalepky2x7" << 600;
    }
    void previewShowsWhatIsPrinted()
    {
        QFETCH(QString, report);
        QFETCH(int, dpi);
        const QString rendered = render(report, recordsOf(testLog().mid(0, 60)));
        QVERIFY(!rendered.isEmpty());
        const PdfText pdf = printed(rendered, dpi, out(QStringLiteral("preview-%1.pdf").arg(report)));
        QVERIFY2(pdf.error.isEmpty(), qPrintable(pdf.error));
        comparePreviewWithPdf(rendered, pdf);
    }

    void turnedPagesGoOnTurnedPaper()
    {
        // The log's page is A4 turned; the printer gets A4 in landscape, not a custom size.
        const QString rendered = render("rprtDenik", recordsOf(testLog().mid(0, 3)));
        QPrinter printer(QPrinter::HighResolution);
        printer.setOutputFormat(QPrinter::PdfFormat);
        printer.setOutputFileName(out("turned.pdf"));
        QFile file(rendered);
        QVERIFY(file.open(QIODevice::ReadOnly));
        TRvPrinter::PrintStreamOn(file, printer);
        QCOMPARE(printer.pageLayout().pageSize().id(), QPageSize::A4);
        QCOMPARE(printer.pageLayout().orientation(), QPageLayout::Landscape);
        const PdfText pdf = PdfText::Read(out("turned.pdf"));
        QCOMPARE(pdf.pages.size(), 1);
        QVERIFY(pdf.pages[0].size.width() > pdf.pages[0].size.height());
    }
};

QTEST_MAIN(TestPrintedPages)
#include "tst_printedpages.moc"
