#pragma once
// A client window connected to a fake cluster, for the window and command tests; the
// logbook's window endpoint lies in a temporary folder of its own.

#include "DxClusterWindow.h"
#include "FakeClusterServer.h"
#include "system/LocalEndpoint.h"
#include "ModalRunner.h"
#include "ScriptedMessages.h"
#include "TerminalView.h"

#include <QTemporaryDir>
#include <QTest>

#include <memory>

struct ClusterWindowFixture {
    QTemporaryDir dir;
    FakeClusterServer server;
    std::unique_ptr<TfrmDxCluster> window;
    ScriptedMessages messages;

    ClusterWindowFixture()
    {
        TLocalEndpoint::setNamePrefix(dir.path() + "/ep-");
        server.start();
        window = std::make_unique<TfrmDxCluster>();
        window->SetupConnection("OK1ABC", "secret", "127.0.0.1", server.port(), false, 700, 500);
    }
    ~ClusterWindowFixture()
    {
        SetModalHook({});
        window.reset();
        TLocalEndpoint::setNamePrefix(QString());
    }

    bool connect()
    {
        window->actConnect->trigger();
        return server.waitForConnection(server.connections + 1) &&
               QTest::qWaitFor([this] { return window->Connection()->Connected(); });
    }
    // Connects and answers both prompts; the client is then logged in.
    bool connectAndLogin() { return connect() && login(); }
    // Answers both prompts on the connection that is up.
    bool login()
    {
        const qsizetype before = server.lines.size();
        server.send("Welcome\r\nlogin: ");
        if (!QTest::qWaitFor([&] { return server.lines.size() > before; }))
            return false;
        server.send("\r\nPassword: ");
        return QTest::qWaitFor([this] { return !window->LoggingIn(); }) && server.waitForLine("secret");
    }
    QStringList terminalLines() const
    {
        QStringList lines;
        for (int i = 0; i < window->Terminal()->LineCount(); ++i)
            lines.append(window->Terminal()->Line(i));
        return lines;
    }
    bool waitForTerminalLine(const QString &line, int timeoutMs = 5000)
    {
        return QTest::qWaitFor([&] { return terminalLines().contains(line); }, timeoutMs);
    }
    bool waitForTerminalLineStarting(const QString &start, int timeoutMs = 5000)
    {
        return QTest::qWaitFor(
            [&] {
                const QStringList lines = terminalLines();
                return std::any_of(lines.begin(), lines.end(),
                                   [&](const QString &l) { return l.startsWith(start); });
            },
            timeoutMs);
    }
};
