#pragma once
// The main window's import commands: pick the file, confirm the import options, read the
// source into the review window, and refresh the log's grid when records were appended.

#include <QList>
#include <QPair>

#include <functional>

class QAction;
struct TExchangeHost;

// The ADIF import: "Import z univerzálního formátu ADIF".
void ImportAdifCommand(const TExchangeHost &host);
// "Import dat  z deníku Trevan": the other logbook's dBase table denik.dbf.
void ImportTrevanCommand(const TExchangeHost &host);
// "Import dat  z předchozí verze programu ...": an old log table of this program.
void ImportOstrelCommand(const TExchangeHost &host);

// The handlers of the import actions that are built, for the main window to bind; an
// action without one stays unavailable. makeHost gives the main window's view as it is
// when a command runs (its progress window is made after the commands are bound).
QList<QPair<QAction *, std::function<void()>>> ImportCommands(const std::function<TExchangeHost()> &makeHost,
                                                              QAction *actImportADIF,
                                                              QAction *actImportTrevan,
                                                              QAction *actImportOstrel);
