#include "FakeClock.h"
#include "FakeTimeServer.h"
#include "system/SntpClient.h"

#include <QDateTime>
#include <QElapsedTimer>
#include <QTest>
#include <QtEndian>

using Reply = FakeTimeServer::Reply;

Q_DECLARE_METATYPE(FakeTimeServer::Reply)

class TestSntpClient : public QObject
{
    Q_OBJECT
private:
    FakeTimeServer m_server;

    TSntpClient client(int timeoutMs = 2000) { return TSntpClient("127.0.0.1", m_server.port(), timeoutMs); }

private slots:
    void initTestCase() { QVERIFY(m_server.start()); }
    void init() { m_server.reply = Reply(); }

    void timestamps_data()
    {
        QTest::addColumn<qint64>("ms");
        QTest::addColumn<quint64>("ntp");
        QTest::newRow("1970") << qint64(0) << (quint64(2208988800LL) << 32);
        QTest::newRow("2007 and a half second")
            << qint64(1172707200500LL) << ((quint64(1172707200LL + 2208988800LL) << 32) | 0x80000000ULL);
        QTest::newRow("last moment of the first era") << qint64(2085978495500LL) << 0xffffffff80000000ULL;
        QTest::newRow("start of the second era") << qint64(2085978496000LL) << quint64(0);
        QTest::newRow("2040") << qint64(2208988800000LL) << (quint64(2208988800LL - 2085978496LL) << 32);
    }
    void timestamps()
    {
        QFETCH(qint64, ms);
        QFETCH(quint64, ntp);
        QCOMPARE(TSntpClient::toNtpTimestamp(ms), ntp);
        QCOMPARE(TSntpClient::fromNtpTimestamp(ntp), ms);
    }

    void goodAnswer_data()
    {
        QTest::addColumn<Reply>("reply");
        Reply reply;
        QTest::newRow("same time") << reply;
        reply.offsetMs = 3600250;
        QTest::newRow("server an hour ahead") << reply;
        reply.offsetMs = -86400000 - 1500;
        QTest::newRow("server a day behind") << reply;
        reply.leap = 1;
        QTest::newRow("leap second announced") << reply;
        reply.leap = 0;
        reply.version = 3;
        reply.stratum = 15;
        QTest::newRow("version 3, stratum 15") << reply;
    }
    void goodAnswer()
    {
        QFETCH(Reply, reply);
        m_server.reply = reply;
        TSntpClient sntp = client();
        QCOMPARE(sntp.query(), TSntpClient::Result::Ok);
        QVERIFY2(qAbs(sntp.offsetMs() - reply.offsetMs) < 100, qPrintable(QString::number(sntp.offsetMs())));
        QVERIFY(sntp.delayMs() >= -5 && sntp.delayMs() < 500);
        const qint64 expected = QDateTime::currentMSecsSinceEpoch() + reply.offsetMs;
        QVERIFY(qAbs(sntp.serverUtc().toMSecsSinceEpoch() - expected) < 500);
        QCOMPARE(sntp.serverUtc().timeSpec(), Qt::UTC);

        // The request is an SNTP client request of version 4 carrying our transmit time.
        QCOMPARE(m_server.lastRequest.size(), TSntpClient::PacketSize);
        QCOMPARE(quint8(m_server.lastRequest.at(0)), quint8(0x23));
        QVERIFY(qFromBigEndian<quint64>(m_server.lastRequest.constData() + 40) != 0);
    }

    void badAnswer_data()
    {
        QTest::addColumn<Reply>("reply");
        Reply reply;
        reply.leap = 3;
        QTest::newRow("unsynchronised server") << reply;
        reply = Reply();
        reply.mode = 3;
        QTest::newRow("client mode") << reply;
        reply.mode = 5;
        QTest::newRow("broadcast mode") << reply;
        reply = Reply();
        reply.version = 0;
        QTest::newRow("version 0") << reply;
        reply.version = 7;
        QTest::newRow("version 7") << reply;
        reply = Reply();
        reply.stratum = 0;
        QTest::newRow("kiss-of-death") << reply;
        reply.stratum = 16;
        QTest::newRow("stratum 16") << reply;
        reply = Reply();
        reply.echoOriginate = false;
        QTest::newRow("originate mismatch") << reply;
        reply = Reply();
        reply.zeroTransmit = true;
        QTest::newRow("zero transmit") << reply;
        reply = Reply();
        reply.zeroReceive = true;
        QTest::newRow("zero receive") << reply;
        reply = Reply();
        reply.size = 47;
        QTest::newRow("short packet") << reply;
        reply.size = 0;
        QTest::newRow("empty packet") << reply;
    }
    void badAnswer()
    {
        QFETCH(Reply, reply);
        m_server.reply = reply;
        FakeClock clock;
        QCOMPARE(client().synchronize(clock), TSntpClient::Result::BadAnswer);
        QVERIFY(clock.settings.isEmpty());
    }

    void serverThatNeverAnswers()
    {
        m_server.reply.silent = true;
        QElapsedTimer elapsed;
        elapsed.start();
        QCOMPARE(client(300).query(), TSntpClient::Result::TimeOut);
        QVERIFY(elapsed.elapsed() >= 290);
        QVERIFY(elapsed.elapsed() < 3000);
        QVERIFY(!m_server.lastRequest.isEmpty());
    }

    void hostNotFound_data()
    {
        QTest::addColumn<QString>("host");
        QTest::newRow("empty") << QString();
        QTest::newRow("blank") << QStringLiteral("   ");
        QTest::newRow("malformed name") << QStringLiteral("bad..name");
    }
    void hostNotFound()
    {
        QFETCH(QString, host);
        QCOMPARE(TSntpClient(host).query(), TSntpClient::Result::HostNotFound);
    }

    void synchronizeSetsTheClock()
    {
        m_server.reply.offsetMs = -7200000;
        FakeClock clock;
        QCOMPARE(client().synchronize(clock), TSntpClient::Result::Ok);
        QCOMPARE(clock.settings.size(), 1);
        const qint64 expected = QDateTime::currentMSecsSinceEpoch() - 7200000;
        QVERIFY(qAbs(clock.settings.first().toMSecsSinceEpoch() - expected) < 500);
    }

    void refusedClockIsReported()
    {
        FakeClock clock;
        clock.accept = false;
        QCOMPARE(client().synchronize(clock), TSntpClient::Result::ClockNotSet);
        QCOMPARE(clock.settings.size(), 1);
    }

    void installedClockSetterReplacesTheSystemClock()
    {
        FakeClock clock;
        setClockSetter(&clock);
        QCOMPARE(&clockSetter(), &clock);
        setClockSetter(nullptr);
        QVERIFY(dynamic_cast<TSystemClock *>(&clockSetter()));
        // An invalid moment is refused before the system is asked.
        QVERIFY(!clockSetter().setUtc(QDateTime()));
    }
};

QTEST_GUILESS_MAIN(TestSntpClient)
#include "tst_sntpclient.moc"
