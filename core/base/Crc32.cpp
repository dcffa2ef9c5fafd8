#include "base/Crc32.h"

#include <QIODevice>

#include <zlib.h>

#include <algorithm>
#include <array>

namespace {

constexpr std::array<quint32, 256> makeTable()
{
    std::array<quint32, 256> table{};
    for (quint32 n = 0; n < 256; ++n) {
        quint32 c = n;
        for (int k = 0; k < 8; ++k)
            c = (c & 1) ? 0xEDB88320u ^ (c >> 1) : c >> 1;
        table[n] = c;
    }
    return table;
}

constexpr std::array<quint32, 256> Table = makeTable();

constexpr qint64 StreamChunk = 61440;

// zlib's table-driven CRC continued from a finished value; zlib takes lengths as
// unsigned int, so larger buffers go in slices.
quint32 zlibCrc(quint32 crc, const void *buf, qsizetype len)
{
    uLong value = crc;
    auto *p = static_cast<const Bytef *>(buf);
    while (len > 0) {
        const auto slice = static_cast<uInt>(std::min<qsizetype>(len, 1 << 30));
        value = crc32(value, p, slice);
        p += slice;
        len -= slice;
    }
    return static_cast<quint32>(value);
}

} // namespace

quint32 CalcCRC32(const void *buf, qsizetype len)
{
    return zlibCrc(0, buf, len);
}

quint32 CRC32Stream(QIODevice &stream)
{
    quint32 crc;
    CRC32Init(crc);
    QByteArray buffer(StreamChunk, Qt::Uninitialized);
    for (;;) {
        const qint64 got = stream.read(buffer.data(), StreamChunk);
        if (got <= 0)
            break;
        CRC32Update(crc, buffer.constData(), got);
    }
    CRC32Final(crc);
    return crc;
}

void CRC32Init(quint32 &crc)
{
    crc = 0xFFFFFFFFu;
}

void CRC32UpdateByte(quint32 &crc, quint8 b)
{
    crc = Table[(crc ^ b) & 0xFF] ^ (crc >> 8);
}

void CRC32Update(quint32 &crc, const void *buf, qsizetype len)
{
    // The running value is the complement of a finished one.
    crc = ~zlibCrc(~crc, buf, len);
}

void CRC32Final(quint32 &crc)
{
    crc = ~crc;
}
