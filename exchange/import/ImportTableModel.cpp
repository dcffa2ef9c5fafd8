#include "import/ImportTableModel.h"

#include "radio/Amater.h"

const std::array<int, ImportColumnCount> ImportColumnFields{fiID,   fiDAT,  fiUTC,  fiCALL,   fiFREQ, fiMODE,
                                                            fiRSTO, fiRSTP, fiNAME, fiQTH,    fiLOCO, fiLOCP,
                                                            fiIOTA, fiQSLO, fiQSLP, fiQSLVIA, fiNOTE, fiPWR};
const std::array<const char *, ImportColumnCount> ImportColumnTitles{
    "Index", "Datum", "UTC",  "Značka", "MHz", "Mód", "R-O",     "R-P",      "Jméno",
    "QTH",   "LOCo",  "LOCp", "IOTA",   "Q-O", "Q-P", "QSL via", "Poznámka", "PWR"};

const QColor TImportTableModel::CurrentFont{255, 255, 255};
const QColor TImportTableModel::CurrentBackground{10, 36, 106};
const QColor TImportTableModel::MarkedFont{0, 0, 0};
const QColor TImportTableModel::MarkedBackground{255, 255, 0};
const QColor TImportTableModel::MarkedCurrentFont{255, 255, 0};

std::array<int, ImportColumnCount> ImportColumnWidths(int screenWidth)
{
    if (screenWidth == 1024)
        return {35, 60, 50, 90, 40, 38, 24, 24, 70, 70, 48, 48, 38, 26, 26, 80, 170, 30};
    if (screenWidth == 1152)
        return {35, 60, 50, 100, 40, 40, 25, 25, 90, 90, 48, 48, 40, 26, 26, 100, 220, 30};
    if (screenWidth >= 1280 && screenWidth <= 1600)
        return {40, 65, 55, 100, 50, 45, 30, 30, 100, 100, 48, 48, 38, 26, 26, 140, 250, 30};
    return {30, 60, 47, 90, 40, 38, 24, 24, 70, 70, 48, 48, 38, 26, 26, 56, 100, 30};
}

TImportTableModel::TImportTableModel(LogQuery *query, QObject *parent)
    : QAbstractTableModel(parent), m_query(query)
{
    m_query->SetDisplayFormat(fiDAT, QStringLiteral("dd.mm.yyyy"));
    m_query->SetDisplayFormat(fiUTC, QStringLiteral("hh:nn"));
    connect(m_query, &LogQuery::viewReset, this, &TImportTableModel::queryReset);
    connect(m_query, &LogQuery::viewCurrentChanged, this, &TImportTableModel::queryCurrentChanged);
    queryReset();
}

void TImportTableModel::queryReset()
{
    beginResetModel();
    m_rowCount = m_query->Active() ? m_query->RecordCount() : 0;
    m_currentRow = m_query->Active() ? m_query->CurrentRow() : -1;
    // Marks of records that are gone (deleted) go with them.
    for (auto it = m_marks.begin(); it != m_marks.end();)
        it = m_query->Active() && m_query->RowOfId(*it) >= 0 ? std::next(it) : m_marks.erase(it);
    endResetModel();
    emit currentRowChanged(m_currentRow);
}

void TImportTableModel::queryCurrentChanged()
{
    const int previous = m_currentRow;
    m_currentRow = m_query->CurrentRow();
    rowChanged(previous);
    rowChanged(m_currentRow);
    emit currentRowChanged(m_currentRow);
}

void TImportTableModel::rowChanged(int row)
{
    if (row >= 0 && row < m_rowCount)
        emit dataChanged(index(row, 0), index(row, ImportColumnCount - 1));
}

QString TImportTableModel::CellText(int row, int column) const
{
    const int field = ImportColumnFields[column];
    const QVariant value = m_query->ValueAt(row, field);
    switch (field) {
    case fiMODE: {
        const int mode = value.toInt();
        return mode >= 0 && mode < ModeCount ? ModeNames[mode] : value.toString();
    }
    case fiQSLO: {
        const int state = value.toInt();
        return state >= 0 && state < int(QslSentMarks.size()) ? QslSentMarks[state] : value.toString();
    }
    case fiQSLP: {
        const int state = value.toInt();
        return state >= 0 && state < int(QslRcvdMarks.size()) ? QslRcvdMarks[state] : value.toString();
    }
    default:
        return m_query->DisplayTextAt(row, field);
    }
}

void TImportTableModel::ToggleMark(TBookmark id)
{
    if (!m_marks.remove(id))
        m_marks.insert(id);
    rowChanged(m_query->RowOfId(id));
}

void TImportTableModel::MarkAll()
{
    for (int row = 0; row < m_rowCount; ++row)
        m_marks.insert(m_query->IdAt(row));
    if (m_rowCount > 0)
        emit dataChanged(index(0, 0), index(m_rowCount - 1, ImportColumnCount - 1));
}

void TImportTableModel::ClearMarks()
{
    m_marks.clear();
    if (m_rowCount > 0)
        emit dataChanged(index(0, 0), index(m_rowCount - 1, ImportColumnCount - 1));
}

QList<TBookmark> TImportTableModel::Marks() const
{
    QList<TBookmark> ids(m_marks.begin(), m_marks.end());
    std::sort(ids.begin(), ids.end(),
              [this](TBookmark a, TBookmark b) { return m_query->RowOfId(a) < m_query->RowOfId(b); });
    return ids;
}

int TImportTableModel::rowCount(const QModelIndex &parent) const
{
    return parent.isValid() ? 0 : m_rowCount;
}

int TImportTableModel::columnCount(const QModelIndex &parent) const
{
    return parent.isValid() ? 0 : ImportColumnCount;
}

QVariant TImportTableModel::data(const QModelIndex &index, int role) const
{
    if (!index.isValid() || index.row() >= m_rowCount)
        return {};
    const int field = ImportColumnFields[index.column()];
    const bool current = index.row() == m_currentRow;
    const bool marked = m_marks.contains(m_query->IdAt(index.row()));
    switch (role) {
    case Qt::DisplayRole:
        return CellText(index.row(), index.column());
    case Qt::TextAlignmentRole:
        switch (field) {
        case fiFREQ:
            return int(Qt::AlignRight | Qt::AlignVCenter);
        case fiDAT:
        case fiUTC:
        case fiMODE:
        case fiRSTO:
        case fiRSTP:
        case fiQSLO:
        case fiQSLP:
            return int(Qt::AlignCenter);
        default:
            return int(Qt::AlignLeft | Qt::AlignVCenter);
        }
    case Qt::ForegroundRole:
        if (current)
            return marked ? MarkedCurrentFont : CurrentFont;
        return marked ? QVariant(MarkedFont) : QVariant();
    case Qt::BackgroundRole:
        if (current)
            return CurrentBackground;
        return marked ? QVariant(MarkedBackground) : QVariant();
    default:
        return {};
    }
}

QVariant TImportTableModel::headerData(int section, Qt::Orientation orientation, int role) const
{
    if (orientation == Qt::Horizontal && role == Qt::DisplayRole && section >= 0 &&
        section < ImportColumnCount)
        return QString::fromUtf8(ImportColumnTitles[section]);
    return QAbstractTableModel::headerData(section, orientation, role);
}
