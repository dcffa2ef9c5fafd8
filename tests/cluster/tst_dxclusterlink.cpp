// The logbook's link with the client: the refusals, the seven arguments with the password
// kept off the command line, one client at a time, and the stop; once with a stand-in
// program that records how it was started, once with the real client.

#include "system/DxClusterLink.h"
#include "system/LocalEndpoint.h"
#include "ScriptedMessages.h"
#include "settings/UserOptions.h"
#include "WendraArguments.h"

#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>

class TestDxClusterLink : public QObject
{
    Q_OBJECT

    QTemporaryDir m_runtime;
    QTemporaryDir m_dir;
    QString m_appDir;

    // The operator settings of a log; they live as long as the test object.
    TUserOptions m_options;
    const TUserOptions &options(const QString &host = "dx.example.net",
                                const QString &password = "tajne heslo")
    {
        TUserOptions &o = m_options;
        o.Clear();
        o.SetCall("ok1abc");
        o.SetClusterHost(host);
        o.SetClusterPassword(password);
        o.SetClusterPort(7300);
        o.SetClusterMaximized(false);
        o.SetClusterWidth(800);
        o.SetClusterHeight(600);
        return o;
    }
    QString readFile(const QString &name) const
    {
        QFile file(m_appDir + name);
        return file.open(QIODevice::ReadOnly) ? QString::fromUtf8(file.readAll()) : QString();
    }

private slots:
    void initTestCase()
    {
        // Both this test and the clients it starts find the endpoints in the own folder
        // under this home.
        qputenv("HOME", m_runtime.path().toLocal8Bit());
        TLocalEndpoint::setNamePrefix(QString());
        m_appDir = m_dir.path() + "/";
        // A stand-in client that writes down its arguments and the password it was given.
        QFile script(TDxClusterLink::ClientProgram(m_appDir));
        QVERIFY(script.open(QIODevice::WriteOnly));
        script.write("#!/bin/sh\n"
                     "dir=$(dirname \"$0\")\n"
                     "printf '%s\\n' \"$@\" > \"$dir/args.tmp\"\n"
                     "printf '%s' \"$WENDRA_PASSWORD\" > \"$dir/password.txt\"\n"
                     "echo started >> \"$dir/starts.txt\"\n"
                     "mv \"$dir/args.tmp\" \"$dir/args.txt\"\n");
        script.close();
        script.setPermissions(script.permissions() | QFileDevice::ExeOwner);
    }
    void cleanup()
    {
        for (const char *name : {"args.txt", "password.txt", "starts.txt"})
            QFile::remove(m_appDir + name);
    }

    void refusals_data()
    {
        QTest::addColumn<QString>("host");
        QTest::addColumn<QString>("password");
        QTest::addColumn<QString>("message");
        QTest::newRow("host and password empty: the host only")
            << ""
            << ""
            << "Adresa DxClusteru není zadána  (Nastavení/DxCluster/Adresa).";
        QTest::newRow("password empty") << "dx.example.net"
                                        << ""
                                        << "Heslo musí být zadáno (Nastavení/DxCluster/Heslo).";
    }
    void refusals()
    {
        QFETCH(QString, host);
        QFETCH(QString, password);
        QFETCH(QString, message);
        ScriptedMessages messages;
        QCOMPARE(TDxClusterLink::StartDxCluster(m_appDir, options(host, password)), 0);
        QCOMPARE(messages.texts(), QStringList{message});
        QCOMPARE(messages.shown.at(0).type, mtError);
        QCOMPARE(messages.shown.at(0).buttons, TMsgDlgButtons(mbOK));
        QTest::qWait(100);
        QVERIFY(!QFileInfo::exists(m_appDir + "starts.txt"));
    }

    void startsWithSevenArgumentsAndThePasswordApart()
    {
        ScriptedMessages messages;
        options();
        TUserOptions &o = m_options;
        o.SetClusterMaximized(true);
        QVERIFY(TDxClusterLink::StartDxCluster(m_appDir, o) > 0);
        QVERIFY(QTest::qWaitFor([&] { return QFileInfo::exists(m_appDir + "args.txt"); }));
        const QStringList args = readFile("args.txt").split('\n', Qt::SkipEmptyParts);
        QCOMPARE(args, (QStringList{"OK1ABC", "*", "dx.example.net", "7300", "-1", "800", "600"}));
        QCOMPARE(readFile("password.txt"), QString("tajne heslo"));
        QVERIFY(messages.shown.isEmpty());
        // The client reads it back the same way.
        const auto parsed = TWendraArguments::Parse(args, readFile("password.txt"));
        QVERIFY(parsed);
        QCOMPARE(parsed->Login, QString("ok1abc"));
        QCOMPARE(parsed->Password, QString("tajne heslo"));
        QCOMPARE(parsed->Maximized, true);
    }

    void aRunningClientIsLeftAlone()
    {
        TLocalEndpoint client;
        QVERIFY(client.listen("TfrmDxCluster"));
        QSignalSpy quit(&client, &TLocalEndpoint::quitRequested);
        QCOMPARE(TDxClusterLink::StartDxCluster(m_appDir, options()), 0);
        QTest::qWait(200);
        QVERIFY(!QFileInfo::exists(m_appDir + "starts.txt"));
        // Closing the log tells it to end.
        TDxClusterLink::StopDxCluster();
        QVERIFY(quit.wait());
        client.close();
        // With no client nothing happens.
        TDxClusterLink::StopDxCluster();
    }

    void realClientStartsOnceAndEndsWithoutReport()
    {
        const QString stage = QStringLiteral(VELKOR_STAGE_DIR "/");
        if (!QFileInfo::exists(TDxClusterLink::ClientProgram(stage)))
            QSKIP("the client is not staged");
        TLocalEndpoint logbook;
        QVERIFY(logbook.listen("TfrmVelkor"));
        QSignalSpy reports(&logbook, &TLocalEndpoint::dxClusterWindowReceived);

        const qint64 pid = TDxClusterLink::StartDxCluster(stage, options());
        QVERIFY(pid > 0);
        QVERIFY(QTest::qWaitFor([] { return TLocalEndpoint::exists("TfrmDxCluster", 100); }, 15000));
        // Nobody reading the process list sees the password.
        QFile cmdline(QString("/proc/%1/cmdline").arg(pid));
        QVERIFY(cmdline.open(QIODevice::ReadOnly));
        const QList<QByteArray> args = cmdline.readAll().split('\0');
        QCOMPARE(args.mid(1, 7),
                 (QList<QByteArray>{"OK1ABC", "*", "dx.example.net", "7300", "0", "800", "600"}));
        for (const QByteArray &arg : args)
            QVERIFY(!arg.contains("tajne"));
        // "DX Cluster" again starts nothing.
        QCOMPARE(TDxClusterLink::StartDxCluster(stage, options()), 0);

        // Closing the log ends it at once, without logout and without a size report.
        TDxClusterLink::StopDxCluster();
        QVERIFY(
            QTest::qWaitFor([&] { return !QFileInfo::exists(QString("/proc/%1/cmdline").arg(pid)); }, 15000));
        QVERIFY(!TLocalEndpoint::exists("TfrmDxCluster", 100));
        QTest::qWait(100);
        QCOMPARE(reports.size(), 0);
    }

    void realClientEndsSilentlyWithoutSevenArguments_data()
    {
        QTest::addColumn<QStringList>("args");
        QTest::newRow("six") << QStringList{"OK1ABC", "x", "h", "1", "0", "640"};
        QTest::newRow("eight") << QStringList{"OK1ABC", "x", "h", "1", "0", "640", "480", "9"};
    }
    void realClientEndsSilentlyWithoutSevenArguments()
    {
        QFETCH(QStringList, args);
        const QString program = TDxClusterLink::ClientProgram(QStringLiteral(VELKOR_STAGE_DIR "/"));
        if (!QFileInfo::exists(program))
            QSKIP("the client is not staged");
        QProcess client;
        client.start(program, args);
        QVERIFY(client.waitForFinished(15000));
        QCOMPARE(client.exitCode(), 0);
        QVERIFY(client.readAllStandardOutput().isEmpty());
        QVERIFY(!TLocalEndpoint::exists("TfrmDxCluster", 100));
    }
};

QTEST_MAIN(TestDxClusterLink)
#include "tst_dxclusterlink.moc"
