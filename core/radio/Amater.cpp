#include "radio/Amater.h"

#include "base/Formats.h"

#include <algorithm>
#include <cmath>

// Stored data: the log keeps positions in these tables, so rows are only ever appended.
const std::array<QString, ModeCount> ModeNames = {
    QString(), QStringLiteral("CW"), QStringLiteral("SSB"), QStringLiteral("AM"), // 0..3
    QStringLiteral("FM"), QStringLiteral("PSK"), QStringLiteral("PSK31"), QStringLiteral("PSK63"), // 4..7
    QStringLiteral("FSK"), QStringLiteral("RTTY"), QStringLiteral("PACKET"), QStringLiteral("PACTOR"), // 8..11
    QStringLiteral("AMTOR"), QStringLiteral("MFSK"), QStringLiteral("THROB"), QStringLiteral("MT63"), // 12..15
    QStringLiteral("HELL"), QStringLiteral("FAX"), QStringLiteral("SSTV"), QStringLiteral("ATV"), // 16..19
    QStringLiteral("OLIVIA"), QStringLiteral("JT44"), QStringLiteral("JT65"), QStringLiteral("JT6M"), // 20..23
    QStringLiteral("DOMINO"), QStringLiteral("CHIP64"), QStringLiteral("CHIP128"), QStringLiteral("CLOVER"), // 24..27
};

// Every name a foreign file may use for the row's mode, upper case, each framed by ";".
// The first alias of a row is its own name.
const std::array<QString, ModeCount> ModeAliases = {
    QString(),
    QStringLiteral(";CW;A1;"),
    QStringLiteral(";SSB;LSB;USB;PHONE;A3J;J3E;"),
    QStringLiteral(";AM;"),
    QStringLiteral(";FM;"),
    QStringLiteral(";PSK;PSK63F;PSK125;PSK125F;PSK10;PSKFEC31;PSKAM10;PSKAM31;PSKAM50;"),
    QStringLiteral(";PSK31;BPSK;QPSK;BPSK31;QPSK31;PSK3;FSK31;"),
    QStringLiteral(";PSK63;BPSK63;QPSK63;PSK62;BPSK62;QPSK62;"),
    QStringLiteral(";FSK;FSK-W;"),
    QStringLiteral(";RTTY;TTY;TY;MRTTY;RTTYM;"),
    QStringLiteral(";PACKET;PKT;"),
    QStringLiteral(";PACTOR;PAC;PACTOR II;"),
    QStringLiteral(";AMTOR;TOR;"),
    QStringLiteral(";MFSK;MFSK16;MFSK8;"),
    QStringLiteral(";THROB;THRB;THORBX;"),
    QStringLiteral(";MT63;"),
    QStringLiteral(";HELL;FELDHELL;FM-HELL;PSKHELL;FSKHELL;C/MTHELL;DUPLOHELL;"),
    QStringLiteral(";FAX;"),
    QStringLiteral(";SSTV;SST;IMAGE;"),
    QStringLiteral(";ATV;"),
    QStringLiteral(";OLIVIA;CONTESTIA;"),
    QStringLiteral(";JT44;"),
    QStringLiteral(";JT65;"),
    QStringLiteral(";JT6M;"),
    QStringLiteral(";DOMINO;"),
    QStringLiteral(";CHIP64;"),
    QStringLiteral(";CHIP128;"),
    QStringLiteral(";CLOVER;CLO;"),
};

const std::array<QString, BandCount> BandNames = {
    QStringLiteral("2190m"), QStringLiteral("160m"),   QStringLiteral("80m"),   QStringLiteral("60m"),
    QStringLiteral("40m"),   QStringLiteral("30m"),    QStringLiteral("20m"),   QStringLiteral("17m"),
    QStringLiteral("15m"),   QStringLiteral("12m"),    QStringLiteral("10m"),   QStringLiteral("6m"),
    QStringLiteral("4m"),    QStringLiteral("2m"),     QStringLiteral("1.25m"), QStringLiteral("70cm"),
    QStringLiteral("33cm"),  QStringLiteral("23cm"),   QStringLiteral("13cm"),  QStringLiteral("9cm"),
    QStringLiteral("6cm"),   QStringLiteral("3cm"),    QStringLiteral("1.25cm"), QStringLiteral("6mm"),
    QStringLiteral("4mm"),   QStringLiteral("2.5mm"),  QStringLiteral("2mm"),   QStringLiteral("1mm"),
    QStringLiteral("Mimo!"),
};

// Band edges in MHz. The lower edges also serve as each band's representative frequency.
const std::array<double, BandCount> BandLow = {
    0.135,   1.8,     3.5,     5.2,     7.0,     10.0,     14.0,     18.0,     21.0,    24.0,
    28.0,    50.0,    70.0,    144.0,   222.0,   420.0,    902.0,    1240.0,   2300.0,  3300.0,
    5650.0,  10000.0, 24000.0, 47000.0, 75500.0, 119980.0, 134000.0, 241000.0, 0.0,
};

const std::array<double, BandCount> BandHigh = {
    0.138,   2.0,     4.0,     5.5,     7.3,      10.15,    14.35,    18.2,     21.45,   25.0,
    29.7,    54.0,    71.0,    148.0,   225.0,    450.0,    928.0,    1300.0,   2450.0,  3500.0,
    5925.0,  10500.0, 24250.0, 47200.0, 81500.0,  123000.0, 149000.0, 250000.0, 1.7e308,
};

const std::array<double, 12> PowerPresets = {0.1, 0.25, 0.5, 1, 5, 10, 25, 50, 100, 250, 500, 1000};

const std::array<QString, 4> QslSentNames = {QStringLiteral("Ne"), QStringLiteral("Ano"),
                                             QStringLiteral("Požadován"), QStringLiteral("Neplatný")};
const std::array<QString, 4> QslSentMarks = {QStringLiteral("-"), QStringLiteral("Y"), QStringLiteral("R"),
                                             QStringLiteral("I")};
const std::array<QString, 2> QslRcvdNames = {QStringLiteral("Ne"), QStringLiteral("Ano")};
const std::array<QString, 2> QslRcvdMarks = {QStringLiteral("-"), QStringLiteral("Y")};
const std::array<QString, 2> EQslNames = {QStringLiteral("Ne"), QStringLiteral("Ano")};
const std::array<QString, 2> EQslMarks = {QStringLiteral("-"), QStringLiteral("Y")};

namespace {

// Call signs and mode names are ASCII; other letters are left as they are.
QString asciiUpper(const QString &text)
{
    QString result = text;
    for (QChar &c : result)
        if (c >= u'a' && c <= u'z')
            c = QChar(c.unicode() - (u'a' - u'A'));
    return result;
}

// Two band edges count as equal when they differ only by floating-point noise, so that a
// frequency typed as the edge value always lies in the band.
bool atLeast(double value, double edge)
{
    const double tolerance = std::max(1e-12, std::abs(edge) * 1e-12);
    return value >= edge - tolerance;
}

bool atMost(double value, double edge)
{
    const double tolerance = std::max(1e-12, std::abs(edge) * 1e-12);
    return value <= edge + tolerance;
}

int parseZone(const QString &text, int highest)
{
    int value = -1;
    if (!Formats::tryStrToInt(text, value) || value < 0 || value > highest)
        return -1;
    return value;
}

} // namespace

QString ExtractBaseCall(const QString &call)
{
    const QString upper = asciiUpper(call);
    const QStringList parts = upper.split(u'/');
    switch (parts.size()) {
    case 2: // a portable suffix or a short country prefix: keep the longer part, the first on a tie
        return parts[1].size() > parts[0].size() ? parts[1] : parts[0];
    case 3: // prefix and suffix: keep the middle
        return parts[1];
    default:
        return upper;
    }
}

int GetModeIndexDef(const QString &name, int defaultIndex)
{
    // A ";" inside the name would let the key span two aliases of one row.
    if (name.isEmpty() || name.contains(u';'))
        return defaultIndex;
    const QString key = u';' + asciiUpper(name) + u';';
    for (int i = 0; i < ModeCount; ++i)
        if (ModeAliases[i].contains(key))
            return i;
    return defaultIndex;
}

int GetModeIndex(const QString &name)
{
    return GetModeIndexDef(name, 0);
}

int GetBandIndex(double mhz)
{
    for (int i = 0; i < BandCount; ++i)
        if (atLeast(mhz, BandLow[i]) && atMost(mhz, BandHigh[i]))
            return i;
    return BandOutside; // negative or not a number
}

int StrToITU(const QString &text)
{
    return parseZone(text, 90);
}

int StrToWAZ(const QString &text)
{
    return parseZone(text, 40);
}
