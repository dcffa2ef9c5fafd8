// Times the browsing of a large log and the callbook import: the grid query re-opened
// under a filter of three conditions, a search of the find window that misses (it walks
// the whole log) in a text field and in the call-sign field, and the import of a callbook
// text of 100,000 lines.
// Usage: bench_browse_gui [sizes...]   (default 100000 1000000)

#include "CallBookImport.h"
#include "CharSet.h"
#include "LogConnection.h"
#include "LogFilter.h"
#include "LogFindSource.h"
#include "LogQuery.h"
#include "RandomLog.h"
#include "VkrDatabase.h"
#include "WildcardMask.h"

#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QSqlQuery>
#include <QTemporaryDir>

#include <cstdio>

namespace {

double ms(QElapsedTimer &t)
{
    return t.nsecsElapsed() / 1e6;
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

    q.SetWhere(QString());
    q.Open();
    q.First();
    TLogFindSource source(&q);
    const TWildcardMask text(QStringLiteral("NOBODY*"));
    t.restart();
    int found = source.FindFrom(0, fiNAME, [&text](const QVariant &v) { return text.Matches(v.toString().toUpper()); });
    std::printf("  find missing in a text field (NAME): %8.1f ms (found %d)\n", ms(t), found);
    const TWildcardMask call(QStringLiteral("ZZ9*"));
    t.restart();
    found = source.FindFrom(0, fiCALL, [&call](const QVariant &v) { return call.Matches(UpperAscii(v.toString())); });
    std::printf("  find missing in the call sign:       %8.1f ms (found %d)\n", ms(t), found);
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
