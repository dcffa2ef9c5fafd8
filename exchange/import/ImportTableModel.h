#pragma once
// The table model of the import review grid over the query of the staging table: the 18
// columns of the review, the display of the coded fields, the row colours (current row,
// marks) and the marks themselves, held by the staged records' IDs.

#include "log/LogQuery.h"

#include <QAbstractTableModel>
#include <QColor>
#include <QList>
#include <QSet>

#include <array>

inline constexpr int ImportColumnCount = 18;
// The log field shown in each column, and the column titles.
extern const std::array<int, ImportColumnCount> ImportColumnFields;
extern const std::array<const char *, ImportColumnCount> ImportColumnTitles;

// The column widths for a screen of that width in pixels: tables for 1024, 1152 and 1280
// to 1600 pixels; any other width keeps the design widths.
std::array<int, ImportColumnCount> ImportColumnWidths(int screenWidth);

class TImportTableModel : public QAbstractTableModel
{
    Q_OBJECT
public:
    static const QColor CurrentFont;       // white
    static const QColor CurrentBackground; // $6A240A
    static const QColor MarkedFont;        // black
    static const QColor MarkedBackground;  // yellow
    static const QColor MarkedCurrentFont; // yellow, on CurrentBackground

    explicit TImportTableModel(LogQuery *query, QObject *parent = nullptr);

    LogQuery *query() const { return m_query; }
    QString CellText(int row, int column) const;

    // --- marks, by ID ---
    bool IsMarked(TBookmark id) const { return m_marks.contains(id); }
    void ToggleMark(TBookmark id);
    void MarkAll();
    void ClearMarks();
    int MarkCount() const { return int(m_marks.size()); }
    // The marked IDs in the grid's order.
    QList<TBookmark> Marks() const;

    int rowCount(const QModelIndex &parent = QModelIndex()) const override;
    int columnCount(const QModelIndex &parent = QModelIndex()) const override;
    QVariant data(const QModelIndex &index, int role = Qt::DisplayRole) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role = Qt::DisplayRole) const override;

signals:
    // The query's current row (-1 when none), for the view to follow.
    void currentRowChanged(int row);

private:
    void queryReset();
    void queryCurrentChanged();
    void rowChanged(int row);

    LogQuery *m_query;
    int m_rowCount = 0;
    int m_currentRow = -1;
    QSet<TBookmark> m_marks;
};
