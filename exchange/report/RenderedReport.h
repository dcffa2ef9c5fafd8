#pragma once
// The rendered file Tisk.rnd: the pages of one report as the writer drew them, kept so
// that the same pages go to the printer and into the preview without rendering again.
//
// Every page is a QPicture in page units of a tenth of a millimetre, with its origin at
// the paper's top-left corner. The file holds a header (a mark, the version, the page
// size in millimetres, the page count) and then each page as a length-prefixed block, so
// that a reader finds any page without decoding the pages before it.

#include <QList>
#include <QPicture>
#include <QSizeF>
#include <QString>

#include <memory>

class QFile;
class QIODevice;
class QPagedPaintDevice;
class QPainter;

namespace RenderedReport
{
// Page units per millimetre.
inline constexpr double UnitsPerMm = 10.0;
} // namespace RenderedReport

// Writes pages into a rendered file as they are finished.
class TRenderedFileWriter
{
public:
    // Creates the file; raises EReportError when it cannot be written.
    TRenderedFileWriter(const QString &fileName, const QSizeF &pageSizeMm);
    ~TRenderedFileWriter();

    void AddPage(const QPicture &page);
    // Completes the header; raises EReportError when the file could not be written.
    void Finish();
    int PageCount() const { return m_pageCount; }

private:
    std::unique_ptr<QFile> m_file;
    QSizeF m_pageSize;
    int m_pageCount = 0;
    bool m_failed = false;
};

// Reads a rendered file from a stream opened for reading; pages are decoded on demand.
class TRenderedReport
{
public:
    // Reads the header and finds the pages; raises EReportError for a stream that is not
    // a complete rendered file.
    explicit TRenderedReport(QIODevice &stream);

    int PageCount() const { return int(m_offsets.size()); }
    QSizeF PageSizeMm() const { return m_pageSize; }
    // Page 1..PageCount(); raises EReportError when the page cannot be read.
    QPicture Page(int page) const;

    // Replays a page onto a painter whose unit is one device pixel of a device with the
    // given resolution (dots per inch), page corner at the painter's origin.
    void PaintPage(int page, QPainter &painter, double dpi) const;

    // Sends every page to a paged device (a printer, a PDF writer) whose painter is already
    // active on it; the device's page size should be set to PageSizeMm() beforehand.
    void PrintTo(QPagedPaintDevice &device, QPainter &painter) const;

private:
    QIODevice &m_stream;
    QSizeF m_pageSize;
    QList<qint64> m_offsets;
};
