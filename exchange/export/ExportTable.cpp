// The two table writers: semicolon-separated text (CSV) and text in fixed-width columns.
// Both write 25 columns: the log's fields in their order of the log grid's captions plus
// the partner's base call "MCALL" after the call sign.

#include "export/Export.h"
#include "export/ExportFile.h"
#include "export/ExportValues.h"
#include "export/ExportWalk.h"

#include "radio/Amater.h"
#include "radio/CharSet.h"
#include "base/Formats.h"

#include <algorithm>
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

template <size_t N> QString markOf(const std::array<QString, N> &marks, const TLogRowView &r, int field)
{
    const int index = Index(r, field);
    return index >= 0 && index < int(N) ? marks[size_t(index)] : QString();
}

// Appends the value of a float field in one of the two files' forms.
using FloatForm = void (*)(QByteArray &, const TLogRowView &, int);

void csvFloat(QByteArray &out, const TLogRowView &r, int field)
{
    if (!r.IsNull(field))
        Formats::appendFloatToStr(out, r.Double(field), char(Formats::DecimalSeparator.unicode()));
}

void appendPattern(QByteArray &out, const Formats::FloatPattern &pattern, double value)
{
    Formats::appendFloat(out, pattern, value, char(Formats::DecimalSeparator.unicode()));
}

void txtFreq(QByteArray &out, const TLogRowView &r, int field)
{
    static const Formats::FloatPattern pattern(u"0.000");
    appendPattern(out, pattern, r.Double(field));
}

void txtQrb(QByteArray &out, const TLogRowView &r, int field)
{
    static const Formats::FloatPattern pattern(u"0");
    appendPattern(out, pattern, r.Double(field));
}

void txtPwr(QByteArray &out, const TLogRowView &r, int field)
{
    static const Formats::FloatPattern pattern(u"0.###");
    appendPattern(out, pattern, r.Double(field));
}

// Receives the cells of a line: CSV ends each with ";", the text file pads each to its
// column's width. Each cell's bytes are appended to `out` between Begin and End.
// A CSV cell holding the separator, a quote or a line break goes in quotes, its quotes
// doubled, so that spreadsheets read it as one cell; every other cell stays as it is.
struct CsvCells {
    QByteArray &out;
    qsizetype start = 0;
    void Begin() { start = out.size(); }
    void End()
    {
        const QByteArrayView cell = QByteArrayView(out).sliced(start);
        if (std::any_of(cell.begin(), cell.end(), [](char c) { return c == ';' || c == '"' || c == '\r' || c == '\n'; })) {
            QByteArray quoted = out.sliced(start).replace('"', "\"\"");
            out.truncate(start);
            out += '"';
            out += quoted;
            out += '"';
        }
        out += ';';
    }
    void Finish() { out += "\r\n"; }
};

// Column widths of the text file: a minimum, filled with blanks on the right (negative)
// or on the left (positive); a longer value is not cut and shifts the rest of its line.
// Widths count the bytes written, so the columns line up in the Windows-1250 file.
constexpr std::array<int, ColumnCount> CaptionWidths{-10, -8, -15, -15, 10, -6, -6,  -4, -4, -12, -20, -6, -6,
                                                     4,   4,  4,   -15, 5,  7,  -50, -7, -7, -10, -4,  -4};
constexpr std::array<int, ColumnCount> ValueWidths{10, 8,  -15, -15, 10, -6, -6,  -4, -4, -12, -20, -6, -6,
                                                   -4, -4, -4,  -15, 5,  7,  -50, -7, -7, -10, -4,  -4};

struct TxtCells {
    QByteArray &out;
    const std::array<int, ColumnCount> &widths;
    int column = 0;
    qsizetype start = 0;

    void Begin()
    {
        if (column > 0)
            out += ' ';
        start = out.size();
    }
    void End()
    {
        const int width = widths[size_t(column++)];
        const qsizetype fill = std::abs(width) - (out.size() - start);
        if (fill <= 0)
            return;
        if (width > 0)
            out.insert(start, fill, ' ');
        else
            out.append(fill, ' ');
    }
    void Finish() { out += "\r\n"; }
};

template <typename Cells> void textCell(Cells &cells, const QString &text)
{
    cells.Begin();
    AppendText(cells.out, text);
    cells.End();
}

template <typename Cells> void bytesCell(Cells &cells, QByteArrayView bytes)
{
    cells.Begin();
    cells.out.append(bytes);
    cells.End();
}

template <typename Cells> void fieldCell(Cells &cells, const TLogRowView &r, int field)
{
    cells.Begin();
    AppendText(cells.out, r, field);
    cells.End();
}

template <typename Cells> void floatCell(Cells &cells, FloatForm form, const TLogRowView &r, int field)
{
    cells.Begin();
    form(cells.out, r, field);
    cells.End();
}

template <typename Cells> void captionLine(Cells &cells)
{
    for (const QString &caption : captions())
        textCell(cells, caption);
    cells.Finish();
}

// The 25 cells of a row, the floats in the file's forms.
template <typename Cells>
void valueLine(Cells &cells, const TLogRowView &r, FloatForm freq, FloatForm qrb, FloatForm pwr)
{
    const auto text = [&](int field) { fieldCell(cells, r, field); };
    cells.Begin();
    AppendDate(cells.out, r.Date(fiDAT), true);
    cells.End();
    cells.Begin();
    AppendTime(cells.out, r.Time(fiUTC), true);
    cells.End();
    text(fiCALL);
    cells.Begin();
    AppendBaseCall(cells.out, r, fiCALL);
    cells.End();
    floatCell(cells, freq, r, fiFREQ);
    bytesCell(cells, BandNameText(r));
    bytesCell(cells, ModeNameText(r));
    for (int field : {fiRSTO, fiRSTP, fiNAME, fiQTH, fiLOCO, fiLOCP})
        text(field);
    textCell(cells, markOf(QslSentMarks, r, fiQSLO));
    textCell(cells, markOf(QslRcvdMarks, r, fiQSLP));
    textCell(cells, markOf(EQslMarks, r, fiEQSLP));
    text(fiQSLVIA);
    floatCell(cells, qrb, r, fiQRB);
    floatCell(cells, pwr, r, fiPWR);
    for (int field : {fiNOTE, fiDXCC, fiIOTA, fiAWARD})
        text(field);
    for (int field : {fiITU, fiWAZ}) {
        cells.Begin();
        AppendInteger(cells.out, r, field);
        cells.End();
    }
    cells.Finish();
}

} // namespace

void ExportCSV(LogQuery &query, const QList<TBookmark> &marked, const QString &fileName,
               const TProgressEvent &onProgress)
{
    TExportWalk walk(query, marked);
    TExportFile file(fileName);
    CsvCells captions{file.Buffer()};
    captionLine(captions);
    walk.Run(
        [&](const TLogRowView &r) {
            CsvCells cells{file.Buffer()};
            valueLine(cells, r, csvFloat, csvFloat, csvFloat);
            file.Written();
        },
        onProgress);
    file.Commit();
}

void ExportTXT(LogQuery &query, const QList<TBookmark> &marked, const QString &fileName,
               const TProgressEvent &onProgress)
{
    TExportWalk walk(query, marked);
    TExportFile file(fileName);
    TxtCells captions{file.Buffer(), CaptionWidths};
    captionLine(captions);
    file.Write(QByteArray(RuleWidth, '-') + "\r\n");
    walk.Run(
        [&](const TLogRowView &r) {
            TxtCells cells{file.Buffer(), ValueWidths};
            valueLine(cells, r, txtFreq, txtQrb, txtPwr);
            file.Written();
        },
        onProgress);
    file.Commit();
}
