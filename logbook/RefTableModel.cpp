#include "RefTableModel.h"

#include "base/Formats.h"
#include "LogGrid.h"
#include "log/TableQuery.h"

#include <QHeaderView>
#include <QItemSelectionModel>

const QColor TRefTableModel::SortTitleBackground{198, 211, 239};

TRefTableModel::TRefTableModel(TTableQuery *query, const QList<TColumn> &columns, QObject *parent)
    : QAbstractTableModel(parent), m_query(query), m_columns(columns)
{
    connect(m_query, &TTableQuery::viewReset, this, &TRefTableModel::queryReset);
    connect(m_query, &TTableQuery::viewCurrentChanged, this, &TRefTableModel::queryMoved);
    queryReset();
}

void TRefTableModel::Attach(TLogGrid *grid)
{
    m_grid = grid;
    grid->setModel(this);
    grid->setSelectionMode(QAbstractItemView::SingleSelection);
    grid->setSelectionBehavior(QAbstractItemView::SelectRows);
    grid->setEditTriggers(QAbstractItemView::NoEditTriggers);
    grid->setWordWrap(false);
    grid->setTabKeyNavigation(false);
    grid->horizontalHeader()->setHighlightSections(false);
    grid->horizontalHeader()->setSectionsClickable(true);
    // Widening the window widens the last column only.
    grid->horizontalHeader()->setStretchLastSection(true);
    // A narrow row indicator and rows as high as their text, as in the log grid.
    QHeaderView *indicator = grid->verticalHeader();
    indicator->setSectionResizeMode(QHeaderView::Fixed);
    indicator->setDefaultSectionSize(QFontMetrics(grid->font()).height() + 4);
    indicator->setFixedWidth(12);
    for (int column = 0; column < m_columns.size(); ++column)
        grid->setColumnWidth(column, m_columns[column].width);
    connect(grid->selectionModel(), &QItemSelectionModel::currentRowChanged, this,
            [this](const QModelIndex &current) {
                if (!m_syncing && current.isValid() && current.row() + 1 != m_query->RecNo())
                    m_query->SetRecNo(current.row() + 1);
            });
    queryMoved();
}

void TRefTableModel::SetSortedColumn(int column)
{
    m_sortedColumn = column;
    if (!m_columns.isEmpty())
        emit headerDataChanged(Qt::Horizontal, 0, int(m_columns.size()) - 1);
}

int TRefTableModel::ColumnOfField(const QString &field) const
{
    for (int column = 0; column < m_columns.size(); ++column)
        if (m_columns[column].field.compare(field, Qt::CaseInsensitive) == 0)
            return column;
    return -1;
}

int TRefTableModel::rowCount(const QModelIndex &parent) const
{
    return parent.isValid() ? 0 : m_query->RecordCount();
}

int TRefTableModel::columnCount(const QModelIndex &parent) const
{
    return parent.isValid() ? 0 : int(m_columns.size());
}

QVariant TRefTableModel::data(const QModelIndex &index, int role) const
{
    if (role != Qt::DisplayRole || !index.isValid())
        return {};
    const QVariant value = m_query->ValueAt(index.row(), m_fieldIndexes.value(index.column(), -1));
    if (value.typeId() == QMetaType::Double)
        return Formats::floatToStr(value.toDouble());
    return value.toString();
}

QVariant TRefTableModel::headerData(int section, Qt::Orientation orientation, int role) const
{
    if (orientation == Qt::Vertical)
        return {};
    if (section < 0 || section >= m_columns.size())
        return QAbstractTableModel::headerData(section, orientation, role);
    if (role == Qt::DisplayRole)
        return m_columns[section].title;
    if (role == Qt::BackgroundRole && section == m_sortedColumn)
        return SortTitleBackground;
    return {};
}

void TRefTableModel::queryReset()
{
    beginResetModel();
    m_fieldIndexes.clear();
    for (const TColumn &column : std::as_const(m_columns))
        m_fieldIndexes << m_query->FieldIndex(column.field);
    endResetModel();
    queryMoved();
}

void TRefTableModel::queryMoved()
{
    if (!m_grid || m_query->ControlsDisabled())
        return;
    const int row = m_query->RecNo() - 1;
    m_syncing = true;
    if (row >= 0) {
        const QModelIndex current = m_grid->currentIndex();
        const QModelIndex target = index(row, current.isValid() ? current.column() : 0);
        m_grid->selectionModel()->setCurrentIndex(target, QItemSelectionModel::ClearAndSelect |
                                                              QItemSelectionModel::Rows);
        m_grid->scrollTo(target);
    }
    m_syncing = false;
}
