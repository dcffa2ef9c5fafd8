#include "TelnetConnection.h"

#include <QLoggingCategory>
#include <QTcpSocket>

#include <libtelnet.h>

Q_LOGGING_CATEGORY(lcTelnet, "wendra.telnet")

namespace
{

// We offer the terminal type when asked; everything else is refused by libtelnet.
const telnet_telopt_t TelnetOptions[] = {
    {TELNET_TELOPT_TTYPE, TELNET_WILL, TELNET_DONT},
    {-1, 0, 0},
};

} // namespace

TTelnetConnection::TTelnetConnection(QObject *parent) : QObject(parent), m_socket(new QTcpSocket(this))
{
    m_socket->setReadBufferSize(ReadChunk);
    m_connectTimer.setSingleShot(true);
    m_connectTimer.setInterval(ConnectTimeoutMs);
    connect(&m_connectTimer, &QTimer::timeout, this,
            [this] { failConnecting(QStringLiteral("Connection timed out")); });
    connect(m_socket, &QTcpSocket::connected, this, &TTelnetConnection::onConnected);
    connect(m_socket, &QTcpSocket::readyRead, this, &TTelnetConnection::onReadyRead);
    connect(m_socket, &QTcpSocket::disconnected, this, &TTelnetConnection::onDisconnected);
    connect(m_socket, &QTcpSocket::errorOccurred, this, [this](QAbstractSocket::SocketError) {
        if (m_connecting)
            failConnecting(m_socket->errorString());
        else if (m_connected && m_socket->state() == QAbstractSocket::UnconnectedState)
            onDisconnected();
    });
}

TTelnetConnection::~TTelnetConnection()
{
    m_socket->disconnect(this);
    m_socket->abort();
    if (m_telnet)
        telnet_free(m_telnet);
}

void TTelnetConnection::resetTelnet()
{
    if (m_telnet)
        telnet_free(m_telnet);
    m_telnet = telnet_init(TelnetOptions, &TTelnetConnection::telnetEvent, 0, this);
}

void TTelnetConnection::Connect()
{
    if (m_connected || m_connecting)
        return;
    m_socket->abort();
    resetTelnet();
    m_connecting = true;
    emit status(hsConnecting);
    m_connectTimer.start();
    m_socket->connectToHost(m_host, quint16(m_port));
}

void TTelnetConnection::failConnecting(const QString &reason)
{
    if (!m_connecting)
        return;
    m_connecting = false;
    m_connectTimer.stop();
    m_socket->abort();
    qCInfo(lcTelnet) << "cannot connect to" << m_host << m_port << reason;
    emit connectFailed(reason);
}

void TTelnetConnection::onConnected()
{
    m_connecting = false;
    m_connectTimer.stop();
    m_connected = true;
    emit status(hsConnected);
}

void TTelnetConnection::onReadyRead()
{
    const QByteArray bytes = m_socket->readAll();
    if (bytes.isEmpty() || !m_telnet)
        return;
    m_block.clear();
    telnet_recv(m_telnet, bytes.constData(), size_t(bytes.size()));
    if (m_block.isEmpty())
        return;
    const QByteArray block = m_block;
    m_block.clear();
    emit dataAvailable(block);
}

void TTelnetConnection::onDisconnected()
{
    if (!m_connected)
        return;
    m_connected = false;
    emit status(hsDisconnected);
}

void TTelnetConnection::WriteLn(const QByteArray &line)
{
    if (!m_connected || !m_telnet)
        return;
    const QByteArray bytes = line + "\r\n";
    telnet_send(m_telnet, bytes.constData(), size_t(bytes.size()));
}

void TTelnetConnection::Disconnect()
{
    if (m_connecting) {
        failConnecting(QStringLiteral("Connection dropped"));
        return;
    }
    m_socket->abort();
    onDisconnected();
}

void TTelnetConnection::telnetEvent(telnet_t *, telnet_event_t *event, void *userData)
{
    static_cast<TTelnetConnection *>(userData)->handleEvent(event);
}

void TTelnetConnection::handleEvent(telnet_event_t *event)
{
    switch (event->type) {
    case TELNET_EV_DATA:
        m_block.append(event->data.buffer, qsizetype(event->data.size));
        break;
    case TELNET_EV_SEND:
        m_socket->write(event->data.buffer, qint64(event->data.size));
        break;
    case TELNET_EV_TTYPE:
        if (event->ttype.cmd == TELNET_TTYPE_SEND)
            telnet_ttype_is(m_telnet, TerminalType.constData());
        break;
    case TELNET_EV_WARNING:
    case TELNET_EV_ERROR:
        qCWarning(lcTelnet) << "telnet:" << event->error.msg;
        break;
    default:
        break;
    }
}
