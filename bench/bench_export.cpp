// Times the exports on large logs: ADIF, short ADIF, CSV and text of every QSO, and the
// workbook of the first 65,535 QSOs, each beside its floor: the same SELECT stepped on
// SQLite's own interface, every value's bytes written with the file's framing (the
// workbook: libxlsxwriter fed straight from the statement). Each run is a child process
// of its own, so that its peak memory is its own.
// Usage: bench_export [sizes...] [names...]   (default 100000 1000000, every export;
// a name picks the exports whose names start with it: ADIF, CSV, TXT, Excel)

#include "export/Export.h"
#include "log/LogConnection.h"
#include "log/LogOrder.h"
#include "log/LogQuery.h"
#include "log/LogRecord.h"
#include "RandomLog.h"
#include "SideBySide.h"
#include "log/VkrDatabase.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QTemporaryDir>

#include <sqlite3.h>
#include <xlsxwriter.h>

#include <algorithm>
#include <charconv>
#include <cstdio>
#include <cstring>
#include <memory>

namespace
{

enum class Framing { Adif, Eqsl, Csv, Txt };

// The columns the short ADIF for eQSL carries, in its order; each record ends with the
// QSL message.
constexpr int EqslFields[] = {fiCALL, fiDAT, fiUTC, fiFREQ, fiBAND, fiMODE, fiRSTO, fiRSTP, fiLOCO, fiQSLP};
constexpr char EqslMessage[] = "<QSLMSG:10>TNX QSO 73";

struct FloorStatement {
    sqlite3 *db = nullptr;
    sqlite3_stmt *stmt = nullptr;
    FloorStatement(const QString &path, const QStringList &order, int limit = -1)
    {
        sqlite3_open_v2(QFile::encodeName(path).constData(), &db, SQLITE_OPEN_READONLY, nullptr);
        // The page cache the program's connections have.
        sqlite3_exec(db, "PRAGMA cache_size = -16384", nullptr, nullptr, nullptr);
        const QByteArray sql = ("SELECT " + LogFieldListSql() + " FROM " + LogTableName + " ORDER BY " +
                                LogOrderSql(ParseLogOrder(order), false) +
                                (limit > 0 ? QStringLiteral(" LIMIT %1").arg(limit) : QString()))
                                   .toUtf8();
        sqlite3_prepare_v2(db, sql.constData(), -1, &stmt, nullptr);
    }
    ~FloorStatement()
    {
        sqlite3_finalize(stmt);
        sqlite3_close(db);
    }
};

void appendColumn(QByteArray &out, sqlite3_stmt *stmt, int column)
{
    out.append(reinterpret_cast<const char *>(sqlite3_column_text(stmt, column)), sqlite3_column_bytes(stmt, column));
}

// The plain files: each value's text as SQLite gives it, framed as the file frames it.
void floorExport(const QString &logPath, const QStringList &order, Framing framing, const QString &outPath)
{
    FloorStatement s(logPath, order);
    QFile file(outPath);
    file.open(QIODevice::WriteOnly);
    QByteArray out;
    out.reserve(1 << 20);
    QList<QByteArray> tagNames;
    for (const QString &name : LogFieldNames)
        tagNames << '<' + name.toLatin1() + ':';
    while (sqlite3_step(s.stmt) == SQLITE_ROW) {
        switch (framing) {
        case Framing::Adif:
        case Framing::Eqsl: {
            const auto tagged = [&](int field) {
                const int n = sqlite3_column_bytes(s.stmt, field);
                if (n == 0)
                    return;
                out += tagNames[field];
                char digits[12];
                out.append(digits, int(std::to_chars(digits, digits + sizeof digits, n).ptr - digits));
                out += '>';
                appendColumn(out, s.stmt, field);
            };
            if (framing == Framing::Adif)
                for (int field = 1; field < LogFieldCount; ++field)
                    tagged(field);
            else
                for (const int field : EqslFields)
                    tagged(field);
            if (framing == Framing::Eqsl)
                out += EqslMessage;
            out += "<EOR>\r\n";
            break;
        }
        case Framing::Csv:
            for (int field = 1; field < LogFieldCount; ++field) {
                appendColumn(out, s.stmt, field);
                out += ';';
            }
            out += "\r\n";
            break;
        case Framing::Txt:
            for (int field = 1; field < LogFieldCount; ++field) {
                const qsizetype start = out.size();
                appendColumn(out, s.stmt, field);
                const qsizetype fill = 10 - (out.size() - start);
                if (fill > 0)
                    out.append(fill, ' ');
                out += ' ';
            }
            out += "\r\n";
            break;
        }
        if (out.size() > (1 << 20) - 4096) {
            file.write(out);
            out.clear();
        }
    }
    file.write(out);
}

// The workbook: captions, then every value by its SQLite type, as numbers or strings.
void floorWorkbook(const QString &logPath, const QStringList &order, const QString &outPath)
{
    FloorStatement s(logPath, order, ExportXLSMaxRows);
    lxw_workbook *book = workbook_new(QFile::encodeName(outPath).constData());
    lxw_worksheet *sheet = workbook_add_worksheet(book, "Tab");
    for (int field = 1; field < LogFieldCount; ++field)
        worksheet_write_string(sheet, 0, lxw_col_t(field - 1), LogFieldNames[field].toUtf8().constData(), nullptr);
    lxw_row_t row = 1;
    while (sqlite3_step(s.stmt) == SQLITE_ROW) {
        for (int field = 1; field < LogFieldCount; ++field) {
            const lxw_col_t col = lxw_col_t(field - 1);
            switch (sqlite3_column_type(s.stmt, field)) {
            case SQLITE_NULL:
                break;
            case SQLITE_INTEGER:
            case SQLITE_FLOAT:
                worksheet_write_number(sheet, row, col, sqlite3_column_double(s.stmt, field), nullptr);
                break;
            default:
                if (sqlite3_column_bytes(s.stmt, field) > 0)
                    worksheet_write_string(
                        sheet, row, col, reinterpret_cast<const char *>(sqlite3_column_text(s.stmt, field)), nullptr);
            }
        }
        ++row;
    }
    workbook_close(book);
}

// The exports named on the command line (the start of their names), or all.
QStringList wantedNames;
bool wanted(const char *what)
{
    const QString name = QString::fromLatin1(what);
    return wantedNames.isEmpty() ||
           std::any_of(wantedNames.cbegin(), wantedNames.cend(),
                       [&](const QString &w) { return name.startsWith(w, Qt::CaseInsensitive); });
}

void benchSize(const QString &dir, int count)
{
    const QString path = dir + QString("/BENCH%1.db").arg(count);
    QElapsedTimer t;
    t.start();
    BuildRandomLog(path, count);
    std::printf("\n%d QSOs (log built in %.1f s)\n", count, t.elapsed() / 1000.0);

    const QString out = dir + "/out";
    // The made-up log holds its QSOs in random date order, so that reading it by date
    // jumps about the file; a log written day by day reads nearly in file order, as the
    // second pass (by ID) does.
    for (const QStringList &order : {QStringList{}, QStringList{"ID"}}) {
        std::printf(" in %s order:\n", order.isEmpty() ? "date and time (random in the file)" : "ID (file)");
        // Each child opens its own connection and query (no SQLite connection may cross
        // a fork); the opening is not timed.
        std::unique_ptr<LogConnection> connection;
        std::unique_ptr<LogQuery> query;
        const auto open = [&] {
            connection = std::make_unique<LogConnection>(path, LogConnection::OpenExisting, "Velkor");
            query = std::make_unique<LogQuery>();
            query->SetConnectionName(connection->connectionName());
            query->SetOrderBy(order);
            query->Open();
        };
        const TProgressEvent progress = [](int) {};
        const auto side = [&](const std::function<void()> &work) { return TBenchSide{open, work}; };
        const auto floor = [&](Framing framing) {
            return TBenchSide{{}, [=] { floorExport(path, order, framing, out); }};
        };
        // Once unmeasured, to have the file in the system's cache.
        floorExport(path, order, Framing::Csv, out);
        const auto run = [&](const char *what, const TBenchSide &project, const TBenchSide &floorSide) {
            if (wanted(what))
                PrintSideBySide(what, project, floorSide);
        };
        run("ADIF", side([&] { ExportADIF(*query, {}, out, progress); }), floor(Framing::Adif));
        run("ADIF for eQSL", side([&] { ExportADIFShort(*query, {}, "TNX QSO 73", progress, out); }),
            floor(Framing::Eqsl));
        run("CSV", side([&] { ExportCSV(*query, {}, out, progress); }), floor(Framing::Csv));
        run("TXT", side([&] { ExportTXT(*query, {}, out, progress); }), floor(Framing::Txt));
        if (count >= ExportXLSMaxRows)
            run("Excel workbook, 65535 QSOs", side([&] { ExportXLS(*query, {}, out, progress); }),
                TBenchSide{{}, [&] { floorWorkbook(path, order, out); }});
        QFile::remove(out);
    }
}

} // namespace

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    QList<int> sizes;
    for (int i = 1; i < argc; ++i) {
        bool number = false;
        const QString arg = QString::fromLocal8Bit(argv[i]);
        const int size = arg.toInt(&number);
        if (number)
            sizes << size;
        else
            wantedNames << arg;
    }
    if (sizes.isEmpty())
        sizes = {100000, 1000000};
    QTemporaryDir dir;
    std::printf("each figure the median of 3 runs; memory: growth of the peak resident memory\n");
    for (int count : sizes)
        benchSize(dir.path(), count);
    return 0;
}
