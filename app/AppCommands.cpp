#include "AppCommands.h"

#include "AppGlobals.h"
#include "ExchangeHost.h"
#include "LogTableModel.h"
#include "MainWindow.h"
#include "PrintCommands.h"

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
    return host;
}

void InstallPrintCommands(TfrmVelkor &window)
{
    const TExchangeHost host = MakeExchangeHost(window);
    window.SetCommandHandler(window.actPrintQSL, [host, &window] {
        PrintQslLabels(host, [&window](int step) { window.QSLSortProgress(step); });
    });
    window.SetCommandHandler(window.actPrintLog, [host] { PrintLog(host); });
}

void InstallExchangeCommands(TfrmVelkor &window)
{
    // Each exchange command is bound here as it is built.
    InstallPrintCommands(window);
}
