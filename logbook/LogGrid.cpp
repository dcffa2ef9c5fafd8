#include "LogGrid.h"
#include "LogGridScrollBar.h"

#include <QHeaderView>
#include <QScrollBar>
#include <QWheelEvent>

#include <algorithm>
#include <cmath>

namespace
{

constexpr int WheelStep = 120; // one notch of a standard mouse wheel

} // namespace

TLogGrid::TLogGrid(QWidget *parent) : QTableView(parent)
{
    setVerticalScrollBar(new TLogGridScrollBar(Qt::Vertical, this));
    // Connected after the view's own handler, so the view has scrolled when this runs.
    connect(verticalScrollBar(), &QScrollBar::valueChanged, this, [this] { thumbMoved(); });
}

int TLogGrid::topRow() const
{
    return rowAt(0);
}

int TLogGrid::Row() const
{
    const QModelIndex current = currentIndex();
    const int top = topRow();
    if (!current.isValid() || top < 0)
        return 0;
    const int screenRow = current.row() - top + 1;
    return (screenRow >= 1 && screenRow <= VisibleRowCount()) ? screenRow : 0;
}

int TLogGrid::VisibleRowCount() const
{
    const int top = topRow();
    if (top < 0)
        return 0;
    const int height = viewport()->height();
    int count = 0;
    const int rows = model() ? model()->rowCount(rootIndex()) : 0;
    for (int row = top; row < rows; ++row) {
        if (isRowHidden(row))
            continue;
        if (rowViewportPosition(row) + rowHeight(row) > height)
            break;
        ++count;
    }
    return count;
}

int TLogGrid::RowCount() const
{
    return VisibleRowCount() + 1;
}

void TLogGrid::ShowCurrentOnRow(int screenRow)
{
    const QModelIndex current = currentIndex();
    if (!current.isValid())
        return;
    const int top = std::max(0, current.row() - std::max(1, screenRow) + 1);
    scrollTo(model()->index(top, current.column(), rootIndex()), QAbstractItemView::PositionAtTop);
}

void TLogGrid::MoveCurrent(int delta)
{
    QAbstractItemModel *m = model();
    if (!m || delta == 0)
        return;
    const QModelIndex current = currentIndex();
    const int row = current.isValid() ? current.row() : (delta > 0 ? -1 : 0);
    int target = row + delta;
    // A model that loads its rows lazily gets the next ones when the move runs past the end.
    while (target >= m->rowCount(rootIndex()) && m->canFetchMore(rootIndex()))
        m->fetchMore(rootIndex());
    target = std::clamp(target, 0, m->rowCount(rootIndex()) - 1);
    if (target >= 0 && !(current.isValid() && target == row))
        moveTo(target, true);
}

void TLogGrid::moveTo(int row, bool scroll)
{
    const QModelIndex current = currentIndex();
    const int column =
        current.isValid() ? current.column() : std::max(0, horizontalHeader()->logicalIndexAt(0));
    const QModelIndex next = model()->index(row, column, rootIndex());
    // Moving the record keeps the marks of a multi-selection; a single selection follows.
    const bool keepsMarks = selectionMode() == QAbstractItemView::MultiSelection ||
                            selectionMode() == QAbstractItemView::ExtendedSelection;
    QItemSelectionModel::SelectionFlags flags = QItemSelectionModel::NoUpdate;
    if (!keepsMarks && selectionMode() != QAbstractItemView::NoSelection) {
        flags = QItemSelectionModel::ClearAndSelect;
        if (selectionBehavior() == QAbstractItemView::SelectRows)
            flags |= QItemSelectionModel::Rows;
    }
    const bool autoScrolls = hasAutoScroll();
    setAutoScroll(scroll);
    selectionModel()->setCurrentIndex(next, flags);
    setAutoScroll(autoScrolls);
    if (scroll)
        scrollTo(next);
}

void TLogGrid::wheelEvent(QWheelEvent *event)
{
    const int dy = event->angleDelta().y();
    if (dy == 0 || !model()) {
        QTableView::wheelEvent(event); // sideways wheels scroll the columns
        return;
    }
    m_wheelRemainder += dy;
    const int steps = m_wheelRemainder / WheelStep;
    m_wheelRemainder -= steps * WheelStep;
    // Wheel away from the user (positive) goes to the previous record.
    for (int i = 0; i < std::abs(steps); ++i)
        MoveCurrent(steps > 0 ? -1 : 1);
    event->accept();
}

// While the operator drags the thumb the current record follows it: the thumb's place
// in its range is the place of the record in the model.
void TLogGrid::thumbMoved()
{
    QScrollBar *bar = verticalScrollBar();
    if (!bar->isSliderDown() || !model())
        return;
    const int rows = model()->rowCount(rootIndex());
    if (rows <= 0 || rows >= ThumbTrackLimit)
        return; // large models scroll as an ordinary view
    const int span = bar->maximum() - bar->minimum();
    const double fraction = span > 0 ? double(bar->value() - bar->minimum()) / span : 0.0;
    const int target = int(std::lround(fraction * (rows - 1)));
    const QModelIndex current = currentIndex();
    if (!current.isValid() || current.row() != target)
        moveTo(target, false); // the thumb sets the view's place, not the record
}
