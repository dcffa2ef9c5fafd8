#pragma once
// The callbook: the table of licensed stations in CallBook.db in the program folder, and
// its import from a semicolon-separated text (Windows-1250) whose first line is a header
// and every further line one station. An import replaces the whole table, but only once
// every line has been read and stored: the new table is built in a file beside the old
// one, from the empty template Clbp.db, in one transaction, and then takes the old one's
// place. Whatever fails leaves the old callbook as it was.

#include "base/Progress.h"

#include <QString>
#include <QStringList>

inline constexpr auto CallBookFileName = "CallBook.db";
inline constexpr auto CallBookTemplateName = "Clbp.db";
inline constexpr auto CallBookTableName = "CallBook";
inline constexpr int CallBookFieldCount = 11;
// The table's fields, in order.
extern const QStringList CallBookFields;
// The header the import file should begin with (compared ignoring letter case).
inline constexpr auto CallBookHeader = "VOL_ZNAK;TITUL;PRIJMENI;JMENO;ADR_ULICE;ADR_MESTO;PSC;E_MAIL;GRID;CLASS;POZN";

bool CallBookHeaderOK(const QString &line);

// The 11 values of a line: split at every ";" (no quoting, no trimming); the end of the
// line ends the last value; values past the 11th are dropped, missing ones are empty.
QStringList SplitCallBookLine(const QString &line);

// The lines of the file, decoded from Windows-1250; CR LF, LF and CR end a line, and a
// line break at the very end opens no further line. Raises EFileError when the file
// cannot be read.
QStringList ReadCallBookFile(const QString &fileName);

// Replaces the callbook of the program folder by the stations of lines[1..] (line 0 is
// the header, not checked here). Progress goes 0..100 over the lines. Raises EFileError
// or EDatabaseError, with the old callbook kept, when the template is missing or a line
// cannot be stored.
void ImportCallBook(const QString &appDir, const QStringList &lines, const TProgressEvent &progress = {});

// The file a new callbook is built in before it takes the old one's place.
QString CallBookBuildingFile(const QString &appDir);
// Removes a half-built callbook that an import killed in the middle left behind; called
// at start, while no import of this user can run.
void RemoveCallBookLeftovers(const QString &appDir);
