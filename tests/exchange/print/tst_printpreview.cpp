// The preview window: its page counter, paging at the ends, keys and zoom.

#include "PrintFixture.h"

#include "base/Messages.h"
#include "print/PrintPreview.h"
#include "report/PrintQuery.h"
#include "report/ReportPreview.h"
#include "report/ReportProject.h"
#include "report/ReportWriter.h"

#include <QAction>
#include <QLabel>
#include <QMainWindow>
#include <QTemporaryDir>
#include <QTest>

namespace
{

class CountRows : public TReportRows
{
public:
    explicit CountRows(int count) : m_left(count) {}
    bool Next(TLogRecord &record) override
    {
        if (m_left-- <= 0)
            return false;
        record = QsoTestFixture::qso(QStringLiteral("OK1AB"), QDate(2026, 1, 1), QTime(1, 2), 7.01, 1);
        return true;
    }

private:
    int m_left;
};

} // namespace

class TestPrintPreview : public QObject
{
    Q_OBJECT

    QTemporaryDir m_dir;
    TReportProject m_project;

    // A rendered file of exactly `pages` label sheets (24 labels each).
    QString rendered(int pages)
    {
        const QString file = m_dir.filePath(QStringLiteral("p%1.rnd").arg(pages));
        if (!QFile::exists(file)) {
            TRvWriter writer;
            writer.SetOutputFile(file);
            CountRows rows(pages * 24);
            writer.Execute(*m_project.FindReport("rprtNalepky3x8"), &rows);
        }
        return file;
    }

    struct Open {
        QFile file;
        TfrmNahled window;
        Open(const QString &path, QWidget *mainWindow = nullptr) : file(path), window(mainWindow)
        {
            file.open(QIODevice::ReadOnly);
            window.RvPreview->RenderStream(file);
        }
        QList<bool> enabled() const
        {
            return {window.actFirst->isEnabled(), window.actPrior->isEnabled(), window.actNext->isEnabled(),
                    window.actLast->isEnabled()};
        }
        QString counter() const { return window.lblPage->text(); }
    };

private slots:
    void initTestCase() { m_project.Open(VELKOR_SOURCE_DIR "/data/Tisk.rav"); }

    void counterText_data()
    {
        QTest::addColumn<int>("page");
        QTest::addColumn<int>("count");
        QTest::addColumn<QString>("text");
        QTest::newRow("1 of 1") << 1 << 1 << "Strana 1   z   1";
        QTest::newRow("12 of 120") << 12 << 120 << "Strana 12  z 120";
        QTest::newRow("999 of 999") << 999 << 999 << "Strana 999 z 999";
        QTest::newRow("wider numbers") << 1000 << 1200 << "Strana 1000 z 1200";
    }

    void counterText()
    {
        QFETCH(int, page);
        QFETCH(int, count);
        QFETCH(QString, text);
        QCOMPARE(TfrmNahled::PageCounter(page, count), text);
    }

    void onePageDisablesPaging()
    {
        Open preview(rendered(1));
        QCOMPARE(preview.window.windowTitle(), QString("Náhled"));
        QCOMPARE(preview.counter(), QString("Strana 1   z   1"));
        QCOMPARE(preview.enabled(), (QList<bool>{false, false, false, false}));
        QCOMPARE(preview.window.RvPreview->ZoomFactor(), 100);
    }

    void pagingStopsAtTheEnds()
    {
        Open preview(rendered(120));
        TfrmNahled &w = preview.window;
        QCOMPARE(w.RvPreview->PageCount(), 120);
        QTest::keyClick(&w, Qt::Key_Up); // on page 1: nothing
        QCOMPARE(w.RvPreview->CurrentPage(), 1);
        QCOMPARE(preview.enabled(), (QList<bool>{false, false, true, true}));
        for (int i = 0; i < 11; ++i)
            QTest::keyClick(&w, Qt::Key_Down);
        QCOMPARE(preview.counter(), QString("Strana 12  z 120"));
        QCOMPARE(preview.enabled(), (QList<bool>{true, true, true, true}));
        w.actPrior->trigger();
        QCOMPARE(w.RvPreview->CurrentPage(), 11);
        w.actLast->trigger();
        QCOMPARE(preview.counter(), QString("Strana 120 z 120"));
        QCOMPARE(preview.enabled(), (QList<bool>{true, true, false, false}));
        QTest::keyClick(&w, Qt::Key_Down); // on the last page: nothing
        QCOMPARE(w.RvPreview->CurrentPage(), 120);
        w.actFirst->trigger();
        QCOMPARE(w.RvPreview->CurrentPage(), 1);
        w.actNext->trigger();
        QCOMPARE(w.RvPreview->CurrentPage(), 2);
        QTest::keyClick(&w, Qt::Key_Escape);
        QCOMPARE(w.result(), int(mrCancel));
    }

    void zoomSteps_data()
    {
        QTest::addColumn<QString>("action");
        QTest::addColumn<QList<int>>("factors");
        QTest::newRow("out") << "actZoomOut" << QList<int>{75, 50, 25, 25};
        QTest::newRow("in") << "actZoomIn" << QList<int>{125, 150, 175, 200, 200};
    }

    void zoomSteps()
    {
        QFETCH(QString, action);
        QFETCH(QList<int>, factors);
        Open preview(rendered(1));
        TRvPreview *control = preview.window.RvPreview;
        const QSize before = control->size();
        QList<int> seen;
        for (int i = 0; i < factors.size(); ++i) {
            preview.window.findChild<QAction *>(action)->trigger();
            seen << control->ZoomFactor();
        }
        QCOMPARE(seen, factors);
        // The page grows and shrinks with the factor.
        QCOMPARE(control->size().width() > before.width(), action == "actZoomIn");
    }

    void controlKeepsZoomWithinItsLimits()
    {
        TRvPreview control;
        control.SetZoomFactor(5);
        QCOMPARE(control.ZoomFactor(), 10);
        control.SetZoomFactor(500);
        QCOMPARE(control.ZoomFactor(), 200);
        QCOMPARE(control.PageCount(), 0);
        control.RenderPage(3); // nothing loaded: nothing happens
        QCOMPARE(control.CurrentPage(), 0);
    }

    void previewPaintsThePage()
    {
        Open preview(rendered(1));
        const QImage image = preview.window.RvPreview->grab().toImage();
        // White paper with dark text on it.
        int dark = 0;
        for (int y = 0; y < image.height(); y += 2)
            for (int x = 0; x < image.width(); x += 2)
                dark += qGray(image.pixel(x, y)) < 80 ? 1 : 0;
        QVERIFY(dark > 500);
    }

    void minimisingMinimisesTheProgram()
    {
        QMainWindow main;
        main.show();
        Open preview(rendered(1), &main);
        preview.window.show();
        preview.window.setWindowState(Qt::WindowMinimized);
        QVERIFY(!preview.window.isMinimized());
        QVERIFY(main.isMinimized());
    }
};

QTEST_MAIN(TestPrintPreview)
#include "tst_printpreview.moc"
