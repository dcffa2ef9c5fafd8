// Times the imports of the two older log tables into the staging table, a denik.dbf and
// an old Paradox log table of 100,000 rows each (or the size given), each beside its
// floor: the same reader and its values bound on SQLite's own interface.
// Usage: bench_oldtableimport [rows [runs]]

#include "../tests/exchange/import/ParadoxWriter.h"
#include "import/DbfTable.h"
#include "radio/DxccList.h"
#include "import/ImportStaging.h"
#include "import/OldTableImport.h"
#include "import/ParadoxTable.h"
#include "radio/CharSet.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QTemporaryDir>

#include "FloorTables.h"
#include "SideBySide.h"
#include "log/VkrDatabase.h"

#include <QFile>

#include <shapefil.h>
#include <sqlite3.h>

#include <algorithm>
#include <memory>

#include <cstdio>

namespace {

const double Bands[] = {3.55, 7.01, 14.02, 21.05, 28.4};

void writeDenik(const QString &path, int rows)
{
    DBFHandle dbf = DBFCreate(QFile::encodeName(path).constData());
    for (const QString &name : TrevanFieldNames)
        DBFAddNativeFieldType(dbf, name.toUpper().toLatin1().constData(),
                              name == "datum" || name == "idx_datum" ? 'D'
                              : name == "kmitocet" || name == "vykon" ? 'N'
                              : name == "qslo" || name == "qslp"      ? 'L'
                                                                      : 'C',
                              name == "qslo" || name == "qslp" ? 1 : name == "datum" || name == "idx_datum" ? 8 : 15,
                              name == "kmitocet" ? 4 : 0);
    const auto put = [&](int row, const char *field, QByteArray value) {
        DBFWriteAttributeDirectly(dbf, row, int(TrevanFieldNames.indexOf(field)), value.data());
    };
    for (int r = 0; r < rows; ++r) {
        put(r, "datum", QDate(2000, 1, 1).addDays(r % 9000).toString("yyyyMMdd").toLatin1());
        put(r, "cas1", QByteArray::number(r % 24) + ":" + QByteArray::number(10 + r % 50));
        put(r, "znacka", "OK1A" + QByteArray::number(r % 1000));
        put(r, "kmitocet", QByteArray::number(Bands[r % 5]));
        put(r, "mod", r % 2 ? "CW" : "SSB");
        put(r, "vykon", "100");
        put(r, "lokator", "JO70FC");
        put(r, "lokator_vl", "JN79SX");
        put(r, "jmeno", "Jan");
        put(r, "qslo", "T");
        put(r, "qslp", "F");
    }
    DBFClose(dbf);
}

void writeOstrel(const QString &path, int rows)
{
    const QList<ParadoxField> fields{
        {"cislo", '+', 4},  {"datum", 'D', 4},  {"utc", 'T', 4},   {"call", 'A', 15},   {"mhz", 'N', 8},
        {"mod", 'A', 8},    {"rst_o", 'A', 3},  {"rst_p", 'A', 3}, {"jmeno", 'A', 12},  {"qth", 'A', 20},
        {"loc", 'A', 6},    {"loc_vl", 'A', 6}, {"qsl_mgr", 'A', 15}, {"qsl_o", 'L', 1}, {"qsl_p", 'L', 1},
        {"poznamka", 'M', 20}, {"pwr", 'N', 8}, {"vzdal", 'N', 8}, {"dxcc", 'A', 7}};
    QList<QVariantList> data;
    for (int r = 0; r < rows; ++r)
        data.append({r + 1, QDate(2000, 1, 1).addDays(r % 9000), QTime(r % 24, r % 60), QByteArray("OK1A") + QByteArray::number(r % 1000),
                     Bands[r % 5], QByteArray("CW"), QByteArray("599"), QByteArray("579"), QByteArray("Jan"),
                     QByteArray("Praha"), QByteArray("JO70FC"), QByteArray("JN79SX"), QByteArray(), true, false,
                     QByteArray("poznamka"), 100.0, 150.0, QByteArray("OK")});
    ParadoxWriter::write(path, fields, data);
}

// A value bound as the log stores its kind: numbers as numbers, dates and times as their
// ISO text, texts decoded from the table's code page (Windows-1250) to UTF-8.
void bindValue(sqlite3_stmt *insert, int column, const QVariant &v)
{
    char buffer[16];
    switch (v.isNull() ? QMetaType::UnknownType : v.typeId()) {
    case QMetaType::UnknownType: sqlite3_bind_null(insert, column); return;
    case QMetaType::Double: sqlite3_bind_double(insert, column, v.toDouble()); return;
    case QMetaType::Bool:
    case QMetaType::Int:
    case QMetaType::LongLong: sqlite3_bind_int64(insert, column, v.toLongLong()); return;
    case QMetaType::QDate: {
        const QDate d = v.toDate();
        const int n = std::snprintf(buffer, sizeof buffer, "%04d-%02d-%02d", d.year(), d.month(), d.day());
        sqlite3_bind_text(insert, column, buffer, n, SQLITE_TRANSIENT);
        return;
    }
    case QMetaType::QTime: {
        const QTime t = v.toTime();
        const int n = std::snprintf(buffer, sizeof buffer, "%02d:%02d:%02d", t.hour(), t.minute(), t.second());
        sqlite3_bind_text(insert, column, buffer, n, SQLITE_TRANSIENT);
        return;
    }
    case QMetaType::QByteArray: {
        const QByteArray text = Win1250ToUnicode(v.toByteArray()).toUtf8();
        sqlite3_bind_text(insert, column, text.constData(), int(text.size()), SQLITE_TRANSIENT);
        return;
    }
    default: {
        const QByteArray text = v.toString().toUtf8();
        sqlite3_bind_text(insert, column, text.constData(), int(text.size()), SQLITE_TRANSIENT);
    }
    }
}

// The floor of an import: the same reader, and each row's values bound on SQLite's own
// interface into a table of the log's shape, one transaction, one prepared statement.
template <typename Table> void floorImport(const QString &path, const QString &stagingPath)
{
    Table table(path);
    sqlite3 *db = nullptr;
    sqlite3_open(QFile::encodeName(stagingPath).constData(), &db);
    sqlite3_exec(db, "PRAGMA synchronous=OFF; PRAGMA journal_mode=MEMORY; BEGIN", nullptr, nullptr, nullptr);
    const QByteArray sql = ("INSERT INTO " + LogTableName + " (" + LogFieldListSql() + ") VALUES (?" +
                            QStringLiteral(",?").repeated(LogFieldCount - 1) + ")")
                               .toUtf8();
    sqlite3_stmt *insert = nullptr;
    sqlite3_prepare_v2(db, sql.constData(), -1, &insert, nullptr);
    for (int row = 0; row < table.RowCount(); ++row) {
        const QVariantList values = table.Row(row);
        sqlite3_bind_int64(insert, 1, row + 1);
        for (int field = 1; field < LogFieldCount; ++field) {
            const QVariant &v = values.value(field % values.size());
            bindValue(insert, field + 1, v);
        }
        sqlite3_step(insert);
        sqlite3_reset(insert);
    }
    sqlite3_finalize(insert);
    sqlite3_exec(db, "COMMIT", nullptr, nullptr, nullptr);
    sqlite3_close(db);
}

template <typename Table>
void timeImport(const char *name, const QString &path,
                void (*copy)(const TSourceTable &, TImportStaging &, const TImportOptions &, TDxccList *,
                             const TProgressEvent &),
                TDxccList &dxcc, const QString &temp, int runs)
{
    const QString floorPath = temp + "floor.db";
    std::unique_ptr<TImportStaging> staging;
    const TBenchSide project{[&] { staging = std::make_unique<TImportStaging>(temp); },
                             [&] {
                                 Table table(path);
                                 TImportOptions options;
                                 options.CharSet = 2;
                                 options.OwnLocator = "JN79SX";
                                 copy(table, *staging, options, &dxcc, {});
                             }};
    const TBenchSide floor{[&] { NewFloorStaging(floorPath); }, [&] { floorImport<Table>(path, floorPath); }};
    PrintSideBySide(name, project, floor, runs);
    QFile::remove(floorPath);
}

} // namespace

int main(int argc, char *argv[])
{
    QCoreApplication app(argc, argv);
    const int rows = argc > 1 ? QByteArray(argv[1]).toInt() : 100000;
    const int runs = argc > 2 ? std::max(1, QByteArray(argv[2]).toInt()) : 3;
    QTemporaryDir dir;
    const QString temp = dir.path() + u'/';
    TDxccList dxcc(VELKOR_STAGE_DIR "/");
    writeDenik(dir.filePath("denik.dbf"), rows);
    writeOstrel(dir.filePath("OLD.db"), rows);
    std::printf("%d rows each; the median of %d runs; memory: growth of the peak resident memory\n", rows, runs);
    timeImport<TDbfTable>("dBase", dir.filePath("denik.dbf"), ImportTrevanRecords, dxcc, temp, runs);
    timeImport<TParadoxTable>("Paradox", dir.filePath("OLD.db"), ImportOstrelRecords, dxcc, temp, runs);
    return 0;
}
