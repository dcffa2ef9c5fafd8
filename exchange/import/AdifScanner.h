#pragma once
// The byte state machine that reads ADIF: fields written as <NAME:length>data or
// <NAME:length:type>data, records ended by <EOR>. It scans the bytes once from the first
// to the last and hands each field and each record end to its sink. Tag names are never
// assembled: their CRC-32 (of the upper-cased name) is accumulated while they are read.
//
// The declared length decides where a field's data ends, so a "<" or an "<EOR>" inside
// data is data. One exception: a UTF-8 value whose writer counted its length in letters
// rather than bytes ends inside a letter or before its last letters, and text other than
// blanks follows it before the next tag. When the letters it counts end where a field
// ends (at "<", a blank or the end of the data) on a letter that is no blank, the value
// is read to there; when they do not, a letter cut in two is left out whole, and text
// after a whole letter is left out as text between fields. CR and LF inside data are
// dropped, but counted in the length, unless the field's type letter is M or the tag is
// NOTES or NOTES_INTL. A tag closed without a length (<EOH>, or any other) is skipped,
// except <EOR>.

#include <QByteArray>
#include <QByteArrayView>
#include <QtGlobal>

// CRC-32 of "EOR", "NOTES" and "NOTES_INTL".
inline constexpr quint32 AdifTagEOR = 0x7B94F52B;
inline constexpr quint32 AdifTagNOTES = 0xF64F643C;
inline constexpr quint32 AdifTagNOTES_INTL = 0xA8713484;

// How the scanner mended the end of a field's data.
enum class TAdifLengthRepair {
    None,
    CountedInLetters, // read on to the end of the letters its length counts
    CutInLetter,      // the bytes of a letter cut in two left out
    TextLeftOut,      // text other than blanks between its end and the next tag left out
};

class TAdifSink
{
public:
    virtual ~TAdifSink() = default;
    // One field: the tag hash and its data (length bytes, followed by a zero byte), which
    // the sink may change in place. A field of declared length 0 is never passed.
    virtual void ProcessAdifField(quint32 tagHash, char *data, int length) = 0;
    // Asked for a field whose data holds bytes beyond ASCII: whether the file's texts are
    // UTF-8, whose letters a writer may have counted instead of bytes (see above).
    virtual bool AdifTextIsUtf8() { return true; }
    // Called just before ProcessAdifField of a field whose end the scanner mended;
    // `leftOut` is the text left out after it (TextLeftOut only, up to the line's end).
    virtual void AdifLengthRepaired(TAdifLengthRepair, QByteArrayView /*leftOut*/) {}
    // An <EOR>: `remaining` is the number of bytes not yet consumed, counting its ">".
    virtual void ProcessAdifRecord(qint64 remaining) = 0;
};

class TAdifScanner
{
public:
    static constexpr int InitialBufferSize = 1024;
    static constexpr int MaxLengthDigits = 63;
    // Longer field data (only a file of gigabytes could hold it) ends the import.
    static constexpr qint64 MaxFieldSize = 0x40000000;

    explicit TAdifScanner(TAdifSink &sink);

    // Scans the bytes. A length that is not a number (<CALL:>) or does not fit a 32-bit
    // signed integer raises EFileError. No byte outside [data, data + size) is read, and
    // the field buffer never grows beyond what the rest of the data can fill.
    void Scan(const uchar *data, qint64 size);

    // True when the data ended inside a field's data (a length running past the end).
    bool FieldCutShort() const { return m_fieldCut; }
    // The fields (tags with a length, also 0) met in the data.
    qint64 FieldCount() const { return m_fieldCount; }
    // The field buffer's capacity now (it grows only when a field needs it).
    int BufferCapacity() const { return int(m_buffer.size()); }

private:
    void startLength(qint64 bytesLeft);
    TAdifLengthRepair repairUtf8End(const uchar *data, qint64 size, qint64 start, int declared, qint64 &last,
                                    int &kept, bool keepLineBreaks);
    bool readOnToLetterEnd(const uchar *data, qint64 size, qint64 start, int declared, qint64 &last,
                           int &kept, bool keepLineBreaks);

    TAdifSink &m_sink;
    QByteArray m_buffer;
    bool m_fieldCut = false;
    qint64 m_fieldCount = 0;
    QByteArrayView m_leftOut; // the text TextLeftOut left out
};

// The field buffer's growth: from `capacity`, steps of 1.5 (rounded) until the capacity
// exceeds `needed` (the data plus its zero byte fit). The capacity never falls.
int GrowBufferCapacity(int capacity, int needed);
