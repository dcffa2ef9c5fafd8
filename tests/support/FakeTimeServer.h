#pragma once
// A time server for tests on 127.0.0.1: answers every SNTP request at once as `reply`
// says, with its clock offsetMs ahead of this machine's. Starts on a free port.

#include <QByteArray>
#include <QObject>
#include <QUdpSocket>

class FakeTimeServer : public QObject
{
public:
    // How the server answers; the defaults make a good answer of a synchronised server.
    struct Reply {
        qint64 offsetMs = 0; // the server's clock minus ours
        int leap = 0;
        int version = 4;
        int mode = 4; // server
        int stratum = 2;
        bool echoOriginate = true; // false: the originate timestamp is one second off
        bool zeroReceive = false;
        bool zeroTransmit = false;
        int size = 48; // bytes sent; less than 48 is a truncated answer
        bool silent = false;
    };

    Reply reply;
    QByteArray lastRequest;

    bool start();
    quint16 port() const { return m_socket.localPort(); }

    // NTP timestamp of a time, written apart from the client's own conversion (for the
    // era up to 2036), so that tests do not check the client against itself.
    static quint64 ntpTimestamp(qint64 msSinceEpoch);

private:
    void answer();

    QUdpSocket m_socket;
};
