#include "report/ReportProject.h"

#include "settings/IniFile.h"
#include "log/LogRecord.h"
#include "report/ReportError.h"

#include <QFileInfo>

#include <cmath>

namespace
{

// The largest sheet a report is laid out on (A0's long side is 1189 mm) and the font
// sizes a page can hold a line of. Limits keep every length finite and within what the
// page layout converts to device units without overflow.
constexpr double MaxPageLength = 1200;
constexpr double MinFontSize = 4;
constexpr double MaxFontSize = 72;
// Room a page keeps between its margins.
constexpr double MinPrintableLength = 10;

class DefinitionReader
{
public:
    DefinitionReader(const TMemIniFile &ini, const QString &section, const QString &file)
        : m_ini(ini), m_section(section), m_file(file)
    {
    }

    [[noreturn]] void fail(const QString &what) const
    {
        throw EReportError(QStringLiteral("Sestava \"%1\" v projektu \"%2\" je chybná: %3")
                               .arg(m_section, QFileInfo(m_file).fileName(), what));
    }

    QString text(const char *key, const QString &defaultValue = QString()) const
    {
        return m_ini.ReadString(m_section, QLatin1String(key), defaultValue);
    }

    // A length or size within [minimum, maximum]; decimal comma and point both read,
    // "nan" and "inf" are no numbers here.
    double number(const char *key, double defaultValue, double minimum, double maximum = MaxPageLength) const
    {
        const QString raw = text(key);
        if (raw.isEmpty())
            return defaultValue;
        bool ok = false;
        const double value = QString(raw).replace(u',', u'.').toDouble(&ok);
        if (!ok || !std::isfinite(value) || value < minimum || value > maximum)
            fail(QStringLiteral("neplatná hodnota %1=%2").arg(QLatin1String(key), raw));
        return value;
    }

    int count(const char *key) const
    {
        bool ok = false;
        const int value = text(key).toInt(&ok);
        if (!ok || value < 1 || value > 100)
            fail(QStringLiteral("neplatná hodnota %1=%2").arg(QLatin1String(key), text(key)));
        return value;
    }

    TReportColumn column(const QString &item) const
    {
        const QStringList parts = item.split(u':');
        if (parts.size() < 3 || parts.size() > 4)
            fail(QStringLiteral("neplatný sloupec \"%1\"").arg(item));
        TReportColumn column;
        column.field = LogFieldIndex(parts[0].trimmed());
        if (column.field < 0)
            fail(QStringLiteral("neznámé pole \"%1\"").arg(parts[0].trimmed()));
        column.caption = parts[1].trimmed();
        const QString width = parts[2].trimmed();
        if (width == u'*') {
            column.fill = true;
        } else {
            bool ok = false;
            column.width = QString(width).replace(u',', u'.').toDouble(&ok);
            if (!ok || !std::isfinite(column.width) || column.width <= 0 || column.width > MaxPageLength)
                fail(QStringLiteral("neplatná šířka sloupce \"%1\"").arg(item));
        }
        const QString align = parts.size() == 4 ? parts[3].trimmed().toUpper() : QStringLiteral("L");
        if (align == u'L')
            column.alignment = Qt::AlignLeft;
        else if (align == u'C')
            column.alignment = Qt::AlignHCenter;
        else if (align == u'R')
            column.alignment = Qt::AlignRight;
        else
            fail(QStringLiteral("neplatné zarovnání sloupce \"%1\"").arg(item));
        return column;
    }

private:
    const TMemIniFile &m_ini;
    QString m_section;
    QString m_file;
};

void readColumns(const DefinitionReader &in, TReportDefinition &report)
{
    const QStringList items = in.text("Columns").split(u';', Qt::SkipEmptyParts);
    if (items.isEmpty())
        in.fail(QStringLiteral("chybí sloupce (Columns)"));
    double fixed = 0;
    int fills = 0;
    for (const QString &item : items) {
        report.columns << in.column(item.trimmed());
        fixed += report.columns.last().width;
        fills += report.columns.last().fill ? 1 : 0;
    }
    const double room = report.pageSize.width() - report.margins.left() - report.margins.right() - fixed;
    if (room < (fills > 0 ? fills * 5.0 : 0.0))
        in.fail(QStringLiteral("sloupce jsou širší než strana"));
    for (TReportColumn &column : report.columns)
        if (column.fill)
            column.width = room / fills;
}

void readLabels(const DefinitionReader &in, TReportDefinition &report)
{
    report.labelColumns = in.count("LabelColumns");
    report.labelRows = in.count("LabelRows");
    report.labelSize = QSizeF(in.number("LabelWidth", 0, 1), in.number("LabelHeight", 0, 1));
    report.gap = QSizeF(in.number("GapX", 0, 0), in.number("GapY", 0, 0));
    report.padding = in.number("Padding", 2, 0);
    const double width = report.margins.left() + report.labelColumns * report.labelSize.width() +
                         (report.labelColumns - 1) * report.gap.width();
    const double height = report.margins.top() + report.labelRows * report.labelSize.height() +
                          (report.labelRows - 1) * report.gap.height();
    // A tenth of a millimetre of rounding in the published sheet sizes is tolerated.
    if (width > report.pageSize.width() + 0.1 || height > report.pageSize.height() + 0.1)
        in.fail(QStringLiteral("nálepky se nevejdou na stranu"));
    if (report.labelSize.width() <= 2 * report.padding || report.labelSize.height() <= 2 * report.padding)
        in.fail(QStringLiteral("okraj nálepky je větší než nálepka"));
}

TReportDefinition readReport(const TMemIniFile &ini, const QString &section, const QString &file)
{
    const DefinitionReader in(ini, section, file);
    TReportDefinition report;
    report.name = section;
    report.fullName = in.text("FullName", section);
    report.category = in.text("Category");
    const QString type = in.text("Type").toLower();
    if (type == QLatin1String("log"))
        report.kind = TReportDefinition::Log;
    else if (type == QLatin1String("labels"))
        report.kind = TReportDefinition::Labels;
    else
        in.fail(QStringLiteral("neznámý typ \"%1\"").arg(in.text("Type")));
    report.pageSize = QSizeF(in.number("PageWidth", 210, 20), in.number("PageHeight", 297, 20));
    report.margins = QMarginsF(in.number("MarginLeft", 10, 0), in.number("MarginTop", 10, 0),
                               in.number("MarginRight", 10, 0), in.number("MarginBottom", 10, 0));
    if (report.margins.left() + report.margins.right() > report.pageSize.width() - MinPrintableLength ||
        report.margins.top() + report.margins.bottom() > report.pageSize.height() - MinPrintableLength)
        in.fail(QStringLiteral("okraje jsou větší než strana"));
    // An empty name would leave the text without a font; the layout's own font serves.
    const QString fontName = in.text("FontName").trimmed();
    if (!fontName.isEmpty())
        report.fontName = fontName;
    report.fontSize = in.number("FontSize", report.fontSize, MinFontSize, MaxFontSize);
    if (report.kind == TReportDefinition::Log)
        readColumns(in, report);
    else
        readLabels(in, report);
    return report;
}

} // namespace

void TReportProject::Open(const QString &fileName)
{
    Close();
    if (!QFileInfo(fileName).isFile())
        throw EReportError(QStringLiteral("Projekt sestav \"%1\" nebyl nalezen!").arg(fileName));
    TMemIniFile ini;
    try {
        ini.Rename(fileName, true);
    } catch (const EVelkorError &e) {
        throw EReportError(e.message());
    }
    QList<TReportDefinition> reports;
    for (const QString &section : ini.ReadSections())
        reports << readReport(ini, section, fileName);
    m_reports = reports;
    m_fileName = fileName;
    m_active = true;
}

void TReportProject::Close()
{
    m_reports.clear();
    m_active = false;
}

QStringList TReportProject::ReportNames(const QString &category) const
{
    QStringList names;
    for (const TReportDefinition &report : m_reports)
        if (report.category.compare(category, Qt::CaseInsensitive) == 0)
            names << report.fullName;
    return names;
}

const TReportDefinition *TReportProject::FindReport(const QString &name) const
{
    for (const TReportDefinition &report : m_reports)
        if (report.name.compare(name, Qt::CaseInsensitive) == 0)
            return &report;
    return nullptr;
}

const TReportDefinition *TReportProject::FindReportByFullName(const QString &fullName) const
{
    for (const TReportDefinition &report : m_reports)
        if (report.fullName.compare(fullName, Qt::CaseInsensitive) == 0)
            return &report;
    return nullptr;
}
