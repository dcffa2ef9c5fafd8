#pragma once
// The text rules of the client's terminal, apart from any widget: which received bytes are
// shown, how appended text continues and ends lines, the colour of each line, where the
// view goes after an append, what a word is, and the checks of the commands that take a
// call sign from the terminal.

#include <QByteArray>
#include <QColor>
#include <QString>
#include <QStringList>

#include <optional>

namespace TerminalRules
{

// A received block as it may be shown: cut at the first NUL; CR, LF and the bytes 32..255
// stay, the other control bytes go.
QByteArray FilterBlock(const QByteArray &block);

// The longest line the terminal keeps in one piece. A server that sends endless text
// without line ends would otherwise make every append re-lay-out one giant line; the text
// goes on in the next line instead, so nothing is lost.
inline constexpr int MaxLineLength = 4000;

// The lines the terminal keeps; older lines go as new ones come, so that a connection
// that runs for days, or a node that floods, keeps the memory and each append small.
inline constexpr int MaxLineCount = 20000;

// What an append does to the terminal: `continuation` goes to the end of the last line,
// then each of `newLines` starts a line of its own (the last one may be empty).
struct TAppendPlan {
    QString continuation;
    QStringList newLines;
};

// The stream rule: CR LF, a lone CR and a lone LF inside the text each end a line. A CR LF
// or a lone LF at the very end leaves an empty last line; a lone CR at the very end does
// not end the line (so a CR LF split over two blocks ends one line only). lastLineLength is
// the length of the terminal's last line, for the MaxLineLength break.
TAppendPlan PlanAppend(const QString &text, int lastLineLength = 0);

enum TLineKind {
    lkNormal = 0,
    lkStatus,   // "#": the client's connection status
    lkEcho,     // "$": a command the client sent
    lkSpot,     // "DX de "
    lkAnnounce, // "To ALL de "
    lkPrompt,   // ends with " clx >" or " dxspider >"
};

TLineKind LineKind(const QString &line);

// The colours of a kind of line; an empty colour means the view's normal one.
struct TLineColours {
    std::optional<QColor> foreground;
    std::optional<QColor> background;
};
TLineColours LineColours(TLineKind kind);

// The scroll rule after an append, from the state remembered before it.
enum TScrollAction {
    saRestoreTopLine,   // the operator drags the scroll thumb: the view stays
    saRestoreSelection, // a selection or "Zmrazit": selection and view stay
    saFollowEnd,        // otherwise the view follows the new text
};
TScrollAction ScrollAction(bool draggingThumb, int selectionLength, bool scrollLocked);
// The top line (from 1) that puts the last line on the second-lowest row of the view.
int FollowEndTopLine(int lineCount, int linesInView);

// A word for double-click selection: characters from code 33 up except ':', '<' and '>'.
bool IsWordChar(QChar c);
// The word around position `pos` of a line as [start, end); empty when pos is not on one.
std::pair<int, int> WordAt(const QString &line, int pos);

// True when every character of s is one of chars; an empty s gives allowEmpty.
bool StrConsistsOf(const QString &s, const QString &chars, bool allowEmpty);
// A selection the QRZ look-up may send: 3 to 15 characters of '/', digits and letters A-Z.
bool IsSearchableCall(const QString &selection);

} // namespace TerminalRules
