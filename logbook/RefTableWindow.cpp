#include "RefTableWindow.h"

#include "base/DatabaseError.h"
#include "log/DmLog.h"
#include "LogGrid.h"
#include "base/Messages.h"
#include "MinimizeProgram.h"
#include "TableFindSource.h"
#include "log/TableQuery.h"
#include "WindowCommands.h"

#include <QAction>
#include <QActionGroup>
#include <QHeaderView>
#include <QMenu>
#include <QStyle>
#include <QToolBar>
#include <QToolButton>
#include <QVBoxLayout>

TRefTableWindow::TRefTableWindow(TdmLog &dm, const TActionNames &names, QWidget *owner)
    : QDialog(owner), m_dm(dm)
{
    setWindowFlags(Qt::Window | Qt::WindowTitleHint | Qt::WindowSystemMenuHint | Qt::WindowMinMaxButtonsHint |
                   Qt::WindowCloseButtonHint);
    qList = new TTableQuery(this);
    qList->setObjectName(QStringLiteral("qList"));
    grid = new TLogGrid(this);
    find = new TfrmFind(this);

    actFind = MakeWindowAction(this, names.find, QStringLiteral("Hledat"), QString());
    actSort = MakeWindowAction(this, names.sort, QStringLiteral("Třídit"), QString());
    actFirst = MakeWindowAction(this, names.first, QStringLiteral("První"), QString());
    actLast = MakeWindowAction(this, names.last, QStringLiteral("Poslední"), QString());
    actClose = MakeWindowAction(this, names.close, QStringLiteral("Zavřít"), QString());
    const QStyle *st = style();
    actFind->setIcon(st->standardIcon(QStyle::SP_FileDialogInfoView));
    actSort->setIcon(st->standardIcon(QStyle::SP_FileDialogListView));
    actFirst->setIcon(st->standardIcon(QStyle::SP_ArrowUp));
    actLast->setIcon(st->standardIcon(QStyle::SP_ArrowDown));
    actClose->setIcon(st->standardIcon(QStyle::SP_DialogCloseButton));

    pmSort = new QMenu(this);
    pmSort->setObjectName(QStringLiteral("pmSort"));
    sortGroup = new QActionGroup(this);
    sortGroup->setExclusive(true);

    tlBar = new QToolBar(this);
    tlBar->setObjectName(QStringLiteral("tlBar"));
    tlBar->setToolButtonStyle(Qt::ToolButtonTextUnderIcon);

    connect(actFind, &QAction::triggered, this, [this] {
        if (qList->Active())
            find->ShowFind();
    });
    connect(actSort, &QAction::triggered, this, [this] {
        pmSort->popup(tlBtnSort->mapToGlobal(QPoint(0, tlBtnSort->height())));
    });
    connect(actFirst, &QAction::triggered, this, [this] {
        if (qList->Active())
            qList->First();
    });
    connect(actLast, &QAction::triggered, this, [this] {
        if (qList->Active())
            qList->Last();
    });
    connect(actClose, &QAction::triggered, this, [this] { done(mrOk); });
    connect(qList, &TTableQuery::afterScroll, this, &TRefTableWindow::UpdateFirstLast);
    connect(sortGroup, &QActionGroup::triggered, this, &TRefTableWindow::mnItmTriditClick);
    connect(grid->horizontalHeader(), &QHeaderView::sectionClicked, this, &TRefTableWindow::TitleClick);

    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    layout->addWidget(tlBar);
    layout->addWidget(grid, 1);
    UpdateFirstLast();
}

void TRefTableWindow::SetupTable(const QString &filePath, const QString &tableName,
                                 const QList<TRefTableModel::TColumn> &columns, const QList<TSortItem> &sortItems,
                                 const QList<TfrmFind::TFindField> &findFields)
{
    qList->SetTable(filePath, tableName);
    delete model;
    model = new TRefTableModel(qList, columns, this);
    model->Attach(grid);
    pmSort->clear();
    for (QAction *item : sortGroup->actions())
        delete item;
    for (const TSortItem &entry : sortItems) {
        QAction *item = pmSort->addAction(entry.caption);
        item->setCheckable(true);
        item->setData(entry.field);
        item->setStatusTip(entry.field);
        sortGroup->addAction(item);
    }
    find->Setup(new TTableFindSource(qList), grid, findFields);
}

QString TRefTableWindow::SortField() const
{
    if (!model || model->SortedColumn() < 0)
        return {};
    return model->Columns()[model->SortedColumn()].field;
}

void TRefTableWindow::markSorted(const QString &field)
{
    model->SetSortedColumn(model->ColumnOfField(field));
    for (QAction *item : sortGroup->actions())
        if (item->data().toString().compare(field, Qt::CaseInsensitive) == 0)
            item->setChecked(true);
}

void TRefTableWindow::SortBy(const QString &field)
{
    markSorted(field);
    qList->Close();
    qList->SetOrderBy(field);
    qList->Open();
}

void TRefTableWindow::Resort(const QString &field)
{
    markSorted(field);
    const QVariant key = qList->Value(0);
    try {
        qList->DisableControls();
        qList->Close();
        qList->SetOrderBy(field);
        qList->Open();
        if (!key.isNull())
            qList->Locate(qList->FieldNames().value(0), key);
        qList->EnableControls();
    } catch (const EDatabaseError &e) {
        qList->EnableControls();
        ResortFailed(e.message());
    }
}

void TRefTableWindow::ResortFailed(const QString &message)
{
    MessageDlgDef(message, mtError, mbOK, mrOk);
}

void TRefTableWindow::TitleClick(int column)
{
    if (!model || !qList->Active() || column < 0 || column >= model->columnCount() ||
        column == model->SortedColumn())
        return;
    Resort(model->Columns()[column].field);
}

void TRefTableWindow::mnItmTriditClick(QAction *item)
{
    item->setChecked(true);
    if (!model || !qList->Active())
        return;
    const QString field = item->data().toString();
    const int column = model->ColumnOfField(field);
    if (column >= 0 && column == model->SortedColumn())
        return;
    Resort(field);
}

bool TRefTableWindow::Locate(const QString &field, const QVariant &value)
{
    return qList->Active() && qList->Locate(field, value);
}

void TRefTableWindow::UpdateFirstLast()
{
    const bool rows = qList->Active() && !qList->IsEmpty();
    actFirst->setEnabled(rows && qList->RecNo() != 1);
    actLast->setEnabled(rows && qList->RecNo() != qList->RecordCount());
}

void TRefTableWindow::changeEvent(QEvent *event)
{
    QDialog::changeEvent(event);
    MinimizeProgramInstead(this, event, VisibleMainWindow());
}
