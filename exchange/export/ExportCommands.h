#pragma once
// The main window's five export commands over what the exchange library knows of it.
// Each does nothing while the log query is empty; the file exports ask for the file with
// the save dialog, proposing the operator's call sign; each shows the progress window for
// the run and closes it also when the export fails; failures are shown to the operator.

#include <QString>

#include <functional>

struct TExchangeHost;

void ExportAdifCommand(const TExchangeHost &host);
// First the file, then the QSL message for every record.
void ExportAdifShortCommand(const TExchangeHost &host);
void ExportCsvCommand(const TExchangeHost &host);
void ExportTxtCommand(const TExchangeHost &host);
// No dialog: the workbook is written to a new file in the system's temporary folder
// (never in the logbook's own temporary folder, which is emptied at the end while the
// spreadsheet may still have the workbook open) and opened with the desktop's program
// for it, where the operator saves it.
void ExportXlsCommand(const TExchangeHost &host);

// Opens a file with the desktop's default program; false when there is none. Tests
// replace it; returns the opener it replaces (an empty one restores the desktop's).
using TDocumentOpener = std::function<bool(const QString &fileName)>;
TDocumentOpener SetDocumentOpener(TDocumentOpener opener);
