#include "WendraProgram.h"

#include "system/DxClusterLink.h"
#include "DxClusterWindow.h"
#include "system/LocalEndpoint.h"
#include "WendraArguments.h"

#include <QApplication>

int WendraProgramBlock(const QStringList &arguments)
{
    // The logbook hands the password over in the environment; children of ours need not see it.
    const QString environmentPassword = qEnvironmentVariable(TDxClusterLink::PasswordVariable);
    qunsetenv(TDxClusterLink::PasswordVariable);
    const std::optional<TWendraArguments> args = TWendraArguments::Parse(arguments, environmentPassword);
    if (!args)
        return 0;
    // Another client of this user already runs: the logbook starts only one.
    const QString windowClass = QString::fromLatin1(TfrmDxCluster::WindowClass);
    if (TLocalEndpoint::exists(windowClass))
        return 0;
    TLocalEndpoint endpoint;
    endpoint.listen(windowClass);

    QApplication::setApplicationName(QStringLiteral("DxCluster"));
    TfrmDxCluster window;
    // exit(), not quit(): quit() would first close the windows, and the window's close logs
    // out and reports its size, which the logbook's stop must not cause.
    QObject::connect(&endpoint, &TLocalEndpoint::quitRequested, qApp, [] { QCoreApplication::exit(0); });
    window.SetupConnection(args->Login, args->Password, args->Host, args->Port, args->Maximized, args->Width,
                           args->Height);
    window.show();
    return QApplication::exec();
}
