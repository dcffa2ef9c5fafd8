#pragma once
// The export routines: the QSOs of the log query written to files that other programs
// read. Each takes the marked QSOs by ID, in the order of that list, or every row of the
// query when the list is empty; reports progress through the optional callback (see
// TExportWalk); and leaves the query on the last row written.
//
// The text files are Windows-1250, every line ended by CR LF; a character that
// Windows-1250 lacks is written as "?". A file is written beside the chosen one and put
// in its place only when complete: on failure EFileError is raised and an older file of
// that name stays as it was.

#include "log/LogQuery.h"
#include "base/Progress.h"

#include <QList>
#include <QString>

// The most QSOs one workbook takes.
inline constexpr int ExportXLSMaxRows = 65535;

// ADIF with the logbook's own tags, which its ADIF import reads back.
void ExportADIF(LogQuery &query, const QList<TBookmark> &marked, const QString &fileName,
                const TProgressEvent &onProgress);
// One-line ADIF records for the eQSL service, each carrying the same QSL message.
void ExportADIFShort(LogQuery &query, const QList<TBookmark> &marked, const QString &qslMsg,
                     const TProgressEvent &onProgress, const QString &fileName);
// Semicolon-separated text: a caption line, then one line per QSO.
void ExportCSV(LogQuery &query, const QList<TBookmark> &marked, const QString &fileName,
               const TProgressEvent &onProgress);
// Text in fixed-width columns: a caption line, a rule line, then one line per QSO.
void ExportTXT(LogQuery &query, const QList<TBookmark> &marked, const QString &fileName,
               const TProgressEvent &onProgress);
// An Excel workbook (.xlsx) with the sheet "Tab"; at most ExportXLSMaxRows QSOs (the
// rest is left out; the command refuses such exports before it calls this).
void ExportXLS(LogQuery &query, const QList<TBookmark> &marked, const QString &fileName,
               const TProgressEvent &onProgress);
