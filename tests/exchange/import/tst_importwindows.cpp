// The import windows driven as the operator drives them: the options dialog with its
// presets, the record editor, the review window (messages, marks, edits, deletion, the
// append to the log) and the main window's ADIF import command.

#include "ImportWindowFixture.h"

#include "radio/Amater.h"
#include "DateEdit.h"
#include "EditSelQSOsDialog.h"
#include "FileDialogs.h"
#include "FilteredLineEdit.h"
#include "FloatComboBox.h"
#include "import/ImportCommands.h"
#include "import/ImportEditDialog.h"
#include "import/ImportOptionsDialog.h"
#include "import/ImportStaging.h"
#include "import/ImportTableModel.h"
#include "import/ImportWindow.h"
#include "LocatorEdit.h"
#include "log/LogQuery.h"
#include "ReportEdit.h"
#include "settings/UserOptions.h"

#include <QAbstractItemModelTester>
#include <QAction>
#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QListWidget>
#include <QTableView>

namespace
{

QByteArray adifQso(const QByteArray &call, int minute, const QByteArray &extra = {})
{
    const QByteArray time = QByteArray::number(1200 + minute);
    return "<QSO_DATE:8>20240105<TIME_ON:4>" + time + "<CALL:" + QByteArray::number(call.size()) + ">" +
           call + "<FREQ:6>14.025<MODE:2>CW<RST_SENT:3>599<RST_RCVD:3>599" + extra + "<EOR>\n";
}

// Ten QSOs; the 2nd and the 7th carry a refused IOTA.
QByteArray tenQsos()
{
    QByteArray adif = "Test log<EOH>\n";
    for (int i = 1; i <= 10; ++i)
        adif += adifQso("OK1A" + QByteArray(1, char('A' + i)), i, i == 2 || i == 7 ? "<IOTA:1>X" : "");
    return adif;
}

TImportOptions options()
{
    TImportOptions o;
    o.OwnLocator = QStringLiteral("JN79SX");
    o.Power = 100;
    o.CheckDupes = true;
    return o;
}

int editFieldEntry(int field)
{
    return int(std::find(EditFieldIndexes.begin(), EditFieldIndexes.end(), field) - EditFieldIndexes.begin());
}

} // namespace

class TestImportWindows : public QObject
{
    Q_OBJECT

    std::unique_ptr<ImportWindowFixture> fx;

    // Runs the review of `adif`; `review` acts in the shown window and gives its answer.
    bool review(const QByteArray &adif, std::function<int(TfrmImport &)> review, TImportOptions o = options())
    {
        fx->answers[QStringLiteral("frmImport")] = [review](QDialog &d) {
            return review(static_cast<TfrmImport &>(d));
        };
        TfrmImport window(fx->host);
        return window.ImportAdif(fx->writeFile(QStringLiteral("in.adi"), adif), o);
    }

    static int finish(TfrmImport &w)
    {
        w.actImport->trigger();
        return w.result();
    }

private slots:
    void init() { fx = std::make_unique<ImportWindowFixture>(); }
    void cleanup()
    {
        fx.reset();
        FileDialogs::resetScript();
    }

    // --- options ---

    void presets_data()
    {
        QTest::addColumn<int>("source");
        QTest::addColumn<int>("charSet");
        QTest::addColumn<bool>("dupes");
        QTest::addColumn<int>("disabled");
        QTest::newRow("ADIF") << int(TImportSource::Adif) << 0 << true << 0;
        QTest::newRow("Trevan") << int(TImportSource::Trevan) << 2 << false << 5;
        QTest::newRow("Ostrel") << int(TImportSource::Ostrel) << 2 << false << 7;
    }
    void presets()
    {
        QFETCH(int, source);
        QFETCH(int, charSet);
        QFETCH(bool, dupes);
        QFETCH(int, disabled);
        fx->dm->UserOptions.SetPower(25);
        const TImportOptions o = ImportOptionsPreset(TImportSource(source), fx->dm->UserOptions);
        QCOMPARE(int(o.CharSet), charSet);
        QCOMPARE(o.CheckDupes, dupes);
        QCOMPARE(o.StxSrxToNameQth, false);
        QCOMPARE(o.ReplaceNote, false);
        QCOMPARE(o.Power, 25.0);
        QCOMPARE(o.OwnLocator, QString("JN79SX"));
        QVERIFY(o.Note.isEmpty());
        const TImportDisable flags = ImportDisableFor(TImportSource(source));
        QCOMPARE(int(flags.toInt()), disabled);

        // The dialog greys out what the source cannot use and keeps the presets there.
        TImportOptions edited = o;
        fx->answers[QStringLiteral("frmImportOptions")] = [&](QDialog &d) {
            auto &dlg = static_cast<TfrmImportOptions &>(d);
            LCOMPARE(dlg.chDupe->isEnabled(), !(disabled & idDupes));
            LCOMPARE(dlg.chImportSTXSRX->isEnabled(), !(disabled & idStxSrx));
            LCOMPARE(dlg.cbCharSet->isEnabled(), !(disabled & idCharSet));
            LCOMPARE(dlg.chDupe->isChecked(), dupes);
            LCOMPARE(dlg.cbCharSet->currentText(), ImportCharSetNames[charSet]);
            LCOMPARE(dlg.cbPWR->currentText(), QString("25"));
            LCOMPARE(dlg.edtLoc->text(), QString("JN79SX"));
            LVERIFY(!dlg.edtNote->isEnabled());
            if (source == int(TImportSource::Adif))
                ImportWindowFixture::screenshot(dlg, QStringLiteral("import-options"));
            dlg.actNext->trigger();
            return dlg.result();
        };
        TfrmImportOptions dialog(&fx->host);
        QVERIFY(dialog.Execute(edited, flags));
        QCOMPARE(edited.CheckDupes, o.CheckDupes);
        QCOMPARE(int(edited.CharSet), charSet);
        QCOMPARE(edited.Power, 25.0);
    }

    void optionsRefused_data()
    {
        QTest::addColumn<QString>("locator");
        QTest::addColumn<QString>("power");
        QTest::addColumn<QString>("message");
        QTest::newRow("empty locator") << ""
                                       << "100"
                                       << "Lokátor musí být zadán!";
        QTest::newRow("4-character locator") << "JN79"
                                             << "100"
                                             << "Neplatný lokátor \"JN79\"!";
        QTest::newRow("empty power") << "JN79SX"
                                     << ""
                                     << "Výkon musí být zadán!";
        QTest::newRow("letters in power") << "JN79SX"
                                          << "abc"
                                          << "Neplatný výkon!";
    }
    void optionsRefused()
    {
        QFETCH(QString, locator);
        QFETCH(QString, power);
        QFETCH(QString, message);
        TImportOptions o = options();
        fx->answers[QStringLiteral("frmImportOptions")] = [&](QDialog &d) {
            auto &dlg = static_cast<TfrmImportOptions &>(d);
            dlg.edtLoc->setText(locator);
            dlg.cbPWR->setCurrentText(power);
            dlg.actNext->trigger();
            LCOMPARE(fx->messages.lastText(), message);
            LCOMPARE(dlg.result(), 0); // still open
            dlg.actCancel->trigger();
            return dlg.result();
        };
        TfrmImportOptions dialog(&fx->host);
        QVERIFY(!dialog.Execute(o, {}));
        QCOMPARE(o.OwnLocator, QString("JN79SX"));
        QCOMPARE(o.Power, 100.0);
    }

    void optionsWrittenBack()
    {
        TImportOptions o = options();
        fx->answers[QStringLiteral("frmImportOptions")] = [](QDialog &d) {
            auto &dlg = static_cast<TfrmImportOptions &>(d);
            dlg.edtLoc->setText("JO70AA");
            dlg.cbPWR->setCurrentText("2,5");
            dlg.chDupe->setChecked(false);
            dlg.chImportSTXSRX->setChecked(true);
            dlg.chReplaceNote->click();
            if (!dlg.edtNote->isEnabled() || !dlg.lblNote->isEnabled())
                return 0;
            dlg.edtNote->setText("Expedice");
            dlg.cbCharSet->setCurrentIndex(3);
            dlg.actNext->trigger();
            return dlg.result();
        };
        TfrmImportOptions dialog(&fx->host);
        QVERIFY(dialog.Execute(o, {}));
        QCOMPARE(o.OwnLocator, QString("JO70AA"));
        QCOMPARE(o.Power, 2.5);
        QCOMPARE(o.CheckDupes, false);
        QCOMPARE(o.StxSrxToNameQth, true);
        QCOMPARE(o.ReplaceNote, true);
        QCOMPARE(o.Note, QString("Expedice"));
        QCOMPARE(int(o.CharSet), 3);
    }

    // --- the record editor ---

    void editorChecks_data()
    {
        QTest::addColumn<QString>("control");
        QTest::addColumn<QString>("text");
        QTest::addColumn<QString>("message"); // empty: saved
        QTest::newRow("empty call") << "edtCall"
                                    << ""
                                    << "Značka musí být zadána!";
        QTest::newRow("empty frequency") << "cbBoxFreq"
                                         << ""
                                         << "Frekvence musí být zadána!";
        QTest::newRow("frequency 0") << "cbBoxFreq"
                                     << "0"
                                     << "Neplatná frekvence \"0\"!";
        QTest::newRow("negative frequency") << "cbBoxFreq"
                                            << "-14,025"
                                            << "Neplatná frekvence \"-14,025\"!";
        QTest::newRow("bad partner locator") << "edtLOCp"
                                             << "JN7"
                                             << "Neplatný lokátor \"JN7\"!";
        QTest::newRow("empty partner locator") << "edtLOCp"
                                               << ""
                                               << "";
        QTest::newRow("empty own locator") << "edtLOCo"
                                           << ""
                                           << "Lokátor musí být zadán!";
        QTest::newRow("WAZ 41") << "edtWAZ"
                                << "41"
                                << "Neplatný kód WAZ \"41\" (povoleny jsou hodnoty 1..40)!";
        QTest::newRow("empty power") << "cbBoxPWR"
                                     << ""
                                     << "Výkon musí být zadán!";
    }
    void editorChecks()
    {
        QFETCH(QString, control);
        QFETCH(QString, text);
        QFETCH(QString, message);
        TLogRecord r;
        r[fiDAT] = QDate(2024, 1, 5);
        r[fiUTC] = QTime(12, 30);
        r[fiCALL] = QStringLiteral("OK1AB");
        r[fiFREQ] = 14.025;
        r[fiLOCO] = QStringLiteral("JN79SX");
        r[fiLOCP] = QStringLiteral("JO70AA");
        r[fiPWR] = 100.0;
        r[fiQSLO] = 2;
        r[fiMODE] = 0;
        TfrmImportEdit editor(r, &fx->host);
        QCOMPARE(editor.cbBoxMode->currentIndex(), -1);
        QCOMPARE(editor.cbBoxQSLo->currentText(), QString("Požadován"));
        QWidget *w = editor.findChild<QWidget *>(control);
        QVERIFY(w);
        if (auto *edit = qobject_cast<QLineEdit *>(w))
            edit->setText(text);
        else
            static_cast<QComboBox *>(w)->setCurrentText(text);
        editor.actSave->trigger();
        QCOMPARE(fx->messages.lastText(), message);
        QCOMPARE(editor.result(), message.isEmpty() ? int(mrOk) : 0);
        if (message.isEmpty()) {
            TLogRecord stored = r;
            editor.StoreData(stored, fx->dxcc.get());
            QCOMPARE(stored[fiMODE].toInt(), 0); // no mode chosen
            QCOMPARE(stored[fiBAND].toInt(), 6);
            QCOMPARE(stored[fiQSLO].toInt(), 2);
            QVERIFY(stored.isEmpty(fiLOCP));
        }
    }

    void editorKeyFilters()
    {
        TLogRecord r;
        TfrmImportEdit editor(r, &fx->host);
        editor.show();
        QVERIFY(QTest::qWaitForWindowExposed(&editor));
        editor.cbBoxFreq->setFocus();
        QTest::keyClicks(editor.cbBoxFreq, "14.025");
        QCOMPARE(editor.cbBoxFreq->currentText(), QString("14,025"));
        editor.edtITU->setFocus();
        QTest::keyClicks(editor.edtITU, "2a8");
        QCOMPARE(editor.edtITU->text(), QString("28"));
        editor.edtCall->setFocus();
        QTest::keyClicks(editor.edtCall, "ok1-ab/p");
        QCOMPARE(editor.edtCall->text(), QString("OK1AB/P"));
        editor.edtName->setFocus();
        QTest::keyClicks(editor.edtName, "jan amos komensky");
        QCOMPARE(editor.edtName->text(), QString("jan amos kom")); // as much as the log keeps
        // Down walks to the next control, also out of a list.
        editor.cbBoxMode->setFocus();
        QTest::keyClick(editor.cbBoxMode, Qt::Key_Down);
        QCOMPARE(QApplication::focusWidget(), static_cast<QWidget *>(editor.edtRSTo));
    }

    // --- the review window ---

    void messagesLeadToTheirRecords()
    {
        const bool appended = review(tenQsos(), [this](TfrmImport &w) {
            new QAbstractItemModelTester(w.model(), QAbstractItemModelTester::FailureReportingMode::QtTest,
                                         &w);
            LCOMPARE(w.lBoxErr->count(), 7);
            LCOMPARE(w.lBoxErr->item(0)->text(), QString("Importovaných QSO: 10"));
            LCOMPARE(w.lBoxErr->item(6)->text(), QString("(7) Chyba: Neplatný formát IOTA!"));
            // The summary and the rule lead nowhere.
            w.query()->SetRecNo(3);
            w.lBoxErrClick(w.lBoxErr->item(0));
            w.lBoxErrClick(w.lBoxErr->item(4));
            LCOMPARE(w.query()->Bookmark(), 3);
            // Records before the 7th deleted: its line still finds it.
            w.query()->SetRecNo(1);
            w.actSelectExecute();
            w.actSelectExecute();
            w.actSelectExecute();
            LCOMPARE(w.model()->MarkCount(), 3);
            fx->messages.answerNext(mrYes);
            w.actDeleteExecute();
            LCOMPARE(fx->messages.lastText(), QString("Opravdu chcete smazat 3 spojení?"));
            LCOMPARE(w.query()->RecordCount(), 7);
            LCOMPARE(w.model()->MarkCount(), 0);
            w.lBoxErrClick(w.lBoxErr->item(6));
            LCOMPARE(w.query()->Bookmark(), 7);
            LCOMPARE(w.query()->RecNo(), 4);
            // The line of a deleted record leaves the position alone.
            w.lBoxErrClick(w.lBoxErr->item(5));
            LCOMPARE(w.query()->Bookmark(), 7);
            return finish(w);
        });
        QVERIFY(appended);
        QCOMPARE(fx->logCount(), 7);
    }

    void deleteAnsweredNoKeepsRecordsAndMarks()
    {
        review(tenQsos(), [this](TfrmImport &w) {
            w.actSelectAllExecute();
            LCOMPARE(w.model()->MarkCount(), 10);
            fx->messages.answerNext(mrNo);
            w.actDeleteExecute();
            LCOMPARE(fx->messages.lastText(), QString("Opravdu chcete smazat 10 spojení?"));
            LCOMPARE(fx->messages.shown.last().defaultResult, int(mrNo));
            LCOMPARE(w.query()->RecordCount(), 10);
            LCOMPARE(w.model()->MarkCount(), 10);
            w.actSelectNoneExecute();
            w.query()->SetRecNo(2);
            fx->messages.answerNext(mrYes);
            w.actDeleteExecute();
            LCOMPARE(fx->messages.lastText(), QString("Opravdu chcete smazat vybrané spojení?"));
            LCOMPARE(w.query()->RecordCount(), 9);
            LVERIFY(!w.query()->BookmarkValid(2));
            w.actCancel->trigger();
            return w.result();
        });
        QCOMPARE(fx->logCount(), 0);
    }

    void bulkEdit_data()
    {
        QTest::addColumn<int>("field");
        QTest::addColumn<int>("listIndex"); // -1: typed
        QTest::addColumn<QString>("typed");
        QTest::addColumn<QVariant>("stored");
        QTest::newRow("mode SSB") << int(fiMODE) << 1 << "" << QVariant(2);
        QTest::newRow("eQSL Ano") << int(fiEQSLP) << 1 << "" << QVariant(1);
        QTest::newRow("LOCp lower case") << int(fiLOCP) << -1 << "jn79mm" << QVariant("JN79MM");
        QTest::newRow("frequency") << int(fiFREQ) << -1 << "7,01" << QVariant(7.01);
    }
    void bulkEdit()
    {
        QFETCH(int, field);
        QFETCH(int, listIndex);
        QFETCH(QString, typed);
        QFETCH(QVariant, stored);
        fx->answers[QStringLiteral("frmEditSelQSOs")] = [&](QDialog &d) {
            auto &dlg = static_cast<TfrmEditSelQSOs &>(d);
            dlg.cbBoxField->setCurrentIndex(editFieldEntry(field));
            if (listIndex >= 0)
                dlg.cbBoxValue->setCurrentIndex(listIndex);
            else
                dlg.cbBoxValue->setEditText(typed);
            return int(mrOk);
        };
        review(tenQsos(), [&](TfrmImport &w) {
            w.query()->SetRecNo(2);
            w.actSelectExecute();
            w.actSelectExecute();
            w.actEditExecute();
            for (qint64 id : {2, 3}) {
                w.query()->GotoBookmark(id);
                LCOMPARE(w.query()->Value(field).toString(), stored.toString());
            }
            if (field == fiFREQ)
                LCOMPARE(w.query()->Value(fiBAND).toInt(), 4); // 40m
            w.query()->GotoBookmark(4);
            LVERIFY(w.query()->Value(field).toString() != stored.toString());
            LCOMPARE(w.query()->RecNo(), 4);
            return finish(w);
        });
        QCOMPARE(fx->logCount(), 10);
    }

    void editOneRecord()
    {
        fx->answers[QStringLiteral("frmImportEdit")] = [](QDialog &d) {
            auto &e = static_cast<TfrmImportEdit &>(d);
            if (e.edtCall->text() != "OK1AD")
                return 2;
            ImportWindowFixture::screenshot(e, QStringLiteral("import-edit"));
            e.edtCall->setText("OK2XX");
            e.cbBoxFreq->setCurrentText("3,55");
            e.cbBoxMode->setCurrentIndex(1); // SSB
            e.edtDxcc->setText("DL");
            e.edtLOCp->clear();
            e.actSave->trigger();
            return e.result();
        };
        review(tenQsos(), [](TfrmImport &w) {
            w.query()->SetRecNo(3);
            w.actEditExecute();
            LCOMPARE(w.query()->RecNo(), 3);
            const TLogRecord r = w.query()->Record();
            LCOMPARE(r[fiCALL].toString(), QString("OK2XX"));
            LCOMPARE(r[fiBAND].toInt(), 2);
            LCOMPARE(r[fiMODE].toInt(), 2);
            LCOMPARE(r[fiDXCC].toString(), QString("DL"));
            LVERIFY(r[fiQRB].toDouble() > 100); // JN79SX to Germany's point
            w.actCancel->trigger();
            return w.result();
        });
    }

    void importWithoutRecordsIsACancel()
    {
        const bool appended = review("A header, no records <ADIF_VER:5>3.1.0<EOH>", [](TfrmImport &w) {
            LCOMPARE(w.lBoxErr->item(0)->text(), QString("Importovaných QSO: 0"));
            w.actImport->trigger();
            return w.result();
        });
        QVERIFY(!appended);
    }

    void duplicatesOfTheLogAreSkipped()
    {
        review(tenQsos(), finish);
        QCOMPARE(fx->logCount(), 10);
        const bool appended = review(tenQsos() + adifQso("OK1ZZ", 30), [](TfrmImport &w) {
            LCOMPARE(w.lBoxErr->item(0)->text(), QString("Importovaných QSO: 1"));
            LCOMPARE(w.lBoxErr->item(1)->text(), QString("Vynechaných QSO: 10"));
            // The duplicates' refused IOTAs went with them, lines and counts alike.
            LCOMPARE(w.lBoxErr->item(2)->text(), QString("Počet chyb: 0"));
            LCOMPARE(w.lBoxErr->count(), 5);
            return finish(w);
        });
        QVERIFY(appended);
        QCOMPARE(fx->logCount(), 11);
    }

    void failedAppendLeavesTheLogAndTheWindow()
    {
        bool stayed = false;
        fx->answers[QStringLiteral("frmImport")] = [&](QDialog &d) {
            auto &w = static_cast<TfrmImport &>(d);
            w.SetLogConnection(QStringLiteral("no such connection"));
            w.actImport->trigger();
            stayed = w.result() == 0 && fx->messages.shown.size() == 1 &&
                     fx->messages.shown.last().type == mtError;
            w.actCancel->trigger();
            return w.result();
        };
        TfrmImport window(fx->host);
        QVERIFY(!window.ImportAdif(fx->writeFile("in.adi", tenQsos()), options()));
        QVERIFY(stayed);
        QCOMPARE(fx->logCount(), 0);
    }

    void stagingTableGoesWithTheWindow()
    {
        QString path;
        {
            TfrmImport window(fx->host);
            path = window.Staging().FilePath();
            QCOMPARE(path, fx->dm->TempDir + "_Temp.db");
            QVERIFY(QFile::exists(path));
        }
        QVERIFY(!QFile::exists(path));
    }

    void unreadableLengthEndsTheImport()
    {
        TfrmImport window(fx->host);
        QVERIFY_THROWS_EXCEPTION(EVelkorError,
                                 window.ImportAdif(fx->writeFile("bad.adi", "<CALL:>OK1AB<EOR>"), options()));
        // A file without a single ADIF field is refused the same way.
        QVERIFY_THROWS_EXCEPTION(EVelkorError,
                                 window.ImportAdif(fx->writeFile("text.adi", "73 de OK1AB <20m>\r\n"), options()));
        QVERIFY(!fx->shownWindows.contains("frmImport"));
    }

    void rowColours()
    {
        review(tenQsos(), [](TfrmImport &w) {
            w.query()->SetRecNo(2);
            w.actSelectExecute(); // marks 2, moves to 3
            w.query()->SetRecNo(3);
            TImportTableModel &m = *w.model();
            const auto bg = [&m](int row) {
                return m.data(m.index(row, 3), Qt::BackgroundRole).value<QColor>();
            };
            const auto fg = [&m](int row) {
                return m.data(m.index(row, 3), Qt::ForegroundRole).value<QColor>();
            };
            LCOMPARE(bg(1), QColor(255, 255, 0));
            LCOMPARE(fg(1), QColor(0, 0, 0));
            LCOMPARE(bg(2), QColor(10, 36, 106));
            LCOMPARE(fg(2), QColor(255, 255, 255));
            w.query()->SetRecNo(2);
            LCOMPARE(fg(1), QColor(255, 255, 0));
            LCOMPARE(m.CellText(1, 1), QString("05.01.2024"));
            LCOMPARE(m.CellText(1, 2), QString("12:02"));
            LCOMPARE(m.CellText(1, 5), QString("CW"));
            LCOMPARE(m.CellText(1, 13), QString("-"));
            w.resize(1000, 500);
            w.lBoxErr->setCurrentRow(5);
            ImportWindowFixture::screenshot(w, QStringLiteral("import-review"));
            w.actCancel->trigger();
            return w.result();
        });
    }

    // In the default layout and the font at hand, the longest values of the columns of one
    // shape fit their cells.
    void valuesShowWhole_data()
    {
        QTest::addColumn<int>("column");
        QTest::addColumn<QString>("text");
        QTest::newRow("MHz") << 4 << "28,074555";
        QTest::newRow("mode") << 5 << "CHIP128";
        QTest::newRow("own locator") << 10 << "MM99WW";
        QTest::newRow("partner's locator") << 11 << "CN85WW";
        QTest::newRow("IOTA") << 12 << "NA123";
    }
    void valuesShowWhole()
    {
        QFETCH(int, column);
        QFETCH(QString, text);
        const QByteArray adif = "<CALL:5>OK1AB<QSO_DATE:8>20240105<TIME_ON:4>1200<FREQ:9>28.074555<MODE:7>CHIP128"
                                "<MY_GRIDSQUARE:6>MM99WW<GRIDSQUARE:6>CN85WW<IOTA:6>NA-123<EOR>\n";
        review(adif, [column, text](TfrmImport &w) {
            LCOMPARE(w.model()->CellText(0, column), text);
            const auto *grid = w.findChild<QTableView *>(QStringLiteral("dbGrid"));
            const QAbstractItemView &view = *grid; // the view's own measure of its cells
            LVERIFY(view.sizeHintForColumn(column) <= grid->columnWidth(column));
            w.actCancel->trigger();
            return w.result();
        });
    }

    void columnWidths_data()
    {
        QTest::addColumn<int>("screen");
        QTest::addColumn<int>("note");
        QTest::addColumn<int>("index");
        QTest::newRow("1024") << 1024 << 170 << 35;
        QTest::newRow("1152") << 1152 << 220 << 35;
        QTest::newRow("1280") << 1280 << 250 << 40;
        QTest::newRow("1366") << 1366 << 250 << 40;
        QTest::newRow("1600") << 1600 << 250 << 40;
        QTest::newRow("1680") << 1680 << 100 << 30;
        QTest::newRow("800") << 800 << 100 << 30;
    }
    void columnWidths()
    {
        QFETCH(int, screen);
        QFETCH(int, note);
        QFETCH(int, index);
        const auto widths = ImportColumnWidths(screen);
        QCOMPARE(widths[16], note);
        QCOMPARE(widths[0], index);
        QCOMPARE(QString(ImportColumnTitles[16]), QString("Poznámka"));
    }

    // --- the command ---

    void adifCommand()
    {
        FileDialogs::setNextAnswer(fx->writeFile("cmd.adi", tenQsos()));
        fx->answers[QStringLiteral("frmImportOptions")] = [](QDialog &d) {
            auto &dlg = static_cast<TfrmImportOptions &>(d);
            dlg.actNext->trigger();
            return dlg.result();
        };
        fx->answers[QStringLiteral("frmImport")] = [](QDialog &d) {
            return finish(static_cast<TfrmImport &>(d));
        };
        QAction adif(nullptr), trevan(nullptr), ostrel(nullptr);
        const auto commands = ImportCommands([this] { return fx->host; }, &adif, &trevan, &ostrel);
        QCOMPARE(commands.size(), 3); // ADIF and the two older log tables
        QCOMPARE(commands.first().first, &adif);
        QCOMPARE(commands[1].first, &trevan);
        QCOMPARE(commands[2].first, &ostrel);
        commands.first().second();
        QCOMPARE(FileDialogs::requests().size(), 1);
        QVERIFY(FileDialogs::requests().first().filter.startsWith("ADIF (*.adi *.adf)"));
        QCOMPARE(fx->shownWindows, QStringList({"frmImportOptions", "frmImport"}));
        QCOMPARE(fx->logCount(), 10);
        QCOMPARE(fx->refreshes, 1);

        // Cancelled in the options: no import window, no refresh.
        FileDialogs::setNextAnswer(fx->writeFile("cmd.adi", tenQsos()));
        fx->answers[QStringLiteral("frmImportOptions")] = [](QDialog &) { return int(mrCancel); };
        commands.first().second();
        QCOMPARE(fx->shownWindows.size(), 3);
        QCOMPARE(fx->refreshes, 1);
    }
};

QTEST_MAIN(TestImportWindows)
#include "tst_importwindows.moc"
