#pragma once
// The award statistics of the open log: per award unit (DXCC entity, IOTA island, ITU or
// WAZ zone, 4-character locator square) and band, how many QSOs were made and how many
// of them are confirmed by a received QSL card, with the totals per band. Only the QSOs
// that pass the statistics filter count. The window shows the table; tests and the
// benchmark drive the build routines directly.

#include "radio/Amater.h"
#include "base/Progress.h"
#include "statistics/StatFilter.h"

#include <QList>
#include <QSqlDatabase>
#include <QString>

#include <array>

struct TStatCell {
    int Worked = 0;    // QSOs counted
    int Confirmed = 0; // those with QSLP = 1
};

using TStatCells = std::array<TStatCell, BandCount>;

struct TStatRow {
    QString Name; // at most NameLength characters
    TStatCells Cells{};
};

class TAwardStatistics
{
public:
    static constexpr int NameLength = 30;

    // log: the open log's connection; appDir: the program folder holding dxcc.db and
    // iota.db. Nothing is read until a build routine runs.
    TAwardStatistics(QSqlDatabase log, QString appDir);

    // Each fills Rows, EntityTotals and QSOTotals from the QSOs that pass `filter`; returns
    // the number of units with at least one confirmed QSO on any band, and the number of
    // units in `rows`. A failed read raises EDatabaseError and leaves the table empty.
    int BuildDXCC(const TStatFilter &filter, int &rows, const TProgressEvent &progress = {});
    int BuildIOTA(const TStatFilter &filter, int &rows, const TProgressEvent &progress = {});
    int BuildITU(const TStatFilter &filter, int &rows, const TProgressEvent &progress = {});
    int BuildWAZ(const TStatFilter &filter, int &rows, const TProgressEvent &progress = {});
    int BuildLocators(const TStatFilter &filter, int &rows, const TProgressEvent &progress = {});

    // The table as semicolon-separated text in Windows-1250 with CR LF line ends, under
    // the three captions of the statistic shown. The file appears whole or not at all;
    // a failure raises EFileError.
    void SaveToFile(const QString &fileName, const QString &captionHeader, const QString &captionEntities,
                    const QString &captionQSOs) const;
    // The same text as bytes.
    QByteArray CsvText(const QString &captionHeader, const QString &captionEntities,
                       const QString &captionQSOs) const;

    QList<TStatRow> Rows;
    TStatCells EntityTotals{}; // units with a QSO / a confirmed QSO on the band
    TStatCells QSOTotals{};    // counted QSOs / confirmed ones on the band

private:
    enum class KeyKind { Text, Number, Locator };
    struct TStatQuery {
        QString keyColumn;   // what the log query selects as the key
        QString extraWhere;  // a condition before the filter's, or empty
        KeyKind keyKind;
        QString namePrefix;  // ITU-/WAZ- rows; empty for the others
        QString nameTable;   // reference file of the unit names, or empty
        QString nameTableName, nameKey, nameColumn;
    };

    int build(const TStatQuery &statQuery, const TStatFilter &filter, int &rows, const TProgressEvent &progress);
    QHash<QString, QString> readNames(const TStatQuery &statQuery) const;
    void clear();
    void countEntities();

    QSqlDatabase m_log;
    QString m_appDir;
};
