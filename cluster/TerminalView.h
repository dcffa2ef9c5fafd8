#pragma once
// The client's terminal: a read-only plain-text view that keeps the newest lines, colours each
// line by its kind (the background across the whole width) and, after each append, keeps
// or moves the view by the terminal's scroll rule.

#include <QPlainTextEdit>

class TTerminalView : public QPlainTextEdit
{
    Q_OBJECT
public:
    explicit TTerminalView(QWidget *parent = nullptr);

    // Appends text by the stream rule and applies the scroll rule. scrollLocked: "Zmrazit".
    void AppendText(const QString &text, bool scrollLocked);

    int LineCount() const;
    QString Line(int index) const; // from 0
    // The top visible line, from 1, and the number of lines that fit in the view.
    int TopLine() const;
    void SetTopLine(int line);
    int LinesInView() const;
    int SelectionStart() const;
    int SelectionLength() const;
    QString SelectedText() const; // line breaks as "\n"
    void SetSelection(int start, int length);
    // The colours the view paints for a line.
    QColor LineForeground(int index) const;
    QColor LineBackground(int index) const;

protected:
    void paintEvent(QPaintEvent *event) override;
    void mouseDoubleClickEvent(QMouseEvent *event) override;

private:
    void appendLines(const QString &text);
};
