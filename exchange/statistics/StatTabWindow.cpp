#include "statistics/StatTabWindow.h"

#include "log/DmLog.h"
#include "ExchangeHost.h"
#include "FileDialogs.h"
#include "base/Messages.h"
#include "MinimizeProgram.h"
#include "ModalRunner.h"
#include "ProgressDialog.h"
#include "statistics/StatFilterDialog.h"
#include "statistics/StatGrid.h"
#include "base/VelkorError.h"

#include <QAction>
#include <QActionGroup>
#include <QEvent>
#include <QLabel>
#include <QMenuBar>
#include <QStatusBar>
#include <QToolBar>
#include <QVBoxLayout>

// What differs between the five statistics.
struct TfrmStatTab::TStatKind {
    int (TAwardStatistics::*build)(const TStatFilter &, int &, const TProgressEvent &);
    const char *caption, *header, *entities;
    int firstColumnWidth;
    bool locators;
};

namespace {

constexpr int LocatorLeftCol = 12; // the 6 m band's column

QString qs(const char *text)
{
    return QString::fromUtf8(text);
}

} // namespace

TfrmStatTab::TfrmStatTab(QSqlDatabase log, const QString &appDir, const QString &call, TfrmDialog *progress,
                         QWidget *owner)
    : QDialog(owner), m_statistics(std::move(log), appDir), m_call(call), m_progress(progress)
{
    setObjectName(QStringLiteral("frmStatTab"));
    setWindowTitle(QStringLiteral("Statistika"));
    setWindowFlags(Qt::Window | Qt::WindowTitleHint | Qt::WindowSystemMenuHint | Qt::WindowMinMaxButtonsHint
                   | Qt::WindowCloseButtonHint);
    setMinimumSize(640, 480);
    frmStatFilter = new TfrmStatFilter(this);
    dgdStat = new TStatGrid(m_statistics, this);
    createActions();
    createMenus();

    stBar = new QStatusBar(this);
    stBar->setObjectName(QStringLiteral("stBar"));
    stBar->setSizeGripEnabled(false);
    for (int width : {150, 150, 50}) {
        auto *panel = new QLabel(this);
        panel->setFixedWidth(width);
        stBar->addWidget(panel);
        m_panels << panel;
    }
    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    layout->setMenuBar(mnuMain);
    layout->addWidget(tlBar);
    layout->addWidget(dgdStat, 1);
    layout->addWidget(stBar);
    setWindowState(Qt::WindowMaximized);
}

TfrmStatTab::~TfrmStatTab() = default;

QAction *TfrmStatTab::newAction(const char *name, const QString &text, bool checkable)
{
    auto *action = new QAction(text, this);
    action->setObjectName(QLatin1String(name));
    action->setCheckable(checkable);
    addAction(action);
    return action;
}

void TfrmStatTab::createActions()
{
    actSaveAs = newAction("actSaveAs", QStringLiteral("&Uložit jako ..."));
    connect(actSaveAs, &QAction::triggered, this, &TfrmStatTab::actSaveAsExecute);
    actExit = newAction("actExit", QStringLiteral("&Konec"));
    connect(actExit, &QAction::triggered, this, [this] { done(mrCancel); });
    actStatDXCC = newAction("actStatDXCC", QStringLiteral("&DXCC"), true);
    actStatIOTA = newAction("actStatIOTA", QStringLiteral("&IOTA"), true);
    actStatITU = newAction("actStatITU", QStringLiteral("I&TU"), true);
    actStatWAZ = newAction("actStatWAZ", QStringLiteral("&WAZ"), true);
    actStatLOC = newAction("actStatLOC", QStringLiteral("&Lokátory"), true);
    m_statGroup = new QActionGroup(this);
    m_statGroup->setExclusionPolicy(QActionGroup::ExclusionPolicy::ExclusiveOptional);
    for (QAction *action : {actStatDXCC, actStatIOTA, actStatITU, actStatWAZ, actStatLOC}) {
        m_statGroup->addAction(action);
        // The action runs on every trigger; its checked state is set by the run itself.
        connect(action, &QAction::triggered, this, [this, action] { runStatistic(action); });
    }
    actFilter = newAction("actFilter", QStringLiteral("&Filtr"));
    actFilter->setEnabled(false);
    connect(actFilter, &QAction::triggered, this, &TfrmStatTab::actFilterExecute);
}

void TfrmStatTab::createMenus()
{
    mnuMain = new QMenuBar(this);
    QMenu *file = mnuMain->addMenu(QStringLiteral("&Soubor"));
    file->addAction(actSaveAs);
    file->addSeparator();
    file->addAction(actExit);
    QMenu *statistic = mnuMain->addMenu(QStringLiteral("S&tatistika"));
    statistic->addActions(m_statGroup->actions());
    mnuMain->addMenu(QStringLiteral("Nást&roje"))->addAction(actFilter);
    tlBar = new QToolBar(this);
    tlBar->setObjectName(QStringLiteral("tlBar"));
    tlBar->setToolButtonStyle(Qt::ToolButtonTextOnly);
    tlBar->addActions(m_statGroup->actions());
    tlBar->addSeparator();
    tlBar->addAction(actFilter);
}

bool TfrmStatTab::EditFilter()
{
    if (RunModal(*frmStatFilter) != mrOk)
        return false;
    try {
        FFilter = BuildStatFilter(frmStatFilter->Choice());
    } catch (const EVelkorError &e) {
        MessageDlgDef(e.message(), mtError, mbOK, mrOk);
        return false;
    }
    actFilter->setEnabled(true);
    return true;
}

void TfrmStatTab::runStatistic(QAction *action)
{
    static const TStatKind kinds[] = {
        {&TAwardStatistics::BuildDXCC, "DXCC", "Prefix-Země/Pásmo", "Zemí: QSL/celkem", 245, false},
        {&TAwardStatistics::BuildIOTA, "IOTA", "Kód-Název/Pásmo", "IOTA: QSL/celkem", 245, false},
        {&TAwardStatistics::BuildITU, "ITU", "Region/Pásmo", "Regionů: QSL/celkem", 130, false},
        {&TAwardStatistics::BuildWAZ, "WAZ", "Region/Pásmo", "Regionů: QSL/celkem", 130, false},
        {&TAwardStatistics::BuildLocators, "Lokátory", "Lokátor/Pásmo", "Čtverců: QSL/celkem", 130, true},
    };
    const TStatKind &kind = kinds[m_statGroup->actions().indexOf(action)];
    action->setChecked(false);
    if (FFilter.isEmpty() && !EditFilter())
        return;
    action->setChecked(true);
    setWindowTitle(QStringLiteral("Statistika - ") + qs(kind.caption));
    dgdStat->CaptionHeader = qs(kind.header);
    dgdStat->CaptionEntities = qs(kind.entities);
    dgdStat->CaptionQSOs = QStringLiteral("Spojení: QSL/celkem");
    int confirmed = 0;
    int rows = 0;
    if (!buildStatistic(kind, confirmed, rows)) {
        dgdStat->viewport()->update();
        return;
    }
    m_panels[0]->setText(u' ' + QStringLiteral("Celkem potvrzených: %1").arg(confirmed));
    m_panels[1]->setText(u' ' + QStringLiteral("Celkem: %1").arg(rows));
    dgdStat->SetRowCount(rows == 0 ? TStatGrid::FixedRows + 1 : rows + TStatGrid::FixedRows);
    dgdStat->SetFirstColumnWidth(kind.firstColumnWidth);
    dgdStat->SetTopRow(TStatGrid::FixedRows);
    dgdStat->SetLeftCol(kind.locators ? std::min(dgdStat->MaxLeftCol(), LocatorLeftCol) : 1);
    dgdStat->viewport()->update();
}

bool TfrmStatTab::buildStatistic(const TStatKind &kind, int &confirmed, int &rows)
{
    TfrmDialogCloser closer(m_progress);
    TProgressEvent progress;
    if (m_progress) {
        m_progress->ShowProgress(QStringLiteral("Generuji sestavu ..."), 0, 100);
        progress = m_progress->ProgressCallback();
    }
    try {
        confirmed = (m_statistics.*kind.build)(FFilter, rows, progress);
        return true;
    } catch (const EVelkorError &e) {
        MessageDlgDef(e.message(), mtError, mbOK, mrOk);
        return false;
    }
}

void TfrmStatTab::actFilterExecute()
{
    if (!EditFilter())
        return;
    if (QAction *checked = m_statGroup->checkedAction())
        runStatistic(checked);
}

void TfrmStatTab::actSaveAsExecute()
{
    const QString file = FileDialogs::getSaveFileName(this, QStringLiteral("Uložit jako"), m_call,
                                                      QStringLiteral("Text oddělený středníky (*.csv)"),
                                                      QStringLiteral("csv"));
    if (file.isEmpty())
        return;
    SaveToFile(file);
}

void TfrmStatTab::SaveToFile(const QString &fileName)
{
    try {
        m_statistics.SaveToFile(fileName, dgdStat->CaptionHeader, dgdStat->CaptionEntities, dgdStat->CaptionQSOs);
    } catch (const EVelkorError &e) {
        MessageDlgDef(e.message(), mtError, mbOK, mrOk);
    }
}

QString TfrmStatTab::StatusPanelText(int panel) const
{
    return m_panels.value(panel) ? m_panels[panel]->text() : QString();
}

void TfrmStatTab::changeEvent(QEvent *event)
{
    if (!MinimizeProgramInstead(this, event, VisibleMainWindow()))
        QDialog::changeEvent(event);
}

void ShowStatistics(const TExchangeHost &host)
{
    TfrmStatTab window(QSqlDatabase::database(TdmLog::DatabaseName, false), host.dm->AppDir,
                       host.dm->UserOptions.Call, host.progress, host.mainWindow);
    RunModal(window);
}
