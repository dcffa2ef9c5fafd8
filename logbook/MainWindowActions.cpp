// The main window's commands: every action with its caption, hint and shortcuts, the
// menus and the tool bar bound to them, the enabled rules, and the commands handled here.

#include "MainWindow.h"

#include "About.h"
#include "AppGlobals.h"
#include "log/DmLog.h"
#include "system/DxClusterLink.h"
#include "LogChoiceDialog.h"
#include "LogGrid.h"
#include "LogTableModel.h"
#include "MainToolBar.h"
#include "base/Messages.h"
#include "base/MessageTexts.h"
#include "ModalRunner.h"
#include "SettingsDialog.h"
#include "base/VelkorError.h"
#include "WindowCommands.h"

#include <QAction>
#include <QActionGroup>
#include <QApplication>
#include <QFileInfo>
#include <QMenu>
#include <QMenuBar>
#include <QStyle>
#include <QToolBar>
#include <QToolButton>

namespace {

// Shows what a command failed with, as the run-time's default handler would.
void reportFailure(const QString &message)
{
    MessageDlgDef(message, mtError, mbOK, mrOk);
}

} // namespace

QAction *TfrmVelkor::newAction(const char *name, const QString &text, const QString &hint,
                               const QList<QKeySequence> &shortcuts)
{
    auto *action = new QAction(text, this);
    action->setObjectName(QString::fromLatin1(name));
    action->setStatusTip(hint);
    action->setToolTip(hint.isEmpty() ? action->iconText() : hint);
    action->setShortcuts(shortcuts);
    addAction(action); // shortcuts work wherever the focus is in the window
    m_ruleAllows.insert(action, true);
    return action;
}

void TfrmVelkor::createActions()
{
    const auto key = [](QKeyCombination combination) { return QKeySequence(combination); };
    actNewQSO = newAction("actNewQSO", "&Nové", "Vyvolá dialog pro zadání nového spojení", {key(Qt::Key_F2)});
    actShowQSO = newAction("actShowQSO", "&Zobrazit", "Zobrazí všechny informace o spojení", {key(Qt::Key_F3)});
    actEditQSO = newAction("actEditQSO", "&Upravit", "Upravit údaje spojení",
                           {key(Qt::Key_F4), key(Qt::CTRL | Qt::Key_Return), key(Qt::CTRL | Qt::Key_Enter)});
    actDeleteQSO = newAction("actDeleteQSO", "&Smazat", "Smazat označená spojení", {key(Qt::SHIFT | Qt::Key_Delete)});

    actQSLoN = newAction("actQSLoN", "&QSLo - Neodeslaný", {});
    actQSLoY = newAction("actQSLoY", "Q&SLo - Odeslaný", {}, {key(Qt::CTRL | Qt::Key_F5), key(Qt::CTRL | Qt::Key_O)});
    actQSLoR = newAction("actQSLoR", "QS&Lo - Požadován", {}, {key(Qt::CTRL | Qt::Key_F6)});
    actQSLoI = newAction("actQSLoI", "QSL&o - Neplatný", {}, {key(Qt::CTRL | Qt::Key_F7)});
    actQSLpN = newAction("actQSLpN", "QSL&p - Nepřijatý", {});
    actQSLpY = newAction("actQSLpY", "QSLp - Př&ijatý", {},
                         {key(Qt::CTRL | Qt::Key_F8), key(Qt::CTRL | Qt::Key_P), key(Qt::CTRL | Qt::Key_B)});
    actEQSLN = newAction("actEQSLN", "&eQSL - Nepřijatý", {});
    actEQSLY = newAction("actEQSLY", "eQSL - Při&jatý", {}, {key(Qt::CTRL | Qt::Key_F10), key(Qt::CTRL | Qt::Key_I)});

    createSortActions();

    actFilter = newAction("actFilter", "&Filtr", "Umožní filtrovat deník", {key(Qt::CTRL | Qt::Key_L)});
    actFilter->setCheckable(true);
    actFindQSO = newAction("actFindQSO", "&Hledat", "Vyhledávání udajů v deníku",
                           {key(Qt::CTRL | Qt::Key_F), key(Qt::Key_F7)});
    actAziDis = newAction("actAziDis", "&Lokátory",
                          "Výpočet vzdálenosti a azimutu, lokátoru ze souřadnic, souřadnic z lokátoru",
                          {key(Qt::CTRL | Qt::Key_K)});
    actFindDXCC = newAction("actFindDXCC", "Hled&at DXCC", "Vyhledá zemi DXCC pro zadanou značku");
    actCallBook = newAction("actCallBook", "&Call book", "Zobrazí přehled OK stanic", {key(Qt::CTRL | Qt::Key_A)});
    actDXCCList = newAction("actDXCCList", "&Přehled DXCC", "Zobrazí přehled zemí DXCC", {key(Qt::CTRL | Qt::Key_D)});
    actIOTAList = newAction("actIOTAList", "Přehle&d IOTA", "Zobrazí přehled ostrovů IOTA", {key(Qt::CTRL | Qt::Key_T)});
    actStatTab = newAction("actStatTab", "&Statistika", {});
    actDxCluster = newAction("actDxCluster", "D&X Cluster", "Webový DX Cluster (vyžaduje připojení k internetu)");

    actSelectLog = newAction("actSelectLog", "&Změnit uživatele",
                             "Umožňuje přepínat, vytvářet a mazat profily uživatelů");
    actSelectLog->setIconText(QStringLiteral("LOG ..."));
    actOptions = newAction("actOptions", "&Nastavení deníku", "Přednastavení uživatele");

    actExportAdif = newAction("actExportAdif", "&ADIF", "Export do univerzálního formátu ADIF");
    actExportADIFshort = newAction("actExportADIFshort", "&eQSL (zkácený ADIF)",
                                   "Export do univerzálního formátu ADIF vhodný pro odesílání eQSL");
    actExportCSV = newAction("actExportCSV", "&CSV", "Export do formátu CSV (text oddělený středníky)");
    actExportTXT = newAction("actExportTXT", "&TXT", "Export do textového souboru");
    actExportXLS = newAction("actExportXLS", "&Odeslat do MS Excel",
                             "Vytvoří tabulku MS Excel (program musí být nainstalován)");
    actImportADIF = newAction("actImportADIF", "&ADIF", "Import z univerzálního formátu ADIF");
    actImportTrevan = newAction("actImportTrevan", "&Deník Trevan", "Import dat  z deníku Trevan");
    actImportOstrel = newAction("actImportOstrel", "&Ostrel v0.7.1",
                                "Import dat  z předchozí verze programu s názvem Ostrel verze 0.7.1");
    acBackUpLog = newAction("acBackUpLog", "&Záloha dat", "Zálohování všech údajů aktuálního uživatele");
    acRestoreLog = newAction("acRestoreLog", "&Obnova dat", "Obnova dat aktuálního uživatele");
    actPrintQSL = newAction("actPrintQSL", "&Tisk nálepek", "Tisk nálepek na QSL lístky");
    actPrintLog = newAction("actPrintLog", "T&isk deníku", "Tisk výpisu z deníku");

    actHelp = newAction("actHelp", "&Nápověda Ostrelu", "Zobrazí nápovědu k programu", {key(Qt::Key_F1)});
    actHelpHistory = newAction("actHelpHistory", "&Zobrazit historii verzí",
                               "Otevře textový soubor s historií verzí programu");
    actHelpAbout = newAction("actHelpAbout", "&O programu", "Informace o programu");
    actEnd = newAction("actEnd", "&Konec", "Konec programu");
    actFirstQSO = newAction("actFirstQSO", "První", "Skok na první spojení");
    actLastQSO = newAction("actLastQSO", "Poslední", "Skok na poslední spojení");
    actSelQSO = newAction("actSelQSO", "Vybrat", "Označí aktuální spojení", {key(Qt::Key_Insert)});
    actSelAllQSO = newAction("actSelAllQSO", "Vše    +", "Označí všechna spojení");
    actSelNoneQSO = newAction("actSelNoneQSO", "Nic     -", "Odoznačí všechna spojení");

    const QStyle *st = style();
    actNewQSO->setIcon(st->standardIcon(QStyle::SP_FileIcon));
    actShowQSO->setIcon(st->standardIcon(QStyle::SP_FileDialogContentsView));
    actEditQSO->setIcon(st->standardIcon(QStyle::SP_FileDialogDetailedView));
    actDeleteQSO->setIcon(st->standardIcon(QStyle::SP_TrashIcon));
    actFindQSO->setIcon(st->standardIcon(QStyle::SP_FileDialogInfoView));
    actFilter->setIcon(st->standardIcon(QStyle::SP_FileDialogListView));
    actSelQSO->setIcon(st->standardIcon(QStyle::SP_DialogApplyButton));
    actFirstQSO->setIcon(st->standardIcon(QStyle::SP_ArrowUp));
    actLastQSO->setIcon(st->standardIcon(QStyle::SP_ArrowDown));
    actSelectLog->setIcon(st->standardIcon(QStyle::SP_DirHomeIcon));
    actEnd->setIcon(st->standardIcon(QStyle::SP_DialogCloseButton));

    m_recordActions = {actShowQSO,  actEditQSO,   actDeleteQSO,  actFindQSO,         actStatTab,   actSelQSO,
                       actSelAllQSO, actSelNoneQSO, actQSLoN,     actQSLoY,           actQSLoR,     actQSLoI,
                       actQSLpN,    actQSLpY,     actEQSLN,      actEQSLY,           actPrintQSL,  actPrintLog,
                       actExportAdif, actExportADIFshort, actExportCSV, actExportTXT, actExportXLS};

    // Every command waits for its handler; the ones handled by this window get theirs below.
    for (QAction *action : actions()) {
        m_unavailable.insert(action);
        applyEnabled(action, true);
    }
    for (QAction *action : sortGroup->actions())
        SetCommandHandler(action, [this, action] { actSortExecute(action); });
    SetCommandHandler(actSelectLog, [this] { actSelectLogExecute(); });
    SetCommandHandler(actOptions, [this] { actOptionsExecute(); });
    SetCommandHandler(actFirstQSO, [this] { actFirstQSOExecute(); });
    SetCommandHandler(actLastQSO, [this] { actLastQSOExecute(); });
    SetCommandHandler(actEnd, [this] { close(); });
    SetCommandHandler(actHelpAbout, [this] { actHelpAboutExecute(); });
    SetCommandHandler(actHelp, [this] { ShowHelpTopic(m_dm.AppDir, QStringLiteral("BaseInfo")); });
    SetCommandHandler(actHelpHistory, [this] { ShowHelpTopic(m_dm.AppDir, QStringLiteral("History")); });
    SetCommandHandler(actDxCluster, [this] { m_dm.StartDxCluster(); });

    // The help counts as present when its first page is beside the program; the DX-cluster
    // command needs the client program there.
    const bool helpPresent = QFileInfo::exists(m_dm.AppDir + QStringLiteral("Help/BaseInfo.html"));
    applyEnabled(actHelp, helpPresent);
    applyEnabled(actHelpHistory, helpPresent);
    applyEnabled(actDxCluster, QFileInfo::exists(TDxClusterLink::ClientProgram(m_dm.AppDir)));
    UpdateRecordActions(false);
    applyEnabled(actFirstQSO, false);
    applyEnabled(actLastQSO, false);
}

void TfrmVelkor::createSortActions()
{
    sortGroup = new QActionGroup(this);
    sortGroup->setExclusive(true);
    const auto sort = [this](QAction *&member, const char *name, const QString &text, const QString &hint,
                             int field) {
        member = newAction(name, text, hint);
        member->setCheckable(true);
        member->setData(field);
        sortGroup->addAction(member);
        m_sortActions.insert(field, member);
    };
    sort(actSortByDateTime, "actSortByDateTime", "&Datum a čas", "Setřídí deník podle data a času", fiDAT);
    sort(actSortByCall, "actSortByCall", "&Značka", "Setřídí deník podle značky", fiCALL);
    sort(actSortByFreq, "actSortByFreq", "&Frekvence", "Setřídí deník podle frekvence", fiFREQ);
    sort(actSortByBand, "actSortByBand", "&Pásmo", "Setřídí deník podle pásma", fiBAND);
    sort(actSortByMode, "actSortByMode", "&Mód", "Setřídí deník podle módu", fiMODE);
    sort(actSortByName, "actSortByName", "&Jméno", "Setřídí deník podle jména", fiNAME);
    sort(actSortByQTH, "actSortByQTH", "&QTH", "Setřídí deník podle QTH", fiQTH);
    sort(actSortByLOCp, "actSortByLOCp", "&Lokátor", "Setřídí deník podle lokátoru protistanice", fiLOCP);
    sort(actSortByQSLo, "actSortByQSLo", "Q&SLo", "Setřídí deník podle QSL odeslaný", fiQSLO);
    sort(actSortByQSLp, "actSortByQSLp", "QSLp", "Setřídí deník podle QSL přijatý", fiQSLP);
    sort(actSortByQSLmgr, "actSortByQSLmgr", "QSL &via", "Setřídí deník podle QSL via", fiQSLVIA);
    sort(actSortByEQSL, "actSortByEQSL", "&eQSL", "Setřídí deník podle eQSL", fiEQSLP);
    sort(actSortByDxcc, "actSortByDxcc", "D&XCC", "Setřídí deník podle DXCC", fiDXCC);
    sort(actSortByIOTA, "actSortByIOTA", "&IOTA", "Setřídí deník podle IOTA", fiIOTA);
    sort(actSortByITU, "actSortByITU", "I&TU", "Setřídí deník podle ITU", fiITU);
    sort(actSortByWAZ, "actSortByWAZ", "&WAZ", "Setřídí deník podle WAZ", fiWAZ);
    sort(actSortByAward, "actSortByAward", "Diplom", "Setřídí deník podle kódu pro diplomy", fiAWARD);
    sort(actSortByLOCo, "actSortByLOCo", "Vl&astní lokátor", "Setřídí deník podle vlastního lokátoru", fiLOCO);
    sort(actSortByQRB, "actSortByQRB", "Q&RB", "Setřídí deník podle vzdálenosti", fiQRB);
    sort(actSortByPWR, "actSortByPWR", "PWR", "Setřídí deník podle výkonu", fiPWR);
    sort(actSortByNote, "actSortByNote", "P&oznámka", "Setřídí deník podle poznámky", fiNOTE);
}

void TfrmVelkor::createMenus()
{
    QMenuBar *bar = menuBar();
    bar->setObjectName(QStringLiteral("mnBarHlavni"));
    const auto menu = [bar](const char *name, const QString &title, const QList<QAction *> &items) {
        QMenu *m = bar->addMenu(title);
        m->setObjectName(QString::fromLatin1(name));
        for (QAction *item : items) {
            if (item)
                m->addAction(item);
            else
                m->addSeparator();
        }
        return m;
    };
    menu("mnSpojeni", "&Spojení", {actNewQSO, actShowQSO, actEditQSO, actDeleteQSO, nullptr, actEnd});
    menu("mnQSL", "&QSL",
         {actQSLoN, actQSLoY, actQSLoR, actQSLoI, nullptr, actQSLpN, actQSLpY, nullptr, actEQSLN, actEQSLY});
    menu("mnTridit", "&Třídit",
         {actSortByDateTime, actSortByCall, actSortByFreq, actSortByBand, actSortByMode, nullptr, actSortByName,
          actSortByQTH, actSortByLOCp, nullptr, actSortByQSLo, actSortByQSLp, actSortByQSLmgr, actSortByEQSL,
          nullptr, actSortByDxcc, actSortByIOTA, actSortByITU, actSortByWAZ, actSortByAward, nullptr,
          actSortByLOCo, actSortByQRB, actSortByPWR, actSortByNote});
    menu("mnNastroje", "&Nástroje",
         {actFilter, actFindQSO, nullptr, actAziDis, actFindDXCC, nullptr, actCallBook, actDXCCList, actIOTAList,
          nullptr, actStatTab, nullptr, actDxCluster});
    menu("mnNastaveni", "N&astavení", {actSelectLog, nullptr, actOptions});
    QMenu *data = menu("mnData", "&Data", {});
    QMenu *exports = data->addMenu(QStringLiteral("&Export"));
    exports->setObjectName(QStringLiteral("mnExport"));
    exports->addActions({actExportAdif, actExportADIFshort, actExportCSV, actExportTXT});
    exports->addSeparator();
    exports->addAction(actExportXLS);
    QMenu *imports = data->addMenu(QStringLiteral("&Import"));
    imports->setObjectName(QStringLiteral("mnImport"));
    imports->addActions({actImportADIF, actImportTrevan, actImportOstrel});
    data->addSeparator();
    data->addActions({acBackUpLog, acRestoreLog});
    menu("mnTisk", "T&isk", {actPrintQSL, actPrintLog});
    menu("mnNapoveda", "Ná&pověda", {actHelp, actHelpHistory, nullptr, actHelpAbout});

    pmMain = new QMenu(this);
    pmMain->setObjectName(QStringLiteral("pmMain"));
    miSelQSO = new QAction(actSelQSO->text(), pmMain);
    miSelQSO->setObjectName(QStringLiteral("miSelQSO"));
    miSelQSO->setEnabled(actSelQSO->isEnabled());
    connect(actSelQSO, &QAction::enabledChanged, miSelQSO, &QAction::setEnabled);
    connect(miSelQSO, &QAction::triggered, actSelQSO, &QAction::trigger);
    pmMain->addActions({actShowQSO, actEditQSO, actDeleteQSO});
    pmMain->addSeparator();
    pmMain->addAction(miSelQSO);
    connect(pmMain, &QMenu::aboutToShow, this, &TfrmVelkor::pmMainPopup);

    pmColumns = new QMenu(this);
    pmColumns->setObjectName(QStringLiteral("pmColumns"));
    pmSelectQSO = new QMenu(this);
    pmSelectQSO->setObjectName(QStringLiteral("pmSelectQSO"));
    pmSelectQSO->addActions({actSelAllQSO, actSelNoneQSO});
}

void TfrmVelkor::createToolBar()
{
    tlBar = new TMainToolBar(QStringLiteral("tlBar"), this);
    addToolBar(tlBar);
    tlBar->setObjectName(QStringLiteral("tlBar"));
    tlBar->setMovable(false);
    tlBar->setFloatable(false);
    tlBar->setToolButtonStyle(Qt::ToolButtonTextUnderIcon);
    tlBar->setIconSize(QSize(20, 20));
    const auto button = [this](QAction *action, const char *name) {
        tlBar->addAction(action);
        QWidget *widget = tlBar->widgetForAction(action);
        widget->setObjectName(QString::fromLatin1(name));
        widget->setMinimumSize(46, 36);
        return qobject_cast<QToolButton *>(widget);
    };
    button(actNewQSO, "tlBtnNewQSO");
    button(actShowQSO, "tlBtnShowQSO");
    button(actEditQSO, "tlBtnEditQSO");
    button(actDeleteQSO, "tlBtnDeleteQSO");
    tlBar->addSeparator();
    button(actFindQSO, "tlBtnFindQSO");
    button(actFilter, "tlBtnFiltr");
    tlBar->addSeparator();
    QToolButton *sel = button(actSelQSO, "tlBtnSelQSO");
    sel->setMenu(pmSelectQSO);
    sel->setPopupMode(QToolButton::MenuButtonPopup);
    tlBar->addSeparator();
    button(actFirstQSO, "tlBtnFirstQSO");
    button(actLastQSO, "tlBtnLastQSO");
    tlBar->addSeparator();
    button(actSelectLog, "tlBtnSelectLog");
    tlBar->addSeparator();
    button(actEnd, "tlBtnExit");
}

void TfrmVelkor::SetCommandHandler(QAction *action, std::function<void()> handler)
{
    // Failures that a command does not catch itself are shown, as the run-time's default
    // handler shows them, and never leave the event loop.
    connect(action, &QAction::triggered, this, [handler = std::move(handler)] {
        try {
            handler();
        } catch (const EVelkorError &e) {
            reportFailure(e.message());
        } catch (const std::exception &e) {
            reportFailure(QString::fromUtf8(e.what()));
        }
    });
    m_unavailable.remove(action);
    applyEnabled(action, m_ruleAllows.value(action, true));
}

void TfrmVelkor::applyEnabled(QAction *action, bool ruleAllows)
{
    m_ruleAllows.insert(action, ruleAllows);
    action->setEnabled(ruleAllows && !m_unavailable.contains(action));
}

void TfrmVelkor::UpdateRecordActions(bool hasRecords)
{
    for (QAction *action : std::as_const(m_recordActions))
        applyEnabled(action, hasRecords);
}

QAction *TfrmVelkor::SortAction(int fieldIndex) const
{
    return m_sortActions.value(fieldIndex == fiUTC ? fiDAT : fieldIndex, nullptr);
}

void TfrmVelkor::actSortExecute(QAction *action)
{
    if (!RefuseWhileMarked(MsgNoSortWhileMarked))
        SortLog(action->data().toInt(), false);
    // Only SortLog moves the check mark: a refused or ignored request puts it back.
    if (QAction *current = SortAction(FSortField))
        current->setChecked(true);
}

void TfrmVelkor::actSelectLogExecute()
{
    TfrmProfile profile(
        m_dm, [this] { CloseLog(); }, [this](const QString &logName) { OpenLog(logName); }, this);
    RunModal(profile);
    if (m_dm.UserOptions.Call.isEmpty())
        Terminate();
    else
        FocusGrid();
}

void TfrmVelkor::actOptionsExecute()
{
    TfrmOptions options(m_dm, true, this);
    if (RunModal(options) == mrOk) {
        ApplyGridFont();
        ApplyDisplayFormats();
    }
}

void TfrmVelkor::actFirstQSOExecute()
{
    qLog->First();
}

void TfrmVelkor::actLastQSOExecute()
{
    qLog->Last();
}

void TfrmVelkor::actHelpAboutExecute()
{
    TfrmAbout about(this);
    about.SetDefaultInfo();
    about.ShowAbout(true, true);
}
