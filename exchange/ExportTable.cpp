// The two table writers: semicolon-separated text (CSV) and text in fixed-width columns.
// Both write 25 columns: the log's fields in their order of the log grid's captions plus
// the partner's base call "MCALL" after the call sign.

#include "Export.h"
#include "ExportFile.h"
#include "ExportValues.h"
#include "ExportWalk.h"

#include "Amater.h"
#include "CharSet.h"
#include "Formats.h"

#include <array>

using namespace ExportValues;

namespace
{

constexpr int ColumnCount = 25;
constexpr int RuleWidth = 270;

// The column captions: the log's constant captions, not the operator's column titles.
QStringList captions()
{
    QStringList c;
    for (int f : {fiDAT, fiUTC, fiCALL})
        c << LogFieldCaptions[f];
    c << QStringLiteral("MCALL");
    for (int f : {fiFREQ,  fiBAND,   fiMODE, fiRSTO, fiRSTP, fiNAME, fiQTH,  fiLOCO,  fiLOCP, fiQSLO, fiQSLP,
                  fiEQSLP, fiQSLVIA, fiQRB,  fiPWR,  fiNOTE, fiDXCC, fiIOTA, fiAWARD, fiITU,  fiWAZ})
        c << LogFieldCaptions[f];
    return c;
}

template <size_t N> QString markOf(const std::array<QString, N> &marks, const TLogRecord &r, int field)
{
    const int index = Index(r, field);
    return index >= 0 && index < int(N) ? marks[size_t(index)] : QString();
}

// The value of a float field in one of the two files' forms.
using FloatForm = QString (*)(const TLogRecord &, int);

QString csvFloat(const TLogRecord &r, int field)
{
    return r[field].isNull() ? QString() : Formats::floatToStr(r[field].toDouble());
}

QString txtFreq(const TLogRecord &r, int field)
{
    return Formats::formatFloat(QStringLiteral("0.000"), r[field].toDouble());
}

QString txtQrb(const TLogRecord &r, int field)
{
    return Formats::formatFloat(QStringLiteral("0"), r[field].toDouble());
}

QString txtPwr(const TLogRecord &r, int field)
{
    return Formats::formatFloat(QStringLiteral("0.###"), r[field].toDouble());
}

QString text(const TLogRecord &r, int field)
{
    return r[field].toString();
}

QString integer(const TLogRecord &r, int field)
{
    return QString::fromLatin1(Integer(r, field));
}

// The 25 values of a row, the floats in the file's forms.
std::array<QString, ColumnCount> values(const TLogRecord &r, FloatForm freq, FloatForm qrb, FloatForm pwr)
{
    const QString call = text(r, fiCALL);
    return {r[fiDAT].isNull() ? QString() : Formats::dateToStr(r[fiDAT].toDate()),
            r[fiUTC].isNull() ? QString() : Formats::timeToStr(r[fiUTC].toTime()),
            call,
            ExtractBaseCall(call),
            freq(r, fiFREQ),
            BandName(r),
            ModeName(r),
            text(r, fiRSTO),
            text(r, fiRSTP),
            text(r, fiNAME),
            text(r, fiQTH),
            text(r, fiLOCO),
            text(r, fiLOCP),
            markOf(QslSentMarks, r, fiQSLO),
            markOf(QslRcvdMarks, r, fiQSLP),
            markOf(EQslMarks, r, fiEQSLP),
            text(r, fiQSLVIA),
            qrb(r, fiQRB),
            pwr(r, fiPWR),
            text(r, fiNOTE),
            text(r, fiDXCC),
            text(r, fiIOTA),
            text(r, fiAWARD),
            integer(r, fiITU),
            integer(r, fiWAZ)};
}

// Every value followed by ";", values unquoted (a ";" inside a value stays as it is).
template <typename Values> QByteArray csvLine(const Values &cells)
{
    QString line;
    line.reserve(256);
    for (const QString &cell : cells) {
        line += cell;
        line += u';';
    }
    line += QStringLiteral("\r\n");
    return UnicodeToWin1250(line);
}

// Column widths of the text file: a minimum, filled with blanks on the right (negative)
// or on the left (positive); a longer value is not cut and shifts the rest of its line.
constexpr std::array<int, ColumnCount> CaptionWidths{-10, -8, -15, -15, 10, -6, -6,  -4, -4, -12, -20, -6, -6,
                                                     4,   4,  4,   -15, 5,  7,  -50, -7, -7, -10, -4,  -4};
constexpr std::array<int, ColumnCount> ValueWidths{10, 8,  -15, -15, 10, -6, -6,  -4, -4, -12, -20, -6, -6,
                                                   -4, -4, -4,  -15, 5,  7,  -50, -7, -7, -10, -4,  -4};

// Widths count the bytes written, so the columns line up in the Windows-1250 file.
template <typename Values> QByteArray txtLine(const Values &cells, const std::array<int, ColumnCount> &widths)
{
    QByteArray line;
    line.reserve(300);
    for (int i = 0; i < ColumnCount; ++i) {
        if (i > 0)
            line += ' ';
        const QByteArray value = UnicodeToWin1250(cells[i]);
        const int width = std::abs(widths[size_t(i)]);
        const QByteArray fill(std::max<qsizetype>(0, width - value.size()), ' ');
        if (widths[size_t(i)] > 0)
            line += fill + value;
        else
            line += value + fill;
    }
    line += "\r\n";
    return line;
}

} // namespace

void ExportCSV(LogQuery &query, const QList<TBookmark> &marked, const QString &fileName,
               const TProgressEvent &onProgress)
{
    TExportWalk walk(query, marked);
    TExportFile file(fileName);
    file.Write(csvLine(captions()));
    walk.Run([&](const TLogRecord &r) { file.Write(csvLine(values(r, csvFloat, csvFloat, csvFloat))); },
             onProgress);
    file.Commit();
}

void ExportTXT(LogQuery &query, const QList<TBookmark> &marked, const QString &fileName,
               const TProgressEvent &onProgress)
{
    TExportWalk walk(query, marked);
    TExportFile file(fileName);
    file.Write(txtLine(captions(), CaptionWidths));
    file.Write(QByteArray(RuleWidth, '-') + "\r\n");
    walk.Run(
        [&](const TLogRecord &r) { file.Write(txtLine(values(r, txtFreq, txtQrb, txtPwr), ValueWidths)); },
        onProgress);
    file.Commit();
}
