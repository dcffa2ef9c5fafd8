#pragma once
// Tables the benchmarks' floors write into, made on SQLite's own interface.

#include <QString>
#include <QStringList>

// A new empty file of the log's shape without any index, as the import's staging table.
void NewFloorStaging(const QString &path);
// Drops the named indexes of the file, or all of them when none is named.
void DropIndexes(const QString &path, const QStringList &names = {});
// The floor of the append of staged records: one INSERT ... SELECT from the source file into
// the log in one transaction, with the journal, the synchronous writes and the page cache
// of the program's own append.
void FloorAppend(const QString &logPath, const QString &sourcePath);
// The call-sign and entity look-up indexes of a log.
inline const QStringList LookUpIndexes{"log_call_nocase", "log_call_tail", "log_call_slashes", "log_dxcc_band"};
