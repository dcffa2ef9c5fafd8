#pragma once
// A named, per-user message endpoint that stands in for a top-level window which other
// processes find by its class name ("TfrmVelkor", "TfrmDxCluster", "TfrmQSO") and send
// messages to: copy-data records, a quit request and a request to come to the front.
//
// Endpoints are local sockets in the user's own runtime folder, reachable only by the
// user who created them. A message is a frame: a 32-bit little-endian payload length,
// then the payload (one kind byte and, for copy-data, a 32-bit little-endian tag and the
// record). Copy-data and raise requests are answered with one byte: handled or ignored.

#include "system/ClusterLinkRecords.h"

#include <QObject>
#include <QString>

class QLocalServer;
class QLocalSocket;

class TLocalEndpoint : public QObject
{
    Q_OBJECT
public:
    // Time the synchronous sends wait for the receiver by default.
    static constexpr int DefaultTimeoutMs = 2000;
    // The largest record a copy-data message may carry; longer frames are refused.
    static constexpr int MaxRecordSize = 1024;

    explicit TLocalEndpoint(QObject *parent = nullptr);
    ~TLocalEndpoint() override;

    // Starts answering under the class name. Fails while another endpoint of that name
    // answers; a socket file left behind by a crashed program is replaced.
    bool listen(const QString &className);
    void close();
    bool isListening() const;
    QString className() const { return m_className; }

    // The socket path of a class name: the name prefix followed by the class name; empty
    // when the user has no folder of their own for it (see PrivateRuntimeFolder).
    static QString serverName(const QString &className);
    // The default prefix lies in the user's own runtime folder and holds the user id; tests
    // set a prefix of their own (an empty text restores the default).
    static void setNamePrefix(const QString &prefix);
    static QString namePrefix();

    // True when an endpoint of the class name answers a connection.
    static bool exists(const QString &className, int timeoutMs = DefaultTimeoutMs);
    // Sends a copy-data record and waits (running a local event loop) until the receiver
    // has handled it. False when nobody answers, the receiver ignored the record, or no
    // acknowledgement came within the time-out.
    static bool sendCopyData(const QString &className, quint32 tag, const QByteArray &record,
                             int timeoutMs = DefaultTimeoutMs);
    // Posts a quit request without waiting for it to be handled. False when it could not
    // be delivered (nobody listens).
    static bool postQuit(const QString &className, int timeoutMs = DefaultTimeoutMs);
    // Asks the endpoint's window to come to the front and waits for the acknowledgement.
    static bool requestRaise(const QString &className, int timeoutMs = DefaultTimeoutMs);

signals:
    // Copy-data messages tagged CopyDataTag whose record decodes as one of the two
    // records; a message with another tag or size, or one nobody here receives, is ignored.
    void dxClusterWindowReceived(const TDxClusterWindowData &data);
    void copyToLogReceived(const TCopyToLogData &data);
    void quitRequested();
    void raiseRequested();

private:
    void acceptConnections();
    void readFrames(QLocalSocket *socket);
    // Handles one payload; returns the answer byte, or 0 when no answer is due.
    char dispatch(const QByteArray &payload);
    bool dispatchCopyData(quint32 tag, const QByteArray &record);

    QLocalServer *m_server = nullptr;
    QString m_className;
};
