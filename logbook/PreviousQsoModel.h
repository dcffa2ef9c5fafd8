#pragma once
// The table model of the QSO window's list of earlier QSOs with the same station, over
// its query: twelve fixed columns, dates as "dd.mm.yy", modes by name and the QSL states
// by their one-letter marks, those centred.

#include "log/LogQuery.h"

#include <QAbstractTableModel>
#include <array>

class PreviousQsoModel : public QAbstractTableModel
{
    Q_OBJECT
public:
    static constexpr int ColumnCount = 12;
    // The log field shown in each column, and the column titles.
    static const std::array<int, ColumnCount> ColumnFields;
    static const std::array<QString, ColumnCount> ColumnTitles;

    explicit PreviousQsoModel(LogQuery *query, QObject *parent = nullptr);

    // The text of a cell as the grid shows it.
    QString CellText(int row, int column) const;

    int rowCount(const QModelIndex &parent = QModelIndex()) const override;
    int columnCount(const QModelIndex &parent = QModelIndex()) const override;
    QVariant data(const QModelIndex &index, int role = Qt::DisplayRole) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role = Qt::DisplayRole) const override;

signals:
    // The query's current row after it was opened or moved (-1 when none).
    void currentRowChanged(int row);

private:
    void queryReset();

    LogQuery *m_query;
    int m_rowCount = 0;
};
