#include "system/LocalEndpoint.h"

#include "system/RuntimeFolder.h"

#include <QDeadlineTimer>
#include <QDir>
#include <QEventLoop>
#include <QLocalServer>
#include <QLocalSocket>
#include <QLoggingCategory>
#include <QMetaMethod>
#include <QPointer>
#include <QTimer>
#include <QtEndian>

#include <unistd.h>

Q_LOGGING_CATEGORY(lcEndpoint, "velkor.endpoint")

namespace
{

enum class FrameKind : char { CopyData = 1, Quit = 2, Raise = 3 };

constexpr char AnswerHandled = 0x06;
constexpr char AnswerIgnored = 0x15;
constexpr int LengthSize = 4;
constexpr int TagSize = 4;
constexpr int MaxPayload = 1 + TagSize + TLocalEndpoint::MaxRecordSize;

QString g_namePrefix;

QString defaultNamePrefix()
{
    // The folder belongs to the user alone, so nobody else can plant a socket under our
    // name. Without one there are no endpoints, rather than endpoints in a shared folder.
    const QString folder = PrivateRuntimeFolder();
    if (folder.isEmpty())
        return {};
    return folder + QStringLiteral("/velkor-%1-").arg(::getuid());
}

QByteArray frame(FrameKind kind, const QByteArray &body = {})
{
    QByteArray bytes(LengthSize, '\0');
    qToLittleEndian<quint32>(quint32(1 + body.size()), bytes.data());
    bytes.append(char(kind));
    bytes.append(body);
    return bytes;
}

QByteArray copyDataFrame(quint32 tag, const QByteArray &record)
{
    QByteArray body(TagSize, '\0');
    qToLittleEndian<quint32>(tag, body.data());
    return frame(FrameKind::CopyData, body + record);
}

bool connectTo(QLocalSocket &socket, const QString &className, int timeoutMs)
{
    const QString name = TLocalEndpoint::serverName(className);
    if (name.isEmpty())
        return false;
    // A local connection completes in the kernel, without the receiver's event loop.
    socket.connectToServer(name);
    return socket.waitForConnected(timeoutMs);
}

// Writes a frame and waits for the one-byte answer. The wait runs a local event loop
// (user input excluded), so an endpoint of this very process can answer meanwhile.
bool sendAndAwaitAnswer(const QString &className, const QByteArray &bytes, int timeoutMs)
{
    const QDeadlineTimer deadline(timeoutMs);
    QLocalSocket socket;
    if (!connectTo(socket, className, timeoutMs))
        return false;
    QEventLoop loop;
    QTimer timer;
    timer.setSingleShot(true);
    QObject::connect(&timer, &QTimer::timeout, &loop, &QEventLoop::quit);
    QObject::connect(&socket, &QLocalSocket::readyRead, &loop, &QEventLoop::quit);
    QObject::connect(&socket, &QLocalSocket::disconnected, &loop, &QEventLoop::quit);
    QObject::connect(&socket, &QLocalSocket::errorOccurred, &loop, &QEventLoop::quit);
    socket.write(bytes);
    socket.flush();
    while (socket.bytesAvailable() == 0 && socket.state() == QLocalSocket::ConnectedState &&
           !deadline.hasExpired()) {
        timer.start(int(deadline.remainingTime()));
        loop.exec(QEventLoop::ExcludeUserInputEvents);
    }
    char answer = 0;
    const bool handled = socket.getChar(&answer) && answer == AnswerHandled;
    socket.abort();
    return handled;
}

} // namespace

TLocalEndpoint::TLocalEndpoint(QObject *parent) : QObject(parent) {}

TLocalEndpoint::~TLocalEndpoint()
{
    close();
}

QString TLocalEndpoint::serverName(const QString &className)
{
    const QString prefix = namePrefix();
    // A bare name would make Qt put the socket into the shared temporary folder.
    return prefix.isEmpty() ? QString() : prefix + className;
}

void TLocalEndpoint::setNamePrefix(const QString &prefix)
{
    g_namePrefix = prefix;
}

QString TLocalEndpoint::namePrefix()
{
    return g_namePrefix.isEmpty() ? defaultNamePrefix() : g_namePrefix;
}

bool TLocalEndpoint::listen(const QString &className)
{
    close();
    if (exists(className)) {
        qCInfo(lcEndpoint) << "endpoint already answers:" << className;
        return false;
    }
    const QString name = serverName(className);
    if (name.isEmpty()) {
        qCWarning(lcEndpoint) << "no folder of this user's own for the endpoint" << className;
        return false;
    }
    QLocalServer::removeServer(name); // a socket file left by a program that crashed
    auto *server = new QLocalServer(this);
    server->setSocketOptions(QLocalServer::UserAccessOption);
    if (!server->listen(name)) {
        qCWarning(lcEndpoint) << "cannot listen on" << name << server->errorString();
        delete server;
        return false;
    }
    connect(server, &QLocalServer::newConnection, this, &TLocalEndpoint::acceptConnections);
    m_server = server;
    m_className = className;
    return true;
}

void TLocalEndpoint::close()
{
    if (!m_server)
        return;
    m_server->close();
    // A handler may close the endpoint while one of the server's connections is still
    // delivering its message, so the server and its connections go at the next turn.
    m_server->setParent(nullptr);
    m_server->deleteLater();
    m_server = nullptr;
    m_className.clear();
}

bool TLocalEndpoint::isListening() const
{
    return m_server && m_server->isListening();
}

bool TLocalEndpoint::exists(const QString &className, int timeoutMs)
{
    QLocalSocket socket;
    const bool answers = connectTo(socket, className, timeoutMs);
    socket.abort();
    return answers;
}

bool TLocalEndpoint::sendCopyData(const QString &className, quint32 tag, const QByteArray &record,
                                  int timeoutMs)
{
    if (record.size() > MaxRecordSize)
        return false;
    return sendAndAwaitAnswer(className, copyDataFrame(tag, record), timeoutMs);
}

bool TLocalEndpoint::postQuit(const QString &className, int timeoutMs)
{
    QLocalSocket socket;
    if (!connectTo(socket, className, timeoutMs))
        return false;
    socket.write(frame(FrameKind::Quit));
    // Written into the kernel's buffer, the request reaches the receiver even after we close.
    const bool written = socket.waitForBytesWritten(timeoutMs);
    socket.abort();
    return written;
}

bool TLocalEndpoint::requestRaise(const QString &className, int timeoutMs)
{
    return sendAndAwaitAnswer(className, frame(FrameKind::Raise), timeoutMs);
}

void TLocalEndpoint::acceptConnections()
{
    while (QLocalSocket *socket = m_server->nextPendingConnection()) {
        connect(socket, &QLocalSocket::readyRead, this, [this, socket] { readFrames(socket); });
        connect(socket, &QLocalSocket::disconnected, socket, &QObject::deleteLater);
        readFrames(socket);
    }
}

void TLocalEndpoint::readFrames(QLocalSocket *socket)
{
    // A handler may run a nested event loop or close this endpoint; the guards notice.
    const QPointer<TLocalEndpoint> self(this);
    const QPointer<QLocalSocket> guard(socket);
    if (!m_server || socket->parent() != m_server) {
        socket->abort(); // a connection left over from before close()
        return;
    }
    while (guard && self && socket->bytesAvailable() >= LengthSize) {
        char lengthBytes[LengthSize];
        socket->peek(lengthBytes, LengthSize);
        const quint32 length = qFromLittleEndian<quint32>(lengthBytes);
        if (length == 0 || length > quint32(MaxPayload)) {
            qCWarning(lcEndpoint) << "malformed message refused, length" << length;
            socket->abort();
            return;
        }
        if (socket->bytesAvailable() < LengthSize + qint64(length))
            return; // the rest is still on its way
        socket->skip(LengthSize);
        const QByteArray payload = socket->read(length);
        const char answer = dispatch(payload);
        if (answer && guard && guard->state() == QLocalSocket::ConnectedState) {
            guard->putChar(answer);
            guard->flush();
        }
    }
}

char TLocalEndpoint::dispatch(const QByteArray &payload)
{
    switch (FrameKind(payload.at(0))) {
    case FrameKind::CopyData: {
        if (payload.size() < 1 + TagSize)
            return AnswerIgnored;
        const quint32 tag = qFromLittleEndian<quint32>(payload.constData() + 1);
        return dispatchCopyData(tag, payload.mid(1 + TagSize)) ? AnswerHandled : AnswerIgnored;
    }
    case FrameKind::Quit:
        emit quitRequested();
        return 0; // posted: the sender does not wait
    case FrameKind::Raise:
        emit raiseRequested();
        return AnswerHandled;
    }
    qCWarning(lcEndpoint) << "unknown message kind" << int(payload.at(0));
    return AnswerIgnored;
}

bool TLocalEndpoint::dispatchCopyData(quint32 tag, const QByteArray &record)
{
    if (tag != CopyDataTag)
        return false;
    // Only a record that someone here receives counts as handled.
    if (isSignalConnected(QMetaMethod::fromSignal(&TLocalEndpoint::dxClusterWindowReceived))) {
        if (const auto data = TDxClusterWindowData::decode(record)) {
            emit dxClusterWindowReceived(*data);
            return true;
        }
    }
    if (isSignalConnected(QMetaMethod::fromSignal(&TLocalEndpoint::copyToLogReceived))) {
        if (const auto data = TCopyToLogData::decode(record)) {
            emit copyToLogReceived(*data);
            return true;
        }
    }
    return false;
}
