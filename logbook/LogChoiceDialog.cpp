#include "LogChoiceDialog.h"
#include "ui_LogChoiceDialog.h"

#include "base/DatabaseError.h"
#include "log/DmLog.h"
#include "settings/IniFile.h"
#include "settings/LogOptions.h"
#include "log/LogRegistry.h"
#include "base/Messages.h"
#include "base/MessageTexts.h"
#include "MinimizeProgram.h"
#include "ModalRunner.h"
#include "SettingsDialog.h"
#include "settings/UserOptions.h"
#include "WindowCommands.h"
#include "WindowPlacement.h"

#include <QAction>
#include <QHeaderView>
#include <QMenu>

TfrmProfile::TfrmProfile(TdmLog &dm, CloseLogFn closeLog, OpenLogFn openLog, QWidget *parent)
    : QDialog(parent), ui(std::make_unique<Ui::frmProfile>()), m_dm(dm), m_closeLog(std::move(closeLog)),
      m_openLog(std::move(openLog))
{
    ui->setupUi(this);
    setWindowFlags(Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowSystemMenuHint
                   | Qt::WindowMinimizeButtonHint | Qt::WindowCloseButtonHint
                   | Qt::MSWindowsFixedSizeDialogHint);
    ui->lViewUser->setColumnWidth(0, 130);
    ui->lViewUser->sortByColumn(0, Qt::AscendingOrder);
    // Always sorted by call sign; the title is no sort button.
    ui->lViewUser->header()->setSectionsClickable(false);
    ui->lViewUser->header()->setSortIndicatorShown(false);
    setupActions();
    FillUserList();
    ui->lViewUser->setFocus();
}

TfrmProfile::~TfrmProfile() = default;

void TfrmProfile::setupActions()
{
    // Enter on the numeric keypad selects as well.
    actSelect = MakeWindowAction(this, "actSelect", QStringLiteral("&Vybrat"),
                                 QStringLiteral("Načíst deník označeného uživatele"),
                                 {QKeySequence(Qt::Key_Return), QKeySequence(Qt::Key_Enter)});
    actNew = MakeWindowAction(this, "actNew", QStringLiteral("&Nový"), QStringLiteral("Vytvořit nového uživatele"),
                              {QKeySequence(Qt::Key_Insert)});
    actDelete = MakeWindowAction(this, "actDelete", QStringLiteral("&Smazat"),
                                 QStringLiteral("Smazat vybraného uživatele"), {QKeySequence(Qt::Key_Delete)});
    actClose = MakeWindowAction(this, "actClose", QStringLiteral("&Zpět"), QString(), {QKeySequence(Qt::Key_Escape)});
    actExit = MakeWindowAction(this, "actExit", QStringLiteral("Konec"), QStringLiteral("Ukončit program"));
    actHelp = MakeWindowAction(this, "actHelp", QStringLiteral("Nápověda"), QString(), {QKeySequence(Qt::Key_F1)});

    connect(actSelect, &QAction::triggered, this, &TfrmProfile::actSelectExecute);
    connect(actNew, &QAction::triggered, this, &TfrmProfile::actNewExecute);
    connect(actDelete, &QAction::triggered, this, &TfrmProfile::actDeleteExecute);
    connect(actClose, &QAction::triggered, this, &TfrmProfile::actCloseExecute);
    connect(actExit, &QAction::triggered, this, &TfrmProfile::actCloseExecute);
    connect(actHelp, &QAction::triggered, this, &TfrmProfile::actHelpExecute);

    auto bind = [](QPushButton *button, QAction *action, const QString &hint) {
        auto sync = [button, action] {
            button->setText(action->text());
            button->setEnabled(action->isEnabled());
        };
        sync();
        button->setToolTip(hint);
        connect(action, &QAction::changed, button, sync);
        connect(button, &QPushButton::clicked, action, &QAction::trigger);
    };
    bind(ui->btnSelect, actSelect, QStringLiteral("Načíst deník vybraného uživatele"));
    bind(ui->btnNew, actNew, actNew->toolTip());
    bind(ui->btnDelete, actDelete, actDelete->toolTip());
    bindCancel(actClose, QStringLiteral("Zpět do hlavního okna"));

    pmProfile = new QMenu(this);
    pmProfile->setObjectName(QStringLiteral("pmProfile"));
    pmProfile->addAction(actSelect);
    pmProfile->addAction(actNew);
    pmProfile->addSeparator();
    pmProfile->addAction(actDelete);
    connect(ui->lViewUser, &QWidget::customContextMenuRequested, this,
            [this](const QPoint &pos) { pmProfile->popup(ui->lViewUser->viewport()->mapToGlobal(pos)); });
    connect(ui->lViewUser, &QTreeWidget::itemDoubleClicked, this, [this] { actSelect->trigger(); });
    connect(ui->lViewUser, &QTreeWidget::itemSelectionChanged, this, &TfrmProfile::actUserDepUpdate);
}

// The bottom button takes the caption and hint of the action it is bound to.
void TfrmProfile::bindCancel(QAction *action, const QString &hint)
{
    disconnect(m_cancelClick);
    disconnect(m_cancelSync);
    ui->btnCancel->setText(action->text());
    ui->btnCancel->setToolTip(hint);
    m_cancelClick = connect(ui->btnCancel, &QPushButton::clicked, action, &QAction::trigger);
    m_cancelSync = connect(action, &QAction::changed, ui->btnCancel,
                           [this, action] { ui->btnCancel->setText(action->text()); });
}

void TfrmProfile::BindCancelToExit()
{
    m_cancelIsExit = true;
    bindCancel(actExit, actExit->toolTip());
}

void TfrmProfile::FillUserList()
{
    QTreeWidget *list = ui->lViewUser;
    list->clear();
    for (int slot = 0; slot < TLogOptions::UserCount; ++slot) {
        const QString call = m_dm.LogOptions.GetUser(slot);
        if (!call.isEmpty())
            new QTreeWidgetItem(list, {call});
    }
    list->sortItems(0, Qt::AscendingOrder);
    QTreeWidgetItem *selected = nullptr;
    const QString openCall = m_dm.UserOptions.Call;
    if (!openCall.isEmpty()) {
        for (int i = 0; i < list->topLevelItemCount() && !selected; ++i)
            if (list->topLevelItem(i)->text(0) == openCall)
                selected = list->topLevelItem(i);
    } else if (list->topLevelItemCount() > 0) {
        selected = list->topLevelItem(0);
    }
    if (selected) {
        list->setCurrentItem(selected);
        selected->setSelected(true);
    }
    actUserDepUpdate();
}

QString TfrmProfile::selectedCall() const
{
    const QList<QTreeWidgetItem *> items = ui->lViewUser->selectedItems();
    return items.isEmpty() ? QString() : items.first()->text(0);
}

void TfrmProfile::actUserDepUpdate()
{
    const bool any = !ui->lViewUser->selectedItems().isEmpty();
    actSelect->setEnabled(any);
    actDelete->setEnabled(any);
}

void TfrmProfile::actSelectExecute()
{
    if (ui->lViewUser->selectedItems().isEmpty())
        return;
    const QString call = selectedCall();
    // The log that is open already is not reopened.
    if (call != m_dm.UserOptions.Call) {
        if (m_closeLog)
            m_closeLog();
        if (m_openLog)
            m_openLog(call);
    }
    finish(mrOk);
}

void TfrmProfile::actNewExecute()
{
    if (ui->lViewUser->topLevelItemCount() > TLogOptions::UserCount - 1) {
        MessageDlgDef(MsgTooManyUsers, mtInformation, mbOK, mrOk);
        return;
    }
    {
        TfrmOptions options(m_dm, false, this);
        RunModal(options);
    }
    FillUserList();
}

void TfrmProfile::actDeleteExecute()
{
    const QString call = selectedCall();
    if (call.isEmpty())
        return;
    if (MessageDlgDef(QStringLiteral("Opravdu chcete smazat deník \"%1\"?\nVšechna spojení a nastavení budou "
                                     "vymazána!!!")
                          .arg(call),
                      mtConfirmation, mbYes | mbNo, mrNo)
        != mrYes)
        return;
    if (MessageDlgDef(QStringLiteral("Všechna SPOJENÍ BUDOU NENÁVRATNĚ SMAZÁNA!!! Opravdu chcete pokračovat?"),
                      mtWarning, mbYes | mbNo, mrNo)
        != mrYes)
        return;
    if (call == m_dm.UserOptions.Call) {
        if (m_closeLog)
            m_closeLog();
        BindCancelToExit();
    }

    TDeleteLogResult deleted;
    try {
        deleted = DeleteLog(m_dm.LogOptions, m_dm.DataDir, call);
    } catch (const EDatabaseError &e) {
        MessageDlgDef(e.message(), mtError, mbOK, mrOk);
        return;
    }
    FillUserList();

    // What could not be removed is reported, so that no one takes it for done.
    for (const QString &file : deleted.undeletedFiles)
        MessageDlgDef(QStringLiteral("Soubor \"%1\" nelze smazat!").arg(file), mtError, mbOK, mrOk);
    if (!deleted.saveError.isEmpty())
        MessageDlgDef(deleted.saveError, mtError, mbOK, mrOk);
}

void TfrmProfile::actCloseExecute()
{
    finish(mrCancel);
}

void TfrmProfile::actHelpExecute()
{
    ShowHelpTopic(m_dm.AppDir, objectName());
}

// Leaving the dialog without a log at program start ends the program: ask first.
bool TfrmProfile::FormCloseQuery(int result)
{
    if (!m_cancelIsExit || result == mrOk)
        return true;
    return MessageDlgDef(MsgConfirmProgramEnd, mtConfirmation, mbYes | mbNo, mrYes)
           == mrYes;
}

void TfrmProfile::finish(int result)
{
    if (FormCloseQuery(result))
        done(result);
}

void TfrmProfile::reject()
{
    actCloseExecute();
}

void TfrmProfile::changeEvent(QEvent *event)
{
    MinimizeProgramInstead(this, event, VisibleMainWindow());
    QDialog::changeEvent(event);
}

void TfrmProfile::showEvent(QShowEvent *event)
{
    QDialog::showEvent(event);
    CentreOnOwner(this, parentWidget());
}
