// Times the client's terminal, offscreen, as a busy cluster fills it: 100,000 spot lines
// arriving in blocks of about 20 lines, each block appended and painted as the window
// shows it. Prints the total, the slowest append, and the mean of the last 100 appends,
// and the same for the floor: a bare QPlainTextEdit of the same size and font fed the same
// blocks at its end, scrolled to the end and painted.
// Usage: bench_terminal_cluster [lines]   (default 100000)

#include "DxClusterWindow.h"
#include "TerminalView.h"

#include <QApplication>
#include <QPlainTextEdit>
#include <QScrollBar>
#include <QTextCursor>
#include <QElapsedTimer>
#include <QRandomGenerator>

#include <algorithm>
#include <functional>
#include <cstdio>

int main(int argc, char *argv[])
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    const int lineCount = argc > 1 ? QString::fromLocal8Bit(argv[1]).toInt() : 100000;
    const bool paint = !(argc > 2 && qstrcmp(argv[2], "nopaint") == 0);

    TfrmDxCluster window;
    window.resize(680, 445);
    window.show();
    QApplication::processEvents();

    // The same blocks for both.
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

    auto run = [&](const char *name, QPlainTextEdit *view, const std::function<void(const QString &)> &append) {
        QElapsedTimer total;
        total.start();
        qint64 slowest = 0, lastSum = 0;
        int lastCount = 0;
        QList<qint64> times;
        for (const QString &block : blocks) {
            QElapsedTimer one;
            one.start();
            append(block);
            if (paint)
                view->viewport()->repaint();
            const qint64 ns = one.nsecsElapsed();
            times.append(ns);
            slowest = std::max(slowest, ns);
        }
        const qint64 totalMs = total.elapsed();
        for (qsizetype i = std::max<qsizetype>(0, times.size() - 100); i < times.size(); ++i, ++lastCount)
            lastSum += times.at(i);
        std::printf("%-8s %d lines in %d blocks: %lld ms in all, slowest append %.2f ms, last 100 appends %.2f ms "
                    "each (%d lines kept)\n",
                    name, lineCount, int(blocks.size()), static_cast<long long>(totalMs), slowest / 1e6,
                    lastCount ? lastSum / 1e6 / lastCount : 0.0, view->document()->blockCount());
    };

    TTerminalView *terminal = window.Terminal();
    run("terminal", terminal, [terminal](const QString &block) { terminal->AppendText(block, false); });

    QPlainTextEdit bare;
    bare.setReadOnly(true);
    bare.setLineWrapMode(QPlainTextEdit::NoWrap);
    bare.setUndoRedoEnabled(false);
    bare.setFont(terminal->font());
    bare.resize(terminal->size());
    bare.show();
    QApplication::processEvents();
    run("floor", &bare, [&bare](const QString &block) {
        QTextCursor cursor(bare.document());
        cursor.movePosition(QTextCursor::End);
        QString text = block;
        text.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
        cursor.insertText(text);
        bare.verticalScrollBar()->setValue(bare.verticalScrollBar()->maximum());
    });
    return 0;
}
