#include "system/ClusterLinkRecords.h"

#include <QtEndian>

#include <bit>
#include <cmath>
#include <cstring>

namespace
{

constexpr int CallOffset = 0;
constexpr int FreqOffset = 16;

void putInt32(QByteArray &bytes, int offset, qint32 value)
{
    qToLittleEndian<qint32>(value, bytes.data() + offset);
}

qint32 getInt32(const QByteArray &bytes, int offset)
{
    return qFromLittleEndian<qint32>(bytes.constData() + offset);
}

} // namespace

QByteArray TDxClusterWindowData::encode() const
{
    QByteArray bytes(Size, '\0');
    putInt32(bytes, 0, Width);
    putInt32(bytes, 4, Height);
    bytes[8] = Maximized ? 1 : 0;
    return bytes;
}

std::optional<TDxClusterWindowData> TDxClusterWindowData::decode(const QByteArray &bytes)
{
    if (bytes.size() != Size)
        return std::nullopt;
    TDxClusterWindowData data;
    data.Width = getInt32(bytes, 0);
    data.Height = getInt32(bytes, 4);
    // Any non-zero byte means true; the padding after it is never read.
    data.Maximized = bytes.at(8) != 0;
    return data;
}

QByteArray TCopyToLogData::encode() const
{
    QByteArray bytes(Size, '\0');
    const QByteArray call = Call.left(MaxCallLength).toLatin1();
    bytes[CallOffset] = char(call.size());
    std::memcpy(bytes.data() + CallOffset + 1, call.constData(), size_t(call.size()));
    qToLittleEndian<quint64>(std::bit_cast<quint64>(Freq), bytes.data() + FreqOffset);
    return bytes;
}

std::optional<TCopyToLogData> TCopyToLogData::decode(const QByteArray &bytes)
{
    if (bytes.size() != Size)
        return std::nullopt;
    const int length = quint8(bytes.at(CallOffset));
    if (length > MaxCallLength)
        return std::nullopt;
    const double freq = std::bit_cast<double>(qFromLittleEndian<quint64>(bytes.constData() + FreqOffset));
    if (!std::isfinite(freq))
        return std::nullopt;
    TCopyToLogData data;
    data.Call = QString::fromLatin1(bytes.constData() + CallOffset + 1, length);
    data.Freq = freq;
    return data;
}
