// Times the browsing of a large log and the callbook import: the grid query re-opened
// under a filter of three conditions, a search of the find window that misses (it walks
// the whole log) in a text field and in the call-sign field, and the import of a callbook
// text of 100,000 lines.
// Usage: bench_browse_gui [sizes...]   (default 100000 1000000)

#include "log/CallBookImport.h"
#include "radio/CharSet.h"
#include "log/LogConnection.h"
#include "log/LogFilter.h"
#include "LogFindSource.h"
#include "log/LogQuery.h"
#include "RandomLog.h"
#include "log/VkrDatabase.h"
#include "base/WildcardMask.h"

#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QSqlQuery>
#include <QTemporaryDir>

#include <QSqlDriver>

#include <sqlite3.h>

#include <cstdio>

namespace {

double ms(QElapsedTimer &t)
{
    return t.nsecsElapsed() / 1e6;
}

// The floor: the same SELECT through SQLite's own interface, its rows stepped over.
double rawSelect(const QSqlDatabase &db, const QString &sql, const QVariantList &values, int *rows = nullptr)
{
    QElapsedTimer t;
    t.start();
    sqlite3 *handle = *static_cast<sqlite3 *const *>(db.driver()->handle().constData());
    sqlite3_stmt *stmt = nullptr;
    sqlite3_prepare_v2(handle, sql.toUtf8().constData(), -1, &stmt, nullptr);
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
    int n = 0;
    while (sqlite3_step(stmt) == SQLITE_ROW) {
        for (int c = 0; c < sqlite3_column_count(stmt); ++c)
            sqlite3_column_bytes(stmt, c);
        ++n;
    }
    sqlite3_finalize(stmt);
    if (rows)
        *rows = n;
    return ms(t);
}

void benchLog(const QString &path)
{
    LogConnection connection(path, LogConnection::OpenExisting, "Velkor");
    if (qEnvironmentVariableIsSet("BENCH_CACHE_KIB"))
        QSqlQuery(connection.database())
            .exec(QStringLiteral("PRAGMA cache_size=-%1").arg(qEnvironmentVariable("BENCH_CACHE_KIB")));
    LogQuery q;
    q.SetConnectionName(connection.connectionName());
    q.SetOrderBy(LogQuery::SortOrderFor(fiDAT));
    q.Open();
    q.Last();

    const TFilterSql filter = BuildFilterLines({MakeFilterRow(fiCALL, "=", "OK*"), MakeFilterRow(fiMODE, "=", "CW"),
                                                MakeFilterRow(fiDAT, ">=", "01.01.2005")});
    QElapsedTimer t;
    t.start();
    const TBookmark current = q.Bookmark();
    q.SetWhere(filter.lines.join(u'\n'), filter.values);
    q.Open();
    q.GotoBookmark(current);
    std::printf("  filter of 3 conditions, re-query:    %8.1f ms (%d of the rows)\n", ms(t), q.RecordCount());

    // Three conditions that keep most of the log: the sort of the kept rows dominates.
    const TFilterSql broad = BuildFilterLines({MakeFilterRow(fiCALL, "<>", "ZZ*"), MakeFilterRow(fiMODE, "<>", "CW"),
                                               MakeFilterRow(fiDAT, ">=", "01.01.2000")});
    t.restart();
    q.SetWhere(broad.lines.join(u'\n'), broad.values);
    q.Open();
    q.GotoBookmark(current);
    std::printf("  filter keeping most of the log:      %8.1f ms (%d of the rows)\n", ms(t), q.RecordCount());
    int floorRows = 0;
    const double floor = rawSelect(connection.database(),
                                   QStringLiteral("SELECT ID FROM log WHERE (%1) ORDER BY +DAT,+UTC,+ID")
                                       .arg(broad.lines.join(u'\n')),
                                   broad.values, &floorRows);
    std::printf("    floor, the same SELECT directly:   %8.1f ms (%d rows)\n", floor, floorRows);

    q.SetWhere(QString());
    q.Open();
    q.First();
    TLogFindSource source(&q);
    const TWildcardMask text(QStringLiteral("NOBODY*"));
    t.restart();
    int found = source.FindFrom(0, fiNAME, [&text](const QVariant &v) { return text.Matches(v.toString().toUpper()); });
    std::printf("  find missing in a text field (NAME): %8.1f ms (found %d)\n", ms(t), found);
    std::printf("    floor, the raw SELECT ID, NAME:    %8.1f ms\n",
                rawSelect(connection.database(), QStringLiteral("SELECT ID, NAME FROM log"), {}));
    const TWildcardMask call(QStringLiteral("ZZ9*"));
    t.restart();
    found = source.FindFrom(0, fiCALL, [&call](const QVariant &v) { return call.Matches(UpperAscii(v.toString())); });
    std::printf("  find missing in the call sign:       %8.1f ms (found %d)\n", ms(t), found);
    std::printf("    floor, the raw SELECT ID, CALL:    %8.1f ms\n",
                rawSelect(connection.database(), QStringLiteral("SELECT ID, CALL FROM log"), {}));
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
    std::printf("callbook import of %d lines:          %8.1f ms\n", lines, ms(t));
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
    for (int size : sizes) {
        const QString path = dir.filePath(QStringLiteral("BENCH%1.db").arg(size));
        BuildRandomLog(path, size);
        std::printf("log of %d QSOs:\n", size);
        benchLog(path);
        QFile::remove(path);
    }
    benchCallBook(dir.path(), 100000);
    return 0;
}
