#pragma once
// The one routine through which the logbook tells the operator something or asks a
// question. The core only declares it; the windows install the handler that shows a
// real dialog, and tests install one that scripts the answers.

#include <QFlags>
#include <QString>

class QObject;

enum TMsgDlgType { mtWarning, mtError, mtInformation, mtConfirmation, mtCustom };

enum TMsgDlgBtn {
    mbYes = 0x001,
    mbNo = 0x002,
    mbOK = 0x004,
    mbCancel = 0x008,
    mbAbort = 0x010,
    mbRetry = 0x020,
    mbIgnore = 0x040,
    mbAll = 0x080,
    mbNoToAll = 0x100,
    mbYesToAll = 0x200,
    mbHelp = 0x400,
};
Q_DECLARE_FLAGS(TMsgDlgButtons, TMsgDlgBtn)
Q_DECLARE_OPERATORS_FOR_FLAGS(TMsgDlgButtons)

// Modal results, numbered as stored files and callers expect them.
enum ModalResult {
    mrNone = 0,
    mrOk = 1,
    mrCancel = 2,
    mrAbort = 3,
    mrRetry = 4,
    mrIgnore = 5,
    mrYes = 6,
    mrNo = 7,
    mrAll = 8,
    mrNoToAll = 9,
    mrYesToAll = 10,
};

class MessageHandler
{
public:
    virtual ~MessageHandler() = default;
    // Shows the message modally and returns the modal result of the button pressed.
    virtual int showMessage(const QString &text, TMsgDlgType type, TMsgDlgButtons buttons,
                            int defaultResult, int helpContext) = 0;
    // Moves the keyboard focus to a control (a widget, seen from the core as a QObject).
    virtual void focusControl(QObject *control) = 0;
};

// Installs the handler (not owned); nullptr removes it.
void setMessageHandler(MessageHandler *handler);
MessageHandler *messageHandler();

// Shows a message; without an installed handler the message goes to the diagnostic
// log and the default result is the answer.
int MessageDlgDef(const QString &text, TMsgDlgType type, TMsgDlgButtons buttons, int defaultResult,
                  int helpContext = 0);

// Focuses a control through the installed handler; nothing without one or without control.
void FocusControl(QObject *control);
