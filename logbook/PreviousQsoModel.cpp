#include "PreviousQsoModel.h"

#include "radio/Amater.h"
#include "CodeText.h"
#include "base/Formats.h"

const std::array<int, PreviousQsoModel::ColumnCount> PreviousQsoModel::ColumnFields{
    fiDAT, fiCALL, fiFREQ, fiMODE, fiNAME, fiQTH, fiLOCP, fiLOCO, fiQSLVIA, fiQSLO, fiQSLP, fiNOTE};

const std::array<QString, PreviousQsoModel::ColumnCount> PreviousQsoModel::ColumnTitles{
    QStringLiteral("Datum"), QStringLiteral("Značka"), QStringLiteral("MHz"),     QStringLiteral("Mód"),
    QStringLiteral("Jméno"), QStringLiteral("QTH"),    QStringLiteral("LOCp"),    QStringLiteral("LOCo"),
    QStringLiteral("QSL via"), QStringLiteral("Q->"),  QStringLiteral("Q<-"),     QStringLiteral("Poznámka")};

namespace {

bool drawnCentred(int field)
{
    return field == fiDAT || field == fiUTC || field == fiMODE || field == fiQSLO || field == fiQSLP;
}

} // namespace

PreviousQsoModel::PreviousQsoModel(LogQuery *query, QObject *parent) : QAbstractTableModel(parent), m_query(query)
{
    connect(m_query, &LogQuery::viewReset, this, &PreviousQsoModel::queryReset);
    connect(m_query, &LogQuery::viewCurrentChanged, this,
            [this] { emit currentRowChanged(m_query->Active() ? m_query->CurrentRow() : -1); });
    queryReset();
}

void PreviousQsoModel::queryReset()
{
    beginResetModel();
    m_rowCount = m_query->Active() ? m_query->RecordCount() : 0;
    endResetModel();
    emit currentRowChanged(m_rowCount > 0 ? m_query->CurrentRow() : -1);
}

QString PreviousQsoModel::CellText(int row, int column) const
{
    if (row < 0 || row >= m_rowCount || column < 0 || column >= ColumnCount)
        return QString();
    const int field = ColumnFields[column];
    const QVariant value = m_query->ViewValueAt(row, field);
    switch (field) {
    case fiDAT:
        return IsEmptyLogValue(value) ? QString() : Formats::formatDate(QStringLiteral("dd.mm.yy"), value.toDate());
    case fiUTC:
        return IsEmptyLogValue(value) ? QString() : Formats::formatTime(QStringLiteral("hh:nn"), value.toTime());
    case fiMODE:
        return CodeText(ModeNames, value);
    case fiQSLO:
    case fiQSLP:
        return CodeText(QslSentMarks, value);
    default:
        return LogValueAsString(field, value);
    }
}

int PreviousQsoModel::rowCount(const QModelIndex &parent) const
{
    return parent.isValid() ? 0 : m_rowCount;
}

int PreviousQsoModel::columnCount(const QModelIndex &parent) const
{
    return parent.isValid() ? 0 : ColumnCount;
}

QVariant PreviousQsoModel::data(const QModelIndex &index, int role) const
{
    if (!index.isValid())
        return {};
    switch (role) {
    case Qt::DisplayRole:
        return CellText(index.row(), index.column());
    case Qt::TextAlignmentRole:
        if (drawnCentred(ColumnFields[index.column()]))
            return int(Qt::AlignCenter);
        return int(Qt::AlignLeft | Qt::AlignVCenter);
    default:
        return {};
    }
}

QVariant PreviousQsoModel::headerData(int section, Qt::Orientation orientation, int role) const
{
    if (orientation != Qt::Horizontal || section < 0 || section >= ColumnCount)
        return QAbstractTableModel::headerData(section, orientation, role);
    if (role == Qt::DisplayRole)
        return ColumnTitles[section];
    return {};
}
