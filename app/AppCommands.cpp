#include "AppCommands.h"

#include "AppGlobals.h"
#include "ExchangeHost.h"
#include "ExportCommands.h"
#include "LogTableModel.h"
#include "MainWindow.h"

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

namespace
{

void InstallExportCommands(TfrmVelkor &window)
{
    // The host is made when a command runs: the progress window is created after the
    // commands are installed.
    const auto bind = [&window](QAction *action, void (*command)(const TExchangeHost &)) {
        window.SetCommandHandler(action, [&window, command] { command(MakeExchangeHost(window)); });
    };
    bind(window.actExportAdif, ExportAdifCommand);
    bind(window.actExportADIFshort, ExportAdifShortCommand);
    bind(window.actExportCSV, ExportCsvCommand);
    bind(window.actExportTXT, ExportTxtCommand);
    bind(window.actExportXLS, ExportXlsCommand);
}

} // namespace

void InstallExchangeCommands(TfrmVelkor &window)
{
    // Each exchange command is bound here as it is built.
    InstallExportCommands(window);
}
