#pragma once
// Backup archives of a log (".z"): the log file Data/<CALL>.db and the operator
// settings Data/<CALL>.uf, each as a zlib stream, behind a header with a magic number,
// the format version, the call sign, the time of writing and a CRC-32 over everything
// after the checksum field.
//
// Layout, little-endian (offsets in bytes):
//   0  magic 43 AD 84 B1 16 F6 59 A1      8  CRC-32 of every byte from offset 12 on
//  12  version (2)                        16  call: length byte + 16 bytes, Windows-1250
//  33  written at, local time, as days since 30.12.1899 (64-bit float)
//  41  entry count                        45  216 zero bytes
// 261  entries of 61 bytes: 32-bit original size, name (length byte + 56 bytes)
//      then one zlib stream per entry, in entry order, back to back.
// The entries are "BackUp.db", "BackUp.px" and "BackUp.uf". Logs used to carry a
// separate index file; "BackUp.px" is kept for the format's sake, holds nothing and is
// ignored on restore.
//
// Every failure raises EFileError (file cannot be read or written) or its subclass
// EBackUpError (the archive itself is not acceptable); message() is the Czech text for
// the operator.

#include "base/FileError.h"
#include "base/Progress.h"

#include <QDateTime>
#include <QString>

class EBackUpError : public EFileError
{
public:
    using EFileError::EFileError;
};

// Writes the archive of the log `call` in `dataDir` to `fileName`. The archive appears
// under its name only when complete: an existing file is replaced at the end, and a
// failure leaves it as it was. The log may be open meanwhile: its file holds every
// committed QSO. A missing log or settings file raises EFileError. `progress`, when set,
// receives percentages 0..100 as the work goes on.
void BackUpLog(const QString &call, const QString &dataDir, const QString &fileName,
               const TProgressEvent &progress = {});

// Reads the call sign and the time of writing from the archive's header (checking its
// size and magic only). `call` is cleared first.
void ReadBackUpInfo(const QString &fileName, QString &call, QDateTime &created);

// Replaces the log `call` in `dataDir` by the log held in the archive. The archive is
// checked completely (magic, CRC, version, every entry), its table extracted into
// `tempDir` and checked as a database (SQLite's integrity check) and as a log of this
// program. What is installed is never the archived file itself: a new log file of this
// program's own shape is made and the archived QSOs are copied into it, with their IDs,
// so that nothing else the file may hold (triggers, views, other tables, its journal
// mode) comes along. Only then is the log file replaced, in one step. On any failure the
// log stays exactly as it was and no extracted file remains; an archive whose table is
// not a sound log is refused with "Neplatný formát souboru!". The caller closes its
// connection to the log before and reopens it after. `progress`, when set, receives
// percentages 0..100.
void RestoreLog(const QString &call, const QString &dataDir, const QString &tempDir, const QString &fileName,
                const TProgressEvent &progress = {});
