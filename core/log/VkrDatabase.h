#pragma once
// The log record: the one data shape every part of the logbook reads or writes. Its 25
// fields in fixed order with their storage types, widths and Czech captions, the default
// layout of the log grid's columns, the column tables of the DXCC and IOTA lists, and the
// routines that create log tables and check the database driver.
//
// A log is an SQLite file (Data/<CALL>.db) holding one table named "log" of this shape.
// Dates are stored as "YYYY-MM-DD" text, times as "HH:MM:SS" text, alpha fields as text
// cut to their width (an empty one as NULL), numbers as REAL, shorts as INTEGER.

#include <QSqlDatabase>
#include <QString>
#include <QStringList>

#include <array>

class QSqlQuery;
class QSqlRecord;

// Positions of the log fields; every table below is indexed by them.
enum TLogField : int {
    fiID = 0,
    fiDAT,
    fiUTC,
    fiCALL,
    fiFREQ,
    fiBAND,
    fiMODE,
    fiRSTO,
    fiRSTP,
    fiNAME,
    fiQTH,
    fiLOCO,
    fiLOCP,
    fiQSLO,
    fiQSLP,
    fiQSLVIA,
    fiEQSLP,
    fiNOTE,
    fiPWR,
    fiQRB,
    fiDXCC,
    fiIOTA,
    fiITU,
    fiWAZ,
    fiAWARD,
};
inline constexpr int LogFieldCount = 25;

// The name of the one table inside a log file, and the schema version it carries in
// PRAGMA user_version.
inline const QString LogTableName = QStringLiteral("log");
inline constexpr int LogSchemaVersion = 1;

// Storage types: auto-increment counter, date, time, alpha (text of a fixed width),
// 64-bit float, 16-bit signed integer.
enum TLogFieldType : int { ftAutoInc, ftDate, ftTime, ftString, ftFloat, ftSmallint };

// Column alignment as the operator settings store it: 0 left, 1 right, 2 centre.
enum TColumnAlignment : int { caLeft = 0, caRight = 1, caCenter = 2 };

// clang-format off
inline const QStringList LogFieldNames{
    "ID",   "DAT",  "UTC",  "CALL", "FREQ",   "BAND",  "MODE", "RSTO", "RSTP",
    "NAME", "QTH",  "LOCO", "LOCP", "QSLO",   "QSLP",  "QSLVIA", "EQSLP", "NOTE",
    "PWR",  "QRB",  "DXCC", "IOTA", "ITU",    "WAZ",   "AWARD"};

inline constexpr std::array<TLogFieldType, LogFieldCount> LogFieldTypes{
    ftAutoInc, ftDate,     ftTime,   ftString,   ftFloat,  ftSmallint, ftSmallint,
    ftString,  ftString,   ftString, ftString,   ftString, ftString,   ftSmallint,
    ftSmallint, ftString,  ftSmallint, ftString, ftFloat,  ftFloat,    ftString,
    ftString,  ftSmallint, ftSmallint, ftString};

// Width of the alpha fields in characters; 0 for the other types.
inline constexpr std::array<int, LogFieldCount> LogFieldSizes{
    0, 0, 0, 15, 0, 0, 0, 3, 3, 12, 20, 6, 6, 0, 0, 15, 0, 50, 0, 0, 7, 5, 0, 0, 12};

inline const QStringList LogFieldCaptions{
    "ID",       "Datum",  "Čas",    "Značka", "MHz",    "Pásmo",  "Mód",
    "RSTo",     "RSTp",   "Jméno",  "QTH",    "LOCo",   "LOCp",   "QSLo",
    "QSLp",     "QSLvia", "eQSL",   "Poznámka", "PWR",  "QRB",    "DXCC",
    "IOTA",     "ITU",    "WAZ",    "Diplom"};

// Default layout of the log grid's columns for a new operator (ID is never a column).
inline constexpr std::array<TColumnAlignment, LogFieldCount> LogColumnTitleAlignments{
    caCenter, caCenter, caCenter, caCenter, caRight,  caCenter, caCenter, caCenter, caCenter,
    caCenter, caCenter, caCenter, caCenter, caCenter, caCenter, caCenter, caCenter, caCenter,
    caCenter, caCenter, caCenter, caCenter, caCenter, caCenter, caCenter};

inline constexpr std::array<TColumnAlignment, LogFieldCount> LogColumnAlignments{
    caLeft,   caCenter, caCenter, caLeft,   caRight,  caRight,  caCenter, caCenter, caCenter,
    caLeft,   caLeft,   caCenter, caCenter, caCenter, caCenter, caLeft,   caCenter, caLeft,
    caRight,  caRight,  caLeft,   caCenter, caCenter, caCenter, caLeft};

// Screen-width classes: 0 below 1024 pixels, 1 up to 1151, 2 up to 1279, 3 from 1280.
inline constexpr int ScreenWidthClassCount = 4;
int ScreenWidthClass(int screenWidth);

// Column widths in pixels, [field][screen-width class].
inline constexpr std::array<std::array<int, ScreenWidthClassCount>, LogFieldCount> LogColumnWidths{{
    {30, 30, 30, 30},     {75, 80, 80, 80},     {40, 45, 45, 45},     {115, 135, 135, 135},
    {45, 50, 50, 50},     {40, 40, 40, 40},     {45, 50, 50, 60},     {40, 40, 40, 40},
    {40, 40, 40, 40},     {90, 125, 125, 125},  {90, 125, 125, 160},  {50, 60, 60, 60},
    {50, 60, 60, 60},     {35, 35, 35, 35},     {35, 35, 35, 35},     {90, 90, 90, 90},
    {35, 35, 35, 35},     {90, 90, 125, 220},   {35, 35, 35, 35},     {45, 45, 45, 45},
    {45, 45, 45, 45},     {40, 40, 40, 40},     {30, 30, 30, 30},     {30, 30, 30, 30},
    {65, 70, 70, 70}}};

// Column visibility, [field][screen-width class].
inline constexpr std::array<std::array<bool, ScreenWidthClassCount>, LogFieldCount> LogColumnVisible{{
    {false, false, false, false}, {true, true, true, true},     {true, true, true, true},
    {true, true, true, true},     {true, true, true, true},     {false, false, false, false},
    {true, true, true, true},     {true, true, true, true},     {true, true, true, true},
    {true, true, true, true},     {true, true, true, true},     {false, false, false, false},
    {true, true, true, true},     {true, true, true, true},     {true, true, true, true},
    {false, false, false, false}, {false, false, false, false}, {false, false, true, true},
    {false, false, false, false}, {true, true, true, true},     {false, false, false, false},
    {false, true, true, true},    {false, true, true, true},    {false, true, true, true},
    {false, false, false, false}}};

// Default position of each field's column among the grid's columns (the same for every
// screen-width class).
inline constexpr std::array<int, LogFieldCount> LogColumnPositions{
    0, 0, 1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 17, 18, 19, 20, 21, 22, 12, 13, 14, 15, 16, 23};

// Columns of the DXCC and IOTA reference lists.
inline const QStringList DxccFieldNames{"PREFIX", "DXCC", "NAME",  "LONGITUDE", "LATITUDE",
                                        "CONT",   "UTC",  "ITU",   "WAZ"};
inline const QStringList DxccFieldCaptions{"DXCC",      "Prefix", "Název", "Zem. délka", "Zem. šířka",
                                           "Kontinent", "UTC",    "ITU",   "WAZ"};
inline constexpr std::array<int, 9> DxccColumnWidths{60, 80, 160, 60, 60, 65, 30, 30, 30};

inline const QStringList IotaFieldNames{"IOTA", "PREFIX", "NAZEV"};
inline const QStringList IotaFieldCaptions{"IOTA", "Prefix", "Název"};
inline constexpr std::array<int, 3> IotaColumnWidths{85, 85, 450};

// clang-format on

// The index of a log field by its name, letter case ignored; -1 when there is none.
int LogFieldIndex(const QString &fieldName);

// True when the SQLite driver is available and an in-memory database answers.
bool IsBdeConfigured();

// True when the field list has exactly as many names as `names` and, position by
// position, the lower-cased field name equals the name (names are given in lower case).
bool QueryHasFields(const QStringList &fieldNames, const QStringList &names);
bool QueryHasFields(const QSqlRecord &record, const QStringList &names);
bool QueryHasFields(const QSqlQuery &query, const QStringList &names);

// Creates a new, empty log file at `path` (folder, call sign and ".db"). An existing file
// that already holds a log is left as it is (a log is never replaced by an empty one);
// any other existing file, or a failure, raises EDatabaseError.
void CreateLogTable(const QString &path);

// Gives a temporary table file (import staging, print tables) the log shape: an
// existing file of that name is replaced by a new, empty log table. Raises
// EDatabaseError on failure.
void DefineLogTable(const QString &path);

// Creates the log table in an open connection, dropping a table "log" already there.
void DefineLogTable(QSqlDatabase &db);

// Creates the indexes that keep ordering by date and time and by call sign and the QSO
// window's look-ups fast; they are added to older files on opening, and the indexes that
// earlier versions made and this one no longer reads are dropped. Raises EDatabaseError
// when an index cannot be created.
void EnsureLogIndexes(QSqlDatabase &db);

// Expressions over CALL that the look-up indexes are built on; a query that wants such an
// index must use the very same text.
// The part after the first "/" ("OK1ABC" of "DL/OK1ABC").
inline const QString CallTailSql = QStringLiteral("substr(CALL, instr(CALL, '/') + 1)");
// The call holds a "/".
inline const QString CallHasSlashSql = QStringLiteral("instr(CALL, '/') > 0");
// The call holds two "/" or more.
inline const QString CallHasSlashesSql = QStringLiteral("instr(substr(CALL, instr(CALL, '/') + 1), '/') > 0");

// Whether the SQLite file at `path` holds a table "log" with the 25 log fields in order
// (ID its integer primary key), asked two ways.
// A plain yes or no that never raises: a missing, foreign or damaged file answers no,
// and so does a log that cannot be read now (another program holds it). Only for files
// that no other program has reason to hold (the program's own temporary tables).
bool IsReadableLogTableFile(const QString &path);
// Yes for a log, no for a missing file, one of another program or a damaged one; a file
// that cannot be read now (another program holds it, a journal that cannot be played
// back in a read-only folder) raises EDatabaseError of that kind, so that the caller
// tells "held" from "not a log".
bool IsLogTableFileOrRaise(const QString &path);

// The field list of the log table as SQL ("ID,DAT,UTC,...,AWARD").
QString LogFieldListSql();
