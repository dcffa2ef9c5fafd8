#pragma once
// What the import, export, printing and statistics windows need of the logbook around
// them. The program's application layer fills it from the main window, so that this
// library never depends on the logbook's windows; tests fill it with their own pieces.

#include "log/LogQuery.h"

#include <QList>
#include <QString>

#include <functional>

class QWidget;
class TdmLog;
class TDxccList;
class TfrmDialog;

struct TExchangeHost
{
    QWidget *mainWindow = nullptr;  // owner of dialogs; minimised in a dialog's place
    TdmLog *dm = nullptr;           // folders, settings, the open log's connection
    TDxccList *dxccList = nullptr;  // may be null where nothing resolves call signs
    TfrmDialog *progress = nullptr; // the shared progress window; may be null

    // The marked QSOs of the grid by ID, in grid order (empty: nothing marked).
    std::function<QList<TBookmark>()> markedIds;
    // The grid query: its current order and filter (printing the log reads them).
    std::function<LogQuery *()> gridQuery;
    // The main window's QSL-state setter on the marked QSOs (field 13, 14 or 16).
    std::function<void(int fieldIndex, int value)> setQSLState;
    // Re-reads the grid after the log changed (an import).
    std::function<void()> refreshLog;
    // Opens the help page of a window by its topic ("frmImport"); may be empty.
    std::function<void(const QString &topic)> showHelp;
};
