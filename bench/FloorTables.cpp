#include "FloorTables.h"

#include "log/VkrDatabase.h"

#include <QFile>

#include <sqlite3.h>

void DropIndexes(const QString &path, const QStringList &names)
{
    sqlite3 *db = nullptr;
    sqlite3_open(QFile::encodeName(path).constData(), &db);
    QStringList dropped = names;
    if (dropped.isEmpty()) {
        sqlite3_stmt *stmt = nullptr;
        sqlite3_prepare_v2(db, "SELECT name FROM sqlite_master WHERE type='index' AND sql IS NOT NULL", -1, &stmt,
                           nullptr);
        while (sqlite3_step(stmt) == SQLITE_ROW)
            dropped << QString::fromUtf8(reinterpret_cast<const char *>(sqlite3_column_text(stmt, 0)));
        sqlite3_finalize(stmt);
    }
    for (const QString &name : std::as_const(dropped))
        sqlite3_exec(db, ("DROP INDEX IF EXISTS \"" + name + "\"").toUtf8().constData(), nullptr, nullptr, nullptr);
    sqlite3_close(db);
}

void NewFloorStaging(const QString &path)
{
    QFile::remove(path);
    DefineLogTable(path);
    DropIndexes(path);
}

void FloorAppend(const QString &logPath, const QString &sourcePath)
{
    const QString fields = QStringList(LogFieldNames.begin() + 1, LogFieldNames.end()).join(u',');
    const QByteArray sql = ("PRAGMA journal_mode=DELETE; PRAGMA synchronous=FULL; PRAGMA cache_size=-32768; "
                            "ATTACH DATABASE '" + sourcePath + "' AS source; BEGIN; INSERT INTO main.log (" + fields +
                            ") SELECT " + fields + " FROM source.log ORDER BY ID; COMMIT; DETACH DATABASE source")
                               .toUtf8();
    sqlite3 *db = nullptr;
    sqlite3_open(QFile::encodeName(logPath).constData(), &db);
    sqlite3_exec(db, sql.constData(), nullptr, nullptr, nullptr);
    sqlite3_close(db);
}
