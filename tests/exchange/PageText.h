#pragma once
// Reads back what a rendered page says: the page is replayed onto a paint device whose
// engine draws nothing and records every piece of text with the point it was drawn at,
// so that tests check the words on a page rather than its pixels. Also counts the pages
// of a PDF file by its page objects.

#include "report/RenderedReport.h"

#include <QFile>
#include <QPaintDevice>
#include <QPaintEngine>
#include <QPainter>
#include <QPicture>
#include <QRegularExpression>
#include <QTextItem>

#include <algorithm>

struct DrawnText {
    QPointF at; // page units (a tenth of a millimetre)
    QString text;
};

class TextRecordingEngine : public QPaintEngine
{
public:
    TextRecordingEngine() : QPaintEngine(QPaintEngine::AllFeatures) {}
    bool begin(QPaintDevice *) override { return true; }
    bool end() override { return true; }
    void updateState(const QPaintEngineState &) override {}
    void drawPixmap(const QRectF &, const QPixmap &, const QRectF &) override {}
    void drawPolygon(const QPointF *, int, PolygonDrawMode) override {}
    void drawPath(const QPainterPath &) override {}
    void drawTextItem(const QPointF &p, const QTextItem &item) override
    {
        texts.append({painter()->transform().map(p), item.text()});
    }
    Type type() const override { return QPaintEngine::User; }

    QList<DrawnText> texts;
};

// A page-sized device of the given resolution (254 dpi: one pixel per page unit).
class TextRecorder : public QPaintDevice
{
public:
    explicit TextRecorder(int dpi = 254) : m_dpi(dpi) {}
    QPaintEngine *paintEngine() const override { return &m_engine; }
    QList<DrawnText> texts() const { return m_engine.texts; }

protected:
    int metric(PaintDeviceMetric metric) const override
    {
        switch (metric) {
        case PdmWidth:
            return qRound(297 / 25.4 * m_dpi);
        case PdmHeight:
            return qRound(297 / 25.4 * m_dpi);
        case PdmWidthMM:
            return 297;
        case PdmHeightMM:
            return 297;
        case PdmDpiX:
        case PdmDpiY:
        case PdmPhysicalDpiX:
        case PdmPhysicalDpiY:
            return m_dpi;
        case PdmDepth:
            return 32;
        case PdmNumColors:
            return INT_MAX;
        case PdmDevicePixelRatio:
            return 1;
        case PdmDevicePixelRatioScaled:
            return int(QPaintDevice::devicePixelRatioFScale());
        }
        return 0;
    }

private:
    int m_dpi;
    mutable TextRecordingEngine m_engine;
};

// The texts of one page in reading order (top to bottom, then left to right).
inline QList<DrawnText> PageTexts(const QPicture &page)
{
    // At the picture's own resolution the replay keeps the page units.
    TextRecorder recorder(page.logicalDpiX());
    {
        QPainter painter(&recorder);
        painter.drawPicture(0, 0, page);
    }
    QList<DrawnText> texts = recorder.texts();
    std::stable_sort(texts.begin(), texts.end(), [](const DrawnText &a, const DrawnText &b) {
        return qRound(a.at.y()) != qRound(b.at.y()) ? a.at.y() < b.at.y() : a.at.x() < b.at.x();
    });
    return texts;
}

inline QStringList PageWords(const QPicture &page)
{
    QStringList words;
    for (const DrawnText &t : PageTexts(page))
        words << t.text;
    return words;
}

// The pages of a rendered file, each as its texts in reading order.
inline QList<QStringList> RenderedPagesText(const QString &renderedFile)
{
    QList<QStringList> pages;
    QFile file(renderedFile);
    if (!file.open(QIODevice::ReadOnly))
        return pages;
    const TRenderedReport report(file);
    for (int page = 1; page <= report.PageCount(); ++page)
        pages << PageWords(report.Page(page));
    return pages;
}

// The number of page objects in a PDF file (-1 when it cannot be read).
inline int PdfPageCount(const QString &pdfFile)
{
    QFile file(pdfFile);
    if (!file.open(QIODevice::ReadOnly))
        return -1;
    const QByteArray data = file.readAll();
    if (!data.startsWith("%PDF"))
        return -1;
    static const QRegularExpression page(QStringLiteral("/Type\\s*/Page(?!s)"));
    return int(QString::fromLatin1(data).count(page));
}
