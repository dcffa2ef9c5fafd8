// Times the client's terminal, offscreen, as a busy cluster fills it: 100,000 spot lines
// arriving in blocks of about 20 lines, each block appended and painted as the window
// shows it. Prints the total, the slowest append, and the mean of the last 100 appends.
// Usage: bench_terminal_cluster [lines]   (default 100000)

#include "DxClusterWindow.h"
#include "TerminalView.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QRandomGenerator>

#include <algorithm>
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

    QRandomGenerator random(42);
    auto spot = [&](int i) {
        return QStringLiteral("DX de OK%1ABC:     %2.%3  DL%4XYZ       cq test                 %5Z\r\n")
            .arg(i % 10)
            .arg(1800 + random.bounded(28000))
            .arg(random.bounded(10))
            .arg(i % 10)
            .arg(1000 + i % 1400, 4, 10, QLatin1Char('0'));
    };

    QElapsedTimer total;
    total.start();
    qint64 slowest = 0, lastSum = 0;
    int blocks = 0, lastCount = 0, line = 0;
    QList<qint64> times;
    while (line < lineCount) {
        const int size = 15 + random.bounded(11); // about 20 lines
        QString block;
        for (int i = 0; i < size && line < lineCount; ++i)
            block += spot(line++);
        QElapsedTimer one;
        one.start();
        window.Terminal()->AppendText(block, false);
        if (paint)
            window.Terminal()->viewport()->repaint();
        const qint64 ns = one.nsecsElapsed();
        times.append(ns);
        slowest = std::max(slowest, ns);
        ++blocks;
    }
    const qint64 totalMs = total.elapsed();
    for (qsizetype i = std::max<qsizetype>(0, times.size() - 100); i < times.size(); ++i, ++lastCount)
        lastSum += times.at(i);
    std::printf(
        "%d lines in %d blocks: %lld ms in all, slowest append %.2f ms, last 100 appends %.2f ms each\n",
        lineCount, blocks, static_cast<long long>(totalMs), slowest / 1e6,
        lastCount ? lastSum / 1e6 / lastCount : 0.0);
    std::printf("terminal lines: %d\n", window.Terminal()->LineCount());
    return 0;
}
