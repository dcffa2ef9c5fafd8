#pragma once
// Reads the members of a zip file (an .xlsx workbook) for the tests: the central
// directory gives each member's name, method and sizes; stored and deflated members
// are unpacked with zlib. Written for the test apart from the program's writer.

#include <QByteArray>
#include <QHash>
#include <QString>

#include <zlib.h>

#include <cstring>

inline quint32 zipLe(const QByteArray &data, qsizetype at, int bytes)
{
    quint32 value = 0;
    for (int i = bytes - 1; i >= 0; --i)
        value = (value << 8) | quint8(data.at(at + i));
    return value;
}

inline QByteArray zipInflate(const QByteArray &packed, qsizetype size)
{
    QByteArray out(size, '\0');
    z_stream zs;
    std::memset(&zs, 0, sizeof zs);
    if (inflateInit2(&zs, -MAX_WBITS) != Z_OK)
        return {};
    zs.next_in = reinterpret_cast<Bytef *>(const_cast<char *>(packed.constData()));
    zs.avail_in = uInt(packed.size());
    zs.next_out = reinterpret_cast<Bytef *>(out.data());
    zs.avail_out = uInt(out.size());
    const int rc = inflate(&zs, Z_FINISH);
    inflateEnd(&zs);
    return rc == Z_STREAM_END ? out : QByteArray();
}

// Member name -> unpacked bytes; empty when the file is not a readable zip.
inline QHash<QString, QByteArray> ReadZip(const QByteArray &zip)
{
    QHash<QString, QByteArray> members;
    const qsizetype end = zip.lastIndexOf(QByteArray("PK\x05\x06", 4));
    if (end < 0 || end + 22 > zip.size())
        return members;
    const int count = int(zipLe(zip, end + 10, 2));
    qsizetype entry = zipLe(zip, end + 16, 4);
    for (int i = 0; i < count; ++i) {
        if (entry + 46 > zip.size() || zip.mid(entry, 4) != QByteArray("PK\x01\x02", 4))
            return {};
        const int method = int(zipLe(zip, entry + 10, 2));
        const qsizetype packedSize = zipLe(zip, entry + 20, 4);
        const qsizetype size = zipLe(zip, entry + 24, 4);
        const int nameLength = int(zipLe(zip, entry + 28, 2));
        const int extraLength = int(zipLe(zip, entry + 30, 2));
        const int commentLength = int(zipLe(zip, entry + 32, 2));
        const qsizetype local = zipLe(zip, entry + 42, 4);
        const QString name = QString::fromUtf8(zip.mid(entry + 46, nameLength));
        const qsizetype data = local + 30 + zipLe(zip, local + 26, 2) + zipLe(zip, local + 28, 2);
        const QByteArray packed = zip.mid(data, packedSize);
        members.insert(name, method == 0 ? packed : zipInflate(packed, size));
        entry += 46 + nameLength + extraLength + commentLength;
    }
    return members;
}
