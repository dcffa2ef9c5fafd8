#include "report/ReportWriter.h"

#include "report/RenderedReport.h"
#include "report/ReportError.h"
#include "report/ReportLayouts.h"

#include <QCoreApplication>
#include <QFile>
#include <QPainter>
#include <QPicture>

#include <optional>

namespace
{

// Records each page as a picture and passes the finished ones to the file.
class PictureSequence : public TPageSequence
{
public:
    PictureSequence(TRenderedFileWriter &file, const TReportDefinition &report, const TRvWriter &writer,
                    const TRvWriter::StatusHandler &status)
        : m_file(file), m_report(report), m_writer(writer), m_status(status)
    {
    }

    QPainter *NewPage() override
    {
        Finish();
        if (m_writer.Aborted())
            return nullptr;
        if (m_status)
            m_status(QString(m_writer.StatusFormat())
                         .replace(QLatin1String("%p"), QString::number(m_file.PageCount() + 1)));
        m_picture.emplace();
        const QSizeF size = m_report.pageSize * RenderedReport::UnitsPerMm;
        m_picture->setBoundingRect(QRect(0, 0, qRound(size.width()), qRound(size.height())));
        m_painter.emplace(&*m_picture);
        m_painter->setRenderHint(QPainter::Antialiasing, false);
        return &*m_painter;
    }

    // Closes the page being drawn and lets the event loop run (the cancel button).
    void Finish()
    {
        if (!m_painter)
            return;
        m_painter->end();
        m_painter.reset();
        m_file.AddPage(*m_picture);
        m_picture.reset();
        QCoreApplication::processEvents();
    }

private:
    TRenderedFileWriter &m_file;
    const TReportDefinition &m_report;
    const TRvWriter &m_writer;
    const TRvWriter::StatusHandler &m_status;
    std::optional<QPicture> m_picture;
    std::optional<QPainter> m_painter;
};

} // namespace

bool TRvWriter::Execute(const TReportDefinition &report, TReportRows *rows)
{
    m_pageCount = 0;
    {
        TRenderedFileWriter file(m_outputFile, report.pageSize);
        PictureSequence pages(file, report, *this, m_status);
        if (report.kind == TReportDefinition::Log)
            RenderLogReport(report, m_parameters, rows, pages);
        else
            RenderLabelReport(report, m_parameters, rows, pages);
        pages.Finish();
        file.Finish();
        m_pageCount = file.PageCount();
    }
    if (m_aborted) {
        QFile::remove(m_outputFile);
        m_pageCount = 0;
    }
    return !m_aborted;
}
