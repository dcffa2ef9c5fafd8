#pragma once
// Keystroke filters for edit controls. Each filter gets the typed character by
// reference and either keeps it (maybe changed, e.g. upper-cased) or sets it to the
// null character, which makes the control ignore the keystroke. Backspace always
// passes. Extra holds characters a caller allows besides the field's own ones
// (the find window allows "*" and "?").

#include <QChar>
#include <QString>

inline constexpr QChar KeyBackspace = QChar(8);
inline constexpr QChar KeyNull = QChar(0);

void CallKeyFilter(QChar &key, const QString &extra = QString());
void CallDashKeyFilter(QChar &key, const QString &extra = QString());
void FloatKeyFilter(QChar &key);
void DigitKeyFilter(QChar &key);
void ReportKeyFilter(QChar &key);
// caret: the number of characters before the caret.
void LocatorKeyFilter(QChar &key, int caret, const QString &extra = QString());
void IOTAKeyFilter(QChar &key, int caret, const QString &extra = QString());
// Typing aids for "dd.mm.yyyy" and "hh:nn:ss": they may change the text and the caret,
// which the caller writes back to the control before it inserts a kept key at the caret.
void DateKeyFilter(QChar &key, QString &text, int &caret);
void TimeKeyFilter(QChar &key, QString &text, int &caret);
