#pragma once
// The common ground of the logbook's filtering edit fields: every character that reaches
// the text, whether typed, pasted, dropped or committed by an input method, goes through
// the field's key filter one at a time, as if typed at the caret. Subclasses set the
// filter and, where the field has a canonical form, reformat the text when the focus
// leaves them.

#include <QClipboard>
#include <QLineEdit>

#include <functional>

class TFilteredLineEdit : public QLineEdit
{
    Q_OBJECT
public:
    // Gets the typed character; leaves it (maybe changed) or sets it to KeyNull.
    using KeyFilter = std::function<void(QChar &key)>;

    explicit TFilteredLineEdit(QWidget *parent = nullptr);

    // A filter for fields that have no subclass of their own (the float combo box).
    void setKeyFilter(KeyFilter filter);

    // Enters the text character by character through the filter, at the caret.
    void typeFiltered(const QString &text);
    // Pastes the clipboard's text through the filter.
    void pasteFiltered(QClipboard::Mode mode = QClipboard::Clipboard);

    // Puts the text into the field's canonical form, as leaving the field does.
    virtual void formatOnExit() {}

    // Where a typed character goes: the start of the selection, else the caret.
    int insertPosition() const;
    // Replaces the whole text as an undoable edit and puts the caret at caret.
    void replaceText(const QString &text, int caret);

protected:
    // Filters one typed character (never Backspace, which edits as usual).
    virtual void filterKey(QChar &key);

    void keyPressEvent(QKeyEvent *event) override;
    void focusOutEvent(QFocusEvent *event) override;
    void contextMenuEvent(QContextMenuEvent *event) override;
    void dropEvent(QDropEvent *event) override;
    void mouseReleaseEvent(QMouseEvent *event) override;
    void inputMethodEvent(QInputMethodEvent *event) override;

    // Sets text without an undo step when it differs (used for reformatting on exit).
    void setTextIfChanged(const QString &text);

    // The date and time typing aid: it sees the whole text and the caret and may change
    // both; a digit or Backspace typed over the whole selected text starts afresh.
    using TypingAid = void (*)(QChar &key, QString &text, int &caret);
    void applyTypingAid(QChar &key, TypingAid aid);

private:
    void typeCharacter(QChar key);

    KeyFilter m_filter;
};
