#include "TerminalView.h"

#include "TerminalRules.h"

#include <QMouseEvent>
#include <QPainter>
#include <QScrollBar>
#include <QSyntaxHighlighter>
#include <QTextBlock>

using namespace TerminalRules;

namespace
{

// Colours each line by its kind; the kind is kept as the block's state so that the view
// can paint the line's background across the whole width.
class TTerminalHighlighter : public QSyntaxHighlighter
{
public:
    using QSyntaxHighlighter::QSyntaxHighlighter;

protected:
    void highlightBlock(const QString &text) override
    {
        const TLineKind kind = LineKind(text);
        setCurrentBlockState(kind);
        const TLineColours colours = LineColours(kind);
        if (!colours.foreground && !colours.background)
            return;
        QTextCharFormat format;
        if (colours.foreground)
            format.setForeground(*colours.foreground);
        if (colours.background)
            format.setBackground(*colours.background);
        setFormat(0, int(text.size()), format);
    }
};

} // namespace

TTerminalView::TTerminalView(QWidget *parent) : QPlainTextEdit(parent)
{
    setObjectName(QStringLiteral("seTerminal"));
    setReadOnly(true);
    setTextInteractionFlags(Qt::TextSelectableByMouse);
    setLineWrapMode(QPlainTextEdit::NoWrap);
    setUndoRedoEnabled(false);
    // The view may be scrolled past the last line.
    setCenterOnScroll(true);
    setFrameShape(QFrame::NoFrame);
    setViewportMargins(10, 0, 0, 0);
    QFont font(QStringLiteral("Courier New"), 10);
    font.setStyleHint(QFont::TypeWriter);
    setFont(font);
    m_highlighter = new TTerminalHighlighter(document());
}

void TTerminalView::AppendText(const QString &text, bool scrollLocked)
{
    const int selectionStart = SelectionStart();
    const int selectionLength = SelectionLength();
    const int topLine = TopLine();
    const bool dragging = verticalScrollBar()->isSliderDown();

    QTextCursor cursor(document());
    cursor.movePosition(QTextCursor::End);
    const TAppendPlan plan = PlanAppend(text, cursor.block().length() - 1);
    // One insertion for the whole block: the document splits it into lines at the '\n's.
    QString inserted = plan.continuation;
    for (const QString &line : plan.newLines)
        inserted += u'\n' + line;
    cursor.insertText(inserted);

    switch (ScrollAction(dragging, selectionLength, scrollLocked)) {
    case saRestoreTopLine:
        SetSelection(selectionStart, 0);
        SetTopLine(topLine);
        break;
    case saRestoreSelection:
        SetSelection(selectionStart, selectionLength);
        SetTopLine(topLine);
        break;
    case saFollowEnd:
        SetTopLine(FollowEndTopLine(LineCount(), LinesInView()));
        break;
    }
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
        const TLineColours colours = LineColours(TLineKind(std::max(0, block.userState())));
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
