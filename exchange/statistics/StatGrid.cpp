#include "statistics/StatGrid.h"

#include "radio/Amater.h"
#include "statistics/AwardStatistics.h"

#include <QFontMetrics>
#include <QKeyEvent>
#include <QPainter>
#include <QScrollBar>
#include <QWheelEvent>

namespace {

const QColor HeaderColour(232, 239, 247);
const QColor EvenRowColour(248, 248, 248);
const QColor NameColour(0, 128, 0);
const QColor Silver(192, 192, 192);

QString cellText(const TStatCell &cell)
{
    return QStringLiteral("%1/%2").arg(cell.Confirmed).arg(cell.Worked);
}

} // namespace

void DrawStatGridCell(QPainter &painter, const QRect &rect, const QString &text, int alignment)
{
    const QRect inner = rect.adjusted(StatCellMargin, 0, -StatCellMargin, 0);
    Qt::Alignment flags = Qt::AlignVCenter;
    flags |= alignment == 1 ? Qt::AlignRight : alignment == 2 ? Qt::AlignHCenter : Qt::AlignLeft;
    // Plain drawText treats '&' as an ordinary character; the text is clipped to the cell.
    painter.save();
    painter.setClipRect(inner, Qt::IntersectClip);
    painter.drawText(inner, int(flags) | Qt::TextSingleLine, text);
    painter.restore();
}

TStatGrid::TStatGrid(const TAwardStatistics &statistics, QWidget *parent)
    : QAbstractScrollArea(parent), m_statistics(statistics)
{
    setObjectName(QStringLiteral("dgdStat"));
    setFocusPolicy(Qt::StrongFocus);
    verticalScrollBar()->setSingleStep(1);
    horizontalScrollBar()->setSingleStep(1);
    connect(verticalScrollBar(), &QScrollBar::valueChanged, viewport(), qOverload<>(&QWidget::update));
    connect(horizontalScrollBar(), &QScrollBar::valueChanged, viewport(), qOverload<>(&QWidget::update));
    updateScrollRanges();
}

void TStatGrid::SetRowCount(int rows)
{
    m_rowCount = std::max(rows, FixedRows + 1);
    updateScrollRanges();
    viewport()->update();
}

void TStatGrid::SetFirstColumnWidth(int width)
{
    m_firstColumnWidth = std::max(width, firstColumnTextWidth() + 2 * StatCellMargin);
    updateScrollRanges();
    viewport()->update();
}

// The widest text of the first column in the font it is drawn with.
int TStatGrid::firstColumnTextWidth() const
{
    QFont bold = viewport()->font();
    bold.setBold(true);
    const QFontMetrics regularMetrics(viewport()->font());
    const QFontMetrics boldMetrics(bold);
    int widest = 0;
    for (int row = 0; row < m_rowCount; ++row) {
        const TCellLook look = CellLook(0, row);
        widest = std::max(widest, (look.bold ? boldMetrics : regularMetrics).horizontalAdvance(look.text));
    }
    return widest;
}

int TStatGrid::ColumnWidth(int column) const
{
    return column == 0 ? m_firstColumnWidth : DefaultColumnWidth;
}

int TStatGrid::RowHeight() const
{
    return fontMetrics().height() + 6;
}

int TStatGrid::TopRow() const
{
    return FixedRows + verticalScrollBar()->value();
}

int TStatGrid::LeftCol() const
{
    return 1 + horizontalScrollBar()->value();
}

void TStatGrid::SetTopRow(int row)
{
    verticalScrollBar()->setValue(row - FixedRows);
}

void TStatGrid::SetLeftCol(int column)
{
    horizontalScrollBar()->setValue(column - 1);
}

int TStatGrid::visibleDataRows() const
{
    return std::max(1, (viewport()->height() - FixedRows * RowHeight()) / RowHeight());
}

int TStatGrid::MaxLeftCol() const
{
    // Walk back from the last column while the columns still fit beside the fixed one.
    const int room = viewport()->width() - ColumnWidth(0);
    int used = 0;
    int column = ColumnCount;
    while (column > 1 && used + ColumnWidth(column - 1) <= room) {
        used += ColumnWidth(column - 1);
        --column;
    }
    return std::max(1, column == ColumnCount ? ColumnCount - 1 : column);
}

void TStatGrid::updateScrollRanges()
{
    const int dataRows = m_rowCount - FixedRows;
    verticalScrollBar()->setRange(0, std::max(0, dataRows - visibleDataRows()));
    verticalScrollBar()->setPageStep(visibleDataRows());
    horizontalScrollBar()->setRange(0, MaxLeftCol() - 1);
    horizontalScrollBar()->setPageStep(std::max(1, (viewport()->width() - ColumnWidth(0)) / DefaultColumnWidth));
}

void TStatGrid::resizeEvent(QResizeEvent *event)
{
    QAbstractScrollArea::resizeEvent(event);
    updateScrollRanges();
}

TStatGrid::TCellLook TStatGrid::CellLook(int column, int row) const
{
    TCellLook look;
    look.colour = Qt::black;
    look.alignment = column == 0 ? 0 : 2;
    const int band = column - 1;
    if (row == 0) {
        look.text = column == 0 ? CaptionHeader : BandNames[band];
        look.colour = NameColour;
        look.bold = true;
    } else if (row == 1) {
        look.text = column == 0 ? CaptionEntities : cellText(m_statistics.EntityTotals[band]);
        look.bold = true;
    } else if (row == 2) {
        look.text = column == 0 ? CaptionQSOs : cellText(m_statistics.QSOTotals[band]);
    } else if (row - FixedRows < m_statistics.Rows.size()) {
        const TStatRow &unit = m_statistics.Rows[row - FixedRows];
        if (column == 0) {
            look.text = unit.Name;
            look.colour = NameColour;
            look.bold = true;
        } else if (unit.Cells[band].Worked > 0) {
            look.text = cellText(unit.Cells[band]);
            look.bold = unit.Cells[band].Confirmed > 0;
        }
    }
    return look;
}

void TStatGrid::drawCell(QPainter &painter, int column, int row, const QRect &rect)
{
    const QColor fill = row < FixedRows ? HeaderColour : (row % 2 ? QColor(Qt::white) : EvenRowColour);
    painter.fillRect(rect, fill);
    painter.setPen(column == 0 || column == ColumnCount - 1 ? QColor(Qt::black) : Silver);
    painter.drawLine(rect.topRight(), rect.bottomRight());
    if (row == 0 || row == 2 || row == m_rowCount - 1) {
        painter.setPen(row == 0 ? Silver : QColor(Qt::black));
        painter.drawLine(rect.bottomLeft(), rect.bottomRight());
    }
    const TCellLook look = CellLook(column, row);
    QFont font = painter.font();
    font.setBold(look.bold);
    painter.setFont(font);
    painter.setPen(look.colour);
    DrawStatGridCell(painter, rect, look.text, look.alignment);
}

void TStatGrid::paintEvent(QPaintEvent *)
{
    QPainter painter(viewport());
    painter.fillRect(viewport()->rect(), palette().window());
    const int height = RowHeight();
    QList<int> rows{0, 1, 2};
    for (int row = TopRow(); row < m_rowCount && int(rows.size()) * height < viewport()->height(); ++row)
        rows << row;
    QList<int> columns{0};
    int right = ColumnWidth(0);
    for (int column = LeftCol(); column < ColumnCount && right < viewport()->width(); ++column) {
        columns << column;
        right += ColumnWidth(column);
    }
    int y = 0;
    for (int row : std::as_const(rows)) {
        int x = 0;
        for (int column : std::as_const(columns)) {
            drawCell(painter, column, row, QRect(x, y, ColumnWidth(column), height));
            x += ColumnWidth(column);
        }
        y += height;
    }
}

void TStatGrid::keyPressEvent(QKeyEvent *event)
{
    QScrollBar *rows = verticalScrollBar();
    QScrollBar *columns = horizontalScrollBar();
    switch (event->key()) {
    case Qt::Key_End: rows->setValue(rows->maximum()); break;
    case Qt::Key_Home: rows->setValue(rows->minimum()); break;
    case Qt::Key_Up: rows->setValue(rows->value() - 1); break;
    case Qt::Key_Down: rows->setValue(rows->value() + 1); break;
    case Qt::Key_Left: columns->setValue(columns->value() - 1); break;
    case Qt::Key_Right: columns->setValue(columns->value() + 1); break;
    default: QAbstractScrollArea::keyPressEvent(event); return;
    }
    event->accept();
}

void TStatGrid::wheelEvent(QWheelEvent *event)
{
    // 120 is one notch of a wheel; smaller turns add up until they make one.
    m_wheelRest += event->angleDelta().y();
    const int steps = m_wheelRest / 120;
    m_wheelRest -= steps * 120;
    if (steps != 0)
        verticalScrollBar()->setValue(verticalScrollBar()->value() - steps);
    event->accept();
}
