#include "import/ParadoxTable.h"

#include "base/FileError.h"

#include <QDate>
#include <QDateTime>
#include <QFileInfo>
#include <QSet>
#include <QtEndian>

#include <cstring>

namespace {

constexpr int MemoHeaderSize = 4096;
constexpr qint64 MsPerDay = 86400000;

[[noreturn]] void unreadable()
{
    throw EFileError(SourceTableUnreadableText());
}

// The type letters by the codes of the field descriptors; 0 for a code the reader does
// not know.
char typeLetter(uchar code)
{
    switch (code) {
    case 0x01: return 'A';
    case 0x02: return 'D';
    case 0x03: return 'S';
    case 0x04: return 'I';
    case 0x05: return '$';
    case 0x06: return 'N';
    case 0x09: return 'L';
    case 0x0C: return 'M';
    case 0x0D: return 'B';
    case 0x0E: return 'F';
    case 0x0F: return 'O';
    case 0x10: return 'G';
    case 0x14: return 'T';
    case 0x15: return '@';
    case 0x16: return '+';
    case 0x17: return '#';
    case 0x18: return 'Y';
    default: return 0;
    }
}

// The size a fixed-size type must have; 0 for the types of variable size.
int fixedSize(char type)
{
    switch (type) {
    case 'D': case 'I': case 'T': case '+': return 4;
    case 'S': return 2;
    case '$': case 'N': case '@': return 8;
    case 'L': return 1;
    case '#': return 17;
    default: return 0;
    }
}

bool isBlob(char type)
{
    return type == 'M' || type == 'B' || type == 'F' || type == 'O' || type == 'G';
}

bool allZero(const uchar *data, int size)
{
    return std::all_of(data, data + size, [](uchar b) { return b == 0; });
}

// Numbers are stored big-endian with the sign bit flipped, so that all-zero bytes are the
// empty value: for integers this is two's complement with the top bit inverted.
qint64 storedInteger(const uchar *data, int size)
{
    quint64 raw = 0;
    for (int i = 0; i < size; ++i)
        raw = raw << 8 | data[i];
    return qint64(raw) - (qint64(1) << (size * 8 - 1));
}

// Doubles: a positive value has its sign bit set, a negative one has every bit inverted.
double storedDouble(const uchar *data)
{
    uchar bytes[8];
    std::memcpy(bytes, data, 8);
    if (bytes[0] & 0x80)
        bytes[0] &= 0x7F;
    else
        for (uchar &b : bytes)
            b = uchar(~b);
    return qFromBigEndian<double>(bytes);
}

// Day numbers count from 1 for 1 January of the year 1.
QDate dayNumberDate(qint64 day)
{
    static const qint64 base = QDate(1, 1, 1).toJulianDay();
    return QDate::fromJulianDay(base + day - 1);
}

} // namespace

TParadoxTable::TParadoxTable(const QString &fileName) : m_file(fileName)
{
    if (!m_file.open(QIODevice::ReadOnly))
        unreadable();
    m_size = m_file.size();
    m_data = m_size > 0 ? m_file.map(0, m_size) : nullptr;
    if (!m_data)
        unreadable();
    readHeader();
}

TParadoxTable::~TParadoxTable() = default;

void TParadoxTable::readHeader()
{
    if (m_size < 0x58)
        unreadable();
    const auto le16 = [this](qint64 at) { return int(qFromLittleEndian<quint16>(m_data + at)); };
    const auto le32 = [this](qint64 at) { return qFromLittleEndian<quint32>(m_data + at); };
    m_recordSize = le16(0);
    const int headerSize = le16(2);
    const int fileType = m_data[4];
    const int blockSize = m_data[5] * 1024;
    const int fileBlocks = le16(0x0C);
    const int firstBlock = le16(0x0E);
    const int fieldCount = qFromLittleEndian<qint16>(m_data + 0x21);
    m_version = m_data[0x39];
    // Only data files (indexed or not) of the known versions hold rows.
    if ((fileType != 0 && fileType != 2) || m_version < 3 || m_version > 0x0C || blockSize == 0
        || blockSize > 32 * 1024 || fieldCount <= 0 || fieldCount > 255 || m_recordSize <= 0
        || headerSize > m_size)
        unreadable();
    qint64 fieldInfo = 0x58;
    if (m_version >= 5) {
        if (m_size < 0x78 || le32(0x5C) != 0)
            unreadable();
        m_codePage = le16(0x6A);
        fieldInfo = 0x78;
    } else if (le32(0x25) != 0) {
        unreadable(); // encrypted
    }
    if (fieldInfo + fieldCount * 2 > headerSize)
        unreadable();
    int recordSize = 0;
    for (int i = 0; i < fieldCount; ++i) {
        TSourceField field;
        field.type = typeLetter(m_data[fieldInfo + i * 2]);
        field.size = m_data[fieldInfo + i * 2 + 1];
        if (field.type == '#')
            field.size = 17; // the descriptor holds the decimals, the field is always 17 bytes
        const int fixed = fixedSize(field.type);
        if (!field.type || field.size == 0 || (fixed && field.size != fixed) || (isBlob(field.type) && field.size < 10))
            unreadable();
        m_fieldOffsets.append(recordSize);
        recordSize += field.size;
        m_fields.append(field);
    }
    if (recordSize != m_recordSize)
        unreadable();
    const int tableNameSize = m_version >= 0x0C ? 261 : 79;
    readFieldNames(fieldInfo + fieldCount * 2 + 4 + fieldCount * 4 + tableNameSize);
    if (headerSize < 0x58)
        unreadable();
    readBlocks(headerSize, blockSize, firstBlock, fileBlocks);
    if (std::any_of(m_fields.cbegin(), m_fields.cend(), [](const TSourceField &f) { return isBlob(f.type); }))
        openMemoFile(m_file.fileName());
}

void TParadoxTable::readFieldNames(qint64 offset)
{
    for (TSourceField &field : m_fields) {
        if (offset >= m_size)
            unreadable();
        const auto *start = reinterpret_cast<const char *>(m_data + offset);
        const qint64 length = qstrnlen(start, size_t(m_size - offset));
        if (offset + length >= m_size)
            unreadable();
        field.name = QString::fromLatin1(start, length);
        offset += length + 1;
    }
}

void TParadoxTable::readBlocks(int headerSize, int blockSize, int firstBlock, int blockCount)
{
    // The blocks form a chain from the first one; each is visited once, so a damaged
    // chain can neither loop nor point outside the file.
    QSet<int> visited;
    for (int block = firstBlock; block != 0;) {
        const qint64 offset = headerSize + qint64(block - 1) * blockSize;
        if (visited.contains(block) || visited.size() >= blockCount || offset + 6 > m_size)
            unreadable();
        visited.insert(block);
        const int next = qFromLittleEndian<quint16>(m_data + offset);
        const int addDataSize = qFromLittleEndian<qint16>(m_data + offset + 4);
        if (addDataSize >= 0) {
            const qint64 count = addDataSize / m_recordSize + 1;
            const qint64 end = offset + 6 + count * m_recordSize;
            if (end > m_size || end > offset + blockSize)
                unreadable();
            for (qint64 i = 0; i < count; ++i)
                m_records.append(offset + 6 + i * m_recordSize);
        }
        block = next;
    }
}

void TParadoxTable::openMemoFile(const QString &fileName)
{
    const QFileInfo info(fileName);
    const QString base = info.path() + u'/' + info.completeBaseName();
    for (const char *suffix : {".mb", ".MB", ".Mb", ".mB"}) {
        m_memoFile.setFileName(base + QLatin1String(suffix));
        if (m_memoFile.exists())
            break;
    }
    if (!m_memoFile.open(QIODevice::ReadOnly))
        unreadable();
    m_memoSize = m_memoFile.size();
    m_memo = m_memoSize >= MemoHeaderSize ? m_memoFile.map(0, m_memoSize) : nullptr;
    if (!m_memo || m_memo[0] != 0)
        unreadable();
}

QVariantList TParadoxTable::Row(int row) const
{
    QVariantList values;
    values.reserve(m_fields.size());
    const uchar *data = m_data + m_records.at(row);
    for (const TSourceField &field : m_fields) {
        values << fieldValue(data, field);
        data += field.size;
    }
    return values;
}

QVariant TParadoxTable::Value(int row, int field) const
{
    return fieldValue(m_data + m_records.at(row) + m_fieldOffsets.at(field), m_fields.at(field));
}

QVariant TParadoxTable::fieldValue(const uchar *data, const TSourceField &field) const
{
    if (field.type == 'M' || field.type == 'F')
        return memoValue(data, field.size);
    if (allZero(data, field.size))
        return {};
    switch (field.type) {
    case 'A': {
        // Older tables pad alpha fields with blanks; the value ends at the first NUL.
        QByteArray text(reinterpret_cast<const char *>(data), qstrnlen(reinterpret_cast<const char *>(data), size_t(field.size)));
        while (text.endsWith(' '))
            text.chop(1);
        return text.isEmpty() ? QVariant() : QVariant(text);
    }
    case 'S': case 'I': case '+': return storedInteger(data, field.size);
    case 'N': case '$': return storedDouble(data);
    case 'L': return data[0] != 0x80;
    case 'D': {
        const QDate date = dayNumberDate(storedInteger(data, 4));
        return date.isValid() ? QVariant(date) : QVariant();
    }
    case 'T': {
        const qint64 ms = storedInteger(data, 4);
        return ms >= 0 && ms < MsPerDay ? QVariant(QTime::fromMSecsSinceStartOfDay(int(ms))) : QVariant();
    }
    case '@': {
        const double ms = storedDouble(data);
        if (!(ms >= 0 && ms < 1e15))
            return {};
        const qint64 whole = qint64(ms);
        const QDate date = dayNumberDate(whole / MsPerDay);
        return QDateTime(date, QTime::fromMSecsSinceStartOfDay(int(whole % MsPerDay)));
    }
    default: return {}; // BCD, bytes and binary objects are no part of a log
    }
}

QVariant TParadoxTable::memoValue(const uchar *data, int size) const
{
    const int leader = size - 10;
    const quint32 offset = qFromLittleEndian<quint32>(data + leader);
    const quint32 length = qFromLittleEndian<quint32>(data + leader + 4);
    if (length == 0)
        return {};
    if (offset == 0) // the whole memo fits in the leader
        return QByteArray(reinterpret_cast<const char *>(data), std::min<int>(leader, int(length)));
    if (!m_memo)
        unreadable();
    const qint64 block = offset & ~quint32(0xFF);
    const int index = offset & 0xFF;
    qint64 start = 0;
    if (index == 0xFF) { // a block of its own
        start = block + 9;
        if (start > m_memoSize || m_memo[block] != 2)
            unreadable();
    } else { // one of up to 64 small memos in a shared block
        const qint64 entry = block + 12 + 5 * qint64(index);
        if (index >= 64 || entry + 5 > m_memoSize || m_memo[block] != 3)
            unreadable();
        start = block + m_memo[entry] * 16;
    }
    if (start + qint64(length) > m_memoSize)
        unreadable();
    return QByteArray(reinterpret_cast<const char *>(m_memo + start), qsizetype(length));
}
