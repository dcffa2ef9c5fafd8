// The client window against a fake cluster: status lines, the automatic login, the
// terminal, the command line, logout and the close rules with the size report.

#include "ClusterWindowFixture.h"

#include <QComboBox>
#include <QLineEdit>
#include <QScreen>
#include <QSignalSpy>
#include <QToolButton>

class TestDxClusterWindow : public QObject
{
    Q_OBJECT
private slots:
    void startsDisconnectedWithItsCaption()
    {
        ClusterWindowFixture f;
        QCOMPARE(f.window->windowTitle(), QString("DxCluster - 127.0.0.1"));
        QCOMPARE(f.window->StatusText(), QString("Odpojen"));
        QVERIFY(f.window->actConnect->isEnabled());
        QVERIFY(!f.window->actDisConnect->isEnabled());
        QCOMPARE(f.window->ConnectButton()->defaultAction(), f.window->actConnect);
        QCOMPARE(f.window->Login(), QString("ok1abc"));
        QCOMPARE(f.window->Connection()->Port(), int(f.server.port()));
        QVERIFY(f.window->LoggingIn());
    }

    void setupSizesAndMaximises()
    {
        ClusterWindowFixture f;
        f.window->SetupConnection("OK1ABC", "x", "h", 1, false, 800, 600);
        QCOMPARE(f.window->size(), QSize(800, 600));
        QVERIFY(!f.window->isMaximized());
        // The minimum size still holds.
        f.window->SetupConnection("OK1ABC", "x", "h", 1, false, 100, 100);
        QCOMPARE(f.window->size(), QSize(640, 400));
        f.window->SetupConnection("OK1ABC", "x", "h", 1, true, 800, 600);
        QVERIFY(f.window->windowState() & Qt::WindowMaximized);
    }

    void centredForTheSizeGiven_data()
    {
        QTest::addColumn<QSize>("size");
        QTest::newRow("smaller than the screen") << QSize(700, 500);
        QTest::newRow("the minimum") << QSize(640, 400);
        QTest::newRow("odd size") << QSize(711, 433);
        QTest::newRow("larger than the screen") << QSize(3000, 2000);
    }
    void centredForTheSizeGiven()
    {
        QFETCH(QSize, size);
        const QRect area = QGuiApplication::primaryScreen()->availableGeometry();
        TfrmDxCluster window;
        window.SetupConnection("OK1ABC", "x", "h", 1, false, size.width(), size.height());
        window.show();
        QVERIFY(QTest::qWaitForWindowExposed(&window));
        QCOMPARE(window.size(), size);
        const QRect frame = window.frameGeometry();
        if (size.width() < area.width() && size.height() < area.height()) {
            // Centred, give or take the frame, which the window has only once it is shown.
            const QPoint offCentre = frame.center() - area.center();
            QVERIFY2(offCentre.manhattanLength() <= 4, qPrintable(QString("%1,%2").arg(offCentre.x()).arg(offCentre.y())));
        } else {
            // The title bar stays on the screen.
            QCOMPARE(frame.topLeft(), area.topLeft());
        }
    }

    void connectShowsStatusLinesAndLogsIn()
    {
        ClusterWindowFixture f;
        QVERIFY(f.connect());
        const QStringList lines = f.terminalLines();
        QCOMPARE(lines.at(0), QString());
        QCOMPARE(lines.at(1), QString("#Připojuji se k 127.0.0.1:%1").arg(f.server.port()));
        QVERIFY(lines.at(2).startsWith("#Připojen ("));
        QCOMPARE(f.window->StatusText(), QString("Připojen"));
        QCOMPARE(f.window->ConnectButton()->defaultAction(), f.window->actDisConnect);
        // The button holds only what it shows: no menu (and no menu arrow) of the other.
        QCOMPARE(f.window->ConnectButton()->actions(), QList<QAction *>{f.window->actDisConnect});
        QVERIFY(!f.window->actConnect->isEnabled());
        QVERIFY(f.window->actDisConnect->isEnabled());
        // Logged in only after the password: nothing of the cluster is shown before.
        QVERIFY(!f.window->actShowDx->isEnabled());
        f.server.send("Welcome to the cluster\r\nlogin: ");
        QVERIFY(f.server.waitForLine("ok1abc"));
        QVERIFY(f.window->LoggingIn());
        f.server.send("\r\nPassword: ");
        QVERIFY(f.server.waitForLine("secret"));
        QVERIFY(QTest::qWaitFor([&] { return !f.window->LoggingIn(); }));
        QVERIFY(f.window->actShowDx->isEnabled());
        f.server.send("DX de OK2XYZ:     14025.0  OK1ABC       cq\r\n");
        QVERIFY(f.waitForTerminalLine("DX de OK2XYZ:     14025.0  OK1ABC       cq"));
        QVERIFY(!f.terminalLines().join('\n').contains("Welcome"));
        QCOMPARE(f.server.lines, (QStringList{"ok1abc", "secret"}));
    }

    void promptRules_data()
    {
        QTest::addColumn<QList<QByteArray>>("blocks");
        QTest::addColumn<QStringList>("answers");
        QTest::addColumn<bool>("loggedIn");
        QTest::newRow("both prompts in one block: login only")
            << QList<QByteArray>{"\r\nlogin: \r\nPassword: "} << QStringList{"ok1abc"} << false;
        QTest::newRow("login without CR LF before it")
            << QList<QByteArray>{"login: "} << QStringList{"ok1abc"} << false;
        QTest::newRow("login split over two blocks")
            << QList<QByteArray>{"\r\nlog", "in: "} << QStringList{"ok1abc"} << false;
        QTest::newRow("prompt in the middle of a block")
            << QList<QByteArray>{"banner\r\nlogin: more", "x\r\nPassword: y"}
            << QStringList{"ok1abc", "secret"} << true;
        QTest::newRow("login in capitals")
            << QList<QByteArray>{"\r\nLogin: "} << QStringList{"ok1abc"} << false;
        QTest::newRow("password without login")
            << QList<QByteArray>{"\r\nPassword: "} << QStringList{"secret"} << true;
    }
    void promptRules()
    {
        QFETCH(QList<QByteArray>, blocks);
        QFETCH(QStringList, answers);
        QFETCH(bool, loggedIn);
        ClusterWindowFixture f;
        QVERIFY(f.connect());
        for (const QByteArray &block : blocks) {
            f.server.send(block);
            QTest::qWait(60); // each write arrives as a block of its own
        }
        if (!answers.isEmpty())
            QVERIFY(f.server.waitForLine(answers.last()));
        QTest::qWait(50);
        QCOMPARE(f.server.lines, answers);
        QCOMPARE(!f.window->LoggingIn(), loggedIn);
    }

    void commandLineSendsEchoesAndKeepsHistory()
    {
        ClusterWindowFixture f;
        QLineEdit *edit = f.window->CommandLine()->lineEdit();
        // Disconnected: Enter leaves the text in the box and sends nothing.
        f.window->CommandLine()->setEditText("sh/dx");
        QTest::keyClick(edit, Qt::Key_Return);
        QCOMPARE(f.window->CommandLine()->currentText(), QString("sh/dx"));
        QVERIFY(f.window->History().isEmpty());

        // Connected but still logging in: the node would take the text as call or password.
        QVERIFY(f.connect());
        QTest::keyClick(edit, Qt::Key_Return);
        QVERIFY(f.waitForTerminalLine("#Příkaz neodeslán, přihlášení ještě neskončilo"));
        QCOMPARE(f.window->CommandLine()->currentText(), QString("sh/dx"));
        QVERIFY(f.window->History().isEmpty());
        QVERIFY(f.server.lines.isEmpty());
        // Logged in, the command line works.
        QVERIFY(f.login());
        f.server.lines.clear();
        QTest::keyClick(edit, Qt::Key_Return);
        QVERIFY(f.server.waitForLine("sh/dx"));
        QVERIFY(f.waitForTerminalLine("$sh/dx"));
        QCOMPARE(f.window->CommandLine()->currentText(), QString());
        // Enter on an empty line sends nothing.
        QTest::keyClick(edit, Qt::Key_Return);
        f.window->CommandLine()->setEditText("Příliš žluťoučký");
        QTest::keyClick(edit, Qt::Key_Enter);
        QVERIFY(f.server.waitForLine(QString::fromLatin1(QByteArray("P\xf8\xed"
                                                                    "li\x9a \x9elu\x9dou\xe8k\xfd"))));
        QCOMPARE(f.server.lines, (QStringList{"sh/dx", f.server.lines.last()}));
        QCOMPARE(f.window->History(), (QStringList{"Příliš žluťoučký", "sh/dx"}));
        QCOMPARE(f.window->CommandLine()->count(), 2);
        for (int i = 0; i < 50; ++i) {
            f.window->CommandLine()->setEditText(QString("c%1").arg(i));
            QTest::keyClick(edit, Qt::Key_Return);
        }
        QCOMPARE(f.window->CommandLine()->count(), 50);
        QCOMPARE(f.window->CommandLine()->itemText(0), QString("c49"));
        QCOMPARE(f.window->CommandLine()->itemText(49), QString("c0"));
    }

    void receivedTextFollowsTheStreamRule()
    {
        ClusterWindowFixture f;
        QVERIFY(f.connectAndLogin());
        const int before = f.window->Terminal()->LineCount();
        f.server.send("abc");
        QTest::qWait(60);
        f.server.send("def\r\n");
        QVERIFY(f.waitForTerminalLine("abcdef"));
        QCOMPARE(f.window->Terminal()->LineCount(), before + 1);
        QCOMPARE(f.terminalLines().last(), QString());
        // Bell, tab and escape go; a NUL drops the rest; Windows-1250 letters stay.
        f.server.send(QByteArray("a\ab\tc\x1b"
                                 "d\xe8\r\nxy\0zz\r\n",
                                 14));
        QVERIFY(f.waitForTerminalLine("abcdč"));
        QCOMPARE(f.terminalLines().last(), QString("xy"));
        // A status line after an unfinished prompt continues that line.
        f.server.send("\r\nOK1ABC de OK0DXH clx >");
        QTest::qWait(60);
        f.window->AddTerminalLine("#Odpojuji se");
        QVERIFY(f.terminalLines().contains("OK1ABC de OK0DXH clx >#Odpojuji se"));
    }

    void logoutTwoStepsAndReconnect()
    {
        ClusterWindowFixture f;
        f.server.closeOnLogout = false;
        QVERIFY(f.connectAndLogin());
        f.window->actDisConnect->trigger();
        QVERIFY(f.server.waitForLine("b"));
        QVERIFY(f.waitForTerminalLine("#Odpojuji se"));
        QVERIFY(f.window->Connection()->Connected());
        QCOMPARE(f.window->CloseState(), int(TfrmDxCluster::csLogoutSent));
        // The second "Odpojit" drops the connection at once.
        f.window->actDisConnect->trigger();
        QVERIFY(!f.window->Connection()->Connected());
        QVERIFY(f.waitForTerminalLineStarting("#Odpojen ("));
        QCOMPARE(f.window->StatusText(), QString("Odpojen"));
        QCOMPARE(f.window->CloseState(), 0);
        QVERIFY(f.window->LoggingIn());
        QVERIFY(!f.window->actShowDx->isEnabled());
        QCOMPARE(f.window->ConnectButton()->defaultAction(), f.window->actConnect);
        QCOMPARE(f.window->ConnectButton()->actions(), QList<QAction *>{f.window->actConnect});

        // Reconnecting answers both prompts again; "b" now goes out first again.
        f.server.lines.clear();
        f.server.closeOnLogout = true;
        QVERIFY(f.connectAndLogin());
        QCOMPARE(f.server.lines, (QStringList{"ok1abc", "secret"}));
        f.window->actDisConnect->trigger();
        QVERIFY(f.server.waitForLine("b"));
        QVERIFY(QTest::qWaitFor([&] { return !f.window->Connection()->Connected(); }));
        QCOMPARE(f.window->StatusText(), QString("Odpojen"));
    }

    void refusedConnectionSaysSo()
    {
        ClusterWindowFixture f;
        QTcpServer closed;
        QVERIFY(closed.listen(QHostAddress::LocalHost));
        const quint16 port = closed.serverPort();
        closed.close();
        f.window->SetupConnection("OK1ABC", "x", "127.0.0.1", port, false, 700, 500);
        f.window->actConnect->trigger();
        QVERIFY(QTest::qWaitFor([&] { return !f.messages.shown.isEmpty(); }));
        QCOMPARE(f.messages.lastText(), QString("Nelze se připojit"));
        QCOMPARE(f.messages.shown.last().type, mtError);
        QCOMPARE(f.messages.shown.last().buttons, TMsgDlgButtons(mbOK));
        QCOMPARE(f.window->StatusText(), QString("Odpojen"));
        QVERIFY(f.window->actConnect->isEnabled());
        QVERIFY(!f.window->actDisConnect->isEnabled());
    }

    void closeWhileConnectedLogsOutFirst_data()
    {
        QTest::addColumn<bool>("maximized");
        QTest::newRow("normal") << false;
        QTest::newRow("maximised") << true;
    }
    void closeWhileConnectedLogsOutFirst()
    {
        QFETCH(bool, maximized);
        ClusterWindowFixture f;
        TLocalEndpoint logbook;
        QVERIFY(logbook.listen("TfrmVelkor"));
        QSignalSpy reports(&logbook, &TLocalEndpoint::dxClusterWindowReceived);
        f.window->show();
        if (maximized)
            f.window->showMaximized();
        QVERIFY(f.connectAndLogin());
        f.server.closeOnLogout = false;
        QVERIFY(!f.window->close());
        QVERIFY(f.window->isVisible());
        QVERIFY(f.server.waitForLine("b"));
        QVERIFY(f.waitForTerminalLine("#Odpojuji se"));
        QCOMPARE(reports.size(), 0);
        // The server ends the connection: the window closes by itself and reports its size.
        f.server.closeClient();
        QVERIFY(QTest::qWaitFor([&] { return !f.window->isVisible(); }));
        QVERIFY(f.waitForTerminalLineStarting("#Odpojen ("));
        QVERIFY(QTest::qWaitFor([&] { return reports.size() == 1; }));
        const auto data = reports.at(0).at(0).value<TDxClusterWindowData>();
        QCOMPARE(data.Maximized, maximized);
        // The size given at the start, also when maximised: the next start restores it.
        QCOMPARE(QSize(data.Width, data.Height), QSize(700, 500));
        QTest::qWait(50);
        QCOMPARE(reports.size(), 1);
    }

    void secondCloseDropsTheConnection()
    {
        ClusterWindowFixture f;
        TLocalEndpoint logbook;
        QVERIFY(logbook.listen("TfrmVelkor"));
        QSignalSpy reports(&logbook, &TLocalEndpoint::dxClusterWindowReceived);
        f.server.closeOnLogout = false;
        f.window->show();
        QVERIFY(f.connectAndLogin());
        QVERIFY(!f.window->close());
        QVERIFY(f.server.waitForLine("b"));
        QVERIFY(f.window->close());
        QVERIFY(!f.window->Connection()->Connected());
        QVERIFY(f.server.waitForDisconnection());
        QVERIFY(QTest::qWaitFor([&] { return reports.size() == 1; }));
        QTest::qWait(50);
        QCOMPARE(reports.size(), 1);
    }

    void closeWhileDisconnectedReportsAtOnce()
    {
        ClusterWindowFixture f;
        f.window->show();
        // Without a logbook the report goes nowhere and the close still succeeds.
        QVERIFY(f.window->close());
        TLocalEndpoint logbook;
        QVERIFY(logbook.listen("TfrmVelkor"));
        QSignalSpy reports(&logbook, &TLocalEndpoint::dxClusterWindowReceived);
        TfrmDxCluster second;
        second.SetupConnection("OK1ABC", "x", "h", 1, false, 720, 480);
        second.show();
        QVERIFY(second.close());
        QVERIFY(QTest::qWaitFor([&] { return reports.size() == 1; }));
        QCOMPARE(reports.at(0).at(0).value<TDxClusterWindowData>().Maximized, false);
        QVERIFY(f.server.lines.isEmpty());
    }

    void hintsGoToTheSecondPanel()
    {
        ClusterWindowFixture f;
        QStatusTipEvent tip(f.window->actConnect->statusTip());
        QCoreApplication::sendEvent(f.window.get(), &tip);
        QCOMPARE(f.window->HintText(), QString(" Připojit se k DX Clusteru"));
    }
};

QTEST_MAIN(TestDxClusterWindow)
#include "tst_dxclusterwindow.moc"
