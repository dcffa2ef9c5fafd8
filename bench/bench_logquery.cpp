// Times the log query on large logs: opening in date and time order, re-ordering by call
// sign, locating an ID, fetching one screen of rows, and the peak resident memory.
// Usage: bench_logquery [sizes...]   (default 100000 1000000)
//        bench_logquery FILE.db        (times an existing log only)

#include "log/LogConnection.h"
#include "log/LogQuery.h"
#include "log/LogTable.h"
#include "log/QsoLookup.h"
#include "RandomLog.h"
#include "log/VkrDatabase.h"
#include "ProcessStatus.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QRandomGenerator>
#include <QTemporaryDir>
#include <QTextStream>

#include <cstdio>

namespace
{

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

// The fields of the grid's sort commands.
const int SortableFields[] = {fiDAT, fiCALL, fiFREQ, fiBAND, fiMODE, fiNAME, fiQTH, fiLOCO, fiLOCP, fiQSLO, fiQSLP,
                              fiQSLVIA, fiEQSLP, fiNOTE, fiPWR, fiQRB, fiDXCC, fiIOTA, fiITU, fiWAZ, fiAWARD};

// Saving a QSO as the QSO window does: one insert (or edit), then the grid's list of IDs
// brought up to date and the grid on its last record, in date order and in name order.
void benchSave(const QString &connectionName, LogQuery &q)
{
    LogTable table(connectionName);
    TLogRecord r = q.RecordAt(q.RecordCount() / 3);
    for (int field : {fiDAT, fiNAME}) {
        q.SetOrderBy(LogQuery::SortOrderFor(field));
        q.Open();
        const int rounds = 10;
        double insertMs = 0, refreshMs = 0, fullMs = 0, editMs = 0;
        QElapsedTimer t;
        for (int i = 0; i < rounds; ++i) {
            t.restart();
            const qint64 id = table.Insert(r);
            insertMs += ms(t);
            t.restart();
            q.RefreshRows({id});
            q.Last();
            fetchScreen(q, q.RecordCount() - 40);
            refreshMs += ms(t);
            r[fiNAME] = QStringLiteral("Edited%1").arg(i);
            t.restart();
            table.Edit(id, r);
            q.RefreshRows({id});
            q.SetRecNo(q.RecordCount() / 2);
            fetchScreen(q, q.CurrentRow());
            editMs += ms(t);
        }
        t.restart();
        q.Open();
        q.Last();
        fullMs = ms(t);
        std::printf("  save in %s order: insert %.2f ms, grid update %.2f ms, edit + update %.2f ms "
                    "(mean of %d; reading the whole list: %.1f ms)\n",
                    qPrintable(LogFieldNames[field]), insertMs / rounds, refreshMs / rounds, editMs / rounds,
                    rounds, fullMs);
    }
    q.SetOrderBy(LogQuery::SortOrderFor(fiDAT));
    q.Open();
}

// The searches of the QSO window's field exits: the earlier QSOs of a station (opened
// and read as the window reads them) and whether an entity was worked on a band.
void benchLookups(const QString &connectionName, LogQuery &main)
{
    QElapsedTimer t;
    for (const char *call : {"OK1ABC", "OK1ABC/P", "DL/OK1ABC", "W1AW", "OK1A"}) {
        LogQuery pred;
        pred.SetConnectionName(connectionName);
        const TPreviousQsoFilter filter = PreviousQsoFilter(call);
        pred.SetWhere(filter.where, filter.values);
        pred.SetOrderBy({"DAT", "UTC"});
        t.restart();
        pred.Open();
        pred.Last();
        for (int row = 0; row < pred.RecordCount(); ++row)
            pred.RecordAt(row);
        std::printf("  earlier QSOs of %-10s             %8.2f ms (%d rows)\n", call, ms(t), pred.RecordCount());
    }
    for (const auto &[dxcc, band] : {std::pair{"OK", 5}, std::pair{"OK", 28}, std::pair{"VP8", 5}}) {
        t.restart();
        const bool worked = main.Contains({fiDXCC, fiBAND}, {QString(dxcc), band});
        std::printf("  worked %-3s on band %2d:                %8.2f ms (%s)\n", dxcc, band, ms(t),
                    worked ? "yes" : "no");
    }
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

    // Every sort command of the grid, each followed by finding the current QSO again.
    for (int field : SortableFields) {
        t.restart();
        q.SetOrderBy(LogQuery::SortOrderFor(field));
        q.Open();
        q.GotoBookmark(current);
        std::printf("  sort by %-6s + relocate:            %8.1f ms\n", qPrintable(LogFieldNames[field]), ms(t));
    }
    q.SetOrderBy(LogQuery::SortOrderFor(fiDAT));
    q.Open();

    benchSave(connection.connectionName(), q);
    benchLookups(connection.connectionName(), q);

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
    std::printf("  resident now %s, peak %s\n", qPrintable(ProcessStatusValue("VmRSS:")),
                qPrintable(ProcessStatusValue("VmHWM:")));
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
    std::printf("\npeak resident memory (VmHWM): %s\n", qPrintable(ProcessStatusValue("VmHWM:")));
    return 0;
}
