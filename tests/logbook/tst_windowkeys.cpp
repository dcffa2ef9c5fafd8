// The keys of the logbook's small windows, pressed as a person presses them: into the
// widget that holds the focus in the shown, active window. Each table walks the keys a
// window offers, box by box, and checks what each one does.

#include "MainWindowFixture.h"

#include "AziDisDialog.h"
#include "BrowseCommands.h"
#include "FilterDialog.h"
#include "FindDialog.h"
#include "FocusKeys.h"
#include "system/HelpViewer.h"
#include "HelpWindow.h"
#include "ModalRunner.h"
#include "ScriptedMessages.h"
#include "SearchLineEdit.h"

#include <QAbstractItemView>
#include <QAction>
#include <QCheckBox>
#include <QFileInfo>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QTableWidget>
#include <QTest>
#include <QPointer>
#include <QTimer>

#include <memory>

namespace {

constexpr Qt::KeyboardModifiers NoMod = Qt::NoModifier;
constexpr Qt::KeyboardModifiers Keypad = Qt::KeypadModifier;

// Records the help pages asked for, with the staged help folder as the program's.
struct HelpRequests : THelpDisplay {
    QStringList pages;
    THelpDisplay *previous;
    explicit HelpRequests(TdmLog &dm) : previous(HelpViewer::InstallDisplay(this))
    {
        dm.AppDir = QStringLiteral(VELKOR_STAGE_DIR);
    }
    ~HelpRequests() override { HelpViewer::InstallDisplay(previous); }
    void ShowPage(const QString &pageFile) override { pages << QFileInfo(pageFile).fileName(); }
    void ShowContents(const QString &) override { pages << QStringLiteral("contents"); }
    void ShowIndex(const QString &, const QString &keyword) override { pages << keyword; }
    void CloseAll() override {}
};

// A program folder for the windows that need one (their help, for F1).
struct ProgramInstances {
    QsoTestFixture fx;
    HelpRequests help{*fx.dm};
    ProgramInstances() { dmLog = fx.dm.get(); }
    ~ProgramInstances() { dmLog = nullptr; }
};

} // namespace

class TestWindowKeys : public QObject
{
    Q_OBJECT

    std::unique_ptr<ScriptedMessages> m_messages;

private slots:
    void init() { m_messages = std::make_unique<ScriptedMessages>(); }
    void cleanup()
    {
        SetModalHook({});
        m_messages.reset();
    }

    void filterKeys_data();
    void filterKeys();
    void filterEnterInValueIsNotTyped();
    void findKeys_data();
    void findKeys();
    void findMovesStatusAndNavigation();
    void calculatorKeys_data();
    void calculatorKeys();
    void calculatorLeavingBoxListsLocator();
    void helpFromModalWindow();
};

// --- filter dialog ---

void TestWindowKeys::filterKeys_data()
{
    QTest::addColumn<QString>("focus"); // object name of the box that has the focus
    QTest::addColumn<int>("key");
    QTest::addColumn<Qt::KeyboardModifiers>("modifiers");
    QTest::addColumn<int>("rowsAfter"); // one row is there before the key
    QTest::addColumn<bool>("closed");

    QTest::newRow("F1 in value") << "edtHod" << int(Qt::Key_F1) << NoMod << 1 << false;
    QTest::newRow("F1 in list") << "vedtFiltr" << int(Qt::Key_F1) << NoMod << 1 << false;
    QTest::newRow("Enter in value") << "edtHod" << int(Qt::Key_Return) << NoMod << 2 << false;
    QTest::newRow("keypad Enter in value") << "edtHod" << int(Qt::Key_Enter) << Keypad << 2 << false;
    QTest::newRow("Enter in field") << "cbBoxPole" << int(Qt::Key_Return) << NoMod << 2 << false;
    QTest::newRow("keypad Enter in field") << "cbBoxPole" << int(Qt::Key_Enter) << Keypad << 2 << false;
    QTest::newRow("Enter in operator") << "cbBoxOp" << int(Qt::Key_Return) << NoMod << 2 << false;
    QTest::newRow("Enter in list") << "vedtFiltr" << int(Qt::Key_Return) << NoMod << 2 << false;
    QTest::newRow("Del in list") << "vedtFiltr" << int(Qt::Key_Delete) << NoMod << 0 << false;
    QTest::newRow("Del in value stays there") << "edtHod" << int(Qt::Key_Delete) << NoMod << 1 << false;
    QTest::newRow("Esc") << "edtHod" << int(Qt::Key_Escape) << NoMod << 1 << true;
}

void TestWindowKeys::filterKeys()
{
    QFETCH(QString, focus);
    QFETCH(int, key);
    QFETCH(Qt::KeyboardModifiers, modifiers);
    QFETCH(int, rowsAfter);
    QFETCH(bool, closed);

    ProgramInstances program;
    TfrmFilter d;
    d.show();
    QVERIFY(ActivateWindow(&d));
    d.SelectField(fiCALL);
    d.edtHod->setFocus();
    QVERIFY(TypeIntoFocus(QStringLiteral("ok1*")));
    d.actPridat->trigger();
    QCOMPARE(d.Rows().size(), 1);
    d.vedtFiltr->selectRow(0);
    QVERIFY(TypeIntoFocus(QStringLiteral("ok2*")));

    auto *target = d.findChild<QWidget *>(focus);
    QVERIFY(target);
    target->setFocus();
    QVERIFY(SendKey(&d, key, modifiers));
    QCOMPARE(d.Rows().size(), rowsAfter);
    QCOMPARE(d.isVisible(), !closed);
    if (closed)
        QCOMPARE(d.result(), int(mrCancel));
    if (rowsAfter == 2)
        QCOMPARE(d.Rows().last().value, QStringLiteral("= \"OK2*\""));
    QCOMPARE(program.help.pages, key == Qt::Key_F1 ? QStringList{"frmFilter.html"} : QStringList());
}

void TestWindowKeys::filterEnterInValueIsNotTyped()
{
    TfrmFilter d;
    d.show();
    QVERIFY(ActivateWindow(&d));
    for (int field : {int(fiNAME), int(fiDAT), int(fiFREQ)}) {
        d.SelectField(field);
        d.edtHod->setFocus();
        QVERIFY(TypeIntoFocus(field == fiDAT ? QStringLiteral("1.2.2007") : QStringLiteral("7")));
        QVERIFY(SendKey(&d, Qt::Key_Enter, Keypad));
        QVERIFY2(d.edtHod->currentText().isEmpty(), qPrintable(d.edtHod->currentText()));
        QVERIFY(!d.Rows().last().value.contains(u'\n'));
        QVERIFY(!d.Rows().last().value.contains(u'\r'));
    }
    QCOMPARE(d.Rows().size(), 3);
    QCOMPARE(d.Rows()[1].value, QStringLiteral("= \"01.02.2007\""));
    QVERIFY(m_messages->shown.isEmpty());
}

// --- find window over the main grid ---

void TestWindowKeys::findKeys_data()
{
    QTest::addColumn<QString>("focus");
    QTest::addColumn<int>("key");
    QTest::addColumn<Qt::KeyboardModifiers>("modifiers");
    QTest::addColumn<int>("recNoAfter"); // the search text is "ok1abc" from record 4
    QTest::addColumn<bool>("visible");

    QTest::newRow("Enter in Hledat") << "cbBoxData" << int(Qt::Key_Return) << NoMod << 2 << true;
    QTest::newRow("keypad Enter in Hledat") << "cbBoxData" << int(Qt::Key_Enter) << Keypad << 2 << true;
    QTest::newRow("Enter in V poli") << "cbBoxField" << int(Qt::Key_Return) << NoMod << 2 << true;
    QTest::newRow("keypad Enter in V poli") << "cbBoxField" << int(Qt::Key_Enter) << Keypad << 2 << true;
    QTest::newRow("Up in Hledat") << "cbBoxData" << int(Qt::Key_Up) << NoMod << 3 << true;
    QTest::newRow("Down in Hledat at the end") << "cbBoxData" << int(Qt::Key_Down) << NoMod << 4 << true;
    QTest::newRow("Esc") << "cbBoxData" << int(Qt::Key_Escape) << NoMod << 4 << false;
    QTest::newRow("Esc in V poli") << "cbBoxField" << int(Qt::Key_Escape) << NoMod << 4 << false;
    QTest::newRow("F1") << "cbBoxData" << int(Qt::Key_F1) << NoMod << 4 << true;
}

void TestWindowKeys::findKeys()
{
    QFETCH(QString, focus);
    QFETCH(int, key);
    QFETCH(Qt::KeyboardModifiers, modifiers);
    QFETCH(int, recNoAfter);
    QFETCH(bool, visible);

    MainWindowFixture fx;
    HelpRequests help(*fx.fx.dm);
    InstallBrowseCommands(fx.w());
    TfrmFind &f = *fx.w().frmFind;
    fx.query().SetRecNo(4);
    fx.w().actFindQSO->trigger();
    QVERIFY(ActivateWindow(&f));
    QCOMPARE(FocusedWidget(), f.cbBoxData);
    QVERIFY(TypeIntoFocus(QStringLiteral("ok1abc")));
    QCOMPARE(f.cbBoxData->currentText(), QStringLiteral("OK1ABC"));

    f.findChild<QWidget *>(focus)->setFocus();
    QVERIFY(SendKey(&f, key, modifiers));
    QCOMPARE(fx.query().RecNo(), recNoAfter);
    QCOMPARE(f.isVisible(), visible);
    QVERIFY(m_messages->shown.isEmpty());
    QCOMPARE(f.cbBoxData->currentText(), QStringLiteral("OK1ABC")); // no key went into the text
    QCOMPARE(help.pages, key == Qt::Key_F1 ? QStringList{"frmFind.html"} : QStringList());
}

// After a find the status bar and the commands First/Last follow the found QSO, and so
// they do after a search that fails and puts the cursor back.
void TestWindowKeys::findMovesStatusAndNavigation()
{
    MainWindowFixture fx;
    InstallBrowseCommands(fx.w());
    TfrmFind &f = *fx.w().frmFind;
    fx.query().SetRecNo(1);
    QCOMPARE(fx.w().StatusPanelText(0), QStringLiteral(" Záznam:     1 z     4"));
    QVERIFY(!fx.w().actFirstQSO->isEnabled());

    fx.w().actFindQSO->trigger();
    QVERIFY(ActivateWindow(&f));
    QVERIFY(TypeIntoFocus(QStringLiteral("g3xyz")));
    QVERIFY(SendKey(&f, Qt::Key_Return));
    QCOMPARE(fx.query().RecNo(), 4);
    QCOMPARE(fx.w().StatusPanelText(0), QStringLiteral(" Záznam:     4 z     4"));
    QVERIFY(fx.w().actFirstQSO->isEnabled());
    QVERIFY(!fx.w().actLastQSO->isEnabled());

    // "Další" finds nothing more: back on record 4, the status still says so.
    QVERIFY(SendKey(&f, Qt::Key_Return));
    QCOMPARE(m_messages->lastText(), QStringLiteral("Nenalezeno ..."));
    QCOMPARE(fx.w().StatusPanelText(0), QStringLiteral(" Záznam:     4 z     4"));

    // The search from the start finds OK1ABC/P in record 1 again.
    QVERIFY(ActivateWindow(&f));
    f.cbBoxData->setFocus();
    f.cbBoxData->lineEdit()->selectAll();
    QVERIFY(TypeIntoFocus(QStringLiteral("ok1abc/p")));
    QVERIFY(SendKey(&f, Qt::Key_Enter, Keypad));
    QCOMPARE(fx.query().RecNo(), 1);
    QCOMPARE(fx.w().StatusPanelText(0), QStringLiteral(" Záznam:     1 z     4"));
    QVERIFY(!fx.w().actFirstQSO->isEnabled());
    QVERIFY(fx.w().actLastQSO->isEnabled());
}

// --- locator calculator ---

void TestWindowKeys::calculatorKeys_data()
{
    QTest::addColumn<QString>("focus");
    QTest::addColumn<int>("key");
    QTest::addColumn<Qt::KeyboardModifiers>("modifiers");
    QTest::addColumn<bool>("computed");
    QTest::addColumn<bool>("listOpen");

    QTest::newRow("Enter in target") << "cbBoxLoc" << int(Qt::Key_Return) << NoMod << true << false;
    QTest::newRow("keypad Enter in target") << "cbBoxLoc" << int(Qt::Key_Enter) << Keypad << true << false;
    QTest::newRow("Enter in own") << "cbBoxLocVl" << int(Qt::Key_Return) << NoMod << true << false;
    QTest::newRow("Space in target") << "cbBoxLoc" << int(Qt::Key_Space) << NoMod << false << true;
    QTest::newRow("Space in own") << "cbBoxLocVl" << int(Qt::Key_Space) << NoMod << false << true;
    QTest::newRow("F1 in target") << "cbBoxLoc" << int(Qt::Key_F1) << NoMod << false << false;
    QTest::newRow("Esc in own") << "cbBoxLocVl" << int(Qt::Key_Escape) << NoMod << false << false;
}

void TestWindowKeys::calculatorKeys()
{
    QFETCH(QString, focus);
    QFETCH(int, key);
    QFETCH(Qt::KeyboardModifiers, modifiers);
    QFETCH(bool, computed);
    QFETCH(bool, listOpen);

    ProgramInstances program;
    TfrmAziDis d(QStringLiteral("JN79AA"));
    d.cbBoxLoc->addItem(QStringLiteral("JN69AA")); // a list to open, as after an earlier calculation
    d.cbBoxLoc->setEditText(QString());
    d.show();
    QVERIFY(ActivateWindow(&d));
    QCOMPARE(FocusedWidget(), d.cbBoxLoc);
    QVERIFY(TypeIntoFocus(QStringLiteral("jo70fc")));
    QCOMPARE(d.cbBoxLoc->currentText(), QStringLiteral("JO70FC"));

    auto *box = d.findChild<QComboBox *>(focus);
    box->setFocus();
    const QString before = box->currentText();
    QVERIFY(SendKey(&d, key, modifiers));
    QCOMPARE(!d.lblVzdal->text().isEmpty(), computed);
    if (computed) {
        QVERIFY(d.lblVzdal->text().endsWith(QStringLiteral(" km")));
        QVERIFY(d.lblAzi->text().endsWith(QStringLiteral("°")));
        QVERIFY(d.cbBoxLoc->findText(QStringLiteral("JO70FC")) >= 0);
    }
    QCOMPARE(box->view()->isVisible(), listOpen);
    QCOMPARE(box->currentText(), before); // the key did not go into the text
    if (listOpen) {
        QCOMPARE(FocusedWidget(), box->view());
        QVERIFY(SendKeyToActive(Qt::Key_Space)); // and Space again closes it
        QTRY_VERIFY(!box->view()->isVisible());
        QCOMPARE(box->currentText(), before);
    }
    QCOMPARE(program.help.pages, key == Qt::Key_F1 ? QStringList{"frmAziDis.html"} : QStringList());
    QCOMPARE(d.isVisible(), key != Qt::Key_Escape);
    if (key == Qt::Key_Escape)
        QCOMPARE(d.result(), int(mrCancel));
}

void TestWindowKeys::calculatorLeavingBoxListsLocator()
{
    TfrmAziDis d{QString()};
    d.show();
    QVERIFY(ActivateWindow(&d));
    QVERIFY(TypeIntoFocus(QStringLiteral("jo70fc")));
    QVERIFY(SendKey(&d, Qt::Key_Tab));
    QCOMPARE(FocusedWidget(), d.cbBoxLocVl);
    QCOMPARE(d.cbBoxLoc->findText(QStringLiteral("JO70FC")), 0);
    QVERIFY(TypeIntoFocus(QStringLiteral("jn79")));
    QVERIFY(SendKey(&d, Qt::Key_Backtab, Qt::ShiftModifier));
    QCOMPARE(d.cbBoxLocVl->count(), 0); // four characters are no locator to keep
    QVERIFY(SendKey(&d, Qt::Key_Tab));
    QCOMPARE(d.cbBoxLoc->count(), 1); // listed once
}

// --- help from a modal window ---

// F1 in a modal window opens the help window, which then takes keys of its own (it is
// not blocked by the modal window): Esc closes it while the modal window stays open.
void TestWindowKeys::helpFromModalWindow()
{
    QsoTestFixture fx;
    fx.dm->AppDir = QStringLiteral(VELKOR_STAGE_DIR);
    dmLog = fx.dm.get();
    InstallHelpWindow();

    TfrmAziDis d{QString()};
    QPointer<TfrmHelp> help;
    bool helpActive = false, helpClosed = false, dialogStayed = false;
    QTimer::singleShot(0, &d, [&] {
        QVERIFY(ActivateWindow(&d));
        QVERIFY(SendKey(&d, Qt::Key_F1));
        for (QWidget *w : QApplication::topLevelWidgets())
            if (auto *h = qobject_cast<TfrmHelp *>(w); h && h->isVisible())
                help = h;
        if (help) {
            QTest::qWait(20);
            helpActive = ActivateWindow(help) && QApplication::activeWindow() == help;
            QVERIFY(SendSystemKey(help, Qt::Key_Escape));
            QTRY_VERIFY(!help->isVisible());
            helpClosed = !help->isVisible();
            dialogStayed = d.isVisible();
        }
        d.reject();
    });
    d.exec();
    dmLog = nullptr;
    QVERIFY(help);
    QVERIFY(help->CurrentPage().endsWith(QStringLiteral("frmAziDis.html")));
    QVERIFY(helpActive);
    QVERIFY(helpClosed);
    QVERIFY(dialogStayed);
    // The dialog is gone; the help window outlived it and opens again.
    HelpViewer::ShowTopic(QStringLiteral("frmAziDis"));
    QVERIFY(help->isVisible());
    QVERIFY(!help->parentWidget());
    help->close();
}

QTEST_MAIN(TestWindowKeys)
#include "tst_windowkeys.moc"
