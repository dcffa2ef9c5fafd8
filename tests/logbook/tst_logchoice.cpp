#include "LogChoiceDialog.h"

#include "log/DmLog.h"
#include "FocusKeys.h"
#include "settings/LogOptions.h"
#include "ModalScript.h"
#include "ProgramFolder.h"
#include "ScriptedMessages.h"
#include "TestFiles.h"
#include "settings/UserOptions.h"
#include "log/VkrDatabase.h"

#include <QAction>
#include <QDir>
#include <QLineEdit>
#include <QProcess>
#include <QPushButton>
#include <QScreen>
#include <QTemporaryDir>
#include <QTest>
#include <QTreeWidget>

namespace {

// Stands in for the main window: records the calls and opens the log the way it does.
struct MainWindowStub {
    TdmLog &dm;
    QStringList calls;
    TfrmProfile::CloseLogFn closeLog()
    {
        return [this] {
            calls << "close";
            dm.UserOptions.Clear();
        };
    }
    TfrmProfile::OpenLogFn openLog()
    {
        return [this](const QString &call) {
            calls << "open " + call;
            dm.UserOptions.Load(dm.DataDir + call + ".uf");
        };
    }
};

QStringList listed(TfrmProfile &dialog)
{
    auto *list = dialog.findChild<QTreeWidget *>("lViewUser");
    QStringList calls;
    for (int i = 0; i < list->topLevelItemCount(); ++i)
        calls << list->topLevelItem(i)->text(0);
    return calls;
}

QString selected(TfrmProfile &dialog)
{
    const auto items = dialog.findChild<QTreeWidget *>("lViewUser")->selectedItems();
    return items.isEmpty() ? QString() : items.first()->text(0);
}

void select(TfrmProfile &dialog, const QString &call)
{
    auto *list = dialog.findChild<QTreeWidget *>("lViewUser");
    const auto items = list->findItems(call, Qt::MatchExactly);
    QVERIFY(!items.isEmpty());
    list->setCurrentItem(items.first());
}

QAction *action(QWidget *dialog, const char *name)
{
    return dialog->findChild<QAction *>(QLatin1String(name));
}

QPushButton *button(QWidget *dialog, const char *name)
{
    return dialog->findChild<QPushButton *>(QLatin1String(name));
}

// Fills the settings dialog of a new log as a person does, typing the call sign at once and
// the locator after Tab, and saves it.
void createLogIn(QWidget *options, const QString &call)
{
    QVERIFY(ActivateWindow(options));
    QVERIFY(TypeIntoFocus(call));
    QVERIFY(SendKeyToActive(Qt::Key_Tab));
    QVERIFY(TypeIntoFocus("JN79AB"));
    QTest::mouseClick(options->findChild<QPushButton *>("btnOk"), Qt::LeftButton);
}

const char *const ChildDirVariable = "VELKOR_TEST_CHILD_PROGRAM_DIR";

} // namespace

class TestLogChoice : public QObject
{
    Q_OBJECT
    // The data module makes its temporary folder under TEMP: one of this test's own.
    QTemporaryDir m_temp;

private slots:
    void initTestCase() { qputenv("TEMP", m_temp.path().toLocal8Bit()); }
    void listSortedWithOpenLogSelected();
    void emptyListDisablesSelectAndDelete();
    void selectOtherLog();
    void selectOpenLogDoesNotReopen();
    void newLogThroughSettings();
    void newLogCancelled();
    void noFreeSlot();
    void deleteAnswers_data();
    void deleteAnswers();
    void deleteOpenLogTurnsCancelIntoExit();
    void deleteRemovesEverySlot();
    void deleteReportsWhatStays();
    void deleteTouchesNoFileOfAnInvalidName();
    void exitQuestion_data();
    void exitQuestion();
    void columnLayoutPerScreenWidth_data();
    void columnLayoutPerScreenWidth();
    void createLogAsChild();
};

void TestLogChoice::listSortedWithOpenLogSelected()
{
    ProgramFolder folder({"OK2XYZ", "", "OK1ABC", "DL1AAA"});
    TdmLog dm(folder.path());
    MainWindowStub main{dm};
    {
        TfrmProfile dialog(dm, main.closeLog(), main.openLog());
        QCOMPARE(dialog.windowTitle(), QString("Výběr LOGu"));
        QCOMPARE(listed(dialog), (QStringList{"DL1AAA", "OK1ABC", "OK2XYZ"}));
        QCOMPARE(selected(dialog), QString("DL1AAA")); // no log open: the first
        QVERIFY(action(&dialog, "actSelect")->isEnabled());
        QCOMPARE(button(&dialog, "btnCancel")->text(), QString("&Zpět"));
    }
    dm.UserOptions.SetCall("OK1ABC");
    TfrmProfile dialog(dm, main.closeLog(), main.openLog());
    QCOMPARE(selected(dialog), QString("OK1ABC"));
}

void TestLogChoice::emptyListDisablesSelectAndDelete()
{
    ProgramFolder folder;
    TdmLog dm(folder.path());
    MainWindowStub main{dm};
    TfrmProfile dialog(dm, main.closeLog(), main.openLog());
    dialog.show();
    QVERIFY(listed(dialog).isEmpty());
    QCOMPARE(selected(dialog), QString());
    QVERIFY(!action(&dialog, "actSelect")->isEnabled());
    QVERIFY(!action(&dialog, "actDelete")->isEnabled());
    QVERIFY(!button(&dialog, "btnSelect")->isEnabled());
    QVERIFY(!button(&dialog, "btnDelete")->isEnabled());
    QVERIFY(button(&dialog, "btnNew")->isEnabled());
}

void TestLogChoice::selectOtherLog()
{
    ProgramFolder folder({"OK1ABC", "OK2XYZ"});
    folder.makeLog("OK1ABC");
    folder.makeLog("OK2XYZ");
    TdmLog dm(folder.path());
    dm.UserOptions.Load(folder.data() + "OK1ABC.uf");
    MainWindowStub main{dm};
    TfrmProfile dialog(dm, main.closeLog(), main.openLog());
    dialog.show();
    select(dialog, "OK2XYZ");
    QTest::keyClick(&dialog, Qt::Key_Return);
    QCOMPARE(main.calls, (QStringList{"close", "open OK2XYZ"}));
    QCOMPARE(dialog.result(), int(mrOk));
    QVERIFY(dialog.isHidden());
    QCOMPARE(dm.UserOptions.Call, QString("OK2XYZ"));
}

void TestLogChoice::selectOpenLogDoesNotReopen()
{
    ProgramFolder folder({"OK1ABC", "OK2XYZ"});
    TdmLog dm(folder.path());
    dm.UserOptions.SetCall("OK1ABC");
    MainWindowStub main{dm};
    TfrmProfile dialog(dm, main.closeLog(), main.openLog());
    dialog.show();
    QTest::mouseClick(button(&dialog, "btnSelect"), Qt::LeftButton);
    QCOMPARE(main.calls, QStringList());
    QCOMPARE(dialog.result(), int(mrOk));
}

// A log created through the settings dialog is listed, not opened, and has its files.
void TestLogChoice::newLogThroughSettings()
{
    ProgramFolder folder({"OK2XYZ"});
    TdmLog dm(folder.path());
    ScriptedMessages messages;
    ModalScript modals;
    MainWindowStub main{dm};
    TfrmProfile dialog(dm, main.closeLog(), main.openLog());
    dialog.show();
    modals.drive("frmOptions", [](QDialog &options) { createLogIn(&options, "dl1aaa"); });
    QTest::mouseClick(button(&dialog, "btnNew"), Qt::LeftButton);
    QCOMPARE(modals.pending(), 0);
    QCOMPARE(modals.lastTitle(), QString("Nastavení"));
    QCOMPARE(messages.texts(), QStringList());
    QCOMPARE(listed(dialog), (QStringList{"DL1AAA", "OK2XYZ"}));
    QCOMPARE(selected(dialog), QString("DL1AAA"));
    QCOMPARE(main.calls, QStringList());
    QVERIFY(dialog.isVisible());
    QCOMPARE(folder.slotsOnDisk().mid(0, 2), (QStringList{"OK2XYZ", "DL1AAA"}));
    QCOMPARE(folder.dataFiles(), (QStringList{"DL1AAA.db", "DL1AAA.uf"}));
    QVERIFY(IsReadableLogTableFile(folder.data() + "DL1AAA.db"));

    TUserOptions uf;
    uf.Load(folder.data() + "DL1AAA.uf");
    const int widthClass = ScreenWidthClass(QGuiApplication::primaryScreen()->geometry().width());
    QCOMPARE(uf.GetColumnWidth("NOTE"), LogColumnWidths[fiNOTE][widthClass]);
    QCOMPARE(uf.GetColumnVisible("NOTE"), LogColumnVisible[fiNOTE][widthClass]);
    QCOMPARE(uf.GetLocator(), QString("JN79AB"));
}

void TestLogChoice::newLogCancelled()
{
    ProgramFolder folder({"OK2XYZ"});
    TdmLog dm(folder.path());
    ModalScript modals;
    MainWindowStub main{dm};
    TfrmProfile dialog(dm, main.closeLog(), main.openLog());
    dialog.show();
    modals.drive("frmOptions", [](QDialog &options) {
        QTest::keyClicks(options.findChild<QLineEdit *>("edtCall"), "DL1AAA");
        QTest::keyClick(&options, Qt::Key_Escape);
    });
    action(&dialog, "actNew")->trigger();
    QCOMPARE(modals.pending(), 0);
    QCOMPARE(listed(dialog), QStringList{"OK2XYZ"});
    QCOMPARE(folder.dataFiles(), QStringList());
}

void TestLogChoice::noFreeSlot()
{
    QStringList users;
    for (int i = 0; i < 10; ++i)
        users << QString("OK1A%1").arg(QChar('A' + i));
    ProgramFolder folder(users);
    TdmLog dm(folder.path());
    ScriptedMessages messages;
    ModalScript modals;
    MainWindowStub main{dm};
    TfrmProfile dialog(dm, main.closeLog(), main.openLog());
    dialog.show();
    QVERIFY(QTest::qWaitForWindowActive(&dialog));
    QTest::keyClick(&dialog, Qt::Key_Insert);
    QCOMPARE(messages.texts(), QStringList{"Maximální počet uživatelů je 10!"});
    QCOMPARE(messages.shown.first().type, mtInformation);
    QVERIFY(modals.shownNames().isEmpty()); // the settings dialog did not open
}

void TestLogChoice::deleteAnswers_data()
{
    QTest::addColumn<int>("first");
    QTest::addColumn<int>("second");
    QTest::addColumn<int>("questions");
    QTest::addColumn<bool>("deleted");
    QTest::newRow("no") << int(mrNo) << int(mrNo) << 1 << false;
    QTest::newRow("yes, then no") << int(mrYes) << int(mrNo) << 2 << false;
    QTest::newRow("yes, yes") << int(mrYes) << int(mrYes) << 2 << true;
}

void TestLogChoice::deleteAnswers()
{
    QFETCH(int, first);
    QFETCH(int, second);
    QFETCH(int, questions);
    QFETCH(bool, deleted);

    ProgramFolder folder({"OK1ABC", "OK2XYZ"});
    folder.makeLog("OK1ABC");
    folder.makeLog("OK2XYZ");
    TdmLog dm(folder.path());
    dm.UserOptions.Load(folder.data() + "OK1ABC.uf");
    ScriptedMessages messages;
    messages.answerNext(first);
    messages.answerNext(second);
    MainWindowStub main{dm};
    TfrmProfile dialog(dm, main.closeLog(), main.openLog());
    dialog.show();
    select(dialog, "OK2XYZ");
    QVERIFY(QTest::qWaitForWindowActive(&dialog));
    QTest::keyClick(&dialog, Qt::Key_Delete);

    const QStringList asked{"Opravdu chcete smazat deník \"OK2XYZ\"?\nVšechna spojení a nastavení budou vymazána!!!",
                            "Všechna SPOJENÍ BUDOU NENÁVRATNĚ SMAZÁNA!!! Opravdu chcete pokračovat?"};
    QCOMPARE(messages.texts(), asked.mid(0, questions));
    QCOMPARE(messages.shown[0].type, mtConfirmation);
    QCOMPARE(messages.shown[0].defaultResult, int(mrNo));
    QCOMPARE(messages.shown[0].buttons, TMsgDlgButtons(mbYes | mbNo));
    if (questions > 1) {
        QCOMPARE(messages.shown[1].type, mtWarning);
        QCOMPARE(messages.shown[1].defaultResult, int(mrNo));
    }
    QCOMPARE(main.calls, QStringList()); // another log than the open one
    if (deleted) {
        QCOMPARE(folder.dataFiles(), (QStringList{"OK1ABC.db", "OK1ABC.uf"}));
        QCOMPARE(folder.slotsOnDisk().mid(0, 2), (QStringList{"OK1ABC", ""}));
        QCOMPARE(listed(dialog), QStringList{"OK1ABC"});
    } else {
        QCOMPARE(folder.dataFiles(), (QStringList{"OK1ABC.db", "OK1ABC.uf", "OK2XYZ.db", "OK2XYZ.uf"}));
        QCOMPARE(folder.slotsOnDisk().mid(0, 2), (QStringList{"OK1ABC", "OK2XYZ"}));
        QCOMPARE(listed(dialog), (QStringList{"OK1ABC", "OK2XYZ"}));
    }
    QCOMPARE(button(&dialog, "btnCancel")->text(), QString("&Zpět"));
    QVERIFY(dialog.isVisible());
}

void TestLogChoice::deleteOpenLogTurnsCancelIntoExit()
{
    ProgramFolder folder({"OK1ABC"});
    folder.makeLog("OK1ABC");
    TdmLog dm(folder.path());
    dm.UserOptions.Load(folder.data() + "OK1ABC.uf");
    ScriptedMessages messages;
    messages.answerNext(mrYes);
    messages.answerNext(mrYes);
    MainWindowStub main{dm};
    TfrmProfile dialog(dm, main.closeLog(), main.openLog());
    dialog.show();
    QCOMPARE(button(&dialog, "btnCancel")->toolTip(), QString("Zpět do hlavního okna"));
    action(&dialog, "actDelete")->trigger();
    QCOMPARE(main.calls, QStringList{"close"});
    QCOMPARE(folder.dataFiles(), QStringList());
    QCOMPARE(folder.slotsOnDisk().first(), QString());
    QVERIFY(listed(dialog).isEmpty());
    QVERIFY(dialog.cancelIsExit());
    QCOMPARE(button(&dialog, "btnCancel")->text(), QString("Konec"));
    QCOMPARE(button(&dialog, "btnCancel")->toolTip(), QString("Ukončit program"));

    messages.clear();
    messages.answerNext(mrNo);
    QTest::keyClick(&dialog, Qt::Key_Escape);
    QCOMPARE(messages.texts(), QStringList{"Opravdu chcete ukončit program?"});
    QVERIFY(dialog.isVisible());
    messages.answerNext(mrYes);
    QTest::keyClick(&dialog, Qt::Key_Escape);
    QVERIFY(dialog.isHidden());
    QCOMPARE(dialog.result(), int(mrCancel));
}

void TestLogChoice::deleteRemovesEverySlot()
{
    ProgramFolder folder({"OK1ABC", "OK2XYZ", "", "OK1ABC"});
    folder.makeLog("OK1ABC");
    TdmLog dm(folder.path());
    ScriptedMessages messages;
    messages.answerNext(mrYes);
    messages.answerNext(mrYes);
    MainWindowStub main{dm};
    TfrmProfile dialog(dm, main.closeLog(), main.openLog());
    QCOMPARE(listed(dialog), (QStringList{"OK1ABC", "OK1ABC", "OK2XYZ"}));
    select(dialog, "OK1ABC");
    action(&dialog, "actDelete")->trigger();
    QCOMPARE(folder.slotsOnDisk().mid(0, 4), (QStringList{"", "OK2XYZ", "", ""}));
    QCOMPARE(listed(dialog), QStringList{"OK2XYZ"});
    QCOMPARE(folder.dataFiles(), QStringList());
    QVERIFY(!dialog.cancelIsExit()); // no log was open
}

// A file that cannot be removed is named to the operator; the rest of the log goes.
void TestLogChoice::deleteReportsWhatStays()
{
    ProgramFolder folder({"OK2XYZ"});
    folder.makeLog("OK2XYZ");
    QFile::remove(folder.data() + "OK2XYZ.uf");
    QVERIFY(QDir(folder.data()).mkpath("OK2XYZ.uf/inside"));
    TdmLog dm(folder.path());
    ScriptedMessages messages;
    messages.answerNext(mrYes);
    messages.answerNext(mrYes);
    MainWindowStub main{dm};
    TfrmProfile dialog(dm, main.closeLog(), main.openLog());
    action(&dialog, "actDelete")->trigger();
    QCOMPARE(messages.texts().size(), 3);
    QCOMPARE(messages.lastText(), QString("Soubor \"%1OK2XYZ.uf\" nelze smazat!").arg(folder.data()));
    QCOMPARE(messages.shown.last().type, mtError);
    QVERIFY(!QFile::exists(folder.data() + "OK2XYZ.db"));
    QCOMPARE(folder.slotsOnDisk().first(), QString());
    QVERIFY(listed(dialog).isEmpty());
}

// A slot of Velkor.ini that names no log ("../OK2XYZ") frees its slot; no file outside
// the data folder is removed.
void TestLogChoice::deleteTouchesNoFileOfAnInvalidName()
{
    ProgramFolder folder({"../OK2XYZ"});
    QVERIFY(WriteTestFile(folder.path() + "/OK2XYZ.uf", "[User]\nCall=OK2XYZ\n"));
    QVERIFY(WriteTestFile(folder.path() + "/OK2XYZ.db", "x"));
    TdmLog dm(folder.path());
    ScriptedMessages messages;
    messages.answerNext(mrYes);
    messages.answerNext(mrYes);
    MainWindowStub main{dm};
    TfrmProfile dialog(dm, main.closeLog(), main.openLog());
    select(dialog, "../OK2XYZ");
    action(&dialog, "actDelete")->trigger();
    QCOMPARE(messages.texts().size(), 2);
    QVERIFY(QFile::exists(folder.path() + "/OK2XYZ.uf"));
    QVERIFY(QFile::exists(folder.path() + "/OK2XYZ.db"));
    QCOMPARE(folder.slotsOnDisk().first(), QString());
    QVERIFY(listed(dialog).isEmpty());
}

void TestLogChoice::exitQuestion_data()
{
    QTest::addColumn<QString>("way");
    QTest::newRow("Esc") << "esc";
    QTest::newRow("Konec") << "button";
    QTest::newRow("close box") << "close";
}

// At program start every way out without a log asks first; No keeps the dialog open.
void TestLogChoice::exitQuestion()
{
    QFETCH(QString, way);
    ProgramFolder folder({"OK1ABC"});
    TdmLog dm(folder.path());
    ScriptedMessages messages;
    MainWindowStub main{dm};
    TfrmProfile dialog(dm, main.closeLog(), main.openLog());
    dialog.BindCancelToExit();
    dialog.show();
    QCOMPARE(button(&dialog, "btnCancel")->text(), QString("Konec"));
    auto leave = [&] {
        if (way == "esc")
            QTest::keyClick(&dialog, Qt::Key_Escape);
        else if (way == "button")
            QTest::mouseClick(button(&dialog, "btnCancel"), Qt::LeftButton);
        else
            dialog.close();
    };
    messages.answerNext(mrNo);
    leave();
    QCOMPARE(messages.texts(), QStringList{"Opravdu chcete ukončit program?"});
    QCOMPARE(messages.shown.first().defaultResult, int(mrYes));
    QVERIFY(dialog.isVisible());
    messages.answerNext(mrYes);
    leave();
    QVERIFY(dialog.isHidden());
    QCOMPARE(dialog.result(), int(mrCancel));
    QCOMPARE(main.calls, QStringList());
}

void TestLogChoice::columnLayoutPerScreenWidth_data()
{
    QTest::addColumn<int>("width");
    QTest::addColumn<int>("widthClass");
    QTest::newRow("800") << 800 << 0;
    QTest::newRow("1023") << 1023 << 0;
    QTest::newRow("1024") << 1024 << 1;
    QTest::newRow("1152") << 1152 << 2;
    QTest::newRow("1280") << 1280 << 3;
    QTest::newRow("1920") << 1920 << 3;
}

// The layout depends on the screen, which is fixed when the program starts: each width
// runs this test program again on an offscreen screen of that width, where it creates a
// log through both dialogs (createLogAsChild); the written settings are checked here.
void TestLogChoice::columnLayoutPerScreenWidth()
{
    QFETCH(int, width);
    QFETCH(int, widthClass);
    QTemporaryDir dir;
    ProgramFolder folder(dir.path(), {});
    const QString config = dir.path() + "/screen.json";
    QFile json(config);
    QVERIFY(json.open(QIODevice::WriteOnly));
    json.write(QString(R"({"screens":[{"name":"s","x":0,"y":0,"width":%1,"height":768,)"
                       R"("logicalDpi":96,"logicalBaseDpi":96,"dpr":1}]})")
                   .arg(width)
                   .toUtf8());
    json.close();

    QProcess child;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert("QT_QPA_PLATFORM", "offscreen:configfile=" + config);
    env.insert(ChildDirVariable, folder.path());
    child.setProcessEnvironment(env);
    child.setProcessChannelMode(QProcess::MergedChannels);
    child.start(QCoreApplication::applicationFilePath(), {"createLogAsChild"});
    QVERIFY(child.waitForFinished(60000));
    QVERIFY2(child.exitCode() == 0, child.readAll().constData());

    TUserOptions uf;
    uf.Load(folder.data() + "OK1ABC.uf");
    QCOMPARE(uf.Call, QString("OK1ABC"));
    for (int f = fiDAT; f < LogFieldCount; ++f) {
        const QString &name = LogFieldNames[f];
        QCOMPARE(uf.GetColumnWidth(name), LogColumnWidths[f][widthClass]);
        QCOMPARE(uf.GetColumnVisible(name), LogColumnVisible[f][widthClass]);
        QCOMPARE(uf.GetColumnIndex(name, -1), LogColumnPositions[f]);
    }
    // The cases named for the note column: hidden and narrow on small screens.
    if (width == 1024) {
        QCOMPARE(uf.GetColumnWidth("NOTE"), 90);
        QVERIFY(!uf.GetColumnVisible("NOTE"));
    } else if (width == 1280) {
        QCOMPARE(uf.GetColumnWidth("NOTE"), 220);
        QVERIFY(uf.GetColumnVisible("NOTE"));
    }
    QVERIFY(IsReadableLogTableFile(folder.data() + "OK1ABC.db"));
}

// Run by columnLayoutPerScreenWidth in a process of its own; skipped otherwise.
void TestLogChoice::createLogAsChild()
{
    const QString programDir = qEnvironmentVariable(ChildDirVariable);
    if (programDir.isEmpty())
        QSKIP("part of columnLayoutPerScreenWidth");
    TdmLog dm(programDir);
    ScriptedMessages messages;
    ModalScript modals;
    MainWindowStub main{dm};
    TfrmProfile dialog(dm, main.closeLog(), main.openLog());
    dialog.BindCancelToExit();
    dialog.show();
    modals.drive("frmOptions", [](QDialog &options) { createLogIn(&options, "OK1ABC"); });
    action(&dialog, "actNew")->trigger();
    QCOMPARE(modals.pending(), 0);
    QCOMPARE(messages.texts(), QStringList());
    QCOMPARE(listed(dialog), QStringList{"OK1ABC"});
}

QTEST_MAIN(TestLogChoice)
#include "tst_logchoice.moc"
