// The cluster commands of the menus, the band menu, the new-spot and on/off dialogs and
// the terminal's QRZ look-up, each against a logged-in fake cluster.

#include "ClusterWindowFixture.h"
#include "FocusKeys.h"
#include "ModalScript.h"
#include "NewSpotDialog.h"
#include "OnOffDialog.h"

#include <QComboBox>
#include <QInputDialog>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QRadioButton>
#include <QTextBlock>

namespace
{

// What the operator does with the one dialog a command opens.
struct Answer {
    int result = mrOk;
    QString text;     // input box text, or call|freq|note for a new spot
    bool off = false; // on/off dialog: "Vypnout"
};

} // namespace

class TestClusterCommands : public QObject
{
    Q_OBJECT

    // The dialog that appeared: object name, caption, label.
    QStringList m_seen;

    void answerWith(const Answer &answer)
    {
        m_seen.clear();
        SetModalHook([this, answer](QDialog &dialog) {
            m_seen = {dialog.objectName(), dialog.windowTitle()};
            if (auto *input = qobject_cast<QInputDialog *>(&dialog)) {
                m_seen.append(input->labelText());
                input->setTextValue(answer.text);
            } else if (auto *spot = qobject_cast<TfrmWendraNewSpot *>(&dialog)) {
                const QStringList parts = answer.text.split('|');
                m_seen.append(spot->edtCall->text() + spot->cbBoxFreq->currentText() + spot->edtNote->text());
                spot->edtCall->setText(parts.value(0));
                spot->cbBoxFreq->setEditText(parts.value(1));
                spot->edtNote->setText(parts.value(2));
                if (answer.result == mrOk) { // closed by its OK, as the operator closes it
                    spot->actOk->trigger();
                    return spot->result();
                }
            } else if (auto *onOff = qobject_cast<TfrmOnOff *>(&dialog)) {
                m_seen.append(onOff->lblText->text());
                m_seen.append(onOff->rbOn->isChecked() ? "on" : "off");
                (answer.off ? onOff->rbOff : onOff->rbOn)->setChecked(true);
            }
            return answer.result;
        });
    }

private slots:
    void commands_data()
    {
        QTest::addColumn<QString>("action");
        QTest::addColumn<int>("result");
        QTest::addColumn<QString>("text");
        QTest::addColumn<bool>("off");
        QTest::addColumn<QString>("sent");   // "-" when nothing is sent
        QTest::addColumn<QString>("dialog"); // object name|caption|label

        QTest::newRow("Show/DX") << "actShowDx" << 0 << "" << false << "Show/DX"
                                 << "";
        QTest::newRow("Show/WWV") << "actShowWWV" << 0 << "" << false << "Show/WWV"
                                  << "";
        QTest::newRow("Zobrazit") << "actShowSettings" << 0 << "" << false << "Show/station ok1abc"
                                  << "";
        QTest::newRow("Show/QSL lower-cases")
            << "actShowQSL" << int(mrOk) << "OK1ABC" << false << "Show/QSL ok1abc"
            << "InputQuery|Vyhledání QSL informací|Značka";
        QTest::newRow("Show/QSL empty") << "actShowQSL" << int(mrOk) << "" << false << "-"
                                        << "InputQuery|Vyhledání QSL informací|Značka";
        QTest::newRow("Show/QSL cancelled") << "actShowQSL" << 0 << "OK1ABC" << false << "-"
                                            << "InputQuery|Vyhledání QSL informací|Značka";
        QTest::newRow("Show/QRZ") << "actShowQRZ" << int(mrOk) << "DL1XYZ/P" << false << "Show/QRZ dl1xyz/p"
                                  << "InputQuery|Vyhledání značky na QRZ.com|Značka";
        QTest::newRow("Jméno as typed")
            << "actSetName" << int(mrOk) << " Jan Novák " << false << "Set/Name  Jan Novák "
            << "InputQuery|Nastavení jeména|Jméno";
        QTest::newRow("Jméno empty") << "actSetName" << int(mrOk) << "" << false << "Set/Name "
                                     << "InputQuery|Nastavení jeména|Jméno";
        QTest::newRow("Jméno cancelled") << "actSetName" << 0 << "Jan" << false << "-"
                                         << "InputQuery|Nastavení jeména|Jméno";
        QTest::newRow("QTH") << "actSetQTH" << int(mrOk) << "Praha" << false << "Set/QTH Praha"
                             << "InputQuery|Nastavení QTH|QTH";
        QTest::newRow("Lokátor") << "actSetLoc" << int(mrOk) << "jo70fc" << false << "Set/QRA jo70fc"
                                 << "InputQuery|Nastavení lokátoru|Lokátor";
        const QString onOff = "frmOnOff|Nastavení|";
        QTest::newRow("DxGrid on") << "actSetDxGrid" << int(mrOk) << "" << false << "Set/DxGrid"
                                   << onOff + "Zobrazení lokátorů na konci vlastních DX spotů";
        QTest::newRow("DxGrid off") << "actSetDxGrid" << int(mrOk) << "" << true << "UnSet/DxGrid"
                                    << onOff + "Zobrazení lokátorů na konci vlastních DX spotů";
        QTest::newRow("DxGrid cancelled") << "actSetDxGrid" << int(mrCancel) << "" << true << "-"
                                          << onOff + "Zobrazení lokátorů na konci vlastních DX spotů";
        QTest::newRow("announce on") << "actSetAnnounce" << int(mrOk) << "" << false << "Set/Announce"
                                     << onOff + "Zobrazení zpráv announce";
        QTest::newRow("WCY off") << "actSetWCY" << int(mrOk) << "" << true << "UnSet/WCY"
                                 << onOff + "Zobrazení zpráv WCY";
        QTest::newRow("WWV on") << "actSetWWV" << int(mrOk) << "" << false << "Set/WWV"
                                << onOff + "Zobrazení zpráv WWV";
        QTest::newRow("WX off") << "actSetWX" << int(mrOk) << "" << true << "UnSet/WX"
                                << onOff + "Zobrazení zpráv WX";
        const QString spot = "frmWendraNewSpot|Nový spot|";
        QTest::newRow("new spot") << "actNewSpot" << int(mrOk) << "OK1ABC|3.5|cq" << false
                                  << "DX OK1ABC 3500 cq" << spot;
        QTest::newRow("new spot without note")
            << "actNewSpot" << int(mrOk) << "OK1ABC|7|" << false << "DX OK1ABC 7000 " << spot;
        QTest::newRow("new spot fraction")
            << "actNewSpot" << int(mrOk) << "ok1abc|7.0255| Hi " << false << "DX ok1abc 7025.5  Hi " << spot;
        QTest::newRow("new spot with decimal comma")
            << "actNewSpot" << int(mrOk) << "OK1ABC|7,0255|cq" << false << "DX OK1ABC 7025.5 cq" << spot;
        QTest::newRow("new spot cancelled")
            << "actNewSpot" << int(mrCancel) << "OK1ABC|3.5|cq" << false << "-" << spot;
    }
    void commands()
    {
        QFETCH(QString, action);
        QFETCH(int, result);
        QFETCH(QString, text);
        QFETCH(bool, off);
        QFETCH(QString, sent);
        QFETCH(QString, dialog);
        ClusterWindowFixture f;
        QVERIFY(f.connectAndLogin());
        answerWith({result, text, off});
        auto *act = f.window->findChild<QAction *>(action);
        QVERIFY(act);
        QVERIFY(act->isEnabled());
        act->trigger();
        if (dialog.isEmpty()) {
            QVERIFY(m_seen.isEmpty());
        } else {
            QCOMPARE(m_seen.mid(0, 3).join('|'), dialog);
            // Fresh dialogs: empty fields, "Zapnout" preselected.
            if (m_seen.at(0) == "frmWendraNewSpot")
                QCOMPARE(m_seen.at(2), QString());
            if (m_seen.at(0) == "frmOnOff")
                QCOMPARE(m_seen.at(3), QString("on"));
        }
        if (sent == "-") {
            f.window->SendCommand("marker");
            QVERIFY(f.server.waitForLine("marker"));
            QCOMPARE(f.server.lines.mid(2), QStringList{"marker"});
        } else {
            QVERIFY(f.server.waitForLine(sent));
            QCOMPARE(f.server.lines.mid(2), QStringList{sent});
            QVERIFY(f.waitForTerminalLine("$" + sent));
        }
        QVERIFY(f.messages.shown.isEmpty());
    }

    void newSpotWithoutNumberIsRefused()
    {
        ClusterWindowFixture f;
        QVERIFY(f.connectAndLogin());
        answerWith({mrOk, "OK1ABC|3,5 MHz|cq"});
        f.window->actNewSpot->trigger();
        QCOMPARE(f.messages.shown.size(), 1);
        QVERIFY(f.messages.lastText().contains("'3,5 MHz'"));
        QCOMPARE(f.messages.shown.last().type, mtError);
        f.window->SendCommand("marker");
        QVERIFY(f.server.waitForLine("marker"));
        QCOMPARE(f.server.lines.mid(2), QStringList{"marker"});
    }

    // A spot the cluster would pass on wrongly is not sent: the dialog shows why and stays
    // open on the field to mend.
    void newSpotRefused_data()
    {
        QTest::addColumn<QString>("call");
        QTest::addColumn<QString>("freq");
        QTest::addColumn<QString>("message");
        QTest::addColumn<QString>("focused");
        const QString badCall = "Neplatná značka \"%1\" (může obsahovat jen znaky \"A-Z, 0-9, /\")!";
        const QString noBand =
            "Frekvence \"%1\" neleží v žádném radioamatérském pásmu! Zadejte ji v MHz, např. 14,025.";
        QTest::newRow("frequency in the call box")
            << "14025,5" << "14.025" << badCall.arg("14025,5") << "edtCall";
        QTest::newRow("no call") << "" << "14.025" << "Značka musí být zadána!" << "edtCall";
        QTest::newRow("kHz in the MHz box") << "OK2XYZ" << "14025.5" << noBand.arg("14025.5") << "cbBoxFreq";
        QTest::newRow("between two bands") << "OK2XYZ" << "12,5" << noBand.arg("12,5") << "cbBoxFreq";
        QTest::newRow("zero") << "OK2XYZ" << "0" << noBand.arg("0") << "cbBoxFreq";
        QTest::newRow("no number") << "OK2XYZ" << "14 MHz"
                                   << "'14 MHz' není platné číslo (např. 14,025 nebo 14.025)." << "cbBoxFreq";
    }
    void newSpotRefused()
    {
        QFETCH(QString, call);
        QFETCH(QString, freq);
        QFETCH(QString, message);
        QFETCH(QString, focused);
        ClusterWindowFixture f;
        QVERIFY(f.connectAndLogin());
        ModalScript modals;
        QString focusedName;
        bool stayed = false;
        modals.drive("frmWendraNewSpot", [&](QDialog &dialog) {
            QVERIFY(ActivateWindow(&dialog));
            QVERIFY(TypeIntoFocus(call));
            QVERIFY(SendKeyToActive(Qt::Key_Tab));
            QVERIFY(TypeIntoFocus(freq));
            QVERIFY(SendKeyToActive(Qt::Key_Return, Qt::ControlModifier));
            stayed = dialog.isVisible();
            if (f.messages.lastFocused())
                focusedName = f.messages.lastFocused()->objectName();
        });
        f.window->actNewSpot->trigger();
        QCOMPARE(modals.pending(), 0);
        QCOMPARE(f.messages.texts(), QStringList{message});
        QCOMPARE(f.messages.shown.last().type, mtError);
        QCOMPARE(focusedName, focused);
        QVERIFY(stayed);
        f.window->SendCommand("marker");
        QVERIFY(f.server.waitForLine("marker"));
        QCOMPARE(f.server.lines.mid(2), QStringList{"marker"});
    }

    void newSpotNoteHoldsTwentyEightCharacters()
    {
        TfrmWendraNewSpot dialog;
        QTest::keyClicks(dialog.edtNote, QString(40, 'n'));
        QCOMPARE(dialog.edtNote->text().size(), 28);
        QVERIFY(dialog.cbBoxFreq->isEditable());
        QCOMPARE(dialog.cbBoxFreq->count(), 0);
        QCOMPARE(dialog.actOk->shortcut(), QKeySequence(Qt::CTRL | Qt::Key_Return));
    }

    void bandMenu_data()
    {
        QTest::addColumn<int>("index");
        QTest::addColumn<QString>("caption");
        QTest::addColumn<QString>("sent");
        QTest::newRow("137kHz") << 0 << "137kHz"
                                << "Show/DX on 136khz";
        QTest::newRow("80m") << 2 << "80m (3.5MHz)"
                             << "Show/DX on 80m";
        QTest::newRow("5cm") << 16 << "5cm (5.6GHz)"
                             << "Show/DX on 6cm";
        QTest::newRow("6mm") << 19 << "6mm (47GHz)"
                             << "Show/DX on 6mm";
    }
    void bandMenu()
    {
        QFETCH(int, index);
        QFETCH(QString, caption);
        QFETCH(QString, sent);
        ClusterWindowFixture f;
        const QList<QAction *> items = f.window->BandMenu()->actions();
        QCOMPARE(items.size(), 20);
        QCOMPARE(items.at(index)->text(), caption);
        QCOMPARE(items.at(index)->data().toInt(), index);
        QVERIFY(f.connectAndLogin());
        items.at(index)->trigger();
        QVERIFY(f.server.waitForLine(sent));
    }

    void commandsWaitForTheLogin()
    {
        ClusterWindowFixture f;
        const QStringList names{"actNewSpot",      "actShowDx",  "actShowQSL", "actShowQRZ", "actShowWWV",
                                "actShowSettings", "actSetName", "actSetQTH",  "actSetLoc",  "actSetDxGrid",
                                "actSetAnnounce",  "actSetWCY",  "actSetWWV",  "actSetWX"};
        auto enabledCount = [&] {
            return std::count_if(names.begin(), names.end(), [&](const QString &n) {
                return f.window->findChild<QAction *>(n)->isEnabled();
            });
        };
        QCOMPARE(enabledCount(), 0);
        QVERIFY(f.connect());
        QCOMPARE(enabledCount(), 0); // connected, not logged in
        f.server.send("\r\nlogin: ");
        QVERIFY(f.server.waitForLine("ok1abc"));
        QCOMPARE(enabledCount(), 0);
        f.server.send("\r\nPassword: ");
        QVERIFY(QTest::qWaitFor([&] { return enabledCount() == names.size(); }));
        f.server.closeClient();
        QVERIFY(QTest::qWaitFor([&] { return enabledCount() == 0; }));
        // A command while disconnected is silently not sent.
        f.window->SendCommand("Show/DX");
        QVERIFY(!f.terminalLines().contains("$Show/DX"));
    }

    void searchQrz_data()
    {
        QTest::addColumn<QString>("line");
        QTest::addColumn<int>("start");
        QTest::addColumn<int>("length");
        QTest::addColumn<QString>("sent"); // empty: the command stays disabled
        QTest::newRow("call") << "DX de ok2xyz:  14025.0  OK1ABC" << 6 << 6 << "Show/QRZ OK2XYZ";
        QTest::newRow("portable") << "DX de OK2XYZ/P:  14025.0" << 6 << 8 << "Show/QRZ OK2XYZ/P";
        QTest::newRow("with the colon") << "DX de OK2XYZ:  14025.0" << 6 << 7 << "";
        QTest::newRow("two characters") << "DX de OK2XYZ:  14025.0" << 6 << 2 << "";
        QTest::newRow("sixteen characters") << "ABCDEFGHIJKLMNOP" << 0 << 16 << "";
        QTest::newRow("hyphen") << "OK-ABC" << 0 << 6 << "";
        QTest::newRow("across a line break") << "OK1\r\nABC" << 0 << 7 << "";
    }
    void searchQrz()
    {
        QFETCH(QString, line);
        QFETCH(int, start);
        QFETCH(int, length);
        QFETCH(QString, sent);
        ClusterWindowFixture f;
        f.window->Terminal()->SetSelection(0, 0);
        QVERIFY(f.connectAndLogin());
        f.server.send(UnicodeToWin1250Bytes(line + "\r\n"));
        const int lineNo = f.window->Terminal()->LineCount() - 1;
        QVERIFY(QTest::qWaitFor([&] { return f.window->Terminal()->LineCount() > lineNo + 1; }));
        const int position = f.window->Terminal()->document()->findBlockByNumber(lineNo).position();
        f.window->Terminal()->SetSelection(position + start, length);
        QCOMPARE(f.window->actSearchQRZ->isEnabled(), !sent.isEmpty());
        QVERIFY(f.window->TerminalMenu()->actions().contains(f.window->actSearchQRZ));
        if (sent.isEmpty())
            return;
        f.window->actSearchQRZ->trigger();
        QVERIFY(f.server.waitForLine(sent));
        // Disconnected, the selection alone does not enable it.
        f.window->Connection()->Disconnect();
        f.window->Terminal()->SetSelection(position + start, length);
        QVERIFY(!f.window->actSearchQRZ->isEnabled());
    }

private:
    static QByteArray UnicodeToWin1250Bytes(const QString &text) { return text.toLatin1(); }
};

QTEST_MAIN(TestClusterCommands)
#include "tst_clustercommands.moc"
