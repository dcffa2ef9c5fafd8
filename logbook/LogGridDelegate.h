#pragma once
// Paints the cells of the main window's log grid: the background and text colours, the
// alignment and the focus frame that the model and the style give, the text on one line
// cut with an ellipsis where the column is too narrow, as the standard delegate shows it.
//
// The grid is painted whole whenever it scrolls, which saving a QSO makes it do, so its
// cells are drawn directly rather than through the style's general item layout (which
// lays each text out twice, for its size and for drawing), and the texts are kept laid out
// between paints: scrolled by a row, the grid shows nearly the same texts again. Cells
// the direct path does not cover (icons, check boxes, several lines, selection) go to the
// standard delegate.

#include <QFont>
#include <QHash>
#include <QStaticText>
#include <QStyledItemDelegate>

class TLogGridDelegate : public QStyledItemDelegate
{
    Q_OBJECT
public:
    using QStyledItemDelegate::QStyledItemDelegate;

    void paint(QPainter *painter, const QStyleOptionViewItem &option, const QModelIndex &index) const override;

private:
    const QStaticText &laidOut(const QString &text, const QFont &font) const;

    mutable QFont m_font; // the font the kept texts were laid out in
    mutable QHash<QString, QStaticText> m_texts;
};
