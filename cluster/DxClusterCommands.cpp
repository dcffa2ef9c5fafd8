// The cluster commands of the client's window: each builds one line in the cluster's
// command language, asking the operator for a value where one is needed.

#include "DxClusterWindow.h"

#include "base/Messages.h"
#include "ModalRunner.h"
#include "NewSpotDialog.h"
#include "OnOffDialog.h"
#include "TerminalRules.h"
#include "TerminalView.h"
#include "WendraConsts.h"

#include <QAction>
#include <QComboBox>
#include <QInputDialog>
#include <QLabel>
#include <QLineEdit>
#include <QRadioButton>

namespace
{

const QString QrzCaption = QStringLiteral("Vyhledání značky na QRZ.com");

// Asks for one text; empty when the operator cancelled.
std::optional<QString> askText(QWidget *owner, const QString &caption, const QString &prompt)
{
    QInputDialog box(owner);
    box.setObjectName(QStringLiteral("InputQuery"));
    box.setWindowTitle(caption);
    box.setLabelText(prompt);
    box.setInputMode(QInputDialog::TextInput);
    box.setOkButtonText(QStringLiteral("OK"));
    box.setCancelButtonText(QStringLiteral("Zrušit"));
    if (RunModal(box) != mrOk)
        return std::nullopt;
    return box.textValue();
}

} // namespace

void TfrmDxCluster::createCommandActions()
{
    auto make = [this](const char *name, const QString &text, const QString &hint = {}) {
        auto *action = new QAction(text, this);
        action->setObjectName(QLatin1String(name));
        action->setStatusTip(hint);
        action->setToolTip(hint.isEmpty() ? QString(text).remove(u'&') : hint);
        return action;
    };
    actNewSpot =
        make("actNewSpot", QStringLiteral("&Nový spot (DX)"), QStringLiteral("Vložení nového DX spotu"));
    actShowDx = make("actShowDx", QStringLiteral("&Show/DX"), QStringLiteral("Vypíše poslední DX spoty"));
    actShowQSL = make("actShowQSL", QStringLiteral("S&how/QSL"), QStringLiteral("QSL informace o značce"));
    actShowQRZ = make("actShowQRZ", QStringLiteral("Sh&ow/QRZ"), QStringLiteral("Vyhledá značku na QRZ.com"));
    actShowWWV = make("actShowWWV", QStringLiteral("Sho&w/WWV"));
    actShowSettings =
        make("actShowSettings", QStringLiteral("&Zobrazit"), QStringLiteral("Zobrazit svá nastavení"));
    actSetName = make("actSetName", QStringLiteral("&Jméno"), QStringLiteral("Nastavit vlastní jméno"));
    actSetQTH = make("actSetQTH", QStringLiteral("&QTH"), QStringLiteral("Nastavit vlastní QTH"));
    actSetLoc = make("actSetLoc", QStringLiteral("&Lokátor"), QStringLiteral("Nastavit vlastní lokátor"));
    actSetDxGrid = make("actSetDxGrid", QStringLiteral("&DxGrid"),
                        QStringLiteral("Zobrazení lokátoru na konci vlastních DX spotů"));
    actSetAnnounce = make("actSetAnnounce", QStringLiteral("Z&právy announce"),
                          QStringLiteral("Nastavení zobrazení zpráv announce"));
    actSetWCY =
        make("actSetWCY", QStringLiteral("Zp&rávy WCY"), QStringLiteral("Nastavení zobrazení zpráv WCY"));
    actSetWWV =
        make("actSetWWV", QStringLiteral("Zprá&vy WWV"), QStringLiteral("Nastavení zobrazení zpráv WWV"));
    actSetWX = make("actSetWX", QStringLiteral("Zpráv&y WX"), QStringLiteral("Nastavení zobrazení zpráv WX"));
    actSearchQRZ = make("actSearchQRZ", QStringLiteral("Vyhledat značku v databázi QRZ"));

    connect(actNewSpot, &QAction::triggered, this, &TfrmDxCluster::actNewSpotExecute);
    connect(actShowDx, &QAction::triggered, this, [this] { SendCommand(QStringLiteral("Show/DX")); });
    connect(actShowQSL, &QAction::triggered, this, [this] {
        inputBoxCommand(QStringLiteral("Show/QSL "), QStringLiteral("Vyhledání QSL informací"));
    });
    connect(actShowQRZ, &QAction::triggered, this,
            [this] { inputBoxCommand(QStringLiteral("Show/QRZ "), QrzCaption); });
    connect(actShowWWV, &QAction::triggered, this, [this] { SendCommand(QStringLiteral("Show/WWV")); });
    connect(actShowSettings, &QAction::triggered, this,
            [this] { SendCommand(QStringLiteral("Show/station ") + m_login); });
    connect(actSetName, &QAction::triggered, this, [this] {
        inputQueryCommand(QStringLiteral("Set/Name "), QStringLiteral("Nastavení jeména"),
                          QStringLiteral("Jméno"));
    });
    connect(actSetQTH, &QAction::triggered, this, [this] {
        inputQueryCommand(QStringLiteral("Set/QTH "), QStringLiteral("Nastavení QTH"), QStringLiteral("QTH"));
    });
    connect(actSetLoc, &QAction::triggered, this, [this] {
        inputQueryCommand(QStringLiteral("Set/QRA "), QStringLiteral("Nastavení lokátoru"),
                          QStringLiteral("Lokátor"));
    });
    connect(actSetDxGrid, &QAction::triggered, this, [this] {
        onOffCommand(QStringLiteral("DxGrid"),
                     QStringLiteral("Zobrazení lokátorů na konci vlastních DX spotů"));
    });
    connect(actSetAnnounce, &QAction::triggered, this,
            [this] { onOffCommand(QStringLiteral("Announce"), QStringLiteral("Zobrazení zpráv announce")); });
    connect(actSetWCY, &QAction::triggered, this,
            [this] { onOffCommand(QStringLiteral("WCY"), QStringLiteral("Zobrazení zpráv WCY")); });
    connect(actSetWWV, &QAction::triggered, this,
            [this] { onOffCommand(QStringLiteral("WWV"), QStringLiteral("Zobrazení zpráv WWV")); });
    connect(actSetWX, &QAction::triggered, this,
            [this] { onOffCommand(QStringLiteral("WX"), QStringLiteral("Zobrazení zpráv WX")); });
    connect(actSearchQRZ, &QAction::triggered, this, &TfrmDxCluster::actSearchQRZExecute);
}

void TfrmDxCluster::actNewSpotExecute()
{
    // A fresh dialog every time, so that its fields start empty.
    TfrmWendraNewSpot dialog(this);
    if (RunModal(dialog) != mrOk)
        return;
    const QString mhz = dialog.cbBoxFreq->currentText();
    const std::optional<QString> khz = SpotFrequencyKHz(mhz);
    if (!khz) {
        MessageDlgDef(InvalidFrequencyText(mhz), mtError, mbOK, mrOk);
        return;
    }
    SendCommand(NewSpotCommand(dialog.edtCall->text(), *khz, dialog.edtNote->text()));
}

void TfrmDxCluster::mnItmShowDxClick(int bandIndex)
{
    SendCommand(ShowDxOnCommand(bandIndex));
}

void TfrmDxCluster::inputBoxCommand(const QString &prefix, const QString &caption)
{
    const QString text = askText(this, caption, QStringLiteral("Značka")).value_or(QString());
    if (!text.isEmpty())
        SendCommand(prefix + text.toLower());
}

void TfrmDxCluster::inputQueryCommand(const QString &prefix, const QString &caption, const QString &prompt)
{
    if (const std::optional<QString> text = askText(this, caption, prompt))
        SendCommand(prefix + *text);
}

void TfrmDxCluster::onOffCommand(const QString &what, const QString &label)
{
    TfrmOnOff dialog(this);
    dialog.lblText->setText(label);
    if (RunModal(dialog) != mrOk)
        return;
    SendCommand((dialog.rbOn->isChecked() ? QStringLiteral("Set/") : QStringLiteral("UnSet/")) + what);
}

void TfrmDxCluster::actSearchQRZExecute()
{
    const QString selection = seTerminal->SelectedText();
    // The context menu may be used after the selection changed; the rule holds at sending.
    if (m_loggingIn || !TerminalRules::IsSearchableCall(selection))
        return;
    SendCommand(QStringLiteral("Show/QRZ ") + selection.toUpper());
}
