#pragma once
// Recovery of an SQLite file whose writing was cut short (the program killed, a crash, a
// power cut in the middle of a save, a bulk edit, a delete or an import). SQLite then
// keeps the old content of every page the transaction changed in the rollback journal
// beside the file ("<file>-journal"), and the file is whole again only once a connection
// that may write has played that journal back. A read-only connection cannot, and refuses
// the file (SQLITE_READONLY_ROLLBACK) although nothing in it is lost. So every opening of
// an existing table file goes through here first.

#include <QString>

enum class TJournalRecovery {
    NoJournal,  // nothing was left half-written
    RolledBack, // the journal was played back and the file passed the integrity check
    Failed      // the journal could not be played back, or the file is damaged after it
};

// When a journal lies beside the file at `path`, opens the file for writing once so that
// SQLite plays the journal back, and then checks the file's integrity. On Failed,
// `error` (when given) receives the reason, for diagnostics, and `sqliteCode` SQLite's
// result code (SQLITE_BUSY while another program holds the file, SQLITE_CORRUPT for a
// damaged file). A file or folder whose mode forbids writing is not touched: that fails
// with SQLITE_READONLY_ROLLBACK.
TJournalRecovery RollBackHotJournal(const QString &path, QString *error = nullptr, int *sqliteCode = nullptr);

// The rollback journal's name for a database file.
QString JournalFileName(const QString &path);
