#pragma once
// The preview control of the report engine: shows one page of a rendered file at a zoom
// factor, on screen at its real size at 100 per cent. It sizes itself to the page, so
// that a scroll area around it scrolls a page larger than the window.

#include <QWidget>

#include <memory>

class QIODevice;
class TRenderedReport;

class TRvPreview : public QWidget
{
    Q_OBJECT
public:
    static constexpr int ZoomMin = 10;
    static constexpr int ZoomMax = 200;

    explicit TRvPreview(QWidget *parent = nullptr);
    ~TRvPreview() override;

    // Reads the rendered file from the open stream (kept open by the caller while the
    // control shows it) and shows its first page; raises EReportError for a damaged file.
    void RenderStream(QIODevice &stream);

    int PageCount() const;
    int CurrentPage() const { return m_page; }
    // Shows the page (kept within 1..PageCount()) and announces it by pageChange.
    void RenderPage(int page);
    void NextPage() { RenderPage(m_page + 1); }
    void PrevPage() { RenderPage(m_page - 1); }

    int ZoomFactor() const { return m_zoom; }
    // Keeps the factor within ZoomMin..ZoomMax and redraws.
    void SetZoomFactor(int percent);
    int ZoomInc() const { return m_zoomInc; }
    void SetZoomInc(int step) { m_zoomInc = step; }
    void ZoomIn() { SetZoomFactor(m_zoom + m_zoomInc); }
    void ZoomOut() { SetZoomFactor(m_zoom - m_zoomInc); }

    QSize sizeHint() const override;

signals:
    void pageChange();

protected:
    void paintEvent(QPaintEvent *event) override;

private:
    double pixelsPerMm() const;
    void updateSize();

    std::unique_ptr<TRenderedReport> m_report;
    int m_page = 0;
    int m_zoom = 100;
    int m_zoomInc = 25;
};
