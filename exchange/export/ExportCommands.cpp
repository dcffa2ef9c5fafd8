#include "export/ExportCommands.h"

#include "ExchangeHost.h"
#include "export/Export.h"

#include "ComboBoxDialog.h"
#include "export/DesktopOpener.h"
#include "log/DmLog.h"
#include "FileDialogs.h"
#include "base/Messages.h"
#include "ProgressDialog.h"
#include "base/VelkorError.h"

#include <QComboBox>
#include <QDir>
#include <QFileInfo>
#include <QRandomGenerator>

namespace
{

// Six random letters and digits, as QTemporaryFile puts in its names.
QString randomFileTag()
{
    static const QString chars = QStringLiteral("abcdefghijklmnopqrstuvwxyzABCDEFGHIJKLMNOPQRSTUVWXYZ0123456789");
    QString tag;
    for (int i = 0; i < 6; ++i)
        tag += chars[QRandomGenerator::global()->bounded(int(chars.size()))];
    return tag;
}

TDocumentOpener &documentOpener()
{
    static TDocumentOpener opener;
    return opener;
}

bool openDocument(const QString &fileName)
{
    if (documentOpener())
        return documentOpener()(fileName);
    return OpenWithDesktop(fileName);
}

// The folder of the last export in this run; the first dialog opens in the home folder.
QString &lastExportFolder()
{
    static QString folder = QDir::homePath();
    return folder;
}

LogQuery *nonEmptyQuery(const TExchangeHost &host)
{
    LogQuery *query = host.gridQuery ? host.gridQuery() : nullptr;
    return query && query->Active() && !query->IsEmpty() ? query : nullptr;
}

QString operatorCall(const TExchangeHost &host)
{
    return host.dm ? host.dm->UserOptions.Call : QString();
}

QList<TBookmark> marks(const TExchangeHost &host)
{
    return host.markedIds ? host.markedIds() : QList<TBookmark>();
}

// The save dialog with the call sign as the proposed name; a name without extension gets
// the default one. Empty when the operator cancels.
QString askFileName(const TExchangeHost &host, const QString &filterText, const QString &extension)
{
    const QString filter = filterText + QStringLiteral(" (*.") + extension + u')';
    const QString fileName = FileDialogs::getSaveFileName(
        host.mainWindow, QString(), QDir(lastExportFolder()).filePath(operatorCall(host)), filter, extension);
    if (fileName.isEmpty())
        return {};
    lastExportFolder() = QFileInfo(fileName).absolutePath();
    return fileName;
}

// Runs the export with the progress window showing the text; the window closes also when
// the export fails, and a failure is shown. True when the export succeeded.
bool runWithProgress(const TExchangeHost &host, const QString &text,
                     const std::function<void(const TProgressEvent &)> &run)
{
    QString failure;
    {
        TfrmDialogCloser closer(host.progress);
        TProgressEvent progress;
        if (host.progress) {
            host.progress->ShowProgress(text, 0, 100);
            progress = host.progress->ProgressCallback();
        }
        try {
            run(progress);
        } catch (const EVelkorError &e) {
            failure = e.message();
        }
    }
    if (!failure.isEmpty())
        MessageDlgDef(failure, mtError, mbOK, mrOk);
    return failure.isEmpty();
}

const QString AdifFilter = QStringLiteral("Formát ADIF ");
const QString AdifExtension = QStringLiteral("adi");
const QString AdifProgress = QStringLiteral("Exportuji do formátu ADIF ...");

// The folder of the system's temporary files, in which the logbook's own temporary folder
// lies; the logbook's clean-up never touches the workbook there.
QString systemTempFolder(const TExchangeHost &host)
{
    return host.dm ? host.dm->SystemTempDir() : QDir::tempPath();
}

// The workbook is written in the logbook's own temporary folder, which goes with
// whatever is in it at the end of the run and, after a kill, at the next start; so a
// half-written workbook never stays behind.
QString workbookDraftFile(const TExchangeHost &host)
{
    const QString folder = host.dm ? host.dm->TempDir : QDir::tempPath() + u'/';
    return folder + QStringLiteral("_Sesit.xlsx");
}

// Moves the finished workbook beside the temporary folder under a name no other file
// has: it stays after the program ends, as the workbook the spreadsheet shows until the
// operator saves it elsewhere.
QString publishWorkbook(const TExchangeHost &host, const QString &draft)
{
    const QString call = operatorCall(host);
    const QString stem = (call.isEmpty() ? QStringLiteral("Velkor") : call) + u'_';
    const QDir folder(systemTempFolder(host));
    for (int attempt = 0; attempt < 100; ++attempt) {
        const QString name = folder.filePath(stem + randomFileTag() + QStringLiteral(".xlsx"));
        // rename() never replaces an existing file, so a name another file took is skipped.
        if (!QFileInfo::exists(name) && QFile::rename(draft, name))
            return name;
    }
    QFile::remove(draft);
    throw EVelkorError(QStringLiteral("Ve složce \"%1\" nelze vytvořit soubor sešitu!")
                           .arg(QDir::toNativeSeparators(folder.path())));
}

using TFileExport = void (*)(LogQuery &, const QList<TBookmark> &, const QString &, const TProgressEvent &);

// The plain file exports: the log must hold QSOs, the operator names the file, the export
// runs under the progress window.
void exportToFile(const TExchangeHost &host, const QString &filterText, const QString &extension,
                  const QString &progressText, TFileExport exporter)
{
    LogQuery *query = nonEmptyQuery(host);
    if (!query)
        return;
    const QString fileName = askFileName(host, filterText, extension);
    if (fileName.isEmpty())
        return;
    runWithProgress(host, progressText,
                    [&](const TProgressEvent &progress) { exporter(*query, marks(host), fileName, progress); });
}

} // namespace

TDocumentOpener SetDocumentOpener(TDocumentOpener opener)
{
    return std::exchange(documentOpener(), std::move(opener));
}

void ExportAdifCommand(const TExchangeHost &host)
{
    exportToFile(host, AdifFilter, AdifExtension, AdifProgress, ExportADIF);
}

void ExportAdifShortCommand(const TExchangeHost &host)
{
    LogQuery *query = nonEmptyQuery(host);
    if (!query)
        return;
    const QString fileName = askFileName(host, AdifFilter, AdifExtension);
    if (fileName.isEmpty())
        return;
    QString message;
    {
        TfrmComboBox dialog(host.mainWindow);
        if (dialog.ShowModal(QStringLiteral("Nastavení poznámky na QSL lístek"), QStringLiteral("Poznámka:"),
                             TfrmComboBox::csSimple) != mrOk)
            return;
        message = dialog.ComboBox->currentText();
    }
    runWithProgress(host, AdifProgress, [&](const TProgressEvent &progress) {
        ExportADIFShort(*query, marks(host), message, progress, fileName);
    });
}

void ExportCsvCommand(const TExchangeHost &host)
{
    exportToFile(host, QStringLiteral("Text oddělený středníky"), QStringLiteral("csv"),
                 QStringLiteral("Exportuji do formátu CSV ..."), ExportCSV);
}

void ExportTxtCommand(const TExchangeHost &host)
{
    exportToFile(host, QStringLiteral("Text oddělený mezerami"), QStringLiteral("txt"),
                 QStringLiteral("Export do formátu TXT ..."), ExportTXT);
}

void ExportXlsCommand(const TExchangeHost &host)
{
    LogQuery *query = nonEmptyQuery(host);
    if (!query)
        return;
    const QList<TBookmark> marked = marks(host);
    if (marked.size() > ExportXLSMaxRows || (marked.isEmpty() && query->RecordCount() > ExportXLSMaxRows)) {
        MessageDlgDef(QStringLiteral("Je možné exportovat maximálně 65535 záznamů!"), mtInformation, mbOK,
                      mrOk);
        return;
    }
    QString fileName;
    const QString draft = workbookDraftFile(host);
    const bool written = runWithProgress(host, QStringLiteral("Odesílám aplikaci MS Excel ..."),
                                         [&](const TProgressEvent &progress) {
                                             QFile::remove(draft);
                                             ExportXLS(*query, marked, draft, progress);
                                             fileName = publishWorkbook(host, draft);
                                         });
    if (!written) {
        QFile::remove(draft);
        return;
    }
    if (!openDocument(fileName))
        MessageDlgDef(
            QStringLiteral("Sešit je uložen v souboru \"%1\", ale v systému není program, který by jej "
                           "otevřel. Otevřete jej v tabulkovém procesoru.")
                .arg(QDir::toNativeSeparators(fileName)),
            mtWarning, mbOK, mrOk);
}
