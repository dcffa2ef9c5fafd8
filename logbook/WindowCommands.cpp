#include "WindowCommands.h"

#include "system/HelpViewer.h"

#include <QAction>
#include <QWidget>

QAction *MakeWindowAction(QWidget *owner, const char *name, const QString &caption, const QString &hint,
                          const QList<QKeySequence> &shortcuts)
{
    auto *action = new QAction(caption, owner);
    action->setObjectName(QLatin1String(name));
    action->setToolTip(hint.isEmpty() ? QString(caption).remove(u'&') : hint);
    action->setStatusTip(hint);
    action->setShortcuts(shortcuts);
    action->setShortcutContext(Qt::WindowShortcut);
    owner->addAction(action);
    return action;
}

void ShowHelpTopic(const QString &appDir, const QString &topic)
{
    HelpViewer::SetAppDir(appDir);
    HelpViewer::ShowTopic(topic);
}
