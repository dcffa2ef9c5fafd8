// Times the last step of an import, the append of its staged records to the log, beside
// its floor (the same INSERT ... SELECT on SQLite's own interface into the log without
// its look-up indexes, with the same page cache), and the QSO window's look-ups in a
// large log beside the same reads written directly on SQLite's interface.
// Usage: bench_importappend [staged] [log] [look-up log]   (default 225000 250000 1000000;
//        0 staged or a look-up log of 0 leaves that part out)

#include "FloorTables.h"
#include "RandomLog.h"
#include "SideBySide.h"

#include "import/ImportStaging.h"
#include "log/LogConnection.h"
#include "log/LogQuery.h"
#include "log/LogTable.h"
#include "log/QsoLookup.h"
#include "log/VkrDatabase.h"

#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QRandomGenerator>
#include <QTemporaryDir>

#include <sqlite3.h>

#include <algorithm>
#include <cstdio>
#include <functional>
#include <memory>
#include <vector>

namespace
{

QString loadAverage()
{
    QFile f(QStringLiteral("/proc/loadavg"));
    return f.open(QIODevice::ReadOnly) ? QString::fromLatin1(f.readAll()).section(u' ', 0, 2) : QStringLiteral("?");
}

// The DXCC codes of every entity of the program's list, as the import stores them.
QStringList listedEntities()
{
    sqlite3 *db = nullptr;
    QStringList codes;
    if (sqlite3_open_v2(VELKOR_STAGE_DIR "/dxcc.db", &db, SQLITE_OPEN_READONLY, nullptr) == SQLITE_OK) {
        sqlite3_stmt *stmt = nullptr;
        sqlite3_prepare_v2(db, "SELECT DISTINCT dxcc FROM dxcc ORDER BY dxcc", -1, &stmt, nullptr);
        while (sqlite3_step(stmt) == SQLITE_ROW)
            codes << QString::fromUtf8(reinterpret_cast<const char *>(sqlite3_column_text(stmt, 0)));
        sqlite3_finalize(stmt);
    }
    sqlite3_close(db);
    return codes;
}

enum class FileOrder { Random, ByDate };

// Staged records as an import leaves them, in the order of the file: either as the QSOs
// come (dates at random) or as most programs export them, by date and time. Each QSO is
// with an entity drawn evenly from the whole list, which scatters the entity index more
// than any real log does.
void fillStaging(TImportStaging &staging, int count, FileOrder order)
{
    static const QStringList entities = listedEntities();
    QRandomGenerator rng(quint32(count) * 7 + 1);
    // The moments are drawn first (and sorted for a file in date order); whole records
    // are made one at a time, so that no list of them raises the peak memory.
    std::vector<std::pair<QDate, QTime>> moments;
    moments.reserve(count);
    for (int i = 0; i < count; ++i) {
        const TLogRecord r = RandomQso(rng);
        moments.emplace_back(r[fiDAT].toDate(), r[fiUTC].toTime());
    }
    if (order == FileOrder::ByDate)
        std::sort(moments.begin(), moments.end());
    staging.BeginFill();
    for (const auto &[date, time] : moments) {
        TLogRecord r = RandomQso(rng);
        r[fiDAT] = date;
        r[fiUTC] = time;
        if (!entities.isEmpty())
            r[fiDXCC] = entities[rng.bounded(int(entities.size()))];
        staging.Post(r);
    }
    staging.EndFill();
}

void execRaw(const QString &path, const QByteArray &sql)
{
    sqlite3 *db = nullptr;
    sqlite3_open(QFile::encodeName(path).constData(), &db);
    sqlite3_exec(db, sql.constData(), nullptr, nullptr, nullptr);
    sqlite3_close(db);
}

double medianMs(const std::function<void()> &work, int repeats = 5)
{
    std::vector<double> ms;
    for (int i = 0; i < repeats; ++i) {
        QElapsedTimer t;
        t.start();
        work();
        ms.push_back(t.nsecsElapsed() / 1e6);
    }
    std::sort(ms.begin(), ms.end());
    return ms[ms.size() / 2];
}

void bindRaw(sqlite3_stmt *stmt, const QVariantList &values)
{
    for (int i = 0; i < values.size(); ++i) {
        if (values[i].typeId() == QMetaType::QString) {
            const QByteArray text = values[i].toString().toUtf8();
            sqlite3_bind_text(stmt, i + 1, text.constData(), int(text.size()), SQLITE_TRANSIENT);
        } else {
            sqlite3_bind_int64(stmt, i + 1, values[i].toLongLong());
        }
    }
}

// Every value of every row the statement gives, as a reader of the rows would take them.
int stepAll(sqlite3_stmt *stmt)
{
    int rows = 0;
    while (sqlite3_step(stmt) == SQLITE_ROW) {
        for (int column = 0; column < sqlite3_column_count(stmt); ++column)
            sqlite3_column_text(stmt, column);
        ++rows;
    }
    sqlite3_reset(stmt);
    return rows;
}

void benchAppend(const QString &dir, int staged, int logCount)
{
    const QString logPath = dir + "/APPEND.db";
    BuildRandomLog(logPath, logCount);
    std::printf("append of %d staged records to a log of %d QSOs (load %s); medians of 3, memory: growth of the "
                "peak resident memory\n",
                staged, logCount, qPrintable(loadAverage()));

    const QString copyPath = dir + "/COPY.db";
    const QString floorSource = dir + "/floor-source.db";
    const QString stagingDir = dir + "/staging/";
    QDir().mkpath(stagingDir);
    // Each child opens its own connections (none may cross a fork).
    std::unique_ptr<LogConnection> log;
    std::unique_ptr<TImportStaging> staging;
    const auto freshCopy = [&] {
        QFile::remove(copyPath);
        QFile::copy(logPath, copyPath);
    };
    const auto openProject = [&](FileOrder order) {
        log = std::make_unique<LogConnection>(copyPath, LogConnection::OpenExisting, "Velkor");
        staging = std::make_unique<TImportStaging>(stagingDir);
        fillStaging(*staging, staged, order);
    };
    const auto append = [&] {
        const qint64 appended = staging->AppendTo(log->connectionName());
        std::printf("    appended %lld; the log now holds %lld\n", appended,
                    LogTable(log->connectionName()).RecordCount());
    };
    const auto floorFor = [&](FileOrder order) {
        return TBenchSide{[&, order] {
                              freshCopy();
                              DropIndexes(copyPath, LookUpIndexes);
                              TImportStaging source(stagingDir);
                              fillStaging(source, staged, order);
                              QFile::remove(floorSource);
                              QFile::copy(source.FilePath(), floorSource);
                          },
                          [&] { FloorAppend(copyPath, floorSource); }};
    };
    const auto projectFor = [&](FileOrder order, const QByteArray &beforeOpen) {
        return TBenchSide{[&, order, beforeOpen] {
                              freshCopy();
                              if (!beforeOpen.isEmpty())
                                  execRaw(copyPath, beforeOpen);
                              openProject(order);
                          },
                          append};
    };
    PrintSideBySide("append, file in random date order", projectFor(FileOrder::Random, {}), floorFor(FileOrder::Random));
    PrintSideBySide("append, file in date order", projectFor(FileOrder::ByDate, {}), floorFor(FileOrder::ByDate));
    // The same with the second index on the call sign, in NOCASE order, that earlier
    // versions kept: what the look-ups' index cost every append.
    PrintSideBySide("random order, earlier versions' indexes",
                    projectFor(FileOrder::Random, "CREATE INDEX log_call_nocase ON log (CALL COLLATE NOCASE)"),
                    floorFor(FileOrder::Random));
    QFile::remove(copyPath);
    QFile::remove(floorSource);
    QFile::remove(logPath);
}

void benchLookUps(const QString &dir, int logCount)
{
    const QString path = dir + "/LOOKUP.db";
    BuildRandomLog(path, logCount);
    LogConnection connection(path, LogConnection::OpenExisting, "Velkor");
    {
        // A station worked in several forms of its call, also in small letters.
        LogTable table(connection.connectionName());
        QRandomGenerator rng(3);
        for (const char *call : {"OK1ABC", "ok1abc", "OK1ABC/P", "DL/OK1ABC", "OK1ABC/P/QRP", "Ok1Abc"}) {
            TLogRecord r = RandomQso(rng);
            r[fiCALL] = QString::fromLatin1(call);
            table.Insert(r);
        }
    }
    std::printf("the QSO window's look-ups in a log of %d QSOs (load %s); medians of 5, target under 20 ms\n",
                logCount, qPrintable(loadAverage()));

    LogQuery main;
    main.SetConnectionName(connection.connectionName());
    main.SetOrderBy(LogQuery::SortOrderFor(fiDAT));
    main.Open();
    const QString common = main.ValueAt(main.RecordCount() / 2, fiCALL).toString();

    sqlite3 *raw = nullptr;
    sqlite3_open_v2(QFile::encodeName(path).constData(), &raw, SQLITE_OPEN_READONLY, nullptr);
    for (const QString &call : {QStringLiteral("OK1ABC"), QStringLiteral("OK1ABC/P"), QStringLiteral("HB9/OK1ABC/M"),
                                QStringLiteral("W1AW"), QStringLiteral("OK1A"), common}) {
        const TPreviousQsoFilter filter = PreviousQsoFilter(call);
        int rows = 0;
        // As the QSO window reads them: opened in date order, on the newest, every row read.
        const double project = medianMs([&] {
            LogQuery pred;
            pred.SetConnectionName(connection.connectionName());
            pred.SetWhere(filter.where, filter.values);
            pred.SetOrderBy({"DAT", "UTC"});
            pred.Open();
            pred.Last();
            for (int row = 0; row < pred.RecordCount(); ++row)
                pred.RecordAt(row);
            rows = pred.RecordCount();
        });
        sqlite3_stmt *stmt = nullptr;
        sqlite3_prepare_v2(raw,
                           QStringLiteral("SELECT %1 FROM log WHERE %2 ORDER BY DAT, UTC, ID")
                               .arg(LogFieldListSql(), filter.where)
                               .toUtf8()
                               .constData(),
                           -1, &stmt, nullptr);
        int floorRows = 0;
        const double floor = medianMs([&] {
            bindRaw(stmt, filter.values);
            floorRows = stepAll(stmt);
        });
        sqlite3_finalize(stmt);
        std::printf("  earlier QSOs of %-12s %7.2f ms (%4d rows) | floor %7.2f ms (%4d rows) | x%.2f\n",
                    qPrintable(call), project, rows, floor, floorRows, floor > 0 ? project / floor : 0.0);
    }
    for (const auto &entityBand : {std::pair{"OK", 5}, std::pair{"OK", 28}, std::pair{"VP8", 5}}) {
        // Named copies: the lambdas below may not capture a structured binding under clang 14.
        const char *const dxcc = entityBand.first;
        const int band = entityBand.second;
        bool worked = false;
        const double project = medianMs([&] { worked = main.Contains({fiDXCC, fiBAND}, {QString(dxcc), band}); });
        sqlite3_stmt *stmt = nullptr;
        sqlite3_prepare_v2(raw, "SELECT ID FROM log WHERE DXCC = ? AND BAND = ?", -1, &stmt, nullptr);
        const double floor = medianMs([&] {
            bindRaw(stmt, {QString(dxcc), band});
            sqlite3_step(stmt);
            sqlite3_reset(stmt);
        });
        sqlite3_finalize(stmt);
        std::printf("  entity %-3s worked on band %2d   %7.2f ms (%s) | floor %7.2f ms | x%.2f\n", dxcc, band, project,
                    worked ? "yes" : "no ", floor, floor > 0 ? project / floor : 0.0);
    }
    sqlite3_close(raw);
}

} // namespace

int main(int argc, char *argv[])
{
    QCoreApplication app(argc, argv);
    const int staged = argc > 1 ? QByteArray(argv[1]).toInt() : 225000;
    const int logCount = argc > 2 ? QByteArray(argv[2]).toInt() : 250000;
    const int lookUpCount = argc > 3 ? QByteArray(argv[3]).toInt() : 1000000;
    QTemporaryDir dir;
    if (staged > 0)
        benchAppend(dir.path(), staged, logCount);
    if (lookUpCount > 0)
        benchLookUps(dir.path(), lookUpCount);
    std::printf("load at the end %s\n", qPrintable(loadAverage()));
    return 0;
}
