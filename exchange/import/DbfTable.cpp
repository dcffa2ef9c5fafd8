#include "import/DbfTable.h"

#include "base/FileError.h"

#include <QDate>
#include <QFile>
#include <QtEndian>

#include <cstdio>
#include <cstring>
#include <memory>

#include <shapefil.h>


namespace {

constexpr int DescriptorSize = 32;

DBFHandle dbf(void *handle)
{
    return static_cast<DBFHandle>(handle);
}

[[noreturn]] void unreadable()
{
    throw EFileError(SourceTableUnreadableText());
}

// dBase III and later (with or without memo) and the FoxPro forms; dBase II and
// anything else are other layouts.
bool knownVersion(uchar version)
{
    return (version & 0x07) == 0x03 || version == 0x30 || version == 0x31 || version == 0x32 || version == 0xF5
           || version == 0xFB;
}

QVariant numberValue(const QByteArray &text)
{
    const QByteArray trimmed = text.trimmed();
    if (trimmed.isEmpty())
        return {};
    bool ok = false;
    const double value = trimmed.toDouble(&ok);
    return ok ? QVariant(value) : QVariant(text);
}

QVariant dateValue(const QByteArray &text)
{
    const QByteArray trimmed = text.trimmed();
    if (trimmed.isEmpty())
        return {};
    // "yyyymmdd", read by hand: QDate::fromString costs more than the rest of a row.
    bool ok = trimmed.size() == 8 && std::all_of(trimmed.cbegin(), trimmed.cend(), [](char c) { return c >= '0' && c <= '9'; });
    const QDate date = ok ? QDate(trimmed.left(4).toInt(), trimmed.mid(4, 2).toInt(), trimmed.mid(6, 2).toInt()) : QDate();
    return date.isValid() ? QVariant(date) : QVariant(text);
}

QVariant logicalValue(const QByteArray &text)
{
    const char c = text.trimmed().isEmpty() ? '?' : text.trimmed().at(0);
    if (QByteArray("TtYy").contains(c))
        return true;
    if (QByteArray("FfNn").contains(c))
        return false;
    return {};
}

// shapelib reads a record by a seek and a read of the file; it reads here from the file
// mapped into memory, so that reading the rows in another order than the file's costs
// no more than reading them in file order.
struct TMappedFile {
    QFile file;
    const uchar *data = nullptr;
    qint64 size = 0;
    qint64 position = 0;
};

TMappedFile *mapped(SAFile handle)
{
    return reinterpret_cast<TMappedFile *>(handle);
}

SAFile openMapped(const char *fileName, const char *access)
{
    if (std::strpbrk(access, "wa+"))
        return nullptr; // the table is only read
    auto file = std::make_unique<TMappedFile>();
    file->file.setFileName(QFile::decodeName(fileName));
    if (!file->file.open(QIODevice::ReadOnly))
        return nullptr;
    file->size = file->file.size();
    file->data = file->size > 0 ? file->file.map(0, file->size) : nullptr;
    if (file->size > 0 && !file->data)
        return nullptr;
    return reinterpret_cast<SAFile>(file.release());
}

SAOffset readMapped(void *buffer, SAOffset size, SAOffset count, SAFile handle)
{
    TMappedFile *file = mapped(handle);
    if (size == 0 || file->position >= file->size)
        return 0;
    const SAOffset whole = std::min<SAOffset>(count, SAOffset(file->size - file->position) / size);
    std::memcpy(buffer, file->data + file->position, whole * size);
    file->position += qint64(whole * size);
    return whole;
}

SAOffset writeMapped(void *, SAOffset, SAOffset, SAFile)
{
    return 0;
}

SAOffset seekMapped(SAFile handle, SAOffset offset, int whence)
{
    TMappedFile *file = mapped(handle);
    const qint64 base = whence == SEEK_CUR ? file->position : whence == SEEK_END ? file->size : 0;
    const qint64 position = base + qint64(offset);
    if (position < 0)
        return SAOffset(-1);
    file->position = position;
    return 0;
}

SAOffset tellMapped(SAFile handle)
{
    return SAOffset(mapped(handle)->position);
}

int flushMapped(SAFile)
{
    return 0;
}

int closeMapped(SAFile handle)
{
    delete mapped(handle);
    return 0;
}

int removeNothing(const char *)
{
    return -1;
}

SAHooks mappedHooks()
{
    SAHooks hooks;
    SASetupDefaultHooks(&hooks);
    hooks.FOpen = openMapped;
    hooks.FRead = readMapped;
    hooks.FWrite = writeMapped;
    hooks.FSeek = seekMapped;
    hooks.FTell = tellMapped;
    hooks.FFlush = flushMapped;
    hooks.FClose = closeMapped;
    hooks.Remove = removeNothing;
    return hooks;
}

} // namespace

TDbfTable::TDbfTable(const QString &fileName)
{
    checkHeader(fileName);
    SAHooks hooks = mappedHooks();
    m_dbf = DBFOpenLL(QFile::encodeName(fileName).constData(), "rb", &hooks);
    if (!m_dbf)
        unreadable();
    const int count = DBFGetFieldCount(dbf(m_dbf));
    if (count != m_fields.size())
        unreadable();
    for (int i = 0; i < count; ++i) {
        char name[XBASE_FLDNAME_LEN_READ + 1] = {};
        int width = 0;
        DBFGetFieldInfo(dbf(m_dbf), i, name, &width, nullptr);
        m_fields[i].name = QString::fromLatin1(name);
        m_fields[i].type = DBFGetNativeFieldType(dbf(m_dbf), i);
        m_fields[i].size = width;
    }
    const int records = DBFGetRecordCount(dbf(m_dbf));
    for (int record = 0; record < records; ++record)
        if (!DBFIsRecordDeleted(dbf(m_dbf), record))
            m_rows.append(record);
}

TDbfTable::~TDbfTable()
{
    if (m_dbf)
        DBFClose(dbf(m_dbf));
}

void TDbfTable::checkHeader(const QString &fileName)
{
    // shapelib trusts the header; every count and length is checked here first.
    QFile file(fileName);
    if (!file.open(QIODevice::ReadOnly))
        unreadable();
    const qint64 size = file.size();
    const QByteArray head = file.read(DescriptorSize);
    if (head.size() < DescriptorSize || !knownVersion(uchar(head[0])))
        unreadable();
    const auto *bytes = reinterpret_cast<const uchar *>(head.constData());
    const qint64 records = qFromLittleEndian<quint32>(bytes + 4);
    const int headerLength = qFromLittleEndian<quint16>(bytes + 8);
    const int recordLength = qFromLittleEndian<quint16>(bytes + 10);
    if (headerLength < DescriptorSize * 2 || recordLength < 2 || headerLength > size
        || headerLength + records * recordLength > size)
        unreadable();
    const QByteArray descriptors = file.read(headerLength - DescriptorSize);
    int fieldsLength = 1; // the deletion flag
    for (int at = 0; at + DescriptorSize <= descriptors.size() && descriptors[at] != '\r'; at += DescriptorSize) {
        TSourceField field;
        field.size = uchar(descriptors[at + 16]);
        fieldsLength += field.size;
        m_fields.append(field);
    }
    if (m_fields.isEmpty() || fieldsLength != recordLength)
        unreadable();
}

QVariantList TDbfTable::Row(int row) const
{
    QVariantList values;
    values.reserve(m_fields.size());
    for (int field = 0; field < m_fields.size(); ++field)
        values << fieldValue(m_rows.at(row), field);
    return values;
}

QVariant TDbfTable::fieldValue(int record, int field) const
{
    const char *text = DBFReadStringAttribute(dbf(m_dbf), record, field);
    if (!text)
        throw EFileError(SourceTableUnreadableText());
    if (DBFIsAttributeNULL(dbf(m_dbf), record, field))
        return {};
    const QByteArray raw(text);
    switch (m_fields[field].type) {
    case 'N': case 'F': return numberValue(raw);
    case 'D': return dateValue(raw);
    case 'L': return logicalValue(raw);
    case 'C': return raw.isEmpty() ? QVariant() : QVariant(raw);
    default: return {}; // memo and binary fields are no part of a log
    }
}
