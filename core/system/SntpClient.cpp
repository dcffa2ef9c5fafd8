#include "system/SntpClient.h"

#include "system/SystemClock.h"

#include <QDeadlineTimer>
#include <QEventLoop>
#include <QHostAddress>
#include <QHostInfo>
#include <QLoggingCategory>
#include <QNetworkDatagram>
#include <QRandomGenerator>
#include <QTimer>
#include <QUdpSocket>
#include <QtEndian>

#include <optional>

Q_LOGGING_CATEGORY(lcSntp, "velkor.sntp")

namespace
{

// Seconds from 1 Jan 1900 to 1 Jan 1970.
constexpr qint64 NtpToUnixSeconds = 2208988800LL;
constexpr qint64 EraSeconds = qint64(1) << 32;

constexpr quint8 ClientRequest = (4 << 3) | 3; // leap 0, version 4, mode 3 (client)
constexpr int ModeServer = 4;
constexpr int LeapUnsynchronised = 3;
constexpr int MaxStratum = 15;

constexpr int OriginateOffset = 24;
constexpr int ReceiveOffset = 32;
constexpr int TransmitOffset = 40;

quint64 timestampAt(const QByteArray &packet, int offset)
{
    return qFromBigEndian<quint64>(packet.constData() + offset);
}

// Waits in a local event loop (user input excluded) until done() or the deadline.
template <typename Done> bool waitUntil(const QDeadlineTimer &deadline, Done done, QEventLoop &loop)
{
    QTimer timer;
    timer.setSingleShot(true);
    QObject::connect(&timer, &QTimer::timeout, &loop, &QEventLoop::quit);
    while (!done() && !deadline.hasExpired()) {
        timer.start(int(qMax<qint64>(0, deadline.remainingTime())));
        loop.exec(QEventLoop::ExcludeUserInputEvents);
    }
    return done();
}

} // namespace

TSntpClient::TSntpClient(const QString &host, quint16 port, int timeoutMs)
    : m_host(host.trimmed()), m_port(port), m_timeoutMs(timeoutMs)
{
}

quint64 TSntpClient::toNtpTimestamp(qint64 msSinceEpoch)
{
    const qint64 ms = msSinceEpoch % 1000 < 0 ? msSinceEpoch % 1000 + 1000 : msSinceEpoch % 1000;
    const qint64 seconds = (msSinceEpoch - ms) / 1000 + NtpToUnixSeconds;
    // Only the low 32 bits of the seconds travel; the era follows from the top bit.
    const quint64 fraction = (quint64(ms) << 32) / 1000;
    return (quint64(quint32(seconds)) << 32) | fraction;
}

qint64 TSntpClient::fromNtpTimestamp(quint64 timestamp)
{
    qint64 seconds = qint64(timestamp >> 32);
    if ((seconds & 0x80000000LL) == 0)
        seconds += EraSeconds; // 2036 and later
    const quint64 fraction = timestamp & 0xffffffffULL;
    const qint64 ms = qint64((fraction * 1000 + 0x80000000ULL) >> 32);
    return (seconds - NtpToUnixSeconds) * 1000 + ms;
}

QDateTime TSntpClient::serverUtc() const
{
    return QDateTime::fromMSecsSinceEpoch(m_arrivalMs + m_offsetMs, Qt::UTC);
}

TSntpClient::Result TSntpClient::query()
{
    QHostAddress address;
    const Result resolved = resolve(address);
    if (resolved != Result::Ok)
        return resolved;
    return exchange(address);
}

TSntpClient::Result TSntpClient::synchronize(TClockSetter &clock)
{
    const Result result = query();
    if (result != Result::Ok)
        return result;
    const qint64 now = QDateTime::currentMSecsSinceEpoch() + m_offsetMs;
    if (!clock.setUtc(QDateTime::fromMSecsSinceEpoch(now, Qt::UTC)))
        return Result::ClockNotSet;
    return Result::Ok;
}

TSntpClient::Result TSntpClient::resolve(QHostAddress &address) const
{
    if (m_host.isEmpty())
        return Result::HostNotFound;
    if (address.setAddress(m_host))
        return Result::Ok;

    QEventLoop loop;
    QHostInfo info;
    bool answered = false;
    const int id = QHostInfo::lookupHost(m_host, &loop, [&](const QHostInfo &result) {
        info = result;
        answered = true;
        loop.quit();
    });
    if (!waitUntil(
            QDeadlineTimer(m_timeoutMs), [&] { return answered; }, loop)) {
        QHostInfo::abortHostLookup(id);
        return Result::TimeOut;
    }
    const QList<QHostAddress> addresses = info.addresses();
    if (info.error() != QHostInfo::NoError || addresses.isEmpty())
        return Result::HostNotFound;
    // Most time servers answer on IPv4; take IPv6 only when that is all there is.
    address = addresses.first();
    for (const QHostAddress &candidate : addresses) {
        if (candidate.protocol() == QAbstractSocket::IPv4Protocol) {
            address = candidate;
            break;
        }
    }
    return Result::Ok;
}

TSntpClient::Result TSntpClient::exchange(const QHostAddress &address)
{
    QUdpSocket socket;
    const bool v4 = address.protocol() == QAbstractSocket::IPv4Protocol;
    if (!socket.bind(v4 ? QHostAddress::AnyIPv4 : QHostAddress::AnyIPv6, 0)) {
        qCWarning(lcSntp) << "cannot open a UDP socket:" << socket.errorString();
        return Result::TimeOut;
    }

    // The low bits of the fraction are random (a few microseconds), so that the
    // echoed originate timestamp is hard to guess for anyone but the server.
    const qint64 t1 = QDateTime::currentMSecsSinceEpoch();
    const quint64 sent = toNtpTimestamp(t1) | (QRandomGenerator::global()->generate() & 0xffffu);
    QByteArray request(PacketSize, '\0');
    request[0] = char(ClientRequest);
    qToBigEndian<quint64>(sent, request.data() + TransmitOffset);
    if (socket.writeDatagram(request, address, m_port) != PacketSize) {
        qCWarning(lcSntp) << "the request was not sent:" << socket.errorString();
        return Result::TimeOut;
    }

    QEventLoop loop;
    std::optional<Result> result;
    QObject::connect(&socket, &QUdpSocket::readyRead, &loop, [&] {
        while (!result && socket.hasPendingDatagrams()) {
            const QNetworkDatagram datagram = socket.receiveDatagram();
            const qint64 t4 = QDateTime::currentMSecsSinceEpoch();
            // Datagrams from anyone but the server are not its answer.
            if (!datagram.senderAddress().isEqual(address, QHostAddress::TolerantConversion) ||
                datagram.senderPort() != m_port)
                continue;
            result = evaluate(datagram.data(), sent, t1, t4);
        }
        if (result)
            loop.quit();
    });
    waitUntil(
        QDeadlineTimer(m_timeoutMs), [&] { return result.has_value(); }, loop);
    return result.value_or(Result::TimeOut);
}

TSntpClient::Result TSntpClient::evaluate(const QByteArray &answer, quint64 sentTimestamp, qint64 t1,
                                          qint64 t4)
{
    if (answer.size() < PacketSize)
        return Result::BadAnswer;
    const quint8 first = quint8(answer.at(0));
    const int leap = first >> 6;
    const int version = (first >> 3) & 7;
    const int mode = first & 7;
    const int stratum = quint8(answer.at(1));
    // Stratum 0 is a kiss-of-death (the server refuses us), above 15 unsynchronised.
    if (leap == LeapUnsynchronised || version < 3 || version > 4 || mode != ModeServer || stratum == 0 ||
        stratum > MaxStratum)
        return Result::BadAnswer;
    const quint64 originate = timestampAt(answer, OriginateOffset);
    const quint64 received = timestampAt(answer, ReceiveOffset);
    const quint64 transmitted = timestampAt(answer, TransmitOffset);
    if (originate != sentTimestamp || received == 0 || transmitted == 0)
        return Result::BadAnswer;

    const qint64 t2 = fromNtpTimestamp(received);
    const qint64 t3 = fromNtpTimestamp(transmitted);
    m_offsetMs = ((t2 - t1) + (t3 - t4)) / 2;
    m_delayMs = (t4 - t1) - (t3 - t2);
    m_arrivalMs = t4;
    return Result::Ok;
}
