#include "ComboBoxDialog.h"
#include "base/Messages.h"
#include "ModalRunner.h"
#include "ModalScript.h"

#include <QApplication>
#include <QComboBox>
#include <QElapsedTimer>
#include <QTest>

// The program's one modal seam as the tests drive it: windows scripted by object name,
// and an unexpected window failing the test at once instead of waiting for a person.
class TestModalScript : public QObject
{
    Q_OBJECT

    static int showPick(const QString &objectName = QStringLiteral("frmComboBox"))
    {
        TfrmComboBox pick;
        pick.setObjectName(objectName);
        pick.ComboBox->addItems({"CW", "SSB"});
        return pick.ShowModal("Nový mód", "Mód", TfrmComboBox::csDropDownList);
    }

private slots:
    // The real failure path: the test framework records it (here as an expected failure),
    // the window is closed with cancel, and all of it well within a second.
    void unexpectedWindowFailsTheTestAtOnce()
    {
        ModalScript script;
        QElapsedTimer clock;
        clock.start();
        QEXPECT_FAIL("", "the window was not expected: the script fails the test", Continue);
        const int result = showPick();
        QVERIFY(clock.elapsed() < 1000);
        QCOMPARE(result, int(mrCancel));
        QCOMPARE(script.failures().size(), 1);
        QVERIFY(script.failures().first().contains("frmComboBox"));
        QVERIFY(script.failures().first().contains("Nový mód"));
        QVERIFY(!QApplication::activeModalWidget());
    }

    void windowOutOfTurnFails()
    {
        ModalScript script;
        QStringList reported;
        script.setFailureReporter([&](const QString &message) { reported << message; });
        script.answer("frmOptions", mrOk);
        QCOMPARE(showPick(), int(mrCancel));
        QCOMPARE(reported.size(), 1);
        QVERIFY(reported.first().contains("expected \"frmOptions\""));
        QCOMPARE(script.pending(), 1); // the awaited window is still awaited
    }

    void answeredInOrder()
    {
        ModalScript script;
        script.answer("frmComboBox", mrOk).answer("frmSecond", mrCancel);
        QCOMPARE(showPick(), int(mrOk));
        QCOMPARE(script.pending(), 1);
        QCOMPARE(showPick("frmSecond"), int(mrCancel));
        QCOMPARE(script.pending(), 0);
        QCOMPARE(script.shownNames(), (QStringList{"frmComboBox", "frmSecond"}));
        QCOMPARE(script.lastTitle(), QString("Nový mód"));
        QVERIFY(script.failures().isEmpty());
    }

    void handlerReadsTheWindowUnshown()
    {
        ModalScript script;
        bool visible = true;
        script.handle("frmComboBox", [&](QDialog &dialog) {
            visible = dialog.isVisible();
            return dialog.findChild<QComboBox *>("ComboBox")->count();
        });
        QCOMPARE(showPick(), 2);
        QVERIFY(!visible);
    }

    // A driven window runs modally; the driver acts inside its loop.
    void drivenWindowRunsModally()
    {
        ModalScript script;
        QWidget *modal = nullptr;
        script.drive("frmComboBox", [&](QDialog &dialog) {
            modal = QApplication::activeModalWidget();
            dialog.findChild<QComboBox *>("ComboBox")->setCurrentIndex(1);
            QTest::keyClick(&dialog, Qt::Key_Return);
        });
        TfrmComboBox pick;
        pick.ComboBox->addItems({"CW", "SSB"});
        QCOMPARE(pick.ShowModal("Nový mód", "Mód", TfrmComboBox::csDropDownList), int(mrOk));
        QCOMPARE(modal, static_cast<QWidget *>(&pick));
        QCOMPARE(pick.ComboBox->currentText(), QString("SSB"));
    }

    // A driver that leaves its window open does not hang the test.
    void windowLeftOpenIsCancelled()
    {
        ModalScript script;
        script.drive("frmComboBox", [](QDialog &) {});
        QElapsedTimer clock;
        clock.start();
        QCOMPARE(showPick(), int(mrCancel));
        QVERIFY(clock.elapsed() < 1000);
    }

    void standingAnswers()
    {
        ModalScript script;
        script.answerAlways("frmComboBox", mrOk);
        QCOMPARE(showPick(), int(mrOk));
        QCOMPARE(showPick(), int(mrOk));
        // A queued step for the same name comes first; a new standing answer replaces the old.
        script.answer("frmComboBox", 7);
        script.answerAlways("frmComboBox", mrCancel);
        QCOMPARE(showPick(), 7);
        QCOMPARE(showPick(), int(mrCancel));
        QVERIFY(script.failures().isEmpty());
    }

    // Scripts nest: the inner one answers while it lives, then the outer one again.
    void nestedScriptsRestoreTheOuter()
    {
        ModalScript outer;
        outer.answerAlways("frmComboBox", mrOk);
        {
            ModalScript inner;
            inner.answer("frmComboBox", mrCancel);
            QCOMPARE(showPick(), int(mrCancel));
        }
        QCOMPARE(showPick(), int(mrOk));
    }
};

QTEST_MAIN(TestModalScript)
#include "tst_modalscript.moc"
