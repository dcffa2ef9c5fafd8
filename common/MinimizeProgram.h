#pragma once
// Minimising one of the program's dialogs minimises the whole program: a dialog minimised
// on its own would leave its main window blocked with nothing on screen to return to.

class QEvent;
class QWidget;

// For a dialog's changeEvent: when `event` minimised `dialog`, the dialog is restored and
// `mainWindow` (if any) is minimised instead. True when it did so.
bool MinimizeProgramInstead(QWidget *dialog, const QEvent *event, QWidget *mainWindow);

// The program's main window while it is shown, for dialogs that keep no pointer to it;
// null when there is none.
QWidget *VisibleMainWindow();
