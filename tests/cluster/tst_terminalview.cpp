// The terminal view: appending, the scroll rule, selection, colours and word selection.

#include "DxClusterWindow.h"
#include "TerminalRules.h"
#include "TerminalView.h"

#include <QAction>
#include <QElapsedTimer>
#include <QFile>
#include <QScrollBar>
#include <QTest>
#include <QTextBlock>

class TestTerminalView : public QObject
{
    Q_OBJECT

    static void fill(TTerminalView &view, int lines, bool locked = false)
    {
        QString text;
        for (int i = 1; i <= lines; ++i)
            text += QString("line %1\r\n").arg(i);
        view.AppendText(text, locked);
    }

    // Spots and announcements by turns, each with its number.
    static QString feedLine(int n)
    {
        return n % 2 ? QString("To ALL de OK2XYZ: %1").arg(n) : QString("DX de OK2XYZ:  14025.0  VK9ABC  %1").arg(n);
    }

    static qint64 residentKb()
    {
        QFile status("/proc/self/status");
        if (!status.open(QIODevice::ReadOnly))
            return -1;
        for (const QByteArray &line : status.readAll().split('\n'))
            if (line.startsWith("VmRSS:"))
                return line.mid(6).trimmed().split(' ').first().toLongLong();
        return -1;
    }

private slots:
    void blocksJoinIntoLines()
    {
        TTerminalView view;
        view.AppendText("abc", false);
        view.AppendText("def\r\n", false);
        QCOMPARE(view.LineCount(), 2);
        QCOMPARE(view.Line(0), QString("abcdef"));
        QCOMPARE(view.Line(1), QString());
        view.AppendText("ghi\n", false); // a lone LF at the end ends the line as CR LF does
        view.AppendText("jkl\r", false);
        view.AppendText("\nmno", false); // CR LF split over two blocks: one line end
        QCOMPARE(view.LineCount(), 4);
        QCOMPARE(view.Line(1), QString("ghi"));
        QCOMPARE(view.Line(2), QString("jkl"));
        QCOMPARE(view.Line(3), QString("mno"));
    }

    void followsTheEndWithoutSelection()
    {
        TTerminalView view;
        view.resize(400, 200);
        view.show();
        QVERIFY(QTest::qWaitForWindowExposed(&view));
        fill(view, 3);
        QCOMPARE(view.TopLine(), 1); // fewer lines than the view
        fill(view, 100);
        QCOMPARE(view.TopLine(), TerminalRules::FollowEndTopLine(view.LineCount(), view.LinesInView()));
        QVERIFY(view.TopLine() > 1);
    }

    void selectionOrZmrazitKeepTheView()
    {
        TTerminalView view;
        view.resize(400, 200);
        view.show();
        QVERIFY(QTest::qWaitForWindowExposed(&view));
        fill(view, 100);
        view.SetSelection(20, 5);
        view.SetTopLine(10);
        fill(view, 50);
        QCOMPARE(view.TopLine(), 10);
        QCOMPARE(view.SelectionStart(), 20);
        QCOMPARE(view.SelectionLength(), 5);
        // "Zmrazit" holds the view without a selection too.
        view.SetSelection(0, 0);
        view.SetTopLine(15);
        fill(view, 50, true);
        QCOMPARE(view.TopLine(), 15);
        // A selection reaching the end of the text does not grow with new text.
        const int end = view.document()->characterCount() - 1;
        view.SetSelection(end - 4, 4);
        view.AppendText("more", false);
        QCOMPARE(view.SelectionLength(), 4);
        QCOMPARE(view.SelectionStart(), end - 4);
    }

    void draggingTheThumbKeepsTheViewAndDropsTheSelection()
    {
        TTerminalView view;
        view.resize(400, 200);
        view.show();
        QVERIFY(QTest::qWaitForWindowExposed(&view));
        fill(view, 100);
        view.SetSelection(10, 3);
        view.SetTopLine(5);
        view.verticalScrollBar()->setSliderDown(true);
        fill(view, 20);
        view.verticalScrollBar()->setSliderDown(false);
        QCOMPARE(view.TopLine(), 5);
        QCOMPARE(view.SelectionLength(), 0);
    }

    void linesAreColouredByKind()
    {
        TTerminalView view;
        view.AppendText("#Připojen\r\n$Show/DX\r\nDX de OK1ABC: 14025.0\r\ndx de ok1abc\r\n"
                        "To ALL de OK1ABC: hi\r\nOK1ABC de OK0DXH clx >",
                        false);
        QCOMPARE(view.LineForeground(0), QColor(128, 0, 128));
        QCOMPARE(view.LineBackground(0), QColor(255, 251, 240));
        QCOMPARE(view.LineForeground(1), QColor(0, 0, 255));
        QCOMPARE(view.LineForeground(2), QColor(128, 0, 0));
        QCOMPARE(view.LineForeground(3), view.palette().color(QPalette::Text));
        QCOMPARE(view.LineForeground(4), QColor(0, 128, 0));
        QCOMPARE(view.LineBackground(5), QColor(248, 248, 248));
        // The highlighter paints them: the kind is kept with each line.
        QCOMPARE(view.document()->findBlockByNumber(2).userState(), int(TerminalRules::lkSpot));
        QCOMPARE(view.document()->findBlockByNumber(5).userState(), int(TerminalRules::lkPrompt));
        auto textFormat = [&](int line) {
            return view.document()->findBlockByNumber(line).begin().fragment().charFormat();
        };
        QCOMPARE(textFormat(2).foreground().color(), QColor(128, 0, 0));
        QCOMPARE(textFormat(5).background().color(), QColor(248, 248, 248));
        // A status line appended to the unfinished prompt takes the prompt's colour away.
        view.AppendText("#Odpojuji se\r\n", false);
        QCOMPARE(view.LineBackground(5), view.palette().color(QPalette::Base));
        QCOMPARE(view.document()->findBlockByNumber(5).userState(), int(TerminalRules::lkNormal));
        QCOMPARE(textFormat(5).background().style(), Qt::NoBrush);
        QCOMPARE(textFormat(5).foreground().style(), Qt::NoBrush);
    }

    void doubleClickSelectsACallWithItsSlash()
    {
        TTerminalView view;
        view.resize(600, 200);
        view.show();
        QVERIFY(QTest::qWaitForWindowExposed(&view));
        view.AppendText("DX de OK1ABC/P:  14025.0\r\n", false);
        QTextCursor at(view.document());
        at.setPosition(8);
        const QPoint point = view.cursorRect(at).center() + QPoint(2, 0);
        QTest::mouseDClick(view.viewport(), Qt::LeftButton, {}, point);
        QCOMPARE(view.SelectedText(), QString("OK1ABC/P"));
    }

    void windowClearsAndFreezes()
    {
        TfrmDxCluster window;
        window.AddTerminalLine("#one");
        window.AddTerminalLine(QString());
        QCOMPARE(window.Terminal()->LineCount(), 3);
        window.actClearTerminal->trigger();
        QCOMPARE(window.Terminal()->LineCount(), 1);
        QCOMPARE(window.Terminal()->Line(0), QString());
        QVERIFY(window.actScrollLock->isCheckable());
        window.actScrollLock->trigger();
        QVERIFY(window.actScrollLock->isChecked());
        QVERIFY(window.actClearTerminal->isEnabled());
    }

    void endlessTextStaysFast()
    {
        // A server sending megabytes without a line end cannot freeze the view.
        TTerminalView view;
        view.resize(600, 300);
        view.show();
        QVERIFY(QTest::qWaitForWindowExposed(&view));
        const QString chunk(8000, u'x');
        QElapsedTimer timer;
        timer.start();
        for (int i = 0; i < 250; ++i) // two million characters
            view.AppendText(chunk, false);
        QCoreApplication::processEvents();
        QVERIFY2(timer.elapsed() < 20000, qPrintable(QString::number(timer.elapsed())));
        QCOMPARE(view.LineCount(), 250 * 8000 / TerminalRules::MaxLineLength);
        QCOMPARE(view.Line(0).size(), TerminalRules::MaxLineLength);
    }

    void floodKeepsTheNewestLines()
    {
        // A node feeding spots for days: the oldest lines go, the memory stays flat, and the
        // view and a selection stay on their text while lines go from the top.
        TTerminalView view;
        view.resize(600, 300);
        view.show();
        QVERIFY(QTest::qWaitForWindowExposed(&view));
        const qint64 before = residentKb();
        QVERIFY(before > 0);
        constexpr int Total = 300000, PerBlock = 625;
        for (int n = 0; n < Total;) {
            QString block;
            for (const int end = n + PerBlock; n < end; ++n)
                block += feedLine(n) + "\r\n";
            view.AppendText(block, false);
            QCoreApplication::processEvents();
        }
        const qint64 grown = residentKb() - before;
        QVERIFY2(grown < 100 * 1024, qPrintable(QString("%1 kB").arg(grown)));
        const int limit = TerminalRules::MaxLineCount;
        QCOMPARE(view.LineCount(), limit);
        QCOMPARE(view.Line(limit - 2), feedLine(Total - 1));
        QCOMPARE(view.Line(0), feedLine(Total - limit + 1));
        QCOMPARE(view.document()->firstBlock().userState(), int(TerminalRules::LineKind(view.Line(0))));

        const QTextBlock marked = view.document()->findBlockByNumber(100);
        view.SetSelection(marked.position() + marked.text().lastIndexOf(' ') + 1, 6);
        const QString selected = view.SelectedText();
        view.SetTopLine(5000);
        view.AppendText(feedLine(Total) + "\r\n" + feedLine(Total + 1) + "\r\n", false);
        QCOMPARE(view.LineCount(), limit);
        QCOMPARE(view.SelectedText(), selected);
        QCOMPARE(view.TopLine(), 4998);
    }
};

QTEST_MAIN(TestTerminalView)
#include "tst_terminalview.moc"
