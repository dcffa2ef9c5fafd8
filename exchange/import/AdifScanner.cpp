#include "import/AdifScanner.h"

#include "base/Crc32.h"
#include "base/FileError.h"
#include "base/Utf8Text.h"

#include <algorithm>
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

// Where a field's data ends in a file of fields one after another.
bool isFieldEnd(uchar c)
{
    return c == '<' || c <= ' ';
}

// The first byte from `i` on that is no blank, before the next tag; -1 when there is none.
qint64 textBeforeNextTag(const uchar *data, qint64 size, qint64 i)
{
    while (i < size && data[i] <= ' ')
        ++i;
    return i < size && data[i] != '<' ? i : -1;
}

// The text from `i` to the next tag or the end of the line, without the blanks at its end.
QByteArrayView textToLineEnd(const uchar *data, qint64 size, qint64 i)
{
    qint64 end = i;
    while (end < size && data[end] != '<' && data[end] != '\r' && data[end] != '\n')
        ++end;
    while (end > i && data[end - 1] <= ' ')
        --end;
    return QByteArrayView(data + i, end - i);
}

// The position after `count` whole UTF-8 characters from `start`; -1 when the bytes there
// are not well-formed UTF-8 or end first.
qint64 endOfLetters(const uchar *data, qint64 size, qint64 start, int count)
{
    qint64 j = start;
    for (; count > 0; --count) {
        if (j >= size)
            return -1;
        int length = 0;
        Utf8SequenceAt(data, size, j, length);
        if (length == 0)
            return -1;
        j += length;
    }
    return j;
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
    m_fieldCount = 0;
    TScanState state = stOutside;
    quint32 hash = 0;
    char digits[MaxLengthDigits + 1];
    int digitCount = 0;
    uchar type = 'S';
    qint64 toRead = 0;    // bytes of the field's data still to come
    int declared = 0;     // the field's length as written
    qint64 dataStart = 0; // where its data begins
    int kept = 0;         // bytes of the field's data stored
    uchar high = 0;       // the stored bytes or-ed: 0x80 and above when one is not ASCII

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
                toRead = declared = length;
                kept = 0;
                high = 0;
                dataStart = i + 1;
                ++m_fieldCount;
                state = c == ':' ? stType : stData;
            }
            break;
        case stType:
            if (c == '>') {
                dataStart = i + 1;
                state = stData;
            } else if (isUpper(c))
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
            if ((c != '\r' && c != '\n') || type == 'M' || hash == AdifTagNOTES || hash == AdifTagNOTES_INTL) {
                m_buffer.data()[kept++] = char(c);
                high |= c;
            }
            if (--toRead == 0) {
                const TAdifLengthRepair repair =
                    high >= 0x80 && m_sink.AdifTextIsUtf8()
                        ? repairUtf8End(data, size, dataStart, declared, i, kept,
                                        type == 'M' || hash == AdifTagNOTES || hash == AdifTagNOTES_INTL)
                        : TAdifLengthRepair::None;
                m_buffer.data()[kept] = '\0';
                if (repair != TAdifLengthRepair::None)
                    m_sink.AdifLengthRepaired(repair, m_leftOut);
                m_sink.ProcessAdifField(hash, m_buffer.data(), kept);
                state = stOutside;
            }
            break;
        }
    }
    m_fieldCut = state == stData && toRead > 0;
}

TAdifLengthRepair TAdifScanner::repairUtf8End(const uchar *data, qint64 size, qint64 start, int declared,
                                              qint64 &last, int &kept, bool keepLineBreaks)
{
    // A field followed by nothing but blanks before the next tag was written with its
    // length in bytes.
    m_leftOut = {};
    const qint64 next = last + 1;
    const qint64 text = textBeforeNextTag(data, size, next);
    if (text < 0)
        return TAdifLengthRepair::None;
    if (readOnToLetterEnd(data, size, start, declared, last, kept, keepLineBreaks))
        return TAdifLengthRepair::CountedInLetters;
    // Else a letter whose last bytes follow the field is no letter of the value.
    const int cut = Utf8CutTail(reinterpret_cast<const uchar *>(m_buffer.constData()), kept);
    if (cut > 0 && (data[next] & 0xC0) == 0x80) {
        kept -= cut;
        return TAdifLengthRepair::CutInLetter;
    }
    m_leftOut = textToLineEnd(data, size, text);
    return TAdifLengthRepair::TextLeftOut;
}

bool TAdifScanner::readOnToLetterEnd(const uchar *data, qint64 size, qint64 start, int declared, qint64 &last,
                                     int &kept, bool keepLineBreaks)
{
    // The letters counted end where a field ends, on a letter that is no blank (the
    // writer counted the value, not the blank after it), and no tag stands among the
    // bytes read on.
    const qint64 next = last + 1;
    const qint64 end = endOfLetters(data, size, start, declared);
    if (end <= next || (end < size && !isFieldEnd(data[end])) || data[end - 1] <= ' ' ||
        std::find(data + next, data + end, uchar('<')) != data + end)
        return false;
    if (kept + (end - next) >= m_buffer.size())
        m_buffer.resize(GrowBufferCapacity(int(m_buffer.size()), int(kept + (end - next))));
    for (qint64 j = next; j < end; ++j)
        if ((data[j] != '\r' && data[j] != '\n') || keepLineBreaks)
            m_buffer.data()[kept++] = char(data[j]);
    last = end - 1;
    return true;
}
