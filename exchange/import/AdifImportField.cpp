// One ADIF field into the staged record, by the kind of field: dates and times, call
// signs and codes, bands and modes, locators, texts in their code pages, numbers, and
// the QSL letters. A value that is refused adds an error line and leaves its field empty.

#include "import/AdifImport.h"

#include "base/Formats.h"
#include "base/Utf8Text.h"
#include "import/ImportStaging.h"
#include "radio/Amater.h"
#include "radio/Kontrola.h"
#include "radio/Locator.h"

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
template <typename Text> bool adifFloat(const char *data, int length, const Text &text, double &value)
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

// The band of a name as text, or as ASCII bytes (QLatin1StringView), which decode to the
// same text whatever the file's code; -1 for none.
template <typename Name> int bandOfName(const Name &name)
{
    for (int i = 0; i < BandOutside; ++i)
        if (BandNames[i] == name)
            return i;
    return -1;
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

// A power written with its unit ("50W", "5 W", "0.5w", "1.5kW"): the length of the number
// before it, and the watts in one of the unit.
struct TPowerNumber {
    int length;
    double unit;
};

TPowerNumber powerNumber(const char *data, int length)
{
    if (length < 2 || (data[length - 1] != 'W' && data[length - 1] != 'w'))
        return {length, 1};
    int number = length - 1;
    double unit = 1;
    if (data[number - 1] == 'k' || data[number - 1] == 'K') {
        --number;
        unit = 1000;
    }
    while (number > 0 && data[number - 1] == ' ')
        --number;
    return {number, unit};
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

void TAdifImport::ProcessAdifField(quint32 tagHash, char *raw, int rawLength)
{
    TAdifField f{tagHash, raw, rawLength};
    f.data = trimBlanks(raw, f.length);
    const TAdifLengthRepair repair = std::exchange(m_repair, TAdifLengthRepair::None);
    if (!takeField(f))
        return; // a tag the logbook has no field for
    m_recordHasData = true;
    if (repair != TAdifLengthRepair::None)
        reportRepair(f, repair);
}

void TAdifImport::reportRepair(const TAdifField &f, TAdifLengthRepair repair)
{
    switch (repair) {
    case TAdifLengthRepair::CountedInLetters:
        m_staging.AddWarning(
            QStringLiteral(
                "Délka hodnoty \"%0:s\" je v souboru udána ve znacích, ne v bajtech - načítám ji celou"),
            {text(f)});
        break;
    case TAdifLengthRepair::CutInLetter:
        m_staging.AddWarning(
            QStringLiteral(
                "Hodnota \"%0:s\" je v souboru useknuta uprostřed znaku - neúplný znak vynechávám"),
            {text(f)});
        break;
    case TAdifLengthRepair::TextLeftOut:
        m_staging.AddWarning(
            QStringLiteral("Za hodnotou \"%0:s\" stojí text \"%1:s\", který podle délky pole k "
                           "hodnotě nepatří - vynechávám ho"),
            {text(f), decodeText(TTextCode::File, m_leftOut.data(), int(m_leftOut.size()))});
        break;
    case TAdifLengthRepair::None:
        break;
    }
}

bool TAdifImport::takeField(TAdifField &f)
{
    switch (f.tag) {
    case AdifTag::QSO_DATE:
    case AdifTag::TIME_ON:
        takeDateOrTime(f);
        return true;
    case AdifTag::CALL:
    case AdifTag::DXCCP:
        takeCallOrPrefix(f);
        return true;
    case AdifTag::IOTA:
        takeIota(f);
        return true;
    case AdifTag::AWARD:
        upperAscii(f.data, f.length);
        setText(fiAWARD, text(f));
        return true;
    case AdifTag::BAND:
    case AdifTag::MODE:
    case AdifTag::SUBMODE:
        takeBandOrMode(f);
        return true;
    case AdifTag::MY_GRIDSQUARE:
    case AdifTag::GRIDSQUARE:
    case AdifTag::WWL_RCVD:
        takeLocator(f);
        return true;
    case AdifTag::NAME:
    case AdifTag::QTH:
    case AdifTag::NAME_INTL:
    case AdifTag::QTH_INTL:
    case AdifTag::STX:
    case AdifTag::SRX:
    case AdifTag::COMMENT:
    case AdifTag::NOTES:
    case AdifTag::COMMENT_INTL:
    case AdifTag::NOTES_INTL:
        takeNameOrNote(f);
        return true;
    case AdifTag::RST_SENT:
    case AdifTag::RST_RCVD:
    case AdifTag::QSL_VIA:
        takePlainText(f);
        return true;
    case AdifTag::FREQ:
        takeFrequency(f);
        return true;
    case AdifTag::TX_PWR:
        takePower(f);
        return true;
    case AdifTag::ITUZ:
    case AdifTag::CQZ:
        takeZone(f);
        return true;
    case AdifTag::QSL_SENT:
    case AdifTag::QSL_RCVD:
    case AdifTag::EQSL_RCVD:
        takeQslLetter(f);
        return true;
    default:
        return false;
    }
}

const QString &TAdifImport::text(const TAdifField &f)
{
    return decodedText(f.tag, TTextCode::File, f.data, f.length);
}

void TAdifImport::refuse(const QString &format, const TAdifField &f)
{
    m_staging.AddError(format, {text(f)});
}

void TAdifImport::takeDateOrTime(const TAdifField &f)
{
    if (f.tag == AdifTag::QSO_DATE) {
        QDate date;
        if (ParseAdifDate(f.data, date))
            m_record[fiDAT] = date;
        else
            refuse(QStringLiteral("Neplatné datum \"%0:s\"!"), f);
        return;
    }
    QTime time;
    if (ParseAdifTime(f.data, time))
        m_record[fiUTC] = time;
    else
        refuse(QStringLiteral("Neplatný čas \"%0:s\"!"), f);
}

void TAdifImport::takeCallOrPrefix(TAdifField &f)
{
    upperAscii(f.data, f.length);
    // The entity's prefix follows the rule of call signs.
    const bool call = f.tag == AdifTag::CALL;
    if (IsValidCall(text(f)))
        setText(call ? fiCALL : fiDXCC, text(f));
    else if (call)
        refuse(QStringLiteral("Neplatná značka \"%0:s\" (může obsahovat jen znaky \"A-Z, 0-9, /\")!"), f);
    else
        refuse(QStringLiteral("Neplatný kód DXCC \"%0:s\"!"), f);
}

void TAdifImport::takeIota(TAdifField &f)
{
    upperAscii(f.data, f.length);
    QString iota = text(f);
    const qsizetype dash = iota.indexOf(u'-');
    if (dash >= 0)
        iota.remove(dash, 1);
    if (IsValidIOTA(iota))
        setText(fiIOTA, iota);
    else
        m_staging.AddError(QStringLiteral("Neplatný formát IOTA!"));
}

void TAdifImport::takeBandOrMode(TAdifField &f)
{
    if (f.tag == AdifTag::BAND) {
        lowerAscii(f.data, f.length);
        const int band = IsAsciiBytes(QByteArrayView(f.data, f.length)) ? bandOfName(QLatin1StringView(f.data, f.length))
                                                                        : bandOfName(text(f));
        if (band >= 0)
            m_record[fiBAND] = band;
        return;
    }
    upperAscii(f.data, f.length);
    const int mode = modeOfName(f.data, f.length, text(f));
    if (f.tag == AdifTag::SUBMODE)
        // ADIF 3 names PSK31 and its kin as MODE PSK with SUBMODE PSK31; a sub-mode that
        // the table lacks leaves the mode to MODE.
        m_submode = mode;
    else if (mode != 0)
        m_record[fiMODE] = mode;
    else
        refuse(QStringLiteral("Neplatný mód \"%0:s\"!"), f);
}

void TAdifImport::takeLocator(TAdifField &f)
{
    upperAscii(f.data, f.length);
    if (f.tag == AdifTag::MY_GRIDSQUARE) {
        if (IsValidLocator(text(f)))
            setText(fiLOCO, text(f));
        else if (!takeSubsquare(fiLOCO, f, QStringLiteral("Vlastní lokátor \"%0:s\" zkracuji na \"%1:s\"")))
            refuse(QStringLiteral("Neplatný vlastní lokátor \"%0:s\"!"), f);
        return;
    }
    const QString locator = f.length == 4 ? text(f) + QStringLiteral("MM") : text(f);
    if (IsValidLocator(locator))
        setText(fiLOCP, locator);
    else if (!takeSubsquare(fiLOCP, f, QStringLiteral("Lokátor \"%0:s\" zkracuji na \"%1:s\"")))
        m_staging.AddError(QStringLiteral("Neplatný lokátor \"%0:s\"!"), {locator});
}

bool TAdifImport::takeSubsquare(int field, const TAdifField &f, const QString &warning)
{
    if (!isExtendedLocator(f.data, f.length))
        return false;
    const QString subsquare = QString::fromLatin1(f.data, 6);
    if (!IsValidLocator(subsquare))
        return false;
    setText(field, subsquare);
    m_staging.AddWarning(warning, {QString::fromLatin1(f.data, f.length), subsquare});
    return true;
}

void TAdifImport::takeNameOrNote(const TAdifField &f)
{
    // NAME and QTH give way to the contest exchanges STX and SRX when the options say so,
    // COMMENT and NOTES to the options' note.
    switch (f.tag) {
    case AdifTag::STX:
    case AdifTag::SRX:
        if (m_options.StxSrxToNameQth)
            setText(f.tag == AdifTag::STX ? fiNAME : fiQTH, text(f));
        break;
    case AdifTag::NAME:
    case AdifTag::QTH:
        if (!m_options.StxSrxToNameQth)
            setText(f.tag == AdifTag::NAME ? fiNAME : fiQTH,
                    decodedText(f.tag, TTextCode::Options, f.data, f.length));
        break;
    case AdifTag::NAME_INTL:
    case AdifTag::QTH_INTL:
        if (!m_options.StxSrxToNameQth)
            m_intl[f.tag == AdifTag::NAME_INTL ? 0 : 1] =
                decodedText(f.tag, TTextCode::Intl, f.data, f.length);
        break;
    case AdifTag::COMMENT:
    case AdifTag::NOTES:
        if (!m_options.ReplaceNote)
            setText(fiNOTE, decodedText(f.tag, TTextCode::Options, f.data, f.length));
        break;
    default: // COMMENT_INTL, NOTES_INTL
        if (!m_options.ReplaceNote)
            m_intl[2] = decodedText(f.tag, TTextCode::Intl, f.data, f.length);
        break;
    }
}

void TAdifImport::takePlainText(const TAdifField &f)
{
    if (f.tag == AdifTag::QSL_VIA)
        setText(fiQSLVIA, text(f));
    else
        setText(f.tag == AdifTag::RST_SENT ? fiRSTO : fiRSTP, text(f).left(3));
}

void TAdifImport::takeZone(const TAdifField &f)
{
    const bool itu = f.tag == AdifTag::ITUZ;
    const int zone = itu ? StrToITU(text(f)) : StrToWAZ(text(f));
    if (zone != -1)
        m_record[itu ? fiITU : fiWAZ] = zone;
    else if (itu)
        refuse(QStringLiteral("Neplatný kód ITU \"%0:s\" (jsou povoleny hodnoty 1 až 90)!"), f);
    else
        refuse(QStringLiteral("Neplatný kód WAZ \"%0:s\" (jsou povoleny hodnoty 1 až 40)!"), f);
}

void TAdifImport::takeFrequency(const TAdifField &f)
{
    double mhz = 0;
    if (!adifFloat(
            f.data, f.length, [&]() -> const QString & { return text(f); }, mhz)) {
        refuse(QStringLiteral("Neplatná frekvence \"%0:s\"!"), f);
    } else if (mhz != 0) {
        m_record[fiFREQ] = mhz;
        if (GetBandIndex(mhz) == BandOutside)
            m_staging.AddWarning(QStringLiteral("Frekvence %0:f je mimo rozsah radioamatérských pásem!"),
                                 {mhz});
    }
}

void TAdifImport::takePower(const TAdifField &f)
{
    // WSJT-X and others write the unit after the number.
    const TPowerNumber number = powerNumber(f.data, f.length);
    const auto numberText = [&]() -> QString {
        return number.length == f.length ? text(f) : decodeText(TTextCode::File, f.data, number.length);
    };
    double watts = 0;
    if (adifFloat(f.data, number.length, numberText, watts)) {
        m_record[fiPWR] = watts * number.unit;
        return;
    }
    m_record[fiPWR] = m_options.Power;
    if (f.length > 0)
        m_staging.AddWarning(QStringLiteral("Neznámý výkon \"%0:s\" - doplňuji defaultní hodnotu %1:s"),
                             {text(f), m_options.Power});
}

void TAdifImport::takeQslLetter(TAdifField &f)
{
    upperAscii(f.data, f.length);
    const char first = f.length > 0 ? f.data[0] : '\0';
    switch (f.tag) {
    case AdifTag::QSL_SENT:
        if (const int state = qslSentState(first); state >= 0)
            m_record[fiQSLO] = state;
        break;
    case AdifTag::QSL_RCVD:
        if (const int state = qslRcvdState(first); state >= 0)
            m_record[fiQSLP] = state;
        break;
    default:
        if (first == 'Y')
            m_record[fiEQSLP] = 1;
        break;
    }
}
