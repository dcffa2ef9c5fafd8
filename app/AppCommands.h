#pragma once
// The application layer: binds the commands whose windows live outside the logbook's
// own library (import, export, printing, statistics) to the main window's actions.

class TfrmVelkor;
struct TExchangeHost;

// The exchange windows' view of the main window.
TExchangeHost MakeExchangeHost(TfrmVelkor &window);

// "Tisk nálepek" and "Tisk deníku".
void InstallPrintCommands(TfrmVelkor &window);

// Gives their handlers to the main window's exchange commands.
void InstallExchangeCommands(TfrmVelkor &window);
