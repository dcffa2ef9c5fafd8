#include "ScriptedMessages.h"

ScriptedMessages::ScriptedMessages() : m_previous(messageHandler())
{
    setMessageHandler(this);
}

ScriptedMessages::~ScriptedMessages()
{
    setMessageHandler(m_previous);
}

int ScriptedMessages::showMessage(const QString &text, TMsgDlgType type, TMsgDlgButtons buttons,
                                  int defaultResult, int)
{
    shown.append({text, type, buttons, defaultResult});
    return m_answers.isEmpty() ? defaultResult : m_answers.takeFirst();
}

void ScriptedMessages::focusControl(QObject *control)
{
    focused.append(control);
}

QStringList ScriptedMessages::texts() const
{
    QStringList list;
    for (const Shown &s : shown)
        list << s.text;
    return list;
}
