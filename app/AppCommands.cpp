#include "AppCommands.h"

#include "AppGlobals.h"
#include "ExchangeHost.h"
#include "LogTableModel.h"
#include "MainWindow.h"
#include "StatTabWindow.h"

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

void InstallExchangeCommands(TfrmVelkor &window)
{
    const TExchangeHost host = MakeExchangeHost(window);
    window.SetCommandHandler(window.actStatTab, [host] { ShowStatistics(host); });
}
