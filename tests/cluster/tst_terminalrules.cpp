// The terminal's text rules and the command texts, without any window.

#include "CommandHistory.h"
#include "TerminalRules.h"
#include "WendraArguments.h"
#include "WendraConsts.h"

#include <QTest>

using namespace TerminalRules;

class TestTerminalRules : public QObject
{
    Q_OBJECT
private slots:
    void filterBlock_data()
    {
        QTest::addColumn<QByteArray>("block");
        QTest::addColumn<QByteArray>("shown");
        QTest::newRow("plain line") << QByteArray("DX de OK1ABC\r\n") << QByteArray("DX de OK1ABC\r\n");
        QTest::newRow("bell, tab, escape") << QByteArray("a\ab\tc\x1b[0md") << QByteArray("abc[0md");
        QTest::newRow("form feed, vertical tab") << QByteArray("a\x0b\x0c\x0e\x1f"
                                                               "b")
                                                 << QByteArray("ab");
        QTest::newRow("NUL cuts the rest") << QByteArray("abc\0def\r\n", 9) << QByteArray("abc");
        QTest::newRow("NUL first") << QByteArray("\0abc", 4) << QByteArray();
        QTest::newRow("lone CR and LF stay") << QByteArray("a\rb\nc") << QByteArray("a\rb\nc");
        QTest::newRow("128 to 255 and DEL stay")
            << QByteArray("\x7f\x80\x9a\xe8\xff") << QByteArray("\x7f\x80\x9a\xe8\xff");
    }
    void filterBlock()
    {
        QFETCH(QByteArray, block);
        QFETCH(QByteArray, shown);
        QCOMPARE(FilterBlock(block), shown);
    }

    void planAppend_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<QString>("continuation");
        QTest::addColumn<QStringList>("newLines");
        QTest::newRow("no line end continues") << "abc"
                                               << "abc" << QStringList();
        QTest::newRow("CR LF leaves an empty line") << "abc\r\n"
                                                    << "abc" << QStringList{""};
        QTest::newRow("lone CR inside") << "a\rb"
                                        << "a" << QStringList{"b"};
        QTest::newRow("lone LF inside") << "a\nb"
                                        << "a" << QStringList{"b"};
        QTest::newRow("lone LF at the end ends the line") << "abc\n"
                                                          << "abc" << QStringList{""};
        QTest::newRow("lines of a node ending in LF alone")
            << "1139Z JO70\nDX de S50ABC: 1825.0 PY2ABC\n"
            << "1139Z JO70" << QStringList{"DX de S50ABC: 1825.0 PY2ABC", ""};
        QTest::newRow("LF CR at the end") << "abc\n\r"
                                          << "abc" << QStringList{""};
        QTest::newRow("CR LF then a lone CR at the end") << "abc\r\n\r"
                                                         << "abc" << QStringList{""};
        QTest::newRow("lone CR at the end") << "abc\r"
                                            << "abc" << QStringList();
        QTest::newRow("LF then CR") << "a\n\rb"
                                    << "a" << QStringList{"", "b"};
        QTest::newRow("empty lines") << "a\r\n\r\nb"
                                     << "a" << QStringList{"", "b"};
        QTest::newRow("only CR LF") << "\r\n"
                                    << "" << QStringList{""};
        QTest::newRow("second half of a split CR LF") << "\nxyz"
                                                      << "" << QStringList{"xyz"};
        QTest::newRow("empty") << ""
                               << "" << QStringList();
    }
    void planAppend()
    {
        QFETCH(QString, text);
        QFETCH(QString, continuation);
        QFETCH(QStringList, newLines);
        const TAppendPlan plan = PlanAppend(text);
        QCOMPARE(plan.continuation, continuation);
        QCOMPARE(plan.newLines, newLines);
    }

    void endlessLinesGoOnInTheNextLine()
    {
        // The last line already holds 10 characters short of the limit.
        const TAppendPlan plan =
            PlanAppend(QString(MaxLineLength + 15, u'x') + "\r\nend", MaxLineLength - 10);
        QCOMPARE(plan.continuation.size(), 10);
        QCOMPARE(plan.newLines.size(), 3);
        QCOMPARE(plan.newLines.at(0).size(), MaxLineLength);
        QCOMPARE(plan.newLines.at(1), QString(5, u'x'));
        QCOMPARE(plan.newLines.at(2), QString("end"));
    }

    void lineKind_data()
    {
        QTest::addColumn<QString>("line");
        QTest::addColumn<int>("kind");
        QTest::newRow("status") << "#Připojen" << int(lkStatus);
        QTest::newRow("echo") << "$Show/DX" << int(lkEcho);
        QTest::newRow("spot") << "DX de OK1ABC:     14025.0  OK2XYZ  cq" << int(lkSpot);
        QTest::newRow("spot in lower case") << "dx de OK1ABC: 14025.0" << int(lkNormal);
        QTest::newRow("spot without its blank") << "DX deOK1ABC" << int(lkNormal);
        QTest::newRow("spot not at the start") << " DX de OK1ABC" << int(lkNormal);
        QTest::newRow("announcement") << "To ALL de OK1ABC: hello" << int(lkAnnounce);
        QTest::newRow("announcement in lower case") << "To all de OK1ABC: hello" << int(lkNormal);
        QTest::newRow("clx prompt alone") << " clx >" << int(lkPrompt);
        QTest::newRow("clx prompt") << "OK1ABC de OK0DXH 09-Dec-2026 1012Z clx >" << int(lkPrompt);
        QTest::newRow("clx prompt with a blank after") << "OK1ABC clx > " << int(lkNormal);
        QTest::newRow("dxspider prompt alone") << " dxspider >" << int(lkNormal);
        QTest::newRow("dxspider prompt of 12") << "x dxspider >" << int(lkNormal);
        QTest::newRow("dxspider prompt of 13") << "xy dxspider >" << int(lkPrompt);
        QTest::newRow("status before spot") << "#DX de " << int(lkStatus);
        QTest::newRow("empty") << "" << int(lkNormal);
    }
    void lineKind()
    {
        QFETCH(QString, line);
        QFETCH(int, kind);
        QCOMPARE(int(LineKind(line)), kind);
    }

    void lineColours()
    {
        QCOMPARE(*LineColours(lkStatus).foreground, QColor(128, 0, 128));
        QCOMPARE(*LineColours(lkStatus).background, QColor(255, 251, 240));
        QCOMPARE(*LineColours(lkEcho).foreground, QColor(0, 0, 255));
        QCOMPARE(*LineColours(lkEcho).background, QColor(248, 248, 248));
        QCOMPARE(*LineColours(lkSpot).foreground, QColor(128, 0, 0));
        QVERIFY(!LineColours(lkSpot).background);
        QCOMPARE(*LineColours(lkAnnounce).foreground, QColor(0, 128, 0));
        QVERIFY(!LineColours(lkAnnounce).background);
        QVERIFY(!LineColours(lkPrompt).foreground);
        QCOMPARE(*LineColours(lkPrompt).background, QColor(248, 248, 248));
        QVERIFY(!LineColours(lkNormal).foreground && !LineColours(lkNormal).background);
    }

    void scrollRule_data()
    {
        QTest::addColumn<bool>("dragging");
        QTest::addColumn<int>("selection");
        QTest::addColumn<bool>("locked");
        QTest::addColumn<int>("action");
        QTest::newRow("nothing: follow") << false << 0 << false << int(saFollowEnd);
        QTest::newRow("selection") << false << 3 << false << int(saRestoreSelection);
        QTest::newRow("Zmrazit") << false << 0 << true << int(saRestoreSelection);
        QTest::newRow("dragging wins over selection") << true << 3 << true << int(saRestoreTopLine);
    }
    void scrollRule()
    {
        QFETCH(bool, dragging);
        QFETCH(int, selection);
        QFETCH(bool, locked);
        QFETCH(int, action);
        QCOMPARE(int(ScrollAction(dragging, selection, locked)), action);
    }

    void followEndTopLine()
    {
        QCOMPARE(FollowEndTopLine(10, 30), 1); // fewer lines than the view: line 1 stays on top
        QCOMPARE(FollowEndTopLine(29, 30), 1);
        QCOMPARE(FollowEndTopLine(100, 30), 72); // line 100 on row 29 of 30
    }

    void wordAt_data()
    {
        QTest::addColumn<QString>("line");
        QTest::addColumn<int>("pos");
        QTest::addColumn<QString>("word");
        const QString spot = "DX de OK1ABC/P:  14025.0  <OK2XYZ>";
        QTest::newRow("call with slash") << spot << 8 << "OK1ABC/P";
        QTest::newRow("frequency") << spot << 19 << "14025.0";
        QTest::newRow("angle brackets end a word") << spot << 29 << "OK2XYZ";
        QTest::newRow("on a blank") << spot << 2 << "";
        QTest::newRow("Czech letters") << "Pozdrav z Plzně!" << 12 << "Plzně!";
    }
    void wordAt()
    {
        QFETCH(QString, line);
        QFETCH(int, pos);
        QFETCH(QString, word);
        const auto [start, end] = WordAt(line, pos);
        QCOMPARE(line.mid(start, end - start), word);
    }

    void searchableCall_data()
    {
        QTest::addColumn<QString>("selection");
        QTest::addColumn<bool>("searchable");
        QTest::newRow("call") << "OK1ABC" << true;
        QTest::newRow("portable") << "OK1ABC/P" << true;
        QTest::newRow("lower case") << "ok1abc" << true;
        QTest::newRow("three") << "K1A" << true;
        QTest::newRow("fifteen") << "OK1ABCDEFGH/123" << true;
        QTest::newRow("two") << "K1" << false;
        QTest::newRow("sixteen") << "OK1ABCDEFGH/1234" << false;
        QTest::newRow("hyphen") << "OK-1ABC" << false;
        QTest::newRow("blank") << "OK1 ABC" << false;
        QTest::newRow("across a line break") << "OK1\nABC" << false;
        QTest::newRow("Czech letter") << "OK1ČBC" << false;
        QTest::newRow("empty") << "" << false;
    }
    void searchableCall()
    {
        QFETCH(QString, selection);
        QFETCH(bool, searchable);
        QCOMPARE(IsSearchableCall(selection), searchable);
    }

    void strConsistsOf()
    {
        QVERIFY(StrConsistsOf("", "ab", true));
        QVERIFY(!StrConsistsOf("", "ab", false));
        QVERIFY(StrConsistsOf("abba", "ab", false));
        QVERIFY(!StrConsistsOf("abc", "ab", true));
    }

    void historyKeepsTheFiftyNewest()
    {
        TCommandHistory history;
        for (int i = 1; i <= 51; ++i)
            history.Add(QString("cmd %1").arg(i));
        QCOMPARE(history.Entries().size(), 50);
        QCOMPARE(history.Entries().first(), QString("cmd 51"));
        QCOMPARE(history.Entries().last(), QString("cmd 2"));
        history.Add("cmd 51");
        QCOMPARE(history.Entries().mid(0, 2), (QStringList{"cmd 51", "cmd 51"}));
    }

    void spotFrequency_data()
    {
        QTest::addColumn<QString>("mhz");
        QTest::addColumn<QString>("khz");
        QTest::newRow("3.5") << "3.5"
                             << "3500";
        QTest::newRow("7") << "7"
                           << "7000";
        QTest::newRow("7.0255") << "7.0255"
                                << "7025.5";
        QTest::newRow("14.0253") << "14.0253"
                                 << "14025.3";
        QTest::newRow("blanks around") << " 10.1 "
                                       << "10100";
        QTest::newRow("decimal comma") << "3,5"
                                       << "3500";
        QTest::newRow("comma and point refused") << "3.500,5"
                                                 << "";
        QTest::newRow("text refused") << "abc"
                                      << "";
        QTest::newRow("empty refused") << ""
                                       << "";
    }
    void spotFrequency()
    {
        QFETCH(QString, mhz);
        QFETCH(QString, khz);
        QCOMPARE(SpotFrequencyKHz(mhz).value_or(QString()), khz);
    }

    void commandTexts()
    {
        QCOMPARE(NewSpotCommand("OK1ABC", "3500", "cq"), QString("DX OK1ABC 3500 cq"));
        QCOMPARE(NewSpotCommand("OK1ABC", "3500", ""), QString("DX OK1ABC 3500 "));
        QCOMPARE(int(DxBands.size()), 20);
        QCOMPARE(ShowDxOnCommand(0), QString("Show/DX on 136khz"));
        QCOMPARE(QString(DxBands[0].Caption), QString("137kHz"));
        QCOMPARE(ShowDxOnCommand(16), QString("Show/DX on 6cm"));
        QCOMPARE(QString(DxBands[16].Caption), QString("5cm (5.6GHz)"));
        QCOMPARE(ShowDxOnCommand(19), QString("Show/DX on 6mm"));
    }

    void arguments_data()
    {
        QTest::addColumn<QStringList>("args");
        QTest::addColumn<QString>("environment");
        QTest::addColumn<QString>("expected"); // login|password|host|port|max|width|height or "none"
        const QStringList good{"OK1ABC", "secret", "dx.example.net", "7300", "0", "800", "600"};
        QTest::newRow("seven") << good << ""
                               << "ok1abc|secret|dx.example.net|7300|0|800|600";
        QTest::newRow("six") << good.mid(0, 6) << ""
                             << "none";
        QTest::newRow("eight") << (good + QStringList{"x"}) << ""
                               << "none";
        QStringList a = good;
        a[3] = "abc";
        a[4] = "-1";
        a[5] = "wide";
        a[6] = "";
        QTest::newRow("defaults") << a << ""
                                  << "ok1abc|secret|dx.example.net|41112|1|640|480";
        a = good;
        a[3] = "70000";
        a[4] = "maybe";
        QTest::newRow("port out of range, flag unreadable") << a << ""
                                                            << "ok1abc|secret|dx.example.net|41112|1|800|600";
        a = good;
        a[4] = "FALSE";
        QTest::newRow("false in capitals") << a << ""
                                           << "ok1abc|secret|dx.example.net|7300|0|800|600";
        a[4] = "True";
        QTest::newRow("true") << a << ""
                              << "ok1abc|secret|dx.example.net|7300|1|800|600";
        a = good;
        a[1] = "*";
        QTest::newRow("password from the environment") << a << "pass word"
                                                       << "ok1abc|pass word|dx.example.net|7300|0|800|600";
    }
    void arguments()
    {
        QFETCH(QStringList, args);
        QFETCH(QString, environment);
        QFETCH(QString, expected);
        const auto parsed = TWendraArguments::Parse(args, environment);
        if (expected == "none") {
            QVERIFY(!parsed);
            return;
        }
        QVERIFY(parsed);
        const QString got = QStringList{parsed->Login,
                                        parsed->Password,
                                        parsed->Host,
                                        QString::number(parsed->Port),
                                        QString::number(parsed->Maximized),
                                        QString::number(parsed->Width),
                                        QString::number(parsed->Height)}
                                .join('|');
        QCOMPARE(got, expected);
    }
};

QTEST_GUILESS_MAIN(TestTerminalRules)
#include "tst_terminalrules.moc"
