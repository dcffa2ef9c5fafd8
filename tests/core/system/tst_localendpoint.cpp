#include "system/LocalEndpoint.h"

#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QLocalServer>
#include <QLocalSocket>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>
#include <QtEndian>

#include <unistd.h>

namespace
{

QByteArray frameLength(quint32 length)
{
    QByteArray bytes(4, '\0');
    qToLittleEndian<quint32>(length, bytes.data());
    return bytes;
}

} // namespace

class TestLocalEndpoint : public QObject
{
    Q_OBJECT
private:
    QTemporaryDir m_dir;

private slots:
    void initTestCase()
    {
        QVERIFY(m_dir.isValid());
        TLocalEndpoint::setNamePrefix(m_dir.path() + "/ep-");
        QCOMPARE(TLocalEndpoint::serverName("TfrmQSO"), m_dir.path() + "/ep-TfrmQSO");
    }

    void defaultNamesAreOwnedByTheUser()
    {
        TLocalEndpoint::setNamePrefix({});
        const QString name = TLocalEndpoint::serverName("TfrmVelkor");
        TLocalEndpoint::setNamePrefix(m_dir.path() + "/ep-");
        QVERIFY(name.endsWith(QStringLiteral("-%1-TfrmVelkor").arg(::getuid())));
        QVERIFY(QFileInfo(name).isAbsolute());
    }

    void nobodyListening()
    {
        QVERIFY(!TLocalEndpoint::exists("TfrmNobody", 200));
        QVERIFY(!TLocalEndpoint::sendCopyData("TfrmNobody", CopyDataTag, QByteArray(12, '\0'), 200));
        QVERIFY(!TLocalEndpoint::postQuit("TfrmNobody", 200));
        QVERIFY(!TLocalEndpoint::requestRaise("TfrmNobody", 200));
    }

    void listeningEndpointIsOwnerOnlyAndExclusive()
    {
        TLocalEndpoint first;
        QVERIFY(first.listen("TfrmDxCluster"));
        QVERIFY(TLocalEndpoint::exists("TfrmDxCluster"));
        const QFile::Permissions others = QFile::ReadGroup | QFile::WriteGroup | QFile::ExeGroup |
                                          QFile::ReadOther | QFile::WriteOther | QFile::ExeOther;
        QCOMPARE(QFileInfo(TLocalEndpoint::serverName("TfrmDxCluster")).permissions() & others,
                 QFile::Permissions());

        TLocalEndpoint second;
        QVERIFY(!second.listen("TfrmDxCluster"));
        QVERIFY(first.isListening());

        first.close();
        QVERIFY(!TLocalEndpoint::exists("TfrmDxCluster", 200));
        QVERIFY(second.listen("TfrmDxCluster"));
    }

    void socketFileOfACrashedProgramIsReplaced()
    {
        const QString name = TLocalEndpoint::serverName("TfrmStale");
        {
            QFile leftover(name);
            QVERIFY(leftover.open(QIODevice::WriteOnly));
        }
        QVERIFY(!TLocalEndpoint::exists("TfrmStale", 200));
        TLocalEndpoint endpoint;
        QVERIFY(endpoint.listen("TfrmStale"));
        QVERIFY(TLocalEndpoint::exists("TfrmStale"));
    }

    void windowDataIsHandledBeforeTheSendReturns()
    {
        TLocalEndpoint receiver;
        QVERIFY(receiver.listen("TfrmVelkor"));
        QList<TDxClusterWindowData> received;
        connect(&receiver, &TLocalEndpoint::dxClusterWindowReceived, this,
                [&](const TDxClusterWindowData &data) { received << data; });

        const TDxClusterWindowData sent{1024, 768, true};
        QVERIFY(TLocalEndpoint::sendCopyData("TfrmVelkor", CopyDataTag, sent.encode()));
        QCOMPARE(received.size(), 1); // no waiting: the send is synchronous
        QCOMPARE(received.first(), sent);
    }

    void copyToLogIsDelivered()
    {
        TLocalEndpoint receiver;
        QVERIFY(receiver.listen("TfrmQSO"));
        QSignalSpy windowSpy(&receiver, &TLocalEndpoint::dxClusterWindowReceived);
        QList<TCopyToLogData> received;
        connect(&receiver, &TLocalEndpoint::copyToLogReceived, this,
                [&](const TCopyToLogData &data) { received << data; });

        const TCopyToLogData sent{QStringLiteral("OK1ABC"), 14.025};
        QVERIFY(TLocalEndpoint::sendCopyData("TfrmQSO", CopyDataTag, sent.encode()));
        QCOMPARE(received.size(), 1);
        QCOMPARE(received.first(), sent);
        QCOMPARE(windowSpy.count(), 0);
    }

    void unfitMessagesAreIgnored_data()
    {
        QTest::addColumn<quint32>("tag");
        QTest::addColumn<QByteArray>("record");
        QTest::newRow("other tag") << quint32(11) << TDxClusterWindowData{1, 2, false}.encode();
        QTest::newRow("tag zero") << quint32(0) << TDxClusterWindowData{1, 2, false}.encode();
        QTest::newRow("empty record") << CopyDataTag << QByteArray();
        QTest::newRow("short record") << CopyDataTag << QByteArray(11, '\1');
        QTest::newRow("long record") << CopyDataTag << QByteArray(13, '\1');
        QTest::newRow("record nobody here receives") << CopyDataTag << TCopyToLogData{"OK1ABC", 7.0}.encode();
        QTest::newRow("record over the limit")
            << CopyDataTag << QByteArray(TLocalEndpoint::MaxRecordSize + 1, '\1');
    }
    void unfitMessagesAreIgnored()
    {
        QFETCH(quint32, tag);
        QFETCH(QByteArray, record);
        TLocalEndpoint receiver;
        QVERIFY(receiver.listen("TfrmVelkor"));
        QSignalSpy spy(&receiver, &TLocalEndpoint::dxClusterWindowReceived);

        QVERIFY(!TLocalEndpoint::sendCopyData("TfrmVelkor", tag, record, 1000));
        QCOMPARE(spy.count(), 0);
        // The endpoint keeps working after it.
        QVERIFY(TLocalEndpoint::sendCopyData("TfrmVelkor", CopyDataTag,
                                             TDxClusterWindowData{3, 4, false}.encode()));
        QCOMPARE(spy.count(), 1);
    }

    void malformedFramesDoNotHurt_data()
    {
        QTest::addColumn<QByteArray>("bytes");
        QTest::newRow("huge length") << frameLength(0xffffffffu) + QByteArray(8, '\1');
        QTest::newRow("zero length") << frameLength(0) + QByteArray(8, '\1');
        QTest::newRow("unknown kind") << frameLength(1) + QByteArray(1, '\x7f');
        QTest::newRow("copy-data without tag") << frameLength(3) + QByteArray::fromHex("010a00");
        QTest::newRow("truncated frame") << frameLength(17) + QByteArray::fromHex("010a000000");
    }
    void malformedFramesDoNotHurt()
    {
        QFETCH(QByteArray, bytes);
        TLocalEndpoint receiver;
        QVERIFY(receiver.listen("TfrmVelkor"));
        QSignalSpy windowSpy(&receiver, &TLocalEndpoint::dxClusterWindowReceived);
        QSignalSpy quitSpy(&receiver, &TLocalEndpoint::quitRequested);
        QSignalSpy raiseSpy(&receiver, &TLocalEndpoint::raiseRequested);

        QLocalSocket raw;
        raw.connectToServer(TLocalEndpoint::serverName("TfrmVelkor"));
        QVERIFY(raw.waitForConnected(1000));
        raw.write(bytes);
        QVERIFY(raw.waitForBytesWritten(1000));
        QTest::qWait(100);
        char answer = 0;
        raw.getChar(&answer);
        QVERIFY(answer != 0x06);
        raw.abort();

        QCOMPARE(windowSpy.count() + quitSpy.count() + raiseSpy.count(), 0);
        QVERIFY(TLocalEndpoint::requestRaise("TfrmVelkor"));
        QCOMPARE(raiseSpy.count(), 1);
    }

    void quitIsPostedWithoutWaiting()
    {
        TLocalEndpoint receiver;
        QVERIFY(receiver.listen("TfrmDxCluster"));
        QSignalSpy spy(&receiver, &TLocalEndpoint::quitRequested);
        QVERIFY(TLocalEndpoint::postQuit("TfrmDxCluster"));
        QCOMPARE(spy.count(), 0); // nothing handled yet: the request was only posted
        QTRY_COMPARE(spy.count(), 1);
    }

    void raiseIsAcknowledged()
    {
        TLocalEndpoint receiver;
        QVERIFY(receiver.listen("TfrmVelkor"));
        QSignalSpy spy(&receiver, &TLocalEndpoint::raiseRequested);
        QVERIFY(TLocalEndpoint::requestRaise("TfrmVelkor"));
        QCOMPARE(spy.count(), 1);
    }

    // A receiver that takes the message but never answers stands for a hung window.
    void synchronousSendTimesOutWithoutAcknowledgement()
    {
        const QString name = TLocalEndpoint::serverName("TfrmSilent");
        QLocalServer silent;
        QVERIFY(silent.listen(name));
        QByteArray wire;
        QLocalSocket *peer = nullptr;
        connect(&silent, &QLocalServer::newConnection, this, [&] {
            peer = silent.nextPendingConnection();
            connect(peer, &QLocalSocket::readyRead, this, [&] { wire += peer->readAll(); });
        });

        const TDxClusterWindowData data{640, 480, false};
        QElapsedTimer clock;
        clock.start();
        QVERIFY(!TLocalEndpoint::sendCopyData("TfrmSilent", CopyDataTag, data.encode(), 300));
        const qint64 waited = clock.elapsed();
        QVERIFY2(waited >= 290 && waited < 2000, qPrintable(QString::number(waited)));

        // The message itself went out in the agreed layout.
        const QByteArray expected = frameLength(17) + QByteArray::fromHex("01 0a000000") + data.encode();
        QTRY_COMPARE(wire, expected);
    }
};

QTEST_GUILESS_MAIN(TestLocalEndpoint)
#include "tst_localendpoint.moc"
