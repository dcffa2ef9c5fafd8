#include "EditSelQSOsDialog.h"
#include "log/LogRecord.h"
#include "RestoreDialog.h"
#include "ScriptedMessages.h"

#include <QAction>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>

#include <memory>

class TestEditSelQSOsDialog : public QObject
{
    Q_OBJECT

    std::unique_ptr<ScriptedMessages> m_messages;

    std::unique_ptr<TfrmEditSelQSOs> open()
    {
        auto dialog = std::make_unique<TfrmEditSelQSOs>();
        dialog->show();
        if (!QTest::qWaitForWindowActive(dialog.get()))
            qWarning("dialog not active");
        return dialog;
    }

    static void choose(TfrmEditSelQSOs &d, int field)
    {
        d.cbBoxField->setCurrentIndex(int(std::find(EditFieldIndexes.begin(), EditFieldIndexes.end(), field)
                                          - EditFieldIndexes.begin()));
    }

    static void save(TfrmEditSelQSOs &d)
    {
        QTest::keyClick(d.cbBoxValue, Qt::Key_Return, Qt::ControlModifier);
    }

private slots:
    void init() { m_messages = std::make_unique<ScriptedMessages>(); }
    void cleanup() { m_messages.reset(); }

    void fieldList()
    {
        auto d = open();
        QStringList captions;
        for (int i = 0; i < d->cbBoxField->count(); ++i)
            captions << d->cbBoxField->itemText(i);
        QCOMPARE(captions, QStringList({"Datum", "Čas", "MHz", "Mód", "RSTo", "RSTp", "LOCo", "LOCp", "Jméno", "QTH",
                                        "QSLo", "QSLp", "QSLvia", "eQSL", "DXCC", "IOTA", "ITU", "WAZ", "Diplom",
                                        "PWR", "Poznámka"}));
        QCOMPARE(d->cbBoxField->currentIndex(), 0);
        QCOMPARE(d->SelectedField(), int(fiDAT));
        QVERIFY(d->cbBoxValue->isEditable());
        QCOMPARE(d->cbBoxValue->count(), 0);
        QCOMPARE(QApplication::focusWidget(), d->cbBoxValue);
        QCOMPARE(d->windowTitle(), QString("Hromadná editace"));
    }

    void emptyDateIsRefused()
    {
        auto d = open();
        save(*d);
        QCOMPARE(m_messages->texts(), QStringList{"Neplatné datum \"\"!"});
        QCOMPARE(m_messages->lastFocused(), d->cbBoxValue);
        QVERIFY(d->isVisible());
    }

    void values_data()
    {
        QTest::addColumn<int>("field");
        QTest::addColumn<QString>("typed");
        QTest::addColumn<int>("listPosition");
        QTest::addColumn<QString>("value");
        QTest::newRow("date typing aid") << int(fiDAT) << "3.4.2007" << -1 << "03.04.2007";
        QTest::newRow("time typing aid") << int(fiUTC) << "9:5" << -1 << "09:5";
        QTest::newRow("frequency") << int(fiFREQ) << "14.025" << -1 << "14,025";
        QTest::newRow("mode SSB") << int(fiMODE) << "" << 1 << "2";
        QTest::newRow("mode CW") << int(fiMODE) << "" << 0 << "1";
        QTest::newRow("mode CLOVER") << int(fiMODE) << "" << 26 << "27";
        QTest::newRow("report") << int(fiRSTO) << "5n-n" << -1 << "5NN";
        QTest::newRow("partner's locator in lower case") << int(fiLOCP) << "jo70fc" << -1 << "JO70FC";
        QTest::newRow("partner's locator empty") << int(fiLOCP) << "" << -1 << "";
        QTest::newRow("name empty") << int(fiNAME) << "" << -1 << "";
        QTest::newRow("name as typed") << int(fiNAME) << "jan" << -1 << "jan";
        QTest::newRow("name as long as the log keeps") << int(fiNAME) << "jan amos komensky" << -1 << "jan amos kom";
        QTest::newRow("QTH as long as the log keeps")
            << int(fiQTH) << "Horni Pocernice u Prahy" << -1 << "Horni Pocernice u Pr";
        QTest::newRow("QSLo requested") << int(fiQSLO) << "" << 2 << "2";
        QTest::newRow("QSLp received") << int(fiQSLP) << "" << 1 << "1";
        QTest::newRow("eQSL none") << int(fiEQSLP) << "" << 0 << "0";
        QTest::newRow("DXCC") << int(fiDXCC) << "ok-1" << -1 << "OK1";
        QTest::newRow("IOTA") << int(fiIOTA) << "eu12" << -1 << "EU12";
        QTest::newRow("ITU digits only") << int(fiITU) << "2a8" << -1 << "28";
        QTest::newRow("award") << int(fiAWARD) << "p-01 x" << -1 << "P-01X";
        QTest::newRow("power") << int(fiPWR) << "0.5" << -1 << "0,5";
    }
    void values()
    {
        QFETCH(int, field);
        QFETCH(QString, typed);
        QFETCH(int, listPosition);
        QFETCH(QString, value);
        auto d = open();
        choose(*d, field);
        QCOMPARE(d->SelectedField(), field);
        if (listPosition >= 0) {
            QVERIFY(!d->cbBoxValue->isEditable());
            d->cbBoxValue->setCurrentIndex(listPosition);
        } else {
            d->cbBoxValue->lineEdit()->clear();
            QTest::keyClicks(d->cbBoxValue, typed);
        }
        if (field == fiIOTA) // a reference needs three digits to pass its check
            QTest::keyClicks(d->cbBoxValue, "3");
        const QString expected = field == fiIOTA ? value + "3" : value;
        if (field == fiUTC) {
            QCOMPARE(d->cbBoxValue->currentText(), expected);
            QTest::keyClicks(d->cbBoxValue, ":00");
            save(*d);
            QCOMPARE(d->SelectedValue(), QString("09:05:00"));
        } else {
            save(*d);
            QCOMPARE(d->SelectedValue(), expected);
        }
        QVERIFY2(m_messages->shown.isEmpty(), qPrintable(m_messages->texts().join('|')));
        QVERIFY(!d->isVisible());
        QCOMPARE(d->result(), int(mrOk));
    }

    void checks_data()
    {
        QTest::addColumn<int>("field");
        QTest::addColumn<QString>("value");
        QTest::addColumn<QString>("message");
        QTest::newRow("own locator empty") << int(fiLOCO) << "" << "Lokátor musí být zadán!";
        QTest::newRow("own locator short") << int(fiLOCO) << "JO70" << "Neplatný lokátor \"JO70\"!";
        QTest::newRow("partner's locator short") << int(fiLOCP) << "JO7" << "Neplatný lokátor \"JO7\"!";
        QTest::newRow("frequency") << int(fiFREQ) << "" << "Frekvence musí být zadána!";
        QTest::newRow("frequency 0") << int(fiFREQ) << "0" << "Neplatná frekvence \"0\"!";
        QTest::newRow("frequency negative") << int(fiFREQ) << "-7" << "Neplatná frekvence \"-7\"!";
        QTest::newRow("DXCC") << int(fiDXCC) << "O-K" << "Neplatný kód DXCC \"O-K\"!";
        QTest::newRow("ITU 999") << int(fiITU) << "999"
                                 << "Neplatný kód ITU \"999\" (povoleny jsou hodnoty 1..90)!";
        QTest::newRow("WAZ 99") << int(fiWAZ) << "99"
                                << "Neplatný kód WAZ \"99\" (povoleny jsou hodnoty 1..40)!";
        QTest::newRow("power") << int(fiPWR) << "" << "Výkon musí být zadán!";
        QTest::newRow("IOTA") << int(fiIOTA) << "EU1" << "Neplatný formát IOTA!";
        QTest::newRow("time") << int(fiUTC) << "25:00" << "Neplatný čas \"25:00\"!";
    }
    void checks()
    {
        QFETCH(int, field);
        QFETCH(QString, value);
        QFETCH(QString, message);
        auto d = open();
        choose(*d, field);
        d->cbBoxValue->setEditText(value);
        save(*d);
        QCOMPARE(m_messages->texts(), QStringList{message});
        QCOMPARE(m_messages->lastFocused(), d->cbBoxValue);
        QVERIFY(d->isVisible());
    }

    void enterDoesNotClose()
    {
        auto d = open();
        choose(*d, fiNAME);
        QTest::keyClicks(d->cbBoxValue, "Jan");
        QTest::keyClick(d->cbBoxValue, Qt::Key_Return);
        QVERIFY(d->isVisible());
        QCOMPARE(d->cbBoxValue->currentText(), QString("Jan"));
        choose(*d, fiMODE);
        QTest::keyClick(d->cbBoxValue, Qt::Key_Return);
        QVERIFY(d->isVisible());
        save(*d);
        QVERIFY(!d->isVisible());
        QCOMPARE(d->result(), int(mrOk));
    }

    void switchingFields()
    {
        auto d = open();
        choose(*d, fiFREQ);
        QCOMPARE(d->cbBoxValue->count(), 28);
        QCOMPARE(d->cbBoxValue->currentText(), QString("0,135"));
        QCOMPARE(d->cbBoxValue->itemText(27), QString("241000"));
        choose(*d, fiNAME);
        QVERIFY(d->cbBoxValue->currentText().isEmpty());
        QCOMPARE(d->cbBoxValue->count(), 0);
        choose(*d, fiFREQ);
        QCOMPARE(d->cbBoxValue->currentText(), QString("0,135"));
        choose(*d, fiMODE);
        QCOMPARE(d->cbBoxValue->count(), 27);
        QCOMPARE(d->cbBoxValue->currentText(), QString("CW"));
        QCOMPARE(d->cbBoxValue->itemText(26), QString("CLOVER"));
        choose(*d, fiQSLO);
        QCOMPARE(d->cbBoxValue->count(), 4);
        QCOMPARE(d->cbBoxValue->itemText(2), QString("Požadován"));
        choose(*d, fiPWR);
        QCOMPARE(d->cbBoxValue->count(), 12);
        QCOMPARE(d->cbBoxValue->itemText(0), QString("0,1"));
    }

    void closeGivesTwo()
    {
        auto d = open();
        QTest::keyClick(d->cbBoxValue, Qt::Key_Escape);
        QVERIFY(!d->isVisible());
        QCOMPARE(d->result(), int(mrCancel));
        d = open();
        d->findChild<QPushButton *>("btnClose")->click();
        QCOMPARE(d->result(), int(mrCancel));
        d = open();
        d->close();
        QCOMPARE(d->result(), int(mrCancel));
    }

    // The restore confirmation.
    void restoreDialogResults()
    {
        TfrmBackUpDlg dialog;
        QCOMPARE(dialog.windowTitle(), QString("Obnova deníku"));
        QVERIFY(dialog.lblFile->text().isEmpty());
        QVERIFY(dialog.lblCall->text().isEmpty());
        dialog.lblFile->setText("/home/op/Zaloha/OK1XYZ 05.03.2007.z");
        dialog.lblCall->setText("OK1XYZ");
        dialog.lblDate->setText("05.03.2007");
        dialog.lblTime->setText("18:30");
        dialog.show();
        QVERIFY(QTest::qWaitForWindowActive(&dialog));
        QCOMPARE(dialog.lblCall->text(), QString("OK1XYZ"));
        QCOMPARE(dialog.lblTime->text(), QString("18:30"));
        QTest::keyClick(&dialog, Qt::Key_Escape);
        QCOMPARE(dialog.result(), int(mrCancel));
        dialog.show();
        dialog.findChild<QPushButton *>("btnCancel")->click();
        QCOMPARE(dialog.result(), int(mrCancel));
        dialog.show();
        dialog.close();
        QCOMPARE(dialog.result(), int(mrCancel));
        dialog.show();
        QTest::keyClick(&dialog, Qt::Key_Return); // the safe button is the default
        QCOMPARE(dialog.result(), int(mrCancel));
        dialog.show();
        dialog.findChild<QPushButton *>("btnOk")->click();
        QCOMPARE(dialog.result(), int(mrOk));
        QVERIFY(!dialog.isVisible());
    }
};

QTEST_MAIN(TestEditSelQSOsDialog)
#include "tst_editselqsosdialog.moc"
