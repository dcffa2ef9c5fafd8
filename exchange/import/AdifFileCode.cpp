#include "import/AdifFileCode.h"

#include "base/Utf8Text.h"

#include "VelkorVersion.h"

#include <cstdint>
#include <cstring>
#include <string_view>

namespace
{

bool isAsciiLetter(uchar c)
{
    return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z');
}

// The position of the first byte from `i` that is 0x80 or above; `size` when none is.
qint64 nextHighByte(const uchar *data, qint64 size, qint64 i)
{
    // A file is mostly ASCII: eight bytes at a time while none has its top bit set.
    for (; i + 8 <= size; i += 8) {
        std::uint64_t eight;
        std::memcpy(&eight, data + i, 8);
        if (eight & 0x8080808080808080ULL)
            break;
    }
    while (i < size && data[i] < 0x80)
        ++i;
    return i;
}

// Bytes that are well-formed UTF-8 and read as text. Windows-1250 letters that happen to
// form UTF-8 give characters no writer puts beside Latin letters: C1 controls, the rarer
// combining marks, letters of Greek to N'Ko stuck to an ASCII letter ("ÚŽLABINA" would be
// an Arabic letter before "LABINA").
bool isUtf8Text(const uchar *data, qint64 size)
{
    for (qint64 i = 0; i < size;) {
        int length = 0;
        const char32_t c = Utf8SequenceAt(data, size, i, length);
        if (length == 0)
            return false;
        const bool besideLetter =
            (i > 0 && isAsciiLetter(data[i - 1])) || (i + length < size && isAsciiLetter(data[i + length]));
        if ((c >= 0x80 && c <= 0x9F) || (c >= 0x334 && c <= 0x36F) ||
            (c >= 0x370 && c <= 0x7FF && besideLetter))
            return false;
        i += length;
    }
    return true;
}

bool startsWith(const uchar *data, qint64 size, std::string_view start)
{
    return size >= qint64(start.size()) && std::memcmp(data, start.data(), start.size()) == 0;
}

// True when the tag whose ">" stands at `close` is named *_INTL (in any case).
bool isIntlTag(const uchar *data, qint64 close)
{
    // Tag names are short: a "<" further back opens no tag of this value.
    const qint64 earliest = qMax<qint64>(0, close - 64);
    qint64 colon = -1;
    for (qint64 j = close - 1; j >= earliest; --j) {
        if (data[j] == ':') {
            colon = j;
        } else if (data[j] == '<') {
            if (colon - j - 1 < 5)
                return false;
            for (int k = 0; k < 5; ++k)
                if ((data[colon - 5 + k] & ~0x20) != uchar("_INTL"[k] & ~0x20))
                    return false;
            return true;
        }
    }
    return false;
}

} // namespace

bool IsUtf8AdifFile(const uchar *data, qint64 size)
{
    if (startsWith(data, size, "\xEF\xBB\xBF"))
        return true;
    if (startsWith(data, size, VELKOR_ADIF_HEADER_START))
        return false;
    // Each stretch of text between tags that holds a byte beyond ASCII votes once. The
    // stretches are taken between angle brackets, without the declared lengths: a length
    // counted in letters, or text left between fields, still votes whole.
    qint64 utf8 = 0, other = 0;
    qint64 pieceEnd = 0;
    for (qint64 i = nextHighByte(data, size, 0); i < size; i = nextHighByte(data, size, pieceEnd)) {
        qint64 start = i;
        while (start > pieceEnd && data[start - 1] != '>' && data[start - 1] != '<')
            --start;
        pieceEnd = i;
        while (pieceEnd < size && data[pieceEnd] != '<' && data[pieceEnd] != '>')
            ++pieceEnd;
        if (start > 0 && data[start - 1] == '>' && isIntlTag(data, start - 1))
            continue;
        (isUtf8Text(data + start, pieceEnd - start) ? utf8 : other) += 1;
    }
    return utf8 >= other;
}
