#include "base/Utf8Text.h"

#include <cstdint>
#include <cstring>

char32_t Utf8SequenceAt(const uchar *data, qint64 size, qint64 i, int &length)
{
    const uchar lead = data[i];
    char32_t c = 0;
    char32_t least = 0;
    if (lead < 0x80) {
        length = 1;
        return lead;
    } else if (lead >= 0xC2 && lead <= 0xDF) {
        length = 2, c = lead & 0x1F, least = 0x80;
    } else if (lead >= 0xE0 && lead <= 0xEF) {
        length = 3, c = lead & 0x0F, least = 0x800;
    } else if (lead >= 0xF0 && lead <= 0xF4) {
        length = 4, c = lead & 0x07, least = 0x10000;
    } else {
        length = 0;
        return 0;
    }
    if (i + length > size) {
        length = 0;
        return 0;
    }
    for (int k = 1; k < length; ++k) {
        const uchar next = data[i + k];
        if ((next & 0xC0) != 0x80) {
            length = 0;
            return 0;
        }
        c = (c << 6) | (next & 0x3F);
    }
    if (c < least || c > 0x10FFFF || (c >= 0xD800 && c <= 0xDFFF))
        length = 0;
    return c;
}

bool IsUtf8Text(const uchar *data, qint64 size)
{
    if (size >= 3 && data[0] == 0xEF && data[1] == 0xBB && data[2] == 0xBF)
        return true;
    return IsUtf8Letters(data, size);
}

bool IsUtf8Letters(const uchar *data, qint64 size)
{
    bool sequence = false;
    for (qint64 i = 0; i < size;) {
        // Most of a file is ASCII: 32 bytes at a time, then eight, while none has its top
        // bit set.
        if (i + 32 <= size) {
            std::uint64_t four[4];
            std::memcpy(four, data + i, sizeof four);
            if (((four[0] | four[1] | four[2] | four[3]) & 0x8080808080808080ULL) == 0) {
                i += 32;
                continue;
            }
        }
        std::uint64_t eight = 0;
        if (i + 8 <= size && (std::memcpy(&eight, data + i, 8), (eight & 0x8080808080808080ULL) == 0)) {
            i += 8;
            continue;
        }
        if (data[i] < 0x80) {
            ++i;
            continue;
        }
        int length = 0;
        Utf8SequenceAt(data, size, i, length);
        if (length == 0)
            return false;
        sequence = true;
        i += length;
    }
    return sequence;
}

int Utf8CutTail(const uchar *data, qint64 size)
{
    // The lead byte stands at most three bytes before the end; what follows it there
    // are continuation bytes.
    for (int back = 1; back <= 3 && back <= size; ++back) {
        const uchar c = data[size - back];
        if ((c & 0xC0) == 0x80)
            continue;
        const int announced = c >= 0xC2 && c <= 0xDF ? 2 : c >= 0xE0 && c <= 0xEF ? 3 : c >= 0xF0 && c <= 0xF4 ? 4 : 0;
        return announced > back ? back : 0;
    }
    return 0;
}
