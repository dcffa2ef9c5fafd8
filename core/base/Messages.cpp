#include "base/Messages.h"

#include <QLoggingCategory>

Q_LOGGING_CATEGORY(lcMessages, "velkor.messages")

namespace {
MessageHandler *g_handler = nullptr;
}

void setMessageHandler(MessageHandler *handler)
{
    g_handler = handler;
}

MessageHandler *messageHandler()
{
    return g_handler;
}

int MessageDlgDef(const QString &text, TMsgDlgType type, TMsgDlgButtons buttons, int defaultResult,
                  int helpContext)
{
    if (g_handler)
        return g_handler->showMessage(text, type, buttons, defaultResult, helpContext);
    qCWarning(lcMessages).noquote() << "message without a dialog:" << text;
    return defaultResult;
}

void FocusControl(QObject *control)
{
    if (g_handler && control)
        g_handler->focusControl(control);
}
