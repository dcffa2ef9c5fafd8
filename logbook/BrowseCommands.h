#pragma once
// The main window's browsing commands: the filter, the find window over the log, the
// locator calculator, "Hledat DXCC", the callbook and the DXCC and IOTA lists; and the
// list windows that the QSO window opens.

#include <QString>

class TfrmVelkor;

// Makes the log's find window and gives the commands their handlers (also the QSO
// window's callbook and list commands).
void InstallBrowseCommands(TfrmVelkor &window);

// The filter command: the filter dialog, then the grid filtered or not.
void FilterCommand(TfrmVelkor &window);
// "Hledat DXCC": a call sign or prefix asked for, its entity shown in the DXCC list.
void FindDxccCommand(TfrmVelkor &window);
// The list window of the kind (0 DXCC, 1 IOTA), positioned where `field` equals `value`
// when a field is given, shown modally. A list that cannot be read is reported.
void ShowListWindow(TfrmVelkor &window, int kind, const QString &field = {}, const QString &value = {});
// The callbook positioned on the call sign, shown modally.
void ShowCallBook(TfrmVelkor &window, const QString &call);
