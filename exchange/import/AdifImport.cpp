#include "import/AdifImport.h"

#include "radio/Amater.h"
#include "radio/CharSet.h"
#include "radio/DxccList.h"
#include "base/FileError.h"
#include "base/FileMappingStream.h"
#include "base/Formats.h"
#include "import/ImportDupeIndex.h"
#include "import/ImportStaging.h"
#include "radio/Kontrola.h"
#include "radio/Locator.h"
#include "base/Utf8Text.h"

#include <charconv>
#include <cmath>
#include <cstring>
#include <utility>

namespace
{

bool isDigit(char c)
{
    return c >= '0' && c <= '9';
}

void upperAscii(char *data, int length)
{
    for (int i = 0; i < length; ++i)
        if (data[i] >= 'a' && data[i] <= 'z')
            data[i] = char(data[i] - 'a' + 'A');
}

void lowerAscii(char *data, int length)
{
    for (int i = 0; i < length; ++i)
        if (data[i] >= 'A' && data[i] <= 'Z')
            data[i] = char(data[i] - 'A' + 'a');
}

// Removes blanks and control characters from both ends, in place; returns the new start.
char *trimBlanks(char *data, int &length)
{
    int start = 0;
    while (start < length && uchar(data[start]) <= ' ')
        ++start;
    int end = length;
    while (end > start && uchar(data[end - 1]) <= ' ')
        --end;
    data[end] = '\0';
    length = end - start;
    return data + start;
}

// The number with its first "." read as the decimal separator.
bool adifFloatOfText(const QString &text, double &value)
{
    QString t = text;
    const qsizetype dot = t.indexOf(u'.');
    if (dot >= 0)
        t[dot] = Formats::DecimalSeparator;
    return Formats::tryStrToFloat(t, value);
}

// The same for the field's bytes: digits with at most one "." between digits, the way
// nearly every file writes a number, are read straight from the bytes (correctly
// rounded, as the general way reads them); anything else goes the general way.
template <typename Text>
bool adifFloat(const char *data, int length, const Text &text, double &value)
{
    int dots = 0;
    bool plain = length > 0 && length <= 64 && isDigit(data[0]) && isDigit(data[length - 1]) &&
                 (data[0] != '0' || length == 1 || data[1] == '.');
    for (int i = 0; plain && i < length; ++i)
        plain = isDigit(data[i]) || (data[i] == '.' && ++dots == 1);
    if (!plain)
        return adifFloatOfText(text(), value);
    double parsed = 0;
    const auto [end, error] = std::from_chars(data, data + length, parsed);
    if (error != std::errc() || end != data + length || !std::isfinite(parsed))
        return adifFloatOfText(text(), value);
    value = parsed;
    return true;
}

// The QSL states as the letters of ADIF give them; -1 stores nothing.
int qslSentState(char c)
{
    switch (c) {
    case 'I':
        return 3;
    case 'N':
        return 0;
    case 'R':
        return 2;
    case 'Y':
        return 1;
    default:
        return -1;
    }
}

int qslRcvdState(char c)
{
    switch (c) {
    case 'Y':
        return 1;
    case 'I':
    case 'N':
    case 'R':
        return 0;
    default:
        return -1;
    }
}

int bandOfName(const QString &name)
{
    for (int i = 0; i < BandOutside; ++i)
        if (BandNames[i] == name)
            return i;
    return -1;
}

// The same for ASCII bytes, which decode to the same text whatever the file's code.
int bandOfName(const char *data, int length)
{
    const QLatin1StringView name(data, length);
    for (int i = 0; i < BandOutside; ++i)
        if (BandNames[i] == name)
            return i;
    return -1;
}

// Texts longer than this are decoded each time, not kept for the next record.
constexpr int MaxKeptText = 256;

// The place of a tag's last text: a multiplier under which the tags the reader takes
// fall on places of their own (another tag would only share a place, never a text).
size_t decodedSlot(quint32 tagHash)
{
    return size_t(quint32(tagHash * 4715u) >> 26);
}

// A locator of eight or ten characters: a subsquare followed by its extended square
// (two digits) and that square's subsquare (two letters).
bool isExtendedLocator(const char *data, int length)
{
    if (length != 8 && length != 10)
        return false;
    if (!isDigit(data[6]) || !isDigit(data[7]))
        return false;
    return length == 8 || (data[8] >= 'A' && data[8] <= 'X' && data[9] >= 'A' && data[9] <= 'X');
}

// A power written with its unit ("50W", "5 W", "0.5w"): the length of the number before it.
int lengthBeforeWatts(const char *data, int length)
{
    if (length < 2 || (data[length - 1] != 'W' && data[length - 1] != 'w'))
        return length;
    int number = length - 1;
    while (number > 0 && data[number - 1] == ' ')
        --number;
    return number;
}

} // namespace

bool ParseAdifDate(const char *text, QDate &date)
{
    if (std::strlen(text) != 8)
        return false;
    if (text[0] != '1' && text[0] != '2')
        return false;
    for (int i = 1; i < 8; ++i)
        if (!isDigit(text[i]))
            return false;
    if (text[4] > '1' || text[6] > '3')
        return false;
    const int year = (text[0] - '0') * 1000 + (text[1] - '0') * 100 + (text[2] - '0') * 10 + (text[3] - '0');
    const int month = (text[4] - '0') * 10 + (text[5] - '0');
    const int day = (text[6] - '0') * 10 + (text[7] - '0');
    if (!QDate::isValid(year, month, day))
        return false;
    date = QDate(year, month, day);
    return true;
}

bool ParseAdifTime(const char *text, QTime &time)
{
    const size_t length = std::strlen(text);
    if (length != 4 && length != 6)
        return false;
    for (size_t i = 0; i < length; ++i)
        if (!isDigit(text[i]))
            return false;
    if (text[0] > '2' || text[2] > '5' || (length == 6 && text[4] > '5'))
        return false;
    const int hour = (text[0] - '0') * 10 + (text[1] - '0');
    const int minute = (text[2] - '0') * 10 + (text[3] - '0');
    const int second = length == 6 ? (text[4] - '0') * 10 + (text[5] - '0') : 0;
    if (!QTime::isValid(hour, minute, second))
        return false;
    time = QTime(hour, minute, second);
    return true;
}

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
    m_size = size;
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

QString TAdifImport::fileText(const char *data, int length) const
{
    // The first half of Windows-1250 is ASCII: most fields need no table.
    if (length > 0 && IsAsciiBytes(QByteArrayView(data, length)))
        return QString::fromLatin1(data, length);
    // Each value says by its own bytes whether it is UTF-8: files put together from
    // several sources mix the codes, and one odd byte must not turn the rest.
    if (IsUtf8Letters(reinterpret_cast<const uchar *>(data), length))
        return QString::fromUtf8(data, length);
    return Win1250ToUnicode(QByteArray(data, length));
}

QString TAdifImport::sourceText(const char *data, int length) const
{
    // The code page of the options is meant for the older 8-bit texts; a value in UTF-8
    // says so by its bytes.
    if (m_options.CharSet == 0 || IsUtf8Letters(reinterpret_cast<const uchar *>(data), length))
        return fileText(data, length);
    QByteArray bytes(data, length);
    CharSetToWin1250(bytes, m_options.CharSet);
    return Win1250ToUnicode(bytes);
}

bool TAdifImport::takeSubsquare(int field, const char *data, int length, const QString &warning)
{
    if (!isExtendedLocator(data, length))
        return false;
    const QString subsquare = QString::fromLatin1(data, 6);
    if (!IsValidLocator(subsquare))
        return false;
    setText(field, subsquare);
    m_staging.AddWarning(warning, {QString::fromLatin1(data, length), subsquare});
    return true;
}

void TAdifImport::reportRepair(quint32 tagHash, TAdifLengthRepair repair, const char *data, int length)
{
    const QString &text = decodedText(tagHash, false, data, length);
    if (repair == TAdifLengthRepair::CountedInLetters)
        m_staging.AddWarning(
            QStringLiteral("Délka hodnoty \"%0:s\" je v souboru udána ve znacích, ne v bajtech - načítám ji celou"),
            {text});
    else
        m_staging.AddWarning(
            QStringLiteral("Hodnota \"%0:s\" je v souboru useknuta uprostřed znaku - neúplný znak vynechávám"),
            {text});
}

const QString &TAdifImport::decodedText(quint32 tagHash, bool source, const char *data, int length)
{
    if (length > MaxKeptText) {
        m_uncached = source ? sourceText(data, length) : fileText(data, length);
        return m_uncached;
    }
    TDecodedText &last = m_decoded[decodedSlot(tagHash)];
    const std::string_view bytes(data, size_t(length));
    if (last.tagHash != tagHash || last.source != source || last.bytes != bytes) {
        last.text = source ? sourceText(data, length) : fileText(data, length);
        last.bytes = bytes;
        last.source = source;
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

void TAdifImport::ProcessAdifField(quint32 tagHash, char *raw, int rawLength)
{
    int length = rawLength;
    char *data = trimBlanks(raw, length);
    const TAdifLengthRepair repair = std::exchange(m_repair, TAdifLengthRepair::None);
    if (!takeField(tagHash, data, length))
        return; // a tag the logbook has no field for
    m_recordHasData = true;
    if (repair != TAdifLengthRepair::None)
        reportRepair(tagHash, repair, data, length);
}

bool TAdifImport::takeField(quint32 tagHash, char *data, int length)
{
    // The text of the data once decoded (after the case changes of its tag).
    const auto text = [&]() -> const QString & { return decodedText(tagHash, false, data, length); };
    const auto refuse = [&](const QString &format) { m_staging.AddError(format, {text()}); };

    switch (tagHash) {
    case AdifTag::QSO_DATE: {
        QDate date;
        if (ParseAdifDate(data, date))
            m_record[fiDAT] = date;
        else
            refuse(QStringLiteral("Neplatné datum \"%0:s\"!"));
        break;
    }
    case AdifTag::TIME_ON: {
        QTime time;
        if (ParseAdifTime(data, time))
            m_record[fiUTC] = time;
        else
            refuse(QStringLiteral("Neplatný čas \"%0:s\"!"));
        break;
    }
    case AdifTag::CALL:
        upperAscii(data, length);
        if (IsValidCall(text()))
            setText(fiCALL, text());
        else
            refuse(QStringLiteral("Neplatná značka \"%0:s\" (může obsahovat jen znaky \"A-Z, 0-9, /\")!"));
        break;
    case AdifTag::FREQ: {
        double mhz = 0;
        if (!adifFloat(data, length, text, mhz)) {
            refuse(QStringLiteral("Neplatná frekvence \"%0:s\"!"));
        } else if (mhz != 0) {
            m_record[fiFREQ] = mhz;
            if (GetBandIndex(mhz) == BandOutside)
                m_staging.AddWarning(QStringLiteral("Frekvence %0:f je mimo rozsah radioamatérských pásem!"),
                                     {mhz});
        }
        break;
    }
    case AdifTag::BAND: {
        lowerAscii(data, length);
        const int band = IsAsciiBytes(QByteArrayView(data, length)) ? bandOfName(data, length) : bandOfName(text());
        if (band >= 0)
            m_record[fiBAND] = band;
        break;
    }
    case AdifTag::MODE: {
        upperAscii(data, length);
        const int mode = modeOfName(data, length, text());
        if (mode != 0)
            m_record[fiMODE] = mode;
        else
            refuse(QStringLiteral("Neplatný mód \"%0:s\"!"));
        break;
    }
    case AdifTag::SUBMODE:
        // ADIF 3 names PSK31 and its kin as MODE PSK with SUBMODE PSK31; a sub-mode that
        // the table lacks leaves the mode to MODE.
        upperAscii(data, length);
        m_submode = modeOfName(data, length, text());
        break;
    case AdifTag::RST_SENT:
        setText(fiRSTO, text().left(3));
        break;
    case AdifTag::RST_RCVD:
        setText(fiRSTP, text().left(3));
        break;
    case AdifTag::NAME:
    case AdifTag::QTH:
        if (!m_options.StxSrxToNameQth)
            setText(tagHash == AdifTag::NAME ? fiNAME : fiQTH, decodedText(tagHash, true, data, length));
        break;
    case AdifTag::NAME_INTL:
    case AdifTag::QTH_INTL:
        if (!m_options.StxSrxToNameQth)
            m_intl[tagHash == AdifTag::NAME_INTL ? 0 : 1] = decodedText(tagHash, true, data, length);
        break;
    case AdifTag::STX:
    case AdifTag::SRX:
        if (m_options.StxSrxToNameQth)
            setText(tagHash == AdifTag::STX ? fiNAME : fiQTH, text());
        break;
    case AdifTag::MY_GRIDSQUARE:
        upperAscii(data, length);
        if (IsValidLocator(text()))
            setText(fiLOCO, text());
        else if (!takeSubsquare(fiLOCO, data, length, QStringLiteral("Vlastní lokátor \"%0:s\" zkracuji na \"%1:s\"")))
            refuse(QStringLiteral("Neplatný vlastní lokátor \"%0:s\"!"));
        break;
    case AdifTag::GRIDSQUARE:
    case AdifTag::WWL_RCVD: {
        upperAscii(data, length);
        const QString locator = length == 4 ? text() + QStringLiteral("MM") : text();
        if (IsValidLocator(locator))
            setText(fiLOCP, locator);
        else if (!takeSubsquare(fiLOCP, data, length, QStringLiteral("Lokátor \"%0:s\" zkracuji na \"%1:s\"")))
            m_staging.AddError(QStringLiteral("Neplatný lokátor \"%0:s\"!"), {locator});
        break;
    }
    case AdifTag::QSL_SENT:
    case AdifTag::QSL_RCVD:
    case AdifTag::EQSL_RCVD: {
        upperAscii(data, length);
        const char first = length > 0 ? data[0] : '\0';
        const int state = tagHash == AdifTag::QSL_SENT   ? qslSentState(first)
                          : tagHash == AdifTag::QSL_RCVD ? qslRcvdState(first)
                                                         : (first == 'Y' ? 1 : -1);
        if (state >= 0)
            m_record[tagHash == AdifTag::QSL_SENT   ? fiQSLO
                     : tagHash == AdifTag::QSL_RCVD ? fiQSLP
                                                    : fiEQSLP] = state;
        break;
    }
    case AdifTag::QSL_VIA:
        setText(fiQSLVIA, text());
        break;
    case AdifTag::COMMENT:
    case AdifTag::NOTES:
        if (!m_options.ReplaceNote)
            setText(fiNOTE, decodedText(tagHash, true, data, length));
        break;
    case AdifTag::COMMENT_INTL:
    case AdifTag::NOTES_INTL:
        if (!m_options.ReplaceNote)
            m_intl[2] = decodedText(tagHash, true, data, length);
        break;
    case AdifTag::TX_PWR: {
        // WSJT-X and others write the unit after the number.
        const int number = lengthBeforeWatts(data, length);
        const auto numberText = [&]() -> QString { return number == length ? text() : fileText(data, number); };
        double watts = 0;
        m_record[fiPWR] = adifFloat(data, number, numberText, watts) ? watts : m_options.Power;
        break;
    }
    case AdifTag::DXCCP:
        upperAscii(data, length);
        if (IsValidCall(text()))
            setText(fiDXCC, text());
        else
            refuse(QStringLiteral("Neplatný kód DXCC \"%0:s\"!"));
        break;
    case AdifTag::IOTA: {
        upperAscii(data, length);
        QString iota = text();
        const qsizetype dash = iota.indexOf(u'-');
        if (dash >= 0)
            iota.remove(dash, 1);
        if (IsValidIOTA(iota))
            setText(fiIOTA, iota);
        else
            m_staging.AddError(QStringLiteral("Neplatný formát IOTA!"));
        break;
    }
    case AdifTag::ITUZ: {
        const int zone = StrToITU(text());
        if (zone != -1)
            m_record[fiITU] = zone;
        else
            refuse(QStringLiteral("Neplatný kód ITU \"%0:s\" (jsou povoleny hodnoty 1 až 90)!"));
        break;
    }
    case AdifTag::CQZ: {
        const int zone = StrToWAZ(text());
        if (zone != -1)
            m_record[fiWAZ] = zone;
        else
            refuse(QStringLiteral("Neplatný kód WAZ \"%0:s\" (jsou povoleny hodnoty 1 až 40)!"));
        break;
    }
    case AdifTag::AWARD:
        upperAscii(data, length);
        setText(fiAWARD, text());
        break;
    default:
        return false;
    }
    return true;
}
