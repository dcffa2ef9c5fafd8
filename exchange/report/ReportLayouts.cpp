#include "report/ReportLayouts.h"

#include "radio/Amater.h"
#include "base/Formats.h"
#include "log/LogRecord.h"
#include "report/PrintQuery.h"
#include "report/RenderedReport.h"

#include <QFontMetricsF>
#include <QPainter>
#include <QTextLayout>

#include <vector>

namespace
{

constexpr double U = RenderedReport::UnitsPerMm;

QFont reportFont(const TReportDefinition &report, double scale = 1.0, bool bold = false)
{
    QFont font(report.fontName);
    // Pixel sizes in page units keep the text the same size on every device.
    font.setPixelSize(qMax(1, qRound(report.fontSize * scale * 25.4 / 72.0 * U)));
    font.setBold(bold);
    // Unhinted advances are those of the printed glyphs, so text measured here while
    // recording takes the same room on paper.
    font.setHintingPreference(QFont::PreferNoHinting);
    return font;
}

// Draws text on a baseline within [left, left + width), aligned, cut with "…" when it
// does not fit. Point-placed text is several times faster to record than text laid out
// in a rectangle, which matters for logs of many thousand QSOs.
void drawCell(QPainter &painter, const QFontMetricsF &metrics, double left, double width, double baseline,
              const QString &text, Qt::Alignment alignment)
{
    if (text.isEmpty())
        return;
    double advance = metrics.horizontalAdvance(text);
    QString shown = text;
    if (advance > width) {
        shown = metrics.elidedText(text, Qt::ElideRight, width);
        advance = metrics.horizontalAdvance(shown);
    }
    double x = left;
    if (alignment & Qt::AlignRight)
        x = left + width - advance;
    else if (alignment & Qt::AlignHCenter)
        x = left + (width - advance) / 2;
    painter.drawText(QPointF(x, baseline), shown);
}

// One line of a cell's text and the room it takes.
struct CellLine {
    QString text;
    double advance;
};

// A value broken into the lines that fit a cell's width: at word boundaries where it
// can, inside a word wider than the cell where it must, so that none of it is lost.
void fitLines(const QFont &font, const QFontMetricsF &metrics, double width, const QString &text,
              std::vector<CellLine> &lines)
{
    lines.clear();
    if (text.isEmpty())
        return;
    const double advance = metrics.horizontalAdvance(text);
    if (advance <= width) {
        lines.push_back({text, advance});
        return;
    }
    QTextLayout layout(text, font);
    QTextOption option;
    option.setWrapMode(QTextOption::WrapAtWordBoundaryOrAnywhere);
    layout.setTextOption(option);
    layout.beginLayout();
    for (QTextLine line = layout.createLine(); line.isValid(); line = layout.createLine()) {
        line.setLineWidth(qMax(width, 1.0));
        const QString piece = text.mid(line.textStart(), line.textLength()).trimmed();
        if (!piece.isEmpty())
            lines.push_back({piece, metrics.horizontalAdvance(piece)});
    }
    layout.endLayout();
}

QString indexedName(const QVariant &value, const auto &names)
{
    if (value.isNull())
        return QString();
    const int index = value.toInt();
    return index >= 0 && index < int(names.size()) ? names[index] : QString::number(index);
}

// --- the log ----------------------------------------------------------------------------

class LogPage
{
public:
    // A QSO's cells as they are printed, and the height of its row.
    struct Row {
        std::vector<std::vector<CellLine>> cells;
        double height = 0;
    };

    LogPage(const TReportDefinition &report, const TReportParameters &parameters)
        : m_report(report), m_parameters(parameters), m_font(reportFont(report)),
          m_bold(reportFont(report, 1.0, true)), m_title(reportFont(report, 1.5, true)), m_metrics(m_font),
          m_boldMetrics(m_bold), m_titleMetrics(m_title)
    {
        m_left = report.margins.left() * U;
        m_width = (report.pageSize.width() - report.margins.left() - report.margins.right()) * U;
        m_lineHeight = m_metrics.height();
        m_rowHeight = m_lineHeight * 1.35;
        m_padding = 0.8 * U;
        const double top = report.margins.top() * U;
        m_titleBaseline = top + m_titleMetrics.ascent();
        m_captionTop = top + m_titleMetrics.height() + 2.5 * U;
        m_firstRowTop = m_captionTop + m_rowHeight * 1.2;
        m_bottom = (report.pageSize.height() - report.margins.bottom()) * U;
    }

    double FirstRowTop() const { return m_firstRowTop; }
    double Bottom() const { return m_bottom; }

    void DrawHeading(QPainter &painter, int page) const
    {
        painter.setPen(Qt::black);
        painter.setFont(m_title);
        drawCell(painter, m_titleMetrics, m_left, m_width, m_titleBaseline,
                 QStringLiteral("Deník stanice %1").arg(m_parameters.value(QStringLiteral("Znacka"))),
                 Qt::AlignLeft);
        painter.setFont(m_font);
        const double baseline = m_titleBaseline;
        drawCell(painter, m_metrics, m_left, m_width, baseline,
                 QStringLiteral("Velkor %1").arg(m_parameters.value(QStringLiteral("Verze"))),
                 Qt::AlignHCenter);
        drawCell(painter, m_metrics, m_left, m_width, baseline, QStringLiteral("Strana %1").arg(page),
                 Qt::AlignRight);
        painter.setFont(m_bold);
        const double captionBaseline =
            m_captionTop + (m_rowHeight + m_boldMetrics.ascent() - m_boldMetrics.descent()) / 2;
        double x = m_left;
        for (const TReportColumn &column : m_report.columns) {
            const double width = column.width * U;
            drawCell(painter, m_boldMetrics, x + m_padding, width - 2 * m_padding, captionBaseline,
                     column.caption, column.alignment);
            x += width;
        }
        painter.setPen(QPen(Qt::black, 0.25 * U));
        painter.drawLine(QPointF(m_left, m_captionTop), QPointF(m_left + m_width, m_captionTop));
        const double line = m_captionTop + m_rowHeight * 1.1;
        painter.drawLine(QPointF(m_left, line), QPointF(m_left + m_width, line));
        painter.setPen(Qt::black);
        painter.setFont(m_font);
    }

    // Breaks the QSO's values into the lines of their cells; the row is as high as its
    // fullest cell.
    void Fit(const TLogRecord &record, Row &row) const
    {
        row.cells.resize(m_report.columns.size());
        std::size_t lines = 1;
        for (std::size_t i = 0; i < row.cells.size(); ++i) {
            const TReportColumn &column = m_report.columns[qsizetype(i)];
            fitLines(m_font, m_metrics, column.width * U - 2 * m_padding, PrintedValue(record, column.field),
                     row.cells[i]);
            lines = std::max(lines, row.cells[i].size());
        }
        row.height = m_rowHeight + double(lines - 1) * m_lineHeight;
    }

    void DrawRow(QPainter &painter, double top, bool shaded, const Row &row) const
    {
        if (shaded) // every other row, so the eye keeps the line
            painter.fillRect(QRectF(m_left, top, m_width, row.height), QColor(235, 235, 235));
        const double firstBaseline = top + (m_rowHeight + m_metrics.ascent() - m_metrics.descent()) / 2;
        double x = m_left;
        for (std::size_t i = 0; i < row.cells.size(); ++i) {
            const TReportColumn &column = m_report.columns[qsizetype(i)];
            const double width = column.width * U - 2 * m_padding;
            double baseline = firstBaseline;
            for (const CellLine &line : row.cells[i]) {
                double at = x + m_padding;
                if (column.alignment & Qt::AlignRight)
                    at += width - line.advance;
                else if (column.alignment & Qt::AlignHCenter)
                    at += (width - line.advance) / 2;
                painter.drawText(QPointF(at, baseline), line.text);
                baseline += m_lineHeight;
            }
            x += column.width * U;
        }
    }

private:
    const TReportDefinition &m_report;
    const TReportParameters &m_parameters;
    QFont m_font, m_bold, m_title;
    QFontMetricsF m_metrics, m_boldMetrics, m_titleMetrics;
    double m_left, m_width, m_lineHeight, m_rowHeight, m_padding;
    double m_titleBaseline, m_captionTop, m_firstRowTop, m_bottom;
};

// --- the labels -------------------------------------------------------------------------

class Label
{
public:
    Label(const TReportDefinition &report, const TReportParameters &parameters)
        : m_report(report), m_note(parameters.value(QStringLiteral("Poznamka"))),
          m_signature(QStringLiteral("73 de %1").arg(parameters.value(QStringLiteral("Znacka")))),
          m_font(reportFont(report)), m_bold(reportFont(report, 1.0, true)), m_small(reportFont(report, 0.8)),
          m_call(reportFont(report, 1.6, true)), m_metrics(m_font), m_boldMetrics(m_bold),
          m_smallMetrics(m_small), m_callMetrics(m_call)
    {
    }

    // The label at `slot` (row by row) of a sheet.
    QRectF InnerRect(int slot) const
    {
        const int column = slot % m_report.labelColumns;
        const int row = slot / m_report.labelColumns;
        const QSizeF size = m_report.labelSize;
        const double x = m_report.margins.left() + column * (size.width() + m_report.gap.width());
        const double y = m_report.margins.top() + row * (size.height() + m_report.gap.height());
        const double p = m_report.padding;
        return QRectF(x + p, y + p, size.width() - 2 * p, size.height() - 2 * p);
    }

    void Draw(QPainter &painter, int slot, const TLogRecord &r) const
    {
        const QRectF mm = InnerRect(slot);
        const QRectF box(mm.left() * U, mm.top() * U, mm.width() * U, mm.height() * U);
        painter.setPen(Qt::black);

        // To whom, and through which manager.
        const double callBaseline = box.top() + m_callMetrics.ascent();
        painter.setFont(m_small);
        const QString to = QStringLiteral("To Radio ");
        drawCell(painter, m_smallMetrics, box.left(), box.width(), callBaseline, to, Qt::AlignLeft);
        const double callLeft = box.left() + m_smallMetrics.horizontalAdvance(to);
        const QString via = PrintedValue(r, fiQSLVIA);
        const QString viaText = via.isEmpty() ? QString() : QStringLiteral("via ") + via;
        // The manager keeps its place at the right; a long call gives way to it.
        const double viaWidth = viaText.isEmpty() ? 0.0 : m_boldMetrics.horizontalAdvance(viaText) + 1.5 * U;
        painter.setFont(m_call);
        drawCell(painter, m_callMetrics, callLeft, box.right() - callLeft - viaWidth, callBaseline,
                 PrintedValue(r, fiCALL), Qt::AlignLeft);
        if (!viaText.isEmpty()) {
            painter.setFont(m_bold);
            drawCell(painter, m_boldMetrics, box.left(), box.width(), callBaseline, viaText, Qt::AlignRight);
        }

        // The QSO: captions over values in five columns.
        // Shares sized for the longest of each: a date, a time, a band, every mode name
        // (CHIP128 the widest), a report of three characters.
        static const double shares[] = {0.29, 0.15, 0.21, 0.23, 0.12};
        const QStringList captions{QStringLiteral("Date"), QStringLiteral("UTC"), QStringLiteral("Band"),
                                   QStringLiteral("Mode"), QStringLiteral("RST")};
        const QStringList values{PrintedValue(r, fiDAT), PrintedValue(r, fiUTC), bandOrFrequency(r),
                                 PrintedValue(r, fiMODE), PrintedValue(r, fiRSTO)};
        const double captionTop = box.top() + m_callMetrics.height() + box.height() * 0.06;
        const double captionBaseline = captionTop + m_smallMetrics.ascent();
        const double valueBaseline =
            captionBaseline + m_smallMetrics.descent() + m_boldMetrics.ascent() + 0.6 * U;
        painter.setPen(QPen(Qt::black, 0.15 * U));
        painter.drawRect(QRectF(box.left(), captionTop - 0.3 * U, box.width(),
                                valueBaseline + m_boldMetrics.descent() + 0.6 * U - captionTop));
        painter.drawLine(QPointF(box.left(), captionBaseline + m_smallMetrics.descent() + 0.2 * U),
                         QPointF(box.right(), captionBaseline + m_smallMetrics.descent() + 0.2 * U));
        double x = box.left();
        for (int i = 0; i < 5; ++i) {
            const double width = box.width() * shares[i];
            painter.setFont(m_small);
            drawCell(painter, m_smallMetrics, x, width, captionBaseline, captions[i], Qt::AlignHCenter);
            drawShrunk(painter, m_font, x + 0.5 * U, width - 1.0 * U, valueBaseline, values[i]);
            x += width;
        }

        // The note, then the signature at the bottom.
        painter.setFont(m_font);
        const double signatureBaseline = box.bottom() - m_metrics.descent();
        const double noteBaseline = valueBaseline + m_boldMetrics.descent() + 1.0 * U + m_metrics.ascent();
        if (noteBaseline < signatureBaseline - m_metrics.height() * 0.8)
            drawCell(painter, m_metrics, box.left(), box.width(), noteBaseline, m_note, Qt::AlignLeft);
        else // a low label: note and signature share the last line
            drawCell(painter, m_metrics, box.left(), box.width() * 0.6, signatureBaseline, m_note,
                     Qt::AlignLeft);
        painter.setFont(m_bold);
        drawCell(painter, m_boldMetrics, box.left(), box.width(), signatureBaseline, m_signature,
                 Qt::AlignRight);
    }

private:
    // A value too wide for its box is set smaller, down to a limit, before anything of it
    // is cut: a frequency in place of the band, a report longer than usual.
    static void drawShrunk(QPainter &painter, const QFont &font, double left, double width, double baseline,
                           const QString &text)
    {
        QFont shrunk = font;
        const double advance = QFontMetricsF(font).horizontalAdvance(text);
        if (advance > width)
            shrunk.setPixelSize(qMax(1, int(font.pixelSize() * qMax(0.6, width / advance))));
        painter.setFont(shrunk);
        drawCell(painter, QFontMetricsF(shrunk), left, width, baseline, text, Qt::AlignHCenter);
    }

    static QString bandOrFrequency(const TLogRecord &r)
    {
        const QVariant band = r[fiBAND];
        if (!band.isNull() && band.toInt() >= 0 && band.toInt() < BandOutside)
            return BandNames[band.toInt()];
        const QString mhz = PrintedValue(r, fiFREQ);
        return mhz.isEmpty() ? QString() : mhz + QStringLiteral(" MHz");
    }

    const TReportDefinition &m_report;
    QString m_note, m_signature;
    QFont m_font, m_bold, m_small, m_call;
    QFontMetricsF m_metrics, m_boldMetrics, m_smallMetrics, m_callMetrics;
};

} // namespace

QString PrintedValue(const TLogRecord &record, int field)
{
    const QVariant &value = record[field];
    switch (field) {
    case fiUTC:
        return value.isNull() ? QString() : value.toTime().toString(QStringLiteral("hh:mm"));
    case fiBAND:
        return indexedName(value, BandNames);
    case fiMODE:
        return indexedName(value, ModeNames);
    case fiQSLO:
        return indexedName(value, QslSentMarks);
    case fiQSLP:
        return indexedName(value, QslRcvdMarks);
    case fiEQSLP:
        return indexedName(value, EQslMarks);
    default:
        return LogValueAsString(field, value);
    }
}

void RenderLogReport(const TReportDefinition &report, const TReportParameters &parameters, TReportRows *rows,
                     TPageSequence &pages)
{
    const LogPage layout(report, parameters);
    TLogRecord record;
    LogPage::Row row;
    bool more = rows && rows->Next(record);
    if (more)
        layout.Fit(record, row);
    int page = 0;
    do {
        QPainter *painter = pages.NewPage();
        if (!painter)
            return;
        layout.DrawHeading(*painter, ++page);
        double top = layout.FirstRowTop();
        // A page takes rows while they fit; the first always goes, however high it is.
        for (int onPage = 0; more && (onPage == 0 || top + row.height <= layout.Bottom()); ++onPage) {
            layout.DrawRow(*painter, top, onPage % 2 == 1, row);
            top += row.height;
            more = rows->Next(record);
            if (more)
                layout.Fit(record, row);
        }
    } while (more);
}

void RenderLabelReport(const TReportDefinition &report, const TReportParameters &parameters,
                       TReportRows *rows, TPageSequence &pages)
{
    const Label label(report, parameters);
    TLogRecord record;
    bool more = rows && rows->Next(record);
    do {
        QPainter *painter = pages.NewPage();
        if (!painter)
            return;
        for (int slot = 0; more && slot < report.LabelsPerPage(); ++slot) {
            label.Draw(*painter, slot, record);
            more = rows->Next(record);
        }
    } while (more);
}
