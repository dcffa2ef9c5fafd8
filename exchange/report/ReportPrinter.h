#pragma once
// The printer side of the report engine: the printers the system offers (CUPS, through
// QPrinterInfo) and, last in the list, a PDF file, so that a report can be printed on a
// machine without any printer. It sends a rendered file to the chosen one.

#include <QString>
#include <QStringList>

class QIODevice;
class QPrinter;
class TRenderedReport;

class TRvPrinter
{
public:
    // The name of the PDF-file target in the printer list.
    static QString PdfTargetName();

    TRvPrinter();

    // The system's printers, then the PDF target.
    QStringList PrinterNames() const { return m_names; }
    // The system's default printer, or the PDF target when there is none.
    int CurrentPrinter() const { return m_current; }
    void SetPrinterIndex(int index);
    int PrinterIndex() const { return m_current; }
    bool IsPdfTarget(int index) const { return index == m_names.size() - 1; }

    // Prints the rendered file on the chosen printer; for the PDF target the pages go to
    // pdfFile. Raises EReportError when the file cannot be read or the printer or the PDF
    // file refuses the job.
    void PrintFile(const QString &renderedFile, const QString &pdfFile = QString()) const;

    // The same for a stream of a rendered file.
    void PrintStream(QIODevice &rendered, const QString &pdfFile = QString()) const;

    // Prints a stream of a rendered file on a printer set up by the caller (its resolution,
    // its output); the page size and the full-page drawing are set here.
    static void PrintStreamOn(QIODevice &rendered, QPrinter &printer);

private:
    static void PrintReportOn(const TRenderedReport &report, QPrinter &printer);

    QStringList m_names;
    int m_current = 0;
};
