// The logbook program: everything happens in TProgramStart; the application layer binds
// the commands of the exchange windows.

#include "AppCommands.h"
#include "HelpWindow.h"
#include "MessageDialog.h"
#include "ProgramStart.h"
#include "VelkorApplication.h"

int main(int argc, char *argv[])
{
    // A failure that escapes a window's event handler is shown, not the end of the program.
    TVelkorApplication app(argc, argv);
    installMessageDialog();
    InstallHelpWindow();
    TProgramStart start(QCoreApplication::applicationDirPath(), QCoreApplication::arguments().mid(1));
    start.InstallCommands = InstallExchangeCommands;
    return start.Run();
}
