// Times the client's terminal, offscreen, as a busy cluster fills it: 100,000 spot lines
// arriving in blocks of about 20 lines, each block appended and painted as the window
// shows it; beside it the floor, a bare QPlainTextEdit of the same size and font fed the
// same blocks at its end, scrolled to the end and painted. Each side runs in a child
// process of its own (bench/SideBySide: median of 3, time, processor time, growth of the
// peak memory); each run also prints its slowest append and the mean of its last 100.
// Usage: bench_terminal_cluster [lines] [nopaint]   (default 100000)

#include "DxClusterWindow.h"
#include "SideBySide.h"
#include "TerminalView.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QPlainTextEdit>
#include <QRandomGenerator>
#include <QScrollBar>
#include <QTextCursor>

#include <algorithm>
#include <cstdio>
#include <functional>
#include <memory>

namespace
{

int lineCount = 100000;
bool paint = true;

// The same blocks for both.
QStringList spotBlocks()
{
    QRandomGenerator random(42);
    auto spot = [&](int i) {
        return QStringLiteral("DX de OK%1ABC:     %2.%3  DL%4XYZ       cq test                 %5Z\r\n")
            .arg(i % 10)
            .arg(1800 + random.bounded(28000))
            .arg(random.bounded(10))
            .arg(i % 10)
            .arg(1000 + i % 1400, 4, 10, QLatin1Char('0'));
    };
    QStringList blocks;
    for (int line = 0; line < lineCount;) {
        const int size = 15 + random.bounded(11); // about 20 lines
        QString block;
        for (int i = 0; i < size && line < lineCount; ++i)
            block += spot(line++);
        blocks << block;
    }
    return blocks;
}

// What a child sets up before the timing: the application, the window and the blocks.
struct Child {
    std::unique_ptr<QApplication> app;
    std::unique_ptr<TfrmDxCluster> window;
    std::unique_ptr<QPlainTextEdit> bare;
    QStringList blocks;
};
Child child;
int argcCopy = 1;
char *argvCopy[] = {const_cast<char *>("bench_terminal_cluster"), nullptr};

void setUp(bool bare)
{
    child.app = std::make_unique<QApplication>(argcCopy, argvCopy);
    child.window = std::make_unique<TfrmDxCluster>();
    child.window->resize(680, 445);
    child.window->show();
    if (bare) {
        TTerminalView *terminal = child.window->Terminal();
        child.bare = std::make_unique<QPlainTextEdit>();
        child.bare->setReadOnly(true);
        child.bare->setLineWrapMode(QPlainTextEdit::NoWrap);
        child.bare->setUndoRedoEnabled(false);
        child.bare->setFont(terminal->font());
        child.bare->resize(terminal->size());
        child.window->hide();
        child.bare->show();
    }
    QApplication::processEvents();
    child.blocks = spotBlocks();
}

void feed(const char *name, QPlainTextEdit *view, const std::function<void(const QString &)> &append)
{
    qint64 slowest = 0;
    QList<qint64> times;
    for (const QString &block : std::as_const(child.blocks)) {
        QElapsedTimer one;
        one.start();
        append(block);
        if (paint)
            view->viewport()->repaint();
        const qint64 ns = one.nsecsElapsed();
        times.append(ns);
        slowest = std::max(slowest, ns);
    }
    qint64 lastSum = 0;
    int lastCount = 0;
    for (qsizetype i = std::max<qsizetype>(0, times.size() - 100); i < times.size(); ++i, ++lastCount)
        lastSum += times.at(i);
    std::printf("    %-8s %d lines in %d blocks: slowest append %.2f ms, last 100 appends %.2f ms each (%d lines "
                "kept)\n",
                name, lineCount, int(child.blocks.size()), slowest / 1e6, lastCount ? lastSum / 1e6 / lastCount : 0.0,
                view->document()->blockCount());
}

void feedTerminal()
{
    TTerminalView *terminal = child.window->Terminal();
    feed("terminal", terminal, [terminal](const QString &block) { terminal->AppendText(block, false); });
}

void feedBare()
{
    QPlainTextEdit *bare = child.bare.get();
    feed("floor", bare, [bare](const QString &block) {
        QTextCursor cursor(bare->document());
        cursor.movePosition(QTextCursor::End);
        QString text = block;
        text.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
        cursor.insertText(text);
        bare->verticalScrollBar()->setValue(bare->verticalScrollBar()->maximum());
    });
}

} // namespace

int main(int argc, char *argv[])
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    if (argc > 1)
        lineCount = QString::fromLocal8Bit(argv[1]).toInt();
    paint = !(argc > 2 && qstrcmp(argv[2], "nopaint") == 0);
    std::printf("terminal fed %d spot lines%s:\n", lineCount, paint ? ", painted after each block" : "");
    PrintSideBySide("terminal against a bare QPlainTextEdit", {[] { setUp(false); }, feedTerminal},
                    {[] { setUp(true); }, feedBare});
    return 0;
}
