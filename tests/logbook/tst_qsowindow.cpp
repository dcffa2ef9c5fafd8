#include "MainWindowFixture.h"

#include "radio/Amater.h"
#include "base/DatabaseError.h"
#include "DateEdit.h"
#include "FilteredLineEdit.h"
#include "FloatComboBox.h"
#include "FocusKeys.h"
#include "base/Formats.h"
#include "IOTAEdit.h"
#include "LocatorEdit.h"
#include "LogGrid.h"
#include "ModalScript.h"
#include "QSOWindow.h"
#include "ReportEdit.h"
#include "ScriptedMessages.h"
#include "TimeEdit.h"
#include "system/UtcClock.h"

#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QClipboard>
#include <QComboBox>
#include <QGroupBox>
#include <QLabel>
#include <QMenu>
#include <QPushButton>
#include <QRegularExpression>
#include <QStyle>
#include <QTest>

#include <memory>

namespace {

void leaveWithTab(QWidget *field)
{
    QTest::keyClick(field, Qt::Key_Tab);
}

// Clicks the box itself (the middle of a wide check box lies beyond its text).
void clickCheckBox(QCheckBox *box)
{
    QTest::mouseClick(box, Qt::LeftButton, {}, QPoint(6, box->height() / 2));
}

} // namespace

class TestQsoWindow : public QObject
{
    Q_OBJECT

    std::unique_ptr<QsoTestFixture> m_fx;
    std::unique_ptr<LogQuery> m_main;
    std::unique_ptr<ScriptedMessages> m_messages;
    std::unique_ptr<ModalScript> m_modals;
    int m_refreshes = 0;
    QList<bool> m_keepPositions;

    TQsoWindowContext context()
    {
        TQsoWindowContext c;
        c.dm = m_fx->dm.get();
        c.dxccList = m_fx->dxcc.get();
        c.mainQuery = m_main.get();
        c.refreshLog = [this](bool, bool keepPosition) {
            ++m_refreshes;
            m_keepPositions << keepPosition;
            const int recNo = m_main->RecNo();
            m_main->Open();
            if (keepPosition)
                m_main->SetRecNo(recNo);
            else
                m_main->Last();
        };
        return c;
    }

    std::unique_ptr<TfrmQSO> open(int mode)
    {
        auto window = std::make_unique<TfrmQSO>(mode, context());
        window->show();
        if (!QTest::qWaitForWindowActive(window.get()))
            qWarning("QSO window not active");
        return window;
    }

    void typeCall(TfrmQSO &w, const QString &call)
    {
        w.edtCall->setFocus();
        QTest::keyClicks(w.edtCall, call);
    }

    // The main window on the sample log instead of the bare log of init().
    std::unique_ptr<MainWindowFixture> mainWindow()
    {
        m_main.reset();
        m_fx.reset();
        return std::make_unique<MainWindowFixture>();
    }

    // Drives the QSO window that the main window opens modally.
    void whenQsoWindowOpens(const std::function<void(TfrmQSO &)> &drive)
    {
        m_modals->handleAlways("frmQSO", [drive](QDialog &dialog) {
            auto *window = qobject_cast<TfrmQSO *>(&dialog);
            if (!window)
                return int(mrCancel);
            window->show();
            if (!QTest::qWaitForWindowActive(window))
                qWarning("QSO window not active");
            drive(*window);
            if (window->isVisible())
                window->close();
            return window->result();
        });
    }

    void openMainQuery()
    {
        m_main = std::make_unique<LogQuery>();
        m_main->SetConnectionName(TdmLog::DatabaseName);
        m_main->Open();
        m_main->Last();
    }

private slots:
    void init()
    {
        m_fx = std::make_unique<QsoTestFixture>();
        m_fx->insertSampleLog();
        openMainQuery();
        m_messages = std::make_unique<ScriptedMessages>();
        m_modals = std::make_unique<ModalScript>();
        m_refreshes = 0;
        m_keepPositions.clear();
    }
    void cleanup()
    {
        m_modals.reset();
        m_messages.reset();
        m_main.reset();
        m_fx.reset();
    }

    void newQsoShowsThePresets()
    {
        auto w = open(TfrmQSO::qmNew);
        QCOMPARE(w->cbFreq->currentText(), QString("14,025"));
        QCOMPARE(w->cbFreq->count(), 3);
        QCOMPARE(w->cbMode->currentText(), QString("SSB"));
        QCOMPARE(w->edtRSTo->text(), QString("59"));
        QCOMPARE(w->edtRSTp->text(), QString("59"));
        QCOMPARE(w->cbQSLo->currentText(), QString("Ne"));
        QCOMPARE(w->cbQSLo->count(), 4);
        QCOMPARE(w->cbQSLp->currentText(), QString("Ne"));
        QCOMPARE(w->cbEQSL->currentText(), QString("Ne"));
        QCOMPARE(w->edtLOCo->text(), QsoTestFixture::OwnLocator);
        QCOMPARE(w->cbPWR->currentText(), QString("100"));
        QCOMPARE(w->cbPWR->count(), 12);
        QCOMPARE(w->lblBand->text(), QString("Pásmo: 20m"));
        QVERIFY(w->edtCall->text().isEmpty());
        QCOMPARE(QApplication::focusWidget(), w->edtCall);
        QCOMPARE(w->LastControl(), w->edtCall);
        QVERIFY(!w->lblNovaZeme->isEnabled());
        QVERIFY(!w->lblPseQsl->isEnabled());
        QCOMPARE(w->windowTitle(), QString("Spojení"));
        // The UTC clock runs.
        const QRegularExpression time("^\\d\\d:\\d\\d:\\d\\d$");
        QVERIFY(time.match(w->lblClockTime->text()).hasMatch());
        QCOMPARE(w->lblClockDate->text(), Formats::formatDate("dd.mm.yyyy", UTCDate()));
        const QString first = w->lblClockTime->text();
        QTRY_VERIFY_WITH_TIMEOUT(w->lblClockTime->text() != first, 2500);
        QVERIFY(!w->Modified());
    }

    void leavingTheCallSign()
    {
        auto w = open(TfrmQSO::qmNew);
        typeCall(*w, "OK1ABC");
        leaveWithTab(w->edtCall);
        QCOMPARE(QApplication::focusWidget(), w->cbFreq);

        // Time stamp.
        const QTime stamped = w->edtTime->Time();
        QVERIFY(stamped.isValid());
        const int apart = qAbs(stamped.secsTo(UTCTime()));
        QVERIFY(apart <= 5 || apart >= 86395);
        QCOMPARE(w->edtDate->text(), Formats::formatDate("dd.mm.yyyy", UTCDate()));
        // Entity and zones of the prefix, then of the newest exact QSO.
        QCOMPARE(w->edtDXCC->text(), QString("OK"));
        QCOMPARE(w->edtITU->text(), QString("28"));
        QCOMPARE(w->edtWAZ->text(), QString("15"));
        QCOMPARE(w->lblDxccDXCC->text(), QString("OK"));
        QVERIFY(!w->lblDxccName->text().isEmpty());
        QVERIFY(w->lblDxccLatitude->text().endsWith(" S"));
        QVERIFY(w->lblDxccLongitude->text().endsWith(" V"));
        QCOMPARE(w->lblDxccCont->text().isEmpty(), false);
        QTRY_VERIFY(!w->lblDxccTime->text().isEmpty()); // the clock shows the entity's local time
        // Earlier QSOs: every form of the base call, the newest selected.
        LogQuery *pred = w->PreviousQuery();
        QVERIFY(pred->Active());
        QCOMPARE(pred->RecordCount(), 3);
        QCOMPARE(pred->ValueAt(0, fiCALL).toString(), QString("OK1ABC/P"));
        QCOMPARE(pred->ValueAt(2, fiCALL).toString(), QString("DL/OK1ABC"));
        QCOMPARE(w->dbgLastQSO->model()->rowCount(), 3);
        QCOMPARE(w->dbgLastQSO->currentIndex().row(), 2);
        QCOMPARE(w->dbgLastQSO->model()->index(1, 0).data().toString(), QString("02.01.07"));
        QCOMPARE(w->dbgLastQSO->model()->index(1, 3).data().toString(), QString("SSB"));
        QCOMPARE(w->dbgLastQSO->model()->index(1, 10).data().toString(), QString("Y"));
        // Any locator shows whole in the grid's font, within the style's cell margins.
        const int margins = 2 * (w->style()->pixelMetric(QStyle::PM_FocusFrameHMargin, nullptr, w->dbgLastQSO) + 1);
        for (const QString locator : {"EM15AB", "MM00WW"}) {
            const int width = QFontMetrics(w->dbgLastQSO->font()).horizontalAdvance(locator) + margins;
            QVERIFY2(width <= w->dbgLastQSO->columnWidth(6), qPrintable(locator));
            QVERIFY2(width <= w->dbgLastQSO->columnWidth(7), qPrintable(locator));
        }
        // Fills from the newest exact match; the later QSO from Germany does not count.
        QCOMPARE(w->edtName->text(), QString("Jan"));
        QCOMPARE(w->edtQTH->text(), QString("Praha"));
        QCOMPARE(w->edtLOCp->text(), QString("JO70FC"));
        // Distance and bearing to the partner's locator.
        QCOMPARE(w->lblDistance->text(), QString::number(w->GetQRB()) + "km");
        QVERIFY(w->GetQRB() > 50 && w->GetQRB() < 300);
        QCOMPARE(w->lblAzimuth->text(), QString::number(w->GetAzimuth()) + "°");
        // Hints: OK already worked on 20 m, and its QSL came on 20 m SSB.
        QVERIFY(!w->lblNovaZeme->isEnabled());
        QVERIFY(!w->lblPseQsl->isEnabled());
        QVERIFY(m_messages->shown.isEmpty());

        // Leaving the unchanged call sign again stamps nothing.
        w->edtTime->setText("00:00:00");
        w->edtCall->setFocus();
        leaveWithTab(w->edtCall);
        QCOMPARE(w->edtTime->text(), QString("00:00:00"));
    }

    void hintsFollowBandAndMode()
    {
        auto w = open(TfrmQSO::qmNew);
        typeCall(*w, "OK1ABC");
        leaveWithTab(w->edtCall);
        QVERIFY(!w->lblPseQsl->isEnabled());
        // CW: no QSL received from this station on 20 m CW.
        w->cbMode->setFocus();
        w->cbMode->setCurrentIndex(0);
        leaveWithTab(w->cbMode);
        QVERIFY(w->lblPseQsl->isEnabled());
        QCOMPARE(w->edtRSTo->text(), QString("599"));
        // 10 m: a new band for OK.
        w->cbFreq->setFocus();
        w->cbFreq->setEditText("28,5");
        leaveWithTab(w->cbFreq);
        QVERIFY(w->lblNovaZeme->isEnabled());
        QCOMPARE(w->lblBand->text(), QString("Pásmo: 10m"));
        // A frequency that is no number leaves hints and band label as they are.
        w->cbFreq->setFocus();
        w->cbFreq->setEditText("");
        leaveWithTab(w->cbFreq);
        QVERIFY(w->lblNovaZeme->isEnabled());
        QCOMPARE(w->lblBand->text(), QString("Pásmo: 10m"));
        QVERIFY(m_messages->shown.isEmpty());
    }

    void reportFollowsTheMode_data()
    {
        QTest::addColumn<QString>("mode");
        QTest::addColumn<QString>("before");
        QTest::addColumn<QString>("after");
        QTest::newRow("SSB") << "SSB" << "599" << "59";
        QTest::newRow("CW") << "CW" << "59" << "599";
        QTest::newRow("PSK31") << "PSK31" << "599" << "59";
    }
    void reportFollowsTheMode()
    {
        QFETCH(QString, mode);
        QFETCH(QString, before);
        QFETCH(QString, after);
        auto w = open(TfrmQSO::qmNew);
        w->edtRSTo->setText(before);
        w->edtRSTp->setText(before);
        w->cbMode->setFocus();
        w->cbMode->setCurrentIndex(w->cbMode->findText(mode));
        leaveWithTab(w->cbMode);
        QCOMPARE(w->edtRSTo->text(), after);
        QCOMPARE(w->edtRSTp->text(), after);
    }

    void capitalisationAndLocator()
    {
        auto w = open(TfrmQSO::qmNew);
        w->edtName->setFocus();
        QTest::keyClicks(w->edtName, "jan");
        leaveWithTab(w->edtName);
        QCOMPARE(w->edtName->text(), QString("Jan"));
        QTest::keyClicks(w->edtQTH, "nr. praha");
        leaveWithTab(w->edtQTH);
        QCOMPARE(w->edtQTH->text(), QString("nr. Praha"));
        QTest::keyClicks(w->edtLOCp, "jo70");
        leaveWithTab(w->edtLOCp);
        QCOMPARE(w->edtLOCp->text(), QString("JO70MM"));
        QVERIFY(w->lblDistance->text().endsWith("km"));
        QVERIFY(w->GetQRB() > 0);
    }

    void nothingToMeasureTo()
    {
        auto w = open(TfrmQSO::qmNew);
        typeCall(*w, "Q9Q"); // no entity, no locator
        leaveWithTab(w->edtCall);
        QCOMPARE(w->lblDistance->text(), QString("0km"));
        QCOMPARE(w->lblAzimuth->text(), QString("0°"));
        QVERIFY(w->lblDxccDXCC->text().isEmpty());
    }

    void offlineTimeIsNotStamped()
    {
        auto w = open(TfrmQSO::qmNew);
        clickCheckBox(w->chOffline);
        QVERIFY(w->chOffline->isChecked());
        QCOMPARE(QApplication::focusWidget(), w->edtCall); // back to the last field
        w->edtTime->setText("12:00:00");
        w->edtDate->setText("01.02.2007");
        typeCall(*w, "OK1ABC");
        leaveWithTab(w->edtCall);
        QCOMPARE(w->edtTime->text(), QString("12:00:00"));
        QCOMPARE(w->edtDate->text(), QString("01.02.2007"));
        // A clear keeps them too, and a locked note.
        clickCheckBox(w->chLockNote);
        w->edtNote->setText("expedice");
        QTest::keyClick(w.get(), Qt::Key_F8);
        QVERIFY(w->edtCall->text().isEmpty());
        QVERIFY(w->edtName->text().isEmpty());
        QCOMPARE(w->edtNote->text(), QString("expedice"));
        QCOMPARE(w->edtTime->text(), QString("12:00:00"));
        QCOMPARE(w->edtDate->text(), QString("01.02.2007"));
        QCOMPARE(w->LastCall(), QString("-"));
        QVERIFY(!w->PreviousQuery()->Active());
        QVERIFY(w->lblDxccDXCC->text().isEmpty());
    }

    void ctrlEnterInTheCallSignSaves()
    {
        auto w = open(TfrmQSO::qmNew);
        const int before = m_fx->rows().size();
        typeCall(*w, "OK1ABC");
        QTest::keyClick(w->edtCall, Qt::Key_Return, Qt::ControlModifier);
        QVERIFY2(m_messages->shown.isEmpty(), qPrintable(m_messages->texts().join('|')));
        const QList<TLogRecord> rows = m_fx->rows();
        QCOMPARE(rows.size(), before + 1);
        const TLogRecord &r = rows.last();
        QCOMPARE(r[fiCALL].toString(), QString("OK1ABC"));
        QCOMPARE(r[fiDAT].toDate(), UTCDate());
        QVERIFY(r[fiUTC].toTime().isValid());
        QCOMPARE(r[fiFREQ].toDouble(), 14.025);
        QCOMPARE(r[fiBAND].toInt(), GetBandIndex(14.025));
        QCOMPARE(BandNames[r[fiBAND].toInt()], QString("20m"));
        QCOMPARE(r[fiMODE].toInt(), 2);
        QCOMPARE(r[fiRSTO].toString(), QString("59"));
        QCOMPARE(r[fiNAME].toString(), QString("Jan"));
        QCOMPARE(r[fiQTH].toString(), QString("Praha"));
        QCOMPARE(r[fiLOCO].toString(), QsoTestFixture::OwnLocator);
        QCOMPARE(r[fiLOCP].toString(), QString("JO70FC"));
        QCOMPARE(r[fiDXCC].toString(), QString("OK"));
        QCOMPARE(r[fiITU].toInt(), 28);
        QCOMPARE(r[fiWAZ].toInt(), 15);
        QCOMPARE(r[fiPWR].toDouble(), 100.0);
        QCOMPARE(r[fiQSLO].toInt(), 0);
        QVERIFY(r[fiQRB].toDouble() > 50);
        QVERIFY(r.isEmpty(fiIOTA));
        // Refreshed at once (RefreshLog on): the main query ends on the new QSO.
        QCOMPARE(m_refreshes, 1);
        QCOMPARE(m_main->Value(fiCALL).toString(), QString("OK1ABC"));
        QCOMPARE(m_main->RecNo(), m_main->RecordCount());
        QVERIFY(!w->RefreshNeeded());
        // Cleared for the next QSO, the presets kept.
        QVERIFY(w->edtCall->text().isEmpty());
        QVERIFY(w->edtName->text().isEmpty());
        QVERIFY(w->edtTime->text().isEmpty());
        QCOMPARE(w->cbFreq->currentText(), QString("14,025"));
        QCOMPARE(w->cbMode->currentText(), QString("SSB"));
        QCOMPARE(w->edtRSTo->text(), QString("59"));
        QCOMPARE(w->edtLOCo->text(), QsoTestFixture::OwnLocator);
        QCOMPARE(QApplication::focusWidget(), w->edtCall);
        QCOMPARE(w->SessionList(), QStringList{"OK;6"});
        // Nothing to ask when closing right after a save.
        w->close();
        QVERIFY(!w->isVisible());
        QVERIFY(m_messages->shown.isEmpty());
    }

    // The name box takes no more than the log keeps, and the longest name it takes is
    // stored whole.
    void textsAreCutToTheLogFields()
    {
        auto w = open(TfrmQSO::qmNew);
        typeCall(*w, "W1AW");
        leaveWithTab(w->edtCall);
        w->edtName->setFocus();
        QVERIFY(TypeIntoFocus("jan amos komensky"));
        leaveWithTab(w->edtName);
        const QString shown = w->edtName->text();
        QCOMPARE(shown, QString("Jan amos kom"));
        QTest::keyClick(w->edtCall, Qt::Key_Return, Qt::ControlModifier);
        QCOMPARE(m_fx->rows().last()[fiNAME].toString(), shown);
    }

    void refreshOnlyOnClose()
    {
        m_fx->dm->UserOptions.SetRefreshLog(false);
        auto w = open(TfrmQSO::qmNew);
        const int count = m_main->RecordCount();
        typeCall(*w, "OK1ABC");
        QTest::keyClick(w->edtCall, Qt::Key_Return, Qt::ControlModifier);
        QCOMPARE(m_refreshes, 0);
        QCOMPARE(m_main->RecordCount(), count);
        QVERIFY(w->RefreshNeeded());
        // The same entity on the same band, before any refresh: no new country.
        typeCall(*w, "OK2QQ");
        leaveWithTab(w->edtCall);
        QVERIFY(!w->lblNovaZeme->isEnabled());
        w->edtCall->clear();
        QTest::keyClick(w.get(), Qt::Key_F8);
        w->close();
        w.reset();
        QCOMPARE(m_refreshes, 1);
        QCOMPARE(m_keepPositions, QList<bool>{false});
        QCOMPARE(m_main->RecordCount(), count + 1);
    }

    // The main window is told which QSOs the window wrote, so that it reads only those
    // again: each save at once, or all of them as the window goes, or the edited one.
    void refreshNamesTheWrittenQsos_data()
    {
        QTest::addColumn<int>("mode");
        QTest::addColumn<bool>("refreshAtOnce");
        QTest::newRow("new, at once") << int(TfrmQSO::qmNew) << true;
        QTest::newRow("new, as the window goes") << int(TfrmQSO::qmNew) << false;
        QTest::newRow("edit") << int(TfrmQSO::qmEdit) << true;
    }
    void refreshNamesTheWrittenQsos()
    {
        QFETCH(int, mode);
        QFETCH(bool, refreshAtOnce);
        m_fx->dm->UserOptions.SetRefreshLog(refreshAtOnce);
        m_main->SetOrderBy(LogQuery::SortOrderFor(fiNAME));
        m_main->Open();
        QVERIFY(m_main->Locate(fiNOTE, "první spojení"));
        const qint64 editId = m_main->Bookmark();
        qint64 lastIdBefore = 0;
        for (const TLogRecord &r : m_fx->rows())
            lastIdBefore = std::max(lastIdBefore, r.id());
        QList<QList<qint64>> told;
        TQsoWindowContext c = context();
        c.refreshWritten = [&](const QList<qint64> &ids, bool, bool) {
            told << ids;
            m_main->RefreshRows(ids);
        };
        auto w = std::make_unique<TfrmQSO>(mode, c);
        w->show();
        QVERIFY(QTest::qWaitForWindowActive(w.get()));
        const QStringList calls = mode == TfrmQSO::qmNew ? QStringList{"OK1ABC", "W1AW"} : QStringList{"OK1ABC/P"};
        for (const QString &call : calls) {
            w->edtCall->clear();
            typeCall(*w, call);
            w->edtName->setText(call == "W1AW" ? "Aaron" : "Zeno");
            QTest::keyClick(w->edtName, Qt::Key_Return, Qt::ControlModifier);
        }
        w->close();
        w.reset();
        QList<qint64> written{editId};
        if (mode == TfrmQSO::qmNew) {
            written.clear();
            for (const TLogRecord &r : m_fx->rows())
                if (r.id() > lastIdBefore)
                    written << r.id();
        }
        QCOMPARE(written.size(), calls.size());
        QList<QList<qint64>> expected{written};
        if (mode == TfrmQSO::qmNew && refreshAtOnce)
            expected = {{written[0]}, {written[1]}};
        QCOMPARE(told, expected);
        QCOMPARE(m_refreshes, 0);
        // The grid as reading the whole log gives it.
        LogQuery fresh;
        fresh.SetConnectionName(TdmLog::DatabaseName);
        fresh.SetOrderBy(m_main->OrderBy());
        fresh.Open();
        QCOMPARE(m_main->RecordCount(), fresh.RecordCount());
        for (int row = 0; row < fresh.RecordCount(); ++row)
            QCOMPARE(m_main->IdAt(row), fresh.IdAt(row));
    }

    // The QSO is in the log by then; a main window that cannot show it must say so, and
    // the failure must not escape the command or the closing window (which would end the
    // program).
    void failedRefreshIsShown_data()
    {
        QTest::addColumn<bool>("refreshAtOnce");
        QTest::newRow("after the save") << true;
        QTest::newRow("as the window goes") << false;
    }
    void failedRefreshIsShown()
    {
        QFETCH(bool, refreshAtOnce);
        m_fx->dm->UserOptions.SetRefreshLog(refreshAtOnce);
        TQsoWindowContext c = context();
        c.refreshLog = [](bool, bool) { throw EDatabaseError(QStringLiteral("Chyba při čtení deníku")); };
        auto w = std::make_unique<TfrmQSO>(TfrmQSO::qmNew, c);
        w->show();
        QVERIFY(QTest::qWaitForWindowActive(w.get()));
        const int rows = m_fx->rows().size();
        typeCall(*w, "OK1ABC");
        QTest::keyClick(w->edtCall, Qt::Key_Return, Qt::ControlModifier);
        QCOMPARE(m_fx->rows().size(), rows + 1);
        if (refreshAtOnce) {
            QCOMPARE(m_messages->texts(), QStringList{"Chyba při čtení deníku"});
            QVERIFY(w->edtCall->text().isEmpty()); // ready for the next QSO
        }
        w->close();
        w.reset();
        QCOMPARE(m_messages->texts(), QStringList{"Chyba při čtení deníku"});
        QCOMPARE(m_messages->shown.first().type, mtError);
    }

    void newCountryBeforeTheRefresh()
    {
        m_fx->dm->UserOptions.SetRefreshLog(false);
        auto w = open(TfrmQSO::qmNew);
        typeCall(*w, "JA1ABC");
        leaveWithTab(w->edtCall);
        QVERIFY(w->lblNovaZeme->isEnabled()); // Japan never worked
        QVERIFY(w->lblPseQsl->isEnabled());   // first QSO with the station
        QTest::keyClick(w->edtCall, Qt::Key_Return, Qt::ControlModifier);
        typeCall(*w, "JA2XYZ");
        leaveWithTab(w->edtCall);
        QVERIFY(!w->lblNovaZeme->isEnabled());
        // Another band is still new.
        w->cbFreq->setFocus();
        w->cbFreq->setEditText("7");
        leaveWithTab(w->cbFreq);
        QVERIFY(w->lblNovaZeme->isEnabled());
    }

    void failingChecks_data()
    {
        QTest::addColumn<QString>("field");
        QTest::addColumn<QString>("value");
        QTest::addColumn<QString>("message");
        QTest::addColumn<QString>("focused");
        QTest::newRow("call") << "edtCall" << "" << "Značka musí být zadána!" << "edtCall";
        QTest::newRow("frequency") << "cbFreq" << "" << "Frekvence musí být zadána!" << "cbFreq";
        QTest::newRow("frequency 0") << "cbFreq" << "0" << "Neplatná frekvence \"0\"!" << "cbFreq";
        QTest::newRow("frequency negative")
            << "cbFreq" << "-3,5" << "Neplatná frekvence \"-3,5\"!" << "cbFreq";
        QTest::newRow("partner's locator") << "edtLOCp" << "JO7" << "Neplatný lokátor \"JO7\"!" << "edtLOCp";
        QTest::newRow("DXCC") << "edtDXCC" << "O-K" << "Neplatný kód DXCC \"O-K\"!" << "edtDXCC";
        QTest::newRow("ITU") << "edtITU" << "91" << "Neplatný kód ITU \"91\" (povoleny jsou hodnoty 1..90)!"
                             << "edtITU";
        QTest::newRow("WAZ") << "edtWAZ" << "41" << "Neplatný kód WAZ \"41\" (povoleny jsou hodnoty 1..40)!"
                             << "edtWAZ";
        QTest::newRow("IOTA") << "edtIOTA" << "E" << "Neplatný formát IOTA!" << "edtIOTA";
        QTest::newRow("time") << "edtTime" << "25:00" << "Neplatný čas \"25:00\"!" << "edtTime";
        QTest::newRow("date") << "edtDate" << "32.1.2007" << "Neplatné datum \"32.1.2007\"!" << "edtDate";
        QTest::newRow("power") << "cbPWR" << "" << "Výkon musí být zadán!" << "cbPWR";
        QTest::newRow("own locator") << "edtLOCo" << "JN7" << "Neplatný lokátor \"JN7\"!" << "edtLOCo";
        QTest::newRow("own locator empty") << "edtLOCo" << "" << "Lokátor musí být zadán!" << "edtLOCo";
        QTest::newRow("mode") << "cbMode" << "" << "Neplatný mód \"\"!" << "";
    }
    void failingChecks()
    {
        QFETCH(QString, field);
        QFETCH(QString, value);
        QFETCH(QString, message);
        QFETCH(QString, focused);
        auto w = open(TfrmQSO::qmNew);
        typeCall(*w, "OK1ABC");
        leaveWithTab(w->edtCall);
        const int before = m_fx->rows().size();
        QWidget *control = w->findChild<QWidget *>(field);
        QVERIFY(control);
        if (auto *box = qobject_cast<QComboBox *>(control)) {
            if (box->isEditable())
                box->setEditText(value);
            else
                box->setCurrentIndex(-1);
        } else {
            static_cast<QLineEdit *>(control)->setText(value);
        }
        w->btnSave->click();
        QCOMPARE(m_messages->texts(), QStringList{message});
        QCOMPARE(m_messages->shown.first().type, mtError);
        if (focused.isEmpty())
            QVERIFY(m_messages->focused.isEmpty());
        else
            QCOMPARE(m_messages->lastFocused(), w->findChild<QWidget *>(focused));
        QCOMPARE(m_fx->rows().size(), before);
        QVERIFY(w->isVisible());
        QCOMPARE(w->edtCall->text(), field == "edtCall" ? QString() : QString("OK1ABC"));
        QVERIFY(w->SessionList().isEmpty());
    }

    void emptyOptionalFieldsPass()
    {
        auto w = open(TfrmQSO::qmNew);
        typeCall(*w, "Q9Q"); // nothing resolved or filled
        leaveWithTab(w->edtCall);
        QVERIFY(w->edtLOCp->text().isEmpty() && w->edtDXCC->text().isEmpty() && w->edtIOTA->text().isEmpty());
        w->cbMode->setCurrentIndex(w->cbMode->findText("PSK31"));
        w->btnSave->click();
        QVERIFY(m_messages->shown.isEmpty());
        const TLogRecord r = m_fx->rows().last();
        QCOMPARE(r[fiCALL].toString(), QString("Q9Q"));
        QVERIFY(r.isEmpty(fiDXCC));
        QVERIFY(r.isEmpty(fiITU));
        QCOMPARE(r[fiMODE].toInt(), GetModeIndex("PSK31"));
        QCOMPARE(r[fiQRB].toDouble(), 0.0);
    }

    void outOfBandFrequency()
    {
        auto w = open(TfrmQSO::qmNew);
        typeCall(*w, "W1AW");
        w->cbFreq->setEditText("99999");
        QTest::keyClick(w->edtCall, Qt::Key_Return, Qt::ControlModifier);
        QCOMPARE(m_fx->rows().last()[fiBAND].toInt(), BandOutside);
    }

    void editMode()
    {
        // The current record of the main query: OK1ABC on 2 Jan 2007.
        QVERIFY(m_main->Locate(fiNOTE, "první spojení"));
        const qint64 id = m_main->Bookmark();
        const int recNo = m_main->RecNo();
        auto w = open(TfrmQSO::qmEdit);
        QCOMPARE(w->edtCall->text(), QString("OK1ABC"));
        QCOMPARE(w->cbFreq->currentText(), QString("14,025"));
        QCOMPARE(w->cbMode->currentText(), QString("SSB"));
        QCOMPARE(w->edtName->text(), QString("Jan"));
        QCOMPARE(w->edtTime->text(), QString("18:30:00"));
        QCOMPARE(w->edtDate->text(), QString("02.01.2007"));
        QCOMPARE(w->cbQSLp->currentIndex(), 1);
        QCOMPARE(w->edtITU->text(), QString("28"));
        QCOMPARE(w->edtRSTp->text(), QString("57"));
        QCOMPARE(w->cbPWR->currentText(), QString("100"));
        QCOMPARE(w->lblBand->text(), QString("Pásmo: 20m"));
        QCOMPARE(w->lblDxccDXCC->text(), QString("OK"));
        QCOMPARE(QApplication::focusWidget(), w->btnZavrit);
        QVERIFY(w->grpBoxSpojeni->isEnabled());
        QVERIFY(w->actSave->isEnabled());
        // The earlier QSOs leave out the edited one.
        QCOMPARE(w->PreviousQuery()->RecordCount(), 2);
        QVERIFY(!w->Modified());

        // Leaving the call sign looks up but fills and stamps nothing.
        w->edtCall->setFocus();
        w->edtCall->setText("OK1ABC/P");
        w->edtName->clear();
        leaveWithTab(w->edtCall);
        QCOMPARE(w->edtTime->text(), QString("18:30:00"));
        QVERIFY(w->edtName->text().isEmpty());
        QCOMPARE(w->PreviousQuery()->RecordCount(), 2);

        w->edtName->setText("Jenda");
        QTest::keyClick(w->edtName, Qt::Key_Return, Qt::ControlModifier);
        QVERIFY(m_messages->shown.isEmpty());
        QVERIFY(!w->isVisible());
        w.reset();
        TLogRecord r;
        QVERIFY(LogTable(TdmLog::DatabaseName).FindKey(id, r));
        QCOMPARE(r[fiCALL].toString(), QString("OK1ABC/P"));
        QCOMPARE(r[fiNAME].toString(), QString("Jenda"));
        QCOMPARE(r[fiUTC].toTime(), QTime(18, 30));
        QCOMPARE(m_fx->rows().size(), 4); // written over, nothing added
        QCOMPARE(m_keepPositions, QList<bool>{true});
        QCOMPARE(m_main->RecNo(), recNo);
    }

    void editedQsoDeletedMeanwhile()
    {
        QVERIFY(m_main->Locate(fiNOTE, "první spojení"));
        const qint64 id = m_main->Bookmark();
        auto w = open(TfrmQSO::qmEdit);
        LogTable(TdmLog::DatabaseName).Delete(id);
        w->edtName->setText("Jenda");
        w->btnSave->click();
        QCOMPARE(m_messages->texts(), QStringList{"Spojení již v deníku není!"});
        QVERIFY(w->isVisible());
        QCOMPARE(w->edtName->text(), QString("Jenda"));
        QCOMPARE(m_fx->rows().size(), 3); // nothing written anywhere
        // Closing: "Yes" tries again and keeps the window; "No" closes.
        m_messages->clear();
        m_messages->answerNext(mrYes);
        w->close();
        QVERIFY(w->isVisible());
        QCOMPARE(m_messages->texts(), QStringList({"Chcete uložit změny?", "Spojení již v deníku není!"}));
        m_messages->answerNext(mrNo);
        w->close();
        QVERIFY(!w->isVisible());
        QCOMPARE(m_fx->rows().size(), 3);
    }

    void viewMode()
    {
        QVERIFY(m_main->Locate(fiCALL, "G3XYZ"));
        auto w = open(TfrmQSO::qmView);
        QCOMPARE(w->edtCall->text(), QString("G3XYZ"));
        QCOMPARE(w->cbFreq->currentText(), QString("21,2"));
        QVERIFY(!w->grpBoxSpojeni->isEnabled());
        QVERIFY(!w->grpBoxVlastni->isEnabled());
        QVERIFY(!w->grpBoxVolby->isEnabled());
        QVERIFY(!w->actSave->isEnabled());
        QVERIFY(!w->btnSave->isEnabled());
        QVERIFY(!w->actClearForm->isEnabled());
        QVERIFY(!w->actInsertDateTime->isEnabled());
        QVERIFY(w->actClose->isEnabled());
        QVERIFY(w->actHelp->isEnabled());
        QCOMPARE(w->PreviousQuery()->RecordCount(), 0);
        QVERIFY(!w->lblPseQsl->isEnabled());
        // Ctrl+Enter does nothing, Esc closes without a question.
        QTest::keyClick(w.get(), Qt::Key_Return, Qt::ControlModifier);
        QTest::keyClick(w.get(), Qt::Key_Escape);
        QVERIFY(!w->isVisible());
        QVERIFY(m_messages->shown.isEmpty());
        w.reset();
        QCOMPARE(m_refreshes, 0);
    }

    void modeNotInTheOperatorsList()
    {
        m_fx->dm->UserOptions.SetModes({1, 2});
        QVERIFY(m_main->Locate(fiCALL, "G3XYZ"));
        m_fx->insert(QsoTestFixture::qso("VK2AA", QDate(2008, 1, 1), QTime(1, 0), 14.1, 9));
        m_main->Open();
        QVERIFY(m_main->Locate(fiCALL, "VK2AA"));
        auto w = open(TfrmQSO::qmView);
        QCOMPARE(w->cbMode->count(), 3);
        QCOMPARE(w->cbMode->currentText(), QString("RTTY"));
    }

    void closeQuestionsInNewMode()
    {
        auto w = open(TfrmQSO::qmNew);
        w->close();
        QVERIFY(!w->isVisible()); // nothing typed: no question
        QVERIFY(m_messages->shown.isEmpty());

        w.reset();
        w = open(TfrmQSO::qmNew);
        QTest::keyClicks(w->edtCall, "O");
        QVERIFY(w->Modified());
        m_messages->answerNext(mrNo);
        QTest::keyClick(w.get(), Qt::Key_Escape);
        QCOMPARE(m_messages->texts(), QStringList{"Aktuální spojení nebude uloženo.\rChcete pokračovat?"});
        QCOMPARE(m_messages->shown.first().defaultResult, int(mrNo));
        QVERIFY(w->isVisible());
        m_messages->answerNext(mrYes);
        w->close();
        QVERIFY(!w->isVisible());
        QCOMPARE(m_fx->rows().size(), 4);
    }

    void closeQuestionsInEditMode_data()
    {
        QTest::addColumn<int>("answer");
        QTest::addColumn<bool>("stays");
        QTest::addColumn<QString>("storedName");
        QTest::newRow("cancel") << int(mrCancel) << true << "Jan";
        QTest::newRow("no") << int(mrNo) << false << "Jan";
        QTest::newRow("yes") << int(mrYes) << false << "Jenda";
    }
    void closeQuestionsInEditMode()
    {
        QFETCH(int, answer);
        QFETCH(bool, stays);
        QFETCH(QString, storedName);
        QVERIFY(m_main->Locate(fiNOTE, "první spojení"));
        const qint64 id = m_main->Bookmark();
        auto w = open(TfrmQSO::qmEdit);
        w->edtName->setText("Jenda");
        m_messages->answerNext(answer);
        w->close();
        QCOMPARE(m_messages->texts().first(), QString("Chcete uložit změny?"));
        QCOMPARE(m_messages->shown.first().defaultResult, int(mrYes));
        QCOMPARE(w->isVisible(), stays);
        TLogRecord r;
        QVERIFY(LogTable(TdmLog::DatabaseName).FindKey(id, r));
        QCOMPARE(r[fiNAME].toString(), storedName);
    }

    void yesClosesEvenWhenACheckRefuses()
    {
        QVERIFY(m_main->Locate(fiNOTE, "první spojení"));
        auto w = open(TfrmQSO::qmEdit);
        w->edtITU->setText("99");
        m_messages->answerNext(mrYes);
        w->close();
        QCOMPARE(m_messages->texts(),
                 QStringList({"Chcete uložit změny?", "Neplatný kód ITU \"99\" (povoleny jsou hodnoty 1..90)!"}));
        QVERIFY(!w->isVisible());
        QCOMPARE(m_fx->rows().at(1)[fiITU].toInt(), 28);
    }

    void quickEntry()
    {
        auto w = open(TfrmQSO::qmNew);
        QCOMPARE(w->QuickMask(), 0u);
        clickCheckBox(w->chQuickQSO);
        QVERIFY(w->QuickQSO());
        const QColor stop(0xFF, 0xFF, 0xCC);
        QCOMPARE(w->edtCall->palette().color(QPalette::Base), stop);
        for (QWidget *field : w->QsoFields())
            if (field != w->edtCall)
                QCOMPARE(field->palette().color(QPalette::Base), QColor(Qt::white));
        // With mask 0 the Tab key goes from the call sign straight to the save button.
        typeCall(*w, "W1AW");
        leaveWithTab(w->edtCall);
        QCOMPARE(QApplication::focusWidget(), w->btnSave);

        // The skip item: disabled on the call sign, ticked on a skipped field.
        w->PopupMenuFor(w->edtCall);
        QVERIFY(!w->actSkipQuickQSO->isEnabled());
        w->PopupMenuFor(w->edtName);
        QVERIFY(w->actSkipQuickQSO->isEnabled());
        QVERIFY(w->actSkipQuickQSO->isChecked());
        w->actSkipQuickQSO->trigger(); // the name becomes a stop
        QCOMPARE(w->QuickMask(), 1u << 5);
        QCOMPARE(w->edtName->palette().color(QPalette::Base), stop);
        w->PopupMenuFor(w->edtName);
        QVERIFY(!w->actSkipQuickQSO->isChecked());
        w->edtCall->setFocus();
        leaveWithTab(w->edtCall);
        QCOMPARE(QApplication::focusWidget(), w->edtName);

        // Off again: every field a stop, all white.
        clickCheckBox(w->chQuickQSO);
        QVERIFY(!w->QuickQSO());
        for (QWidget *field : w->QsoFields())
            QCOMPARE(field->palette().color(QPalette::Base), QColor(Qt::white));
        w->edtCall->setFocus();
        leaveWithTab(w->edtCall);
        QCOMPARE(QApplication::focusWidget(), w->cbFreq);

        // The mask is stored when the window goes.
        w->edtCall->clear();
        QTest::keyClick(w.get(), Qt::Key_F8);
        w->close();
        w.reset();
        QCOMPARE(m_fx->dm->UserOptions.GetQuickQSOs(), 1 << 5);
    }

    void popupMenu()
    {
        auto w = open(TfrmQSO::qmNew);
        QMenu *menu = w->PopupMenuFor(w->edtNote);
        QStringList texts;
        for (QAction *a : menu->actions())
            texts << (a->isSeparator() ? QString("-") : a->text());
        QCOMPARE(texts, QStringList({"Kopírovat", "Vložit", "-", "Call Book", "Seznam DXCC", "Seznam IOTA", "-",
                                     "Přeskočit při rychlém zadávání"}));
        // The windows of other parts are not there yet.
        QVERIFY(!w->actCallBook->isEnabled());
        QVERIFY(!w->actDxccList->isEnabled());
        QVERIFY(!w->actIOTAList->isEnabled());
        QCOMPARE(w->edtNote->contextMenuPolicy(), Qt::CustomContextMenu);
        QCOMPARE(w->cbQSLp->contextMenuPolicy(), Qt::DefaultContextMenu);
        QCOMPARE(w->edtLOCo->contextMenuPolicy(), Qt::DefaultContextMenu);
        // Pasting into the call sign goes through its filter.
        QApplication::clipboard()->setText("ok1-abc");
        w->PopupMenuFor(w->edtCall);
        w->actPaste->trigger();
        QCOMPARE(w->edtCall->text(), QString("OK1ABC"));
    }

    void presetStepping()
    {
        auto w = open(TfrmQSO::qmNew);
        QTest::keyClick(w.get(), Qt::Key_F10); // last preset -> first
        QCOMPARE(w->cbFreq->currentText(), QString("3,5"));
        QTest::keyClick(w.get(), Qt::Key_F9); // first -> last
        QCOMPARE(w->cbFreq->currentText(), QString("14,025"));
        QTest::keyClick(w.get(), Qt::Key_F9);
        QCOMPARE(w->cbFreq->currentText(), QString("7"));
        QCOMPARE(w->lblBand->text(), QString("Pásmo: 20m")); // stepping updates nothing else
        QTest::keyClick(w.get(), Qt::Key_F12);
        QCOMPARE(w->cbMode->currentText(), QString("AM"));
        QTest::keyClick(w.get(), Qt::Key_F11);
        QTest::keyClick(w.get(), Qt::Key_F11);
        QCOMPARE(w->cbMode->currentText(), QString("CW"));
        QTest::keyClick(w.get(), Qt::Key_F11);
        QCOMPARE(w->cbMode->currentText(), QString("CLOVER"));
        QVERIFY(!w->Modified());
        // A typed frequency that is none of the presets: Next takes the first.
        w->cbFreq->setEditText("10,1");
        QTest::keyClick(w.get(), Qt::Key_F10);
        QCOMPARE(w->cbFreq->currentText(), QString("3,5"));
    }

    void keys()
    {
        auto w = open(TfrmQSO::qmNew);
        // Enter and Down stay on the empty call sign.
        QTest::keyClick(w->edtCall, Qt::Key_Return);
        QCOMPARE(QApplication::focusWidget(), w->edtCall);
        QTest::keyClick(w->edtCall, Qt::Key_Down);
        QCOMPARE(QApplication::focusWidget(), w->edtCall);
        QTest::keyClicks(w->edtCall, "W1AW");
        QTest::keyClick(w->edtCall, Qt::Key_Return);
        QCOMPARE(QApplication::focusWidget(), w->cbFreq);
        // Down and Up on a closed list move the focus and keep the selection.
        QTest::keyClick(w->cbFreq, Qt::Key_Down);
        QCOMPARE(QApplication::focusWidget(), w->cbMode);
        QCOMPARE(w->cbFreq->currentText(), QString("14,025"));
        QTest::keyClick(w->cbMode, Qt::Key_Down);
        QCOMPARE(w->cbMode->currentText(), QString("SSB"));
        QCOMPARE(QApplication::focusWidget(), w->edtRSTo);
        QTest::keyClick(w->edtRSTo, Qt::Key_Up);
        QCOMPARE(QApplication::focusWidget(), w->cbMode);
        QTest::keyClick(w->cbMode, Qt::Key_Up);
        QCOMPARE(QApplication::focusWidget(), w->cbFreq);
        // Space on the save button does not save; Ins stamps the time.
        w->btnSave->setFocus();
        QTest::keyClick(w->btnSave, Qt::Key_Space);
        QCOMPARE(m_fx->rows().size(), 4);
        w->edtTime->clear();
        QTest::keyClick(w.get(), Qt::Key_Insert);
        QVERIFY(w->edtTime->Time().isValid());
        QVERIFY(m_messages->shown.isEmpty());
    }

    void callSignFromAnotherProgram()
    {
        auto w = open(TfrmQSO::qmNew);
        TCopyToLogData data;
        data.Call = "dl1abc";
        data.Freq = 7.0235;
        QVERIFY(TLocalEndpoint::sendCopyData(TfrmQSO::EndpointName, CopyDataTag, data.encode()));
        QCOMPARE(w->edtCall->text(), QString("DL1ABC"));
        QCOMPARE(w->cbFreq->currentText(), QString("7,0235"));
        QVERIFY(w->edtDXCC->text().isEmpty()); // nothing looked up yet
        QVERIFY(!TLocalEndpoint::sendCopyData(TfrmQSO::EndpointName, 11, data.encode()));
        w->edtCall->clear();
        QTest::keyClick(w.get(), Qt::Key_F8);
        w->close();
        w.reset();

        QVERIFY(m_main->Locate(fiCALL, "G3XYZ"));
        for (int mode : {int(TfrmQSO::qmView), int(TfrmQSO::qmEdit)}) {
            auto other = open(mode);
            QVERIFY(TLocalEndpoint::exists(TfrmQSO::EndpointName));
            QVERIFY(!TLocalEndpoint::sendCopyData(TfrmQSO::EndpointName, CopyDataTag, data.encode()));
            QCOMPARE(other->edtCall->text(), QString("G3XYZ"));
        }
    }

    void theRoadFromF2()
    {
        auto mw = mainWindow();
        TfrmVelkor &w = mw->w();
        // A filter and another order first: F2 lifts both.
        w.FFilterLines = {"CALL LIKE ?"};
        w.FFilterValues = {"G%"};
        w.actFilter->setChecked(true);
        w.SortLog(fiCALL, true);
        QCOMPARE(w.qLog->RecordCount(), 1);
        mw->mark("G3XYZ");
        int opened = 0;
        whenQsoWindowOpens([&](TfrmQSO &q) {
            ++opened;
            QCOMPARE(q.Mode(), int(TfrmQSO::qmNew));
            QVERIFY(!w.FilterOn());
            QCOMPARE(w.SortField(), int(fiDAT));
            QVERIFY(w.actSortByDateTime->isChecked());
            QCOMPARE(w.qLog->RecordCount(), 4);
            QCOMPARE(w.qLog->RecNo(), 4);
            QCOMPARE(mw->model().MarkCount(), 0);
            QCOMPARE(QApplication::focusWidget(), q.edtCall);
            QTest::keyClicks(q.edtCall, "ok1abc");
            QTest::keyClick(q.edtCall, Qt::Key_Return, Qt::ControlModifier);
            // Saved, in the grid at once, and the form cleared for the next one.
            QCOMPARE(w.qLog->RecordCount(), 5);
            QCOMPARE(w.qLog->RecNo(), 5);
            QCOMPARE(w.qLog->Value(fiCALL).toString(), QString("OK1ABC"));
            QCOMPARE(mw->model().CellText(4, fiCALL), QString("OK1ABC"));
            QVERIFY(q.edtCall->text().isEmpty());
            QTest::keyClicks(q.edtCall, "W1AW");
            QTest::keyClick(q.edtCall, Qt::Key_Tab);
            QCOMPARE(q.edtDXCC->text(), QString("K"));
            QTest::keyClick(&q, Qt::Key_Return, Qt::ControlModifier);
        });
        mw->activate();
        QTest::keyClick(w.dbgLog, Qt::Key_F2);
        QCOMPARE(opened, 1);
        QVERIFY2(m_messages->shown.isEmpty(), qPrintable(m_messages->texts().join('|')));
        QCOMPARE(mw->fx.rows().size(), 6);
        const TLogRecord first = mw->fx.rows().at(4);
        QCOMPARE(first[fiCALL].toString(), QString("OK1ABC"));
        QCOMPARE(first[fiDXCC].toString(), QString("OK"));
        QCOMPARE(first[fiITU].toInt(), 28);
        QCOMPARE(first[fiNAME].toString(), QString("Jan"));
        QCOMPARE(first[fiDAT].toDate(), UTCDate());
        QCOMPARE(mw->fx.rows().at(5)[fiCALL].toString(), QString("W1AW"));
        QCOMPARE(w.qLog->RecordCount(), 6);
        QCOMPARE(w.qLog->Value(fiCALL).toString(), QString("W1AW"));
    }

    void editAndShowFromTheMainWindow()
    {
        auto mw = mainWindow();
        TfrmVelkor &w = mw->w();
        w.qLog->SetRecNo(2); // OK1ABC
        whenQsoWindowOpens([&](TfrmQSO &q) {
            QCOMPARE(q.Mode(), int(TfrmQSO::qmEdit));
            QCOMPARE(q.edtCall->text(), QString("OK1ABC"));
            q.edtName->setText("Jenda");
            QTest::keyClick(&q, Qt::Key_Return, Qt::ControlModifier);
            QVERIFY(!q.isVisible());
        });
        mw->activate();
        QTest::keyClick(w.dbgLog, Qt::Key_F4);
        QCOMPARE(mw->stored("OK1ABC")[fiNAME].toString(), QString("Jenda"));
        QCOMPARE(w.qLog->RecNo(), 2);
        QCOMPARE(mw->model().CellText(1, fiNAME), QString("Jenda"));
        QCOMPARE(mw->fx.rows().size(), 4);

        int views = 0;
        whenQsoWindowOpens([&](TfrmQSO &q) {
            ++views;
            QCOMPARE(q.Mode(), int(TfrmQSO::qmView));
            QVERIFY(!q.actSave->isEnabled());
        });
        mw->activate();
        QTest::keyClick(w.dbgLog, Qt::Key_Return);
        mw->activate();
        QTest::keyClick(w.dbgLog, Qt::Key_F3);
        QCOMPARE(views, 2);
        QVERIFY(m_messages->shown.isEmpty());
    }

    void screenshot()
    {
        const QByteArray folder = qgetenv("VELKOR_SCREENSHOTS");
        if (folder.isEmpty())
            QSKIP("VELKOR_SCREENSHOTS names no folder");
        auto w = open(TfrmQSO::qmNew);
        typeCall(*w, "OK1ABC");
        leaveWithTab(w->edtCall);
        w->cbMode->setFocus();
        w->cbMode->setCurrentIndex(0);
        leaveWithTab(w->cbMode);
        QTest::qWait(250); // a tick of the clock
        const QString file = QDir(QString::fromLocal8Bit(folder)).filePath("velkor-qso.png");
        QVERIFY(w->grab().save(file));
    }
};

QTEST_MAIN(TestQsoWindow)
#include "tst_qsowindow.moc"
