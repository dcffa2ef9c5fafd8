#include "AziDisDialog.h"
#include "base/OstrelFP.h"
#include "ScriptedMessages.h"

#include <QAction>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QTabWidget>
#include <QTest>

#include <memory>

class TestAziDis : public QObject
{
    Q_OBJECT

    std::unique_ptr<ScriptedMessages> m_messages;

    static void setDms(TfrmAziDis &d, const QStringList &lat, const QStringList &lon)
    {
        d.edtD1->setText(lat[0]);
        d.edtM1->setText(lat[1]);
        d.edtS1->setText(lat[2]);
        d.edtO1->setText(lat[3]);
        d.edtD2->setText(lon[0]);
        d.edtM2->setText(lon[1]);
        d.edtS2->setText(lon[2]);
        d.edtO2->setText(lon[3]);
    }

private slots:
    void init() { m_messages = std::make_unique<ScriptedMessages>(); }
    void cleanup() { m_messages.reset(); }

    void opensOnFirstPage()
    {
        TfrmAziDis d(QStringLiteral("JN79AA"));
        QCOMPARE(d.windowTitle(), QStringLiteral("Výpočty s lokátory"));
        QCOMPARE(d.pgControl->count(), 3);
        QCOMPARE(d.pgControl->currentIndex(), 0);
        QCOMPARE(d.cbBoxLocVl->currentText(), QStringLiteral("JN79AA"));
        QCOMPARE(d.cbBoxLocVl->count(), 1);
        for (QLabel *label : {d.lblVzdal, d.lblAzi, d.lblLocRes, d.lblDelka, d.lblSirka})
            QVERIFY(label->text().isEmpty());
        QCOMPARE(d.edtO1->text(), QStringLiteral("S"));
        QCOMPARE(d.edtO2->text(), QStringLiteral("V"));
    }

    void distance_data()
    {
        QTest::addColumn<QString>("own");
        QTest::addColumn<QString>("target");
        QTest::addColumn<QString>("distance");
        QTest::addColumn<QString>("azimuth");
        QTest::newRow("same locator") << "JN79AA" << "JN79AA" << "0 km" << "0°";
        QTest::newRow("empty own") << "" << "JN79AA" << "" << "";
        QTest::newRow("short target") << "JN79AA" << "JN79" << "" << "";
        QTest::newRow("north") << "JN79AA" << "JO79AA" << "1112 km" << "0°";
        QTest::newRow("east") << "JN70AA" << "KN00AA" << "511 km" << "88°";
    }
    void distance()
    {
        QFETCH(QString, own);
        QFETCH(QString, target);
        QFETCH(QString, distance);
        QFETCH(QString, azimuth);
        TfrmAziDis d(own);
        d.cbBoxLoc->setEditText(target);
        d.actVzdal->trigger();
        QCOMPARE(d.lblVzdal->text(), distance);
        QCOMPARE(d.lblAzi->text(), azimuth);
        QVERIFY(m_messages->shown.isEmpty());
        QCOMPARE(d.cbBoxLoc->count(), distance.isEmpty() ? 0 : 1);
        // A changed locator empties the result.
        d.cbBoxLoc->setEditText(QStringLiteral("JN79A"));
        QVERIFY(d.lblVzdal->text().isEmpty());
    }

    void coordinatesToLocator_data()
    {
        QTest::addColumn<QStringList>("lat");
        QTest::addColumn<QStringList>("lon");
        QTest::addColumn<QString>("locator");
        QTest::addColumn<QString>("message");
        QTest::addColumn<QString>("focused");
        QTest::newRow("north") << QStringList{"49", "30", "0", "S"} << QStringList{"14", "15", "0", "V"} << "JN79DM"
                               << "" << "";
        QTest::newRow("south") << QStringList{"49", "30", "0", "J"} << QStringList{"14", "15", "0", "V"} << "JE70DM"
                               << "" << "";
        QTest::newRow("west") << QStringList{"49", "30", "0", "S"} << QStringList{"14", "15", "0", "Z"} << "IN29VM"
                              << "" << "";
        QTest::newRow("minutes 60") << QStringList{"49", "60", "0", "S"} << QStringList{"14", "15", "0", "V"} << ""
                                    << "Jsou povoleny jen hodnoty 0..59" << "edtM1";
        QTest::newRow("empty degrees") << QStringList{"", "30", "0", "S"} << QStringList{"14", "15", "0", "V"} << ""
                                       << "Neplatná souřadnice" << "edtD1";
        QTest::newRow("seconds of longitude") << QStringList{"49", "30", "0", "S"}
                                              << QStringList{"14", "15", "75", "V"} << ""
                                              << "Jsou povoleny jen hodnoty 0..59" << "edtS2";
    }
    void coordinatesToLocator()
    {
        QFETCH(QStringList, lat);
        QFETCH(QStringList, lon);
        QFETCH(QString, locator);
        QFETCH(QString, message);
        QFETCH(QString, focused);
        TfrmAziDis d{QString()};
        d.pgControl->setCurrentIndex(1);
        d.lblLocRes->setText(QStringLiteral("stale"));
        setDms(d, lat, lon);
        d.actVzdal->trigger();
        QCOMPARE(d.lblLocRes->text(), locator);
        QCOMPARE(m_messages->texts().join(u'|'), message);
        if (!focused.isEmpty())
            QCOMPARE(m_messages->lastFocused()->objectName(), focused);
    }

    void locatorToCoordinates()
    {
        TfrmAziDis d{QString()};
        d.pgControl->setCurrentIndex(2);
        d.cbBoxLoc1->setEditText(QStringLiteral("JN79"));
        d.actVzdal->trigger();
        QVERIFY(d.lblDelka->text().isEmpty() && d.lblSirka->text().isEmpty());
        d.cbBoxLoc1->setEditText(QStringLiteral("JN79AA"));
        d.actVzdal->trigger();
        QCOMPARE(d.lblDelka->text(), DegToDMS(false, 14.0 + 1.0 / 24));
        QCOMPARE(d.lblSirka->text(), DegToDMS(true, 49.0 + 1.0 / 48));
        QVERIFY(d.lblDelka->text().endsWith(QStringLiteral(" V")));
        QVERIFY(d.lblSirka->text().endsWith(QStringLiteral(" S")));
        QCOMPARE(d.cbBoxLoc1->count(), 1);
        d.cbBoxLoc1->setEditText(QStringLiteral("JN79"));
        d.actVzdal->trigger();
        QVERIFY(d.lblDelka->text().isEmpty());
    }

    void historyAddsOnce()
    {
        TfrmAziDis d{QString()};
        d.cbBoxLoc->setEditText(QStringLiteral("JO70FC"));
        TfrmAziDis::AddLoc(d.cbBoxLoc);
        TfrmAziDis::AddLoc(d.cbBoxLoc);
        QCOMPARE(d.cbBoxLoc->count(), 1);
        d.cbBoxLoc->setEditText(QStringLiteral("JO70"));
        TfrmAziDis::AddLoc(d.cbBoxLoc);
        QCOMPARE(d.cbBoxLoc->count(), 1);
        QCOMPARE(d.cbBoxLocVl->count(), 0); // no own locator
    }

    // Keys: locator letters and digits by position, Enter computes; coordinates move on.
    void keys()
    {
        TfrmAziDis d(QStringLiteral("JN79AA"));
        d.show();
        QVERIFY(QTest::qWaitForWindowActive(&d));
        d.cbBoxLoc->setFocus();
        QTest::keyClicks(d.cbBoxLoc->lineEdit(), QStringLiteral("jn7x9aa1"));
        QCOMPARE(d.cbBoxLoc->currentText(), QStringLiteral("JN79AA"));
        QTest::keyClick(d.cbBoxLoc->lineEdit(), Qt::Key_Return);
        QCOMPARE(d.lblVzdal->text(), QStringLiteral("0 km"));

        d.pgControl->setCurrentIndex(1);
        QTRY_VERIFY(d.edtD1->hasFocus());
        QTest::keyClicks(d.edtD1, QStringLiteral("4x9"));
        QCOMPARE(d.edtD1->text(), QStringLiteral("49"));
        QTest::keyClick(d.edtD1, Qt::Key_Return);
        QVERIFY(d.edtM1->hasFocus());
        QTest::keyClicks(d.edtM1, QStringLiteral("30"));
        QVERIFY(d.edtS1->hasFocus()); // full: the next one
        QTest::keyClick(d.edtS1, Qt::Key_Left);
        QVERIFY(d.edtM1->hasFocus());
        d.edtO1->setFocus();
        d.edtO1->clear();
        QTest::keyClicks(d.edtO1, QStringLiteral("xj"));
        QCOMPARE(d.edtO1->text(), QStringLiteral("J"));
        QTest::keyClick(d.edtD1, Qt::Key_Escape);
        QCOMPARE(d.result(), int(mrCancel));
    }
};

QTEST_MAIN(TestAziDis)
#include "tst_azidis.moc"
