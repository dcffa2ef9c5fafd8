// Every command of the main window's menus has its handler once the program has bound
// them all; none stays disabled for want of one.

#include "../logbook/MainWindowFixture.h"

#include "AppCommands.h"
#include "BrowseCommands.h"

#include <QAction>
#include <QTest>

class TestCommandsBound : public QObject
{
    Q_OBJECT

private slots:
    void everyMenuCommandHasItsHandler();
};

void TestCommandsBound::everyMenuCommandHasItsHandler()
{
    MainWindowFixture f;
    InstallBrowseCommands(f.w());
    QVERIFY(!f.w().HasCommandHandler(f.w().actStatTab)); // bound by the application layer
    InstallExchangeCommands(f.w());
    QStringList unbound;
    for (QAction *action : f.w().findChildren<QAction *>(QString(), Qt::FindDirectChildrenOnly))
        if (!action->objectName().isEmpty() && !f.w().HasCommandHandler(action))
            unbound << action->objectName();
    QVERIFY2(unbound.isEmpty(), qPrintable(unbound.join(", ")));
}

QTEST_MAIN(TestCommandsBound)
#include "tst_commandsbound.moc"
