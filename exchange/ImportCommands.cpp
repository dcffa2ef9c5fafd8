#include "ImportCommands.h"

#include "DmLog.h"
#include "ExchangeHost.h"
#include "FileDialogs.h"
#include "ImportOptions.h"
#include "ImportOptionsDialog.h"
#include "ImportWindow.h"

void ImportAdifCommand(const TExchangeHost &host)
{
    const QString fileName = FileDialogs::getOpenFileName(
        host.mainWindow, QStringLiteral("Otevřít"), QString(),
        QStringLiteral("ADIF (*.adi *.adf);;Všechny soubory (*)"));
    if (fileName.isEmpty())
        return;
    TImportOptions options = ImportOptionsPreset(TImportSource::Adif, host.dm->UserOptions);
    {
        TfrmImportOptions dialog(&host);
        if (!dialog.Execute(options, ImportDisableFor(TImportSource::Adif)))
            return;
    }
    bool appended = false;
    {
        TfrmImport window(host);
        appended = window.ImportAdif(fileName, options);
    }
    if (appended && host.refreshLog)
        host.refreshLog();
}

QList<QPair<QAction *, std::function<void()>>> ImportCommands(const std::function<TExchangeHost()> &makeHost,
                                                              QAction *actImportADIF, QAction *actImportTrevan,
                                                              QAction *actImportOstrel)
{
    // The two older log tables get their commands with their readers.
    Q_UNUSED(actImportTrevan);
    Q_UNUSED(actImportOstrel);
    return {{actImportADIF, [makeHost] { ImportAdifCommand(makeHost()); }}};
}
