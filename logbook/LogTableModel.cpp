#include "LogTableModel.h"

#include "radio/Amater.h"
#include "CodeText.h"

#include <algorithm>
#include <unordered_set>
#include <utility>

const QColor LogTableModel::OddRowBackground{255, 255, 255};
const QColor LogTableModel::EvenRowBackground{248, 248, 248};
const QColor LogTableModel::CurrentFont{255, 255, 255};
const QColor LogTableModel::CurrentBackground{10, 36, 106};
const QColor LogTableModel::MarkedFont{0, 0, 0};
const QColor LogTableModel::MarkedBackground{255, 255, 0};
const QColor LogTableModel::MarkedCurrentFont{255, 255, 0};
const QColor LogTableModel::SortTitleBackground{198, 211, 239};

namespace {

Qt::Alignment toQtAlignment(int alignment)
{
    switch (alignment) {
    case caRight:
        return Qt::AlignRight | Qt::AlignVCenter;
    case caCenter:
        return Qt::AlignHCenter | Qt::AlignVCenter;
    default:
        return Qt::AlignLeft | Qt::AlignVCenter;
    }
}

bool validField(int field)
{
    return field > fiID && field < LogFieldCount;
}

} // namespace

LogTableModel::LogTableModel(LogQuery *query, QObject *parent) : QAbstractTableModel(parent), m_query(query)
{
    for (int field = 0; field < LogFieldCount; ++field) {
        m_captions[field] = LogFieldCaptions[field];
        m_titleAlignments[field] = LogColumnTitleAlignments[field];
        m_alignments[field] = LogColumnAlignments[field];
    }
    connect(m_query, &LogQuery::viewReset, this, &LogTableModel::queryReset);
    connect(m_query, &LogQuery::viewCurrentChanged, this, &LogTableModel::queryCurrentChanged);
    connect(m_query, &LogQuery::viewRowAboutToBeEdited, this, &LogTableModel::queryRowAboutToBeEdited);
    connect(m_query, &LogQuery::viewRowEdited, this, &LogTableModel::queryRowEdited);
    if (m_query->Active() && !m_query->ControlsDisabled()) {
        m_rowCount = m_query->RecordCount();
        m_currentRow = m_query->CurrentRow();
    }
}

void LogTableModel::SetColumnCaption(int field, const QString &caption)
{
    if (!validField(field))
        return;
    m_captions[field] = caption;
    emit headerDataChanged(Qt::Horizontal, columnOfField(field), columnOfField(field));
}

QString LogTableModel::ColumnCaption(int field) const
{
    return validField(field) ? m_captions[field] : QString();
}

void LogTableModel::SetColumnCaptionAlignment(int field, int alignment)
{
    if (!validField(field))
        return;
    m_titleAlignments[field] = alignment;
    emit headerDataChanged(Qt::Horizontal, columnOfField(field), columnOfField(field));
}

void LogTableModel::SetColumnAlignment(int field, int alignment)
{
    if (!validField(field))
        return;
    m_alignments[field] = alignment;
    if (m_rowCount > 0)
        emit dataChanged(index(0, columnOfField(field)), index(m_rowCount - 1, columnOfField(field)),
                         {Qt::TextAlignmentRole});
}

int LogTableModel::ColumnAlignment(int field) const
{
    return validField(field) ? m_alignments[field] : caLeft;
}

void LogTableModel::SetSortField(int field)
{
    if (field == m_sortField)
        return;
    m_sortField = field;
    emit headerDataChanged(Qt::Horizontal, 0, ColumnCount - 1);
}

void LogTableModel::TextsChanged()
{
    if (m_rowCount > 0)
        emit dataChanged(index(0, 0), index(m_rowCount - 1, ColumnCount - 1), {Qt::DisplayRole});
}

QString LogTableModel::CellText(int row, int field) const
{
    switch (field) {
    case fiBAND:
        return CodeText(BandNames, m_query->ViewValueAt(row, field));
    case fiMODE:
        return CodeText(ModeNames, m_query->ViewValueAt(row, field));
    case fiQSLO:
    case fiQSLP:
        return CodeText(QslSentMarks, m_query->ViewValueAt(row, field));
    case fiEQSLP:
        return CodeText(EQslMarks, m_query->ViewValueAt(row, field));
    default:
        return m_query->ViewDisplayTextAt(row, field);
    }
}

bool LogTableModel::IsRowMarked(int row) const
{
    return !m_marks.isEmpty() && m_marks.contains(m_query->IdAt(row));
}

int LogTableModel::rowCount(const QModelIndex &parent) const
{
    return parent.isValid() ? 0 : m_rowCount;
}

int LogTableModel::columnCount(const QModelIndex &parent) const
{
    return parent.isValid() ? 0 : ColumnCount;
}

QVariant LogTableModel::data(const QModelIndex &index, int role) const
{
    if (!index.isValid() || index.row() >= m_rowCount || index.column() >= ColumnCount)
        return QVariant();
    const int row = index.row();
    const int field = fieldOfColumn(index.column());
    switch (role) {
    case Qt::DisplayRole:
        return CellText(row, field);
    case Qt::TextAlignmentRole:
        return QVariant::fromValue(toQtAlignment(m_alignments[field]));
    case Qt::BackgroundRole:
        if (row == m_currentRow)
            return CurrentBackground;
        if (IsRowMarked(row))
            return MarkedBackground;
        // Record numbers count from 1: the first row is odd.
        return row % 2 == 0 ? OddRowBackground : EvenRowBackground;
    case Qt::ForegroundRole:
        if (row == m_currentRow)
            return IsRowMarked(row) ? MarkedCurrentFont : CurrentFont;
        return MarkedFont;
    default:
        return QVariant();
    }
}

QVariant LogTableModel::headerData(int section, Qt::Orientation orientation, int role) const
{
    if (orientation == Qt::Vertical) {
        // The row indicator: a pointer on the current row, nothing else.
        if (role == Qt::DisplayRole && section >= 0 && section < m_rowCount)
            return section == m_currentRow ? QStringLiteral("►") : QString();
        return QVariant();
    }
    if (section < 0 || section >= ColumnCount)
        return QVariant();
    const int field = fieldOfColumn(section);
    switch (role) {
    case Qt::DisplayRole:
        return m_captions[field];
    case Qt::TextAlignmentRole:
        return QVariant::fromValue(toQtAlignment(m_titleAlignments[field]));
    case Qt::BackgroundRole:
        if (field == m_sortField || (m_sortField == fiDAT && field == fiUTC))
            return SortTitleBackground;
        return QVariant();
    default:
        return QVariant();
    }
}

Qt::ItemFlags LogTableModel::flags(const QModelIndex &index) const
{
    if (!index.isValid())
        return Qt::NoItemFlags;
    return Qt::ItemIsEnabled | Qt::ItemIsSelectable | Qt::ItemNeverHasChildren;
}

void LogTableModel::queryReset()
{
    beginResetModel();
    m_rowCount = m_query->Active() ? m_query->RecordCount() : 0;
    m_currentRow = m_rowCount > 0 ? m_query->CurrentRow() : -1;
    endResetModel();
    pruneMarks();
    emit currentRowChanged(m_currentRow);
}

// One row goes or comes (a QSO saved, edited or deleted): a reset would cost the grid's
// views time in proportion to the whole log.
void LogTableModel::queryRowAboutToBeEdited(bool inserted, int row)
{
    m_rowsEdited = true;
    if (inserted)
        beginInsertRows(QModelIndex(), row, row);
    else
        beginRemoveRows(QModelIndex(), row, row);
}

void LogTableModel::queryRowEdited(bool inserted, int row)
{
    Q_UNUSED(row)
    if (inserted) {
        ++m_rowCount;
        endInsertRows();
        return;
    }
    --m_rowCount;
    endRemoveRows();
}

void LogTableModel::queryCurrentChanged()
{
    const int previous = m_currentRow;
    m_currentRow = m_rowCount > 0 ? m_query->CurrentRow() : -1;
    // After rows went or came the marks of those gone go, and the grid's own current row
    // may be another one.
    const bool rowsEdited = std::exchange(m_rowsEdited, false);
    if (rowsEdited && !m_marks.isEmpty()) {
        const qsizetype before = m_marks.size();
        m_marks.removeIf([this](TBookmark bookmark) { return m_query->RowOfId(bookmark) < 0; });
        if (m_marks.size() != before)
            emit marksChanged();
    }
    if (m_currentRow == previous && !rowsEdited)
        return;
    rowColoursChanged(previous);
    rowColoursChanged(m_currentRow);
    emit currentRowChanged(m_currentRow);
}

// Marks whose rows are no longer in the result (deleted, or filtered away) go. A closed
// query says nothing about its rows: re-opening closes it first.
void LogTableModel::pruneMarks()
{
    if (m_marks.isEmpty() || !m_query->Active())
        return;
    std::unordered_set<TBookmark> present;
    present.reserve(std::size_t(m_rowCount));
    for (int row = 0; row < m_rowCount; ++row)
        present.insert(m_query->IdAt(row));
    const qsizetype before = m_marks.size();
    m_marks.removeIf([&present](TBookmark bookmark) { return present.count(bookmark) == 0; });
    if (m_marks.size() != before)
        emit marksChanged();
}

void LogTableModel::rowColoursChanged(int row)
{
    if (row < 0 || row >= m_rowCount)
        return;
    emit dataChanged(index(row, 0), index(row, ColumnCount - 1), {Qt::BackgroundRole, Qt::ForegroundRole});
    emit headerDataChanged(Qt::Vertical, row, row);
}

// The current row is found at once; any other row by a search through the result.
int LogTableModel::rowOfBookmark(TBookmark bookmark) const
{
    if (m_currentRow >= 0 && m_query->IdAt(m_currentRow) == bookmark)
        return m_currentRow;
    if (m_query->CurrentRow() >= 0 && m_query->Bookmark() == bookmark)
        return m_query->CurrentRow();
    const int row = m_query->RowOfId(bookmark);
    return row < m_rowCount ? row : -1;
}

void LogTableModel::SetMarked(TBookmark bookmark, bool marked)
{
    if (bookmark <= 0 || m_marks.contains(bookmark) == marked)
        return;
    if (marked)
        m_marks.insert(bookmark);
    else
        m_marks.remove(bookmark);
    rowColoursChanged(rowOfBookmark(bookmark));
    emit marksChanged();
}

void LogTableModel::ToggleMark(TBookmark bookmark)
{
    SetMarked(bookmark, !IsMarked(bookmark));
}

void LogTableModel::ClearMarks()
{
    if (m_marks.isEmpty())
        return;
    m_marks.clear();
    if (m_rowCount > 0)
        emit dataChanged(index(0, 0), index(m_rowCount - 1, ColumnCount - 1),
                         {Qt::BackgroundRole, Qt::ForegroundRole});
    emit marksChanged();
}

void LogTableModel::MarkAll()
{
    if (!m_query->Active())
        return;
    const int count = m_query->RecordCount();
    const qsizetype before = m_marks.size();
    m_marks.reserve(count);
    for (int row = 0; row < count; ++row)
        m_marks.insert(m_query->IdAt(row));
    if (m_marks.size() == before)
        return;
    if (m_rowCount > 0)
        emit dataChanged(index(0, 0), index(m_rowCount - 1, ColumnCount - 1),
                         {Qt::BackgroundRole, Qt::ForegroundRole});
    emit marksChanged();
}

QList<TBookmark> LogTableModel::Marks() const
{
    QList<TBookmark> result;
    if (m_marks.isEmpty())
        return result;
    result.reserve(m_marks.size());
    if (m_query->Active()) {
        const int count = m_query->RecordCount();
        for (int row = 0; row < count && result.size() < m_marks.size(); ++row) {
            const TBookmark bookmark = m_query->IdAt(row);
            if (m_marks.contains(bookmark))
                result.append(bookmark);
        }
    }
    // Marks not in the current result (the query is closed) follow in ID order.
    if (result.size() < m_marks.size()) {
        QList<TBookmark> rest;
        const QSet<TBookmark> listed(result.cbegin(), result.cend());
        for (TBookmark bookmark : m_marks)
            if (!listed.contains(bookmark))
                rest.append(bookmark);
        std::sort(rest.begin(), rest.end());
        result += rest;
    }
    return result;
}
