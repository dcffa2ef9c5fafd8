#pragma once
// A DX-cluster server for tests, on 127.0.0.1: takes one client at a time, records the
// lines the client sends (telnet commands taken out), asks for the terminal type when told
// to, and can send text, close the connection, or close it on the logout command "b".

#include <QByteArray>
#include <QHostAddress>
#include <QPointer>
#include <QSignalSpy>
#include <QStringList>
#include <QTcpServer>
#include <QTcpSocket>
#include <QTest>

class FakeClusterServer : public QObject
{
public:
    static constexpr char IAC = char(255), SB = char(250), SE = char(240), WILL = char(251), WONT = char(252),
                          DO = char(253), DONT = char(254), TTYPE = char(24);

    // On a new connection, ask the client for its terminal type (IAC DO TTYPE).
    bool askTerminalType = false;
    // Close the connection when the client sends "b".
    bool closeOnLogout = true;

    bool start()
    {
        connect(&m_server, &QTcpServer::newConnection, this, [this] {
            while (QTcpSocket *socket = m_server.nextPendingConnection()) {
                m_client = socket;
                ++connections;
                connect(socket, &QTcpSocket::readyRead, this, [this, socket] { read(socket); });
                if (askTerminalType)
                    socket->write(QByteArray() + IAC + DO + TTYPE);
            }
        });
        return m_server.listen(QHostAddress::LocalHost);
    }
    quint16 port() const { return m_server.serverPort(); }

    void send(const QByteArray &bytes)
    {
        QVERIFY(m_client);
        m_client->write(bytes);
        m_client->flush();
    }
    void closeClient()
    {
        if (m_client)
            m_client->disconnectFromHost();
    }
    bool hasClient() const { return m_client && m_client->state() == QAbstractSocket::ConnectedState; }

    // Waits until the client has sent the line (without CR LF).
    bool waitForLine(const QString &line, int timeoutMs = 5000)
    {
        return QTest::qWaitFor([&] { return lines.contains(line); }, timeoutMs);
    }
    bool waitForConnection(int count = 1, int timeoutMs = 5000)
    {
        return QTest::qWaitFor([&] { return connections >= count && hasClient(); }, timeoutMs);
    }
    bool waitForDisconnection(int timeoutMs = 5000)
    {
        return QTest::qWaitFor([&] { return !hasClient(); }, timeoutMs);
    }

    int connections = 0;
    QStringList lines;          // complete lines the client sent, as Windows-1250 read as Latin-1
    QByteArray data;            // every data byte the client sent
    QList<QByteArray> commands; // telnet commands (IAC x y) the client sent
    QByteArray terminalType;    // the client's answer to the terminal-type question

private:
    void read(QTcpSocket *socket)
    {
        m_pending += socket->readAll();
        while (!m_pending.isEmpty()) {
            const char c = m_pending.at(0);
            if (c != IAC) {
                takeData(c);
                m_pending.remove(0, 1);
                continue;
            }
            if (m_pending.size() < 2)
                return;
            const char cmd = m_pending.at(1);
            if (cmd == IAC) {
                takeData(IAC);
                m_pending.remove(0, 2);
            } else if (cmd == SB) {
                const qsizetype end = m_pending.indexOf(QByteArray() + IAC + SE);
                if (end < 0)
                    return;
                const QByteArray sub = m_pending.mid(2, end - 2);
                if (sub.size() >= 2 && sub.at(0) == TTYPE && sub.at(1) == 0)
                    terminalType = sub.mid(2);
                m_pending.remove(0, end + 2);
            } else if (cmd == WILL || cmd == WONT || cmd == DO || cmd == DONT) {
                if (m_pending.size() < 3)
                    return;
                commands.append(m_pending.left(3));
                if (cmd == WILL && m_pending.at(2) == TTYPE)
                    socket->write(QByteArray() + IAC + SB + TTYPE + char(1) + IAC + SE);
                m_pending.remove(0, 3);
            } else {
                m_pending.remove(0, 2);
            }
        }
    }
    void takeData(char c)
    {
        data.append(c);
        m_line.append(c);
        if (m_line.endsWith("\r\n")) {
            m_line.chop(2);
            const QString line = QString::fromLatin1(m_line);
            lines.append(line);
            m_line.clear();
            if (closeOnLogout && line == QLatin1String("b"))
                closeClient();
        }
    }

    QTcpServer m_server;
    QPointer<QTcpSocket> m_client;
    QByteArray m_pending;
    QByteArray m_line;
};
