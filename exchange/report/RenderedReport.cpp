#include "report/RenderedReport.h"

#include "report/ReportError.h"

#include <QDataStream>
#include <QFile>
#include <QFileInfo>
#include <QPagedPaintDevice>
#include <QPainter>

namespace
{

constexpr quint32 Magic = 0x564B524E; // "VKRN"
constexpr quint32 Version = 1;
constexpr double UnitsPerInch = 25.4 * RenderedReport::UnitsPerMm;
// The page count's place in the header: after the mark, the version and two doubles.
constexpr qint64 CountOffset = 4 + 4 + 8 + 8;
constexpr qint64 HeaderSize = CountOffset + 4;

[[noreturn]] void badFile()
{
    throw EReportError(QStringLiteral("Soubor vytvořené sestavy je poškozený!"));
}

} // namespace

TRenderedFileWriter::TRenderedFileWriter(const QString &fileName, const QSizeF &pageSizeMm)
    : m_file(std::make_unique<QFile>(fileName)), m_pageSize(pageSizeMm)
{
    if (!m_file->open(QIODevice::WriteOnly | QIODevice::Truncate))
        throw EReportError(
            QStringLiteral("Soubor \"%1\" nelze vytvořit!\n%2").arg(fileName, m_file->errorString()));
    QDataStream out(m_file.get());
    out << Magic << Version << m_pageSize.width() << m_pageSize.height() << qint32(0);
}

TRenderedFileWriter::~TRenderedFileWriter() = default;

void TRenderedFileWriter::AddPage(const QPicture &page)
{
    QDataStream out(m_file.get());
    out << QByteArray::fromRawData(page.data(), int(page.size()));
    m_failed = m_failed || out.status() != QDataStream::Ok;
    ++m_pageCount;
}

void TRenderedFileWriter::Finish()
{
    QDataStream out(m_file.get());
    if (!m_failed && m_file->seek(CountOffset))
        out << qint32(m_pageCount);
    m_failed = m_failed || out.status() != QDataStream::Ok || !m_file->flush();
    m_file->close();
    if (m_failed)
        throw EReportError(QStringLiteral("Soubor \"%1\" nelze zapsat!").arg(m_file->fileName()));
}

TRenderedReport::TRenderedReport(QIODevice &stream) : m_stream(stream)
{
    if (!m_stream.seek(0))
        badFile();
    QDataStream in(&m_stream);
    quint32 magic = 0, version = 0;
    double width = 0, height = 0;
    qint32 count = 0;
    in >> magic >> version >> width >> height >> count;
    if (in.status() != QDataStream::Ok || magic != Magic || version != Version || count < 0 || width <= 0 ||
        height <= 0)
        badFile();
    m_pageSize = QSizeF(width, height);
    qint64 offset = HeaderSize;
    const qint64 size = m_stream.size();
    for (qint32 i = 0; i < count; ++i) {
        // Each page: a 32-bit length and that many bytes.
        if (offset + 4 > size || !m_stream.seek(offset))
            badFile();
        quint32 length = 0;
        in >> length;
        if (length == 0xFFFFFFFFu) // a null block
            length = 0;
        if (in.status() != QDataStream::Ok || offset + 4 + qint64(length) > size)
            badFile();
        m_offsets << offset;
        offset += 4 + qint64(length);
    }
}

QPicture TRenderedReport::Page(int page) const
{
    if (page < 1 || page > PageCount() || !m_stream.seek(m_offsets[page - 1]))
        badFile();
    QDataStream in(&m_stream);
    QByteArray data;
    in >> data;
    if (in.status() != QDataStream::Ok)
        badFile();
    QPicture picture;
    picture.setData(data.constData(), uint(data.size()));
    return picture;
}

void TRenderedReport::PaintPage(int page, QPainter &painter, double dpi) const
{
    const QPicture picture = Page(page);
    painter.save();
    // A page records only the state it changed; what it left at its defaults must be the
    // defaults here too, whatever the target painter held (a widget's palette colours).
    painter.setPen(Qt::black);
    painter.setBrush(Qt::NoBrush);
    painter.setBackgroundMode(Qt::TransparentMode);
    // Replaying a picture scales it by itself from the resolution it was recorded at (the
    // screen's) to that of the painter's device; the page units are then mapped onto the
    // wanted resolution from the recorded one, so that the page lands the same on the
    // screen, a PDF file and a printer of any resolution.
    const QPaintDevice *device = painter.device();
    const double replayedX = device ? double(device->logicalDpiX()) / picture.logicalDpiX() : 1.0;
    const double replayedY = device ? double(device->logicalDpiY()) / picture.logicalDpiY() : 1.0;
    painter.scale(dpi / UnitsPerInch / replayedX, dpi / UnitsPerInch / replayedY);
    painter.drawPicture(0, 0, picture);
    painter.restore();
}

void TRenderedReport::PrintTo(QPagedPaintDevice &device, QPainter &painter) const
{
    for (int page = 1; page <= PageCount(); ++page) {
        if (page > 1 && !device.newPage())
            throw EReportError(QStringLiteral("Tiskárna odmítla další stranu."));
        PaintPage(page, painter, device.logicalDpiX());
    }
}
