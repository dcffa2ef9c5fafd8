#pragma once
// The two kinds of report the project describes, drawn page by page: the log (a table
// of QSOs under a heading with the call sign, the program version and the page number)
// and the QSL labels (one label per QSO, placed on the sheet the project describes).
// Pages are drawn in units of a tenth of a millimetre.

#include "report/ReportProject.h"

#include <QMap>
#include <QString>

class QPainter;
class TReportRows;
struct TLogRecord;

// Hands out the pages to draw on; NewPage answers null once the rendering is aborted.
class TPageSequence
{
public:
    virtual ~TPageSequence() = default;
    virtual QPainter *NewPage() = 0;
};

using TReportParameters = QMap<QString, QString>;

void RenderLogReport(const TReportDefinition &report, const TReportParameters &parameters, TReportRows *rows,
                     TPageSequence &pages);
void RenderLabelReport(const TReportDefinition &report, const TReportParameters &parameters,
                       TReportRows *rows, TPageSequence &pages);

// A field's value as the printed log shows it: dates "dd.mm.yyyy", times "hh:nn", the
// band and mode by name, QSL states by their one-letter marks.
QString PrintedValue(const TLogRecord &record, int field);
