#pragma once
// A push button that runs an action: the dialogs keep their commands as actions (with
// shortcuts and object names the tests find) and show some of them as buttons.

class QAction;
class QPushButton;
class QWidget;

// A button named `name` with the action's caption; clicking it triggers the action.
QPushButton *MakeActionButton(QAction *action, const char *name, QWidget *parent);
