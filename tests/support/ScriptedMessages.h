#pragma once
// A message handler for tests: answers from a script, records what was shown and
// which control got the focus. Installs itself for its lifetime.

#include "base/Messages.h"

#include <QList>
#include <QObject>
#include <QPointer>
#include <QString>

class ScriptedMessages : public MessageHandler
{
public:
    struct Shown {
        QString text;
        TMsgDlgType type;
        TMsgDlgButtons buttons;
        int defaultResult;
    };

    ScriptedMessages();
    ~ScriptedMessages() override;

    // Queues the answer of the next message; without queued answers the default result is given.
    void answerNext(int modalResult) { m_answers.append(modalResult); }

    int showMessage(const QString &text, TMsgDlgType type, TMsgDlgButtons buttons, int defaultResult,
                    int helpContext) override;
    void focusControl(QObject *control) override;

    QList<Shown> shown;
    QList<QPointer<QObject>> focused;
    QStringList texts() const;
    QString lastText() const { return shown.isEmpty() ? QString() : shown.last().text; }
    QObject *lastFocused() const { return focused.isEmpty() ? nullptr : focused.last().data(); }
    void clear()
    {
        shown.clear();
        focused.clear();
        m_answers.clear();
    }

private:
    QList<int> m_answers;
    MessageHandler *m_previous;
};
