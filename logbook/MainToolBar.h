#pragma once
// The main window's tool bar. Its background (the style's bevel: a gradient and two
// half-transparent lines across the whole width) costs more to paint than all its buttons
// together, because the lines are blended pixel by pixel, and the main window paints it
// again at every full repaint: while a log opens, whenever the progress window shows. So
// the background is painted once into a picture and copied from there until the size or
// anything the style draws it from changes. A tool bar that shows its extension button or
// stands as a window of its own is painted by Qt as usual.

#include <QPixmap>
#include <QStyle>
#include <QStyleOptionToolBar>
#include <QToolBar>

class TMainToolBar : public QToolBar
{
    Q_OBJECT
public:
    explicit TMainToolBar(const QString &title, QWidget *parent = nullptr);

protected:
    void paintEvent(QPaintEvent *event) override;

private:
    // Everything the style's tool bar background is drawn from.
    struct Look
    {
        QSize size;
        qreal pixelRatio = 1;
        const QStyle *style = nullptr;
        qint64 palette = 0;
        QStyle::State state;
        Qt::LayoutDirection direction = Qt::LeftToRight;
        Qt::ToolBarArea area = Qt::NoToolBarArea;
        QStyleOptionToolBar::ToolBarPosition line = QStyleOptionToolBar::OnlyOne;
        QStyleOptionToolBar::ToolBarPosition withinLine = QStyleOptionToolBar::OnlyOne;
        QStyleOptionToolBar::ToolBarFeatures features;
        int lineWidth = 0;
        int midLineWidth = 0;
        bool operator==(const Look &) const = default;
    };
    Look look(const QStyleOptionToolBar &option) const;
    bool paintsAsUsual() const;
    void paintBackground(QPainter *painter, QStyleOptionToolBar option) const;

    QPixmap m_background;
    Look m_backgroundLook;
};
