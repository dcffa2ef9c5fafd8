#pragma once
// The grid of the logbook's list windows (log, earlier QSOs, import review, callbook,
// DXCC/IOTA lists). It shows any table model and behaves like a record browser: the
// mouse wheel moves the current record by one per step, and dragging the scroll thumb
// moves the current record to the matching record number.

#include <QTableView>

class TLogGrid : public QTableView
{
    Q_OBJECT
    Q_PROPERTY(int Row READ Row)
    Q_PROPERTY(int RowCount READ RowCount)
    Q_PROPERTY(int VisibleRowCount READ VisibleRowCount)
public:
    // Thumb dragging moves the record only while the model has fewer rows than this.
    static constexpr int ThumbTrackLimit = 65535;

    explicit TLogGrid(QWidget *parent = nullptr);

    // Screen rows count the title row as row 0: the first visible data row is row 1.
    // Row: the screen row of the current record (0 when there is none on screen).
    int Row() const;
    // The data rows fully visible in the viewport.
    int VisibleRowCount() const;
    // The rows on screen including the title row: VisibleRowCount() + 1.
    int RowCount() const;
    // Scrolls so that the current record shows on screen row screenRow (1-based), as far
    // as the rows before it allow.
    void ShowCurrentOnRow(int screenRow);

    // Moves the current record by delta rows (within the model), as one wheel step does.
    void MoveCurrent(int delta);

    // Typed text searches nothing: the log grid goes by its commands, and a search
    // through every row of a large log would stall the window.
    void keyboardSearch(const QString &) override {}

protected:
    void wheelEvent(QWheelEvent *event) override;

private:
    void moveTo(int row, bool scroll);
    void thumbMoved();
    int topRow() const;

    int m_wheelRemainder = 0; // partial steps of high-resolution wheels
};
