#include "MessageDialog.h"

#include <QApplication>
#include <QHash>
#include <QMessageBox>
#include <QPushButton>
#include <QWidget>

#include <array>

namespace {

struct ButtonInfo {
    TMsgDlgBtn button;
    int result;
    const char *text; // UTF-8
    QMessageBox::StandardButton standard;
};

// Buttons in the order they are added; the box places them by their roles.
constexpr std::array<ButtonInfo, 11> Buttons = {{
    {mbYes, mrYes, "&Ano", QMessageBox::Yes},
    {mbNo, mrNo, "&Ne", QMessageBox::No},
    {mbOK, mrOk, "&OK", QMessageBox::Ok},
    {mbCancel, mrCancel, "S&torno", QMessageBox::Cancel},
    {mbAbort, mrAbort, "&Přerušit", QMessageBox::Abort},
    {mbRetry, mrRetry, "Opakovat", QMessageBox::Retry},
    {mbIgnore, mrIgnore, "&Ignorovat", QMessageBox::Ignore},
    {mbAll, mrAll, "&Vše", QMessageBox::NoButton}, // no standard "All": added by role
    {mbNoToAll, mrNoToAll, "N&e všem", QMessageBox::NoToAll},
    {mbYesToAll, mrYesToAll, "Ano vše&m", QMessageBox::YesToAll},
    {mbHelp, mrNone, "Nápověda", QMessageBox::Help},
}};

const ButtonInfo *infoOf(TMsgDlgBtn button)
{
    for (const ButtonInfo &info : Buttons)
        if (info.button == button)
            return &info;
    return nullptr;
}

QMessageBox::Icon iconOf(TMsgDlgType type)
{
    switch (type) {
    case mtWarning:
        return QMessageBox::Warning;
    case mtError:
        return QMessageBox::Critical;
    case mtInformation:
        return QMessageBox::Information;
    case mtConfirmation:
        return QMessageBox::Question;
    case mtCustom:
        break;
    }
    return QMessageBox::NoIcon;
}

QAbstractButton *addButton(QMessageBox &box, const ButtonInfo &info)
{
    const QString text = QString::fromUtf8(info.text);
    if (info.standard == QMessageBox::NoButton)
        return box.addButton(text, QMessageBox::AcceptRole);
    QAbstractButton *button = box.addButton(info.standard);
    button->setText(text);
    return button;
}

// Escape answers as a Cancel button would, else No, else OK, as callers of a question expect.
QAbstractButton *escapeButtonOf(const QHash<QAbstractButton *, int> &results)
{
    for (int wanted : {int(mrCancel), int(mrNo), int(mrOk)})
        for (auto it = results.cbegin(); it != results.cend(); ++it)
            if (it.value() == wanted)
                return it.key();
    return nullptr;
}

} // namespace

QString MessageDialog::caption(TMsgDlgType type)
{
    switch (type) {
    case mtWarning:
        return QStringLiteral("Upozornění");
    case mtError:
        return QStringLiteral("Chyba");
    case mtInformation:
        return QStringLiteral("Informace");
    case mtConfirmation:
        return QStringLiteral("Potvrzení");
    case mtCustom:
        break;
    }
    // The application's title; never set as the display name, which would be added to
    // the title of every window.
    return QCoreApplication::applicationName();
}

QString MessageDialog::buttonText(TMsgDlgBtn button)
{
    const ButtonInfo *info = infoOf(button);
    return info ? QString::fromUtf8(info->text) : QString();
}

int MessageDialog::modalResult(TMsgDlgBtn button)
{
    const ButtonInfo *info = infoOf(button);
    return info ? info->result : mrNone;
}

int MessageDialog::showMessage(const QString &text, TMsgDlgType type, TMsgDlgButtons buttons,
                               int defaultResult, int /*helpContext*/)
{
    // Messages break their lines with "\r" as the logbook has always written them.
    QString shown = text;
    shown.replace(QStringLiteral("\r\n"), QStringLiteral("\n")).replace(u'\r', u'\n');
    QMessageBox box(iconOf(type), caption(type), shown, QMessageBox::NoButton, QApplication::activeWindow());
    if (!buttons)
        buttons = mbOK; // a message must be closable

    QHash<QAbstractButton *, int> results;
    for (const ButtonInfo &info : Buttons)
        if (buttons.testFlag(info.button))
            results.insert(addButton(box, info), info.result);

    for (auto it = results.cbegin(); it != results.cend(); ++it)
        if (it.value() == defaultResult)
            box.setDefaultButton(qobject_cast<QPushButton *>(it.key()));
    if (QAbstractButton *escape = escapeButtonOf(results))
        box.setEscapeButton(escape);

    box.exec();
    // Closed without a button (window manager): the same as cancelling.
    return results.value(box.clickedButton(), mrCancel);
}

void MessageDialog::focusControl(QObject *control)
{
    if (auto *widget = qobject_cast<QWidget *>(control))
        widget->setFocus(Qt::OtherFocusReason);
}

void installMessageDialog()
{
    static MessageDialog dialog;
    setMessageHandler(&dialog);
}
