#pragma once
// What the logbook's dialogs share for their commands: how an action is made and how a
// window's help page is opened.

#include <QKeySequence>
#include <QList>
#include <QString>

class QAction;
class QWidget;

// An action of `owner`, named (the help and the tests find it by name), with its caption,
// hint and shortcuts; the shortcuts work wherever the focus is in the window. Without a
// hint the tool tip is the caption without its accelerator mark.
QAction *MakeWindowAction(QWidget *owner, const char *name, const QString &caption, const QString &hint,
                          const QList<QKeySequence> &shortcuts = {});

// Opens the help page of a window, Help/<topic>.html beside the program, in the help
// window; without the help (no Help/BaseInfo.html) nothing opens.
void ShowHelpTopic(const QString &appDir, const QString &topic);
