#include "MainToolBar.h"

#include <QPainter>
#include <QToolButton>

TMainToolBar::TMainToolBar(const QString &title, QWidget *parent) : QToolBar(title, parent) {}

TMainToolBar::Look TMainToolBar::look(const QStyleOptionToolBar &option) const
{
    Look result;
    result.size = size();
    result.pixelRatio = devicePixelRatioF();
    result.style = style();
    result.palette = option.palette.cacheKey();
    result.state = option.state;
    result.direction = option.direction;
    result.area = option.toolBarArea;
    result.line = option.positionOfLine;
    result.withinLine = option.positionWithinLine;
    result.features = option.features;
    result.lineWidth = option.lineWidth;
    result.midLineWidth = option.midLineWidth;
    return result;
}

// Qt paints a floating or expanded tool bar with a frame of its own; an expanded one is
// only ever shown through the extension button.
bool TMainToolBar::paintsAsUsual() const
{
    if (isWindow())
        return true;
    const auto *extension = findChild<QToolButton *>(QStringLiteral("qt_toolbar_ext_button"));
    return extension && extension->isVisible();
}

// What QToolBar paints for a tool bar in its place in the window.
void TMainToolBar::paintBackground(QPainter *painter, QStyleOptionToolBar option) const
{
    style()->drawControl(QStyle::CE_ToolBar, &option, painter, this);
    option.rect = style()->subElementRect(QStyle::SE_ToolBarHandle, &option, this);
    if (option.rect.isValid())
        style()->drawPrimitive(QStyle::PE_IndicatorToolBarHandle, &option, painter, this);
}

void TMainToolBar::paintEvent(QPaintEvent *event)
{
    if (paintsAsUsual()) {
        QToolBar::paintEvent(event);
        return;
    }
    QStyleOptionToolBar option;
    initStyleOption(&option);
    const Look now = look(option);
    if (m_background.isNull() || !(now == m_backgroundLook)) {
        m_background = QPixmap(size() * now.pixelRatio);
        m_background.setDevicePixelRatio(now.pixelRatio);
        // Whatever the style leaves unpainted shows the window behind, as without the picture.
        m_background.fill(Qt::transparent);
        QPainter picture(&m_background);
        paintBackground(&picture, option);
        m_backgroundLook = now;
    }
    QPainter painter(this);
    painter.drawPixmap(0, 0, m_background);
}
