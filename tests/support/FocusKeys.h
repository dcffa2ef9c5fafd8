#pragma once
// Keys as a person's key press arrives: not at a widget the test picks, but at the widget that
// holds the keyboard focus in the active window. An editable combo box, for example, takes the
// focus from its line edit, so only this way shows what a real Enter in it does.

#include <QString>
#include <Qt>

class QWidget;

// Shows the window, raises and activates it and waits until it is the active window; false when
// it does not become active.
bool ActivateWindow(QWidget *window);

// The widget that has the keyboard focus in the active window (the modal or popup window that
// is on top, when there is one), or nullptr.
QWidget *FocusedWidget();

// Activates the window, then sends the key to the focused widget, as press and release; false
// when the window cannot be activated or nothing has the focus. Keypad Enter is
// Qt::Key_Enter with Qt::KeypadModifier.
bool SendKey(QWidget *window, int key, Qt::KeyboardModifiers modifiers = Qt::NoModifier);

// The same for a key into whatever window is active now (a modal dialog opened by the code
// under test, a popup list).
bool SendKeyToActive(int key, Qt::KeyboardModifiers modifiers = Qt::NoModifier);

// Types the text into the focused widget of the active window, key by key.
bool TypeIntoFocus(const QString &text);

// The key as the window system hands it over: to the window's native window, which passes it
// to its focused widget, unless a modal window blocks that window (then the key is lost, as
// a person's would be). The window is shown and activated first; false when it has no
// native window.
bool SendSystemKey(QWidget *window, int key, Qt::KeyboardModifiers modifiers = Qt::NoModifier);
