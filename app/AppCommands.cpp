#include "AppCommands.h"

#include "AppGlobals.h"
#include "log/DmLog.h"
#include "ExchangeHost.h"
#include "export/ExportCommands.h"
#include "import/ImportCommands.h"
#include "LogTableModel.h"
#include "MainWindow.h"
#include "print/PrintCommands.h"
#include "statistics/StatTabWindow.h"
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

void InstallPrintCommands(TfrmVelkor &window)
{
    window.SetCommandHandler(window.actPrintQSL, [&window] {
        PrintQslLabels(MakeExchangeHost(window), [&window](int step) { window.QSLSortProgress(step); });
    });
    window.SetCommandHandler(window.actPrintLog, [&window] { PrintLog(MakeExchangeHost(window)); });
}

namespace {

void InstallExportCommands(TfrmVelkor &window)
{
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
    // Each command makes the main window's view when it runs: the progress window is made
    // after the commands are bound.
    for (const auto &[action, handler] : ImportCommands([&window] { return MakeExchangeHost(window); },
                                                        window.actImportADIF, window.actImportTrevan,
                                                        window.actImportOstrel))
        window.SetCommandHandler(action, handler);
    InstallExportCommands(window);
    InstallPrintCommands(window);
    window.SetCommandHandler(window.actStatTab, [&window] { ShowStatistics(MakeExchangeHost(window)); });
}
