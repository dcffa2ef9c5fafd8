#pragma once
// Reversible scrambling of the DX-cluster password, so that the operator's settings
// file does not show it in plain text. This hides the password from a casual look;
// it is not encryption.
//
// The password is taken as UTF-8 bytes; every byte is xor-ed with a random byte.
// Pad holds the random bytes and Code the results, each byte as exactly three decimal
// digits. A password of plain ASCII characters therefore gives one group per
// character.

#include <QString>

inline constexpr int MaxPasswordLength = 15;

// A password longer than MaxPasswordLength characters is cut to its first
// MaxPasswordLength characters before scrambling. Scrambling the same password twice
// gives different Pad and Code. An empty password gives empty Pad and Code.
void ScrambleString(const QString &password, QString &pad, QString &code);

// Reverses ScrambleString, reading length(Code) div 3 groups. Digits left over after
// the last whole group are ignored. When a group of Code has no group of Pad beside
// it, a group is not three decimal digits, or a result is not a byte, the text is
// malformed: the result is empty and *ok (when given) is set to false.
QString UnscrambleString(const QString &pad, const QString &code, bool *ok = nullptr);
