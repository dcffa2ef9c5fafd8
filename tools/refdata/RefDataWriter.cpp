#include "RefDataWriter.h"

#include "RefDataError.h"

#include <QFile>
#include <QSqlDatabase>
#include <QSqlError>
#include <QSqlQuery>
#include <QUuid>
#include <QVariant>

#include <filesystem>
#include <functional>
#include <system_error>

namespace
{

void exec(QSqlQuery &query, const QString &path)
{
    if (!query.exec())
        throw RefDataError(QStringLiteral("%1: %2").arg(path, query.lastError().text()));
}

void exec(QSqlDatabase &db, const QString &sql, const QString &path)
{
    QSqlQuery query(db);
    if (!query.exec(sql))
        throw RefDataError(QStringLiteral("%1: %2").arg(path, query.lastError().text()));
}

QVariant textOrNull(const QString &text)
{
    return text.isEmpty() ? QVariant(QMetaType(QMetaType::QString)) : QVariant(text);
}

// Builds the file under a temporary name with `fill`, then renames it over `path`.
void writeFile(const QString &path, const std::function<void(QSqlDatabase &)> &fill)
{
    const QString temporary = path + QStringLiteral(".new");
    QFile::remove(temporary);
    const QString connection =
        QStringLiteral("refdata-") + QUuid::createUuid().toString(QUuid::WithoutBraces);
    {
        QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), connection);
        db.setDatabaseName(temporary);
        try {
            if (!db.open())
                throw RefDataError(QStringLiteral("%1: %2").arg(temporary, db.lastError().text()));
            if (!db.transaction())
                throw RefDataError(QStringLiteral("%1: %2").arg(temporary, db.lastError().text()));
            fill(db);
            if (!db.commit())
                throw RefDataError(QStringLiteral("%1: %2").arg(temporary, db.lastError().text()));
            db.close();
        } catch (...) {
            db.close();
            db = QSqlDatabase();
            QSqlDatabase::removeDatabase(connection);
            QFile::remove(temporary);
            throw;
        }
    }
    QSqlDatabase::removeDatabase(connection);
    std::error_code error;
    std::filesystem::rename(QFile::encodeName(temporary).toStdString(), QFile::encodeName(path).toStdString(),
                            error);
    if (error) {
        QFile::remove(temporary);
        throw RefDataError(QStringLiteral("%1: %2").arg(path, QString::fromStdString(error.message())));
    }
}

} // namespace

namespace
{

void insertDxccRows(QSqlDatabase &db, const QString &table, const QList<DxccRow> &rows, bool withKind,
                    const QString &path)
{
    QSqlQuery insert(db);
    insert.prepare(QStringLiteral("INSERT INTO %1 VALUES (?, ?, ?, ?, ?, ?, ?, ?, ?%2)")
                       .arg(table, withKind ? QStringLiteral(", ?") : QString()));
    for (const DxccRow &row : rows) {
        insert.bindValue(0, row.prefix);
        insert.bindValue(1, row.dxcc);
        insert.bindValue(2, textOrNull(row.name));
        insert.bindValue(3, row.longitude);
        insert.bindValue(4, row.latitude);
        insert.bindValue(5, textOrNull(row.continent));
        insert.bindValue(6, row.utcOffset);
        insert.bindValue(7, row.itu);
        insert.bindValue(8, row.waz);
        if (withKind)
            insert.bindValue(9, row.entityOnly ? 1 : 0);
        exec(insert, path);
    }
}

} // namespace

void RefDataWriter::writeDxcc(const QString &path, const QList<DxccRow> &rows, const QList<DxccRow> &calls)
{
    writeFile(path, [&](QSqlDatabase &db) {
        exec(db,
             QStringLiteral("CREATE TABLE dxcc (PREFIX TEXT NOT NULL PRIMARY KEY, DXCC TEXT NOT NULL, "
                            "NAME TEXT, LONGITUDE REAL, LATITUDE REAL, CONT TEXT, UTC REAL, ITU INTEGER, "
                            "WAZ INTEGER, ENTITYROW INTEGER NOT NULL DEFAULT 0)"),
             path);
        exec(db,
             QStringLiteral("CREATE TABLE dxcc_call (CALL TEXT NOT NULL PRIMARY KEY, DXCC TEXT NOT NULL, "
                            "NAME TEXT, LONGITUDE REAL, LATITUDE REAL, CONT TEXT, UTC REAL, ITU INTEGER, "
                            "WAZ INTEGER)"),
             path);
        insertDxccRows(db, QStringLiteral("dxcc"), rows, true, path);
        insertDxccRows(db, QStringLiteral("dxcc_call"), calls, false, path);
    });
}

void RefDataWriter::writeIota(const QString &path, const QList<IotaRow> &rows)
{
    writeFile(path, [&](QSqlDatabase &db) {
        exec(db, QStringLiteral("CREATE TABLE iota (IOTA TEXT NOT NULL, PREFIX TEXT, NAZEV TEXT)"), path);
        exec(db, QStringLiteral("CREATE INDEX iota_IOTA ON iota (IOTA)"), path);
        QSqlQuery insert(db);
        insert.prepare(QStringLiteral("INSERT INTO iota VALUES (?, ?, ?)"));
        for (const IotaRow &row : rows) {
            insert.bindValue(0, row.iota);
            insert.bindValue(1, textOrNull(row.prefix));
            insert.bindValue(2, textOrNull(row.name));
            exec(insert, path);
        }
    });
}

void RefDataWriter::writeCallBookTemplate(const QString &path)
{
    writeFile(path, [&](QSqlDatabase &db) {
        exec(db,
             QStringLiteral("CREATE TABLE CallBook (ZNACKA TEXT, TITUL TEXT, PRIJMENI TEXT, JMENO TEXT, "
                            "ULICE TEXT, MESTO TEXT, PSC TEXT, EMAIL TEXT, LOC TEXT, CLASS TEXT, POZN TEXT)"),
             path);
        // The logbook looks stations up and sorts them by call sign.
        exec(db, QStringLiteral("CREATE INDEX CallBook_ZNACKA ON CallBook (ZNACKA)"), path);
    });
}
