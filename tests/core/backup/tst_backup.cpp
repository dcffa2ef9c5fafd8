#include "backup/BackUp.h"
#include "base/DatabaseError.h"
#include "base/MessageTexts.h"
#include "log/LogConnection.h"
#include "TestFiles.h"
#include "log/VkrDatabase.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSqlError>
#include <QSqlQuery>
#include <QTemporaryDir>
#include <QTest>
#include <QtEndian>

#include <algorithm>

#include <zlib.h>

#include <bit>
#include <cstring>
#include <functional>
#include <limits>
#include <optional>

// Archives are also built here, field by field, so that the tests check the file
// layout itself and can make archives that the program would never write.
namespace {

const QString Call = QStringLiteral("OK1ABC");
const QString BadFormat = QStringLiteral("Neplatný formát souboru!");
const QString BadCrc = QStringLiteral("Neplatný kontrolní součet - soubor je poškozen!");
const QString BadVersion = QStringLiteral("Neznámá verze souboru!");
const QByteArray Magic = QByteArray::fromHex("43AD84B116F659A1");
const QByteArray Options("[User]\r\nCall=OK1ABC\r\n");

qint32 int32At(const QByteArray &data, int offset)
{
    return qFromLittleEndian<qint32>(data.constData() + offset);
}

void putInt32(QByteArray &data, int offset, qint32 value)
{
    qToLittleEndian(value, data.data() + offset);
}

// The CRC field covers everything from offset 12 on.
void fixCrc(QByteArray &archive)
{
    const uLong crc =
        crc32(0, reinterpret_cast<const Bytef *>(archive.constData()) + 12, uInt(archive.size() - 12));
    putInt32(archive, 8, qint32(quint32(crc)));
}

// A zlib stream (RFC 1950) at the default level.
QByteArray zlibStream(const QByteArray &data)
{
    uLongf length = compressBound(uLong(data.size()));
    QByteArray out(qsizetype(length), '\0');
    if (compress2(reinterpret_cast<Bytef *>(out.data()), &length,
                  reinterpret_cast<const Bytef *>(data.constData()), uLong(data.size()),
                  Z_DEFAULT_COMPRESSION) != Z_OK)
        qFatal("compress2 failed");
    out.truncate(qsizetype(length));
    return out;
}

struct Entry {
    QByteArray name;
    qint32 size;
    QByteArray stream;
};

Entry entry(const QByteArray &name, const QByteArray &content)
{
    return {name, qint32(content.size()), zlibStream(content)};
}

QByteArray shortString(const QByteArray &text, int capacity, int length)
{
    QByteArray field(capacity + 1, '\0');
    field[0] = char(length);
    std::memcpy(field.data() + 1, text.constData(), size_t(qMin<int>(text.size(), capacity)));
    return field;
}

QByteArray buildArchive(const QList<Entry> &entries, qint32 version = 2, double created = 39448.75,
                        std::optional<qint32> count = {})
{
    QByteArray archive = Magic + QByteArray(4, '\0');
    QByteArray field(4, '\0');
    putInt32(field, 0, version);
    archive += field;
    archive += shortString(Call.toLatin1(), 16, Call.size());
    const quint64 bits = qToLittleEndian(std::bit_cast<quint64>(created));
    archive.append(reinterpret_cast<const char *>(&bits), 8);
    putInt32(field, 0, count.value_or(qint32(entries.size())));
    archive += field;
    archive += QByteArray(216, '\0');
    for (const Entry &e : entries) {
        putInt32(field, 0, e.size);
        archive += field;
        archive += shortString(e.name, 56, qMin<int>(e.name.size(), 255));
    }
    for (const Entry &e : entries)
        archive += e.stream;
    fixCrc(archive);
    return archive;
}

void insertQsos(QSqlDatabase db, const QStringList &calls)
{
    QVERIFY(db.transaction());
    QSqlQuery q(db);
    QVERIFY(q.prepare("INSERT INTO log (DAT, UTC, CALL, FREQ, MODE) VALUES (?, ?, ?, ?, ?)"));
    for (const QString &call : calls) {
        q.addBindValue("2024-05-01");
        q.addBindValue("12:34:00");
        q.addBindValue(call);
        q.addBindValue(14.025);
        q.addBindValue(1);
        QVERIFY2(q.exec(), qPrintable(q.lastError().text()));
    }
    QVERIFY(db.commit());
}

// A log with three QSOs.
void makeSampleLog(const QString &path)
{
    CreateLogTable(path);
    LogConnection connection(path);
    insertQsos(connection.database(), {"OK2XYZ", "DL1AAA", "G4BBB"});
}

// An SQLite file with a table that is not a log.
QByteArray foreignDatabase(const QString &path)
{
    {
        LogConnection connection(path, LogConnection::OpenOrCreate);
        QSqlQuery q(connection.database());
        if (!q.exec("CREATE TABLE log (ID INTEGER PRIMARY KEY, NOTE TEXT)"))
            qWarning() << q.lastError().text();
    }
    return ReadTestFile(path);
}

// Every row of a log, all fields, in ID order.
QList<QVariantList> rowsIn(const QString &logPath)
{
    LogConnection connection(logPath, LogConnection::OpenReadOnly);
    QSqlQuery q(connection.database());
    QList<QVariantList> rows;
    if (q.exec("SELECT " + LogFieldListSql() + " FROM log ORDER BY ID"))
        while (q.next()) {
            QVariantList row;
            for (int i = 0; i < LogFieldCount; ++i)
                row << q.value(i);
            rows << row;
        }
    return rows;
}

// The objects of a database's schema ("type name"), sorted.
QStringList schemaOf(const QString &path)
{
    LogConnection connection(path, LogConnection::OpenReadOnly);
    QSqlQuery q(connection.database());
    QStringList objects;
    if (q.exec("SELECT type || ' ' || name FROM sqlite_master ORDER BY 1"))
        while (q.next())
            objects << q.value(0).toString();
    return objects;
}

// A log of many QSOs (several pages of the file) with something added by `extra`, as
// another program or a damaged disk could leave it; returns the file's bytes.
QByteArray logWith(const QString &path, const QStringList &extra, int qsos = 400)
{
    makeSampleLog(path);
    {
        LogConnection connection(path);
        QStringList calls;
        for (int i = 0; i < qsos; ++i)
            calls << QStringLiteral("OK%1AB").arg(i);
        insertQsos(connection.database(), calls);
        QSqlQuery q(connection.database());
        for (const QString &sql : extra)
            if (!q.exec(sql))
                qWarning() << sql << q.lastError().text();
    }
    return ReadTestFile(path);
}

// What SQLite's own check says of a file.
QString integrityOf(const QByteArray &content)
{
    QTemporaryDir dir;
    const QString path = dir.filePath("check.db");
    WriteTestFile(path, content);
    try {
        LogConnection connection(path, LogConnection::OpenReadOnly);
        QSqlQuery q(connection.database());
        if (!q.exec("PRAGMA integrity_check") || !q.next())
            return q.lastError().text();
        return q.value(0).toString();
    } catch (const EDatabaseError &e) {
        return e.message();
    }
}

QStringList callsIn(const QString &logPath)
{
    LogConnection connection(logPath, LogConnection::OpenReadOnly);
    QSqlQuery q(connection.database());
    QStringList calls;
    if (q.exec("SELECT CALL FROM log ORDER BY ID"))
        while (q.next())
            calls << q.value(0).toString();
    return calls;
}

} // namespace

class TestBackUp : public QObject
{
    Q_OBJECT
private:
    std::unique_ptr<QTemporaryDir> m_root;
    QString m_data, m_temp, m_archive, m_log;

    QString failure(const std::function<void()> &operation)
    {
        try {
            operation();
        } catch (const EFileError &e) {
            return e.message();
        }
        return {};
    }
    QString restoreFailure(const QString &archive)
    {
        return failure([&] { RestoreLog(Call, m_data, m_temp, archive); });
    }
    QStringList tempFiles() const
    {
        return QDir(m_temp).entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot);
    }

private slots:
    void init()
    {
        m_root = std::make_unique<QTemporaryDir>();
        QVERIFY(m_root->isValid());
        QDir root(m_root->path());
        QVERIFY(root.mkdir("Data") && root.mkdir("Temp") && root.mkdir("Zaloha"));
        m_data = root.filePath("Data");
        m_temp = root.filePath("Temp");
        m_archive = root.filePath("Zaloha/OK1ABC 01.05.2024.z");
        m_log = QDir(m_data).filePath(Call + ".db");
        makeSampleLog(m_log);
        QVERIFY(WriteTestFile(QDir(m_data).filePath(Call + ".uf"), Options));
    }

    void archiveLayout()
    {
        const QDateTime before = QDateTime::currentDateTime().addSecs(-1);
        BackUpLog(Call, m_data, m_archive);
        const QByteArray archive = ReadTestFile(m_archive);

        QCOMPARE(archive.left(8), Magic);
        QCOMPARE(quint32(int32At(archive, 8)),
                 quint32(crc32(0, reinterpret_cast<const Bytef *>(archive.constData()) + 12,
                               uInt(archive.size() - 12))));
        QCOMPARE(int32At(archive, 12), 2);
        QCOMPARE(archive.mid(16, 17), shortString("OK1ABC", 16, 6));
        QCOMPARE(int32At(archive, 41), 3);
        QCOMPARE(archive.mid(45, 216), QByteArray(216, '\0'));

        const QByteArray table = ReadTestFile(m_log);
        const QList<QPair<QByteArray, QByteArray>> expected{
            {"BackUp.db", table}, {"BackUp.px", {}}, {"BackUp.uf", Options}};
        qsizetype offset = 261 + 3 * 61;
        for (int i = 0; i < 3; ++i) {
            const int at = 261 + i * 61;
            QCOMPARE(int32At(archive, at), qint32(expected[i].second.size()));
            QCOMPARE(archive.mid(at + 4, 57),
                     shortString(expected[i].first, 56, int(expected[i].first.size())));
            // Entries are back-to-back zlib streams.
            z_stream zs{};
            QCOMPARE(inflateInit(&zs), Z_OK);
            QByteArray out(qMax<qsizetype>(expected[i].second.size(), 1), '\0');
            zs.next_in = reinterpret_cast<Bytef *>(const_cast<char *>(archive.constData())) + offset;
            zs.avail_in = uInt(archive.size() - offset);
            zs.next_out = reinterpret_cast<Bytef *>(out.data());
            zs.avail_out = uInt(out.size());
            QCOMPARE(inflate(&zs, Z_FINISH), Z_STREAM_END);
            QCOMPARE(out.left(qsizetype(zs.total_out)), expected[i].second);
            offset += qsizetype(zs.total_in);
            inflateEnd(&zs);
        }
        QCOMPARE(offset, archive.size());

        QString call = "X";
        QDateTime created;
        ReadBackUpInfo(m_archive, call, created);
        QCOMPARE(call, Call);
        QVERIFY2(created >= before && created <= QDateTime::currentDateTime().addSecs(1),
                 qPrintable(created.toString(Qt::ISODateWithMs)));
    }

    // The header keeps the first 16 characters of a longer call sign.
    void longCallIsCut()
    {
        const QString longCall = "OK1ABCDEFGHIJKLMNOP";
        QVERIFY(QFile::copy(m_log, QDir(m_data).filePath(longCall + ".db")));
        QVERIFY(WriteTestFile(QDir(m_data).filePath(longCall + ".uf"), Options));
        BackUpLog(longCall, m_data, m_archive);
        QString call;
        QDateTime created;
        ReadBackUpInfo(m_archive, call, created);
        QCOMPARE(call, longCall.left(16));
    }

    // The time of writing is a day count from 30.12.1899 in local time.
    void createdTime_data()
    {
        QTest::addColumn<double>("days");
        QTest::addColumn<QDateTime>("expected");
        QTest::newRow("epoch") << 0.0 << QDateTime(QDate(1899, 12, 30), QTime(0, 0));
        QTest::newRow("2008 evening") << 39448.75 << QDateTime(QDate(2008, 1, 1), QTime(18, 0));
        QTest::newRow("before the epoch") << -1.25 << QDateTime(QDate(1899, 12, 29), QTime(6, 0));
        QTest::newRow("not a number") << std::numeric_limits<double>::quiet_NaN() << QDateTime();
    }
    void createdTime()
    {
        QFETCH(double, days);
        QFETCH(QDateTime, expected);
        QVERIFY(WriteTestFile(m_archive, buildArchive({entry("BackUp.db", ReadTestFile(m_log))}, 2, days)));
        QString call;
        QDateTime created;
        ReadBackUpInfo(m_archive, call, created);
        QCOMPARE(created, expected);
        QCOMPARE(call, Call);
    }

    // The restored log is a new file of this program's own shape holding the same rows
    // with the same IDs.
    void restoreReproducesTheLog()
    {
        const QByteArray original = ReadTestFile(m_log);
        const QList<QVariantList> rows = rowsIn(m_log);
        const QStringList schema = schemaOf(m_log);
        QList<int> progress;
        BackUpLog(Call, m_data, m_archive, [&progress](int percent) { progress << percent; });
        QCOMPARE(progress.first(), 0);
        QCOMPARE(progress.last(), 100);
        QVERIFY(std::is_sorted(progress.begin(), progress.end()));
        {
            LogConnection connection(m_log);
            insertQsos(connection.database(), {"OK9NEW"});
        }
        const QString optionsPath = QDir(m_data).filePath(Call + ".uf");
        QVERIFY(WriteTestFile(optionsPath, "[User]\r\nCall=OK1ABC\r\nName=Changed\r\n"));
        QVERIFY(ReadTestFile(m_log) != original);

        progress.clear();
        RestoreLog(Call, m_data, m_temp, m_archive, [&progress](int percent) { progress << percent; });
        QCOMPARE(progress.first(), 0);
        QCOMPARE(progress.last(), 100);
        QVERIFY(std::is_sorted(progress.begin(), progress.end()));
        QCOMPARE(std::adjacent_find(progress.begin(), progress.end()), progress.end());

        QCOMPARE(rowsIn(m_log), rows);
        QCOMPARE(schemaOf(m_log), schema);
        QVERIFY(IsReadableLogTableFile(m_log));
        QCOMPARE(callsIn(m_log), QStringList({"OK2XYZ", "DL1AAA", "G4BBB"}));
        // The operator settings are not part of a restore.
        QCOMPARE(ReadTestFile(optionsPath), QByteArray("[User]\r\nCall=OK1ABC\r\nName=Changed\r\n"));
        QCOMPARE(tempFiles(), QStringList());
        QCOMPARE(QDir(m_data).entryList({"*.db*"}, QDir::Files), QStringList({Call + ".db"}));
    }

    // The logbook keeps its connection open while it backs up; every committed QSO
    // is in the archive.
    void backUpWhileTheLogIsOpen()
    {
        LogConnection connection(m_log);
        insertQsos(connection.database(), {"OK1OPEN", "OK2OPEN"});
        QSqlQuery reading(connection.database());
        QVERIFY(reading.exec("SELECT CALL FROM log ORDER BY ID") && reading.next());

        BackUpLog(Call, m_data, m_archive);

        reading.finish();
        insertQsos(connection.database(), {"AFTER"});
        connection.close();
        RestoreLog(Call, m_data, m_temp, m_archive);
        QCOMPARE(callsIn(m_log), QStringList({"OK2XYZ", "DL1AAA", "G4BBB", "OK1OPEN", "OK2OPEN"}));
    }

    // A journal left beside the old log must not be rolled into the restored one.
    void restoreRemovesAStaleJournal()
    {
        BackUpLog(Call, m_data, m_archive);
        QVERIFY(WriteTestFile(m_log + "-journal", QByteArray(4096, '\x5A')));
        RestoreLog(Call, m_data, m_temp, m_archive);
        QVERIFY(!QFile::exists(m_log + "-journal"));
        QCOMPARE(callsIn(m_log), QStringList({"OK2XYZ", "DL1AAA", "G4BBB"}));
    }

    // A log that another program holds is not replaced: the text says so, and the log is
    // as it was; once the lock is gone the restore goes through.
    void restoreOverAHeldLog()
    {
        BackUpLog(Call, m_data, m_archive);
        LogConnection holder(m_log);
        insertQsos(holder.database(), {"OK9NEW"});
        QVERIFY(QSqlQuery(holder.database()).exec("BEGIN EXCLUSIVE"));
        const QByteArray content = ReadTestFile(m_log);
        QString text;
        try {
            RestoreLog(Call, m_data, m_temp, m_archive);
        } catch (const EVelkorError &e) {
            text = e.message();
        }
        QCOMPARE(text, MsgLogInUse(m_log));
        QCOMPARE(ReadTestFile(m_log), content);
        holder.close();
        RestoreLog(Call, m_data, m_temp, m_archive);
        QCOMPARE(callsIn(m_log), QStringList({"OK2XYZ", "DL1AAA", "G4BBB"}));
    }

    // IDs of QSOs deleted before the backup are not given to new QSOs after a restore.
    void restoreKeepsTheIdCounter()
    {
        {
            LogConnection connection(m_log);
            QSqlQuery q(connection.database());
            QVERIFY(q.exec("DELETE FROM log WHERE CALL = 'G4BBB'"));
        }
        BackUpLog(Call, m_data, m_archive);
        RestoreLog(Call, m_data, m_temp, m_archive);
        LogConnection connection(m_log);
        insertQsos(connection.database(), {"OK9NEW"});
        QSqlQuery q(connection.database());
        QVERIFY(q.exec("SELECT ID FROM log WHERE CALL = 'OK9NEW'") && q.next());
        QCOMPARE(q.value(0).toInt(), 4);
    }

    // Archives whose table another program or a damaged disk left as it should not be:
    // a log that is not sound is refused with the format message and the log in place
    // stays; a sound log that carries more than a log is restored as a clean log of
    // this program, its rows alone.
    void archivedLogNotAsWritten_data()
    {
        QTest::addColumn<QByteArray>("table");
        QTest::addColumn<QString>("message");

        QTemporaryDir scratch;
        int n = 0;
        auto file = [&scratch, &n] { return scratch.filePath(QStringLiteral("t%1.db").arg(++n)); };

        const QByteArray sound = logWith(file(), {});
        QTest::newRow("cut to half") << sound.left(sound.size() / 2) << BadFormat;
        QTest::newRow("cut by one page") << sound.left(sound.size() - 4096) << BadFormat;
        QTest::newRow("cut in the header") << sound.left(50) << BadFormat;
        QByteArray damaged = sound;
        for (int i = 0; i < 4096; ++i)
            damaged[3 * 4096 + i] = char(i * 7);
        QTest::newRow("fails the integrity check") << damaged << BadFormat;
        QByteArray secondPage = sound;
        std::memset(secondPage.data() + 4096, 0, 4096);
        QTest::newRow("second page zeroed") << secondPage << BadFormat;

        QTest::newRow("trigger")
            << logWith(file(), {"CREATE TRIGGER keep_one AFTER INSERT ON log BEGIN "
                                "DELETE FROM log WHERE ID <> NEW.ID; END"})
            << QString();
        QTest::newRow("view") << logWith(file(), {"CREATE VIEW recent AS SELECT * FROM log WHERE ID > 100"})
                              << QString();
        QTest::newRow("extra table and index")
            << logWith(file(), {"CREATE TABLE other (x TEXT)", "INSERT INTO other VALUES ('secret')",
                                "CREATE INDEX log_note ON log (NOTE)"})
            << QString();
        QTest::newRow("WAL mode") << logWith(file(), {"PRAGMA journal_mode = WAL"}) << QString();
    }
    void archivedLogNotAsWritten()
    {
        QFETCH(QByteArray, table);
        QFETCH(QString, message);
        if (message.isEmpty())
            QCOMPARE(integrityOf(table), QString("ok"));
        else
            QVERIFY(integrityOf(table) != "ok");
        QVERIFY(WriteTestFile(m_archive,
                              buildArchive({entry("BackUp.db", table), entry("BackUp.px", {}),
                                            entry("BackUp.uf", Options)})));
        const QByteArray log = ReadTestFile(m_log);
        const QStringList schema = schemaOf(m_log);

        QCOMPARE(restoreFailure(m_archive), message);
        QCOMPARE(tempFiles(), QStringList());
        QCOMPARE(QDir(m_data).entryList({"*.db*"}, QDir::Files), QStringList({Call + ".db"}));
        if (!message.isEmpty()) {
            QCOMPARE(ReadTestFile(m_log), log);
            return;
        }
        // The archived QSOs, nothing else of the file: the schema is this program's own
        // and the file is no longer in WAL mode.
        QCOMPARE(schemaOf(m_log), schema);
        const QByteArray restored = ReadTestFile(m_log);
        QCOMPARE(int(restored[18]), 1);
        QCOMPARE(int(restored[19]), 1);
        const QList<QVariantList> rows = rowsIn(m_log);
        QCOMPARE(rows.size(), 403);
        QCOMPARE(rows.last().at(fiCALL).toString(), QString("OK399AB"));
        // One more saved QSO adds one row: no trigger of the archive came along.
        {
            LogConnection connection(m_log);
            insertQsos(connection.database(), {"OK9NEW"});
        }
        QCOMPARE(rowsIn(m_log).size(), 404);
        QCOMPARE(integrityOf(ReadTestFile(m_log)), QString("ok"));
        QVERIFY(!QFile::exists(m_log + "-wal") && !QFile::exists(m_log + "-shm"));
    }

    void missingFileCannotBeBackedUp_data()
    {
        QTest::addColumn<QString>("missing");
        QTest::newRow("settings") << ".uf";
        QTest::newRow("log") << ".db";
    }
    void missingFileCannotBeBackedUp()
    {
        QFETCH(QString, missing);
        QVERIFY(QFile::remove(QDir(m_data).filePath(Call + missing)));
        QVERIFY(WriteTestFile(m_archive, "older archive"));
        const QString message = failure([&] { BackUpLog(Call, m_data, m_archive); });
        QVERIFY2(message.contains(Call + missing), qPrintable(message));
        // A failed backup leaves whatever had that name before, and no half archive.
        QCOMPARE(ReadTestFile(m_archive), QByteArray("older archive"));
        QCOMPARE(QDir(QFileInfo(m_archive).path()).entryList(QDir::Files),
                 QStringList({QFileInfo(m_archive).fileName()}));
    }

    void backUpIntoMissingFolderFails()
    {
        const QString target = m_root->filePath("NoSuchFolder/OK1ABC.z");
        QVERIFY(!failure([&] { BackUpLog(Call, m_data, target); }).isEmpty());
        QVERIFY(!QFile::exists(target));
    }

    // Too short or foreign files are refused by both readers.
    void notAnArchive_data()
    {
        QTest::addColumn<int>("length");
        QTest::addColumn<int>("badByte");
        QTest::newRow("260 bytes") << 260 << -1;
        QTest::newRow("empty") << 0 << -1;
        QTest::newRow("first byte") << -1 << 0;
        QTest::newRow("last magic byte") << -1 << 7;
    }
    void notAnArchive()
    {
        QFETCH(int, length);
        QFETCH(int, badByte);
        BackUpLog(Call, m_data, m_archive);
        QByteArray archive = ReadTestFile(m_archive);
        if (length >= 0)
            archive.truncate(length);
        if (badByte >= 0)
            archive[badByte] = char(archive[badByte] ^ 0x01);
        QVERIFY(WriteTestFile(m_archive, archive));
        const QByteArray log = ReadTestFile(m_log);

        QCOMPARE(restoreFailure(m_archive), BadFormat);
        QString call = "X";
        QDateTime created;
        QCOMPARE(failure([&] { ReadBackUpInfo(m_archive, call, created); }), BadFormat);
        QCOMPARE(call, QString());
        QCOMPARE(ReadTestFile(m_log), log);
        QCOMPARE(tempFiles(), QStringList());
    }

    // Every byte after the magic is guarded by the CRC, the CRC field itself too.
    void everyDamagedByteIsFound()
    {
        BackUpLog(Call, m_data, m_archive);
        const QByteArray archive = ReadTestFile(m_archive);
        const QByteArray log = ReadTestFile(m_log);
        const QString damaged = m_root->filePath("damaged.z");
        for (int offset = 8; offset < archive.size(); ++offset) {
            QByteArray copy = archive;
            copy[offset] = char(copy[offset] ^ 0x40);
            QVERIFY(WriteTestFile(damaged, copy));
            const QString message = restoreFailure(damaged);
            if (message != BadCrc)
                QFAIL(qPrintable(QString("offset %1: %2").arg(offset).arg(message)));
        }
        QCOMPARE(ReadTestFile(m_log), log);
        QCOMPARE(tempFiles(), QStringList());
        // The header can still be shown: the information read needs no CRC.
        QString call;
        QDateTime created;
        ReadBackUpInfo(damaged, call, created);
        QCOMPARE(call, Call);
    }

    void unknownVersion()
    {
        BackUpLog(Call, m_data, m_archive);
        QByteArray archive = ReadTestFile(m_archive);
        putInt32(archive, 12, 3);
        fixCrc(archive);
        QVERIFY(WriteTestFile(m_archive, archive));
        const QByteArray log = ReadTestFile(m_log);

        QCOMPARE(restoreFailure(m_archive), BadVersion);
        QCOMPARE(ReadTestFile(m_log), log);
        QCOMPARE(tempFiles(), QStringList());
    }

    // Archives with a correct CRC whose content this program never writes: each is
    // refused, the log stays as it was and nothing is left in the temporary folder.
    void malformedArchive_data()
    {
        QTest::addColumn<QByteArray>("archive");
        QTest::addColumn<QString>("message");

        QTemporaryDir scratch;
        makeSampleLog(scratch.filePath("sample.db"));
        const QByteArray table = ReadTestFile(scratch.filePath("sample.db"));
        const QByteArray foreign = foreignDatabase(scratch.filePath("foreign.db"));
        const Entry db = entry("BackUp.db", table);
        const Entry px = entry("BackUp.px", {});
        const Entry uf = entry("BackUp.uf", Options);
        auto withTable = [&](const Entry &tableEntry) { return buildArchive({tableEntry, px, uf}); };

        // Control row: the test's own archive restores.
        QTest::newRow("well-formed") << withTable(db) << QString();
        QTest::newRow("index entry with content is ignored")
            << buildArchive({db, entry("BackUp.px", "old index"), uf}) << QString();

        QByteArray cut = withTable(db);
        cut.chop(40);
        fixCrc(cut);
        QTest::newRow("cut short") << cut << BadFormat;
        QTest::newRow("entry name ../x") << buildArchive({db, entry("../x", Options)}) << BadFormat;
        QTest::newRow("name with slash") << buildArchive({db, entry("sub/x", Options)}) << BadFormat;
        QTest::newRow("name with backslash") << buildArchive({db, entry("sub\\x", Options)}) << BadFormat;
        QTest::newRow("name ..") << buildArchive({entry("..", Options), db}) << BadFormat;
        QTest::newRow("empty name") << buildArchive({db, entry("", Options)}) << BadFormat;
        QTest::newRow("name length 57")
            << buildArchive({db, entry(QByteArray(57, 'a'), Options)}) << BadFormat;
        QTest::newRow("name with control character")
            << buildArchive({db, entry("a\nb", Options)}) << BadFormat;
        QTest::newRow("entry table past the end") << buildArchive({db, px, uf}, 2, 0, 1000) << BadFormat;
        QTest::newRow("negative count") << buildArchive({db, px, uf}, 2, 0, -5) << BadFormat;
        QTest::newRow("no entries") << buildArchive({}) << BadFormat;
        QTest::newRow("no table entry") << buildArchive({px, uf}) << BadFormat;
        QTest::newRow("table entry twice") << buildArchive({db, db}) << BadFormat;

        Entry bigger = db;
        bigger.size = qint32(table.size()) * 100;
        QTest::newRow("size beyond the file") << withTable(bigger) << BadFormat;
        Entry smaller = db;
        smaller.size = qint32(table.size()) - 1;
        QTest::newRow("size smaller than the data") << withTable(smaller) << BadFormat;
        Entry negative = db;
        negative.size = -1;
        QTest::newRow("negative size") << withTable(negative) << BadFormat;
        Entry garbage = db;
        garbage.stream = QByteArray(200, '\x17');
        QTest::newRow("not a zlib stream") << withTable(garbage) << BadFormat;
        Entry corrupt = db;
        corrupt.stream[corrupt.stream.size() / 2] = char(corrupt.stream[corrupt.stream.size() / 2] ^ 0xFF);
        QTest::newRow("corrupt zlib stream") << withTable(corrupt) << BadFormat;

        QTest::newRow("table of another shape") << withTable(entry("BackUp.db", foreign)) << BadFormat;
        QTest::newRow("table is text") << withTable(entry("BackUp.db", "not a database")) << BadFormat;
        QTest::newRow("table is empty") << withTable(entry("BackUp.db", {})) << BadFormat;
    }
    void malformedArchive()
    {
        QFETCH(QByteArray, archive);
        QFETCH(QString, message);
        QVERIFY(WriteTestFile(m_archive, archive));
        // The log to be replaced holds other QSOs than the archive.
        {
            LogConnection connection(m_log);
            insertQsos(connection.database(), {"OK9NEW"});
        }
        const QByteArray log = ReadTestFile(m_log);

        QCOMPARE(restoreFailure(m_archive), message);
        QCOMPARE(tempFiles(), QStringList());
        if (message.isEmpty()) {
            QCOMPARE(callsIn(m_log), QStringList({"OK2XYZ", "DL1AAA", "G4BBB"}));
        } else {
            QCOMPARE(ReadTestFile(m_log), log);
            QCOMPARE(QDir(m_data).entryList({"*.db*"}, QDir::Files), QStringList({Call + ".db"}));
        }
    }
};

QTEST_GUILESS_MAIN(TestBackUp)
#include "tst_backup.moc"
