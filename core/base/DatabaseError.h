#pragma once
// The exception that the log database routines raise; its text is Czech. What the
// operator can do about a failure depends on its kind: a log that another program holds
// is whole and opens again once that program lets go, a read-only log or folder and a
// full disk want the operator's hand, and only a damaged file or one of another program
// is no log. So every failure of SQLite is sorted into one of these kinds, and the text
// says which; SQLite's own English text is never shown.

#include "base/VelkorError.h"

class QSqlDatabase;
class QSqlError;

enum class TDatabaseFailure {
    Other,    // anything else: the operation's own text and SQLite's code
    Busy,     // another connection holds the file locked (after the busy time-out)
    ReadOnly, // the file or its folder may not be written
    Full,     // no room left on the disk
    Damaged,  // not an SQLite file, or a damaged one
};

class EDatabaseError : public EVelkorError
{
public:
    explicit EDatabaseError(const QString &message, TDatabaseFailure kind = TDatabaseFailure::Other)
        : EVelkorError(message), m_kind(kind)
    {
    }
    TDatabaseFailure kind() const noexcept { return m_kind; }

private:
    TDatabaseFailure m_kind;
};

// The kind of an SQLite result code (primary or extended) or of a system error number
// (errno) from a file operation.
TDatabaseFailure SqliteFailureKind(int sqliteCode);
TDatabaseFailure SystemFailureKind(int errorNumber);

// The program's temporary tables ("_Temp.db", "_QSL.db") are its own business: the operator
// is told about the folder they lie in, not about their names.
bool IsTemporaryTable(const QString &path);

// The operator's text for a failure of that kind on the table file at `path`: a log, or
// a temporary table of the program (its name begins with "_"), of which only the folder
// is named. `context` says what failed ("Chyba při zápisu do deníku ...!"); it comes
// before the text of a damaged file, and stands for the kinds that have no text of their
// own, with SQLite's code (when not 0) after it.
QString DatabaseFailureText(TDatabaseFailure kind, const QString &path, const QString &context, int sqliteCode = 0);
// The same for a file of the program's own in its temporary folder, whatever its name (a
// restore's extracted table): only the folder is named.
QString TemporaryFileFailureText(TDatabaseFailure kind, const QString &path, const QString &context);

// SQLite's code of a failed call on the connection (extended where SQLite gives one). When
// Qt's driver passes no code on (a failed commit), the connection's last one is used; never
// SQLITE_OK.
int SqliteErrorCode(const QSqlDatabase &db, const QSqlError &error);

// The exception for a failed SQLite call on the connection's file, with the text above.
// When Qt's driver passes no code on (a failed commit), the connection's last one is used.
EDatabaseError SqlFailure(const QSqlDatabase &db, const QSqlError &error, const QString &context);
// The same for a call on SQLite's own interface, on the file at `path`.
EDatabaseError SqliteFailure(int sqliteCode, const QString &path, const QString &context);
