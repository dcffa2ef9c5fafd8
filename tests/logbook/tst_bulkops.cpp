#include "MainWindowFixture.h"

#include "radio/Amater.h"
#include "backup/BackUp.h"
#include "EditSelQSOsDialog.h"
#include "FileDialogs.h"
#include "FocusKeys.h"
#include "base/Formats.h"
#include "radio/Locator.h"
#include "ModalScript.h"
#include "QSOWindow.h"
#include "RestoreDialog.h"
#include "ScriptedMessages.h"
#include "FocusKeys.h"
#include "base/MessageTexts.h"
#include "log/LogConnection.h"

#include <QAction>
#include <QComboBox>
#include <QHeaderView>
#include <QLabel>
#include <QMenu>
#include <QRegularExpression>
#include <QProgressBar>
#include <QSqlQuery>
#include <QTest>

#include <memory>

namespace {

// Answers the bulk edit dialog: field, then the value typed or the list entry chosen.
struct BulkAnswer {
    int field = fiNAME;
    QString typed;
    int listPosition = -1;
    int result = mrOk;
};

int answerBulkEdit(QDialog &dialog, const BulkAnswer &answer)
{
    auto *bulk = qobject_cast<TfrmEditSelQSOs *>(&dialog);
    if (!bulk)
        return mrCancel;
    const int position =
        int(std::find(EditFieldIndexes.begin(), EditFieldIndexes.end(), answer.field) - EditFieldIndexes.begin());
    bulk->cbBoxField->setCurrentIndex(position);
    if (answer.listPosition >= 0)
        bulk->cbBoxValue->setCurrentIndex(answer.listPosition);
    else
        bulk->cbBoxValue->setEditText(answer.typed);
    return answer.result;
}

// Makes every change of a QSO with that call sign fail inside the database.
void failChangesOf(const QString &call)
{
    QSqlQuery q(QSqlDatabase::database(TdmLog::DatabaseName));
    const QString condition = QStringLiteral("OLD.CALL = '%1'").arg(call);
    QVERIFY(q.exec("CREATE TRIGGER no_update BEFORE UPDATE ON log WHEN " + condition
                   + " BEGIN SELECT RAISE(ABORT, 'locked'); END"));
    QVERIFY(q.exec("CREATE TRIGGER no_delete BEFORE DELETE ON log WHEN " + condition
                   + " BEGIN SELECT RAISE(ABORT, 'locked'); END"));
}

} // namespace

class TestBulkOps : public QObject
{
    Q_OBJECT

    std::unique_ptr<ScriptedMessages> m_messages;
    std::unique_ptr<ModalScript> m_modals;
    std::unique_ptr<MainWindowFixture> m_mw;

    MainWindowFixture &mw() { return *m_mw; }

    void bulkEdit(const BulkAnswer &answer)
    {
        m_modals->handle("frmEditSelQSOs", [&](QDialog &dialog) { return answerBulkEdit(dialog, answer); });
        mw().w().actEditQSO->trigger(); // F4 with marks: the bulk edit, not the QSO window
        QCOMPARE(m_modals->pending(), 0);
    }

private slots:
    void init()
    {
        m_messages = std::make_unique<ScriptedMessages>();
        m_modals = std::make_unique<ModalScript>();
        m_mw = std::make_unique<MainWindowFixture>();
        FileDialogs::resetScript();
    }
    void cleanup()
    {
        m_mw.reset();
        m_modals.reset();
        m_messages.reset();
        FileDialogs::resetScript();
    }

    void commandsAreEnabled()
    {
        TfrmVelkor &w = mw().w();
        for (QAction *action : {w.actNewQSO, w.actShowQSO, w.actEditQSO, w.actDeleteQSO, w.actQSLoN, w.actQSLoY,
                                w.actQSLoR, w.actQSLoI, w.actQSLpN, w.actQSLpY, w.actEQSLN, w.actEQSLY, w.actSelQSO,
                                w.actSelAllQSO, w.actSelNoneQSO, w.acBackUpLog, w.acRestoreLog})
            QVERIFY2(action->isEnabled(), qPrintable(action->objectName()));
    }

    void markingOne()
    {
        LogQuery &q = mw().query();
        QCOMPARE(q.RecNo(), 4);
        // Ins on the last record marks it and stays there.
        QTest::keyClick(mw().w().dbgLog, Qt::Key_Insert);
        QCOMPARE(q.RecNo(), 4);
        QCOMPARE(mw().model().MarkCount(), 1);
        QVERIFY(mw().model().IsMarked(q.Bookmark()));
        QCOMPARE(mw().w().StatusPanelText(1), QString("Vybráno:1"));
        // Ins on a marked record unmarks it.
        mw().w().actSelQSO->trigger();
        QCOMPARE(mw().model().MarkCount(), 0);
        // Elsewhere it marks and moves on.
        q.First();
        const TBookmark first = q.Bookmark();
        mw().w().actSelQSO->trigger();
        QCOMPARE(q.RecNo(), 2);
        QCOMPARE(mw().model().Marks(), QList<TBookmark>{first});
        // The pop-up names the command after the current row's mark.
        q.First();
        emit mw().w().pmMain->aboutToShow();
        QCOMPARE(mw().w().miSelQSO->text(), QString("Odoznačit"));
    }

    void markingAll()
    {
        LogQuery &q = mw().query();
        q.SetRecNo(2);
        QTest::keyClick(mw().w().dbgLog, Qt::Key_Plus, Qt::KeypadModifier);
        QCOMPARE(mw().model().MarkCount(), 4);
        QCOMPARE(frmDialog->pgBar()->value(), 4);
        QCOMPARE(frmDialog->pgBar()->maximum(), 4);
        QVERIFY(!frmDialog->isVisible());
        QCOMPARE(q.RecNo(), 2);
        QCOMPARE(mw().w().StatusPanelText(1), QString("Vybráno:4"));
        // All marked already: nothing happens, not even the progress window.
        frmDialog->SetProgress(0);
        mw().w().actSelAllQSO->trigger();
        QCOMPARE(frmDialog->pgBar()->value(), 0);
        QTest::keyClick(mw().w().dbgLog, Qt::Key_Minus, Qt::KeypadModifier);
        QCOMPARE(mw().model().MarkCount(), 0);
        QCOMPARE(mw().w().StatusPanelText(1), QString("Vybráno:0"));
    }

    void bulkEditOfEachKind_data()
    {
        QTest::addColumn<int>("field");
        QTest::addColumn<QString>("typed");
        QTest::addColumn<int>("listPosition");
        QTest::addColumn<QVariant>("stored");
        QTest::newRow("date") << int(fiDAT) << "5.3.2007" << -1 << QVariant(QDate(2007, 3, 5));
        QTest::newRow("time") << int(fiUTC) << "12:34" << -1 << QVariant(QTime(12, 34));
        QTest::newRow("mode SSB") << int(fiMODE) << "" << 1 << QVariant(2);
        QTest::newRow("QSLo requested") << int(fiQSLO) << "" << 2 << QVariant(2);
        QTest::newRow("QSLp received") << int(fiQSLP) << "" << 1 << QVariant(1);
        QTest::newRow("eQSL received") << int(fiEQSLP) << "" << 1 << QVariant(1);
        QTest::newRow("name as typed") << int(fiNAME) << "pepa" << -1 << QVariant("pepa");
        QTest::newRow("name emptied") << int(fiNAME) << "" << -1 << QVariant();
        QTest::newRow("IOTA in capitals") << int(fiIOTA) << "eu001" << -1 << QVariant("EU001");
        QTest::newRow("award in capitals") << int(fiAWARD) << "p-01" << -1 << QVariant("P-01");
        QTest::newRow("ITU") << int(fiITU) << "28" << -1 << QVariant(28);
        QTest::newRow("power") << int(fiPWR) << "0,5" << -1 << QVariant(0.5);
        QTest::newRow("note") << int(fiNOTE) << "tnx" << -1 << QVariant("tnx");
    }
    void bulkEditOfEachKind()
    {
        QFETCH(int, field);
        QFETCH(QString, typed);
        QFETCH(int, listPosition);
        QFETCH(QVariant, stored);
        mw().mark("OK1ABC");
        mw().mark("G3XYZ");
        const TLogRecord untouched = mw().stored("DL/OK1ABC");
        mw().query().SetRecNo(1);
        bulkEdit({field, typed, listPosition});
        QVERIFY2(m_messages->shown.isEmpty(), qPrintable(m_messages->texts().join('|')));
        for (const QString &call : {QString("OK1ABC"), QString("G3XYZ")}) {
            const TLogRecord r = mw().stored(call);
            if (stored.isNull())
                QVERIFY(r.isEmpty(field));
            else
                QCOMPARE(r[field], stored);
        }
        QCOMPARE(mw().stored("DL/OK1ABC")[field], untouched[field]);
        // Without a filter the marks stay; the grid keeps its place.
        QCOMPARE(mw().model().MarkCount(), 2);
        QCOMPARE(mw().query().RecNo(), 1);
    }

    // The dialog refuses, as the QSO window does, a value the log cannot hold: its message,
    // the focus back in the value box, the dialog open, and no QSO changed.
    void bulkEditRefusesWhatTheQsoWindowRefuses_data()
    {
        QTest::addColumn<int>("field");
        QTest::addColumn<QString>("typed");
        QTest::addColumn<QString>("message");
        QTest::newRow("ITU 999") << int(fiITU) << "999"
                                 << "Neplatný kód ITU \"999\" (povoleny jsou hodnoty 1..90)!";
        QTest::newRow("WAZ 99") << int(fiWAZ) << "99"
                                << "Neplatný kód WAZ \"99\" (povoleny jsou hodnoty 1..40)!";
        QTest::newRow("frequency 0") << int(fiFREQ) << "0" << "Neplatná frekvence \"0\"!";
    }
    void bulkEditRefusesWhatTheQsoWindowRefuses()
    {
        QFETCH(int, field);
        QFETCH(QString, typed);
        QFETCH(QString, message);
        mw().mark("OK1ABC");
        mw().mark("G3XYZ");
        QList<QVariant> before;
        for (const TLogRecord &r : mw().fx.rows())
            before << r[field];
        bool refusedInPlace = false;
        m_modals->drive("frmEditSelQSOs", [&](QDialog &dialog) {
            auto &bulk = static_cast<TfrmEditSelQSOs &>(dialog);
            QVERIFY(ActivateWindow(&bulk));
            // The field list, entry by entry down from "Datum", then the value box.
            QVERIFY(SendKeyToActive(Qt::Key_Backtab));
            const auto entry = std::find(EditFieldIndexes.begin(), EditFieldIndexes.end(), field);
            for (auto e = EditFieldIndexes.begin(); e != entry; ++e)
                QVERIFY(SendKeyToActive(Qt::Key_Down));
            QVERIFY(SendKeyToActive(Qt::Key_Tab));
            QVERIFY(SendKeyToActive(Qt::Key_A, Qt::ControlModifier));
            QVERIFY(TypeIntoFocus(typed));
            QVERIFY(SendKeyToActive(Qt::Key_Return, Qt::ControlModifier));
            refusedInPlace = bulk.isVisible() && m_messages->lastFocused() == bulk.cbBoxValue
                             && bulk.cbBoxValue->currentText() == typed;
        });
        mw().w().actEditQSO->trigger();
        QCOMPARE(m_modals->pending(), 0);
        QCOMPARE(m_messages->texts(), QStringList{message});
        QVERIFY(refusedInPlace);
        QList<QVariant> after;
        for (const TLogRecord &r : mw().fx.rows())
            after << r[field];
        QCOMPARE(after, before);
    }

    // The progress window counts the marked QSOs while they are written, then goes.
    void bulkEditShowsItsProgress()
    {
        mw().mark("OK1ABC");
        mw().mark("G3XYZ");
        QList<int> gauge;
        connect(frmDialog->pgBar(), &QProgressBar::valueChanged, this, [&](int value) { gauge << value; });
        bulkEdit({fiNOTE, "tnx"});
        QCOMPARE(gauge, (QList<int>{0, 50, 100}));
        QCOMPARE(frmDialog->lblText()->text(), QString("Hromadná editace"));
        QVERIFY(!frmDialog->isVisible());
    }

    void frequencyRecomputesTheBand()
    {
        mw().mark("OK1ABC/P");
        bulkEdit({fiFREQ, "14,025"});
        const TLogRecord r = mw().stored("OK1ABC/P");
        QCOMPARE(r[fiFREQ].toDouble(), 14.025);
        QCOMPARE(BandNames[r[fiBAND].toInt()], QString("20m"));
        QCOMPARE(mw().stored("OK1ABC")[fiBAND].toInt(), 6);
    }

    void locatorsAndEntityRecomputeTheDistance()
    {
        // The partner's locator, typed in lower case.
        mw().mark("OK1ABC/P");
        bulkEdit({fiLOCP, "jo60aa"});
        TLogRecord r = mw().stored("OK1ABC/P");
        QCOMPARE(r[fiLOCP].toString(), QString("JO60AA"));
        QCOMPARE(r[fiQRB].toDouble(), double(DistanceFromOwnLocator(QsoTestFixture::OwnLocator, "JO60AA", 0, 0)));

        // The own locator.
        bulkEdit({fiLOCO, "jo70fc"});
        r = mw().stored("OK1ABC/P");
        QCOMPARE(r[fiLOCO].toString(), QString("JO70FC"));
        QCOMPARE(r[fiQRB].toDouble(), double(DistanceFromOwnLocator("JO70FC", "JO60AA", 0, 0)));

        // The entity, for a QSO without a partner's locator.
        mw().model().ClearMarks();
        mw().mark("G3XYZ");
        bulkEdit({fiDXCC, "ja"});
        r = mw().stored("G3XYZ");
        QCOMPARE(r[fiDXCC].toString(), QString("JA"));
        QVERIFY(DxccList->FindDxcc("JA"));
        const int toJapan =
            DistanceFromOwnLocator(QsoTestFixture::OwnLocator, "", DxccList->GetLongitude(), DxccList->GetLatitude());
        QCOMPARE(r[fiQRB].toDouble(), double(toJapan));
        QVERIFY(toJapan > 8000);
        QCOMPARE(r[fiITU].toInt(), 27); // zones stay
        QVERIFY(m_messages->shown.isEmpty());
    }

    void missingOwnLocatorIsReportedOnce()
    {
        mw().mark("OK1ABC/P");
        mw().mark("OK1ABC");
        bulkEdit({fiLOCO, ""}); // refused by the dialog's check in real use; here it reaches the edit
        QCOMPARE(m_messages->texts(), QStringList{"Chybí vlastní lokátor, nelze vypočítat vzdálenost!"});
        QCOMPARE(mw().stored("OK1ABC")[fiQRB].toDouble(), 0.0);
    }

    void cancelledBulkEditChangesNothing()
    {
        mw().mark("OK1ABC");
        const QList<TLogRecord> before = mw().fx.rows();
        bulkEdit({fiNAME, "X", -1, mrCancel});
        const QList<TLogRecord> after = mw().fx.rows();
        for (int i = 0; i < before.size(); ++i)
            QCOMPARE(after[i][fiNAME], before[i][fiNAME]);
        QCOMPARE(mw().model().MarkCount(), 1);
    }

    void filterOnClearsTheMarks()
    {
        TfrmVelkor &w = mw().w();
        w.FFilterLines = {"CALL LIKE ?"};
        w.FFilterValues = {"%OK1ABC%"};
        w.actFilter->setChecked(true);
        w.SortLog(-1, true);
        QCOMPARE(mw().query().RecordCount(), 3);
        mw().mark("OK1ABC");
        mw().mark("DL/OK1ABC");
        bulkEdit({fiNAME, "Jan"});
        QCOMPARE(mw().model().MarkCount(), 0);
        QCOMPARE(mw().stored("DL/OK1ABC")[fiNAME].toString(), QString("Jan"));
        QVERIFY(w.FilterOn());
    }

    void bulkEditIsAllOrNothing()
    {
        failChangesOf("G3XYZ");
        mw().mark("OK1ABC");
        mw().mark("G3XYZ");
        bulkEdit({fiNAME, "Changed"});
        QCOMPARE(m_messages->shown.size(), 1);
        QVERIFY(m_messages->lastText().startsWith("Chyba při zápisu do deníku"));
        QCOMPARE(mw().stored("OK1ABC")[fiNAME].toString(), QString("Jan")); // not half done
        QVERIFY(mw().query().Active());
        QCOMPARE(mw().query().RecordCount(), 4);
    }

    // While another program holds the open log, a change or a fresh read of the grid is
    // refused with the text of the start, and the grid, its marks and its place stay as
    // they were: the log is whole, only not to be had now.
    void heldLogKeepsGridAndMarks_data()
    {
        QTest::addColumn<QString>("command");
        QTest::newRow("new QSO (F2)") << "new";
        QTest::newRow("bulk edit of the marked") << "edit";
        QTest::newRow("delete of the marked") << "delete";
    }
    void heldLogKeepsGridAndMarks()
    {
        QFETCH(QString, command);
        TfrmVelkor &w = mw().w();
        mw().mark("OK1ABC");
        mw().mark("G3XYZ");
        QVERIFY(mw().query().SetRecNo(2));
        const QList<qint64> marks = mw().model().Marks();
        const auto callsAndNames = [this] {
            QStringList texts;
            for (const TLogRecord &r : mw().fx.rows())
                texts << r[fiCALL].toString() + u' ' + r[fiNAME].toString();
            return texts;
        };
        const QStringList stored = callsAndNames();
        const QString path = mw().fx.dm->LogFileName(QsoTestFixture::Call);
        LogConnection holder(path);
        QVERIFY(QSqlQuery(holder.database()).exec("BEGIN EXCLUSIVE"));

        QStringList expected{MsgLogInUse(path)};
        if (command == "new") {
            QVERIFY(SendKey(&w, Qt::Key_F2));
        } else if (command == "edit") {
            bulkEdit({fiNAME, "Changed"});
        } else {
            m_messages->answerNext(mrYes);
            w.actDeleteQSO->trigger();
            expected.prepend("Opravdu chcete smazat 2 spojení?");
        }
        QCOMPARE(m_messages->texts(), expected);
        QCOMPARE(m_modals->pending(), 0);
        QVERIFY(mw().query().Active());
        QCOMPARE(mw().query().RecordCount(), stored.size());
        QCOMPARE(mw().query().RecNo(), 2);
        QCOMPARE(mw().model().Marks(), marks);
        holder.close();
        QCOMPARE(callsAndNames(), stored);
    }

    void deleteWithMarks()
    {
        mw().mark("OK1ABC/P");
        mw().mark("OK1ABC");
        mw().mark("DL/OK1ABC");
        m_messages->answerNext(mrNo);
        QTest::keyClick(mw().w().dbgLog, Qt::Key_Delete, Qt::ShiftModifier);
        QCOMPARE(m_messages->texts(), QStringList{"Opravdu chcete smazat 3 spojení?"});
        QCOMPARE(m_messages->shown.first().type, mtConfirmation);
        QCOMPARE(m_messages->shown.first().defaultResult, int(mrNo));
        QCOMPARE(mw().fx.rows().size(), 4);
        QCOMPARE(mw().model().MarkCount(), 3);

        m_messages->answerNext(mrYes);
        mw().w().actDeleteQSO->trigger();
        const QList<TLogRecord> rows = mw().fx.rows();
        QCOMPARE(rows.size(), 1);
        QCOMPARE(rows.first()[fiCALL].toString(), QString("G3XYZ"));
        QCOMPARE(mw().model().MarkCount(), 0);
        QCOMPARE(mw().query().RecordCount(), 1);
        QCOMPARE(mw().w().StatusPanelText(0), QString(" Záznam:     1 z     1"));
    }

    void deleteTheCurrentQso()
    {
        mw().query().SetRecNo(1); // OK1ABC/P
        m_messages->answerNext(mrYes);
        mw().w().actDeleteQSO->trigger();
        QCOMPARE(m_messages->texts(), QStringList{"Opravdu chcete smazat vybrané spojení?"});
        QCOMPARE(mw().fx.rows().size(), 3);
        QVERIFY(mw().stored("OK1ABC/P").isEmpty(fiCALL));
        // Back on record 1, as the log still reaches past it.
        QCOMPARE(mw().query().RecNo(), 1);
        QCOMPARE(mw().query().Value(fiCALL).toString(), QString("OK1ABC"));
        // The last record deleted: the grid ends on the new last one.
        mw().query().Last();
        m_messages->answerNext(mrYes);
        mw().w().actDeleteQSO->trigger();
        QCOMPARE(mw().query().RecordCount(), 2);
        QCOMPARE(mw().query().RecNo(), 2);
    }

    // Only the changed QSOs are read again; the grid is the one that reading the whole log
    // in its order and under its filter gives.
    void changedQsosTakeTheirPlaces()
    {
        TfrmVelkor &w = mw().w();
        w.SortLog(fiNAME, false);
        auto sameAsReadAnew = [this] {
            LogQuery fresh;
            fresh.SetConnectionName(TdmLog::DatabaseName);
            fresh.SetOrderBy(mw().query().OrderBy());
            fresh.SetWhere(mw().query().Where(), mw().query().WhereValues());
            fresh.Open();
            QList<qint64> grid, expected;
            for (int row = 0; row < fresh.RecordCount(); ++row)
                expected << fresh.IdAt(row);
            for (int row = 0; row < mw().query().RecordCount(); ++row)
                grid << mw().query().IdAt(row);
            return grid == expected && mw().model().rowCount() == fresh.RecordCount() &&
                   mw().w().dbgLog->currentIndex().row() == mw().query().CurrentRow();
        };
        mw().mark("OK1ABC");
        mw().mark("G3XYZ");
        bulkEdit({fiNAME, "Aaron"});
        QVERIFY(sameAsReadAnew());
        QCOMPARE(mw().query().ValueAt(0, fiNAME).toString(), QString("Aaron"));
        w.actSelNoneQSO->trigger();
        mw().query().SetRecNo(2);
        m_messages->answerNext(mrYes);
        w.actDeleteQSO->trigger();
        QVERIFY(sameAsReadAnew());
        QCOMPARE(mw().query().RecordCount(), 3);
    }

    void deleteIsAllOrNothing()
    {
        failChangesOf("G3XYZ");
        mw().mark("OK1ABC");
        mw().mark("G3XYZ");
        m_messages->answerNext(mrYes);
        mw().w().actDeleteQSO->trigger();
        QCOMPARE(mw().fx.rows().size(), 4);
        QVERIFY(m_messages->lastText().startsWith("Chyba při zápisu do deníku"));
        QVERIFY(mw().query().Active());
    }

    void qslToggle_data()
    {
        QTest::addColumn<int>("before");
        QTest::addColumn<int>("after");
        QTest::newRow("sent becomes not sent") << 1 << 0;
        QTest::newRow("requested becomes sent") << 2 << 1;
        QTest::newRow("not sent becomes sent") << 0 << 1;
    }
    void qslToggle()
    {
        QFETCH(int, before);
        QFETCH(int, after);
        QVERIFY(mw().query().Locate(fiCALL, "OK1ABC"));
        LogTable(TdmLog::DatabaseName).SetFieldValue({mw().query().Bookmark()}, fiQSLO, before);
        const int row = mw().w().dbgLog->Row();
        QTest::keyClick(mw().w().dbgLog, Qt::Key_O, Qt::ControlModifier); // QSLo - Odeslaný
        QCOMPARE(mw().stored("OK1ABC")[fiQSLO].toInt(), after);
        QCOMPARE(mw().query().Value(fiCALL).toString(), QString("OK1ABC"));
        QCOMPARE(mw().w().dbgLog->Row(), row);
        QCOMPARE(mw().stored("G3XYZ")[fiQSLO].toInt(), 0);
    }

    void qslStateOfMarkedQsos()
    {
        QVERIFY(mw().query().Locate(fiCALL, "OK1ABC"));
        LogTable(TdmLog::DatabaseName).SetFieldValue({mw().query().Bookmark()}, fiQSLO, 1);
        mw().mark("OK1ABC");
        mw().mark("G3XYZ");
        mw().w().actQSLoY->trigger();
        QCOMPARE(mw().stored("OK1ABC")[fiQSLO].toInt(), 1); // no toggling with marks
        QCOMPARE(mw().stored("G3XYZ")[fiQSLO].toInt(), 1);
        QCOMPARE(mw().stored("DL/OK1ABC")[fiQSLO].toInt(), 0);
        QCOMPARE(mw().model().MarkCount(), 2);
        QCOMPARE(mw().query().Value(fiCALL).toString(), QString("G3XYZ"));
        QCOMPARE(mw().w().logModel()->CellText(mw().query().CurrentRow(), fiQSLO), QString("Y"));

        mw().w().actQSLpY->trigger();
        mw().w().actEQSLY->trigger();
        mw().w().actQSLoI->trigger();
        QCOMPARE(mw().stored("G3XYZ")[fiQSLP].toInt(), 1);
        QCOMPARE(mw().stored("G3XYZ")[fiEQSLP].toInt(), 1);
        QCOMPARE(mw().stored("OK1ABC")[fiQSLO].toInt(), 3);
        mw().w().actQSLpN->trigger();
        mw().w().actEQSLN->trigger();
        mw().w().actQSLoN->trigger();
        QCOMPARE(mw().stored("G3XYZ")[fiQSLP].toInt(), 0);
        QCOMPARE(mw().stored("G3XYZ")[fiEQSLP].toInt(), 0);
        QCOMPARE(mw().stored("OK1ABC")[fiQSLO].toInt(), 0);
    }

    void qslStateIsAllOrNothing()
    {
        failChangesOf("G3XYZ");
        mw().mark("OK1ABC");
        mw().mark("G3XYZ");
        mw().w().actQSLpY->trigger();
        QCOMPARE(mw().stored("OK1ABC")[fiQSLP].toInt(), 1); // it was 1 before: unchanged
        QCOMPARE(mw().stored("OK1ABC/P")[fiQSLP].toInt(), 0);
        QVERIFY(m_messages->lastText().startsWith("Chyba při zápisu do deníku"));
        mw().model().ClearMarks();
        mw().mark("OK1ABC/P");
        mw().mark("G3XYZ");
        m_messages->clear();
        mw().w().actQSLoR->trigger();
        QCOMPARE(mw().stored("OK1ABC/P")[fiQSLO].toInt(), 0);
        QCOMPARE(m_messages->shown.size(), 1);
    }

    void qslSortProgress_data()
    {
        QTest::addColumn<int>("step");
        QTest::addColumn<QString>("group");
        QTest::newRow("0") << 0 << "Dvoupísmenné OK značky";
        QTest::newRow("3") << 3 << "Třípísmenné OK značky";
        QTest::newRow("5") << 5 << "Ostatní OK značky";
        QTest::newRow("6") << 6 << "USA značky 1";
        QTest::newRow("7") << 7 << "USA značky 1";
        QTest::newRow("9") << 9 << "USA značky 2";
        QTest::newRow("10") << 10 << "Ostatní značky";
        QTest::newRow("12") << 12 << "Ostatní značky";
    }
    void qslSortProgress()
    {
        QFETCH(int, step);
        QFETCH(QString, group);
        frmDialog->ShowProgress("Třídím QSL ...", 0, 12);
        mw().w().QSLSortProgress(step);
        QCOMPARE(frmDialog->lblText()->text(), "Třídím QSL ...\n" + group);
        QCOMPARE(frmDialog->pgBar()->value(), step);
        mw().w().QSLSortProgress(13); // beyond the last step: ignored
        QCOMPARE(frmDialog->lblText()->text(), "Třídím QSL ...\n" + group);
        QCOMPARE(frmDialog->pgBar()->value(), step);
        frmDialog->close();
    }

    void backUpAndRestore()
    {
        TfrmVelkor &w = mw().w();
        const QString archive = mw().fx.path("Zaloha/archiv.z");
        // The progress window's gauge follows both operations.
        QList<int> gauge;
        connect(frmDialog->pgBar(), &QProgressBar::valueChanged, this, [&gauge](int value) { gauge << value; });
        FileDialogs::setNextAnswer(archive);
        w.acBackUpLog->trigger();
        QVERIFY(m_messages->shown.isEmpty());
        QVERIFY(QFileInfo::exists(archive));
        QVERIFY2(gauge.size() >= 3 && gauge.last() == 100, qPrintable(QString::number(gauge.size())));
        gauge.clear();
        // The suggested name: call sign, a blank, today's date, ".z", in the backup folder.
        const FileDialogs::Request request = FileDialogs::requests().last();
        QCOMPARE(request.kind, FileDialogs::Kind::SaveFile);
        QCOMPARE(QFileInfo(request.directory).fileName(),
                 QString("OK1XYZ %1.z").arg(QDate::currentDate().toString("dd.MM.yyyy")));
        QCOMPARE(QFileInfo(request.directory).absolutePath(), QDir(mw().fx.path("Zaloha")).absolutePath());
        QVERIFY(request.filter.contains("*.z"));
        QVERIFY(!frmDialog->isVisible());

        // The log changes after the backup.
        const QList<TLogRecord> original = mw().fx.rows();
        mw().mark("OK1ABC");
        m_messages->answerNext(mrYes);
        w.actDeleteQSO->trigger();
        mw().fx.insert(QsoTestFixture::qso("W1AW", QDate(2008, 1, 1), QTime(1, 0), 14.0, 1));
        w.RefreshLog(false, false);
        mw().mark("W1AW");
        w.FFilterLines = {"CALL LIKE ?"};
        w.FFilterValues = {"%"};
        w.actFilter->setChecked(true);

        // Restore: the confirmation shows what the archive holds.
        FileDialogs::setNextAnswer(archive);
        QStringList labels;
        m_modals->handle("frmBackUpDlg", [&](QDialog &dialog) {
            auto &confirm = static_cast<TfrmBackUpDlg &>(dialog);
            labels << confirm.lblFile->text() << confirm.lblCall->text() << confirm.lblDate->text()
                   << confirm.lblTime->text();
            return int(mrOk);
        });
        w.acRestoreLog->trigger();
        QVERIFY2(m_messages->shown.size() == 1, qPrintable(m_messages->texts().join('|')));
        QVERIFY(gauge.size() >= 4);
        QVERIFY(gauge.contains(100));
        QCOMPARE(labels.size(), 4);
        QCOMPARE(labels[0], QDir::toNativeSeparators(archive));
        QCOMPARE(labels[1], QString("OK1XYZ"));
        QCOMPARE(labels[2], Formats::formatDate("dd.mm.yyyy", QDate::currentDate()));
        QVERIFY(QRegularExpression("^\\d\\d:\\d\\d$").match(labels[3]).hasMatch());

        const QList<TLogRecord> restored = mw().fx.rows();
        QCOMPARE(restored.size(), original.size());
        for (int i = 0; i < original.size(); ++i)
            for (int field = 0; field < LogFieldCount; ++field)
                QCOMPARE(restored[i][field], original[i][field]);
        QVERIFY(w.qLog->Active());
        QCOMPARE(w.qLog->RecordCount(), 4);
        QCOMPARE(mw().model().MarkCount(), 0);
        QVERIFY(!w.FilterOn());
        QCOMPARE(w.windowTitle(), QString("Velkor \"OK1XYZ\""));
        QVERIFY(!frmDialog->isVisible());
    }

    // The archive replaces the QSOs only: settings changed since the log was opened (in
    // the settings dialog, a moved column) are still in force afterwards.
    void restoreKeepsTheSessionsSettings()
    {
        TfrmVelkor &w = mw().w();
        const QString archive = mw().fx.path("Zaloha/archiv.z");
        BackUpLog(QsoTestFixture::Call, mw().fx.dm->DataDir, archive);
        w.dm().UserOptions.SetRSTo("57");
        QHeaderView *titles = w.dbgLog->horizontalHeader();
        const int callColumn = LogTableModel::columnOfField(fiCALL);
        titles->moveSection(titles->visualIndex(callColumn), 0);
        FileDialogs::setNextAnswer(archive);
        m_modals->answer("frmBackUpDlg", mrOk);
        w.acRestoreLog->trigger();
        QVERIFY2(m_messages->shown.isEmpty(), qPrintable(m_messages->texts().join('|')));
        QVERIFY(w.qLog->Active());
        QCOMPARE(w.dm().UserOptions.GetRSTo(), QString("57"));
        QCOMPARE(titles->visualIndex(callColumn), 0);
    }

    void restoreCancelledAtTheConfirmation()
    {
        const QString archive = mw().fx.path("Zaloha/archiv.z");
        BackUpLog(QsoTestFixture::Call, mw().fx.dm->DataDir, archive);
        m_messages->answerNext(mrYes);
        mw().w().actDeleteQSO->trigger();
        FileDialogs::setNextAnswer(archive);
        m_modals->answer("frmBackUpDlg", mrCancel);
        mw().w().acRestoreLog->trigger();
        QCOMPARE(mw().fx.rows().size(), 3);
        QVERIFY(mw().query().Active());
        // And a cancelled file dialog does nothing at all.
        mw().w().acRestoreLog->trigger();
        QCOMPARE(mw().fx.rows().size(), 3);
    }

    void restoreOfACorruptedArchive()
    {
        TfrmVelkor &w = mw().w();
        const QString archive = mw().fx.path("Zaloha/archiv.z");
        BackUpLog(QsoTestFixture::Call, mw().fx.dm->DataDir, archive);
        {
            QFile file(archive);
            QVERIFY(file.open(QIODevice::ReadWrite));
            QVERIFY(file.seek(file.size() - 10));
            file.write("garbage!!!");
        }
        mw().fx.insert(QsoTestFixture::qso("W1AW", QDate(2008, 1, 1), QTime(1, 0), 14.0, 1));
        w.RefreshLog(false, false);
        mw().mark("W1AW");
        w.dm().UserOptions.SetRSTo("57"); // a setting changed in memory only
        FileDialogs::setNextAnswer(archive);
        m_modals->answer("frmBackUpDlg", mrOk);
        w.acRestoreLog->trigger();
        QCOMPARE(m_messages->shown.size(), 1);
        QCOMPARE(m_messages->shown.first().type, mtError);
        // The open log is intact and open.
        QVERIFY(w.qLog->Active());
        QCOMPARE(w.qLog->RecordCount(), 5);
        QCOMPARE(mw().fx.rows().size(), 5);
        QCOMPARE(w.qLog->RecNo(), 5);
        QCOMPARE(w.windowTitle(), QString("Velkor \"OK1XYZ\""));
        QCOMPARE(w.dm().UserOptions.GetRSTo(), QString("57"));
        QVERIFY(w.actDeleteQSO->isEnabled());
        QVERIFY(!frmDialog->isVisible());
        // Changes go on as before.
        m_messages->answerNext(mrYes);
        w.actDeleteQSO->trigger();
        QCOMPARE(mw().fx.rows().size(), 4);
    }

    // A failed restore whose log cannot be opened again either leaves the window without a
    // log, as a failed opening does, and the settings in force saved; it must not go on
    // naming a log that is not open.
    void failedRestoreThatCannotReopenClosesTheLog()
    {
        TfrmVelkor &w = mw().w();
        const QString archive = mw().fx.path("Zaloha/archiv.z");
        BackUpLog(QsoTestFixture::Call, mw().fx.dm->DataDir, archive);
        {
            QFile file(archive);
            QVERIFY(file.open(QIODevice::ReadWrite));
            QVERIFY(file.seek(file.size() - 10));
            file.write("garbage!!!");
        }
        QVERIFY(QFile::remove(mw().fx.dm->LogFileName(QsoTestFixture::Call)));
        w.dm().UserOptions.SetRSTo("57");
        FileDialogs::setNextAnswer(archive);
        m_modals->answer("frmBackUpDlg", mrOk);
        w.acRestoreLog->trigger();
        QCOMPARE(m_messages->shown.size(), 1);
        QCOMPARE(m_messages->shown.first().type, mtError);
        QVERIFY(!w.qLog->Active());
        QVERIFY(w.dm().UserOptions.Call.isEmpty());
        QCOMPARE(w.windowTitle(), QString("Velkor"));
        QVERIFY(!w.actDeleteQSO->isEnabled());
        QVERIFY(!frmDialog->isVisible());
        TUserOptions saved;
        saved.Load(mw().fx.dm->DataDir + QsoTestFixture::Call + ".uf");
        QCOMPARE(saved.GetRSTo(), QString("57"));
    }

    void restoreOfAFileThatIsNoArchive()
    {
        const QString file = mw().fx.path("Zaloha/nothing.z");
        {
            QFile f(file);
            QVERIFY(f.open(QIODevice::WriteOnly));
            f.write("this is no archive");
        }
        FileDialogs::setNextAnswer(file);
        mw().w().acRestoreLog->trigger();
        QVERIFY(m_modals->shownNames().isEmpty()); // no confirmation of an unreadable archive
        QCOMPARE(m_messages->shown.size(), 1);
        QVERIFY(mw().query().Active());
        QCOMPARE(mw().query().RecordCount(), 4);
    }
};

QTEST_MAIN(TestBulkOps)
#include "tst_bulkops.moc"
