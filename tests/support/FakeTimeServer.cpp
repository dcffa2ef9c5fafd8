#include "FakeTimeServer.h"

#include <QDateTime>
#include <QNetworkDatagram>
#include <QtEndian>

namespace
{

constexpr int PacketSize = 48;
constexpr int OriginateOffset = 24;
constexpr int ReceiveOffset = 32;
constexpr int TransmitOffset = 40;

} // namespace

bool FakeTimeServer::start()
{
    if (!m_socket.bind(QHostAddress::LocalHost, 0))
        return false;
    connect(&m_socket, &QUdpSocket::readyRead, this, &FakeTimeServer::answer);
    return true;
}

quint64 FakeTimeServer::ntpTimestamp(qint64 msSinceEpoch)
{
    const quint64 seconds = quint64(msSinceEpoch / 1000 + 2208988800LL);
    const quint64 fraction = (quint64(msSinceEpoch % 1000) << 32) / 1000;
    return (seconds << 32) | fraction;
}

void FakeTimeServer::answer()
{
    while (m_socket.hasPendingDatagrams()) {
        const QNetworkDatagram request = m_socket.receiveDatagram();
        lastRequest = request.data();
        if (reply.silent || lastRequest.size() < PacketSize)
            continue;
        QByteArray packet(PacketSize, '\0');
        packet[0] = char((reply.leap << 6) | (reply.version << 3) | reply.mode);
        packet[1] = char(reply.stratum);
        quint64 originate = qFromBigEndian<quint64>(lastRequest.constData() + TransmitOffset);
        if (!reply.echoOriginate)
            originate ^= 0x100000000ULL;
        const qint64 now = QDateTime::currentMSecsSinceEpoch() + reply.offsetMs;
        qToBigEndian<quint64>(originate, packet.data() + OriginateOffset);
        qToBigEndian<quint64>(reply.zeroReceive ? 0 : ntpTimestamp(now), packet.data() + ReceiveOffset);
        qToBigEndian<quint64>(reply.zeroTransmit ? 0 : ntpTimestamp(now + 1), packet.data() + TransmitOffset);
        packet.resize(reply.size);
        m_socket.writeDatagram(packet, request.senderAddress(), request.senderPort());
    }
}
