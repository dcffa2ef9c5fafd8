#pragma once
// The client's start and run: seven arguments or a silent end, one client per user (its
// window's endpoint "TfrmDxCluster", where the logbook's quit request ends the message
// loop without the window's close handling), the window set up from the arguments, and
// the message loop.

#include <QStringList>

// arguments: without the program's own name. Returns the process exit code.
int WendraProgramBlock(const QStringList &arguments);
