#include "TerminalView.h"

#include "TerminalRules.h"

#include <QMouseEvent>
#include <QPainter>
#include <QScrollBar>
#include <QTextBlock>

using namespace TerminalRules;

namespace
{

// The text colours of a kind of line; the background is painted across the whole width.
QTextCharFormat lineFormat(TLineKind kind)
{
    const TLineColours colours = LineColours(kind);
    QTextCharFormat format;
    if (colours.foreground)
        format.setForeground(*colours.foreground);
    if (colours.background)
        format.setBackground(*colours.background);
    return format;
}

TLineKind blockKind(const QTextBlock &block)
{
    return TLineKind(std::max(0, block.userState()));
}

} // namespace

TTerminalView::TTerminalView(QWidget *parent) : QPlainTextEdit(parent)
{
    setObjectName(QStringLiteral("seTerminal"));
    setReadOnly(true);
    setTextInteractionFlags(Qt::TextSelectableByMouse);
    setLineWrapMode(QPlainTextEdit::NoWrap);
    setUndoRedoEnabled(false);
    setMaximumBlockCount(MaxLineCount);
    // The view may be scrolled past the last line.
    setCenterOnScroll(true);
    setFrameShape(QFrame::NoFrame);
    setViewportMargins(10, 0, 0, 0);
    QFont font(QStringLiteral("Courier New"), 10);
    font.setStyleHint(QFont::TypeWriter);
    // Cluster text is plain Latin text: no shaping keeps a busy terminal fast.
    font.setStyleStrategy(QFont::PreferNoShaping);
    setFont(font);
}

void TTerminalView::AppendText(const QString &text, bool scrollLocked)
{
    const int selectionStart = SelectionStart();
    const int selectionLength = SelectionLength();
    const int topLine = TopLine();
    const bool dragging = verticalScrollBar()->isSliderDown();

    // The oldest lines may go with this append. A cursor at the old end, which the new text
    // does not move, tells how much went, so that view and selection stay on their text.
    QTextCursor oldEnd(document());
    oldEnd.movePosition(QTextCursor::End);
    oldEnd.setKeepPositionOnInsert(true);
    const int endBefore = oldEnd.position();
    const int lastLineBefore = oldEnd.blockNumber();
    appendLines(text);
    const int droppedChars = endBefore - oldEnd.position();
    const int droppedLines = lastLineBefore - oldEnd.blockNumber();
    const int keptStart = std::max(0, selectionStart - droppedChars);
    const int keptEnd = std::max(0, selectionStart + selectionLength - droppedChars);
    const int keptTopLine = std::max(1, topLine - droppedLines);

    switch (ScrollAction(dragging, selectionLength, scrollLocked)) {
    case saRestoreTopLine:
        SetSelection(keptStart, 0);
        SetTopLine(keptTopLine);
        break;
    case saRestoreSelection:
        SetSelection(keptStart, keptEnd - keptStart);
        SetTopLine(keptTopLine);
        break;
    case saFollowEnd:
        SetTopLine(FollowEndTopLine(LineCount(), LinesInView()));
        break;
    }
}

// Appends by the stream rule. Each line gets the colours of its kind as it is inserted; the
// kind stays with the line (its user state) for painting. A continued last line may change
// its kind.
void TTerminalView::appendLines(const QString &text)
{
    QTextCursor cursor(document());
    cursor.movePosition(QTextCursor::End);
    const TAppendPlan plan = PlanAppend(text, cursor.block().length() - 1);
    QTextBlock last = cursor.block();
    const TLineKind lastKind = LineKind(last.text() + plan.continuation);
    cursor.beginEditBlock();
    if (lastKind != blockKind(last) && last.length() > 1) {
        QTextCursor line(last);
        line.movePosition(QTextCursor::EndOfBlock, QTextCursor::KeepAnchor);
        line.setCharFormat(lineFormat(lastKind));
    }
    cursor.insertText(plan.continuation, lineFormat(lastKind));
    last.setUserState(lastKind);
    for (const QString &line : plan.newLines) {
        const TLineKind kind = LineKind(line);
        const QTextCharFormat format = lineFormat(kind);
        cursor.insertBlock(QTextBlockFormat(), format);
        cursor.insertText(line, format);
        cursor.block().setUserState(kind);
    }
    // Ending the edit drops the lines beyond the limit.
    cursor.endEditBlock();
}

int TTerminalView::LineCount() const
{
    return document()->blockCount();
}

QString TTerminalView::Line(int index) const
{
    return document()->findBlockByNumber(index).text();
}

int TTerminalView::TopLine() const
{
    return verticalScrollBar()->value() + 1;
}

void TTerminalView::SetTopLine(int line)
{
    verticalScrollBar()->setValue(line - 1);
}

int TTerminalView::LinesInView() const
{
    const int lineHeight = std::max(1, fontMetrics().lineSpacing());
    return std::max(1, viewport()->height() / lineHeight);
}

int TTerminalView::SelectionStart() const
{
    return textCursor().selectionStart();
}

int TTerminalView::SelectionLength() const
{
    const QTextCursor cursor = textCursor();
    return cursor.selectionEnd() - cursor.selectionStart();
}

QString TTerminalView::SelectedText() const
{
    QString text = textCursor().selectedText();
    text.replace(QChar::ParagraphSeparator, u'\n');
    return text;
}

void TTerminalView::SetSelection(int start, int length)
{
    QTextCursor cursor(document());
    const int last = document()->characterCount() - 1;
    cursor.setPosition(std::clamp(start, 0, last));
    cursor.setPosition(std::clamp(start + length, 0, last), QTextCursor::KeepAnchor);
    setTextCursor(cursor);
}

QColor TTerminalView::LineForeground(int index) const
{
    const TLineColours colours = LineColours(LineKind(Line(index)));
    return colours.foreground.value_or(palette().color(QPalette::Text));
}

QColor TTerminalView::LineBackground(int index) const
{
    const TLineColours colours = LineColours(LineKind(Line(index)));
    return colours.background.value_or(palette().color(QPalette::Base));
}

void TTerminalView::paintEvent(QPaintEvent *event)
{
    // The backgrounds of coloured lines span the whole width, not only their text.
    QPainter painter(viewport());
    const QPointF offset = contentOffset();
    const int width = viewport()->width();
    for (QTextBlock block = firstVisibleBlock(); block.isValid(); block = block.next()) {
        const QRectF rect = blockBoundingGeometry(block).translated(offset);
        if (rect.top() > event->rect().bottom())
            break;
        const TLineColours colours = LineColours(blockKind(block));
        if (colours.background)
            painter.fillRect(QRectF(0, rect.top(), width, rect.height()), *colours.background);
    }
    painter.end();
    QPlainTextEdit::paintEvent(event);
}

void TTerminalView::mouseDoubleClickEvent(QMouseEvent *event)
{
    // A word runs over everything but blanks, controls, ':' and angle brackets, so that
    // call signs with '/' and digits are taken whole.
    const QTextCursor at = cursorForPosition(event->position().toPoint());
    const QTextBlock block = at.block();
    const auto [start, end] = WordAt(block.text(), at.positionInBlock());
    if (start == end) {
        QPlainTextEdit::mouseDoubleClickEvent(event);
        return;
    }
    SetSelection(block.position() + start, end - start);
    event->accept();
}
