// The log print and the label print dialogs: when they render, what they print, and
// that QSOs are marked as QSL sent only after a print that succeeded.

#include "PageText.h"
#include "PdfText.h"
#include "PrintFixture.h"

#include "FileDialogs.h"
#include "base/Messages.h"
#include "ModalRunner.h"
#include "print/PrintJob.h"
#include "print/PrintLabels.h"
#include "print/PrintLog.h"
#include "print/PrintPreview.h"
#include "print/QslTable.h"
#include "report/ReportError.h"
#include "report/ReportPreview.h"
#include "ScriptedMessages.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDir>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTest>
#include <QTimer>

using Calls = QList<QPair<int, int>>;

namespace
{

// Answers the preview window, remembering how many pages it was given.
struct PreviewHook {
    int shown = 0;
    int pages = 0;
    PreviewHook()
    {
        SetModalHook([this](QDialog &dialog) {
            if (auto *preview = qobject_cast<TfrmNahled *>(&dialog)) {
                ++shown;
                pages = preview->RvPreview->PageCount();
                return int(mrCancel);
            }
            qWarning("unexpected modal window %s", qPrintable(dialog.objectName()));
            return int(mrCancel);
        });
    }
    ~PreviewHook() { SetModalHook({}); }
};

// Presses "Zrušit" of the progress window as soon as the rendering shows it and lets
// events through.
void cancelNextRendering(TfrmDialog &progress)
{
    auto *timer = new QTimer(&progress);
    QObject::connect(timer, &QTimer::timeout, &progress, [&progress, timer] {
        if (progress.isVisible() && progress.Btn()->isVisible() && progress.Btn()->text() == "Zrušit") {
            timer->deleteLater();
            timer->stop();
            progress.Btn()->click();
        }
    });
    timer->start(0);
}

int pdfTarget(QComboBox *printers)
{
    return printers->count() - 1;
}

} // namespace

class TestPrintDialogs : public QObject
{
    Q_OBJECT

    // A log of the given calls (entity OK unless it starts with "DL", dates a day apart in
    // reverse order of the list) with the first `marked` of them marked, and the print
    // tables built as the main window builds them.
    static void prepare(PrintFixture &p, const QStringList &calls, int marked = 0)
    {
        for (int i = 0; i < calls.size(); ++i) {
            const qint64 id =
                p.add(calls[i], calls[i].startsWith("DL") ? "DL" : "OK", QDate(2026, 3, 28).addDays(-i));
            if (i < marked)
                p.marks << id;
        }
        p.open();
        CopyMarkedToTable(p.query, p.marks, p.temp("_Temp.db"));
        BuildQSLTable(p.temp("_Temp.db"), p.temp("_QSL.db"));
    }

    // The printed calls of the log report, page by page in reading order.
    static QStringList printedCalls(const TPrintJob &job, const QStringList &known)
    {
        QStringList calls;
        for (const QStringList &page : RenderedPagesText(job.OutputFile()))
            for (const QString &word : page)
                if (known.contains(word))
                    calls << word;
        return calls;
    }

    QTemporaryDir m_out;

private slots:
    void init() { FileDialogs::resetScript(); }
    void cleanup() { FileDialogs::resetScript(); }

    void logPreviewThenPrintRendersOnce()
    {
        PrintFixture p;
        prepare(p, {"OK1AB", "OK2BC", "DL1ABC"});
        PreviewHook preview;
        TfrmTiskDenik dialog(p.host());
        QCOMPARE(dialog.windowTitle(), QString("Tisk deníku"));
        QCOMPARE(dialog.RangeIndex(), 0);
        QVERIFY(dialog.FDirty());
        dialog.cbBoxTiskarna->setCurrentIndex(pdfTarget(dialog.cbBoxTiskarna));
        dialog.btnNahled->click();
        QCOMPARE(preview.shown, 1);
        QCOMPARE(preview.pages, 1);
        QVERIFY(!dialog.FDirty());
        // The whole log, in date, time and call order.
        QCOMPARE(printedCalls(dialog.Job(), {"OK1AB", "OK2BC", "DL1ABC"}),
                 (QStringList{"DL1ABC", "OK2BC", "OK1AB"}));

        FileDialogs::setNextAnswer(m_out.filePath("denik"));
        dialog.btnTisk->click();
        QCOMPARE(dialog.Job().RenderCount(), 1);
        QCOMPARE(dialog.result(), int(mrOk));
        QCOMPARE(PdfPageCount(m_out.filePath("denik.pdf")), 1); // ".pdf" added to the name
        QCOMPARE(FileDialogs::lastCaption(), QString("Tisk do souboru PDF"));
        // The first PDF of the run is proposed in the home folder, the next one where the
        // last one went.
        QCOMPARE(FileDialogs::requests().last().directory, QDir::home().filePath("Tisk.pdf"));
        TfrmTiskDenik again(p.host());
        again.cbBoxTiskarna->setCurrentIndex(pdfTarget(again.cbBoxTiskarna));
        FileDialogs::setNextAnswer(m_out.filePath("denik2.pdf"));
        again.btnTisk->click();
        QCOMPARE(FileDialogs::requests().last().directory, m_out.filePath("Tisk.pdf"));
    }

    void logChangesRenderAgain()
    {
        PrintFixture p;
        prepare(p, {"OK1AB", "OK2BC"}, 1);
        PreviewHook preview;
        TfrmTiskDenik dialog(p.host());
        dialog.btnNahled->click();
        dialog.cbBoxTiskarnaChange();
        QVERIFY(dialog.FDirty());
        dialog.btnNahled->click();
        QCOMPARE(dialog.Job().RenderCount(), 2);
        dialog.rbVybrana->click();
        QVERIFY(dialog.FDirty());
        dialog.btnNahled->click();
        QCOMPARE(dialog.Job().RenderCount(), 3);
        QCOMPARE(printedCalls(dialog.Job(), {"OK1AB", "OK2BC"}), QStringList{"OK1AB"}); // the marked QSO only
    }

    void logRangeOfMarkedWithoutMarksIsRefused()
    {
        PrintFixture p;
        prepare(p, {"OK1AB"});
        ScriptedMessages messages;
        TfrmTiskDenik dialog(p.host());
        dialog.rbVybrana->click();
        QCOMPARE(messages.texts(), QStringList{"Nejsou vybrána žádná spojení!"});
        QCOMPARE(messages.shown[0].type, mtInformation);
        QCOMPARE(dialog.RangeIndex(), 0);
        QCOMPARE(dialog.TableFile(), p.fx.dm->LogFileName(QsoTestFixture::Call));
    }

    void logCancelledRenderingPrintsNothing()
    {
        PrintFixture p;
        p.addMany(600);
        p.open();
        ScriptedMessages messages;
        TfrmTiskDenik dialog(p.host());
        dialog.cbBoxTiskarna->setCurrentIndex(pdfTarget(dialog.cbBoxTiskarna));
        FileDialogs::setNextAnswer(m_out.filePath("cancelled.pdf"));
        cancelNextRendering(*p.progress);
        dialog.btnTisk->click();
        QCOMPARE(messages.texts(), QStringList{"Tisk byl přerušen uživatelem."});
        QVERIFY(dialog.FDirty());
        QVERIFY(!QFile::exists(m_out.filePath("cancelled.pdf")));
        QCOMPARE(dialog.result(), 0); // still open
        QVERIFY(dialog.isEnabled());
        QVERIFY(!p.progress->isVisible());
        // Print again renders anew, to the end this time.
        dialog.btnTisk->click();
        QCOMPARE(dialog.Job().RenderCount(), 2);
        QVERIFY(PdfPageCount(m_out.filePath("cancelled.pdf")) > 5);
        QCOMPARE(dialog.result(), int(mrOk));
    }

    void logFailedPrintKeepsTheDialogOpen_data()
    {
        QTest::addColumn<QString>("pdf");
        QTest::addColumn<QStringList>("messages");
        QTest::newRow("unwritable PDF")
            << "no/such/folder/x.pdf" << QStringList{"Při tisku se vyskytla chyba."};
        QTest::newRow("file dialog cancelled") << "" << QStringList{};
    }

    void logFailedPrintKeepsTheDialogOpen()
    {
        QFETCH(QString, pdf);
        QFETCH(QStringList, messages);
        PrintFixture p;
        prepare(p, {"OK1AB"});
        ScriptedMessages shown;
        TfrmTiskDenik dialog(p.host());
        dialog.cbBoxTiskarna->setCurrentIndex(pdfTarget(dialog.cbBoxTiskarna));
        FileDialogs::setNextAnswer(pdf.isEmpty() ? pdf : m_out.filePath(pdf));
        dialog.btnTisk->click();
        QCOMPARE(shown.texts(), messages);
        QCOMPARE(dialog.result(), 0);
        QVERIFY(!dialog.FDirty()); // the rendering stays for the next try
    }

    void renderedFileGoesWithTheDialog()
    {
        PrintFixture p;
        prepare(p, {"OK1AB"});
        PreviewHook preview;
        QString rendered;
        {
            TfrmTiskDenik dialog(p.host());
            dialog.btnNahled->click();
            rendered = dialog.Job().OutputFile();
            QCOMPARE(rendered, p.temp("Tisk.rnd"));
            QVERIFY(QFile::exists(rendered));
        }
        QVERIFY(!QFile::exists(rendered));
    }

    void missingProjectStopsTheDialog()
    {
        PrintFixture p;
        QFile::remove(p.fx.dm->AppDir + "Tisk.rav");
        try {
            TfrmTiskQSL dialog(p.host());
            QFAIL("dialog created");
        } catch (const EReportError &e) {
            QVERIFY(e.message().contains("Tisk.rav"));
        }
    }

    void labelDialogDefaults()
    {
        PrintFixture p;
        prepare(p, {"OK1AB"}, 1);
        TfrmTiskQSL dialog(p.host());
        QCOMPARE(dialog.windowTitle(), QString("Tisk nálepek na QSL lístky"));
        QCOMPARE(dialog.edtNote->text(), QString("TNX FOR NICE QSO"));
        QVERIFY(!dialog.chbQSLo->isChecked());
        QCOMPARE(dialog.cbQSLo->count(), 4);
        QCOMPARE(dialog.cbQSLo->currentText(), QString("Ano"));
        QVERIFY(dialog.rBtnBureau->isChecked());
        QVERIFY(dialog.cbStyle->count() >= 2);
        QCOMPARE(dialog.cbStyle->currentIndex(), 0);
        QCOMPARE(dialog.cbPrinter->itemText(pdfTarget(dialog.cbPrinter)), QString("Soubor PDF"));
    }

    void labelOrders_data()
    {
        QTest::addColumn<QString>("button");
        QTest::addColumn<QStringList>("expected");
        QTest::newRow("bureau") << "rBtnBureau" << QStringList{"OK1AB", "OK2BC", "OK1XYZ", "DL1ABC", "DL9AA"};
        QTest::newRow("call") << "rBtnCall" << QStringList{"DL1ABC", "DL9AA", "OK1AB", "OK1XYZ", "OK2BC"};
        QTest::newRow("date") << "rBtnDate" << QStringList{"DL9AA", "DL1ABC", "OK1XYZ", "OK2BC", "OK1AB"};
        QTest::newRow("entity") << "rBtnDXCC" << QStringList{"DL1ABC", "DL9AA", "OK1AB", "OK1XYZ", "OK2BC"};
    }

    void labelOrders()
    {
        QFETCH(QString, button);
        QFETCH(QStringList, expected);
        PrintFixture p;
        const QStringList calls{"OK1AB", "OK2BC", "OK1XYZ", "DL1ABC", "DL9AA"};
        prepare(p, calls, 5);
        PreviewHook preview;
        TfrmTiskQSL dialog(p.host());
        dialog.findChild<QRadioButton *>(button)->click();
        dialog.btnPreview->click();
        const QList<QStringList> pages = RenderedPagesText(dialog.Job().OutputFile());
        QCOMPARE(pages.size(), 1);
        QStringList order;
        for (const QString &word : pages[0])
            if (calls.contains(word))
                order << word;
        // Labels fill the sheet row by row: reading order is label order.
        QCOMPARE(order, expected);
        QCOMPARE(pages[0].count("TNX FOR NICE QSO"), 5);
        QCOMPARE(pages[0].count("73 de OK1XYZ"), 5);
    }

    void labelPrintMarksOnlyAfterSuccess_data()
    {
        QTest::addColumn<bool>("tick");
        QTest::addColumn<int>("state");
        QTest::addColumn<QString>("pdf");
        QTest::addColumn<Calls>("calls");
        QTest::newRow("ticked, Ano") << true << 1 << "labels.pdf" << Calls{{13, 1}};
        QTest::newRow("ticked, Požadován") << true << 2 << "labels.pdf" << Calls{{13, 2}};
        QTest::newRow("clear") << false << 1 << "labels.pdf" << Calls{};
        QTest::newRow("ticked, print failed") << true << 1 << "no/such/dir/labels.pdf" << Calls{};
        QTest::newRow("ticked, file not chosen") << true << 1 << "" << Calls{};
    }

    void labelPrintMarksOnlyAfterSuccess()
    {
        QFETCH(bool, tick);
        QFETCH(int, state);
        QFETCH(QString, pdf);
        QFETCH(Calls, calls);
        QFile::remove(m_out.filePath("labels.pdf")); // of an earlier row: no overwrite question
        PrintFixture p;
        prepare(p, {"OK1AB", "DL1ABC"}, 2);
        ScriptedMessages messages;
        TfrmTiskQSL dialog(p.host());
        dialog.cbPrinter->setCurrentIndex(pdfTarget(dialog.cbPrinter));
        dialog.chbQSLo->setChecked(tick);
        dialog.cbQSLo->setCurrentIndex(state);
        FileDialogs::setNextAnswer(pdf.isEmpty() ? pdf : m_out.filePath(pdf));
        dialog.btnPrint->click();
        QCOMPARE(p.qslStateCalls, calls);
        const bool printed = pdf == "labels.pdf";
        QCOMPARE(dialog.result(), printed ? int(mrOk) : 0);
        if (printed) {
            // The QSOs are marked for labels that really are on the paper.
            const PdfText paper = PdfText::Read(m_out.filePath(pdf));
            QVERIFY2(paper.error.isEmpty(), qPrintable(paper.error));
            QCOMPARE(paper.pages.size(), 1);
            const QStringList words = paper.pages[0].texts();
            QCOMPARE(words.count("OK1AB") + words.count("DL1ABC"), 2);
            QCOMPARE(words.count("OK1XYZ"), 2);
        }
        QCOMPARE(messages.texts(),
                 pdf.startsWith("no/") ? QStringList{"Při tisku se vyskytla chyba."} : QStringList{});
    }

    void labelNewNoteRendersAgain()
    {
        PrintFixture p;
        prepare(p, {"OK1AB"}, 1);
        PreviewHook preview;
        TfrmTiskQSL dialog(p.host());
        dialog.btnPreview->click();
        dialog.chbQSLo->setChecked(true); // does not change the labels
        dialog.cbQSLo->setCurrentIndex(3);
        QVERIFY(!dialog.FDirty());
        QTest::keyClicks(dialog.edtNote, " 73");
        QVERIFY(dialog.FDirty());
        dialog.btnPreview->click();
        QCOMPARE(dialog.Job().RenderCount(), 2);
        QVERIFY(RenderedPagesText(dialog.Job().OutputFile())[0].contains("TNX FOR NICE QSO 73"));
        dialog.cbStyle->setCurrentIndex(1);
        QVERIFY(dialog.FDirty());
    }

    void labelCancelMarksNothing()
    {
        PrintFixture p;
        p.addMany(200);
        p.open();
        for (int row = 0; row < 200; ++row)
            p.marks << p.query.IdAt(row);
        CopyMarkedToTable(p.query, p.marks, p.temp("_Temp.db"));
        BuildQSLTable(p.temp("_Temp.db"), p.temp("_QSL.db"));
        ScriptedMessages messages;
        {
            TfrmTiskQSL dialog(p.host());
            dialog.chbQSLo->setChecked(true);
            FileDialogs::setNextAnswer(m_out.filePath("never.pdf"));
            cancelNextRendering(*p.progress);
            dialog.btnPrint->click();
            QCOMPARE(messages.texts(), QStringList{"Tisk byl přerušen uživatelem."});
            QCOMPARE(dialog.result(), 0);
            QVERIFY(!QFile::exists(m_out.filePath("never.pdf")));
        }
        {
            FileDialogs::setNextAnswer(QString());
            TfrmTiskQSL closedWithoutPrinting(p.host());
            closedWithoutPrinting.chbQSLo->setChecked(true);
            closedWithoutPrinting.btnClose->click();
            QCOMPARE(closedWithoutPrinting.result(), int(mrCancel));
        }
        QVERIFY(p.qslStateCalls.isEmpty());
    }
};

QTEST_MAIN(TestPrintDialogs)
#include "tst_printdialogs.moc"
