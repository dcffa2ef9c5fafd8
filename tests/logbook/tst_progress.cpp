#include "ProgressDialog.h"

#include <QLabel>
#include <QMainWindow>
#include <QProgressBar>
#include <QPushButton>
#include <QTest>

#include <stdexcept>

class TestProgress : public QObject
{
    Q_OBJECT
private slots:
    void showInfo()
    {
        TfrmDialog dialog;
        dialog.ShowInfo("Otevírám deník...");
        QVERIFY(dialog.isVisible());
        QCOMPARE(dialog.lblText()->text(), QString("Otevírám deník..."));
        QVERIFY(!dialog.pgBar()->isVisible());
        QVERIFY(!dialog.Btn()->isVisible());
        QCOMPARE(dialog.size(), QSize(250, 98));
    }

    void showProgressAndCallback()
    {
        TfrmDialog dialog;
        dialog.ShowProgress("Export", 0, 100);
        QVERIFY(dialog.pgBar()->isVisible());
        QVERIFY(!dialog.Btn()->isVisible());
        QCOMPARE(dialog.pgBar()->value(), 0);
        QCOMPARE(dialog.pgBar()->maximum(), 100);
        const std::function<void(int)> progress = dialog.ProgressCallback();
        progress(42);
        QCOMPARE(dialog.pgBar()->value(), 42);
        QCOMPARE(dialog.pgBar()->text(), QString("42%"));
        dialog.SetText("Zapisuji soubor");
        QCOMPARE(dialog.lblText()->text(), QString("Zapisuji soubor"));
        QCOMPARE(dialog.pgBar()->value(), 42); // the text does not touch the gauge
    }

    void progressOutsideRangeIsClipped_data()
    {
        QTest::addColumn<int>("minimum");
        QTest::addColumn<int>("maximum");
        QTest::addColumn<int>("value");
        QTest::addColumn<int>("shown");
        QTest::newRow("above") << 0 << 100 << 150 << 100;
        QTest::newRow("below") << 0 << 100 << -5 << 0;
        QTest::newRow("inside") << 0 << 7 << 3 << 3;
        QTest::newRow("records") << 0 << 999 << 999 << 999;
        QTest::newRow("range above zero") << 10 << 20 << 0 << 10;
    }
    void progressOutsideRangeIsClipped()
    {
        QFETCH(int, minimum);
        QFETCH(int, maximum);
        QFETCH(int, value);
        QFETCH(int, shown);
        // The value the gauge showed at its last paint: on the screen at once, as the
        // operation goes on without the event loop.
        struct LastPainted : QObject {
            int value = -1;
            bool eventFilter(QObject *watched, QEvent *event) override
            {
                if (event->type() == QEvent::Paint)
                    value = static_cast<QProgressBar *>(watched)->value();
                return false;
            }
        } painted;
        TfrmDialog dialog;
        dialog.pgBar()->installEventFilter(&painted);
        dialog.ShowProgress("Statistika", minimum, maximum);
        QCOMPARE(painted.value, minimum);
        dialog.SetProgress(value);
        QCOMPARE(dialog.pgBar()->value(), shown);
        QCOMPARE(painted.value, shown);
        dialog.pgBar()->removeEventFilter(&painted);
    }

    void rangeWithoutSpanIsNoBusyAnimation()
    {
        TfrmDialog dialog;
        dialog.ShowProgress("Jeden záznam", 0, 0); // record count less one, one record
        QVERIFY(dialog.pgBar()->maximum() > dialog.pgBar()->minimum());
        QCOMPARE(dialog.pgBar()->value(), 0);
    }

    void buttonWithoutHandlerCloses()
    {
        TfrmDialog dialog;
        dialog.ShowWithButton("Hotovo", "OK");
        QVERIFY(dialog.Btn()->isVisible());
        QVERIFY(!dialog.pgBar()->isVisible());
        QCOMPARE(dialog.Btn()->text(), QString("OK"));
        QTest::mouseClick(dialog.Btn(), Qt::LeftButton);
        QVERIFY(!dialog.isVisible());
    }

    void handlerIsClearedByClose()
    {
        TfrmDialog dialog;
        int aborts = 0;
        dialog.ShowWithButton("Tisknu...", "Zrušit", [&] { ++aborts; });
        QTest::mouseClick(dialog.Btn(), Qt::LeftButton);
        QCOMPARE(aborts, 1);
        QVERIFY(dialog.isVisible()); // the handler decides what happens
        dialog.close();
        QVERIFY(!dialog.Btn()->isVisible());
        QVERIFY(!dialog.pgBar()->isVisible());

        dialog.ShowInfo("Další operace");
        QVERIFY(!dialog.Btn()->isVisible());
        // The old handler is gone: the button now only closes the window.
        dialog.Btn()->click();
        QCOMPARE(aborts, 1);
        QVERIFY(!dialog.isVisible());
    }

    void handlerMayCloseTheWindow()
    {
        TfrmDialog dialog;
        bool called = false;
        dialog.ShowWithButton("Tisknu...", "Zrušit", [&] {
            called = true;
            dialog.close(); // clears the handler while it runs
        });
        QTest::mouseClick(dialog.Btn(), Qt::LeftButton);
        QVERIFY(called);
        QVERIFY(!dialog.isVisible());
    }

    void showingAgainChangesShape()
    {
        TfrmDialog dialog;
        dialog.ShowProgress("Import", 0, 100);
        dialog.ShowInfo("Kontroluji záznamy");
        QVERIFY(dialog.isVisible());
        QVERIFY(!dialog.pgBar()->isVisible());
        dialog.ShowWithButton("Chyba", "OK");
        QVERIFY(dialog.Btn()->isVisible());
        dialog.ShowProgress("Import", 0, 10);
        QVERIFY(!dialog.Btn()->isVisible());
        QVERIFY(dialog.pgBar()->isVisible());
    }

    void closerClosesAlsoWhenTheOperationFails()
    {
        TfrmDialog dialog;
        dialog.ShowProgress("Načítám data ...", 0, 10);
        try {
            TfrmDialogCloser closer(&dialog);
            throw std::runtime_error("čtení selhalo");
        } catch (const std::runtime_error &) {
        }
        QVERIFY(!dialog.isVisible());
        TfrmDialogCloser nothing(nullptr); // no window: nothing to close, no crash
    }

    void centredOverMainWindow()
    {
        QMainWindow main;
        main.setGeometry(100, 100, 800, 600);
        main.show();
        QVERIFY(QTest::qWaitForWindowExposed(&main));
        TfrmDialog dialog(&main);
        dialog.ShowInfo("Čekejte");
        QVERIFY(dialog.isWindow());
        const QPoint offset = dialog.frameGeometry().center() - main.frameGeometry().center();
        QVERIFY2(offset.manhattanLength() <= 2,
                 qPrintable(QString("offset %1,%2").arg(offset.x()).arg(offset.y())));
    }
};

QTEST_MAIN(TestProgress)
#include "tst_progress.moc"
