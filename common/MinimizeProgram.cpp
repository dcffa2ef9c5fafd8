#include "MinimizeProgram.h"

#include <QApplication>
#include <QEvent>
#include <QMainWindow>
#include <QWidget>

bool MinimizeProgramInstead(QWidget *dialog, const QEvent *event, QWidget *mainWindow)
{
    if (event->type() != QEvent::WindowStateChange || !dialog->isMinimized())
        return false;
    dialog->setWindowState(dialog->windowState() & ~Qt::WindowMinimized);
    if (mainWindow)
        mainWindow->showMinimized();
    return true;
}

QWidget *VisibleMainWindow()
{
    for (QWidget *widget : QApplication::topLevelWidgets())
        if (qobject_cast<QMainWindow *>(widget) && widget->isVisible())
            return widget;
    return nullptr;
}
