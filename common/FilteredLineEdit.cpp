#include "FilteredLineEdit.h"

#include <QAction>
#include <QContextMenuEvent>
#include <QCoreApplication>
#include <QDropEvent>
#include <QGuiApplication>
#include <QInputMethodEvent>
#include <QKeyEvent>
#include <QMenu>
#include <QMimeData>

namespace
{

// Keys that write a character into the field; Ctrl combinations are commands.
bool isTypedText(const QKeyEvent *event)
{
    const QString text = event->text();
    if (text.isEmpty() || !text.at(0).isPrint())
        return false;
    const Qt::KeyboardModifiers mods = event->modifiers() & ~Qt::KeypadModifier;
    return mods != Qt::ControlModifier && mods != (Qt::ControlModifier | Qt::ShiftModifier);
}

} // namespace

TFilteredLineEdit::TFilteredLineEdit(QWidget *parent) : QLineEdit(parent) {}

void TFilteredLineEdit::setKeyFilter(KeyFilter filter)
{
    m_filter = std::move(filter);
}

void TFilteredLineEdit::filterKey(QChar &key)
{
    if (m_filter)
        m_filter(key);
}

void TFilteredLineEdit::typeCharacter(QChar key)
{
    filterKey(key);
    if (!key.isNull())
        insert(QString(key));
}

void TFilteredLineEdit::typeFiltered(const QString &text)
{
    // Line breaks, tabs and other control characters of pasted text never enter a field.
    for (QChar c : text)
        if (c.isPrint())
            typeCharacter(c);
}

void TFilteredLineEdit::pasteFiltered(QClipboard::Mode mode)
{
    if (isReadOnly())
        return;
    typeFiltered(QGuiApplication::clipboard()->text(mode));
}

int TFilteredLineEdit::insertPosition() const
{
    return hasSelectedText() ? selectionStart() : cursorPosition();
}

void TFilteredLineEdit::replaceText(const QString &text, int caret)
{
    if (text != this->text()) {
        selectAll();
        insert(text);
    }
    setCursorPosition(caret);
}

void TFilteredLineEdit::setTextIfChanged(const QString &text)
{
    if (text != this->text())
        setText(text);
}

void TFilteredLineEdit::applyTypingAid(QChar &key, TypingAid aid)
{
    const bool digit = key >= u'0' && key <= u'9';
    if (digit && hasSelectedText() && selectedText().size() == text().size())
        clear(); // typing over a selected value starts afresh
    QString text = this->text();
    int caret = insertPosition();
    aid(key, text, caret);
    if (text != this->text() || caret != insertPosition())
        replaceText(text, caret);
}

void TFilteredLineEdit::keyPressEvent(QKeyEvent *event)
{
    if (event->matches(QKeySequence::Paste)) {
        pasteFiltered();
        event->accept();
        return;
    }
    if (!isReadOnly() && isTypedText(event)) {
        for (QChar c : event->text())
            typeCharacter(c);
        event->accept();
        return;
    }
    QLineEdit::keyPressEvent(event); // Backspace, Delete, moves, copy, undo ...
}

void TFilteredLineEdit::focusOutEvent(QFocusEvent *event)
{
    // A context menu of the field takes the focus only for a moment.
    if (event->reason() != Qt::PopupFocusReason)
        formatOnExit();
    QLineEdit::focusOutEvent(event); // editingFinished then sees the canonical text
}

// The paste entry of the standard menu: named "edit-paste" in newer Qt, found by its
// (translated) caption in older ones.
static QAction *findPasteAction(const QMenu *menu)
{
    if (auto *named = menu->findChild<QAction *>(QStringLiteral("edit-paste")))
        return named;
    const QString caption = QCoreApplication::translate("QLineEdit", "&Paste");
    const QList<QAction *> actions = menu->actions();
    for (QAction *action : actions)
        if (action->text().section(u'\t', 0, 0) == caption)
            return action;
    return nullptr;
}

void TFilteredLineEdit::contextMenuEvent(QContextMenuEvent *event)
{
    QMenu *menu = createStandardContextMenu();
    if (QAction *paste = findPasteAction(menu)) {
        disconnect(paste, &QAction::triggered, nullptr, nullptr);
        connect(paste, &QAction::triggered, this, [this] { pasteFiltered(); });
    }
    menu->setAttribute(Qt::WA_DeleteOnClose);
    menu->popup(event->globalPos());
}

void TFilteredLineEdit::dropEvent(QDropEvent *event)
{
    if (isReadOnly() || !event->mimeData()->hasText()) {
        event->ignore();
        return;
    }
    deselect();
    setCursorPosition(cursorPositionAt(event->position().toPoint()));
    typeFiltered(event->mimeData()->text());
    // Dropped text is copied, also within the field: moving characters around could
    // put a letter where a digit belongs.
    event->setDropAction(Qt::CopyAction);
    event->accept();
}

void TFilteredLineEdit::mouseReleaseEvent(QMouseEvent *event)
{
    if (event->button() == Qt::MiddleButton && !isReadOnly() &&
        QGuiApplication::clipboard()->supportsSelection()) {
        deselect();
        pasteFiltered(QClipboard::Selection);
        event->accept();
        return;
    }
    QLineEdit::mouseReleaseEvent(event);
}

void TFilteredLineEdit::inputMethodEvent(QInputMethodEvent *event)
{
    const QString commit = event->commitString();
    if (commit.isEmpty() || isReadOnly()) {
        QLineEdit::inputMethodEvent(event);
        return;
    }
    // Let the field handle the composition, then type the committed text through the filter.
    QInputMethodEvent rest(event->preeditString(), event->attributes());
    rest.setCommitString(QString(), event->replacementStart(), event->replacementLength());
    QLineEdit::inputMethodEvent(&rest);
    typeFiltered(commit);
    event->accept();
}
