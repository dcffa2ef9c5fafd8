// The client's window size between runs: the client reports its size when it closes, the
// logbook stores it in the operator settings, and the next client starts with it, from the
// arguments the logbook builds. The size must come back unchanged, run after run.

#include "../logbook/MainWindowFixture.h"

#include "system/ClusterLinkRecords.h"
#include "system/DxClusterLink.h"
#include "DxClusterWindow.h"
#include "system/LocalEndpoint.h"
#include "WendraArguments.h"

#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>

class TestClusterWindowSize : public QObject
{
    Q_OBJECT

    QTemporaryDir m_endpoints;

    // The logbook with a log open, its window endpoint taking the client's reports, and the
    // client's settings in the log's operator settings.
    struct Logbook {
        MainWindowFixture f;
        TLocalEndpoint endpoint;
        bool listening = false;

        Logbook(const QSize &stored, bool maximized)
        {
            listening = endpoint.listen("TfrmVelkor");
            f.w().AttachEndpoint(&endpoint);
            TUserOptions &uo = options();
            uo.SetClusterHost("127.0.0.1");
            uo.SetClusterPassword("heslo");
            uo.SetClusterWidth(stored.width());
            uo.SetClusterHeight(stored.height());
            uo.SetClusterMaximized(maximized);
        }
        TUserOptions &options() { return f.fx.dm->UserOptions; }
    };

    struct TRun {
        QSize size;       // the window's size while it ran
        QSize normalSize; // its size when not maximised
        bool maximized = false;
    };

    // One run of the client: started as the logbook starts it, shown, resized by the
    // operator when asked, closed; the logbook has its report when this returns.
    static TRun runClient(const TUserOptions &uo, TLocalEndpoint &endpoint, const QSize &resizeTo = {})
    {
        TRun run;
        const auto args = TWendraArguments::Parse(TDxClusterLink::ClientArguments(uo), uo.GetClusterPassword());
        if (!args)
            return run;
        TfrmDxCluster client;
        client.SetupConnection(args->Login, args->Password, args->Host, args->Port, args->Maximized, args->Width,
                               args->Height);
        client.show();
        if (!QTest::qWaitForWindowExposed(&client))
            return run;
        if (resizeTo.isValid()) {
            client.showNormal();
            client.resize(resizeTo);
            QTest::qWaitFor([&] { return client.size() == resizeTo; });
        }
        run.size = client.size();
        run.normalSize = client.normalGeometry().size();
        run.maximized = client.isMaximized();
        QSignalSpy reports(&endpoint, &TLocalEndpoint::dxClusterWindowReceived);
        client.close();
        QTest::qWaitFor([&] { return reports.size() == 1; });
        return run;
    }

private slots:
    void initTestCase()
    {
        TLocalEndpoint::setNamePrefix(m_endpoints.path() + "/ep-");
    }
    void cleanupTestCase()
    {
        TLocalEndpoint::setNamePrefix(QString());
    }

    void sizeComesBackRunAfterRun_data()
    {
        QTest::addColumn<QSize>("stored");
        QTest::addColumn<bool>("maximized");
        QTest::newRow("the default size") << QSize(640, 480) << false;
        QTest::newRow("a size of the operator's") << QSize(900, 625) << false;
        QTest::newRow("odd numbers") << QSize(733, 457) << false;
        QTest::newRow("maximised") << QSize(800, 600) << true;
    }
    void sizeComesBackRunAfterRun()
    {
        QFETCH(QSize, stored);
        QFETCH(bool, maximized);
        Logbook logbook(stored, maximized);
        QVERIFY(logbook.listening);
        TUserOptions &uo = logbook.options();
        TLocalEndpoint &endpoint = logbook.endpoint;

        for (int round = 1; round <= 10; ++round) {
            const TRun run = runClient(uo, endpoint);
            QVERIFY2(run.size.isValid(), qPrintable(QString("round %1").arg(round)));
            QCOMPARE(run.maximized, maximized);
            if (!maximized)
                QCOMPARE(run.size, stored);
            QCOMPARE(run.normalSize, stored);
            // What the logbook keeps for the next start.
            QCOMPARE(uo.GetClusterMaximized(), maximized);
            QCOMPARE(QSize(uo.GetClusterWidth(), uo.GetClusterHeight()), stored);
        }
    }

    void operatorsNewSizeIsTheNextStartsSize()
    {
        Logbook logbook(QSize(700, 450), true);
        QVERIFY(logbook.listening);
        TUserOptions &uo = logbook.options();
        TLocalEndpoint &endpoint = logbook.endpoint;
        // Maximised at first; the operator restores the window and gives it a size of
        // their own, which each later run keeps.
        QSize size(700, 450);
        for (int round = 1; round <= 10; ++round) {
            const QSize resizeTo = round % 3 == 1 ? QSize(660 + 17 * round, 410 + 11 * round) : QSize();
            const TRun run = runClient(uo, endpoint, resizeTo);
            if (resizeTo.isValid())
                size = resizeTo;
            else
                QCOMPARE(run.size, size);
            QVERIFY(!run.maximized || round == 1);
            QCOMPARE(QSize(uo.GetClusterWidth(), uo.GetClusterHeight()), size);
            QVERIFY(!uo.GetClusterMaximized());
        }
    }
};

QTEST_MAIN(TestClusterWindowSize)
#include "tst_clusterwindowsize.moc"
