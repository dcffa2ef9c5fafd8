#pragma once
// The message dialog of both programs: a QMessageBox with Czech titles and button texts,
// shown over the active window, with the focus on the button of the caller's default result.

#include "base/Messages.h"

class MessageDialog : public MessageHandler
{
public:
    int showMessage(const QString &text, TMsgDlgType type, TMsgDlgButtons buttons, int defaultResult,
                    int helpContext) override;
    // Focuses the control when it is a widget; anything else is ignored.
    void focusControl(QObject *control) override;

    // The dialog's title per message type; a custom message takes the application's name.
    static QString caption(TMsgDlgType type);
    // The button's text, "&" marking its access key.
    static QString buttonText(TMsgDlgBtn button);
    static int modalResult(TMsgDlgBtn button);
};

// Makes the message dialog the handler of MessageDlgDef for the rest of the run.
void installMessageDialog();
