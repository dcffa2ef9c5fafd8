#pragma once
// What the log print and the label print dialogs share: the report project Tisk.rav
// beside the program, the writer that renders into Tisk.rnd in the temporary folder, the
// printers, and the state that says whether Tisk.rnd still matches the dialog's options.
// A dialog renders only when that state is stale, so Preview followed by Print renders
// once; it marks the state stale on every change that alters the result.

#include "ExchangeHost.h"
#include "report/ReportPrinter.h"
#include "report/ReportProject.h"
#include "report/ReportWriter.h"

#include <QString>

#include <functional>

class QWidget;
class TReportRows;

class TPrintJob
{
public:
    // Opens AppDir + "Tisk.rav"; a missing or broken project raises EReportError.
    // dialog: the print dialog, disabled while a rendering runs.
    TPrintJob(const TExchangeHost &host, QWidget *dialog);
    // Closes the project and deletes Tisk.rnd.
    ~TPrintJob();
    TPrintJob(const TPrintJob &) = delete;
    TPrintJob &operator=(const TPrintJob &) = delete;

    TReportProject RvProject;
    TRvWriter RvWriter;
    TRvPrinter RvPrinter;
    // True while Tisk.rnd does not match the dialog's options.
    bool FDirty = true;

    // Renders the report into Tisk.rnd with the progress window showing "Načítám data ..."
    // while openRows opens the rows (its failure is ignored: the report then has no data)
    // and then the page being rendered with a "Zrušit" button. FDirty turns false when the
    // rendering ran to its end. A missing report raises EReportError.
    void GenerujData(const TReportDefinition *report, const std::function<TReportRows *()> &openRows,
                     int printerIndex);
    // The "Zrušit" button during a rendering.
    void AbortClick();

    // Sends Tisk.rnd to the printer chosen at the last rendering; for the PDF target the
    // operator names the file first. False when the operator cancelled that; raises
    // EReportError when printing failed.
    bool PrintRendered();
    // Shows Tisk.rnd in the preview window.
    void ShowPreview();

    // The dialogs' "Tisk": renders first when the options changed (`generate`), then prints;
    // `printed` runs after a successful print, inside the same failure report. False, with
    // the failure shown, when nothing was printed.
    bool RenderAndPrint(const std::function<void()> &generate, const std::function<void()> &printed = {});
    // The dialogs' "Náhled": renders first when the options changed, then previews.
    void RenderAndPreview(const std::function<void()> &generate);

    // How many renderings ran (to their end or not) since the dialog opened.
    int RenderCount() const { return m_renderCount; }
    QString OutputFile() const { return RvWriter.OutputFile(); }

private:
    TExchangeHost m_host;
    QWidget *m_dialog;
    int m_renderCount = 0;
    bool m_rendering = false;
};

// The print dialogs' answer to a failure of a print: "Při tisku se vyskytla chyba.".
void ReportPrintFailure(const QString &detail);
