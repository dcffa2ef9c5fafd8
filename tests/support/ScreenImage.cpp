#include "ScreenImage.h"

#include <QGuiApplication>
#include <QPixmap>
#include <QScreen>
#include <QWidget>

QImage WidgetOnScreen(const QWidget *widget)
{
    const QWidget *top = widget->window();
    const QPoint at = widget->mapTo(top, QPoint(0, 0));
    return QGuiApplication::primaryScreen()
        ->grabWindow(top->winId(), at.x(), at.y(), widget->width(), widget->height())
        .toImage()
        .convertToFormat(QImage::Format_RGB32);
}
