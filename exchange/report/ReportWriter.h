#pragma once
// The writer of the report engine: renders one report of the project, with its named
// parameters, from the rows of a query into the rendered file Tisk.rnd. While it renders
// it reports "Generuji stranu %p" for every page and lets the event loop run after each
// page, so that a "Zrušit" button can reach Abort.

#include "report/ReportProject.h"

#include <QMap>
#include <QString>

#include <functional>

class TReportRows;

class TRvWriter
{
public:
    using StatusHandler = std::function<void(const QString &status)>;

    void SetOutputFile(const QString &fileName) { m_outputFile = fileName; }
    QString OutputFile() const { return m_outputFile; }
    // "%p" in the format is replaced by the number of the page being rendered.
    void SetStatusFormat(const QString &format) { m_statusFormat = format; }
    QString StatusFormat() const { return m_statusFormat; }
    void SetStatusHandler(StatusHandler handler) { m_status = std::move(handler); }

    void SetParameter(const QString &name, const QString &value) { m_parameters[name] = value; }
    QString Parameter(const QString &name) const { return m_parameters.value(name); }

    // Renders the report into the output file; false when aborted, after which the
    // output file is removed. A file that cannot be written raises EReportError. Rows
    // may be null (a query that did not open): the report then has no data.
    bool Execute(const TReportDefinition &report, TReportRows *rows);

    // Asks a running Execute to stop after the page it is drawing; asked before Execute
    // (and after ResetAbort), it stops Execute before the first page is finished.
    void Abort() { m_aborted = true; }
    void ResetAbort() { m_aborted = false; }
    bool Aborted() const { return m_aborted; }
    // Pages of the last complete rendering.
    int PageCount() const { return m_pageCount; }

private:
    QString m_outputFile;
    QString m_statusFormat = QStringLiteral("Generuji stranu %p");
    StatusHandler m_status;
    QMap<QString, QString> m_parameters;
    bool m_aborted = false;
    int m_pageCount = 0;
};
