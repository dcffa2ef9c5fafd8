#include "print/PrintJob.h"

#include "log/DmLog.h"
#include "FileDialogs.h"
#include "base/Messages.h"
#include "ModalRunner.h"
#include "print/PrintPreview.h"
#include "report/PrintQuery.h"
#include "ProgressDialog.h"
#include "report/ReportError.h"
#include "report/ReportPreview.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QLabel>
#include <QLoggingCategory>
#include <QWidget>

Q_LOGGING_CATEGORY(lcPrint, "velkor.print")

namespace
{

// The folder where the operator last saved a print as PDF, for the next one.
QString &lastPdfFolder()
{
    static QString folder;
    return folder;
}

// The last folder while it still exists, else the home folder: never the folder the program
// happened to be started from, which a file dialog takes for a folder that is missing.
QString proposedPdfFolder()
{
    const QString last = lastPdfFolder();
    return !last.isEmpty() && QFileInfo(last).isDir() ? last : QDir::homePath();
}

// Keeps the dialog's own buttons away while a rendering lets the event loop run, so
// that only the progress window's "Zrušit" can be pressed.
class DialogDisabled
{
public:
    explicit DialogDisabled(QWidget *dialog) : m_dialog(dialog)
    {
        if (m_dialog)
            m_dialog->setEnabled(false);
    }
    ~DialogDisabled()
    {
        if (m_dialog)
            m_dialog->setEnabled(true);
    }

private:
    QWidget *m_dialog;
};

} // namespace

void ReportPrintFailure(const QString &detail)
{
    qCWarning(lcPrint).noquote() << "printing failed:" << detail;
    MessageDlgDef(QStringLiteral("Při tisku se vyskytla chyba."), mtError, mbOK, mrOk);
}

TPrintJob::TPrintJob(const TExchangeHost &host, QWidget *dialog) : m_host(host), m_dialog(dialog)
{
    RvProject.Open(m_host.dm->AppDir + QStringLiteral("Tisk.rav"));
    RvWriter.SetOutputFile(m_host.dm->TempDir + QStringLiteral("Tisk.rnd"));
    RvWriter.SetStatusFormat(QStringLiteral("Generuji stranu %p"));
}

TPrintJob::~TPrintJob()
{
    RvProject.Close();
    QFile::remove(RvWriter.OutputFile());
}

void TPrintJob::GenerujData(const TReportDefinition *report, const std::function<TReportRows *()> &openRows,
                            int printerIndex)
{
    if (m_rendering)
        return;
    if (!report)
        throw EReportError(
            QStringLiteral("Sestava pro tisk nebyla v projektu \"%1\" nalezena!").arg(RvProject.FileName()));
    m_rendering = true;
    ++m_renderCount;
    RvWriter.ResetAbort();
    TfrmDialog *progress = m_host.progress;
    TfrmDialogCloser closer(progress);
    DialogDisabled disabled(m_dialog);
    struct Done {
        bool &flag;
        ~Done() { flag = false; }
    } done{m_rendering};

    if (progress)
        progress->ShowInfo(QStringLiteral("Načítám data ..."));
    TReportRows *rows = nullptr;
    try {
        rows = openRows();
    } catch (const EVelkorError &e) {
        // The report is rendered from the unopened query: it shows no data.
        qCWarning(lcPrint).noquote() << "print query not opened:" << e.message();
    }
    RvPrinter.SetPrinterIndex(printerIndex);
    if (progress) {
        progress->ShowWithButton(QString(), QStringLiteral("Zrušit"), [this] { AbortClick(); });
        RvWriter.SetStatusHandler([progress](const QString &status) { progress->SetText(status); });
    } else {
        RvWriter.SetStatusHandler({});
    }
    if (RvWriter.Execute(*report, rows))
        FDirty = false;
}

void TPrintJob::AbortClick()
{
    FDirty = true;
    RvWriter.Abort();
    if (m_host.progress)
        m_host.progress->close();
    MessageDlgDef(QStringLiteral("Tisk byl přerušen uživatelem."), mtInformation, mbOK, mrOk);
}

bool TPrintJob::PrintRendered()
{
    QString pdfFile;
    if (RvPrinter.IsPdfTarget(RvPrinter.PrinterIndex())) {
        pdfFile = FileDialogs::getSaveFileName(m_dialog, QStringLiteral("Tisk do souboru PDF"),
                                               QDir(proposedPdfFolder()).filePath(QStringLiteral("Tisk.pdf")),
                                               QStringLiteral("Soubor PDF (*.pdf)"), QStringLiteral("pdf"));
        if (pdfFile.isEmpty())
            return false;
        lastPdfFolder() = QFileInfo(pdfFile).absolutePath();
    }
    RvPrinter.PrintFile(RvWriter.OutputFile(), pdfFile);
    return true;
}

void TPrintJob::ShowPreview()
{
    QFile file(RvWriter.OutputFile());
    if (!file.open(QIODevice::ReadOnly))
        throw EReportError(QStringLiteral("Soubor \"%1\" nelze otevřít!").arg(file.fileName()));
    TfrmNahled preview(m_host.mainWindow);
    preview.RvPreview->RenderStream(file);
    RunModal(preview);
}

bool TPrintJob::RenderAndPrint(const std::function<void()> &generate, const std::function<void()> &printed)
{
    try {
        if (FDirty)
            generate();
    } catch (const EVelkorError &e) {
        MessageDlgDef(e.message(), mtError, mbOK, mrOk);
        return false;
    }
    if (RvWriter.Aborted())
        return false; // nothing printed, the dialog stays open
    try {
        if (!PrintRendered())
            return false;
        if (printed)
            printed();
        return true;
    } catch (const EVelkorError &e) {
        ReportPrintFailure(e.message());
        return false;
    }
}

void TPrintJob::RenderAndPreview(const std::function<void()> &generate)
{
    try {
        if (FDirty)
            generate();
        if (!RvWriter.Aborted())
            ShowPreview();
    } catch (const EVelkorError &e) {
        MessageDlgDef(e.message(), mtError, mbOK, mrOk);
    }
}
