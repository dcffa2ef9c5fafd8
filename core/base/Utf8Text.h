#pragma once
// Recognising UTF-8 among the 8-bit texts of other programs. Text in Windows-1250 and the
// other code pages of Czech almost never forms UTF-8 sequences by chance: a letter with a
// diacritic there is one byte from 0x80 up, which UTF-8 never writes alone.

#include <QByteArrayView>
#include <QtGlobal>

#include <algorithm>

// True when no byte is 0x80 or above: the text is plain ASCII, one byte a character,
// whichever of the 8-bit codes or UTF-8 it is read in.
inline bool IsAsciiBytes(QByteArrayView bytes)
{
    return std::all_of(bytes.begin(), bytes.end(), [](char c) { return static_cast<uchar>(c) < 0x80; });
}

// The code point of the well-formed UTF-8 sequence that begins at data[i], its length
// (2 to 4) in `length`; 0 in `length` when the bytes there are no such sequence (a
// stray continuation byte, a sequence cut short, an overlong form, a surrogate, a
// value above U+10FFFF). For an ASCII byte, `length` is 1.
char32_t Utf8SequenceAt(const uchar *data, qint64 size, qint64 i, int &length);

// True when at least one byte is 0x80 or above and every such byte belongs to a
// well-formed UTF-8 sequence: a text with letters beyond ASCII, written in UTF-8.
bool IsUtf8Letters(const uchar *data, qint64 size);

// True when the bytes begin with the UTF-8 byte-order mark, or IsUtf8Letters.
bool IsUtf8Text(const uchar *data, qint64 size);

// The number of bytes at the end that begin a UTF-8 sequence which the data cuts short
// (a lead byte and fewer continuation bytes than it announces); 0 when the data ends on a
// whole character or on bytes that begin no sequence.
int Utf8CutTail(const uchar *data, qint64 size);
