// The main window itself: layout, grid columns and fonts, the current QSO's strip, the
// status bar, keys and mouse of the grid, the column pop-up and closing.

#include "MainWindow.h"

#include "ColumnFit.h"
#include "log/DmLog.h"
#include "system/LocalEndpoint.h"
#include "LogGrid.h"
#include "LogGridDelegate.h"
#include "LogTableModel.h"
#include "base/Messages.h"
#include "base/MessageTexts.h"
#include "VkrConsts.h"

#include <QAbstractButton>
#include <QAction>
#include <QCloseEvent>
#include <QCoreApplication>
#include <QDialog>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLabel>
#include <QMenu>
#include <QMouseEvent>
#include <QStatusBar>
#include <QStatusTipEvent>
#include <QThread>
#include <QVBoxLayout>

#include <algorithm>

quint16 TfrmVelkor::NtpPort = TfrmVelkor::DefaultNtpPort;
int TfrmVelkor::NtpTimeout = TfrmVelkor::NtpTimeoutMs;

namespace {

// The fields of the strip under the tool bar, with their captions.
struct QSOPanelField {
    const char *caption;
    int field;
};
const QSOPanelField QSOPanelFields[] = {
    {"Vlastní LOC:", fiLOCO}, {"DXCC:", fiDXCC}, {"IOTA:", fiIOTA}, {"QSL via:", fiQSLVIA}, {"Poznámka:", fiNOTE}};

// The window's fonts are those of Windows; where they are not installed, narrow free
// fonts of similar size stand in, so that the stored column widths still fit the texts.
QFont pixelFont(const QString &family, int pixelSize, bool bold = false)
{
    QFont font(family);
    font.setFamilies({family, QStringLiteral("Liberation Sans"), QStringLiteral("Arimo"),
                      QStringLiteral("DejaVu Sans Condensed")});
    font.setPixelSize(pixelSize);
    font.setBold(bold);
    return font;
}

} // namespace

TfrmVelkor::TfrmVelkor(TdmLog &dm, QWidget *parent) : QMainWindow(parent), m_dm(dm)
{
    FormCreate();
}

TfrmVelkor::~TfrmVelkor()
{
    // The model and the grid go before the query they look at.
    delete dbgLog;
    delete m_model;
}

void TfrmVelkor::FormCreate()
{
    setObjectName(QStringLiteral("frmVelkor"));
    setWindowTitle(QStringLiteral("Velkor"));
    setFont(pixelFont(QStringLiteral("Tahoma"), 11));
    resize(800, 500);
    setMinimumSize(700, 480);

    qLog = new LogQuery(this);
    qLog->setObjectName(QStringLiteral("qLog"));
    qLog->SetConnectionName(TdmLog::DatabaseName);
    m_model = new LogTableModel(qLog, this);
    connect(qLog, &LogQuery::afterOpen, this, &TfrmVelkor::qLogAfterOpen);
    connect(qLog, &LogQuery::afterScroll, this, &TfrmVelkor::qLogAfterScroll);
    // A damaged part of the log shows as empty rows and is reported once.
    connect(qLog, &LogQuery::readFailed, this,
            [](const QString &message) { MessageDlgDef(message, mtError, mbOK, mrOk); });
    connect(m_model, &LogTableModel::currentRowChanged, this, [this](int row) {
        SyncGridToQuery(row);
        UpdateQSOPanel();
    });
    connect(m_model, &LogTableModel::marksChanged, this, &TfrmVelkor::UpdateMarksPanel);

    createActions();
    createMenus();
    createToolBar();

    auto *central = new QWidget(this);
    auto *layout = new QVBoxLayout(central);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    createQSOPanel();
    createGrid();
    layout->addWidget(pnlQSO);
    layout->addWidget(dbgLog, 1);
    setCentralWidget(central);
    createStatusBar();
    ClearColumns();
    qLogAfterScroll();
}

void TfrmVelkor::createGrid()
{
    dbgLog = new TLogGrid(this);
    dbgLog->setObjectName(QStringLiteral("dbgLog"));
    dbgLog->setModel(m_model);
    dbgLog->setEditTriggers(QAbstractItemView::NoEditTriggers);
    // The model colours the current row and the marks; the view selects nothing itself.
    dbgLog->setSelectionMode(QAbstractItemView::NoSelection);
    dbgLog->setSelectionBehavior(QAbstractItemView::SelectRows);
    dbgLog->setWordWrap(false);
    dbgLog->setTabKeyNavigation(false);
    dbgLog->setFont(pixelFont(QStringLiteral("Tahoma"), 13));
    dbgLog->setItemDelegate(new TLogGridDelegate(dbgLog));

    QHeaderView *titles = dbgLog->horizontalHeader();
    titles->setFont(pixelFont(QStringLiteral("Tahoma"), 11));
    titles->setSectionsMovable(true);
    titles->setSectionsClickable(true);
    titles->setHighlightSections(false);
    titles->setStretchLastSection(false);
    titles->setMinimumSectionSize(8);
    titles->setSectionResizeMode(QHeaderView::Interactive);
    titles->viewport()->installEventFilter(this);
    connect(titles, &QHeaderView::sectionClicked, this, &TfrmVelkor::dbgLogTitleClick);

    QHeaderView *indicator = dbgLog->verticalHeader();
    indicator->setSectionResizeMode(QHeaderView::Fixed);
    indicator->setFont(pixelFont(QStringLiteral("Tahoma"), 9));
    indicator->setFixedWidth(12);
    indicator->setDefaultAlignment(Qt::AlignCenter);
    ApplyGridFont();

    m_corner = dbgLog->findChild<QAbstractButton *>();
    if (m_corner)
        m_corner->installEventFilter(this);
    dbgLog->installEventFilter(this);
    dbgLog->viewport()->installEventFilter(this);
    connect(dbgLog, &QAbstractItemView::doubleClicked, this, [this] {
        if (actShowQSO->isEnabled())
            actShowQSO->trigger();
    });
    connect(dbgLog->selectionModel(), &QItemSelectionModel::currentRowChanged, this,
            [this](const QModelIndex &current) { GridCurrentChanged(current.isValid() ? current.row() : -1); });
}

void TfrmVelkor::createQSOPanel()
{
    pnlQSO = new QWidget(this);
    pnlQSO->setObjectName(QStringLiteral("pnlQSO"));
    auto *layout = new QHBoxLayout(pnlQSO);
    layout->setContentsMargins(6, 3, 6, 3);
    layout->setSpacing(4);
    const QFont valueFont = pixelFont(QStringLiteral("Arial"), 12, true);
    QPalette maroon = pnlQSO->palette();
    maroon.setColor(QPalette::WindowText, QColor(128, 0, 0));
    for (const QSOPanelField &entry : QSOPanelFields) {
        auto *caption = new QLabel(QString::fromUtf8(entry.caption), pnlQSO);
        auto *value = new QLabel(pnlQSO);
        value->setObjectName(QStringLiteral("dbt") + LogFieldNames[entry.field]);
        value->setFont(valueFont);
        value->setPalette(maroon);
        value->setTextFormat(Qt::PlainText);
        value->setMinimumWidth(entry.field == fiNOTE ? 120 : 60);
        layout->addWidget(caption);
        layout->addWidget(value, entry.field == fiNOTE ? 1 : 0);
        layout->addSpacing(entry.field == fiNOTE ? 0 : 10);
        m_qsoValues.append(value);
    }
}

void TfrmVelkor::createStatusBar()
{
    stBarHlavni = statusBar();
    stBarHlavni->setObjectName(QStringLiteral("stBarHlavni"));
    stBarHlavni->setSizeGripEnabled(true);
    const int widths[] = {150, 100, 50};
    for (int panel = 0; panel < 3; ++panel) {
        auto *label = new QLabel(stBarHlavni);
        label->setObjectName(QStringLiteral("stPanel%1").arg(panel));
        label->setFrameShape(QFrame::StyledPanel);
        label->setFrameShadow(QFrame::Sunken);
        label->setMinimumWidth(widths[panel]);
        if (panel < 2)
            label->setFixedWidth(widths[panel]);
        stBarHlavni->addWidget(label, panel == 2 ? 1 : 0);
        m_statusPanels.append(label);
    }
    m_statusPanels[1]->setTextFormat(Qt::RichText);
}

bool TfrmVelkor::FilterOn() const
{
    return actFilter->isChecked();
}

void TfrmVelkor::Terminate()
{
    m_terminated = true;
    // Only a running loop can be ended; without one the start sees Terminated().
    if (QThread::currentThread()->loopLevel() > 0)
        QCoreApplication::exit(0);
}

QString TfrmVelkor::StatusPanelText(int panel) const
{
    if (panel == 1)
        return m_marksPanelText;
    return panel >= 0 && panel < m_statusPanels.size() ? m_statusPanels[panel]->text() : QString();
}

QStringList TfrmVelkor::QSOPanelTexts() const
{
    QStringList texts;
    for (const QLabel *value : m_qsoValues)
        texts << value->text();
    return texts;
}

// --- columns ---

void TfrmVelkor::LoadColumns()
{
    QHeaderView *titles = dbgLog->horizontalHeader();
    const TUserOptions &uo = m_dm.UserOptions;
    // Back to field order first, so that the stored positions apply as on a new grid.
    for (int column = 0; column < LogTableModel::ColumnCount; ++column)
        titles->moveSection(titles->visualIndex(column), column);
    for (int field = fiDAT; field < LogFieldCount; ++field) {
        const QString &name = LogFieldNames[field];
        const int column = LogTableModel::columnOfField(field);
        m_model->SetColumnCaption(field, uo.GetColumnCaption(name));
        m_model->SetColumnCaptionAlignment(field, uo.GetColumnCaptionAlignment(name));
        m_model->SetColumnAlignment(field, uo.GetColumnAlignment(name));
        titles->setSectionHidden(column, false);
        titles->resizeSection(column, uo.GetColumnWidth(name));
        titles->setSectionHidden(column, !uo.GetColumnVisible(name));
    }
    for (int field = fiDAT; field < LogFieldCount; ++field)
        SetColumnPosition(field, uo.GetColumnIndex(LogFieldNames[field], LogTableModel::ColumnCount - 1));
    m_columnsLoaded = true;
}

void TfrmVelkor::SetColumnPosition(int field, int position)
{
    QHeaderView *titles = dbgLog->horizontalHeader();
    const int target = std::clamp(position, 0, LogTableModel::ColumnCount - 1);
    titles->moveSection(titles->visualIndex(LogTableModel::columnOfField(field)), target);
}

// Positions of every column and widths of the visible ones go to the operator settings;
// hidden columns keep their stored width.
void TfrmVelkor::StoreColumns()
{
    if (!m_columnsLoaded)
        return;
    QHeaderView *titles = dbgLog->horizontalHeader();
    TUserOptions &uo = m_dm.UserOptions;
    for (int field = fiDAT; field < LogFieldCount; ++field) {
        const int column = LogTableModel::columnOfField(field);
        uo.SetColumnIndex(LogFieldNames[field], titles->visualIndex(column));
        if (!titles->isSectionHidden(column))
            uo.SetColumnWidth(LogFieldNames[field], titles->sectionSize(column));
    }
}

// Without a log the grid shows no columns at all.
void TfrmVelkor::ClearColumns()
{
    QHeaderView *titles = dbgLog->horizontalHeader();
    for (int column = 0; column < LogTableModel::ColumnCount; ++column)
        titles->setSectionHidden(column, true);
    m_columnsLoaded = false;
}

void TfrmVelkor::ApplyGridFont()
{
    const bool trueType = m_dm.UserOptions.Call.isEmpty() || m_dm.UserOptions.GetExtendedFont();
    const QFont font = pixelFont(trueType ? QStringLiteral("Tahoma") : QStringLiteral("MS Sans Serif"), 13);
    dbgLog->setFont(font);
    dbgLog->verticalHeader()->setDefaultSectionSize(QFontMetrics(font).height() + 4);
    if (m_columnsLoaded)
        widenShapedColumns();
}

// The stored widths were made for one font; in the font the grid has now, the columns of
// locators and IOTA references are still as wide as the widest such value. Hidden columns
// get the width they will be shown with.
void TfrmVelkor::widenShapedColumns()
{
    QHeaderView *titles = dbgLog->horizontalHeader();
    const QFontMetrics metrics(dbgLog->font());
    const QString locator = WidestLocator(metrics);
    const std::pair<int, QString> shaped[] = {{fiLOCO, locator}, {fiLOCP, locator}, {fiIOTA, WidestIota(metrics)}};
    for (const auto &[field, widest] : shaped) {
        const int column = LogTableModel::columnOfField(field);
        const bool hidden = titles->isSectionHidden(column);
        titles->setSectionHidden(column, false);
        titles->resizeSection(column, std::max(titles->sectionSize(column), ColumnWidthFor(*dbgLog, widest)));
        titles->setSectionHidden(column, hidden);
    }
}

void TfrmVelkor::ApplyDisplayFormats()
{
    const TUserOptions &uo = m_dm.UserOptions;
    qLog->SetDisplayFormat(fiDAT, DateFormats[std::clamp(uo.GetDateFormat(), 0, int(DateFormats.size()) - 1)]);
    qLog->SetDisplayFormat(fiUTC, TimeFormats[std::clamp(uo.GetTimeFormat(), 0, int(TimeFormats.size()) - 1)]);
    qLog->SetDisplayFormat(fiFREQ, FreqFormats[std::clamp(uo.GetFreqFormat(), 0, int(FreqFormats.size()) - 1)]);
    qLog->SetDisplayFormat(fiQRB, QStringLiteral("0"));
    m_model->TextsChanged();
}

void TfrmVelkor::ColourTitles()
{
    m_model->SetSortField(FSortField);
}

// --- query events ---

void TfrmVelkor::qLogAfterOpen()
{
    ApplyDisplayFormats();
    UpdateRecordActions(!qLog->IsEmpty());
}

void TfrmVelkor::qLogAfterScroll()
{
    if (qLog->ControlsDisabled())
        return;
    const int recNo = qLog->RecNo();
    const int count = qLog->RecordCount();
    applyEnabled(actFirstQSO, count > 0 && recNo != 1);
    applyEnabled(actLastQSO, recNo != count);
    m_statusPanels[0]->setText(QStringLiteral(" Záznam: %1 z %2").arg(recNo, 5).arg(count, 5));
    UpdateMarksPanel();
    // Painted from the event loop with the grid: a repaint here would paint the whole
    // window inside the command that moved the record.
    stBarHlavni->update();
}

void TfrmVelkor::UpdateMarksPanel()
{
    m_marksPanelText = QStringLiteral("Vybráno:") + QString::number(m_model->MarkCount());
    // Painted only while a log is open: the word in black, the count in green.
    m_statusPanels[1]->setText(qLog->Active() ? QStringLiteral("&nbsp;Vybráno:&nbsp;&nbsp;<span style=\"color:#008000\">%1</span>")
                                                    .arg(m_model->MarkCount())
                                              : QString());
}

void TfrmVelkor::UpdateQSOPanel()
{
    const int row = m_model->CurrentRow();
    for (int i = 0; i < m_qsoValues.size(); ++i)
        m_qsoValues[i]->setText(row >= 0 ? m_model->CellText(row, QSOPanelFields[i].field) : QString());
}

// The grid's current row follows the query ...
void TfrmVelkor::SyncGridToQuery(int row)
{
    if (row < 0)
        return;
    const QModelIndex current = dbgLog->currentIndex();
    const int column = current.isValid() ? current.column()
                                         : std::max(0, dbgLog->horizontalHeader()->logicalIndexAt(0));
    const QModelIndex target = m_model->index(row, column);
    m_syncingGrid = true;
    dbgLog->selectionModel()->setCurrentIndex(target, QItemSelectionModel::NoUpdate);
    m_syncingGrid = false;
    dbgLog->doItemsLayout(); // the view lays out a new result only later
    dbgLog->scrollTo(target);
}

// ... and a move in the grid moves the query.
void TfrmVelkor::GridCurrentChanged(int row)
{
    if (m_syncingGrid || row < 0 || !qLog->Active() || qLog->ControlsDisabled() || row == qLog->CurrentRow())
        return;
    qLog->SetRecNo(row + 1);
}

// --- keys and mouse ---

bool TfrmVelkor::eventFilter(QObject *watched, QEvent *event)
{
    if (watched == dbgLog && event->type() == QEvent::KeyPress)
        return dbgLogKeyDown(static_cast<QKeyEvent *>(event));
    if (event->type() == QEvent::MouseButtonRelease) {
        auto *mouse = static_cast<QMouseEvent *>(event);
        if (watched == dbgLog->viewport())
            return dbgLogMouseUp(mouse);
        QHeaderView *titles = dbgLog->horizontalHeader();
        if (watched == titles->viewport())
            return dbgLogTitleMouseUp(mouse, titles->logicalIndexAt(mouse->position().toPoint()));
        if (watched == m_corner)
            return dbgLogTitleMouseUp(mouse, -1);
    }
    return QMainWindow::eventFilter(watched, event);
}

// The three command keys run their command and still go on to the grid, as any other
// key does; the grid has no search by typed text.
bool TfrmVelkor::dbgLogKeyDown(QKeyEvent *event)
{
    const auto run = [](QAction *action) {
        if (action->isEnabled())
            action->trigger();
        return false;
    };
    const bool keypad = event->modifiers().testFlag(Qt::KeypadModifier);
    if (event->key() == Qt::Key_Plus && keypad)
        return run(actSelAllQSO);
    if (event->key() == Qt::Key_Minus && keypad)
        return run(actSelNoneQSO);
    if (event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter)
        return run(actShowQSO);
    return false;
}

// Shift with a left click toggles the mark of the clicked row (the press made it current);
// a right click on a row opens the QSO pop-up.
bool TfrmVelkor::dbgLogMouseUp(QMouseEvent *event)
{
    const Qt::KeyboardModifiers modifiers = event->modifiers();
    if (event->button() == Qt::LeftButton && modifiers == Qt::ShiftModifier) {
        if (qLog->Active() && !qLog->IsEmpty())
            m_model->ToggleMark(qLog->Bookmark());
        return false;
    }
    if (event->button() == Qt::RightButton && modifiers == Qt::NoModifier) {
        if (dbgLog->indexAt(event->position().toPoint()).isValid())
            pmMain->popup(event->globalPosition().toPoint());
        return true;
    }
    return false;
}

// A right click on the titles opens the column pop-up for the column under the cursor
// (-1: the indicator's corner, which names none).
bool TfrmVelkor::dbgLogTitleMouseUp(QMouseEvent *event, int column)
{
    if (event->button() != Qt::RightButton || event->modifiers() != Qt::NoModifier)
        return false;
    BuildColumnsMenu(column >= 0 ? LogTableModel::fieldOfColumn(column) : 0);
    pmColumns->popup(event->globalPosition().toPoint());
    return true;
}

void TfrmVelkor::dbgLogTitleClick(int logicalColumn)
{
    if (RefuseWhileMarked(MsgNoSortWhileMarked))
        return;
    SortLog(LogTableModel::fieldOfColumn(logicalColumn), false);
}

bool TfrmVelkor::RefuseWhileMarked(const QString &message)
{
    if (m_model->MarkCount() == 0)
        return false;
    MessageDlgDef(message, mtInformation, mbOK, mrOk);
    return true;
}

void TfrmVelkor::pmMainPopup()
{
    const bool marked = qLog->Active() && m_model->IsMarked(qLog->Bookmark());
    miSelQSO->setText(marked ? QStringLiteral("Odoznačit") : QStringLiteral("Označit"));
    miSelQSO->setStatusTip(marked ? QStringLiteral("Odoznačit aktuální spojení")
                                  : QStringLiteral("Označit aktuální spojení"));
}

void TfrmVelkor::BuildColumnsMenu(int fieldUnderCursor)
{
    pmColumns->clear();
    QAction *hide = pmColumns->addAction(QStringLiteral("Skrýt sloupec"));
    hide->setObjectName(QStringLiteral("miHideColumn"));
    hide->setEnabled(m_columnsLoaded && fieldUnderCursor > fiID && fieldUnderCursor < LogFieldCount);
    hide->setData(fieldUnderCursor);
    connect(hide, &QAction::triggered, this, [this, fieldUnderCursor] { ShowHideColumn(fieldUnderCursor); });
    pmColumns->addSeparator();
    if (!m_columnsLoaded)
        return;
    QHeaderView *titles = dbgLog->horizontalHeader();
    for (int position = 0; position < LogTableModel::ColumnCount; ++position) {
        const int column = titles->logicalIndex(position);
        const int field = LogTableModel::fieldOfColumn(column);
        QAction *item = pmColumns->addAction(m_model->ColumnCaption(field));
        item->setData(field);
        item->setCheckable(true);
        item->setChecked(!titles->isSectionHidden(column));
        connect(item, &QAction::triggered, this, [this, field] { ShowHideColumn(field); });
    }
}

void TfrmVelkor::ShowHideColumn(int field)
{
    if (!m_columnsLoaded || field <= fiID || field >= LogFieldCount)
        return;
    QHeaderView *titles = dbgLog->horizontalHeader();
    const int column = LogTableModel::columnOfField(field);
    const bool visible = titles->isSectionHidden(column);
    titles->setSectionHidden(column, !visible);
    m_dm.UserOptions.SetColumnVisible(LogFieldNames[field], visible);
}

// --- window events ---

bool TfrmVelkor::event(QEvent *event)
{
    // The hint of whatever the mouse is over goes to the status bar's last panel.
    if (event->type() == QEvent::StatusTip) {
        m_statusPanels[2]->setText(QStringLiteral(" ") + static_cast<QStatusTipEvent *>(event)->tip());
        return true;
    }
    // The state a minimised window returns to: maximised, full screen or normal.
    if (event->type() == QEvent::WindowStateChange && !isMinimized())
        m_shownState = windowState() & (Qt::WindowMaximized | Qt::WindowFullScreen);
    return QMainWindow::event(event);
}

void TfrmVelkor::BringToFront()
{
    if (isMinimized())
        setWindowState(m_shownState);
    show();
    raise();
    activateWindow();
}

void TfrmVelkor::FocusGrid()
{
    activateWindow();
    dbgLog->setFocus(Qt::ActiveWindowFocusReason);
}

void TfrmVelkor::closeEvent(QCloseEvent *event)
{
    if (MessageDlgDef(MsgConfirmProgramEnd, mtConfirmation, mbYes | mbNo, mrYes) == mrNo) {
        event->ignore();
        return;
    }
    CloseLog();
    event->accept();
    emit closed();
}

void TfrmVelkor::AttachEndpoint(TLocalEndpoint *endpoint)
{
    if (endpoint)
        connect(endpoint, &TLocalEndpoint::dxClusterWindowReceived, this, &TfrmVelkor::StoreDxClusterWindow);
}
