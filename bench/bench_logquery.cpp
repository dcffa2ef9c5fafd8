// Times the log query on large logs: opening in date and time order, re-ordering by call
// sign, locating an ID, fetching one screen of rows, and the peak resident memory.
// Usage: bench_logquery [sizes...]   (default 100000 1000000)
//        bench_logquery FILE.db        (times an existing log only)

#include "LogConnection.h"
#include "LogQuery.h"
#include "LogTable.h"
#include "RandomLog.h"
#include "VkrDatabase.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QRandomGenerator>
#include <QTemporaryDir>
#include <QTextStream>

#include <cstdio>

namespace
{

QString statusValue(const char *key)
{
    QFile f("/proc/self/status");
    if (!f.open(QIODevice::ReadOnly))
        return "?";
    for (const QByteArray &line : f.readAll().split('\n'))
        if (line.startsWith(key))
            return QString::fromLatin1(line.mid(qstrlen(key))).simplified();
    return "?";
}

double ms(QElapsedTimer &t)
{
    return t.nsecsElapsed() / 1e6;
}

void fetchScreen(LogQuery &q, int firstRow)
{
    for (int row = firstRow; row < firstRow + 40 && row < q.RecordCount(); ++row)
        for (int field = 1; field < LogFieldCount; ++field)
            q.DisplayTextAt(row, field);
}

void benchFile(const QString &path)
{
    QElapsedTimer t;

    LogConnection connection(path, LogConnection::OpenExisting, "Velkor");
    LogQuery q;
    q.SetConnectionName(connection.connectionName());
    q.SetDisplayFormat(fiDAT, "dd.mm.yyyy");
    q.SetDisplayFormat(fiUTC, "hh:nn");
    q.SetDisplayFormat(fiFREQ, "0.000");
    q.SetDisplayFormat(fiQRB, "0");

    t.restart();
    q.SetOrderBy(LogQuery::SortOrderFor(fiDAT));
    q.Open();
    q.Last();
    std::printf("  open by DAT,UTC and go to last:     %8.1f ms (%d rows)\n", ms(t), q.RecordCount());

    t.restart();
    fetchScreen(q, q.RecordCount() - 40);
    std::printf("  fetch last screen (40 rows):         %8.2f ms\n", ms(t));

    const TBookmark current = q.Bookmark();
    t.restart();
    q.SetOrderBy(LogQuery::SortOrderFor(fiCALL));
    q.Open();
    q.GotoBookmark(current);
    std::printf("  re-order by CALL,DAT,UTC + relocate:  %8.1f ms\n", ms(t));

    t.restart();
    q.SetOrderBy(LogQuery::SortOrderFor(fiDAT));
    q.Open();
    q.GotoBookmark(current);
    std::printf("  re-order by DAT,UTC + relocate:      %8.1f ms\n", ms(t));

    t.restart();
    q.SetOrderBy(LogQuery::SortOrderFor(fiNAME));
    q.Open();
    std::printf("  re-order by NAME (no index):         %8.1f ms\n", ms(t));
    q.SetOrderBy(LogQuery::SortOrderFor(fiDAT));
    q.Open();

    QRandomGenerator rng(7);
    const int locates = 20;
    t.restart();
    for (int i = 0; i < locates; ++i)
        q.GotoBookmark(q.IdAt(rng.bounded(q.RecordCount())));
    std::printf("  locate an ID (mean of %d):           %8.2f ms\n", locates, ms(t) / locates);

    // A long mark list walked as the exports do: every mark is one GotoBookmark.
    QList<TBookmark> marks;
    for (int i = 0; i < 10000; ++i)
        marks << q.IdAt(rng.bounded(q.RecordCount()));
    t.restart();
    for (TBookmark mark : marks)
        q.GotoBookmark(mark);
    std::printf("  go to 10000 bookmarks:               %8.2f ms\n", ms(t));

    t.restart();
    for (int i = 0; i < locates; ++i) {
        q.SetRecNo(1 + rng.bounded(q.RecordCount()));
        fetchScreen(q, q.CurrentRow());
    }
    std::printf("  fetch a screen at random (mean):     %8.2f ms\n", ms(t) / locates);

    const QString call = q.ValueAt(q.RecordCount() / 2, fiCALL).toString();
    t.restart();
    const bool found = q.Locate(fiCALL, call);
    std::printf("  locate CALL=%s:                 %8.2f ms (%s)\n", qPrintable(call), ms(t),
                found ? "found" : "not found");

    t.restart();
    q.SetWhere("CALL LIKE ? AND MODE = ?", {"OK1%", 2});
    q.Open();
    std::printf("  filter CALL LIKE 'OK1%%' AND MODE=2:  %8.1f ms (%d rows)\n", ms(t), q.RecordCount());
    q.Close();
    std::printf("  resident now %s, peak %s\n", qPrintable(statusValue("VmRSS:")),
                qPrintable(statusValue("VmHWM:")));
}

void benchSize(const QString &dir, int count)
{
    const QString path = dir + QString("/BENCH%1.db").arg(count);
    QElapsedTimer t;
    t.start();
    BuildRandomLog(path, count);
    std::printf("\n%d QSOs: built in %.1f s, file %.1f MB\n", count, t.elapsed() / 1000.0,
                QFile(path).size() / 1048576.0);
    benchFile(path);
}

} // namespace

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    if (argc == 2 && QString(argv[1]).endsWith(".db")) {
        benchFile(QString::fromLocal8Bit(argv[1]));
        return 0;
    }
    QList<int> sizes;
    for (int i = 1; i < argc; ++i)
        sizes << QString(argv[i]).toInt();
    if (sizes.isEmpty())
        sizes = {100000, 1000000};
    QTemporaryDir dir;
    // BENCH_KEEP=1 keeps the generated logs for a look with the sqlite3 shell.
    if (qEnvironmentVariableIsSet("BENCH_KEEP")) {
        dir.setAutoRemove(false);
        std::printf("logs in %s\n", qPrintable(dir.path()));
    }
    for (int count : sizes)
        benchSize(dir.path(), count);
    std::printf("\npeak resident memory (VmHWM): %s\n", qPrintable(statusValue("VmHWM:")));
    return 0;
}
