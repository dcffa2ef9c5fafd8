// Times the exports on large logs: ADIF, short ADIF, CSV and text of every QSO, and the
// workbook of the first 65,535 QSOs; with the size of each file.
// Usage: bench_export [sizes...]   (default 100000 1000000)

#include "Export.h"
#include "ExportWalk.h"
#include "LogConnection.h"
#include "LogQuery.h"
#include "RandomLog.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QTemporaryDir>

#include <cstdio>
#include <ctime>
#include <functional>

namespace
{

// Processor time of this process: on a busy machine it says more than the clock.
double cpuSeconds()
{
    timespec ts{};
    clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &ts);
    return double(ts.tv_sec) + ts.tv_nsec / 1e9;
}

void timeOne(const char *what, const QString &file, const std::function<void()> &run)
{
    QElapsedTimer t;
    t.start();
    const double cpu = cpuSeconds();
    run();
    std::printf("  %-28s %8.2f s (processor %5.2f s)  %8.1f MB\n", what, t.nsecsElapsed() / 1e9,
                cpuSeconds() - cpu, QFile(file).size() / 1048576.0);
    QFile::remove(file);
}

void benchSize(const QString &dir, int count)
{
    const QString path = dir + QString("/BENCH%1.db").arg(count);
    QElapsedTimer t;
    t.start();
    BuildRandomLog(path, count);
    std::printf("\n%d QSOs (log built in %.1f s)\n", count, t.elapsed() / 1000.0);

    LogConnection connection(path, LogConnection::OpenExisting, "Velkor");
    LogQuery q;
    q.SetConnectionName(connection.connectionName());
    int calls = 0;
    const TProgressEvent progress = [&calls](int) { ++calls; };
    const QString out = dir + "/out";
    // The made-up log holds its QSOs in random date order, so that reading it by date
    // jumps about the file; a log written day by day reads nearly in file order, as the
    // second pass (by ID) does.
    for (const QStringList &order : {QStringList{}, QStringList{"ID"}}) {
        q.SetOrderBy(order);
        q.Open();
        std::printf(" in %s order:\n", order.isEmpty() ? "date and time (random in the file)" : "ID (file)");
        // Once to have the file in the system's cache, then timed.
        for (const char *what : {"reading the rows (cold)", "reading the rows alone"})
            timeOne(what, out, [&] {
                TExportWalk walk(q, {});
                walk.Run([](const TLogRecord &) {}, progress);
            });
        timeOne("ADIF", out, [&] { ExportADIF(q, {}, out, progress); });
        timeOne("ADIF for eQSL", out, [&] { ExportADIFShort(q, {}, "TNX QSO 73", progress, out); });
        timeOne("CSV", out, [&] { ExportCSV(q, {}, out, progress); });
        timeOne("TXT", out, [&] { ExportTXT(q, {}, out, progress); });
        if (count >= ExportXLSMaxRows)
            timeOne("Excel workbook, 65535 QSOs", out, [&] { ExportXLS(q, {}, out, progress); });
    }
    q.Close();
}

} // namespace

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    QList<int> sizes;
    for (int i = 1; i < argc; ++i)
        sizes << QString::fromLocal8Bit(argv[i]).toInt();
    if (sizes.isEmpty())
        sizes = {100000, 1000000};
    QTemporaryDir dir;
    for (int count : sizes)
        benchSize(dir.path(), count);
    return 0;
}
