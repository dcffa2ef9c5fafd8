#include "backup/BackUp.h"

#include "base/Crc32.h"
#include "base/DatabaseError.h"
#include "base/FileMappingStream.h"
#include "base/FileUtils.h"
#include "base/HotJournal.h"
#include "base/MessageTexts.h"
#include "log/LogConnection.h"
#include "log/VkrDatabase.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSaveFile>
#include <QScopeGuard>
#include <QSqlError>
#include <QSqlQuery>
#include <QStringDecoder>
#include <QStringEncoder>
#include <QtEndian>

#include <zlib.h>

#include <array>
#include <bit>
#include <cerrno>
#include <cmath>
#include <cstring>
#include <limits>

namespace {

constexpr std::array<uchar, 8> BackUpMagic{0x43, 0xAD, 0x84, 0xB1, 0x16, 0xF6, 0x59, 0xA1};
constexpr qint32 BackUpVersion = 2;

constexpr qint64 CrcOffset = 8;
constexpr qint64 VersionOffset = 12;
constexpr qint64 CallOffset = 16;
constexpr qint64 CreatedOffset = 33;
constexpr qint64 CountOffset = 41;
constexpr qint64 ReservedSize = 216;
constexpr qint64 HeaderSize = 261;
constexpr int CallLength = 16;
constexpr int NameLength = 56;
constexpr qint64 EntrySize = 4 + 1 + NameLength;

const QString TableEntry = QStringLiteral("BackUp.db");
const QString IndexEntry = QStringLiteral("BackUp.px");
const QString OptionsEntry = QStringLiteral("BackUp.uf");
// The new log a restore builds in the temporary folder before it replaces the old one.
const QString RestoredLogName = QStringLiteral("BackUp.restored");

QString invalidFormat()
{
    return QStringLiteral("Neplatný formát souboru!");
}

QString badChecksum()
{
    return QStringLiteral("Neplatný kontrolní součet - soubor je poškozen!");
}

QString unknownVersion()
{
    return QStringLiteral("Neznámá verze souboru!");
}

EFileError cannotOpen(const QString &path)
{
    return EFileError(QStringLiteral("Soubor \"%1\" nelze otevřít!").arg(QDir::toNativeSeparators(path)));
}

QString cannotWriteText(const QString &path)
{
    return QStringLiteral("Soubor \"%1\" nelze zapsat!").arg(QDir::toNativeSeparators(path));
}

EFileError cannotWrite(const QString &path)
{
    return EFileError(cannotWriteText(path));
}

// The extracted table lies in the program's temporary folder: the operator is told about
// the folder (full, read-only), not about the program's own file in it. `kind` is that of
// the failed call, taken when it failed.
EFileError cannotWriteTemporary(const QString &path, TDatabaseFailure kind)
{
    return EFileError(TemporaryFileFailureText(kind, path, MsgTempFolderReadOnly(QFileInfo(path).path())));
}

// Call signs and entry names are stored in Windows-1250.
QByteArray toWin1250(const QString &text)
{
    QStringEncoder encoder("windows-1250");
    return encoder.isValid() ? QByteArray(encoder(text)) : text.toLatin1();
}

QString fromWin1250(QByteArrayView bytes)
{
    QStringDecoder decoder("windows-1250");
    return decoder.isValid() ? QString(decoder(bytes)) : QString::fromLatin1(bytes);
}

// A length byte followed by `capacity` bytes, zero after the text.
QByteArray shortString(const QByteArray &text, int capacity)
{
    QByteArray field(capacity + 1, '\0');
    const int length = qMin<int>(text.size(), capacity);
    field[0] = char(length);
    std::memcpy(field.data() + 1, text.constData(), size_t(length));
    return field;
}

// Days since 30.12.1899 with the time of day as the fraction; before that day the
// fraction still counts forward from midnight (-1.25 is 29.12.1899 6:00).
double toDayCount(const QDateTime &value)
{
    static const QDate epoch(1899, 12, 30);
    const double days = double(epoch.daysTo(value.date()));
    const double fraction = value.time().msecsSinceStartOfDay() / 86400000.0;
    return days >= 0 ? days + fraction : days - fraction;
}

QDateTime fromDayCount(double value)
{
    static const QDate epoch(1899, 12, 30);
    if (!std::isfinite(value) || std::fabs(value) > 3.0e6) // 3e6 days is past the year 9999
        return {};
    double days = std::trunc(value);
    qint64 msecs = std::llround(std::fabs(value - days) * 86400000.0);
    if (msecs >= 86400000) {
        msecs = 0;
        days += value >= 0 ? 1 : -1;
    }
    return QDateTime(epoch.addDays(qint64(days)), QTime::fromMSecsSinceStartOfDay(int(msecs)));
}

void appendInt32(QByteArray &out, qint32 value)
{
    const qint32 le = qToLittleEndian(value);
    out.append(reinterpret_cast<const char *>(&le), sizeof le);
}

void appendDouble(QByteArray &out, double value)
{
    const quint64 le = qToLittleEndian(std::bit_cast<quint64>(value));
    out.append(reinterpret_cast<const char *>(&le), sizeof le);
}

QByteArray readWholeFile(const QString &path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        throw cannotOpen(path);
    QByteArray content = file.readAll();
    if (file.error() != QFileDevice::NoError)
        throw cannotOpen(path);
    if (content.size() > std::numeric_limits<qint32>::max())
        throw EFileError(
            QStringLiteral("Soubor \"%1\" je pro zálohu příliš velký!").arg(QDir::toNativeSeparators(path)));
    return content;
}

// One zlib stream (RFC 1950) at the default level.
QByteArray compressed(const QByteArray &data)
{
    uLongf length = compressBound(uLong(data.size()));
    QByteArray out(qsizetype(length), Qt::Uninitialized);
    const int rc = compress2(reinterpret_cast<Bytef *>(out.data()), &length,
                             reinterpret_cast<const Bytef *>(data.constData()), uLong(data.size()),
                             Z_DEFAULT_COMPRESSION);
    if (rc != Z_OK)
        throw EFileError(QStringLiteral("Chyba při komprimaci dat!"));
    out.truncate(qsizetype(length));
    return out;
}

struct Entry {
    QString name;
    qint64 size = 0;
};

struct Header {
    quint32 crc = 0;
    qint32 version = 0;
    QString call;
    double created = 0;
    qint32 count = 0;
};

// Size and magic: all that is needed to trust the header's fixed fields.
Header readHeader(const TFileMappingStream &archive)
{
    const uchar *p = archive.memory();
    if (archive.size() < HeaderSize || std::memcmp(p, BackUpMagic.data(), BackUpMagic.size()) != 0)
        throw EBackUpError(invalidFormat());
    Header header;
    header.crc = qFromLittleEndian<quint32>(p + CrcOffset);
    header.version = qFromLittleEndian<qint32>(p + VersionOffset);
    const int callLength = qMin<int>(p[CallOffset], CallLength);
    header.call = fromWin1250(QByteArrayView(p + CallOffset + 1, callLength));
    header.created = std::bit_cast<double>(qFromLittleEndian<quint64>(p + CreatedOffset));
    header.count = qFromLittleEndian<qint32>(p + CountOffset);
    return header;
}

bool isSafeEntryName(const QString &name)
{
    if (name.isEmpty() || name == u"." || name.contains(u'/') || name.contains(u'\\') ||
        name.contains(QStringLiteral("..")))
        return false;
    for (const QChar c : name)
        if (c.unicode() < 0x20)
            return false;
    return true;
}

QList<Entry> readEntries(const TFileMappingStream &archive, qint32 count)
{
    if (count < 0 || HeaderSize + qint64(count) * EntrySize > archive.size())
        throw EBackUpError(invalidFormat());
    QList<Entry> entries;
    for (qint32 i = 0; i < count; ++i) {
        const uchar *p = archive.memory() + HeaderSize + i * EntrySize;
        Entry entry;
        entry.size = qFromLittleEndian<qint32>(p);
        const int nameLength = p[4];
        if (entry.size < 0 || nameLength > NameLength)
            throw EBackUpError(invalidFormat());
        entry.name = fromWin1250(QByteArrayView(p + 5, nameLength));
        if (!isSafeEntryName(entry.name))
            throw EBackUpError(invalidFormat());
        for (const Entry &earlier : std::as_const(entries))
            if (earlier.name == entry.name)
                throw EBackUpError(invalidFormat());
        entries.append(entry);
    }
    return entries;
}

// Inflates the one zlib stream starting at `data` (at most `available` bytes long); it
// must give exactly `size` bytes, which go to `out` unless it is null. Returns the
// length of the compressed stream, so that the next entry's stream follows it.
qint64 inflateEntry(const uchar *data, qint64 available, qint64 size, QFile *out)
{
    z_stream zs{};
    if (inflateInit(&zs) != Z_OK)
        throw EBackUpError(invalidFormat());
    const auto cleanup = qScopeGuard([&zs] { inflateEnd(&zs); });

    QByteArray buffer(65536, Qt::Uninitialized);
    qint64 consumed = 0;
    qint64 produced = 0;
    int rc = Z_OK;
    while (rc != Z_STREAM_END) {
        if (zs.avail_in == 0) {
            zs.next_in = const_cast<Bytef *>(data + consumed);
            zs.avail_in = uInt(qMin<qint64>(available - consumed, 1 << 30));
        }
        zs.next_out = reinterpret_cast<Bytef *>(buffer.data());
        zs.avail_out = uInt(buffer.size());
        const uInt inBefore = zs.avail_in;
        rc = inflate(&zs, Z_NO_FLUSH);
        consumed += inBefore - zs.avail_in;
        const qint64 got = buffer.size() - zs.avail_out;
        produced += got;
        // Z_BUF_ERROR here means the stream was cut off by the end of the archive.
        if ((rc != Z_OK && rc != Z_STREAM_END) || produced > size)
            throw EBackUpError(invalidFormat());
        if (out && got > 0 && out->write(buffer.constData(), got) != got) {
            const TDatabaseFailure kind = SystemFailureKind(errno);
            throw cannotWriteTemporary(out->fileName(), kind);
        }
    }
    if (produced != size)
        throw EBackUpError(invalidFormat());
    return consumed;
}

// The log about to be replaced must be neither read-only nor held by another program;
// the connection keeps the others out until the restored file has taken its place. A
// missing or damaged log is replaced all the same: that is what a restore is for.
void holdLogForReplacing(LogConnection &connection, const QString &logPath)
{
    if (!IsWritablePath(QFileInfo(logPath).path()))
        throw EDatabaseError(MsgLogReadOnly(logPath), TDatabaseFailure::ReadOnly);
    if (!QFileInfo(logPath).isFile())
        return;
    try {
        connection.open(logPath, LogConnection::OpenExisting);
    } catch (const EDatabaseError &e) {
        if (e.kind() == TDatabaseFailure::Damaged)
            return;
        throw;
    }
    if (connection.isReadOnly())
        throw EDatabaseError(MsgLogReadOnly(logPath), TDatabaseFailure::ReadOnly);
    QSqlDatabase db = connection.database();
    QSqlQuery q(db);
    if (!q.exec(QStringLiteral("BEGIN EXCLUSIVE")))
        throw SqlFailure(db, q.lastError(), MsgDatabaseCannotOpen(logPath));
}

// Inflates every entry in order, checking each against its size; only the log table is
// written out, to `tablePath`. Throws when the archive holds no table.
void extractTable(const TFileMappingStream &archive, const QList<Entry> &entries, const QString &tablePath)
{
    qint64 offset = HeaderSize + entries.size() * EntrySize;
    bool tableFound = false;
    for (const Entry &entry : entries) {
        const bool isTable = entry.name == TableEntry;
        QFile out(tablePath);
        if (isTable && !out.open(QIODevice::WriteOnly | QIODevice::Truncate))
            throw cannotWriteTemporary(tablePath, SystemFailureKind(errno));
        offset += inflateEntry(archive.memory() + offset, archive.size() - offset, entry.size,
                               isTable ? &out : nullptr);
        if (isTable && !out.flush())
            throw cannotWriteTemporary(tablePath, SystemFailureKind(errno));
        tableFound = tableFound || isTable;
    }
    if (!tableFound)
        throw EBackUpError(invalidFormat());
}

// The log could not take the restored file: a full disk or a read-only folder is said
// as such; the old log is still there. `kind` is that of the failed call.
EFileError cannotReplace(const QString &logPath, TDatabaseFailure kind)
{
    return EFileError(DatabaseFailureText(kind, logPath, cannotWriteText(logPath)));
}

// Copies `source` beside `target` and renames the copy over it in one step: `target` is
// either the old file or the complete new one, never a mixture.
void replaceFile(const QString &source, const QString &target)
{
    QFile in(source);
    if (!in.open(QIODevice::ReadOnly))
        throw cannotOpen(source);
    QSaveFile out(target);
    if (!out.open(QIODevice::WriteOnly) || !out.setPermissions(OwnerOnlyFile))
        throw cannotReplace(target, SystemFailureKind(errno));
    QByteArray buffer(65536, Qt::Uninitialized);
    for (;;) {
        const qint64 got = in.read(buffer.data(), buffer.size());
        if (got < 0)
            throw cannotOpen(source);
        if (got == 0)
            break;
        if (out.write(buffer.constData(), got) != got)
            throw cannotReplace(target, SystemFailureKind(errno));
    }
    if (!out.commit())
        throw cannotReplace(target, SystemFailureKind(errno));
}

// The SQLite header's format bytes (offsets 18 and 19) are 2 for a file in WAL mode and 1
// for a rollback journal. The archive holds the main file alone, so the extracted copy
// is made an ordinary file: opening it then neither looks for nor leaves "-wal" and
// "-shm" files.
void clearWalMode(const QString &path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadWrite))
        throw cannotOpen(path);
    QByteArray header = file.read(20);
    if (header.size() < 20 || !header.startsWith("SQLite format 3"))
        throw EBackUpError(invalidFormat());
    if (header[18] == 2 || header[19] == 2) {
        file.seek(18);
        if (file.write("\x01\x01", 2) != 2 || !file.flush())
            throw cannotWrite(path);
    }
}

// The extracted table must be a sound SQLite file holding a log of this program.
void checkExtractedLog(const QString &path)
{
    clearWalMode(path);
    try {
        LogConnection connection(path, LogConnection::OpenReadOnly);
        QSqlQuery q(connection.database());
        q.setForwardOnly(true);
        if (!q.exec(QStringLiteral("PRAGMA integrity_check")) || !q.next() ||
            q.value(0).toString() != u"ok" || q.next())
            throw EBackUpError(invalidFormat());
    } catch (const EDatabaseError &) {
        throw EBackUpError(invalidFormat());
    }
    if (!IsReadableLogTableFile(path))
        throw EBackUpError(invalidFormat());
}

// The number of rows and the highest ID ever given (AUTOINCREMENT's counter) of a log.
struct SourceCounts {
    qint64 rows = 0;
    qint64 sequence = 0;
};

SourceCounts sourceCounts(QSqlDatabase &db)
{
    SourceCounts counts;
    QSqlQuery q(db);
    if (!q.exec(QStringLiteral("SELECT count(*) FROM %1").arg(LogTableName)) || !q.next())
        throw EBackUpError(invalidFormat());
    counts.rows = q.value(0).toLongLong();
    if (q.exec(QStringLiteral("SELECT seq FROM sqlite_sequence WHERE name = '%1'").arg(LogTableName)) &&
        q.next())
        counts.sequence = q.value(0).toLongLong();
    return counts;
}

// Makes a new log file at `target` and copies every QSO of the log at `source` into it,
// field by field with its ID, in one transaction.
void copyIntoNewLog(const QString &source, const QString &target, TProgressReporter &progress, int from,
                    int to)
{
    QFile::remove(target);
    QFile::remove(target + QStringLiteral("-journal"));
    try {
        CreateLogTable(target);
        LogConnection in(source, LogConnection::OpenReadOnly);
        LogConnection out(target, LogConnection::OpenExisting);
        QSqlDatabase src = in.database();
        QSqlDatabase dst = out.database();
        const SourceCounts counts = sourceCounts(src);
        {
            QSqlQuery read(src);
            read.setForwardOnly(true);
            if (!read.exec(
                    QStringLiteral("SELECT %1 FROM %2 ORDER BY ID").arg(LogFieldListSql(), LogTableName)))
                throw EBackUpError(invalidFormat());
            QStringList marks;
            for (int i = 0; i < LogFieldCount; ++i)
                marks << QStringLiteral("?");
            if (!dst.transaction())
                throw SqlFailure(dst, dst.lastError(), QString());
            QSqlQuery write(dst);
            if (!write.prepare(QStringLiteral("INSERT INTO %1 (%2) VALUES (%3)")
                                   .arg(LogTableName, LogFieldListSql(), marks.join(u','))))
                throw SqlFailure(dst, write.lastError(), QString());
            qint64 copied = 0;
            while (read.next()) {
                for (int field = 0; field < LogFieldCount; ++field)
                    write.bindValue(field, read.value(field));
                if (!write.exec())
                    throw SqlFailure(dst, write.lastError(), QString());
                ++copied;
                progress.Report(from + int((to - from) * copied / qMax<qint64>(counts.rows, 1)));
            }
            if (read.lastError().isValid() || copied != counts.rows)
                throw EBackUpError(invalidFormat());
            // IDs of QSOs deleted before the backup are not given again.
            QSqlQuery sequence(dst);
            if (!sequence.exec(
                    QStringLiteral("UPDATE sqlite_sequence SET seq = max(seq, %1) WHERE name = '%2'")
                        .arg(counts.sequence)
                        .arg(LogTableName)))
                throw SqlFailure(dst, sequence.lastError(), QString());
        }
        if (!dst.commit())
            throw SqlFailure(dst, dst.lastError(), QString());
    } catch (const EDatabaseError &e) {
        // The new log is made in the temporary folder; a failure of the folder (full,
        // read-only, held) is not one of the archive, whose QSOs did not fit otherwise.
        if (e.kind() == TDatabaseFailure::Other || e.kind() == TDatabaseFailure::Damaged)
            throw EBackUpError(invalidFormat());
        throw EFileError(TemporaryFileFailureText(e.kind(), target, QString()));
    }
}

// A journal left beside the replaced log belongs to the old file; SQLite would roll it
// back into the restored one on the next open.
void removeStaleJournals(const QString &logPath)
{
    for (const char *suffix : {"-journal", "-wal", "-shm"})
        QFile::remove(logPath + QLatin1String(suffix));
}

} // namespace

void BackUpLog(const QString &call, const QString &dataDir, const QString &fileName,
               const TProgressEvent &progress)
{
    TProgressReporter reporter(progress);
    reporter.Report(0);
    const QDir data(dataDir);
    // The log file is read as it lies on disk: with a rollback journal and synchronous
    // writes it holds every committed QSO even while the log is open.
    const QByteArray table = readWholeFile(data.filePath(call + QStringLiteral(".db")));
    const QByteArray options = readWholeFile(data.filePath(call + QStringLiteral(".uf")));
    reporter.Report(10);
    const QByteArray noIndex;
    const std::array<std::pair<QString, const QByteArray *>, 3> files{
        {{TableEntry, &table}, {IndexEntry, &noIndex}, {OptionsEntry, &options}}};

    QByteArray body; // everything the CRC covers, from the version on
    appendInt32(body, BackUpVersion);
    body += shortString(toWin1250(call.left(CallLength)), CallLength);
    appendDouble(body, toDayCount(QDateTime::currentDateTime()));
    appendInt32(body, qint32(files.size()));
    body += QByteArray(ReservedSize, '\0');
    Q_ASSERT(body.size() == HeaderSize - VersionOffset);
    for (const auto &[name, content] : files) {
        appendInt32(body, qint32(content->size()));
        body += shortString(toWin1250(name), NameLength);
    }
    for (const auto &[name, content] : files) {
        body += compressed(*content);
        reporter.Report(name == TableEntry ? 70 : 80);
    }

    QByteArray crc(4, '\0');
    qToLittleEndian(CalcCRC32(body.constData(), body.size()), crc.data());

    // The backup holds the log and the settings with the cluster password.
    QSaveFile out(fileName);
    if (!out.open(QIODevice::WriteOnly) || !out.setPermissions(OwnerOnlyFile))
        throw cannotWrite(fileName);
    const QByteArray magic(reinterpret_cast<const char *>(BackUpMagic.data()), BackUpMagic.size());
    const auto write = [&](const QByteArray &part) {
        if (out.write(part) != part.size())
            throw cannotWrite(fileName);
    };
    write(magic);
    write(crc);
    write(body);
    if (!out.commit())
        throw cannotWrite(fileName);
    reporter.Report(100);
}

void ReadBackUpInfo(const QString &fileName, QString &call, QDateTime &created)
{
    call.clear();
    const TFileMappingStream archive(fileName, false, QIODevice::ReadOnly);
    const Header header = readHeader(archive);
    call = header.call;
    created = fromDayCount(header.created);
}

void RestoreLog(const QString &call, const QString &dataDir, const QString &tempDir, const QString &fileName,
                const TProgressEvent &progress)
{
    TProgressReporter reporter(progress);
    reporter.Report(0);
    const TFileMappingStream archive(fileName, false, QIODevice::ReadOnly);
    const Header header = readHeader(archive);
    const uchar *p = archive.memory();
    if (CalcCRC32(p + VersionOffset, archive.size() - VersionOffset) != header.crc)
        throw EBackUpError(badChecksum());
    if (header.version != BackUpVersion)
        throw EBackUpError(unknownVersion());
    const QList<Entry> entries = readEntries(archive, header.count);

    reporter.Report(10);

    const QString logPath = QDir(dataDir).filePath(call + QStringLiteral(".db"));
    LogConnection heldLog;
    holdLogForReplacing(heldLog, logPath);

    const QString tablePath = QDir(tempDir).filePath(TableEntry);
    const QString newLogPath = QDir(tempDir).filePath(RestoredLogName);
    const auto removeExtracted = qScopeGuard([&tablePath, &newLogPath] {
        for (const QString &path : {tablePath, newLogPath})
            for (const char *suffix : {"", "-journal", "-wal", "-shm"})
                QFile::remove(path + QLatin1String(suffix));
    });
    extractTable(archive, entries, tablePath);
    reporter.Report(30);
    checkExtractedLog(tablePath);
    reporter.Report(40);
    copyIntoNewLog(tablePath, newLogPath, reporter, 40, 90);

    // A journal of the old log is played back into it first: left beside the restored
    // file, should the program stop before it is removed, it would damage that one.
    RollBackHotJournal(logPath);
    replaceFile(newLogPath, logPath);
    removeStaleJournals(logPath);
    reporter.Report(100);
}
