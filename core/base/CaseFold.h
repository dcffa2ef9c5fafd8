#pragma once
// Letter case ignored the same way everywhere the program compares text without regard
// to it: the filter's conditions in SQL and the find window's masks. Every letter becomes
// its capital, Czech, German, Polish and any other alphabet's alike (ž and Ž, ł and Ł),
// and ß and its capital both become "SS", so STRASSE, Straße and STRAẞE are one text.
// The mapping goes letter by letter, so the text in SQL and the text in memory fold to
// exactly the same letters.

#include <QString>

class QSqlDatabase;

// The text with its letters folded.
QString CaseFold(const QString &text);

// The text with only its ASCII letters a to z made capitals (or A to Z made small
// letters), every other character as it is: the case that SQLite's NOCASE and LIKE
// ignore, and the case of call signs and locators. A text with nothing to change is
// shared, not copied.
QString UpperAscii(const QString &text);
QString LowerAscii(const QString &text);

// The SQL function that folds, on an SQLite connection: CASEFOLD(text) gives the folded
// text, NULL for NULL, and a number as its text; bytes that do not form UTF-8 stay as they
// are. False when the connection is not
// SQLite's or refuses the function.
inline constexpr char CaseFoldSqlName[] = "CASEFOLD";
bool RegisterCaseFold(const QSqlDatabase &db);
