#include "FocusKeys.h"

#include <QApplication>
#include <QTest>
#include <QWidget>
#include <QWindow>

bool ActivateWindow(QWidget *window)
{
    if (!window)
        return false;
    QWidget *top = window->window();
    top->show();
    top->raise();
    top->activateWindow();
    QApplication::setActiveWindow(top);
    return QTest::qWaitForWindowActive(top) || QApplication::activeWindow() == top;
}

QWidget *FocusedWidget()
{
    if (QWidget *popup = QApplication::activePopupWidget())
        return popup->focusWidget() ? popup->focusWidget() : popup;
    return QApplication::focusWidget();
}

bool SendKeyToActive(int key, Qt::KeyboardModifiers modifiers)
{
    QWidget *target = FocusedWidget();
    if (!target)
        return false;
    QTest::keyClick(target, Qt::Key(key), modifiers);
    return true;
}

bool SendKey(QWidget *window, int key, Qt::KeyboardModifiers modifiers)
{
    if (!ActivateWindow(window))
        return false;
    return SendKeyToActive(key, modifiers);
}

bool TypeIntoFocus(const QString &text)
{
    QWidget *target = FocusedWidget();
    if (!target)
        return false;
    QTest::keyClicks(target, text);
    return true;
}

bool SendSystemKey(QWidget *window, int key, Qt::KeyboardModifiers modifiers)
{
    if (!window)
        return false;
    QWidget *top = window->window();
    ActivateWindow(top);
    QWindow *native = top->windowHandle();
    if (!native)
        return false;
    // The window overload of the test keys goes through the window system's key path.
    QTest::keyClick(native, Qt::Key(key), modifiers);
    return true;
}
