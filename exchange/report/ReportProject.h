#pragma once
// The report project Tisk.rav: a text file beside the program that describes every report
// the program prints, so that a new sheet of labels is a new section of that file and not
// new code. Each section is one report; its name is the report's short name
// ("rprtDenik"). Keys (lengths in millimetres, decimal comma or point):
//   FullName   the name shown to the operator
//   Category   "Nalepky" for label sheets (compared without regard to case)
//   Type       "Log" (a table of QSOs with a heading) or "Labels" (one label per QSO)
//   PageWidth, PageHeight, MarginLeft, MarginTop, MarginRight, MarginBottom
//   FontName, FontSize (points, 4 to 72); an empty FontName keeps the default font
// Every length is a finite number that a page up to 1200 mm can hold, and the margins
// leave at least 10 mm of the page; anything else refuses the report.
//   Log:    Columns = "FIELD:Caption:width[:L|C|R]" items separated by ";"; a width of
//           "*" takes what the other columns leave.
//   Labels: LabelColumns, LabelRows, LabelWidth, LabelHeight, GapX, GapY, Padding;
//           the labels fill the sheet row by row from MarginLeft, MarginTop.

#include <QList>
#include <QMarginsF>
#include <QSizeF>
#include <QString>
#include <QStringList>

struct TReportColumn {
    int field = 0; // log field index
    QString caption;
    double width = 0;  // mm; 0 while a "*" column is not yet resolved
    bool fill = false; // takes the width the others leave
    Qt::Alignment alignment = Qt::AlignLeft;
};

struct TReportDefinition {
    enum Kind { Log, Labels };

    QString name;     // short name, the section's name
    QString fullName; // shown in the label style list
    QString category;
    Kind kind = Log;
    QSizeF pageSize{210, 297};
    QMarginsF margins{10, 10, 10, 10};
    QString fontName = QStringLiteral("Tahoma");
    double fontSize = 8;

    QList<TReportColumn> columns; // Log

    int labelColumns = 1; // Labels
    int labelRows = 1;
    QSizeF labelSize;
    QSizeF gap;
    double padding = 2;

    int LabelsPerPage() const { return labelColumns * labelRows; }
};

class TReportProject
{
public:
    // Reads the project; a missing file raises EReportError naming it, as does a report
    // whose description cannot be printed (naming the report and what is wrong).
    void Open(const QString &fileName);
    void Close();
    bool Active() const { return m_active; }
    QString FileName() const { return m_fileName; }

    const QList<TReportDefinition> &Reports() const { return m_reports; }
    // The full names of the reports of a category, in the project's order.
    QStringList ReportNames(const QString &category) const;
    // nullptr when there is no such report.
    const TReportDefinition *FindReport(const QString &name) const;
    const TReportDefinition *FindReportByFullName(const QString &fullName) const;

private:
    QString m_fileName;
    bool m_active = false;
    QList<TReportDefinition> m_reports;
};
