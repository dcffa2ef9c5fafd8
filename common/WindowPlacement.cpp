#include "WindowPlacement.h"

#include <QGuiApplication>
#include <QRect>
#include <QScreen>
#include <QWidget>

QRect OwnerArea(const QWidget *owner, const QWidget *window)
{
    const QWidget *top = owner ? owner->window() : nullptr;
    if (top && top->isVisible() && !top->isMinimized()) {
        // A maximised window's geometry is final only once the window system has mapped
        // it; its place is known before: the work area of its screen.
        if (top->isMaximized() && top->screen())
            return top->screen()->availableGeometry();
        return top->frameGeometry();
    }
    QScreen *screen = window && window->screen() ? window->screen() : QGuiApplication::primaryScreen();
    return screen ? screen->availableGeometry() : QRect();
}

void CentreOnOwner(QWidget *window, const QWidget *owner)
{
    const QRect area = OwnerArea(owner, window);
    if (!area.isValid())
        return;
    QRect frame = window->frameGeometry();
    frame.moveCenter(area.center());
    window->move(frame.topLeft());
}
