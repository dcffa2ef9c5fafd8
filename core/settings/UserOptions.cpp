#include "settings/UserOptions.h"

#include "radio/Amater.h"
#include "base/Formats.h"
#include "radio/Kontrola.h"
#include "settings/PasswordScramble.h"

#include <cmath>

namespace
{

const QString User = QStringLiteral("User");
const QString DateTime = QStringLiteral("DateTime");
const QString NQso = QStringLiteral("nQSO");
const QString ListDxcc = QStringLiteral("ListDxcc");
const QString ListIota = QStringLiteral("ListIOTA");
const QString Map = QStringLiteral("Map");
const QString Design = QStringLiteral("Design");
const QString Columns = QStringLiteral("Columns");
const QString Wendra = QStringLiteral("WENDRA");
const QString BackUp = QStringLiteral("BackUp");

const QString FreqPattern = QStringLiteral("0.####");
const QString MapPattern = QStringLiteral("0.000");
constexpr double DefaultPower = 100;

QString allModesList()
{
    QString text;
    for (int mode = 1; mode < ModeCount; ++mode)
        text += QString::number(mode) + u';';
    return text;
}

const QString DefaultModes = allModesList();

// Walks a stored list: characters that isPart accepts build the current entry, ";"
// hands it to add and starts the next one, any other character is ignored. Text after
// the last ";" is not an entry.
template <typename IsPart, typename Add> void walkList(const QString &text, IsPart isPart, Add add)
{
    QString current;
    for (QChar c : text) {
        if (c == u';') {
            add(current);
            current.clear();
        } else if (isPart(c)) {
            current += c;
        }
    }
}

bool isDigit(QChar c)
{
    return c >= u'0' && c <= u'9';
}

bool isFreqPart(QChar c)
{
    return isDigit(c) || c == Formats::DecimalSeparator;
}

// The entry as a mode index, or -1 when it is no number or lies outside the table.
int modeIndex(const QString &entry)
{
    int mode = -1;
    if (!Formats::tryStrToInt(entry, mode) || mode < 0 || mode >= ModeCount)
        return -1;
    return mode;
}

} // namespace

void TUserOptions::Load(const QString &fileName)
{
    TOptions::Load(fileName);
    Call = Ini.ReadString(User, QStringLiteral("Call"), QString()).toUpper();
}

void TUserOptions::Clear()
{
    TOptions::Clear();
    Call.clear();
}

void TUserOptions::SetCall(const QString &call)
{
    Call = call.toUpper();
    Ini.WriteString(User, QStringLiteral("Call"), Call);
}

int TUserOptions::readIntInRange(const QString &section, const QString &key, int defaultValue, int low,
                                 int high) const
{
    const int value = Ini.ReadInteger(section, key, defaultValue);
    return value < low || value > high ? defaultValue : value;
}

// [User]

QString TUserOptions::GetLocator() const
{
    const QString locator = Ini.ReadString(User, QStringLiteral("Loc"), QString());
    return IsValidLocator(locator) ? locator : QString();
}

void TUserOptions::SetLocator(const QString &locator)
{
    Ini.WriteString(User, QStringLiteral("Loc"), locator.toUpper());
}

// [DateTime]

bool TUserOptions::GetNTPSync() const
{
    return Ini.ReadBool(DateTime, QStringLiteral("NTPSync"), false);
}

void TUserOptions::SetNTPSync(bool value)
{
    Ini.WriteBool(DateTime, QStringLiteral("NTPSync"), value);
}

QString TUserOptions::GetNTPServer() const
{
    return Ini.ReadString(DateTime, QStringLiteral("NTPServer"), QString());
}

void TUserOptions::SetNTPServer(const QString &value)
{
    Ini.WriteString(DateTime, QStringLiteral("NTPServer"), value);
}

// [nQSO]

QString TUserOptions::GetRSTo() const
{
    return Ini.ReadString(NQso, QStringLiteral("RSTo"), QStringLiteral("599")).left(3);
}

void TUserOptions::SetRSTo(const QString &value)
{
    Ini.WriteString(NQso, QStringLiteral("RSTo"), value);
}

QString TUserOptions::GetRSTp() const
{
    return Ini.ReadString(NQso, QStringLiteral("RSTp"), QStringLiteral("599")).left(3);
}

void TUserOptions::SetRSTp(const QString &value)
{
    Ini.WriteString(NQso, QStringLiteral("RSTp"), value);
}

double TUserOptions::GetPower() const
{
    const double stored = Ini.ReadFloat(NQso, QStringLiteral("PWR"), DefaultPower);
    const double power = std::round(stored * 1000) / 1000 + 0.0; // + 0.0 turns -0 into 0
    return power < 0 || power >= 1000000 ? DefaultPower : power;
}

void TUserOptions::SetPower(double value)
{
    Ini.WriteFloat(NQso, QStringLiteral("PWR"), value);
}

int TUserOptions::GetQSLo() const
{
    return readIntInRange(NQso, QStringLiteral("QSLo"), 0, 0, 3);
}

void TUserOptions::SetQSLo(int value)
{
    Ini.WriteInteger(NQso, QStringLiteral("QSLo"), value);
}

int TUserOptions::GetQSLp() const
{
    return readIntInRange(NQso, QStringLiteral("QSLp"), 0, 0, 1);
}

void TUserOptions::SetQSLp(int value)
{
    Ini.WriteInteger(NQso, QStringLiteral("QSLp"), value);
}

bool TUserOptions::GetRefreshLog() const
{
    return Ini.ReadBool(NQso, QStringLiteral("RefreshLog"), true);
}

void TUserOptions::SetRefreshLog(bool value)
{
    Ini.WriteBool(NQso, QStringLiteral("RefreshLog"), value);
}

bool TUserOptions::GetLookInLog() const
{
    return Ini.ReadBool(NQso, QStringLiteral("LookInLog"), true);
}

void TUserOptions::SetLookInLog(bool value)
{
    Ini.WriteBool(NQso, QStringLiteral("LookInLog"), value);
}

bool TUserOptions::GetLookInCB() const
{
    return Ini.ReadBool(NQso, QStringLiteral("LookInCB"), true);
}

void TUserOptions::SetLookInCB(bool value)
{
    Ini.WriteBool(NQso, QStringLiteral("LookInCB"), value);
}

bool TUserOptions::GetNameUpCase() const
{
    return Ini.ReadBool(NQso, QStringLiteral("NameUpCase"), true);
}

void TUserOptions::SetNameUpCase(bool value)
{
    Ini.WriteBool(NQso, QStringLiteral("NameUpCase"), value);
}

int TUserOptions::GetQuickQSOs() const
{
    return Ini.ReadInteger(NQso, QStringLiteral("QuickQSOs"), 0);
}

void TUserOptions::SetQuickQSOs(int value)
{
    Ini.WriteInteger(NQso, QStringLiteral("QuickQSOs"), value);
}

void TUserOptions::GetFreqs(QStringList &list) const
{
    list.clear();
    QList<double> freqs;
    GetFreqArray(freqs);
    for (double freq : std::as_const(freqs))
        list.append(Formats::formatFloat(FreqPattern, freq));
}

void TUserOptions::GetFreqArray(QList<double> &list) const
{
    walkList(Ini.ReadString(NQso, QStringLiteral("Freqs"), QString()), isFreqPart,
             [&list](const QString &entry) {
                 double freq = 0;
                 if (Formats::tryStrToFloat(entry, freq))
                     list.append(freq);
             });
}

void TUserOptions::SetFreqs(const QList<double> &freqs)
{
    QString text;
    for (double freq : freqs)
        text += Formats::formatFloat(FreqPattern, freq) + u';';
    Ini.WriteString(NQso, QStringLiteral("Freqs"), text);
}

int TUserOptions::GetFreq() const
{
    return Ini.ReadInteger(NQso, QStringLiteral("Freq"), 0);
}

void TUserOptions::SetFreq(int value)
{
    Ini.WriteInteger(NQso, QStringLiteral("Freq"), value);
}

void TUserOptions::GetModes(QStringList &list) const
{
    list.clear();
    QList<int> modes;
    GetModeArray(modes);
    for (int mode : std::as_const(modes))
        list.append(ModeNames[mode]);
}

// Unlike a plain conversion, indexes outside the mode table are dropped here too:
// callers use every entry as a position in ModeNames.
void TUserOptions::GetModeArray(QList<int> &list) const
{
    list.clear();
    walkList(Ini.ReadString(NQso, QStringLiteral("Modes"), DefaultModes), isDigit,
             [&list](const QString &entry) {
                 const int mode = modeIndex(entry);
                 if (mode >= 0)
                     list.append(mode);
             });
}

void TUserOptions::SetModes(const QList<int> &modes)
{
    QString text;
    for (int mode : modes)
        text += QString::number(mode) + u';';
    Ini.WriteString(NQso, QStringLiteral("Modes"), text);
}

int TUserOptions::GetMode() const
{
    return Ini.ReadInteger(NQso, QStringLiteral("Mode"), 0);
}

void TUserOptions::SetMode(int value)
{
    Ini.WriteInteger(NQso, QStringLiteral("Mode"), value);
}

// [ListDxcc], [ListIOTA]

int TUserOptions::GetListDxccWidth() const
{
    return Ini.ReadInteger(ListDxcc, QStringLiteral("Width"), 700);
}

void TUserOptions::SetListDxccWidth(int value)
{
    Ini.WriteInteger(ListDxcc, QStringLiteral("Width"), value);
}

int TUserOptions::GetListDxccHeight() const
{
    return Ini.ReadInteger(ListDxcc, QStringLiteral("Height"), 500);
}

void TUserOptions::SetListDxccHeight(int value)
{
    Ini.WriteInteger(ListDxcc, QStringLiteral("Height"), value);
}

bool TUserOptions::GetListDxccMaximized() const
{
    return Ini.ReadBool(ListDxcc, QStringLiteral("Maximized"), true);
}

void TUserOptions::SetListDxccMaximized(bool value)
{
    Ini.WriteBool(ListDxcc, QStringLiteral("Maximized"), value);
}

int TUserOptions::GetListIOTAWidth() const
{
    return Ini.ReadInteger(ListIota, QStringLiteral("Width"), 700);
}

void TUserOptions::SetListIOTAWidth(int value)
{
    Ini.WriteInteger(ListIota, QStringLiteral("Width"), value);
}

int TUserOptions::GetListIOTAHeight() const
{
    return Ini.ReadInteger(ListIota, QStringLiteral("Height"), 500);
}

void TUserOptions::SetListIOTAHeight(int value)
{
    Ini.WriteInteger(ListIota, QStringLiteral("Height"), value);
}

bool TUserOptions::GetListIOTAMaximized() const
{
    return Ini.ReadBool(ListIota, QStringLiteral("Maximized"), true);
}

void TUserOptions::SetListIOTAMaximized(bool value)
{
    Ini.WriteBool(ListIota, QStringLiteral("Maximized"), value);
}

// [Map]

void TUserOptions::SetMapCenterX(double value)
{
    Ini.WriteString(Map, QStringLiteral("CenterX"), Formats::formatFloat(MapPattern, value));
}

void TUserOptions::SetMapCenterY(double value)
{
    Ini.WriteString(Map, QStringLiteral("CenterY"), Formats::formatFloat(MapPattern, value));
}

void TUserOptions::SetMapZoom(double value)
{
    Ini.WriteString(Map, QStringLiteral("Zoom"), Formats::formatFloat(MapPattern, value));
}

void TUserOptions::SetMapWWLGrid(bool value)
{
    Ini.WriteBool(Map, QStringLiteral("WWLGrid"), value);
}

void TUserOptions::SetMapGeoGrid(bool value)
{
    Ini.WriteBool(Map, QStringLiteral("GeoGrid"), value);
}

// [Design]

int TUserOptions::GetDateFormat() const
{
    return readIntInRange(Design, QStringLiteral("DateFormat"), 0, 0, 5);
}

void TUserOptions::SetDateFormat(int value)
{
    Ini.WriteInteger(Design, QStringLiteral("DateFormat"), value);
}

int TUserOptions::GetTimeFormat() const
{
    return readIntInRange(Design, QStringLiteral("TimeFormat"), 0, 0, 3);
}

void TUserOptions::SetTimeFormat(int value)
{
    Ini.WriteInteger(Design, QStringLiteral("TimeFormat"), value);
}

int TUserOptions::GetFreqFormat() const
{
    return readIntInRange(Design, QStringLiteral("FreqFormat"), 0, 0, 6);
}

void TUserOptions::SetFreqFormat(int value)
{
    Ini.WriteInteger(Design, QStringLiteral("FreqFormat"), value);
}

bool TUserOptions::GetExtendedFont() const
{
    return Ini.ReadBool(Design, QStringLiteral("ExtendedFont"), true);
}

void TUserOptions::SetExtendedFont(bool value)
{
    Ini.WriteBool(Design, QStringLiteral("ExtendedFont"), value);
}

// [Columns]

QString TUserOptions::GetColumnCaption(const QString &fieldName) const
{
    return Ini.ReadString(Columns, fieldName + QStringLiteral("_Caption"), fieldName);
}

void TUserOptions::SetColumnCaption(const QString &fieldName, const QString &value)
{
    Ini.WriteString(Columns, fieldName + QStringLiteral("_Caption"), value);
}

int TUserOptions::GetColumnCaptionAlignment(const QString &fieldName) const
{
    return readIntInRange(Columns, fieldName + QStringLiteral("_CaptionAlignment"), 0, 0, 2);
}

void TUserOptions::SetColumnCaptionAlignment(const QString &fieldName, int value)
{
    Ini.WriteInteger(Columns, fieldName + QStringLiteral("_CaptionAlignment"), value);
}

int TUserOptions::GetColumnAlignment(const QString &fieldName) const
{
    return readIntInRange(Columns, fieldName + QStringLiteral("_Alignment"), 0, 0, 2);
}

void TUserOptions::SetColumnAlignment(const QString &fieldName, int value)
{
    Ini.WriteInteger(Columns, fieldName + QStringLiteral("_Alignment"), value);
}

int TUserOptions::GetColumnWidth(const QString &fieldName) const
{
    return Ini.ReadInteger(Columns, fieldName + QStringLiteral("_Width"), 30);
}

void TUserOptions::SetColumnWidth(const QString &fieldName, int value)
{
    Ini.WriteInteger(Columns, fieldName + QStringLiteral("_Width"), value);
}

int TUserOptions::GetColumnIndex(const QString &fieldName, int defaultIndex) const
{
    return Ini.ReadInteger(Columns, fieldName + QStringLiteral("_Index"), defaultIndex);
}

void TUserOptions::SetColumnIndex(const QString &fieldName, int value)
{
    Ini.WriteInteger(Columns, fieldName + QStringLiteral("_Index"), value);
}

bool TUserOptions::GetColumnVisible(const QString &fieldName) const
{
    return Ini.ReadBool(Columns, fieldName + QStringLiteral("_Visible"), true);
}

void TUserOptions::SetColumnVisible(const QString &fieldName, bool value)
{
    Ini.WriteBool(Columns, fieldName + QStringLiteral("_Visible"), value);
}

// [WENDRA]

int TUserOptions::GetClusterWidth() const
{
    return Ini.ReadInteger(Wendra, QStringLiteral("Width"), 640);
}

void TUserOptions::SetClusterWidth(int value)
{
    Ini.WriteInteger(Wendra, QStringLiteral("Width"), value);
}

int TUserOptions::GetClusterHeight() const
{
    return Ini.ReadInteger(Wendra, QStringLiteral("Height"), 480);
}

void TUserOptions::SetClusterHeight(int value)
{
    Ini.WriteInteger(Wendra, QStringLiteral("Height"), value);
}

bool TUserOptions::GetClusterMaximized() const
{
    return Ini.ReadBool(Wendra, QStringLiteral("Maximized"), true);
}

void TUserOptions::SetClusterMaximized(bool value)
{
    Ini.WriteBool(Wendra, QStringLiteral("Maximized"), value);
}

QString TUserOptions::GetClusterHost() const
{
    return Ini.ReadString(Wendra, QStringLiteral("Host"), DefaultClusterHost);
}

void TUserOptions::SetClusterHost(const QString &value)
{
    Ini.WriteString(Wendra, QStringLiteral("Host"), value);
}

int TUserOptions::GetClusterPort() const
{
    return readIntInRange(Wendra, QStringLiteral("Port"), DefaultClusterPort, 1, 65535);
}

void TUserOptions::SetClusterPort(int value)
{
    Ini.WriteInteger(Wendra, QStringLiteral("Port"), value);
}

QString TUserOptions::GetClusterPassword() const
{
    const QString pad = Ini.ReadString(Wendra, QStringLiteral("S1"), QString());
    const QString code = Ini.ReadString(Wendra, QStringLiteral("S2"), QString());
    if (pad.isEmpty() || code.isEmpty())
        return QString();
    return UnscrambleString(pad, code); // empty when the stored digits are damaged
}

void TUserOptions::SetClusterPassword(const QString &password)
{
    QString pad;
    QString code;
    ScrambleString(password, pad, code);
    Ini.WriteString(Wendra, QStringLiteral("S1"), pad);
    Ini.WriteString(Wendra, QStringLiteral("S2"), code);
}

// [BackUp]

bool TUserOptions::GetBackUpEnabled() const
{
    return Ini.ReadBool(BackUp, QStringLiteral("Enabled"), false);
}

void TUserOptions::SetBackUpEnabled(bool value)
{
    Ini.WriteBool(BackUp, QStringLiteral("Enabled"), value);
}

int TUserOptions::GetBackUpInterval() const
{
    return Ini.ReadInteger(BackUp, QStringLiteral("Interval"), 0);
}

void TUserOptions::SetBackUpInterval(int value)
{
    Ini.WriteInteger(BackUp, QStringLiteral("Interval"), value);
}

QDate TUserOptions::GetBackUpLast() const
{
    return Ini.ReadDate(BackUp, QStringLiteral("Last"), QDate::currentDate());
}

void TUserOptions::SetBackUpLast(const QDate &value)
{
    Ini.WriteDate(BackUp, QStringLiteral("Last"), value);
}

QString TUserOptions::GetBackUpPath() const
{
    return Ini.ReadString(BackUp, QStringLiteral("Path"), QString());
}

void TUserOptions::SetBackUpPath(const QString &value)
{
    Ini.WriteString(BackUp, QStringLiteral("Path"), value);
}
