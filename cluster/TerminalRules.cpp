#include "TerminalRules.h"

namespace TerminalRules
{

QByteArray FilterBlock(const QByteArray &block)
{
    QByteArray shown;
    shown.reserve(block.size());
    for (const char ch : block) {
        const auto byte = static_cast<unsigned char>(ch);
        if (byte == 0)
            break;
        if (byte == '\n' || byte == '\r' || byte >= 32)
            shown.append(ch);
    }
    return shown;
}

namespace
{

// Adds text to the line being built, starting a new line whenever it reaches MaxLineLength.
void appendPiece(TAppendPlan &plan, QString *&current, int &currentLength, QStringView piece)
{
    while (!piece.isEmpty()) {
        if (currentLength >= MaxLineLength) {
            plan.newLines.append(QString());
            current = &plan.newLines.last();
            currentLength = 0;
        }
        const qsizetype room = MaxLineLength - currentLength;
        const QStringView part = piece.left(room);
        current->append(part);
        currentLength += int(part.size());
        piece = piece.mid(part.size());
    }
}

} // namespace

TAppendPlan PlanAppend(const QString &text, int lastLineLength)
{
    QStringView rest(text);
    // A CR at the very end does not end the line yet: the LF of its CR LF may come with
    // the next text. A lone LF ends the line as CR LF does; many nodes end lines so.
    if (rest.endsWith(u'\r'))
        rest.chop(1);

    TAppendPlan plan;
    QString *current = &plan.continuation;
    int currentLength = lastLineLength;
    qsizetype start = 0;
    for (qsizetype i = 0; i < rest.size(); ++i) {
        const QChar c = rest.at(i);
        if (c != u'\r' && c != u'\n')
            continue;
        appendPiece(plan, current, currentLength, rest.mid(start, i - start));
        if (c == u'\r' && i + 1 < rest.size() && rest.at(i + 1) == u'\n')
            ++i;
        plan.newLines.append(QString());
        current = &plan.newLines.last();
        currentLength = 0;
        start = i + 1;
    }
    appendPiece(plan, current, currentLength, rest.mid(start));
    return plan;
}

TLineKind LineKind(const QString &line)
{
    if (line.startsWith(u'#'))
        return lkStatus;
    if (line.startsWith(u'$'))
        return lkEcho;
    if (line.startsWith(u"DX de "))
        return lkSpot;
    if (line.startsWith(u"To ALL de "))
        return lkAnnounce;
    if (line.size() >= 6 && line.endsWith(u" clx >"))
        return lkPrompt;
    if (line.size() >= 13 && line.endsWith(u" dxspider >"))
        return lkPrompt;
    return lkNormal;
}

TLineColours LineColours(TLineKind kind)
{
    const QColor promptGrey(248, 248, 248);
    switch (kind) {
    case lkStatus:
        return {QColor(128, 0, 128), QColor(255, 251, 240)};
    case lkEcho:
        return {QColor(0, 0, 255), promptGrey};
    case lkSpot:
        return {QColor(128, 0, 0), std::nullopt};
    case lkAnnounce:
        return {QColor(0, 128, 0), std::nullopt};
    case lkPrompt:
        return {std::nullopt, promptGrey};
    case lkNormal:
        break;
    }
    return {};
}

TScrollAction ScrollAction(bool draggingThumb, int selectionLength, bool scrollLocked)
{
    if (draggingThumb)
        return saRestoreTopLine;
    if (selectionLength != 0 || scrollLocked)
        return saRestoreSelection;
    return saFollowEnd;
}

int FollowEndTopLine(int lineCount, int linesInView)
{
    return std::max(1, lineCount - linesInView + 2);
}

bool IsWordChar(QChar c)
{
    return c.unicode() >= 33 && c != u':' && c != u'<' && c != u'>';
}

std::pair<int, int> WordAt(const QString &line, int pos)
{
    if (pos < 0 || pos >= line.size() || !IsWordChar(line.at(pos)))
        return {pos, pos};
    int start = pos;
    while (start > 0 && IsWordChar(line.at(start - 1)))
        --start;
    int end = pos;
    while (end < line.size() && IsWordChar(line.at(end)))
        ++end;
    return {start, end};
}

bool StrConsistsOf(const QString &s, const QString &chars, bool allowEmpty)
{
    if (s.isEmpty())
        return allowEmpty;
    return std::all_of(s.begin(), s.end(), [&chars](QChar c) { return chars.contains(c); });
}

bool IsSearchableCall(const QString &selection)
{
    static const QString callChars =
        QStringLiteral("/0123456789ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz");
    return selection.size() >= 3 && selection.size() <= 15 && StrConsistsOf(selection, callChars, false);
}

} // namespace TerminalRules
