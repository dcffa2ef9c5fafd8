#include "ActionButton.h"

#include <QAction>
#include <QPushButton>

QPushButton *MakeActionButton(QAction *action, const char *name, QWidget *parent)
{
    auto *button = new QPushButton(action->text(), parent);
    button->setObjectName(QLatin1String(name));
    QObject::connect(button, &QPushButton::clicked, action, &QAction::trigger);
    return button;
}
