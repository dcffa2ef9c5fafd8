// The main window's "DX Cluster" command and the stop of the client when the log closes,
// with a stand-in client program beside the logbook that records how it was started.

#include "system/DxClusterLink.h"
#include "QsoTestFixture.h"
#include "ScriptedMessages.h"

#include "AppGlobals.h"
#include "MainWindow.h"
#include "ProgressDialog.h"

#include <QAction>
#include <QSignalSpy>
#include <QTest>

class TestDxClusterCommand : public QObject
{
    Q_OBJECT

    struct Logbook {
        QsoTestFixture fx;
        std::unique_ptr<TfrmVelkor> window;

        explicit Logbook(const QString &host, const QString &password)
        {
            QFile script(fx.path("wendra"));
            script.open(QIODevice::WriteOnly);
            script.write("#!/bin/sh\necho \"$@\" >> \"$(dirname \"$0\")/starts.txt\"\n");
            script.close();
            script.setPermissions(script.permissions() | QFileDevice::ExeOwner);
            TUserOptions &o = fx.dm->UserOptions;
            o.SetClusterHost(host);
            o.SetClusterPassword(password);
            o.Save();
            dmLog = fx.dm.get();
            DxccList = fx.dxcc.get();
            window = std::make_unique<TfrmVelkor>(*fx.dm);
            frmVelkor = window.get();
            frmDialog = new TfrmDialog(window.get());
            window->OpenLog(QsoTestFixture::Call);
        }
        ~Logbook()
        {
            frmDialog = nullptr;
            window.reset();
            frmVelkor = nullptr;
            DxccList = nullptr;
            dmLog = nullptr;
        }
        QStringList starts() const
        {
            QFile file(fx.path("starts.txt"));
            return file.open(QIODevice::ReadOnly)
                       ? QString::fromUtf8(file.readAll()).split('\n', Qt::SkipEmptyParts)
                       : QStringList();
        }
    };

private slots:
    void startsTheClientForTheOpenLog()
    {
        Logbook logbook("dx.example.net", "heslo");
        ScriptedMessages messages;
        QVERIFY(logbook.window->actDxCluster->isEnabled());
        logbook.window->actDxCluster->trigger();
        QVERIFY(QTest::qWaitFor([&] { return !logbook.starts().isEmpty(); }));
        QCOMPARE(logbook.starts(), QStringList{"OK1XYZ * dx.example.net 41112 -1 640 480"});
        QVERIFY(messages.shown.isEmpty());
    }

    void secondCommandLeavesTheRunningClientAndCloseLogStopsIt()
    {
        Logbook logbook("dx.example.net", "heslo");
        // The client's window answers: it runs.
        TLocalEndpoint client;
        QVERIFY(client.listen(TDxClusterLink::ClientWindowClass));
        QSignalSpy quit(&client, &TLocalEndpoint::quitRequested);
        logbook.window->actDxCluster->trigger();
        logbook.window->actDxCluster->trigger();
        QTest::qWait(200);
        QVERIFY(logbook.starts().isEmpty());
        const int width = logbook.fx.dm->UserOptions.GetClusterWidth();
        logbook.window->CloseLog();
        QVERIFY(quit.wait());
        QCOMPARE(quit.size(), 1);
        TUserOptions saved;
        saved.Load(logbook.fx.dm->DataDir + QsoTestFixture::Call + ".uf");
        QCOMPARE(saved.GetClusterWidth(), width);
    }

    void refusesWithoutHost()
    {
        Logbook logbook("", "");
        ScriptedMessages messages;
        logbook.window->actDxCluster->trigger();
        QCOMPARE(messages.texts(), QStringList{TDxClusterLink::NoHostText});
        QTest::qWait(100);
        QVERIFY(logbook.starts().isEmpty());
    }
};

QTEST_MAIN(TestDxClusterCommand)
#include "tst_dxclustercommand.moc"
