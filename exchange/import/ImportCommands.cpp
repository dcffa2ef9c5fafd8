#include "import/ImportCommands.h"

#include "log/DmLog.h"
#include "ExchangeHost.h"
#include "FileDialogs.h"
#include "import/ImportOptions.h"
#include "import/ImportOptionsDialog.h"
#include "import/ImportWindow.h"
#include "import/OldTableImport.h"

namespace {

// One pattern for every import: the file, the options, the review, the grid refreshed
// when records were appended.
void importCommand(const TExchangeHost &host, TImportSource source, const QString &filter,
                   const std::function<bool(TfrmImport &, const QString &, const TImportOptions &)> &import)
{
    const QString fileName = FileDialogs::getOpenFileName(host.mainWindow, QStringLiteral("Otevřít"), QString(), filter);
    if (fileName.isEmpty())
        return;
    TImportOptions options = ImportOptionsPreset(source, host.dm->UserOptions);
    {
        TfrmImportOptions dialog(&host);
        if (!dialog.Execute(options, ImportDisableFor(source)))
            return;
    }
    bool appended = false;
    {
        TfrmImport window(host);
        appended = import(window, fileName, options);
    }
    if (appended && host.refreshLog)
        host.refreshLog();
}

} // namespace

void ImportAdifCommand(const TExchangeHost &host)
{
    importCommand(host, TImportSource::Adif, QStringLiteral("ADIF (*.adi *.adf);;Všechny soubory (*)"),
                  [](TfrmImport &window, const QString &file, const TImportOptions &options) {
                      return window.ImportAdif(file, options);
                  });
}

void ImportTrevanCommand(const TExchangeHost &host)
{
    importCommand(host, TImportSource::Trevan, QStringLiteral("Databáze deníku Trevan (denik.dbf)"),
                  [&host](TfrmImport &window, const QString &file, const TImportOptions &options) {
                      return ImportTrevanDb(window, host, file, options);
                  });
}

void ImportOstrelCommand(const TExchangeHost &host)
{
    importCommand(host, TImportSource::Ostrel, QStringLiteral("Databáze deníku Ostrel (*.db)"),
                  [&host](TfrmImport &window, const QString &file, const TImportOptions &options) {
                      return ImportOstrelDb(window, host, file, options);
                  });
}

QList<QPair<QAction *, std::function<void()>>> ImportCommands(const std::function<TExchangeHost()> &makeHost,
                                                              QAction *actImportADIF,
                                                              QAction *actImportTrevan,
                                                              QAction *actImportOstrel)
{
    return {{actImportADIF, [makeHost] { ImportAdifCommand(makeHost()); }},
            {actImportTrevan, [makeHost] { ImportTrevanCommand(makeHost()); }},
            {actImportOstrel, [makeHost] { ImportOstrelCommand(makeHost()); }}};
}
