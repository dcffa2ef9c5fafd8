#include "system/DxClusterLink.h"

#include "system/LocalEndpoint.h"
#include "base/Messages.h"
#include "settings/UserOptions.h"

#include <QProcess>

const QString TDxClusterLink::NoHostText =
    QStringLiteral("Adresa DxClusteru není zadána  (Nastavení/DxCluster/Adresa).");
const QString TDxClusterLink::NoPasswordText =
    QStringLiteral("Heslo musí být zadáno (Nastavení/DxCluster/Heslo).");

QString TDxClusterLink::ClientProgram(const QString &appDir)
{
    return appDir + QLatin1String(ClientProgramName);
}

QStringList TDxClusterLink::ClientArguments(const TUserOptions &options)
{
    return {options.Call,
            QString::fromLatin1(PasswordPlaceholder),
            options.GetClusterHost(),
            QString::number(options.GetClusterPort()),
            options.GetClusterMaximized() ? QStringLiteral("-1") : QStringLiteral("0"),
            QString::number(options.GetClusterWidth()),
            QString::number(options.GetClusterHeight())};
}

qint64 TDxClusterLink::StartDxCluster(const QString &appDir, const TUserOptions &options)
{
    if (options.GetClusterHost().isEmpty()) {
        MessageDlgDef(NoHostText, mtError, mbOK, mrOk);
        return 0;
    }
    const QString password = options.GetClusterPassword();
    if (password.isEmpty()) {
        MessageDlgDef(NoPasswordText, mtError, mbOK, mrOk);
        return 0;
    }
    if (TLocalEndpoint::exists(QString::fromLatin1(ClientWindowClass)))
        return 0;
    QProcess process;
    process.setProgram(ClientProgram(appDir));
    process.setArguments(ClientArguments(options));
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert(QString::fromLatin1(PasswordVariable), password);
    process.setProcessEnvironment(environment);
    qint64 pid = 0;
    return process.startDetached(&pid) ? pid : 0;
}

void TDxClusterLink::StopDxCluster()
{
    const QString windowClass = QString::fromLatin1(ClientWindowClass);
    if (TLocalEndpoint::exists(windowClass))
        TLocalEndpoint::postQuit(windowClass);
}
