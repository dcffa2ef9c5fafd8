// The logbook program: everything happens in TProgramStart.

#include "MessageDialog.h"
#include "ProgramStart.h"

#include <QApplication>

int main(int argc, char *argv[])
{
    QApplication app(argc, argv);
    installMessageDialog();
    TProgramStart start(QCoreApplication::applicationDirPath(), QCoreApplication::arguments().mid(1));
    return start.Run();
}
