// The client window against fake nodes that speak as the nodes on the air do: prompts
// without CR LF before them, no password or a password, banners, spots ended by CR LF or by
// LF alone, prompts split over blocks, a node that drops the line during the login. Once in,
// the spots show in their colour and the cluster commands work.

#include "ClusterWindowFixture.h"

#include "ClusterLogin.h"
#include "FocusKeys.h"

#include <QColor>
#include <QComboBox>

namespace
{

const QColor SpotColour(128, 0, 0);
const QColor PromptGrey(248, 248, 248);
const QByteArray Spot1 = "DX de S50ABC:     1825.0  PY2ABC       cq                     1139Z JO70";
const QByteArray Spot2 = "DX de OK2XYZ:    14025.0  VK9ABC       599                    1140Z JN89";
const QString Refused = QStringLiteral("#Příkaz neodeslán, přihlášení ještě neskončilo");

} // namespace

class TestClusterNodes : public QObject
{
    Q_OBJECT

    // Plays a node's side of the login: every entry is sent as a block of its own, except
    // "<line", which waits until the client has sent that line, "~ms", which waits, and
    // "!text", which the operator types into the command line and sends with Enter.
    static bool play(ClusterWindowFixture &f, const QList<QByteArray> &script)
    {
        for (const QByteArray &entry : script) {
            if (entry.startsWith('<')) {
                if (!f.server.waitForLine(QString::fromLatin1(entry.mid(1))))
                    return false;
                continue;
            }
            if (entry.startsWith('~')) {
                QTest::qWait(entry.mid(1).toInt());
                continue;
            }
            if (entry.startsWith('!')) {
                if (!ActivateWindow(f.window.get()))
                    return false;
                f.window->CommandLine()->setFocus();
                if (!TypeIntoFocus(QString::fromLatin1(entry.mid(1))) || !SendKey(f.window.get(), Qt::Key_Return))
                    return false;
                continue;
            }
            f.server.send(entry);
            QTest::qWait(40); // each write arrives as a block of its own
        }
        return true;
    }

    static int lineIndex(const QStringList &lines, const QString &line)
    {
        return int(lines.indexOf(line));
    }

private slots:
    void nodesOnTheAir_data()
    {
        QTest::addColumn<QList<QByteArray>>("script");
        QTest::addColumn<QStringList>("answers");
        QTest::addColumn<QStringList>("shown");
        QTest::addColumn<QStringList>("hidden");

        const QByteArray &spot1 = Spot1;
        const QByteArray &spot2 = Spot2;
        QTest::newRow("spider node without password, prompt first on the line")
            << QList<QByteArray>{"login: ",
                                 "<ok1abc",
                                 "\r\nHello Jan, this is OK0DX in Praha\r\nrunning DXSpider v1.57\r\n",
                                 "OK1ABC de OK0DX  9-Dec-2026 1421Z dxspider >",
                                 "\r\n" + spot1 + "\r\n" + spot2 + "\r\n"}
            << QStringList{"ok1abc"}
            << QStringList{"Hello Jan, this is OK0DX in Praha", "OK1ABC de OK0DX  9-Dec-2026 1421Z dxspider >",
                           spot1, spot2}
            << QStringList{};
        QTest::newRow("node ending its lines with LF alone")
            << QList<QByteArray>{"Welcome to OK0DX\nlogin:", "<ok1abc", "Hello Jan\n", spot1 + "\n", spot2 + "\n"}
            << QStringList{"ok1abc"} << QStringList{"Hello Jan", spot1, spot2} << QStringList{"Welcome to OK0DX"};
        QTest::newRow("node that shows only its prompt after the login")
            << QList<QByteArray>{"\r\nlogin: ", "<ok1abc", "OK1ABC de OK0CLX clx >", "\r\n" + spot1 + "\r\n"}
            << QStringList{"ok1abc"} << QStringList{"OK1ABC de OK0CLX clx >", spot1} << QStringList{};
        QTest::newRow("host name before the prompt, password asked")
            << QList<QByteArray>{"Debian GNU/Linux 12\r\n\r\nvm login: ", "<ok1abc", "Password: ", "<secret",
                                 "\r\nLast login: Wed Dec  9 14:21:00 UTC 2026\r\n" + spot1 + "\r\n"}
            << QStringList{"ok1abc", "secret"} << QStringList{"Last login: Wed Dec  9 14:21:00 UTC 2026", spot1}
            << QStringList{"Debian GNU/Linux 12", "vm login: "};
        QTest::newRow("prompts split over two blocks")
            << QList<QByteArray>{"Welcome\r\nlog", "in: ", "<ok1abc", "\r\nPass", "word: ", "<secret",
                                 "Hello Jan\r\n" + spot1 + "\r\n"}
            << QStringList{"ok1abc", "secret"} << QStringList{"Hello Jan", spot1} << QStringList{"Welcome"};
        QTest::newRow("password prompt in lower case after the echo")
            << QList<QByteArray>{"\r\nlogin: ", "<ok1abc", "ok1abc\r\n", "password:", "<secret",
                                 "\r\n" + spot2 + "\r\n"}
            << QStringList{"ok1abc", "secret"} << QStringList{spot2} << QStringList{"ok1abc"};
        QTest::newRow("login with a capital letter, typing meanwhile")
            << QList<QByteArray>{"Welcome\r\nLogin: ", "<ok1abc", "!sh/dx", "\r\nPassword: ", "<secret",
                                 spot1 + "\r\n"}
            << QStringList{"ok1abc", "secret"} << QStringList{Refused, spot1} << QStringList{"Welcome"};
        QTest::newRow("node asking for the call, no password")
            << QList<QByteArray>{"Running AR-Cluster\r\n\r\nPlease enter your call: ", "!sh/dx", "<ok1abc",
                                 "\r\nHello Jan, welcome to OK0DX\r\n" + spot1 + "\r\n"}
            << QStringList{"ok1abc"} << QStringList{Refused, "Hello Jan, welcome to OK0DX", spot1}
            << QStringList{"Running AR-Cluster"};
        QTest::newRow("node asking for the callsign")
            << QList<QByteArray>{"Please enter your callsign: ", "<ok1abc", spot2 + "\r\n"} << QStringList{"ok1abc"}
            << QStringList{spot2} << QStringList{};
        QTest::newRow("enter your call after the banner in its block")
            << QList<QByteArray>{"CC-Cluster OK0DX\r\nEnter your call: ", "<ok1abc", "Password:", "<secret",
                                 "\r\n" + spot1 + "\r\n"}
            << QStringList{"ok1abc", "secret"} << QStringList{spot1} << QStringList{"CC-Cluster OK0DX"};
        QTest::newRow("password asked 5 s after the call, typing meanwhile")
            << QList<QByteArray>{"login: ", "<ok1abc", "!sh/dx", "~5000", "\r\nPassword: ", "<secret",
                                 "\r\n" + spot1 + "\r\n"}
            << QStringList{"ok1abc", "secret"} << QStringList{Refused, "Password: ", spot1} << QStringList{};
        QTest::newRow("node saying after its banner that no password is needed")
            << QList<QByteArray>{"login: ", "<ok1abc", "Hello Jan\r\n", "Password: is not needed on this node\r\n",
                                 spot1 + "\r\n"}
            << QStringList{"ok1abc"} << QStringList{"Hello Jan", "Password: is not needed on this node", spot1}
            << QStringList{};
        QTest::newRow("node as the client always knew")
            << QList<QByteArray>{"Welcome\r\nlogin: ", "<ok1abc", "\r\nPassword: ", "<secret", spot1 + "\r\n"}
            << QStringList{"ok1abc", "secret"} << QStringList{spot1} << QStringList{"Welcome"};
    }
    void nodesOnTheAir()
    {
        QFETCH(QList<QByteArray>, script);
        QFETCH(QStringList, answers);
        QFETCH(QStringList, shown);
        QFETCH(QStringList, hidden);
        ClusterWindowFixture f;
        QVERIFY(f.connect());
        QVERIFY(play(f, script));
        for (const QString &line : shown)
            QVERIFY2(f.waitForTerminalLine(line), qPrintable(line));
        QVERIFY(!f.window->LoggingIn());
        const QStringList lines = f.terminalLines();
        for (const QString &line : hidden)
            QVERIFY2(!lines.contains(line), qPrintable(line));
        QVERIFY(!lines.join('\n').contains("secret"));
        // Every shown line in the order sent, each on a line of its own, coloured by its kind.
        int previous = -1;
        for (const QString &line : shown) {
            const int at = lineIndex(lines, line);
            QVERIFY2(at > previous, qPrintable(line));
            previous = at;
            if (line.startsWith("DX de "))
                QCOMPARE(f.window->Terminal()->LineForeground(at), SpotColour);
            if (line.endsWith(" clx >") || line.endsWith(" dxspider >"))
                QCOMPARE(f.window->Terminal()->LineBackground(at), PromptGrey);
        }

        // The cluster commands are enabled and reach the node, echoed in the terminal.
        QVERIFY(f.window->actShowDx->isEnabled());
        QVERIFY(f.window->actNewSpot->isEnabled());
        f.window->actShowDx->trigger();
        QVERIFY(f.server.waitForLine("Show/DX"));
        QVERIFY(f.waitForTerminalLine("$Show/DX"));
        // The call and the password went once, nothing typed went with them.
        QCOMPARE(f.server.lines, answers + QStringList{"Show/DX"});
        const QByteArray answerSpot = QByteArray(Spot2).replace("VK9ABC", "ZL1XYZ");
        f.server.send(answerSpot + "\n");
        const QString answer = QString::fromLatin1(answerSpot);
        QVERIFY(f.waitForTerminalLine(answer));
        QCOMPARE(f.window->Terminal()->LineForeground(int(f.terminalLines().indexOf(answer))), SpotColour);
    }

    void quietNodeWithoutPasswordLetsTheClientIn()
    {
        ClusterWindowFixture f;
        QVERIFY(f.connect());
        f.server.send("login: ");
        QVERIFY(f.server.waitForLine("ok1abc"));
        f.server.send("OK0DX>");
        // Neither a line nor a known prompt: in after the quiet time, with its text shown.
        QTest::qWait(TClusterLogin::QuietTimeMs / 2);
        QVERIFY(f.window->LoggingIn());
        QVERIFY(!f.window->actShowDx->isEnabled());
        QVERIFY(QTest::qWaitFor([&] { return !f.window->LoggingIn(); }, TClusterLogin::QuietTimeMs * 2));
        QVERIFY(f.window->actShowDx->isEnabled());
        QCOMPARE(f.terminalLines().last(), QString("OK0DX>"));
        // Once the operator has sent a command, a password prompt is the node's text: the node
        // may have taken that command as the password.
        f.window->actShowDx->trigger();
        QVERIFY(f.server.waitForLine("Show/DX"));
        f.server.send("\r\nPassword: ");
        QVERIFY(f.waitForTerminalLine("Password: "));
        f.window->SendCommand("marker");
        QVERIFY(f.server.waitForLine("marker"));
        QCOMPARE(f.server.lines, (QStringList{"ok1abc", "Show/DX", "marker"}));
    }

    void nodeClosingDuringTheLogin_data()
    {
        QTest::addColumn<QList<QByteArray>>("script");
        QTest::newRow("before any prompt") << QList<QByteArray>{"Welcome to OK0DX\r\n"};
        QTest::newRow("after the login answer") << QList<QByteArray>{"login: ", "<ok1abc"};
        QTest::newRow("in the middle of the prompt") << QList<QByteArray>{"login: ", "<ok1abc", "\r\nPass"};
        QTest::newRow("in the middle of a spot, in without a password")
            << QList<QByteArray>{"login: ", "<ok1abc", "Hi Jan\r\n", Spot1.left(30)};
    }
    void nodeClosingDuringTheLogin()
    {
        QFETCH(QList<QByteArray>, script);
        ClusterWindowFixture f;
        QVERIFY(f.connect());
        QVERIFY(play(f, script));
        f.server.closeClient();
        // The status stands on a line of its own, in its own colour, after what was cut off.
        QVERIFY(f.waitForTerminalLineStarting("#Odpojen ("));
        const int status = int(f.terminalLines().size()) - 2;
        QVERIFY(f.terminalLines().at(status).startsWith("#Odpojen ("));
        QCOMPARE(f.window->Terminal()->LineForeground(status), QColor(128, 0, 128));
        if (script.last().startsWith("DX de "))
            QCOMPARE(f.terminalLines().at(status - 1), QString::fromLatin1(script.last()));
        QCOMPARE(f.window->StatusText(), QString("Odpojen"));
        QVERIFY(f.window->actConnect->isEnabled());
        // The quiet time of the lost connection lets nobody in.
        QTest::qWait(TClusterLogin::QuietTimeMs + 300);
        QVERIFY(f.window->LoggingIn());
        QVERIFY(!f.window->actShowDx->isEnabled());
        QVERIFY(!f.terminalLines().contains("Welcome to OK0DX"));

        // The next connection starts the login afresh; what was cut off does not stick to it.
        f.server.lines.clear();
        QVERIFY(f.connect());
        QVERIFY(play(f, {"word: ", "login: ", "<ok1abc", "Hello Jan\r\n"}));
        QVERIFY(f.waitForTerminalLine("Hello Jan"));
        QCOMPARE(f.server.lines, QStringList{"ok1abc"});
        QVERIFY(f.window->actShowDx->isEnabled());
    }
};

QTEST_MAIN(TestClusterNodes)
#include "tst_clusternodes.moc"
