#include "import/AdifScanner.h"

#include "base/Crc32.h"
#include "base/FileError.h"

#include <cmath>
#include <limits>

namespace
{

enum TScanState { stOutside, stTagName, stLength, stType, stData };

bool isUpper(uchar c)
{
    return c >= 'A' && c <= 'Z';
}
bool isLower(uchar c)
{
    return c >= 'a' && c <= 'z';
}
bool isDigit(uchar c)
{
    return c >= '0' && c <= '9';
}

} // namespace

int GrowBufferCapacity(int capacity, int needed)
{
    qint64 result = qMax(capacity, 2);
    while (result <= needed)
        result = std::llround(double(result) * 1.5);
    // The last step may overshoot what an int holds; the data and its zero byte still fit.
    return result > std::numeric_limits<int>::max() ? needed + 1 : int(result);
}

TAdifScanner::TAdifScanner(TAdifSink &sink) : m_sink(sink)
{
    m_buffer.resize(InitialBufferSize);
}

void TAdifScanner::Scan(const uchar *data, qint64 size)
{
    m_fieldCut = false;
    TScanState state = stOutside;
    quint32 hash = 0;
    char digits[MaxLengthDigits + 1];
    int digitCount = 0;
    uchar type = 'S';
    qint64 toRead = 0; // bytes of the field's data still to come
    int kept = 0;      // bytes of the field's data stored

    for (qint64 i = 0; i < size; ++i) {
        const uchar c = data[i];
        switch (state) {
        case stOutside:
            if (c == '<') {
                CRC32Init(hash);
                digitCount = 0;
                type = 'S';
                state = stTagName;
            }
            break;
        case stTagName:
            if (isUpper(c) || isDigit(c) || c == '_') {
                CRC32UpdateByte(hash, c);
            } else if (isLower(c)) {
                CRC32UpdateByte(hash, quint8(c - 'a' + 'A'));
            } else if (c == ':') {
                CRC32Final(hash);
                state = stLength;
            } else if (c == '>') {
                CRC32Final(hash);
                if (hash == AdifTagEOR)
                    m_sink.ProcessAdifRecord(size - i);
                state = stOutside;
            }
            break;
        case stLength:
            if (isDigit(c)) {
                if (digitCount < MaxLengthDigits)
                    digits[digitCount++] = char(c);
            } else if (c == ':' || c == '>') {
                // Only digits were kept: a number of them that fits an int is a length.
                qint64 value = 0;
                for (int d = 0; d < digitCount && value <= std::numeric_limits<int>::max(); ++d)
                    value = value * 10 + (digits[d] - '0');
                const bool ok = digitCount > 0 && value <= std::numeric_limits<int>::max();
                const int length = ok ? int(value) : 0;
                if (!ok)
                    throw EFileError(QStringLiteral("Neplatná délka pole \"%1\" v souboru ADIF (pozice %2)!")
                                         .arg(QString::fromLatin1(digits, digitCount))
                                         .arg(i));
                // At most the rest of the data can be stored, whatever the length claims.
                const qint64 storable = qMin<qint64>(length, size - i - 1);
                if (storable >= MaxFieldSize)
                    throw EFileError(
                        QStringLiteral("Pole na pozici %1 souboru ADIF je příliš dlouhé!").arg(i));
                if (storable >= m_buffer.size())
                    m_buffer.resize(GrowBufferCapacity(int(m_buffer.size()), int(storable)));
                toRead = length;
                kept = 0;
                state = c == ':' ? stType : stData;
            }
            break;
        case stType:
            if (c == '>')
                state = stData;
            else if (isUpper(c))
                type = c;
            else if (isLower(c))
                type = uchar(c - 'a' + 'A');
            break;
        case stData:
            if (toRead == 0) {
                // A zero length: the byte after ">" begins the next token.
                state = stOutside;
                --i;
                break;
            }
            if ((c != '\r' && c != '\n') || type == 'M' || hash == AdifTagNOTES)
                m_buffer.data()[kept++] = char(c);
            if (--toRead == 0) {
                m_buffer.data()[kept] = '\0';
                m_sink.ProcessAdifField(hash, m_buffer.data(), kept);
                state = stOutside;
            }
            break;
        }
    }
    m_fieldCut = state == stData && toRead > 0;
}
