#pragma once
// A simple network time client (SNTP, RFC 4330): one request to a time server, one
// answer, and the offset of the local clock from the server's. The query runs a local
// event loop and returns when the answer came or the time-out passed, so the logbook can
// call it in the middle of opening a log.

#include <QDateTime>
#include <QString>

class QHostAddress;
class TClockSetter;

class TSntpClient
{
public:
    static constexpr quint16 DefaultPort = 123;
    static constexpr int DefaultTimeoutMs = 4000;
    static constexpr int PacketSize = 48;

    enum class Result {
        Ok,
        TimeOut,      // no valid answer within the time-out
        BadAnswer,    // an answer that cannot be trusted (unsynchronised server, kiss-of-death, ...)
        HostNotFound, // the server name does not resolve
        ClockNotSet,  // the answer was good but the system refused to set the clock
    };

    explicit TSntpClient(const QString &host, quint16 port = DefaultPort, int timeoutMs = DefaultTimeoutMs);

    // Sends one request and waits for the answer.
    Result query();
    // Queries the server and, on a good answer, sets the clock to the server's time.
    Result synchronize(TClockSetter &clock);

    // After a successful query: the server's clock minus the local clock, the round-trip
    // delay, and the true time at the moment the answer arrived.
    qint64 offsetMs() const { return m_offsetMs; }
    qint64 delayMs() const { return m_delayMs; }
    QDateTime serverUtc() const;

    // NTP timestamps (seconds since 1900 in the high 32 bits, fraction in the low 32)
    // to and from milliseconds since 1970. Seconds with the top bit clear count from
    // 7 Feb 2036, as RFC 4330 prescribes for the next era.
    static quint64 toNtpTimestamp(qint64 msSinceEpoch);
    static qint64 fromNtpTimestamp(quint64 timestamp);

private:
    Result resolve(QHostAddress &address) const;
    Result exchange(const QHostAddress &address);
    Result evaluate(const QByteArray &answer, quint64 sentTimestamp, qint64 t1, qint64 t4);

    QString m_host;
    quint16 m_port;
    int m_timeoutMs;
    qint64 m_offsetMs = 0;
    qint64 m_delayMs = 0;
    qint64 m_arrivalMs = 0;
};
