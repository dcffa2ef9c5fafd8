#include "WindowCommands.h"

#include <QAction>
#include <QDesktopServices>
#include <QFileInfo>
#include <QUrl>
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
    const QString page = appDir + QStringLiteral("Help/") + topic + QStringLiteral(".html");
    if (QFileInfo::exists(page))
        QDesktopServices::openUrl(QUrl::fromLocalFile(page));
}
