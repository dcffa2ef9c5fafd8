#include "report/ReportPreview.h"

#include "report/RenderedReport.h"

#include <QPaintEvent>
#include <QPainter>

namespace
{
constexpr int PageFrame = 12; // free space around the page, in pixels
}

TRvPreview::TRvPreview(QWidget *parent) : QWidget(parent)
{
    setObjectName(QStringLiteral("RvPreview"));
    setAttribute(Qt::WA_OpaquePaintEvent, false);
}

TRvPreview::~TRvPreview() = default;

void TRvPreview::RenderStream(QIODevice &stream)
{
    m_report = std::make_unique<TRenderedReport>(stream);
    m_page = 0;
    updateSize();
    RenderPage(1);
}

int TRvPreview::PageCount() const
{
    return m_report ? m_report->PageCount() : 0;
}

void TRvPreview::RenderPage(int page)
{
    if (PageCount() == 0)
        return;
    m_page = qBound(1, page, PageCount());
    update();
    emit pageChange();
}

void TRvPreview::SetZoomFactor(int percent)
{
    m_zoom = qBound(ZoomMin, percent, ZoomMax);
    updateSize();
    update();
}

double TRvPreview::pixelsPerMm() const
{
    return logicalDpiX() / 25.4 * m_zoom / 100.0;
}

QSize TRvPreview::sizeHint() const
{
    if (!m_report)
        return QSize(2 * PageFrame, 2 * PageFrame);
    const QSizeF page = m_report->PageSizeMm() * pixelsPerMm();
    return QSize(qCeil(page.width()) + 2 * PageFrame, qCeil(page.height()) + 2 * PageFrame);
}

void TRvPreview::updateSize()
{
    resize(sizeHint());
}

void TRvPreview::paintEvent(QPaintEvent *event)
{
    QPainter painter(this);
    painter.fillRect(event->rect(), palette().color(QPalette::Dark));
    if (!m_report || m_page < 1)
        return;
    const QSizeF page = m_report->PageSizeMm() * pixelsPerMm();
    const QRectF paper(PageFrame, PageFrame, page.width(), page.height());
    painter.fillRect(paper, Qt::white);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setRenderHint(QPainter::TextAntialiasing);
    painter.setClipRect(paper);
    painter.translate(paper.topLeft());
    m_report->PaintPage(m_page, painter, logicalDpiX() * m_zoom / 100.0);
}
