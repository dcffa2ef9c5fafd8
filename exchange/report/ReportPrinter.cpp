#include "report/ReportPrinter.h"

#include "report/RenderedReport.h"
#include "report/ReportError.h"

#include <QFile>
#include <QFileInfo>
#include <QPageLayout>
#include <QPainter>
#include <QPdfWriter>
#include <QPrinter>
#include <QPrinterInfo>

namespace
{

QPageLayout pageLayoutFor(const TRenderedReport &report)
{
    // A page wider than high is the paper of its upright size turned, which is how
    // printers know the sheets they hold.
    const QSizeF size = report.PageSizeMm();
    const bool landscape = size.width() > size.height();
    const QPageSize pageSize(landscape ? size.transposed() : size, QPageSize::Millimeter);
    return QPageLayout(pageSize, landscape ? QPageLayout::Landscape : QPageLayout::Portrait,
                       QMarginsF(0, 0, 0, 0), QPageLayout::Millimeter);
}

void printOn(QPagedPaintDevice &device, const TRenderedReport &report, const QString &target)
{
    QPainter painter;
    if (!painter.begin(&device))
        throw EReportError(QStringLiteral("Tisk na \"%1\" nelze zahájit!").arg(target));
    report.PrintTo(device, painter);
    if (!painter.end())
        throw EReportError(QStringLiteral("Tisk na \"%1\" se nepodařilo dokončit!").arg(target));
}

} // namespace

QString TRvPrinter::PdfTargetName()
{
    return QStringLiteral("Soubor PDF");
}

TRvPrinter::TRvPrinter()
{
    m_names = QPrinterInfo::availablePrinterNames();
    const QString defaultName = QPrinterInfo::defaultPrinterName();
    m_names << PdfTargetName();
    m_current = defaultName.isEmpty() ? int(m_names.size()) - 1 : qMax(0, int(m_names.indexOf(defaultName)));
}

void TRvPrinter::SetPrinterIndex(int index)
{
    if (index >= 0 && index < m_names.size())
        m_current = index;
}

void TRvPrinter::PrintFile(const QString &renderedFile, const QString &pdfFile) const
{
    QFile file(renderedFile);
    if (!file.open(QIODevice::ReadOnly))
        throw EReportError(QStringLiteral("Soubor \"%1\" nelze otevřít!").arg(renderedFile));
    PrintStream(file, pdfFile);
}

void TRvPrinter::PrintStream(QIODevice &rendered, const QString &pdfFile) const
{
    const TRenderedReport report(rendered);
    if (IsPdfTarget(m_current)) {
        if (pdfFile.isEmpty())
            throw EReportError(QStringLiteral("Není zadán soubor PDF!"));
        // The writer is told of a file it cannot create only when painting begins, and
        // would then leave nothing behind; checking first gives the reason.
        QFile probe(pdfFile);
        if (!probe.open(QIODevice::WriteOnly))
            throw EReportError(
                QStringLiteral("Soubor \"%1\" nelze zapsat!\n%2").arg(pdfFile, probe.errorString()));
        probe.close();
        QPdfWriter writer(pdfFile);
        writer.setCreator(QStringLiteral("Velkor"));
        writer.setPageLayout(pageLayoutFor(report));
        printOn(writer, report, pdfFile);
        // Only a file with the pages in it counts as printed (the QSL marks follow it).
        if (QFileInfo(pdfFile).size() == 0)
            throw EReportError(QStringLiteral("Soubor \"%1\" nelze zapsat!").arg(pdfFile));
        return;
    }
    QPrinter printer(QPrinter::HighResolution);
    printer.setPrinterName(m_names.value(m_current));
    if (!printer.isValid())
        throw EReportError(QStringLiteral("Tiskárna \"%1\" není dostupná!").arg(printer.printerName()));
    PrintReportOn(report, printer);
}

void TRvPrinter::PrintStreamOn(QIODevice &rendered, QPrinter &printer)
{
    PrintReportOn(TRenderedReport(rendered), printer);
}

void TRvPrinter::PrintReportOn(const TRenderedReport &report, QPrinter &printer)
{
    // The pages are drawn from the paper's corner, as the layouts measure them.
    printer.setFullPage(true);
    printer.setPageLayout(pageLayoutFor(report));
    printer.setDocName(QStringLiteral("Velkor"));
    const QString target = printer.outputFileName().isEmpty() ? printer.printerName() : printer.outputFileName();
    printOn(printer, report, target);
}
