#pragma once
// The client's command line: exactly seven arguments (login, password, host, port,
// maximized, width, height). The logbook hands the password over in the environment
// instead, where other users cannot read it, and puts a placeholder in its place.

#include <QString>
#include <QStringList>

#include <optional>

struct TWendraArguments {
    static constexpr int Count = 7;
    static constexpr int DefaultPort = 41112;
    static constexpr int DefaultWidth = 640;
    static constexpr int DefaultHeight = 480;

    QString Login;
    QString Password;
    QString Host;
    int Port = DefaultPort;
    bool Maximized = true;
    int Width = DefaultWidth;
    int Height = DefaultHeight;

    // arguments: without the program's own name. Nothing when there are not exactly seven.
    // environmentPassword (TDxClusterLink::PasswordVariable), when not empty, replaces
    // argument 2, which then holds a placeholder.
    static std::optional<TWendraArguments> Parse(const QStringList &arguments,
                                                 const QString &environmentPassword = {});
    // The flag text: a number is true unless it is 0, "true"/"false" in any case, anything
    // else true.
    static bool ParseBoolean(const QString &text);
};
