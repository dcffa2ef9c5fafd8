#pragma once
// The logbook's side of the DX-cluster client: starting the client for the open log with
// the operator's cluster settings, and telling a running client to end when the log
// closes. Whether a client runs is asked of its window's endpoint "TfrmDxCluster" each
// time; the logbook keeps no state about it.
//
// The password does not go on the command line, which every local user can read in the
// process list: it travels in the client's environment (readable only by this user), and
// argument 2 keeps its place with a placeholder.

#include <QProcessEnvironment>
#include <QString>
#include <QStringList>

class TUserOptions;

class TDxClusterLink
{
public:
    static constexpr auto ClientWindowClass = "TfrmDxCluster";
    static constexpr auto ClientProgramName = "wendra";
    static constexpr auto PasswordVariable = "WENDRA_PASSWORD";
    static constexpr auto PasswordPlaceholder = "*";

    // The client program in the program folder (appDir ends with "/").
    static QString ClientProgram(const QString &appDir);
    // The seven arguments: call sign, password placeholder, host, port, maximized ("-1"
    // or "0"), width, height.
    static QStringList ClientArguments(const TUserOptions &options);

    // Refuses with a message when the cluster host or the password is not set (the host
    // is checked first); does nothing while a client runs; else starts the client. Returns
    // the process id of a started client, 0 when none was started; a failed start is not
    // reported.
    static qint64 StartDxCluster(const QString &appDir, const TUserOptions &options);
    // Asks a running client to end at once (it neither logs out nor reports its size).
    static void StopDxCluster();

    static const QString NoHostText;
    static const QString NoPasswordText;
};
