#include "EditSelQSOsDialog.h"
#include "MinimizeProgram.h"

#include <QDialog>
#include <QMainWindow>
#include <QTest>

// Minimising a dialog must leave the dialog up and take the main window down: a dialog
// minimised alone leaves the blocked main window with nothing to return to.
class TestMinimizeProgram : public QObject
{
    Q_OBJECT

private slots:
    void dialogStaysAndMainWindowGoes_data()
    {
        QTest::addColumn<bool>("withMainWindow");
        QTest::newRow("main window") << true;
        QTest::newRow("no main window") << false;
    }
    void dialogStaysAndMainWindowGoes()
    {
        QFETCH(bool, withMainWindow);
        QMainWindow main;
        main.show();
        TfrmEditSelQSOs dialog(withMainWindow ? &main : nullptr);
        dialog.show();
        dialog.setWindowState(Qt::WindowMinimized);
        QVERIFY(!dialog.isMinimized());
        QVERIFY(dialog.isVisible());
        QCOMPARE(main.isMinimized(), withMainWindow);
    }

    void otherChangesAreLeftAlone()
    {
        QMainWindow main;
        main.show();
        QDialog dialog;
        dialog.show();
        QEvent fontChange(QEvent::FontChange);
        QVERIFY(!MinimizeProgramInstead(&dialog, &fontChange, &main));
        dialog.setWindowState(Qt::WindowMaximized);
        QEvent stateChange(QEvent::WindowStateChange);
        QVERIFY(!MinimizeProgramInstead(&dialog, &stateChange, &main));
        QVERIFY(dialog.isMaximized());
        QVERIFY(!main.isMinimized());
    }

    void visibleMainWindowIsFoundOnlyWhileShown()
    {
        QMainWindow main;
        QDialog dialog;
        dialog.show();
        QCOMPARE(VisibleMainWindow(), nullptr);
        main.show();
        QCOMPARE(VisibleMainWindow(), &main);
    }
};

QTEST_MAIN(TestMinimizeProgram)
#include "tst_minimizeprogram.moc"
