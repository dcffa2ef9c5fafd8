#pragma once
// The statistics table: three fixed caption rows (band names, unit totals, QSO totals)
// and one fixed column of unit names over the band columns, all drawn cell by cell.
// The keys and the wheel move the view, not a cell cursor.

#include <QAbstractScrollArea>

class TAwardStatistics;

// Room between a cell's edges and its text.
inline constexpr int StatCellMargin = 3;

// Draws one cell text in `rect` narrowed by StatCellMargin pixels on either side, on one line,
// vertically centred; alignment 0 left, 1 right, 2 centre; '&' is an ordinary character.
void DrawStatGridCell(QPainter &painter, const QRect &rect, const QString &text, int alignment);

class TStatGrid : public QAbstractScrollArea
{
    Q_OBJECT
public:
    static constexpr int FixedRows = 3;
    static constexpr int ColumnCount = 30; // unit names, then band indexes 0..28
    static constexpr int DefaultColumnWidth = 68;

    TStatGrid(const TAwardStatistics &statistics, QWidget *parent = nullptr);

    QString CaptionHeader, CaptionEntities, CaptionQSOs;

    // Rows in all, the fixed ones included.
    int RowCount() const { return m_rowCount; }
    void SetRowCount(int rows);
    // The first column gets the width, or more where its captions and unit names need it
    // to be shown whole in the grid's font.
    void SetFirstColumnWidth(int width);
    int ColumnWidth(int column) const;
    int RowHeight() const;

    // The first data row and the first band column in view.
    int TopRow() const;
    int LeftCol() const;
    void SetTopRow(int row);
    void SetLeftCol(int column);
    // The largest first band column that still fills the view.
    int MaxLeftCol() const;

    // The text, alignment and look of a cell as it is drawn.
    struct TCellLook {
        QString text;
        int alignment = 0;
        QColor colour;
        bool bold = false;
    };
    TCellLook CellLook(int column, int row) const;

protected:
    void paintEvent(QPaintEvent *event) override;
    void resizeEvent(QResizeEvent *event) override;
    void keyPressEvent(QKeyEvent *event) override;
    void wheelEvent(QWheelEvent *event) override;

private:
    void updateScrollRanges();
    int firstColumnTextWidth() const;
    int visibleDataRows() const;
    void drawCell(QPainter &painter, int column, int row, const QRect &rect);

    const TAwardStatistics &m_statistics;
    int m_rowCount = FixedRows + 1;
    int m_firstColumnWidth = 245;
    int m_wheelRest = 0; // wheel turn not yet worth a whole step (touchpads send small ones)
};
