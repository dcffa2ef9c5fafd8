#include "import/AdifImport.h"

#include "radio/Amater.h"
#include "radio/CharSet.h"
#include "base/FileError.h"
#include "base/FileMappingStream.h"
#include "import/AdifFileCode.h"
#include "import/ImportStaging.h"
#include "base/Utf8Text.h"

namespace
{

// Texts longer than this are decoded each time, not kept for the next record.
constexpr int MaxKeptText = 256;

// The place of a tag's last text: a multiplier under which the tags the reader takes
// fall on places of their own (another tag would only share a place, never a text).
size_t decodedSlot(quint32 tagHash)
{
    return size_t(quint32(tagHash * 4715u) >> 26);
}

} // namespace

TAdifImport::TAdifImport(TImportStaging &staging, const TImportOptions &options, TDxccList *dxcc,
                         const TImportDupeIndex *dupes)
    : m_staging(staging), m_options(options), m_dxcc(dxcc), m_dupes(dupes)
{
}

void TAdifImport::ReadFile(const QString &fileName)
{
    TFileMappingStream file(fileName, false, QIODevice::ReadOnly);
    ReadData(file.memory(), file.size());
}

void TAdifImport::ReadData(const uchar *data, qint64 size)
{
    m_staging.BeginFill();
    try {
        scan(data, size);
        m_staging.EndFill();
    } catch (...) {
        m_staging.AbortFill();
        throw;
    }
}

void TAdifImport::scan(const uchar *data, qint64 size)
{
    m_data = data;
    m_size = size;
    m_utf8File.reset();
    m_decoded.fill({}); // texts of another file may have been decoded in another code
    m_recordStart = m_staging.MessageMark();
    m_progress.Report(0);
    newRecord();
    TAdifScanner scanner(*this);
    scanner.Scan(data, size);
    // Plain text, a picture, a file of another kind: nothing in it to review.
    if (scanner.FieldCount() == 0)
        throw EFileError(QStringLiteral("Soubor neobsahuje žádné pole ve formátu ADIF, nelze ho importovat!"));
    dropPendingRecord(scanner.FieldCutShort());
}

void TAdifImport::newRecord()
{
    // What TLogRecord::clear does, a field in one call instead of an assignment.
    for (QVariant &value : m_record.values)
        if (value.isValid())
            value.clear();
    for (QString &text : m_intl)
        if (!text.isNull())
            text.clear();
    m_submode = 0;
    m_recordHasData = false;
}

void TAdifImport::dropPendingRecord(bool fieldCutShort)
{
    // What follows the last <EOR> is no record. The operator learns that something was
    // left out when the file ends inside a field or in the middle of a record.
    if (fieldCutShort)
        m_staging.AddError(
            QStringLiteral("Soubor končí uprostřed pole, poslední neukončený záznam nebyl importován!"));
    else if (m_recordHasData)
        m_staging.AddError(
            QStringLiteral("Záznam na konci souboru není ukončen značkou <EOR>, nebyl importován!"));
    newRecord();
}

void TAdifImport::setText(int field, const QString &text)
{
    const int width = LogFieldSizes[field];
    if (width <= 0 || text.size() <= width) {
        m_record[field] = text;
        return;
    }
    // Cut between whole characters: never the first half of a pair of surrogates.
    m_record[field] = text.left(text.at(width - 1).isHighSurrogate() ? width - 1 : width);
}

bool TAdifImport::AdifTextIsUtf8()
{
    // Told when the first text beyond ASCII needs it: a file of ASCII is never looked
    // through twice.
    if (!m_utf8File)
        m_utf8File = IsUtf8AdifFile(m_data, m_size);
    return *m_utf8File;
}

QString TAdifImport::decodeText(TTextCode code, const char *data, int length)
{
    // The first half of Windows-1250 is ASCII: most fields need no table.
    if (length > 0 && IsAsciiBytes(QByteArrayView(data, length)))
        return QString::fromLatin1(data, length);
    // In a file of UTF-8 a value that is no UTF-8 is 8-bit all the same: files put
    // together from several sources mix the codes, and one odd value must not turn the
    // rest. *_INTL values are UTF-8 by the format, whatever the file.
    const bool utf8Value = IsUtf8Letters(reinterpret_cast<const uchar *>(data), length) &&
                           (code == TTextCode::Intl || AdifTextIsUtf8());
    if (utf8Value)
        return QString::fromUtf8(data, length);
    // The code page of the options is meant for the older 8-bit texts.
    QByteArray bytes(data, length);
    if (code != TTextCode::File)
        CharSetToWin1250(bytes, m_options.CharSet);
    return Win1250ToUnicode(bytes);
}

const QString &TAdifImport::decodedText(quint32 tagHash, TTextCode code, const char *data, int length)
{
    if (length > MaxKeptText) {
        m_uncached = decodeText(code, data, length);
        return m_uncached;
    }
    TDecodedText &last = m_decoded[decodedSlot(tagHash)];
    const std::string_view bytes(data, size_t(length));
    if (last.tagHash != tagHash || last.code != code || last.bytes != bytes) {
        last.text = decodeText(code, data, length);
        last.bytes = bytes;
        last.code = code;
        last.tagHash = tagHash;
    }
    return last.text;
}

int TAdifImport::modeOfName(const char *data, int length, const QString &text)
{
    // A file names the same few modes again and again; the alias table is searched once
    // for each name (a file of made-up names stops filling the cache).
    if (length > 16 || !IsAsciiBytes(QByteArrayView(data, length)))
        return GetModeIndexDef(text, 0);
    const std::string name(data, size_t(length));
    const auto known = m_modeOfName.find(name);
    if (known != m_modeOfName.end())
        return known->second;
    const int mode = GetModeIndexDef(text, 0);
    if (m_modeOfName.size() < 256)
        m_modeOfName.emplace(name, mode);
    return mode;
}
