#include "import/ImportWindow.h"

#include "import/AdifImport.h"
#include "radio/Amater.h"
#include "log/BulkEdit.h"
#include "log/DmLog.h"
#include "EditSelQSOsDialog.h"
#include "ExchangeHost.h"
#include "import/ImportDupeIndex.h"
#include "import/ImportEditDialog.h"
#include "import/ImportStaging.h"
#include "import/ImportTableModel.h"
#include "log/LogQuery.h"
#include "base/Messages.h"
#include "MinimizeProgram.h"
#include "ModalRunner.h"
#include "ProgressDialog.h"
#include "base/VelkorError.h"
#include "ColumnFit.h"

#include <QAction>
#include <QFontMetrics>
#include <QGuiApplication>
#include <QHash>
#include <QHeaderView>
#include <QKeyEvent>
#include <QListWidget>
#include <QScreen>
#include <QSplitter>
#include <QTableView>
#include <QToolBar>
#include <QVBoxLayout>

namespace
{

const QString ImportText = QStringLiteral("Importuji z formátu ADIF ...");

// Runs the grid's bound views off while records are rewritten, and on again afterwards.
class TControlsOff
{
public:
    explicit TControlsOff(LogQuery *query) : m_query(query) { m_query->DisableControls(); }
    ~TControlsOff() { m_query->EnableControls(); }

private:
    LogQuery *m_query;
};

// A command's failure is shown to the operator and never leaves the event loop.
template <typename F> auto guarded(F command)
{
    return [command](auto &&...) {
        try {
            command();
        } catch (const EVelkorError &e) {
            MessageDlgDef(e.message(), mtError, mbOK, mrOk);
        }
    };
}

} // namespace

TfrmImport::TfrmImport(const TExchangeHost &host)
    : QDialog(nullptr, Qt::Window | Qt::WindowTitleHint | Qt::WindowSystemMenuHint |
                           Qt::WindowMinMaxButtonsHint | Qt::WindowCloseButtonHint),
      m_host(host), m_staging(std::make_unique<TImportStaging>(host.dm->TempDir)),
      m_logConnection(TdmLog::DatabaseName)
{
    setObjectName(QStringLiteral("frmImport"));
    setWindowTitle(QStringLiteral("Import"));
    m_query = new LogQuery(this);
    m_query->SetConnectionName(m_staging->ConnectionName());
    m_query->SetOrderBy({QStringLiteral("ID")});
    m_model = new TImportTableModel(m_query, this);
    createActions();
    buildLayout();
    FormCreate();
}

TfrmImport::~TfrmImport()
{
    m_query->Close();
}

void TfrmImport::createActions()
{
    const auto make = [this](QAction *&action, const char *name, const QString &caption, const QString &hint,
                             QList<QKeySequence> keys) {
        action = new QAction(caption, this);
        action->setObjectName(QLatin1String(name));
        action->setToolTip(hint.isEmpty() ? caption : hint);
        action->setStatusTip(hint);
        action->setShortcuts(keys);
        addAction(action);
    };
    make(actEdit, "actEdit", QStringLiteral("Upravit"), QStringLiteral("Upravit spojení"), {Qt::Key_F4});
    make(actDelete, "actDelete", QStringLiteral("Smazat"), QStringLiteral("Smazat spojení"),
         {QKeySequence(Qt::SHIFT | Qt::Key_Delete)});
    make(actImport, "actImport", QStringLiteral("Importovat"), QStringLiteral("Dokončit import"), {});
    make(actCancel, "actCancel", QStringLiteral("Zrušit"), QStringLiteral("Zrušit import"), {});
    make(actSelect, "actSelect", QStringLiteral("Označit"), QString(), {Qt::Key_Insert});
    make(actSelectAll, "actSelectAll", QStringLiteral("Označit vše"), QString(), {});
    make(actSelectNone, "actSelectNone", QStringLiteral("Odozačit"), QString(), {});
    make(actHelp, "actHelp", QStringLiteral("Nápověda"), QString(), {Qt::Key_F1});
    connect(actEdit, &QAction::triggered, this, guarded([this] { actEditExecute(); }));
    connect(actDelete, &QAction::triggered, this, guarded([this] { actDeleteExecute(); }));
    connect(actImport, &QAction::triggered, this, guarded([this] { actImportExecute(); }));
    connect(actCancel, &QAction::triggered, this, [this] { done(mrCancel); });
    connect(actSelect, &QAction::triggered, this, guarded([this] { actSelectExecute(); }));
    connect(actSelectAll, &QAction::triggered, this, guarded([this] { actSelectAllExecute(); }));
    connect(actSelectNone, &QAction::triggered, this, guarded([this] { actSelectNoneExecute(); }));
    connect(actHelp, &QAction::triggered, this, [this] {
        if (m_host.showHelp)
            m_host.showHelp(QStringLiteral("frmImport"));
    });
}

void TfrmImport::buildLayout()
{
    tbMain = new QToolBar(this);
    tbMain->setObjectName(QStringLiteral("tbMain"));
    tbMain->setToolButtonStyle(Qt::ToolButtonTextOnly);
    tbMain->addAction(actEdit);
    tbMain->addAction(actDelete);
    tbMain->addSeparator();
    tbMain->addAction(actImport);
    tbMain->addAction(actCancel);

    dbGrid = new QTableView;
    dbGrid->setObjectName(QStringLiteral("dbGrid"));
    dbGrid->setModel(m_model);
    dbGrid->setSelectionMode(QAbstractItemView::NoSelection);
    dbGrid->setEditTriggers(QAbstractItemView::NoEditTriggers);
    dbGrid->setWordWrap(false);
    // The column widths are pixel counts made for an 8-point Tahoma.
    QFont gridFont(QStringLiteral("Tahoma"));
    gridFont.setPixelSize(10);
    dbGrid->setFont(gridFont);
    dbGrid->setStyleSheet(QStringLiteral("QTableView::item { padding: 0px 1px; }"));
    dbGrid->horizontalHeader()->setFont(gridFont);
    dbGrid->verticalHeader()->setFont(gridFont);
    dbGrid->verticalHeader()->setMinimumSectionSize(QFontMetrics(gridFont).height() + 4);
    dbGrid->verticalHeader()->setDefaultSectionSize(QFontMetrics(gridFont).height() + 4);
    dbGrid->verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);
    dbGrid->installEventFilter(this);
    connect(dbGrid, &QTableView::doubleClicked, this, guarded([this] { actEditExecute(); }));
    connect(dbGrid, &QTableView::clicked, this,
            [this](const QModelIndex &index) { m_query->SetRecNo(index.row() + 1); });
    connect(m_model, &TImportTableModel::currentRowChanged, this, &TfrmImport::followCurrentRow);

    lBoxErr = new QListWidget;
    lBoxErr->setObjectName(QStringLiteral("lBoxErr"));
    lBoxErr->setMinimumHeight(50);
    connect(lBoxErr, &QListWidget::itemClicked, this,
            [this](QListWidgetItem *item) { guarded([this, item] { lBoxErrClick(item); })(); });
    // Walking the messages with the arrow keys jumps to their records as clicks do.
    connect(lBoxErr, &QListWidget::currentItemChanged, this, [this](QListWidgetItem *item) {
        if (item && lBoxErr->hasFocus())
            guarded([this, item] { lBoxErrClick(item); })();
    });

    splitter = new QSplitter(Qt::Vertical);
    splitter->setObjectName(QStringLiteral("splitter"));
    splitter->addWidget(dbGrid);
    splitter->addWidget(lBoxErr);
    splitter->setStretchFactor(0, 1);
    splitter->setStretchFactor(1, 0);
    splitter->setChildrenCollapsible(false);
    splitter->setSizes({500, 157});

    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    layout->addWidget(tbMain);
    layout->addWidget(splitter, 1);
}

void TfrmImport::FormCreate()
{
    const QScreen *screen = QGuiApplication::primaryScreen();
    const auto widths = ImportColumnWidths(screen ? screen->geometry().width() : 0);
    // The widths were made for a narrow font: where this one is wider, a column of values of
    // one shape is still as wide as the widest of them.
    const QFontMetrics metrics(dbGrid->font());
    const QHash<int, QString> widest{
        {0, QStringLiteral("Index")},
        {1, QStringLiteral("00.00.0000")},
        {2, QStringLiteral("00:00")},
        {4, WidestFrequency(metrics)},
        {5, WidestText(metrics, QStringList(ModeNames.begin() + 1, ModeNames.end()))},
        {6, QStringLiteral("599")},
        {7, QStringLiteral("599")},
        {10, WidestLocator(metrics)},
        {11, WidestLocator(metrics)},
        {12, WidestIota(metrics)}};
    for (int column = 0; column < ImportColumnCount; ++column) {
        const int least = widest.contains(column) ? ColumnWidthFor(*dbGrid, widest[column]) : 0;
        dbGrid->setColumnWidth(column, qMax(widths[column], least));
    }
}

bool TfrmImport::ImportAdif(const QString &fileName, const TImportOptions &options)
{
    TfrmDialog *progress = m_host.progress;
    {
        TfrmDialogCloser closer(progress);
        if (progress)
            progress->ShowInfo(ImportText);
        m_staging->ResetCounters();
        std::unique_ptr<TImportDupeIndex> dupes;
        if (options.CheckDupes)
            dupes = std::make_unique<TImportDupeIndex>(m_logConnection);
        TAdifImport reader(*m_staging, options, m_host.dxccList, dupes.get());
        if (progress) {
            progress->ShowProgress(ImportText, 0, 100);
            reader.SetProgress(progress->ProgressCallback());
        }
        reader.ReadFile(fileName);
    }
    return ShowReview();
}

bool TfrmImport::ShowReview()
{
    m_staging->ShowSummary();
    lBoxErr->clear();
    lBoxErr->addItems(m_staging->Messages());
    m_query->Open();
    setWindowState(windowState() | Qt::WindowMaximized);
    return RunModal(*this) == mrOk;
}

void TfrmImport::followCurrentRow(int row)
{
    if (row >= 0)
        dbGrid->scrollTo(m_model->index(row, 0));
}

void TfrmImport::reopen(int recNo)
{
    m_query->Open();
    if (!m_query->IsEmpty())
        m_query->SetRecNo(qBound(1, recNo, m_query->RecordCount()));
}

void TfrmImport::lBoxErrClick(QListWidgetItem *item)
{
    const int id = item ? TImportStaging::RecordNumberOfLine(item->text()) : 0;
    if (id > 0)
        m_query->GotoBookmark(id); // a deleted record: nothing happens
}

void TfrmImport::actEditExecute()
{
    if (!m_query->Active() || m_query->IsEmpty())
        return;
    if (m_model->MarkCount() == 0)
        editCurrent();
    else
        editMarked();
}

void TfrmImport::editCurrent()
{
    TLogRecord record = m_query->Record();
    TfrmImportEdit editor(record, &m_host);
    if (RunModal(editor) != mrOk)
        return;
    try {
        editor.StoreData(record, m_host.dxccList);
    } catch (const EVelkorError &) {
        // The editor checked its input; what a field still refuses keeps its old value.
    }
    const int recNo = m_query->RecNo();
    m_staging->Table().Edit(record.id(), record);
    reopen(recNo);
}

void TfrmImport::editMarked()
{
    TfrmEditSelQSOs dialog(m_host.mainWindow);
    if (RunModal(dialog) != mrOk)
        return;
    const int field = dialog.SelectedField();
    const int recNo = m_query->RecNo();
    QString failure;
    {
        TControlsOff off(m_query);
        try {
            // The value in the field's form: modes and QSL states as numbers, locators,
            // DXCC, IOTA and award in upper case; a frequency brings its band along.
            const QVariant value = BulkEditValue(field, dialog.SelectedValue());
            if (m_host.dxccList) {
                TBulkEdit edit(field, value, *m_host.dxccList);
                m_staging->Table().Update(m_model->Marks(), [&edit](TLogRecord &r) { edit.Apply(r); });
            } else {
                m_staging->Table().Update(m_model->Marks(), [field, &value](TLogRecord &r) {
                    r[field] = value;
                    if (field == fiFREQ)
                        r[fiBAND] = GetBandIndex(value.toDouble());
                });
            }
        } catch (const EVelkorError &e) {
            failure = e.message();
        }
        reopen(recNo);
    }
    if (!failure.isEmpty())
        MessageDlgDef(failure, mtError, mbOK, mrOk);
}

void TfrmImport::actDeleteExecute()
{
    if (!m_query->Active() || m_query->IsEmpty())
        return;
    const int recNo = m_query->RecNo();
    const int marks = m_model->MarkCount();
    if (marks > 0) {
        if (MessageDlgDef(QStringLiteral("Opravdu chcete smazat %1 spojení?").arg(marks), mtConfirmation,
                          mbYes | mbNo, mrNo) == mrNo)
            return;
        m_staging->Table().Delete(m_model->Marks());
        m_model->ClearMarks();
    } else {
        if (MessageDlgDef(QStringLiteral("Opravdu chcete smazat vybrané spojení?"), mtConfirmation,
                          mbYes | mbNo, mrNo) == mrNo)
            return;
        m_staging->Table().Delete(m_query->Bookmark());
    }
    reopen(recNo);
}

void TfrmImport::actSelectExecute()
{
    if (!m_query->Active() || m_query->IsEmpty())
        return;
    m_model->ToggleMark(m_query->Bookmark());
    m_query->Next();
}

void TfrmImport::actSelectAllExecute()
{
    if (!m_query->Active())
        return;
    const int recNo = m_query->RecNo();
    {
        TControlsOff off(m_query);
        m_model->MarkAll();
    }
    m_query->SetRecNo(recNo);
}

void TfrmImport::actSelectNoneExecute()
{
    m_model->ClearMarks();
}

void TfrmImport::actImportExecute()
{
    if (!m_query->Active() || m_query->IsEmpty()) {
        done(mrCancel);
        return;
    }
    QString failure;
    {
        TfrmDialogCloser closer(m_host.progress);
        if (m_host.progress)
            m_host.progress->ShowInfo(ImportText);
        TControlsOff off(m_query);
        try {
            m_staging->AppendTo(m_logConnection);
        } catch (const EVelkorError &e) {
            failure = e.message();
        }
    }
    if (!failure.isEmpty()) {
        // Nothing reached the log; the staged records stay for another attempt.
        MessageDlgDef(failure, mtError, mbOK, mrOk);
        return;
    }
    done(mrOk);
}

// Esc and the close box: the staged records, and every correction made to them, are
// thrown away only when the operator says so; the default answer keeps the window.
void TfrmImport::reject()
{
    if (m_query->Active() && !m_query->IsEmpty() &&
        MessageDlgDef(QStringLiteral("Zrušit import? Načtená spojení nebudou přidána do deníku a provedené opravy "
                                     "se ztratí."),
                      mtConfirmation, mbYes | mbNo, mrNo) != mrYes)
        return;
    done(mrCancel);
}

bool TfrmImport::eventFilter(QObject *watched, QEvent *event)
{
    if (watched == dbGrid && event->type() == QEvent::KeyPress) {
        const auto *key = static_cast<QKeyEvent *>(event);
        if (key->modifiers().testFlag(Qt::KeypadModifier) && key->key() == Qt::Key_Plus) {
            actSelectAllExecute();
            return true;
        }
        if (key->modifiers().testFlag(Qt::KeypadModifier) && key->key() == Qt::Key_Minus) {
            actSelectNoneExecute();
            return true;
        }
        // The grid moves through the staged records as a record browser does.
        const int moves[][2] = {
            {Qt::Key_Down, 1}, {Qt::Key_Up, -1}, {Qt::Key_PageDown, 20}, {Qt::Key_PageUp, -20}};
        for (const auto &[k, delta] : moves)
            if (key->key() == k && m_query->Active()) {
                m_query->MoveBy(delta);
                return true;
            }
        if (key->key() == Qt::Key_Home && m_query->Active()) {
            m_query->First();
            return true;
        }
        if (key->key() == Qt::Key_End && m_query->Active()) {
            m_query->Last();
            return true;
        }
    }
    return QDialog::eventFilter(watched, event);
}

void TfrmImport::changeEvent(QEvent *event)
{
    if (!MinimizeProgramInstead(this, event, m_host.mainWindow ? m_host.mainWindow : VisibleMainWindow()))
        QDialog::changeEvent(event);
}
