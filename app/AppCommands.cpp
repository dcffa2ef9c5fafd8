#include "AppCommands.h"

#include "AppGlobals.h"
#include "DmLog.h"
#include "ExchangeHost.h"
#include "ImportCommands.h"
#include "LogTableModel.h"
#include "MainWindow.h"
#include "StatTabWindow.h"
#include "WindowCommands.h"

TExchangeHost MakeExchangeHost(TfrmVelkor &window)
{
    TExchangeHost host;
    host.mainWindow = &window;
    host.dm = &window.dm();
    host.dxccList = DxccList;
    host.progress = frmDialog;
    host.markedIds = [&window] { return window.logModel()->Marks(); };
    host.gridQuery = [&window] { return window.qLog; };
    host.setQSLState = [&window](int field, int value) { window.SetQSLState(field, value); };
    host.refreshLog = [&window] { window.RefreshLog(true, true); };
    host.showHelp = [&window](const QString &topic) { ShowHelpTopic(window.dm().AppDir, topic); };
    return host;
}

void InstallExchangeCommands(TfrmVelkor &window)
{
    // Each command makes the host when it runs: the progress window is made after the
    // commands are bound.
    // Import
    for (const auto &[action, handler] : ImportCommands([&window] { return MakeExchangeHost(window); },
                                                        window.actImportADIF, window.actImportTrevan,
                                                        window.actImportOstrel))
        window.SetCommandHandler(action, handler);

    // Statistics
    window.SetCommandHandler(window.actStatTab, [&window] { ShowStatistics(MakeExchangeHost(window)); });
}
