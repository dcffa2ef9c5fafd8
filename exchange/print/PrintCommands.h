#pragma once
// The main window's two print commands, "Tisk nálepek" and "Tisk deníku": they prepare
// the temporary print tables, open the print dialog and remove the tables afterwards,
// also when something failed.

#include "ExchangeHost.h"
#include "base/Progress.h"

// Labels for the marked QSOs: refused without marks; otherwise the marked QSOs are copied
// to _Temp.db and sorted into _QSL.db (sortProgress shows the steps 0..12), then the label
// dialog opens. Failures leave as exceptions after the clean-up.
void PrintQslLabels(const TExchangeHost &host, const TProgressEvent &sortProgress);

// The log, or the marked QSOs (copied to _Temp.db first); nothing while the grid is empty.
void PrintLog(const TExchangeHost &host);
