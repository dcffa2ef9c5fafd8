#include "SettingsDialog.h"

#include "radio/Amater.h"
#include "log/DmLog.h"
#include "FileDialogs.h"
#include "FilteredLineEdit.h"
#include "FloatComboBox.h"
#include "base/Formats.h"
#include "LocatorEdit.h"
#include "settings/LogOptions.h"
#include "ModalScript.h"
#include "ProgramFolder.h"
#include "ScriptedMessages.h"
#include "settings/UserOptions.h"
#include "log/VkrDatabase.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QLineEdit>
#include <QPushButton>
#include <QRegularExpression>
#include <QScreen>
#include <QSpinBox>
#include <QSqlDatabase>
#include <QSqlQuery>
#include <QTabWidget>
#include <QTableWidget>
#include <QTemporaryDir>
#include <QTest>

class TestSettingsDialog : public QObject
{
    Q_OBJECT

    template <typename T> static T *child(QWidget *dialog, const char *name)
    {
        T *widget = dialog->findChild<T *>(QLatin1String(name));
        if (!widget)
            qFatal("no control %s", name);
        return widget;
    }
    static QString currentPage(QWidget *dialog)
    {
        return child<QTabWidget>(dialog, "pgConNastav")->currentWidget()->objectName();
    }
    static QStringList gridColumn(QWidget *dialog, const char *grid, int column)
    {
        auto *table = child<QTableWidget>(dialog, grid);
        QStringList texts;
        for (int r = 0; r < table->rowCount(); ++r)
            texts << (table->item(r, column) ? table->item(r, column)->text() : QString());
        return texts;
    }
    // Fills the fields a new log needs and leaves the rest at their defaults.
    static void fillNewUser(QWidget *dialog, const QString &call, const QString &locator = "JN79AB")
    {
        auto *edtCall = child<QLineEdit>(dialog, "edtCall");
        edtCall->clear();
        QTest::keyClicks(edtCall, call);
        child<QLineEdit>(dialog, "edtLoc")->setText(locator);
    }
    static void click(QWidget *dialog, const char *button)
    {
        QTest::mouseClick(child<QAbstractButton>(dialog, button), Qt::LeftButton);
    }
    // Answers the next pick dialog with the item at index (editable: the typed text).
    static void pick(ModalScript &modals, int index, const QString &typed = QString(), bool ok = true)
    {
        modals.drive("frmComboBox", [index, typed, ok](QDialog &dialog) {
            QWidget *w = &dialog;
            auto *box = w->findChild<QComboBox *>("ComboBox");
            if (typed.isNull())
                box->setCurrentIndex(index);
            else
                box->setEditText(typed);
            QTest::mouseClick(w->findChild<QAbstractButton *>(ok ? "btnOk" : "btnCancel"), Qt::LeftButton);
        });
    }

    // The data module makes its temporary folder under TEMP: one of this test's own.
    QTemporaryDir m_temp;

private slots:
    void initTestCase() { qputenv("TEMP", m_temp.path().toLocal8Bit()); }
    void newLogDefaults();
    void callKeepsLettersAndDigitsOnly();
    void refusals_data();
    void refusals();
    void noFreeSlot();
    void backUpPathNotExaminedWhenDisabled();
    void creationFailureLeavesNoHalfLog_data();
    void creationFailureLeavesNoHalfLog();
    void existingLogFileIsKept();
    void modeListEditing();
    void modeAddExistingSelectsIt();
    void modeDeleteAll();
    void freqAdd_data();
    void freqAdd();
    void freqLimit();
    void freqMoveKeepsDefault();
    void syncTimeEnablesServer();
    void passwordLimit();
    void backUpFolderChoice();
    void editModeWritesOnlyOnOk();
    void editModePassword_data();
    void editModePassword();
    void centredOnItsOwner_data();
    void centredOnItsOwner();
};

void TestSettingsDialog::newLogDefaults()
{
    ProgramFolder folder({"OK2XYZ"});
    TdmLog dm(folder.path());
    ScriptedMessages messages;
    TfrmOptions dialog(dm, false);
    dialog.show();
    QVERIFY(!child<QComboBox>(&dialog, "cbNTPServer")->isEnabled());
    QCOMPARE(child<QLineEdit>(&dialog, "edtRSTo")->text(), QString("599"));
    QCOMPARE(child<QComboBox>(&dialog, "cbPWR")->currentText(), QString("100"));
    QCOMPARE(child<QComboBox>(&dialog, "cbBackUp")->currentText(), QString("Měsíčně"));
    QCOMPARE(child<QLineEdit>(&dialog, "edtWendraHost")->text(), DefaultClusterHost);
    QCOMPARE(child<QSpinBox>(&dialog, "spEdtWendraPort")->value(), 41112);
    QCOMPARE(dialog.modes().size(), 27);
    QCOMPARE(dialog.freqs().size(), 28);
    QCOMPARE(gridColumn(&dialog, "dGrdMode", 1).first(), QString("CW"));
    QCOMPARE(gridColumn(&dialog, "dGrdFreq", 1).first(), QString("0,135"));
    QCOMPARE(gridColumn(&dialog, "dGrdFreq", 2).first(), QString("2190m"));
    // The help page names the tabs and the buttons as the dialog shows them.
    QFile help(VELKOR_SOURCE_DIR "/help/frmOptions.html");
    QVERIFY(help.open(QIODevice::ReadOnly));
    const QString page = QString::fromUtf8(help.readAll());
    QStringList helpTabs, tabs;
    for (const QRegularExpressionMatch &row : QRegularExpression("<tr><td>([^<]*)</td>").globalMatch(page))
        helpTabs << row.captured(1);
    auto *pages = child<QTabWidget>(&dialog, "pgConNastav");
    for (int i = 0; i < pages->count(); ++i)
        tabs << pages->tabText(i);
    QCOMPARE(helpTabs, tabs);
    for (const char *button : {"btnOk", "btnZrusit"})
        QVERIFY(page.contains("<b>" + child<QPushButton>(&dialog, button)->text() + "</b>"));

    fillNewUser(&dialog, "ok1abc");
    click(&dialog, "btnOk");
    QVERIFY2(messages.shown.isEmpty(), qPrintable(messages.texts().join('|')));
    QCOMPARE(dialog.result(), int(mrOk));
    QVERIFY(dialog.isHidden());

    TLogOptions ini;
    ini.Load(folder.path() + "Velkor.ini");
    QCOMPARE(ini.GetUser(0), QString("OK2XYZ"));
    QCOMPARE(ini.GetUser(1), QString("OK1ABC"));
    QVERIFY(IsReadableLogTableFile(folder.data() + "OK1ABC.db"));

    TUserOptions uf;
    uf.Load(folder.data() + "OK1ABC.uf");
    QCOMPARE(uf.Call, QString("OK1ABC"));
    QCOMPARE(uf.GetLocator(), QString("JN79AB"));
    QList<int> modes;
    uf.GetModeArray(modes);
    QCOMPARE(modes.size(), 27);
    QCOMPARE(modes.first(), 1);
    QCOMPARE(uf.GetMode(), 0);
    QList<double> freqs;
    uf.GetFreqArray(freqs);
    QCOMPARE(freqs.size(), 28);
    QCOMPARE(freqs.first(), 0.135);
    QCOMPARE(uf.GetFreq(), 0);
    QCOMPARE(uf.GetQuickQSOs(), 0);
    QCOMPARE(uf.Ini.ReadString("nQSO", "QuickQSOs", "missing"), QString("0"));
    QCOMPARE(uf.GetBackUpLast(), QDate::currentDate());
    QVERIFY(uf.Ini.ValueExists("BackUp", "Last"));
    QCOMPARE(uf.GetBackUpInterval(), 1);
    QCOMPARE(uf.GetPower(), 100.0);
    QCOMPARE(uf.GetClusterPassword(), QString());
    QCOMPARE(uf.Ini.ReadString("Map", "CenterY", ""), QString("49,800"));
    QCOMPARE(uf.Ini.ReadString("Map", "GeoGrid", ""), QString("1"));

    // The column layout of this screen's width class, for the 24 fields after ID.
    const int widthClass = ScreenWidthClass(QGuiApplication::primaryScreen()->geometry().width());
    for (int f = fiDAT; f < LogFieldCount; ++f) {
        const QString &name = LogFieldNames[f];
        QCOMPARE(uf.GetColumnCaption(name), LogFieldCaptions[f]);
        QCOMPARE(uf.GetColumnCaptionAlignment(name), int(LogColumnTitleAlignments[f]));
        QCOMPARE(uf.GetColumnAlignment(name), int(LogColumnAlignments[f]));
        QCOMPARE(uf.GetColumnWidth(name), LogColumnWidths[f][widthClass]);
        QCOMPARE(uf.GetColumnVisible(name), LogColumnVisible[f][widthClass]);
        QCOMPARE(uf.GetColumnIndex(name, -1), LogColumnPositions[f]);
    }
    QVERIFY(!uf.Ini.ValueExists("Columns", "ID_Width"));
}

void TestSettingsDialog::callKeepsLettersAndDigitsOnly()
{
    ProgramFolder folder;
    TdmLog dm(folder.path());
    TfrmOptions dialog(dm, false);
    auto *edtCall = child<QLineEdit>(&dialog, "edtCall");
    QTest::keyClicks(edtCall, "ok-1/a b.c");
    QCOMPARE(edtCall->text(), QString("OK1ABC"));
    QTest::keyClicks(edtCall, "defghijk");
    QCOMPARE(edtCall->text(), QString("OK1ABCDEFG")); // ten characters at most
}

void TestSettingsDialog::refusals_data()
{
    QTest::addColumn<QString>("call");
    QTest::addColumn<QString>("locator");
    QTest::addColumn<QString>("power");
    QTest::addColumn<bool>("dropModes");
    QTest::addColumn<bool>("backUp");
    QTest::addColumn<QString>("backUpPath");
    QTest::addColumn<QString>("message");
    QTest::addColumn<QString>("page");
    QTest::addColumn<QString>("focused");

    const QString nowhere = QDir::tempPath() + "/velkor-no-such-folder-4711";
    QTest::newRow("empty call") << "" << "JN79AB" << "100" << false << false << "" << "Značka musí být zadána!"
                                << "tbSheetZaklad" << "edtCall";
    QTest::newRow("registered call") << "ok2xyz" << "JN79AB" << "100" << false << false << ""
                                     << "Uživatel již existuje!" << "tbSheetZaklad" << "edtCall";
    QTest::newRow("empty locator") << "OK1ABC" << "" << "100" << false << false << ""
                                   << "Lokátor musí být zadán!" << "tbSheetZaklad" << "edtLoc";
    QTest::newRow("short locator") << "OK1ABC" << "JN79" << "100" << false << false << ""
                                   << "Neplatný lokátor \"JN79\"!" << "tbSheetZaklad" << "edtLoc";
    QTest::newRow("empty power") << "OK1ABC" << "JN79AB" << "" << false << false << "" << "Výkon musí být zadán!"
                                 << "tbSheetVl" << "cbPWR";
    QTest::newRow("bad power") << "OK1ABC" << "JN79AB" << "1,2,3" << false << false << "" << "Neplatný výkon!"
                               << "tbSheetVl" << "cbPWR";
    QTest::newRow("no mode") << "OK1ABC" << "JN79AB" << "100" << true << false << ""
                             << "Musí být zadán nejméně jeden mód!" << "tbSheetMode" << "dGrdMode";
    QTest::newRow("empty backup path") << "OK1ABC" << "JN79AB" << "100" << false << true << ""
                                       << "Adresář musí být zadán!" << "tbSheetRozs" << "edtBackUpPath";
    QTest::newRow("missing backup folder")
        << "OK1ABC" << "JN79AB" << "100" << false << true << nowhere
        << QString("Adresář \"%1\" neexistuje!").arg(nowhere) << "tbSheetRozs" << "edtBackUpPath";
}

// Each check shows its message and page, focuses its control and writes nothing.
void TestSettingsDialog::refusals()
{
    QFETCH(QString, call);
    QFETCH(QString, locator);
    QFETCH(QString, power);
    QFETCH(bool, dropModes);
    QFETCH(bool, backUp);
    QFETCH(QString, backUpPath);
    QFETCH(QString, message);
    QFETCH(QString, page);
    QFETCH(QString, focused);

    ProgramFolder folder({"OK2XYZ"});
    TdmLog dm(folder.path());
    ScriptedMessages messages;
    TfrmOptions dialog(dm, false);
    dialog.show();
    fillNewUser(&dialog, call, locator);
    child<QComboBox>(&dialog, "cbPWR")->setEditText(power);
    if (dropModes) {
        for (int i = 0; i < 27; ++i)
            click(&dialog, "btnModeDel");
        QVERIFY(dialog.modes().isEmpty());
    }
    child<QCheckBox>(&dialog, "chBackUp")->setChecked(backUp);
    child<QLineEdit>(&dialog, "edtBackUpPath")->setText(backUpPath);
    child<QTabWidget>(&dialog, "pgConNastav")->setCurrentIndex(4);

    click(&dialog, "btnOk");
    QCOMPARE(messages.texts(), QStringList{message});
    QCOMPARE(messages.shown.first().type, mtError);
    QCOMPARE(currentPage(&dialog), page);
    QVERIFY(messages.lastFocused());
    QCOMPARE(messages.lastFocused()->objectName(), focused);
    QVERIFY(dialog.isVisible());
    QCOMPARE(dialog.result(), 0);

    QCOMPARE(QDir(folder.data()).entryList(QDir::Files), QStringList());
    TLogOptions ini;
    ini.Load(folder.path() + "Velkor.ini");
    QCOMPARE(ini.GetUser(1), QString());
}

void TestSettingsDialog::noFreeSlot()
{
    QStringList users;
    for (int i = 0; i < 10; ++i)
        users << QString("OK1A%1").arg(QChar('A' + i));
    ProgramFolder folder(users);
    TdmLog dm(folder.path());
    ScriptedMessages messages;
    TfrmOptions dialog(dm, false);
    dialog.show();
    fillNewUser(&dialog, "OK1XYZ");
    click(&dialog, "btnOk");
    QCOMPARE(messages.texts(), QStringList{"Maximální počet uživatelů je 10!"});
    QVERIFY(dialog.isVisible());
    QCOMPARE(QDir(folder.data()).entryList(QDir::Files), QStringList());
}

void TestSettingsDialog::backUpPathNotExaminedWhenDisabled()
{
    ProgramFolder folder;
    TdmLog dm(folder.path());
    ScriptedMessages messages;
    TfrmOptions dialog(dm, false);
    dialog.show();
    fillNewUser(&dialog, "OK1ABC");
    child<QCheckBox>(&dialog, "chBackUp")->setChecked(false);
    child<QLineEdit>(&dialog, "edtBackUpPath")->clear();
    click(&dialog, "btnOk");
    QCOMPARE(messages.texts(), QStringList());
    QCOMPARE(dialog.result(), int(mrOk));
}

void TestSettingsDialog::creationFailureLeavesNoHalfLog_data()
{
    QTest::addColumn<QString>("blocked"); // the path made unwritable by a folder in its place
    QTest::addColumn<QString>("message");
    QTest::addColumn<QStringList>("dataFiles"); // what the data folder holds afterwards
    QTest::newRow("settings file") << "Data/OK1ABC.uf" << "Soubor \"%1Data/OK1ABC.uf\" nelze uložit!"
                                   << QStringList{"OK1ABC.uf"};
    QTest::newRow("program settings") << "Velkor.ini" << "Soubor \"%1Velkor.ini\" nelze uložit!"
                                      << QStringList{};
}

// A step of the creation that fails is reported; the dialog stays open and neither a
// registered slot nor a settings file or log table of the new log is left behind.
void TestSettingsDialog::creationFailureLeavesNoHalfLog()
{
    QFETCH(QString, blocked);
    QFETCH(QString, message);
    QFETCH(QStringList, dataFiles);
    ProgramFolder folder({"OK2XYZ"});
    TdmLog dm(folder.path());
    QFile::remove(folder.path() + blocked);
    QVERIFY(QDir(folder.path()).mkpath(blocked + "/inside"));
    ScriptedMessages messages;
    TfrmOptions dialog(dm, false);
    dialog.show();
    fillNewUser(&dialog, "OK1ABC");
    click(&dialog, "btnOk");
    QCOMPARE(messages.texts(), QStringList{message.arg(folder.path())});
    QCOMPARE(messages.shown.first().type, mtError);
    QVERIFY(dialog.isVisible());
    QCOMPARE(QDir(folder.data()).entryList(QDir::Files | QDir::Dirs | QDir::NoDotAndDotDot), dataFiles);
    QCOMPARE(dm.LogOptions.GetUser(1), QString());
}

// A log file of that call sign lying unregistered in the data folder keeps its QSOs;
// one that is no log refuses the creation and stays as it was.
void TestSettingsDialog::existingLogFileIsKept()
{
    ProgramFolder folder;
    CreateLogTable(folder.data() + "OK1ABC.db");
    auto countQsos = [&folder] {
        int count = -1;
        {
            QSqlDatabase db = QSqlDatabase::addDatabase("QSQLITE", "count");
            db.setDatabaseName(folder.data() + "OK1ABC.db");
            if (db.open()) {
                QSqlQuery query(db);
                if (query.exec("SELECT COUNT(*) FROM " + LogTableName) && query.next())
                    count = query.value(0).toInt();
                if (count == 0)
                    query.exec("INSERT INTO " + LogTableName + " (CALL) VALUES ('DL1AAA')");
            }
        }
        QSqlDatabase::removeDatabase("count");
        return count;
    };
    QCOMPARE(countQsos(), 0); // and one QSO goes in
    {
        QFile foreign(folder.data() + "OK2XYZ.db");
        QVERIFY(foreign.open(QIODevice::WriteOnly));
        foreign.write("no log");
    }
    TdmLog dm(folder.path());
    ScriptedMessages messages;
    {
        TfrmOptions dialog(dm, false);
        dialog.show();
        fillNewUser(&dialog, "OK2XYZ");
        click(&dialog, "btnOk");
        QCOMPARE(messages.texts().size(), 1);
        QCOMPARE(messages.shown.first().type, mtError);
        QVERIFY(messages.lastText().contains("OK2XYZ.db"));
        QVERIFY(dialog.isVisible());
    }
    QCOMPARE(QDir(folder.data()).entryList(QDir::Files, QDir::Name), (QStringList{"OK1ABC.db", "OK2XYZ.db"}));
    QFile foreign(folder.data() + "OK2XYZ.db");
    QVERIFY(foreign.open(QIODevice::ReadOnly));
    QCOMPARE(foreign.readAll(), QByteArray("no log"));

    messages.clear();
    TfrmOptions dialog(dm, false);
    dialog.show();
    fillNewUser(&dialog, "OK1ABC");
    click(&dialog, "btnOk");
    QCOMPARE(messages.texts(), QStringList());
    QCOMPARE(countQsos(), 1);
    QCOMPARE(dm.LogOptions.GetUser(0), QString("OK1ABC"));
}

// Add, delete, default and moves on the mode list; the default mark stays on its entry.
void TestSettingsDialog::modeListEditing()
{
    ProgramFolder folder;
    TdmLog dm(folder.path());
    ScriptedMessages messages;
    ModalScript modals;
    TfrmOptions dialog(dm, false);
    dialog.show();
    auto *grid = child<QTableWidget>(&dialog, "dGrdMode");

    // SSB (row 2) becomes the default; deleting CW above it keeps SSB marked.
    grid->setCurrentCell(1, 0);
    click(&dialog, "btnModeDef");
    QCOMPARE(dialog.defaultMode(), 1);
    QVERIFY(grid->item(1, 0)->font().bold());
    grid->setCurrentCell(0, 0);
    click(&dialog, "btnModeDel");
    QCOMPARE(dialog.modes().first(), 2);
    QCOMPARE(dialog.defaultMode(), 0);
    QCOMPARE(gridColumn(&dialog, "dGrdMode", 0).size(), 26);

    // Moving the default down and up keeps the mark on it.
    click(&dialog, "btnModeDown");
    QCOMPARE(dialog.modes().mid(0, 2), (QList<int>{3, 2}));
    QCOMPARE(dialog.defaultMode(), 1);
    QCOMPARE(grid->currentRow(), 1);
    QVERIFY(grid->item(1, 0)->font().bold());
    QVERIFY(!grid->item(0, 0)->font().bold());
    click(&dialog, "btnModeUp");
    QCOMPARE(dialog.modes().mid(0, 2), (QList<int>{2, 3}));
    QCOMPARE(dialog.defaultMode(), 0);
    QCOMPARE(grid->currentRow(), 0);
    // Moving the neighbour of the default swaps the mark too.
    grid->setCurrentCell(1, 0);
    click(&dialog, "btnModeUp");
    QCOMPARE(dialog.modes().mid(0, 2), (QList<int>{3, 2}));
    QCOMPARE(dialog.defaultMode(), 1);

    // Up on the first and down on the last entry do nothing.
    const QList<int> before = dialog.modes();
    grid->setCurrentCell(0, 0);
    click(&dialog, "btnModeUp");
    grid->setCurrentCell(before.size() - 1, 0);
    click(&dialog, "btnModeDown");
    QCOMPARE(dialog.modes(), before);

    // Deleting the default entry makes the first entry the default.
    grid->setCurrentCell(1, 0);
    click(&dialog, "btnModeDel");
    QCOMPARE(dialog.defaultMode(), 0);
    QVERIFY(!dialog.modes().contains(2));

    // CW comes back at the end of the list and is selected.
    pick(modals, 0);
    click(&dialog, "btnModeAdd");
    QCOMPARE(modals.pending(), 0);
    QCOMPARE(modals.lastTitle(), QString("Nový mód"));
    QCOMPARE(dialog.modes().last(), 1);
    QCOMPARE(grid->currentRow(), dialog.modes().size() - 1);
    QCOMPARE(gridColumn(&dialog, "dGrdMode", 1).last(), QString("CW"));
    QCOMPARE(messages.shown.size(), 0);

    // A cancelled pick adds nothing.
    const int count = dialog.modes().size();
    pick(modals, 5, QString(), false);
    click(&dialog, "btnModeAdd");
    QCOMPARE(modals.pending(), 0);
    QCOMPARE(dialog.modes().size(), count);
}

void TestSettingsDialog::modeAddExistingSelectsIt()
{
    ProgramFolder folder;
    TdmLog dm(folder.path());
    ModalScript modals;
    TfrmOptions dialog(dm, false);
    dialog.show();
    pick(modals, 8); // RTTY, mode index 9, list row 9
    click(&dialog, "btnModeAdd");
    QCOMPARE(modals.pending(), 0);
    QCOMPARE(dialog.modes().size(), 27);
    QCOMPARE(child<QTableWidget>(&dialog, "dGrdMode")->currentRow(), 8);
}

void TestSettingsDialog::modeDeleteAll()
{
    ProgramFolder folder;
    TdmLog dm(folder.path());
    ModalScript modals;
    TfrmOptions dialog(dm, false);
    dialog.show();
    auto *grid = child<QTableWidget>(&dialog, "dGrdMode");
    grid->setCurrentCell(26, 0);
    for (int i = 0; i < 30; ++i) // more presses than entries do no harm
        click(&dialog, "btnModeDel");
    QVERIFY(dialog.modes().isEmpty());
    QCOMPARE(dialog.defaultMode(), 0);
    // An empty list still shows one numbered row with the mark.
    QCOMPARE(gridColumn(&dialog, "dGrdMode", 0), QStringList{"1"});
    QCOMPARE(gridColumn(&dialog, "dGrdMode", 1), QStringList{""});
    pick(modals, 1);
    click(&dialog, "btnModeAdd");
    QCOMPARE(dialog.modes(), QList<int>{2});
    QCOMPARE(gridColumn(&dialog, "dGrdMode", 1), QStringList{"SSB"});
}

void TestSettingsDialog::freqAdd_data()
{
    QTest::addColumn<QString>("typed");
    QTest::addColumn<QString>("message");
    QTest::addColumn<double>("added");   // 0: nothing added
    QTest::addColumn<int>("selectedRow"); // the row selected afterwards

    QTest::newRow("decimal comma") << "14,025" << "" << 14.025 << 27;
    QTest::newRow("rounded to kHz") << "3,5504" << "" << 3.55 << 27;
    QTest::newRow("existing value") << "7" << "" << 0.0 << 4;
    QTest::newRow("letters") << "abc" << "Neplatná frekvence \"abc\"!" << 0.0 << 0;
    QTest::newRow("zero") << "0" << "Neplatná frekvence \"0\"!" << 0.0 << 0;
    QTest::newRow("rounds to zero") << "0,0004" << "Neplatná frekvence \"0,0004\"!" << 0.0 << 0;
    QTest::newRow("negative") << "-7" << "Neplatná frekvence \"-7\"!" << 0.0 << 0;
}

void TestSettingsDialog::freqAdd()
{
    QFETCH(QString, typed);
    QFETCH(QString, message);
    QFETCH(double, added);
    QFETCH(int, selectedRow);

    ProgramFolder folder;
    TdmLog dm(folder.path());
    ScriptedMessages messages;
    ModalScript modals;
    TfrmOptions dialog(dm, false);
    dialog.show();
    // Room for one more: drop 1mm, the last of the 28 presets.
    auto *grid = child<QTableWidget>(&dialog, "dGrdFreq");
    grid->setCurrentCell(27, 0);
    click(&dialog, "btnFreqDel");
    QCOMPARE(dialog.freqs().size(), 27);
    grid->setCurrentCell(0, 0);

    pick(modals, -1, typed);
    click(&dialog, "btnFreqAdd");
    QCOMPARE(modals.pending(), 0);
    QCOMPARE(modals.lastTitle(), QString("Nová frekvence"));
    QCOMPARE(messages.texts(), message.isEmpty() ? QStringList() : QStringList{message});
    if (added > 0) {
        QCOMPARE(dialog.freqs().size(), 28);
        QCOMPARE(dialog.freqs().last(), added);
        QCOMPARE(gridColumn(&dialog, "dGrdFreq", 1).last(), Formats::floatToStr(added));
        QCOMPARE(gridColumn(&dialog, "dGrdFreq", 2).last(), BandNames[GetBandIndex(added)]);
    } else {
        QCOMPARE(dialog.freqs().size(), 27);
    }
    if (!message.isEmpty())
        QCOMPARE(messages.shown.first().type, mtError);
    QCOMPARE(grid->currentRow(), selectedRow);
}

void TestSettingsDialog::freqLimit()
{
    ProgramFolder folder;
    TdmLog dm(folder.path());
    ScriptedMessages messages;
    ModalScript modals;
    TfrmOptions dialog(dm, false);
    dialog.show();
    click(&dialog, "btnFreqAdd");
    QCOMPARE(messages.texts(), QStringList{"Je povoleno maximálně 28 záznamů!"});
    QCOMPARE(messages.shown.first().type, mtInformation);
    QVERIFY(modals.shownNames().isEmpty()); // the pick dialog did not open
    QCOMPARE(dialog.freqs().size(), 28);
}

void TestSettingsDialog::freqMoveKeepsDefault()
{
    ProgramFolder folder;
    TdmLog dm(folder.path());
    TfrmOptions dialog(dm, false);
    dialog.show();
    auto *grid = child<QTableWidget>(&dialog, "dGrdFreq");
    grid->setCurrentCell(6, 0); // 14 MHz
    click(&dialog, "btnFreqDef");
    click(&dialog, "btnFreqUp");
    click(&dialog, "btnFreqUp");
    QCOMPARE(dialog.freqs()[4], 14.0);
    QCOMPARE(dialog.defaultFreq(), 4);
    QCOMPARE(gridColumn(&dialog, "dGrdFreq", 2)[4], QString("20m"));
    grid->setCurrentCell(2, 0); // delete above the default
    click(&dialog, "btnFreqDel");
    QCOMPARE(dialog.defaultFreq(), 3);
    QCOMPARE(dialog.freqs()[3], 14.0);
}

void TestSettingsDialog::syncTimeEnablesServer()
{
    ProgramFolder folder;
    TdmLog dm(folder.path());
    TfrmOptions dialog(dm, false);
    auto *server = child<QComboBox>(&dialog, "cbNTPServer");
    auto *sync = child<QCheckBox>(&dialog, "chSyncTime");
    QStringList offered;
    for (int i = 0; i < server->count(); ++i)
        offered << server->itemText(i);
    QCOMPARE(offered, QStringList(NtpServerNames.begin(), NtpServerNames.end()));
    QVERIFY(!server->isEnabled());
    sync->click();
    QVERIFY(server->isEnabled());
    sync->click();
    QVERIFY(!server->isEnabled());
}

void TestSettingsDialog::passwordLimit()
{
    ProgramFolder folder;
    TdmLog dm(folder.path());
    TfrmOptions dialog(dm, false);
    auto *pwd = child<QLineEdit>(&dialog, "edtWendraPwd");
    QCOMPARE(pwd->echoMode(), QLineEdit::Password);
    QTest::keyClicks(pwd, "0123456789abcdefghij");
    QCOMPARE(pwd->text(), QString("0123456789abcde"));
}

void TestSettingsDialog::backUpFolderChoice()
{
    ProgramFolder folder;
    TdmLog dm(folder.path());
    TfrmOptions dialog(dm, false);
    auto *path = child<QLineEdit>(&dialog, "edtBackUpPath");
    const QString before = path->text();
    QCOMPARE(before, folder.path() + "Zaloha/");

    FileDialogs::resetScript();
    FileDialogs::setNextAnswer(QString()); // cancelled
    click(&dialog, "btnBackUpDir");
    QCOMPARE(path->text(), before);
    QCOMPARE(FileDialogs::lastCaption(), QString("Vyberte adresář pro zálohy"));

    FileDialogs::setNextAnswer(folder.data());
    click(&dialog, "btnBackUpDir");
    QCOMPARE(QDir::cleanPath(path->text()), QDir::cleanPath(folder.data()));
    FileDialogs::resetScript();
}

// Edit mode shows the open log's settings and changes them only on "Uložit".
void TestSettingsDialog::editModeWritesOnlyOnOk()
{
    ProgramFolder folder({"OK1ABC"});
    TdmLog dm(folder.path());
    ScriptedMessages messages;
    TUserOptions &o = dm.UserOptions;
    o.SetCall("OK1ABC");
    o.SetLocator("JN79AB");
    o.SetPower(5);
    o.SetModes({2, 1, 9});
    o.SetMode(2);
    o.SetFreqs({7.0, 14.025});
    o.SetFreq(1);
    o.SetDateFormat(3);
    o.SetNTPSync(true);
    o.SetNTPServer("time.example.org");
    o.SetBackUpEnabled(false);
    o.SetBackUpInterval(0);
    o.SetClusterPort(7300);
    const QString original = o.Ini.Text();

    {
        TfrmOptions dialog(dm, true);
        dialog.show();
        QVERIFY(!child<QLineEdit>(&dialog, "edtCall")->isEnabled());
        QCOMPARE(child<QLineEdit>(&dialog, "edtCall")->text(), QString("OK1ABC"));
        QCOMPARE(child<QComboBox>(&dialog, "cbPWR")->currentText(), QString("5"));
        QCOMPARE(dialog.modes(), (QList<int>{2, 1, 9}));
        QCOMPARE(dialog.defaultMode(), 2);
        QCOMPARE(gridColumn(&dialog, "dGrdMode", 1), (QStringList{"SSB", "CW", "RTTY"}));
        QCOMPARE(gridColumn(&dialog, "dGrdFreq", 1), (QStringList{"7", "14,025"}));
        QCOMPARE(dialog.defaultFreq(), 1);
        QCOMPARE(child<QComboBox>(&dialog, "cbDateFormat")->currentIndex(), 3);
        QVERIFY(child<QComboBox>(&dialog, "cbNTPServer")->isEnabled());
        QCOMPARE(child<QComboBox>(&dialog, "cbNTPServer")->currentText(), QString("time.example.org"));
        QCOMPARE(child<QComboBox>(&dialog, "cbBackUp")->currentIndex(), 0);
        QCOMPARE(child<QSpinBox>(&dialog, "spEdtWendraPort")->value(), 7300);

        child<QLineEdit>(&dialog, "edtLoc")->setText("JO60AA");
        child<QComboBox>(&dialog, "cbPWR")->setEditText("25");
        click(&dialog, "btnModeDel");
        click(&dialog, "btnZrusit");
        QCOMPARE(dialog.result(), int(mrCancel));
    }
    QCOMPARE(o.Ini.Text(), original);

    {
        TfrmOptions dialog(dm, true);
        dialog.show();
        child<QLineEdit>(&dialog, "edtLoc")->setText("jo60aa");
        child<QComboBox>(&dialog, "cbPWR")->setEditText("25");
        child<QTableWidget>(&dialog, "dGrdMode")->setCurrentCell(0, 0);
        click(&dialog, "btnModeDel"); // SSB goes, RTTY stays the default
        child<QComboBox>(&dialog, "cbTimeFormat")->setCurrentIndex(2);
        child<QCheckBox>(&dialog, "chLookInCB")->setChecked(false);
        click(&dialog, "btnOk");
        QCOMPARE(messages.texts(), QStringList());
        QCOMPARE(dialog.result(), int(mrOk));
    }
    QCOMPARE(o.Call, QString("OK1ABC"));
    QCOMPARE(o.GetLocator(), QString("JO60AA"));
    QCOMPARE(o.GetPower(), 25.0);
    QList<int> modes;
    o.GetModeArray(modes);
    QCOMPARE(modes, (QList<int>{1, 9}));
    QCOMPARE(o.GetMode(), 1);
    QCOMPARE(o.GetTimeFormat(), 2);
    QCOMPARE(o.GetDateFormat(), 3);
    QVERIFY(!o.GetLookInCB());
    QCOMPARE(o.GetNTPServer(), QString("time.example.org"));
    QCOMPARE(o.GetClusterPort(), 7300);
    // Nothing reaches the data folder before the log is closed.
    QCOMPARE(QDir(folder.data()).entryList(QDir::Files), QStringList());
}

void TestSettingsDialog::editModePassword_data()
{
    QTest::addColumn<QString>("stored");
    QTest::addColumn<QString>("typed"); // null: field left untouched
    QTest::addColumn<QString>("shown");
    QTest::addColumn<QString>("expected");
    QTest::newRow("untouched keeps") << "secret" << QString() << "*********" << "secret";
    QTest::newRow("emptied clears") << "secret" << "" << "*********" << "";
    QTest::newRow("new password") << "secret" << "other" << "*********" << "other";
    QTest::newRow("none stored") << "" << QString() << "" << "";
}

void TestSettingsDialog::editModePassword()
{
    QFETCH(QString, stored);
    QFETCH(QString, typed);
    QFETCH(QString, shown);
    QFETCH(QString, expected);
    ProgramFolder folder({"OK1ABC"});
    TdmLog dm(folder.path());
    ScriptedMessages messages;
    dm.UserOptions.SetCall("OK1ABC");
    dm.UserOptions.SetLocator("JN79AB");
    dm.UserOptions.SetClusterPassword(stored);
    TfrmOptions dialog(dm, true);
    dialog.show();
    auto *pwd = child<QLineEdit>(&dialog, "edtWendraPwd");
    QCOMPARE(pwd->text(), shown);
    if (!typed.isNull()) {
        pwd->clear();
        QTest::keyClicks(pwd, typed);
    }
    click(&dialog, "btnOk");
    QCOMPARE(dialog.result(), int(mrOk));
    QCOMPARE(dm.UserOptions.GetClusterPassword(), expected);
}

void TestSettingsDialog::centredOnItsOwner_data()
{
    QTest::addColumn<bool>("maximised");
    QTest::newRow("normal owner") << false;
    QTest::newRow("maximised owner") << true;
}

// The dialog and its pick dialog appear centred on the window that owns them, also on
// an owner that opens maximised and is still being mapped.
void TestSettingsDialog::centredOnItsOwner()
{
    QFETCH(bool, maximised);
    ProgramFolder folder({"OK2XYZ"});
    TdmLog dm(folder.path());
    QWidget owner;
    owner.setGeometry(100, 80, 900, 600);
    if (maximised)
        owner.showMaximized();
    else
        owner.show();
    const QPoint expected =
        maximised ? owner.screen()->availableGeometry().center() : owner.frameGeometry().center();
    TfrmOptions dialog(dm, false, &owner);
    ModalScript modals;
    QPoint pickCentre;
    modals.drive("frmComboBox", [&](QDialog &pick) { pickCentre = pick.frameGeometry().center(); });
    dialog.show();
    QVERIFY((dialog.frameGeometry().center() - expected).manhattanLength() <= 2);
    click(&dialog, "btnModeAdd");
    QCOMPARE(modals.pending(), 0);
    // The pick dialog's owner is the settings dialog.
    QVERIFY((pickCentre - dialog.frameGeometry().center()).manhattanLength() <= 2);
}

QTEST_MAIN(TestSettingsDialog)
#include "tst_settingsdialog.moc"
