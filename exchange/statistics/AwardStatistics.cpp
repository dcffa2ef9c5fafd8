#include "statistics/AwardStatistics.h"

#include "radio/CharSet.h"
#include "base/DatabaseError.h"
#include "base/FileError.h"
#include "log/LogConnection.h"
#include "log/VkrDatabase.h"

#include <QDir>
#include <QHash>
#include <QSaveFile>
#include <QSqlError>
#include <QSqlQuery>

namespace {

// One (unit, band) group of the filtered log as SQLite counts it.
struct TGroup {
    QVariant key;
    int band;
    int worked;
    int confirmed;
};

int bandSlot(const QVariant &band)
{
    // A band index the table does not know counts as out of band rather than being lost.
    bool ok = false;
    const int index = band.toInt(&ok);
    return ok && index >= 0 && index < BandCount ? index : BandCount - 1;
}

// Told by its kind (another program holds the log), never in SQLite's words.
EDatabaseError readFailure(const QSqlDatabase &db, const QSqlQuery &query)
{
    return SqlFailure(db, query.lastError(), QStringLiteral("Chyba při čtení databáze!"));
}

QList<TGroup> readGroups(QSqlDatabase log, const QString &keyColumn, const QString &extraWhere,
                         const TStatFilter &filter)
{
    QString where = filter.where;
    if (!extraWhere.isEmpty())
        where = where.isEmpty() ? extraWhere : extraWhere + QStringLiteral("AND") + where;
    // Grouping in SQLite gives the counts of the one ordered pass over the QSOs without
    // handing every QSO over.
    QString text = QStringLiteral("SELECT %1 AS StatKey,BAND,COUNT(*),SUM(QSLP=1) FROM \"%2\"")
                       .arg(keyColumn, LogTableName);
    if (!where.isEmpty())
        text += QStringLiteral(" WHERE ") + where;
    text += QStringLiteral(" GROUP BY StatKey,BAND ORDER BY StatKey,BAND");
    QSqlQuery query(log);
    query.setForwardOnly(true);
    if (!query.prepare(text))
        throw readFailure(log, query);
    for (const QVariant &value : filter.values)
        query.addBindValue(value);
    if (!query.exec())
        throw readFailure(log, query);
    QList<TGroup> groups;
    while (query.next())
        groups.append({query.value(0), bandSlot(query.value(1)), query.value(2).toInt(), query.value(3).toInt()});
    if (query.lastError().isValid())
        throw readFailure(log, query);
    return groups;
}

} // namespace

TAwardStatistics::TAwardStatistics(QSqlDatabase log, QString appDir) : m_log(std::move(log)), m_appDir(std::move(appDir))
{
}

int TAwardStatistics::BuildDXCC(const TStatFilter &filter, int &rows, const TProgressEvent &progress)
{
    return build({QStringLiteral("DXCC"), {}, KeyKind::Text, {}, QStringLiteral("dxcc.db"), QStringLiteral("dxcc"),
                  QStringLiteral("DXCC"), QStringLiteral("NAME")},
                 filter, rows, progress);
}

int TAwardStatistics::BuildIOTA(const TStatFilter &filter, int &rows, const TProgressEvent &progress)
{
    return build({QStringLiteral("IOTA"), QStringLiteral("(IOTA<>'')"), KeyKind::Text, {}, QStringLiteral("iota.db"),
                  QStringLiteral("iota"), QStringLiteral("IOTA"), QStringLiteral("NAZEV")},
                 filter, rows, progress);
}

int TAwardStatistics::BuildITU(const TStatFilter &filter, int &rows, const TProgressEvent &progress)
{
    return build({QStringLiteral("ITU"), {}, KeyKind::Number, QStringLiteral("ITU-"), {}, {}, {}, {}}, filter, rows,
                 progress);
}

int TAwardStatistics::BuildWAZ(const TStatFilter &filter, int &rows, const TProgressEvent &progress)
{
    return build({QStringLiteral("WAZ"), {}, KeyKind::Number, QStringLiteral("WAZ-"), {}, {}, {}, {}}, filter, rows,
                 progress);
}

int TAwardStatistics::BuildLocators(const TStatFilter &filter, int &rows, const TProgressEvent &progress)
{
    return build({QStringLiteral("SUBSTR(LOCP,1,4)"), QStringLiteral("(LOCP<>'')"), KeyKind::Locator, {}, {}, {}, {},
                  {}},
                 filter, rows, progress);
}

int TAwardStatistics::build(const TStatQuery &statQuery, const TStatFilter &filter, int &rows,
                            const TProgressEvent &progress)
{
    clear();
    rows = 0;
    const QList<TGroup> groups = readGroups(m_log, statQuery.keyColumn, statQuery.extraWhere, filter);
    const QHash<QString, QString> names = readNames(statQuery);

    TProgressReporter reporter(progress);
    int confirmedUnits = 0;
    bool rowConfirmed = false;
    QString currentKey;
    bool haveRow = false;
    for (qsizetype i = 0; i < groups.size(); ++i) {
        const TGroup &group = groups[i];
        // NULL and the empty text (or NULL and 0) are one key: they sort next to each other.
        const QString key = statQuery.keyKind == KeyKind::Number ? QString::number(group.key.toInt())
                                                                 : group.key.toString();
        if (!haveRow || key != currentKey) {
            haveRow = true;
            currentKey = key;
            rowConfirmed = false;
            TStatRow row;
            if (statQuery.keyKind == KeyKind::Number)
                row.Name = statQuery.namePrefix + key;
            else if (!statQuery.nameTable.isEmpty())
                row.Name = key + QStringLiteral(" - ") + names.value(key, QStringLiteral("?"));
            else
                row.Name = key;
            row.Name.truncate(NameLength);
            Rows.append(row);
        }
        TStatCell &cell = Rows.last().Cells[group.band];
        cell.Worked += group.worked;
        cell.Confirmed += group.confirmed;
        QSOTotals[group.band].Worked += group.worked;
        QSOTotals[group.band].Confirmed += group.confirmed;
        if (group.confirmed > 0 && !rowConfirmed) {
            rowConfirmed = true;
            ++confirmedUnits;
        }
        reporter.ReportStep(i + 1, groups.size());
    }
    countEntities();
    rows = int(Rows.size());
    return confirmedUnits;
}

QHash<QString, QString> TAwardStatistics::readNames(const TStatQuery &statQuery) const
{
    QHash<QString, QString> names;
    if (statQuery.nameTable.isEmpty())
        return names;
    // The names are looked up by key rather than walked in step with the log's order, so
    // that no name is missed where SQLite and the list order keys differently.
    LogConnection list(QDir(m_appDir).filePath(statQuery.nameTable), LogConnection::OpenReadOnly);
    QSqlQuery query(list.database());
    query.setForwardOnly(true);
    const QString text = QStringLiteral("SELECT %2,%3 FROM \"%1\" ORDER BY %2,%3")
                             .arg(statQuery.nameTableName, statQuery.nameKey, statQuery.nameColumn);
    if (!query.exec(text))
        throw readFailure(list.database(), query);
    while (query.next()) {
        const QString key = query.value(0).toString();
        if (!names.contains(key))
            names.insert(key, query.value(1).toString());
    }
    return names;
}

void TAwardStatistics::clear()
{
    Rows.clear();
    EntityTotals = {};
    QSOTotals = {};
}

void TAwardStatistics::countEntities()
{
    EntityTotals = {};
    for (const TStatRow &row : std::as_const(Rows)) {
        for (int band = 0; band < BandCount; ++band) {
            if (row.Cells[band].Worked <= 0)
                continue;
            ++EntityTotals[band].Worked;
            if (row.Cells[band].Confirmed > 0)
                ++EntityTotals[band].Confirmed;
        }
    }
}

QByteArray TAwardStatistics::CsvText(const QString &captionHeader, const QString &captionEntities,
                                     const QString &captionQSOs) const
{
    const auto cellsLine = [](const QString &caption, const TStatCells &cells) {
        QString line = caption + u';';
        for (const TStatCell &cell : cells)
            line += QStringLiteral("%1;%2;").arg(cell.Confirmed).arg(cell.Worked);
        return line;
    };
    QStringList lines;
    QString header = captionHeader + u';';
    for (const QString &band : BandNames)
        header += band + QStringLiteral(";;");
    lines << header << u';' + QStringLiteral("QSL;QSO;").repeated(BandCount);
    lines << cellsLine(captionEntities, EntityTotals) << cellsLine(captionQSOs, QSOTotals);
    for (const TStatRow &row : Rows)
        lines << cellsLine(row.Name, row.Cells);
    QByteArray text;
    for (const QString &line : std::as_const(lines))
        text += UnicodeToWin1250(line) + "\r\n";
    return text;
}

void TAwardStatistics::SaveToFile(const QString &fileName, const QString &captionHeader,
                                  const QString &captionEntities, const QString &captionQSOs) const
{
    QSaveFile file(fileName);
    if (!file.open(QIODevice::WriteOnly) || file.write(CsvText(captionHeader, captionEntities, captionQSOs)) < 0
        || !file.commit())
        throw EFileError(QStringLiteral("Soubor \"%1\" nelze zapsat!").arg(QDir::toNativeSeparators(fileName)));
}
