#pragma once
// 8-bit text of other programs. Imports convert Czech and Slovak text from three older
// code pages into Windows-1250, and the files the logbook exchanges are Windows-1250,
// while the program itself works in Unicode.

#include <QByteArray>
#include <QString>

// Source code pages of CharSetToWin1250, numbered as the import options store them.
enum CharSetCodePage {
    CodePageKamenicky = 1, // KEYBCS2
    CodePage852 = 2,       // IBM code page 852 (Latin-2 for DOS)
    CodePageIso88592 = 3,  // ISO 8859-2
};

// Replaces every byte from 0x80 up with its Windows-1250 byte; a character that
// Windows-1250 lacks becomes "_". Bytes below 0x80 stay; any other code page changes nothing.
void CharSetToWin1250(QByteArray &text, int codePage);

// Windows-1250 to Unicode. The five bytes that Windows-1250 leaves undefined (0x81, 0x83,
// 0x88, 0x90, 0x98) become the control characters of the same number, so that a round
// trip through UnicodeToWin1250 keeps them.
QString Win1250ToUnicode(const QByteArray &text);

// Unicode to Windows-1250: each character that Windows-1250 lacks becomes one "?"
// (a character outside the basic plane too).
inline constexpr char Win1250Unmappable = '?';
QByteArray UnicodeToWin1250(const QString &text);
