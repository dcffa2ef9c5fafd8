#pragma once
// The temporary tables of the printing commands. CopyMarkedToTable copies the QSOs marked
// in the log grid into a new table of the log's shape (the log print of the marked QSOs
// and the label ordering read it); BuildQSLTable puts those QSOs into the order in which
// the QSL bureau of the OK prefixes wants cards handed in, one row per label, so that the
// label print reads them by ID.
//
// In both new tables the IDs number the rows 1, 2, 3 ... in the order they were added;
// the IDs of the source rows are not copied. An existing table of the same name is
// replaced. Failures raise EDatabaseError; nothing is left half-open.

#include "log/LogQuery.h"
#include "base/Progress.h"

#include <QList>
#include <QString>

// Creates tableFile (a full path) and appends the marked rows of the query in the order
// of `marked`; with no marks the table stays empty. Progress in per cent of the rows
// copied; a failing progress receiver does not stop the copy. The query's bound views
// are told nothing meanwhile, and the query keeps its current row.
void CopyMarkedToTable(LogQuery &query, const QList<TBookmark> &marked, const QString &tableFile,
                       const TProgressEvent &onProgress = {});

// Creates destTable and fills it from sourceTable (both full paths) in bureau order:
//   1. calls of OK0..OK4, OK6, OK7, OK9 whose sixth character is not a letter (a suffix
//      of at most two letters, "/P" and the like), by suffix, call, date, time;
//   2. the same prefixes with a three-letter suffix, by suffix, call, date, time;
//   3. the other calls of the entity OK, by call, date, time;
//   4. the entity K with a call-area digit in the second or third character, by that
//      digit (the second character's when both are digits), call, date, time;
//   5. the entity K without such a digit, by call, date, time;
//   6. everything else, an empty entity included, by call, date, time.
// Every row lands in exactly one group, the first that takes it, so each QSO gets one
// label. The progress receives the step numbers 0..12 (not per cent): 0 at the start,
// 2k-1 before group k is appended and 2k after.
void BuildQSLTable(const QString &sourceTable, const QString &destTable,
                   const TProgressEvent &onProgress = {});
