// Times the browsing of a large log and the callbook import, each beside its floor written
// on SQLite's own interface and run in the same way (bench/SideBySide: a child process each,
// median of 3): the grid query re-opened under a narrow filter (about 1 % kept) and under a
// broad one (two thirds kept), against the same SELECT with its ORDER BY; a search of the
// find window that misses (it reads the whole column) in each searchable field of the log,
// against the raw SELECT of the ID and that column; and the import of a callbook text of
// 100,000 lines.
// Usage: bench_browse_gui [sizes...]   (default 100000 1000000)
// With BENCH_LOG_DIR set, the made-up logs are kept in that folder and used again; with
// BENCH_ONLY set, only the figures whose label holds that text are taken (for a profile).

#include "FindDialog.h"
#include "LogFindSource.h"
#include "RandomLog.h"
#include "SideBySide.h"
#include "base/SqliteHandle.h"
#include "log/CallBookImport.h"
#include "log/LogConnection.h"
#include "log/LogFilter.h"
#include "log/LogQuery.h"
#include "log/VkrDatabase.h"
#include "radio/CharSet.h"

#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QTemporaryDir>

#include <sqlite3.h>

#include <cstdio>
#include <memory>
#include <vector>

namespace
{

bool wanted(const QString &label)
{
    const QString only = qEnvironmentVariable("BENCH_ONLY");
    return only.isEmpty() || label.contains(only);
}

// What both sides open before the timing starts, alike, so that each begins with the same
// pages of the file read: the program's connection to the log (with its page cache and its
// functions), and the grid's query as the main window has it, in date order on the last
// QSO. The floor works on the connection's own SQLite handle.
struct Opened {
    std::unique_ptr<LogConnection> connection;
    std::unique_ptr<LogQuery> query;
};

Opened openLog(const QString &path)
{
    Opened opened;
    opened.connection = std::make_unique<LogConnection>(path, LogConnection::OpenExisting, "Velkor");
    opened.query = std::make_unique<LogQuery>();
    opened.query->SetConnectionName(opened.connection->connectionName());
    opened.query->SetOrderBy(LogQuery::SortOrderFor(fiDAT));
    opened.query->Open();
    opened.query->Last();
    return opened;
}

void bindAll(sqlite3_stmt *stmt, const QVariantList &values)
{
    for (int i = 0; i < values.size(); ++i) {
        if (values[i].typeId() == QMetaType::QString) {
            const QByteArray text = values[i].toString().toUtf8();
            sqlite3_bind_text(stmt, i + 1, text.constData(), int(text.size()), SQLITE_TRANSIENT);
        } else if (values[i].typeId() == QMetaType::Double) {
            sqlite3_bind_double(stmt, i + 1, values[i].toDouble());
        } else {
            sqlite3_bind_int64(stmt, i + 1, values[i].toLongLong());
        }
    }
}

// The floor of a filter: the SELECT of the IDs with the condition and the order, stepped,
// the IDs kept as the grid keeps them.
size_t floorFilter(const Opened &opened, const QString &condition, const QVariantList &values)
{
    sqlite3_stmt *stmt = nullptr;
    const QByteArray sql =
        QStringLiteral("SELECT ID FROM log WHERE (%1) ORDER BY +DAT,+UTC,+ID").arg(condition).toUtf8();
    sqlite3_prepare_v2(SqliteHandle(opened.connection->database()), sql.constData(), -1, &stmt, nullptr);
    bindAll(stmt, values);
    std::vector<qint64> ids;
    while (sqlite3_step(stmt) == SQLITE_ROW)
        ids.push_back(sqlite3_column_int64(stmt, 0));
    sqlite3_finalize(stmt);
    return ids.size();
}

// The floor of a search over a column: the raw SELECT of the ID and the column, each value
// of the row handed out.
void floorColumn(const Opened &opened, int field)
{
    sqlite3_stmt *stmt = nullptr;
    const QByteArray sql = QStringLiteral("SELECT ID, %1 FROM log").arg(LogFieldNames[field]).toUtf8();
    sqlite3_prepare_v2(SqliteHandle(opened.connection->database()), sql.constData(), -1, &stmt, nullptr);
    while (sqlite3_step(stmt) == SQLITE_ROW) {
        sqlite3_column_int64(stmt, 0);
        sqlite3_column_text(stmt, 1);
        sqlite3_column_bytes(stmt, 1);
    }
    sqlite3_finalize(stmt);
}

void benchFilter(const QString &path, const char *what, const TFilterSql &filter)
{
    if (!wanted(QString::fromUtf8(what)))
        return;
    Opened opened;
    const QString condition = filter.lines.join(u'\n');
    {
        Opened counted = openLog(path);
        counted.query->SetWhere(condition, filter.values);
        counted.query->Open();
        std::printf("  %s: %d of %d QSOs kept\n", what, counted.query->RecordCount(), [&] {
            LogQuery all;
            all.SetConnectionName(counted.connection->connectionName());
            all.Open();
            return all.RecordCount();
        }());
    }
    PrintSideBySide(
        "re-query under the filter",
        {[&] { opened = openLog(path); },
         [&] {
             const TBookmark current = opened.query->Bookmark();
             opened.query->SetWhere(condition, filter.values);
             opened.query->Open();
             opened.query->GotoBookmark(current);
         }},
        {[&] { opened = openLog(path); }, [&] { floorFilter(opened, condition, filter.values); }});
}

struct FindCase {
    int field;
    TfrmFind::TFindKind kind;
    const char *text; // found nowhere in the made-up log
    bool caseSensitive;
};

void benchFind(const QString &path, const FindCase &c)
{
    Opened opened;
    const std::optional<TFindMatch> match =
        TfrmFind::MatchFor(c.kind, QString::fromUtf8(c.text), c.caseSensitive);
    const QByteArray what = QStringLiteral("find missing in %1 \"%2\"%3")
                                .arg(LogFieldNames[c.field], QString::fromUtf8(c.text),
                                     c.caseSensitive ? QStringLiteral(" (case)") : QString())
                                .toUtf8();
    if (!wanted(QString::fromUtf8(what)))
        return;
    PrintSideBySide(what.constData(),
                    {[&] { opened = openLog(path); },
                     [&] {
                         TLogFindSource source(opened.query.get());
                         if (source.FindFrom(0, c.field, *match) >= 0)
                             std::printf("    (unexpectedly found)\n");
                     }},
                    {[&] { opened = openLog(path); }, [&] { floorColumn(opened, c.field); }});
}

void benchLog(const QString &path)
{
    benchFilter(path, "narrow filter (call OK*, mode CW, from 2005)",
                BuildFilterLines({MakeFilterRow(fiCALL, "=", "OK*"), MakeFilterRow(fiMODE, "=", "CW"),
                                  MakeFilterRow(fiDAT, ">=", "01.01.2005")}));
    benchFilter(path, "broad filter (call not ZZ*, mode not CW, from 2000)",
                BuildFilterLines({MakeFilterRow(fiCALL, "<>", "ZZ*"), MakeFilterRow(fiMODE, "<>", "CW"),
                                  MakeFilterRow(fiDAT, ">=", "01.01.2000")}));
    // Every field the main window's find offers.
    const FindCase finds[] = {
        {fiCALL, TfrmFind::fkCall, "ZZ9*", false},     {fiLOCP, TfrmFind::fkLocator, "AA00*", false},
        {fiLOCO, TfrmFind::fkLocator, "AA00*", false}, {fiIOTA, TfrmFind::fkIOTA, "AN-999", false},
        {fiDAT, TfrmFind::fkDate, "1.1.1990", false},  {fiNAME, TfrmFind::fkText, "nobody*", false},
        {fiNAME, TfrmFind::fkText, "Nobody*", true},   {fiQTH, TfrmFind::fkText, "*ville", false},
        {fiQSLVIA, TfrmFind::fkText, "nobody", false}, {fiNOTE, TfrmFind::fkText, "*nothing*", false},
    };
    for (const FindCase &c : finds)
        benchFind(path, c);
}

void benchCallBook(const QString &folder, int lines)
{
    QFile::copy(QStringLiteral(VELKOR_STAGE_DIR "/Clbp.db"), folder + QStringLiteral("/Clbp.db"));
    const QString csv = folder + QStringLiteral("/callbook.csv");
    {
        QFile file(csv);
        file.open(QIODevice::WriteOnly);
        file.write(QByteArray(CallBookHeader) + "\r\n");
        for (int i = 0; i < lines; ++i)
            file.write(UnicodeToWin1250(QStringLiteral("OK%1ABC;Ing.;Novák;Jan;Dlouhá %1;Praha;11000;"
                                                       "ok%1@example.cz;JO70FC;A;poznámka\r\n")
                                            .arg(i)));
    }
    QElapsedTimer t;
    t.start();
    const QStringList text = ReadCallBookFile(csv);
    ImportCallBook(folder, text);
    std::printf("callbook import of %d lines:          %8.1f ms\n", lines, t.nsecsElapsed() / 1e6);
}

} // namespace

int main(int argc, char *argv[])
{
    QCoreApplication app(argc, argv);
    QList<int> sizes;
    for (int i = 1; i < argc; ++i)
        sizes << QString::fromLatin1(argv[i]).toInt();
    if (sizes.isEmpty())
        sizes = {100000, 1000000};
    QTemporaryDir dir;
    const QString kept = qEnvironmentVariable("BENCH_LOG_DIR");
    for (int size : sizes) {
        const QString path =
            QDir(kept.isEmpty() ? dir.path() : kept).filePath(QStringLiteral("BENCH%1.db").arg(size));
        if (kept.isEmpty() || !QFile::exists(path))
            BuildRandomLog(path, size);
        std::printf("log of %d QSOs:\n", size);
        benchLog(path);
    }
    if (wanted(QStringLiteral("callbook")))
        benchCallBook(dir.path(), 100000);
    return 0;
}
