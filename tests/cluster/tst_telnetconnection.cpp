// The telnet connection against a fake cluster on 127.0.0.1.

#include "FakeClusterServer.h"
#include "TelnetConnection.h"

#include <QSignalSpy>
#include <QTest>

class TestTelnetConnection : public QObject
{
    Q_OBJECT
    using Status = TTelnetConnection::TStatus;

private slots:
    void connectsReceivesAndIsClosedByTheServer()
    {
        FakeClusterServer server;
        QVERIFY(server.start());
        TTelnetConnection telnet;
        telnet.SetHost("127.0.0.1");
        telnet.SetPort(server.port());
        QSignalSpy status(&telnet, &TTelnetConnection::status);
        QSignalSpy data(&telnet, &TTelnetConnection::dataAvailable);
        telnet.Connect();
        QCOMPARE(status.size(), 1);
        QCOMPARE(status.at(0).at(0).value<Status>(), TTelnetConnection::hsConnecting);
        QVERIFY(QTest::qWaitFor([&] { return telnet.Connected(); }));
        QCOMPARE(status.at(1).at(0).value<Status>(), TTelnetConnection::hsConnected);
        QVERIFY(server.waitForConnection());

        // Negotiation between the data is taken out; the data of one read is one block.
        server.send(QByteArray("Hello") + char(255) + char(251) + char(1) + QByteArray("\r\nlogin: "));
        QVERIFY(data.wait());
        QCOMPARE(data.at(0).at(0).toByteArray(), QByteArray("Hello\r\nlogin: "));
        // An escaped 255 is one data byte.
        server.send(QByteArray("x") + char(255) + char(255) + "y");
        QVERIFY(data.wait());
        QCOMPARE(data.at(1).at(0).toByteArray(), QByteArray("x\xffy"));
        // A flood comes in blocks small enough to show at once, nothing lost.
        const QByteArray flood = QByteArray("DX de OK2XYZ:  14025.0  VK9ABC\r\n").repeated(20000);
        server.send(flood);
        QByteArray received;
        qsizetype largest = 0;
        QVERIFY(QTest::qWaitFor([&] {
            for (; data.size() > 2; data.removeAt(2)) {
                const QByteArray block = data.at(2).at(0).toByteArray();
                largest = std::max(largest, block.size());
                received += block;
            }
            return received.size() >= flood.size();
        }));
        QCOMPARE(received, flood);
        QVERIFY(largest <= TTelnetConnection::ReadChunk);

        server.closeClient();
        QVERIFY(QTest::qWaitFor([&] { return status.size() == 3; }));
        QCOMPARE(status.at(2).at(0).value<Status>(), TTelnetConnection::hsDisconnected);
        QVERIFY(!telnet.Connected());
    }

    void answersTheTerminalTypeWithDumb()
    {
        FakeClusterServer server;
        server.askTerminalType = true;
        QVERIFY(server.start());
        TTelnetConnection telnet;
        telnet.SetHost("127.0.0.1");
        telnet.SetPort(server.port());
        telnet.Connect();
        QVERIFY(QTest::qWaitFor([&] { return server.terminalType == "dumb"; }));
        QVERIFY(server.commands.contains(QByteArray() + char(255) + char(251) + char(24)));
        // Options nobody needs are refused.
        server.send(QByteArray() + char(255) + char(253) + char(31)); // DO NAWS
        QVERIFY(QTest::qWaitFor(
            [&] { return server.commands.contains(QByteArray() + char(255) + char(252) + char(31)); }));
        QVERIFY(server.data.isEmpty());
    }

    void writesLinesWithCrLfAndEscapes255()
    {
        FakeClusterServer server;
        QVERIFY(server.start());
        TTelnetConnection telnet;
        telnet.WriteLn("not connected");
        telnet.SetHost("127.0.0.1");
        telnet.SetPort(server.port());
        telnet.Connect();
        QVERIFY(server.waitForConnection());
        QVERIFY(QTest::qWaitFor([&] { return telnet.Connected(); }));
        telnet.WriteLn("Show/DX");
        telnet.WriteLn("a\xff"
                       "b");
        const QString escaped = QString::fromLatin1("a\xff"
                                                    "b");
        QVERIFY(server.waitForLine(escaped));
        QCOMPARE(server.lines, (QStringList{"Show/DX", escaped}));
        QVERIFY(server.data.endsWith(QByteArray("a\xff"
                                                "b\r\n")));
    }

    void dropsAtOnceWithOneDisconnectedStatus()
    {
        FakeClusterServer server;
        QVERIFY(server.start());
        TTelnetConnection telnet;
        telnet.SetHost("127.0.0.1");
        telnet.SetPort(server.port());
        QSignalSpy status(&telnet, &TTelnetConnection::status);
        telnet.Connect();
        QVERIFY(QTest::qWaitFor([&] { return telnet.Connected(); }));
        telnet.Disconnect();
        QVERIFY(!telnet.Connected());
        QTest::qWait(50);
        QCOMPARE(status.size(), 3);
        QCOMPARE(status.last().at(0).value<Status>(), TTelnetConnection::hsDisconnected);
        QVERIFY(server.waitForDisconnection());
        // And it connects again.
        telnet.Connect();
        QVERIFY(QTest::qWaitFor([&] { return telnet.Connected(); }));
        QVERIFY(server.waitForConnection(2));
    }

    void refusedConnectionFailsWithoutStatus()
    {
        QTcpServer closed;
        QVERIFY(closed.listen(QHostAddress::LocalHost));
        const quint16 port = closed.serverPort();
        closed.close();
        TTelnetConnection telnet;
        telnet.SetHost("127.0.0.1");
        telnet.SetPort(port);
        QSignalSpy status(&telnet, &TTelnetConnection::status);
        QSignalSpy failed(&telnet, &TTelnetConnection::connectFailed);
        telnet.Connect();
        QVERIFY(failed.wait());
        QCOMPARE(status.size(), 1); // connecting only
        QVERIFY(!telnet.Connected());
    }
};

QTEST_GUILESS_MAIN(TestTelnetConnection)
#include "tst_telnetconnection.moc"
