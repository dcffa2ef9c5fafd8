#pragma once
// The grid model of a reference list (DXCC, IOTA, callbook): the columns chosen from the
// list's query, each with its title and width, the title of the sorted column tinted, and
// the grid's current row kept in step with the query's current record both ways.

#include <QAbstractTableModel>
#include <QColor>
#include <QList>
#include <QString>

class TLogGrid;
class TTableQuery;

class TRefTableModel : public QAbstractTableModel
{
    Q_OBJECT
public:
    struct TColumn {
        QString field;
        QString title;
        int width;
    };
    // The title colour of the column that sets the order.
    static const QColor SortTitleBackground;

    TRefTableModel(TTableQuery *query, const QList<TColumn> &columns, QObject *parent = nullptr);

    // Shows the model in the grid (columns, widths) and ties the grid's current row to the
    // query's current record.
    void Attach(TLogGrid *grid);

    const QList<TColumn> &Columns() const { return m_columns; }
    // The column whose title is tinted; -1 for none.
    void SetSortedColumn(int column);
    int SortedColumn() const { return m_sortedColumn; }
    int ColumnOfField(const QString &field) const;

    int rowCount(const QModelIndex &parent = {}) const override;
    int columnCount(const QModelIndex &parent = {}) const override;
    QVariant data(const QModelIndex &index, int role) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role) const override;

private:
    void queryReset();
    void queryMoved();

    TTableQuery *m_query;
    QList<TColumn> m_columns;
    QList<int> m_fieldIndexes;
    int m_sortedColumn = -1;
    TLogGrid *m_grid = nullptr;
    bool m_syncing = false;
};
