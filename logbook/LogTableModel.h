#pragma once
// The table model of the main window's log grid over the grid query: one column per log
// field 1..24 (column c shows field c + 1), the texts in the query's display formats and
// the display tables of the coded fields, the cell and title alignments and captions of
// the operator's layout, the row colours (alternating rows, current row, marks) and the
// title colour of the sort column.
//
// It also holds the marks: the set of marked QSOs by their bookmark (ID). Marks live as
// long as the rows they point to: a re-query keeps those still in the result. Closing the
// query alone keeps them (re-opening closes it first); whoever closes the log clears them.
//
// The model follows the query's notices for bound views, so while the query's controls
// are disabled the grid sees neither the new rows nor the moves; the last EnableControls
// brings it up to date at once.

#include "log/LogQuery.h"

#include <QAbstractTableModel>
#include <QColor>
#include <QList>
#include <QSet>
#include <QString>

#include <array>

class LogTableModel : public QAbstractTableModel
{
    Q_OBJECT
public:
    static constexpr int ColumnCount = LogFieldCount - 1;
    static constexpr int fieldOfColumn(int column) { return column + 1; }
    static constexpr int columnOfField(int field) { return field - 1; }

    // Colours of the rows and titles.
    static const QColor OddRowBackground;     // record numbers 1, 3, 5, ...
    static const QColor EvenRowBackground;
    static const QColor CurrentFont;
    static const QColor CurrentBackground;
    static const QColor MarkedFont;
    static const QColor MarkedBackground;
    static const QColor MarkedCurrentFont;     // on CurrentBackground
    static const QColor SortTitleBackground;

    explicit LogTableModel(LogQuery *query, QObject *parent = nullptr);

    LogQuery *query() const { return m_query; }

    // --- layout of the columns, by log field index (1..24) ---
    void SetColumnCaption(int field, const QString &caption);
    QString ColumnCaption(int field) const;
    // Alignments as the settings store them: 0 left, 1 right, 2 centre.
    void SetColumnCaptionAlignment(int field, int alignment);
    void SetColumnAlignment(int field, int alignment);
    int ColumnAlignment(int field) const;
    // The field whose title is coloured as the sort column (1 colours DAT and UTC);
    // 0 colours none.
    void SetSortField(int field);
    int SortField() const { return m_sortField; }

    // Tells the views that the cell texts changed (new display formats).
    void TextsChanged();
    // The text a cell shows: display formats of the query, coded fields through their
    // tables; a code outside its table shows the stored number.
    QString CellText(int row, int field) const;
    // The row the grid shows as current (-1 when none); it follows the query's moves
    // except while the query's controls are disabled.
    int CurrentRow() const { return m_currentRow; }

    // --- marks ---
    bool IsMarked(TBookmark bookmark) const { return m_marks.contains(bookmark); }
    bool IsRowMarked(int row) const;
    void SetMarked(TBookmark bookmark, bool marked);
    void ToggleMark(TBookmark bookmark);
    void ClearMarks();
    // Marks every row of the query.
    void MarkAll();
    int MarkCount() const { return int(m_marks.size()); }
    // The marked bookmarks in query order.
    QList<TBookmark> Marks() const;

    // --- QAbstractItemModel ---
    int rowCount(const QModelIndex &parent = QModelIndex()) const override;
    int columnCount(const QModelIndex &parent = QModelIndex()) const override;
    QVariant data(const QModelIndex &index, int role = Qt::DisplayRole) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role = Qt::DisplayRole) const override;
    Qt::ItemFlags flags(const QModelIndex &index) const override;

signals:
    void marksChanged();
    // The current row after a move or a reset of the query (-1 when none).
    void currentRowChanged(int row);

private:
    void queryReset();
    void queryCurrentChanged();
    void queryRowAboutToBeEdited(bool inserted, int row);
    void queryRowEdited(bool inserted, int row);
    void pruneMarks();
    void rowColoursChanged(int row);
    int rowOfBookmark(TBookmark bookmark) const;

    LogQuery *m_query;
    int m_rowCount = 0;
    int m_currentRow = -1;
    bool m_rowsEdited = false; // rows went or came since the last current-row notice
    int m_sortField = 0;
    std::array<QString, LogFieldCount> m_captions;
    std::array<int, LogFieldCount> m_titleAlignments{};
    std::array<int, LogFieldCount> m_alignments{};
    QSet<TBookmark> m_marks;
};
