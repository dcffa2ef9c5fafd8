#pragma once
// The telnet connection with the DX cluster: a QTcpSocket whose telnet option negotiation
// libtelnet handles. The only option the client takes is the terminal type, answered
// "dumb"; every other option the server offers is refused. Status changes and received
// blocks (with the negotiation removed) arrive as signals in the thread of the object, in
// the order in which they happened.

#include <QByteArray>
#include <QObject>
#include <QString>
#include <QTimer>

struct telnet_t;
union telnet_event_t;
class QTcpSocket;

class TTelnetConnection : public QObject
{
    Q_OBJECT
public:
    enum TStatus { hsConnecting, hsConnected, hsDisconnected };
    Q_ENUM(TStatus)

    static constexpr int DefaultPort = 23;
    static constexpr int ConnectTimeoutMs = 15000;
    // The most that is read in one go. A node that sends faster than the terminal shows is
    // held back by TCP instead of piling up here, and each block stays quick to show, so the
    // window keeps answering under any feed.
    static constexpr qint64 ReadChunk = 16 * 1024;
    static inline const QByteArray TerminalType = QByteArrayLiteral("dumb");

    explicit TTelnetConnection(QObject *parent = nullptr);
    ~TTelnetConnection() override;

    void SetHost(const QString &host) { m_host = host; }
    QString Host() const { return m_host; }
    void SetPort(int port) { m_port = port; }
    int Port() const { return m_port; }

    // Starts connecting: the connecting status at once, then either the connected status
    // or connectFailed (the status stays as it was before, nothing else is signalled).
    void Connect();
    bool Connected() const { return m_connected; }
    // Sends the line and CR LF (bytes 255 escaped as telnet wants). Nothing when not connected.
    void WriteLn(const QByteArray &line);
    // Drops the connection at once; the disconnected status follows when it was up.
    void Disconnect();

signals:
    void status(TTelnetConnection::TStatus status);
    void dataAvailable(const QByteArray &block);
    void connectFailed(const QString &reason);

private:
    static void telnetEvent(telnet_t *telnet, telnet_event_t *event, void *userData);
    void handleEvent(telnet_event_t *event);
    void onConnected();
    void onReadyRead();
    void onDisconnected();
    void failConnecting(const QString &reason);
    void resetTelnet();

    QTcpSocket *m_socket;
    telnet_t *m_telnet = nullptr;
    QTimer m_connectTimer;
    QString m_host;
    int m_port = DefaultPort;
    bool m_connecting = false;
    bool m_connected = false;
    QByteArray m_block; // the data of the bytes being received
};
