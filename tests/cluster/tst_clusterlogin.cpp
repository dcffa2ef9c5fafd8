// The login answerer on the text that nodes send before the client is logged in: which
// prompts it answers, across blocks, and when a node that asks no password has let the
// client in.

#include "ClusterLogin.h"

#include <QTest>

// Each block's step as one letter: "-" nothing, "L" the login, "P" the password, "I" logged
// in without a password.
static QString stepLetter(const TClusterLogin::TStep &step)
{
    QString letter;
    if (step.sendLogin)
        letter += u'L';
    if (step.sendPassword)
        letter += u'P';
    if (step.loggedIn)
        letter += u'I';
    return letter.isEmpty() ? QStringLiteral("-") : letter;
}

class TestClusterLogin : public QObject
{
    Q_OBJECT

private slots:
    void answersPerBlock_data()
    {
        QTest::addColumn<QList<QByteArray>>("blocks");
        QTest::addColumn<QString>("steps");
        QTest::addColumn<QByteArray>("shown");

        // The login prompt as nodes send it.
        QTest::newRow("on a fresh line") << QList<QByteArray>{"Welcome\r\nlogin: "} << "L" << QByteArray();
        QTest::newRow("first text of the connection") << QList<QByteArray>{"login: "} << "L" << QByteArray();
        QTest::newRow("without the blank") << QList<QByteArray>{"login:"} << "L" << QByteArray();
        QTest::newRow("after a lone LF") << QList<QByteArray>{"Welcome\nlogin:"} << "L" << QByteArray();
        QTest::newRow("host name before it")
            << QList<QByteArray>{"Debian GNU/Linux 12\r\n\r\nvm login: "} << "L" << QByteArray();
        QTest::newRow("at the start of a block after an open line")
            << QList<QByteArray>{"Welcome to OK0DX", "login: "} << "-L" << QByteArray();
        QTest::newRow("split after the word")
            << QList<QByteArray>{"\r\nlogin", ": "} << "-L" << QByteArray();
        QTest::newRow("split in the word") << QList<QByteArray>{"\r\nlog", "in: "} << "-L" << QByteArray();
        QTest::newRow("split after the host name") << QList<QByteArray>{"vm lo", "gin: "} << "-L" << QByteArray();
        QTest::newRow("text after it in the block (as the old nodes)")
            << QList<QByteArray>{"banner\r\nlogin: more", "x\r\nPassword: y"} << "LP" << QByteArray();
        QTest::newRow("blanks after it in the next block: one answer")
            << QList<QByteArray>{"vm login: ", "  "} << "L-" << QByteArray();
        QTest::newRow("after a line longer than kept")
            << QList<QByteArray>{QByteArray(3000, 'x') + "\r\nlogin: "} << "L" << QByteArray();
        QTest::newRow("closing a line longer than kept")
            << QList<QByteArray>{QByteArray(3000, 'x') + " login: "} << "L" << QByteArray();

        QTest::newRow("in capitals") << QList<QByteArray>{"\r\nLogin: "} << "L" << QByteArray();
        QTest::newRow("all capitals, host name before it")
            << QList<QByteArray>{"Welcome\r\nOK0DX LOGIN:"} << "L" << QByteArray();
        QTest::newRow("asking for the callsign, split in the word")
            << QList<QByteArray>{"Please enter your call", "sign: "} << "-L" << QByteArray();
        QTest::newRow("enter your call at the start of a block after text")
            << QList<QByteArray>{"OK0DX PacketCluster", "enter your call: "} << "-L" << QByteArray();

        // Text that is no login prompt.
        QTest::newRow("glued to a word") << QList<QByteArray>{"\r\nxlogin: "} << "-" << QByteArray();
        QTest::newRow("glued across blocks") << QList<QByteArray>{"relogin", ": "} << "--" << QByteArray();
        QTest::newRow("inside a banner line")
            << QList<QByteArray>{"No login: needed\r\n"} << "-" << QByteArray();
        QTest::newRow("open line going on after it")
            << QList<QByteArray>{"Last login: Mon"} << "-" << QByteArray();
        QTest::newRow("spots before any prompt")
            << QList<QByteArray>{"DX de OK2XYZ: 14025.0 OK1ABC\r\n"} << "-" << QByteArray();

        // The password.
        QTest::newRow("password after the login")
            << QList<QByteArray>{"\r\nlogin: ", "\r\nPassword: "} << "LP" << QByteArray();
        QTest::newRow("password in lower case")
            << QList<QByteArray>{"login: ", "password: "} << "LP" << QByteArray();
        QTest::newRow("password in capitals")
            << QList<QByteArray>{"Please enter your call: ", "\r\nPASSWORD: "} << "LP" << QByteArray();
        QTest::newRow("password without the blank")
            << QList<QByteArray>{"login: ", "Password:"} << "LP" << QByteArray();
        QTest::newRow("password with words before it")
            << QList<QByteArray>{"login: ", "\r\nPlease enter your password: "} << "LP" << QByteArray();
        QTest::newRow("password split over two blocks")
            << QList<QByteArray>{"login: ", "\r\nPass", "word: "} << "L-P" << QByteArray();
        QTest::newRow("echo of the login before the password")
            << QList<QByteArray>{"\r\nlogin: ", "OK1ABC\r\n", "Password: "} << "L-P" << QByteArray();
        QTest::newRow("echo on the prompt line, password in the same block")
            << QList<QByteArray>{"login: ", "ok1abc\r\n\r\nPassword: "} << "LP" << QByteArray();
        QTest::newRow("a line before the password in the same block")
            << QList<QByteArray>{"login: ", "Checking\r\nPassword: "} << "LP" << QByteArray();
        QTest::newRow("password without a login prompt") << QList<QByteArray>{"\r\nPassword: "} << "P"
                                                         << QByteArray();
        QTest::newRow("both prompts in one block: the login only")
            << QList<QByteArray>{"\r\nlogin: \r\nPassword: "} << "L" << QByteArray();
        // The call goes out once: a refusal is the node's text, shown to the operator.
        QTest::newRow("login asked again after a refusal")
            << QList<QByteArray>{"login: ", "\r\nLogin incorrect\r\nlogin: ", "Password: "} << "LIP"
            << QByteArray("\r\nLogin incorrect\r\nlogin: ");
        QTest::newRow("nothing answered once logged in")
            << QList<QByteArray>{"Password: ", "\r\nlogin: ", "Password: "} << "P--" << QByteArray();

        // Nodes that ask no password.
        QTest::newRow("banner after the login")
            << QList<QByteArray>{"login: ", "Hello Jan, this is OK0DX in Praha\r\n"} << "LI"
            << QByteArray("Hello Jan, this is OK0DX in Praha\r\n");
        QTest::newRow("banner over blocks, shown from the login on")
            << QList<QByteArray>{"login: ", "\r\n", "Hello Jan", ", this is OK0DX\r\nDX de S50ABC: 1825.0 PY2ABC\r\n"}
            << "L--I" << QByteArray("\r\nHello Jan, this is OK0DX\r\nDX de S50ABC: 1825.0 PY2ABC\r\n");
        QTest::newRow("spot ended by LF alone")
            << QList<QByteArray>{"login: ", "DX de S50ABC: 1825.0 PY2ABC\n"} << "LI"
            << QByteArray("DX de S50ABC: 1825.0 PY2ABC\n");
        QTest::newRow("its command prompt left open")
            << QList<QByteArray>{"login: ", "OK1ABC de OK0DX  9-Dec-2026 1421Z dxspider >"} << "LI"
            << QByteArray("OK1ABC de OK0DX  9-Dec-2026 1421Z dxspider >");
        QTest::newRow("empty lines and the echo do not count")
            << QList<QByteArray>{"login: ", "\r\n \r\n", "  ok1abc \r\n"} << "L--" << QByteArray();
        QTest::newRow("password asked after the banner (slow node)")
            << QList<QByteArray>{"login: ", "Hello Jan\r\n", "Spots follow\r\n", "\r\nPassword: ", "Password: "}
            << "LI-P-" << QByteArray("Hello Jan\r\n");
        QTest::newRow("late password among spots, only at a line's start")
            << QList<QByteArray>{"login: ", "Hi\r\n", "DX de A: note password: x\r\n", "\r\npassword:"}
            << "LI-P" << QByteArray("Hi\r\n");
        QTest::newRow("a line that begins with the password word")
            << QList<QByteArray>{"login: ", "Password: is not needed on this node\r\n"} << "LI"
            << QByteArray("Password: is not needed on this node\r\n");
        QTest::newRow("a flood after the login without line ends")
            << QList<QByteArray>{"login: ", QByteArray(70000, 'x')} << "LI" << QByteArray(70000, 'x');
        QTest::newRow("an open line that may become the password prompt")
            << QList<QByteArray>{"login: ", "\r\nPass"} << "L-" << QByteArray();
    }
    void answersPerBlock()
    {
        QFETCH(QList<QByteArray>, blocks);
        QFETCH(QString, steps);
        QFETCH(QByteArray, shown);
        TClusterLogin login("ok1abc");
        QString seen;
        QByteArray shownSeen;
        for (const QByteArray &block : blocks) {
            const TClusterLogin::TStep step = login.Feed(block);
            seen += stepLetter(step);
            shownSeen += step.shown;
        }
        QCOMPARE(seen, steps);
        QCOMPARE(shownSeen, shown);
        QCOMPARE(login.Finished(), steps.contains(u'P') || steps.contains(u'I'));
    }

    void quietNodeIsLoggedInAfterTheLogin()
    {
        TClusterLogin login("ok1abc");
        // Before the login answer the quiet time means nothing.
        QCOMPARE(stepLetter(login.QuietTimeOut()), QString("-"));
        QCOMPARE(stepLetter(login.Feed("\r\nlogin: ")), QString("L"));
        QCOMPARE(stepLetter(login.Feed("Welcome")), QString("-"));
        const TClusterLogin::TStep step = login.QuietTimeOut();
        QCOMPARE(stepLetter(step), QString("I"));
        QCOMPARE(step.shown, QByteArray("Welcome"));
        QVERIFY(login.Finished());
        // Once over, the quiet time does nothing; a password prompt still gets its answer
        // until the operator has sent a command.
        QCOMPARE(stepLetter(login.QuietTimeOut()), QString("-"));
        QVERIFY(login.AwaitsLatePassword());
        TClusterLogin slow = login;
        QCOMPARE(stepLetter(slow.Feed("\r\nPassword: ")), QString("P"));
        QVERIFY(!slow.AwaitsLatePassword());
        login.OperatorCommandSent();
        QCOMPARE(stepLetter(login.Feed("\r\nPassword: ")), QString("-"));
    }

    void restartBeginsOnAFreshLine()
    {
        TClusterLogin login("ok1abc");
        QCOMPARE(stepLetter(login.Feed("\r\nPassword: ")), QString("P"));
        QCOMPARE(stepLetter(login.Feed("\r\nlogin: ")), QString("-"));
        // A new connection: the first text starts a line, prompts are answered again.
        login.Restart("ok1abc");
        QVERIFY(!login.Finished());
        QVERIFY(!login.LoginAnswered());
        QCOMPARE(stepLetter(login.Feed("login: ")), QString("L"));
        QVERIFY(login.LoginAnswered());
        // A line cut off by the previous connection does not glue to the next one.
        login.Restart("ok1abc");
        QCOMPARE(stepLetter(login.Feed("Welcome to x")), QString("-"));
        login.Restart("ok1abc");
        QCOMPARE(stepLetter(login.Feed("login:")), QString("L"));
    }
};

QTEST_MAIN(TestClusterLogin)
#include "tst_clusterlogin.moc"
