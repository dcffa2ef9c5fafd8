#include "MainWindowFixture.h"

#include "BrowseCommands.h"
#include "base/MessageTexts.h"
#include "log/LogConnection.h"
#include "FilterDialog.h"
#include "FocusKeys.h"
#include "ModalScript.h"
#include "ModalRunner.h"
#include "ScriptedMessages.h"
#include "SearchLineEdit.h"

#include <QAction>
#include <QComboBox>
#include <QSqlQuery>
#include <QTableWidget>
#include <QTest>

#include <memory>

using Rows = QList<TFilterRow>;

class TestFilterDialog : public QObject
{
    Q_OBJECT

    std::unique_ptr<TfrmFilter> m_dialog;
    std::unique_ptr<ScriptedMessages> m_messages;

    TfrmFilter &d() { return *m_dialog; }

    // Adds a condition as the operator does: field, operator, value, "Přidat".
    void add(int field, const QString &op, const QString &value)
    {
        d().SelectField(field);
        d().cbBoxOp->setCurrentText(op);
        if (d().edtHodEdit) {
            d().edtHodEdit->clear();
            d().edtHodEdit->typeFiltered(value);
        } else {
            d().edtHod->setCurrentText(value);
        }
        d().actPridat->trigger();
    }

    QStringList rowValues()
    {
        QStringList values;
        for (const TFilterRow &row : d().Rows())
            values << row.key + u' ' + row.value;
        return values;
    }

private slots:
    void init()
    {
        m_messages = std::make_unique<ScriptedMessages>();
        m_dialog = std::make_unique<TfrmFilter>();
    }
    void cleanup()
    {
        SetModalHook({});
        m_dialog.reset();
        m_messages.reset();
    }

    void fieldsSetUpOperatorsAndValues_data()
    {
        QTest::addColumn<int>("field");
        QTest::addColumn<int>("operators");
        QTest::addColumn<bool>("editable");
        QTest::addColumn<QString>("firstValue");
        QTest::addColumn<int>("values");
        QTest::newRow("call") << int(fiCALL) << 2 << true << "" << 0;
        QTest::newRow("band") << int(fiBAND) << 6 << false << "2190m" << 27;
        QTest::newRow("mode") << int(fiMODE) << 2 << false << "CW" << 27;
        QTest::newRow("QSLo") << int(fiQSLO) << 2 << false << "Ne" << 4;
        QTest::newRow("eQSL") << int(fiEQSLP) << 2 << false << "Ne" << 2;
        QTest::newRow("date") << int(fiDAT) << 6 << true << "" << 0;
        QTest::newRow("frequency") << int(fiFREQ) << 6 << true << "0,135" << 28;
        QTest::newRow("power") << int(fiPWR) << 6 << true << "" << 0;
    }
    void fieldsSetUpOperatorsAndValues()
    {
        QFETCH(int, field);
        QFETCH(int, operators);
        QFETCH(bool, editable);
        QFETCH(QString, firstValue);
        QFETCH(int, values);
        QCOMPARE(d().cbBoxPole->count(), 20);
        QCOMPARE(d().cbBoxPole->itemText(0), QStringLiteral("Značka"));
        d().SelectField(field);
        QCOMPARE(d().cbBoxOp->count(), operators);
        QCOMPARE(d().cbBoxOp->currentText(), QStringLiteral("="));
        QCOMPARE(d().edtHod->isEditable(), editable);
        QCOMPARE(d().edtHod->count(), values);
        if (values > 0)
            QCOMPARE(d().edtHod->itemText(0), firstValue);
    }

    void keyFilters_data()
    {
        QTest::addColumn<int>("field");
        QTest::addColumn<QString>("typed");
        QTest::addColumn<QString>("text");
        QTest::newRow("call upper case and star") << int(fiCALL) << "ok1*-" << "OK1*";
        QTest::newRow("locator by position") << int(fiLOCP) << "jn7*" << "JN7*";
        QTest::newRow("ITU digits") << int(fiITU) << "2a8" << "28";
        QTest::newRow("power decimal comma") << int(fiPWR) << "1.5x" << "1,5";
        QTest::newRow("date aid") << int(fiDAT) << "1.1.2005" << "01.01.2005";
        QTest::newRow("note takes anything") << int(fiNOTE) << "a\"'%_" << "a\"'%_";
    }
    void keyFilters()
    {
        QFETCH(int, field);
        QFETCH(QString, typed);
        QFETCH(QString, text);
        d().SelectField(field);
        QVERIFY(d().edtHodEdit);
        d().edtHodEdit->clear();
        d().edtHodEdit->typeFiltered(typed);
        QCOMPARE(d().edtHodEdit->text(), text);
    }

    void addGroupsRowsOfAField()
    {
        add(fiCALL, "=", "OK2*");
        add(fiMODE, "=", "CW");
        add(fiCALL, "<>", "OK2A*");
        add(fiCALL, "=", "OK1*");
        add(fiMODE, "<>", "SSB");
        QCOMPARE(rowValues(), (QStringList{"Značka = \"OK2*\"", "Značka = \"OK1*\"", "Značka <> \"OK2A*\"",
                                           "Mód = \"CW\"", "Mód <> \"SSB\""}));
        QCOMPARE(d().vedtFiltr->currentRow(), 4);
        QVERIFY(m_messages->shown.isEmpty());
    }

    // Enter in the value box adds the condition, also from a pick list.
    void enterAdds()
    {
        d().SelectField(fiNAME);
        d().edtHodEdit->typeFiltered(QStringLiteral("jan"));
        QTest::keyClick(d().edtHodEdit, Qt::Key_Return);
        d().SelectField(fiMODE);
        d().edtHod->setCurrentText(QStringLiteral("SSB"));
        QTest::keyClick(d().edtHod, Qt::Key_Enter);
        QCOMPARE(rowValues(), (QStringList{"Jméno = \"jan\"", "Mód = \"SSB\""}));
    }

    void dateIsNormalisedOrRefused()
    {
        add(fiDAT, ">=", "1.1.2005");
        QCOMPARE(rowValues(), QStringList{"Datum >= \"01.01.2005\""});
        add(fiDAT, "=", "");
        QCOMPARE(m_messages->lastText(), QStringLiteral("Chybné datum!"));
        QCOMPARE(d().Rows().size(), 1);
    }

    void fiftyConditionsAtMost()
    {
        for (int i = 0; i < 50; ++i)
            add(fiNAME, "=", QString::number(i));
        QVERIFY(m_messages->shown.isEmpty());
        add(fiNAME, "=", "X");
        QCOMPARE(d().Rows().size(), 50);
        QCOMPARE(m_messages->lastText(), QStringLiteral("Je dovoleno zadat maximálně 50 podmínek."));
        QCOMPARE(m_messages->shown.last().type, mtInformation);
    }

    void deleteRemovesSelectedRow()
    {
        add(fiCALL, "=", "A");
        add(fiNAME, "=", "B");
        d().vedtFiltr->selectRow(0);
        QTest::keyClick(d().vedtFiltr, Qt::Key_Delete);
        QCOMPARE(rowValues(), QStringList{"Jméno = \"B\""});
        d().actSmazat->trigger();
        d().actSmazat->trigger(); // an empty list stays empty
        QVERIFY(d().Rows().isEmpty());
    }

    void results_data()
    {
        QTest::addColumn<QString>("action");
        QTest::addColumn<bool>("withRows");
        QTest::addColumn<int>("result");
        QTest::addColumn<int>("lines");
        QTest::addColumn<bool>("rowsKept");
        QTest::newRow("apply") << "actPouzit" << true << int(mrOk) << 2 << true;
        QTest::newRow("apply without rows switches off") << "actPouzit" << false << int(mrAbort) << 0 << true;
        QTest::newRow("off keeps rows") << "actVypnout" << true << int(mrAbort) << 0 << true;
        QTest::newRow("close restores rows") << "actZavrit" << true << int(mrCancel) << 0 << false;
        QTest::newRow("Esc restores rows") << "Esc" << true << int(mrCancel) << 0 << false;
    }
    void results()
    {
        QFETCH(QString, action);
        QFETCH(bool, withRows);
        QFETCH(int, result);
        QFETCH(int, lines);
        QFETCH(bool, rowsKept);
        const Rows before{MakeFilterRow(fiQTH, "=", "Praha")};
        d().SetRows(before);
        SetModalHook([&](QDialog &dialog) {
            auto &filter = static_cast<TfrmFilter &>(dialog);
            if (!withRows) {
                filter.vedtFiltr->selectRow(0);
                filter.actSmazat->trigger();
            } else {
                add(fiCALL, "=", "OK*");
            }
            if (action == u"Esc")
                filter.reject();
            else
                filter.findChild<QAction *>(action)->trigger();
            return filter.result();
        });
        QCOMPARE(d().Execute(), result);
        QCOMPARE(d().FSqlLines.size(), lines);
        if (rowsKept)
            QCOMPARE(d().Rows().size(), withRows ? 2 : 0);
        else
            QCOMPARE(d().Rows(), before);
    }
};

// The filter command of the main window over the sample log.
class TestFilterCommand : public QObject
{
    Q_OBJECT

    std::unique_ptr<MainWindowFixture> m_fx;
    std::unique_ptr<ScriptedMessages> m_messages;

    TfrmVelkor &w() { return m_fx->w(); }

    QStringList gridCalls()
    {
        QStringList calls;
        for (int row = 0; row < w().qLog->RecordCount(); ++row)
            calls << w().qLog->ValueAt(row, fiCALL).toString();
        return calls;
    }

    // The next filter dialog gets these conditions and is closed by the action.
    void answerFilter(const Rows &rows, const char *action)
    {
        SetModalHook([rows, action](QDialog &dialog) {
            auto &filter = static_cast<TfrmFilter &>(dialog);
            filter.SetRows(rows);
            filter.findChild<QAction *>(QLatin1String(action))->trigger();
            return filter.result();
        });
    }

private slots:
    void init()
    {
        m_fx = std::make_unique<MainWindowFixture>();
        frmFilter = new TfrmFilter(&w());
        InstallBrowseCommands(w());
        m_messages = std::make_unique<ScriptedMessages>();
    }
    void cleanup()
    {
        SetModalHook({});
        m_messages.reset();
        frmFilter = nullptr; // owned by the window
        m_fx.reset();
    }

    void applyAndSwitchOff()
    {
        answerFilter({MakeFilterRow(fiCALL, "=", "OK1*"), MakeFilterRow(fiMODE, "=", "SSB")}, "actPouzit");
        w().actFilter->trigger();
        QVERIFY(w().FilterOn());
        QCOMPARE(gridCalls(), QStringList{"OK1ABC"});
        QCOMPARE(w().FFilterLines.size(), 2);

        // Cancel changes nothing, also the button's state.
        answerFilter({}, "actZavrit");
        w().actFilter->trigger();
        QVERIFY(w().FilterOn());
        QCOMPARE(gridCalls(), QStringList{"OK1ABC"});

        // While another program holds the log, the grid stays filtered, and says so.
        {
            const QString path = m_fx->fx.dm->LogFileName(QsoTestFixture::Call);
            LogConnection holder(path);
            QVERIFY(QSqlQuery(holder.database()).exec("BEGIN EXCLUSIVE"));
            answerFilter({}, "actVypnout");
            w().actFilter->trigger();
            QCOMPARE(m_messages->texts(), QStringList{MsgLogInUse(path)});
            QVERIFY(w().FilterOn());
            QCOMPARE(gridCalls(), QStringList{"OK1ABC"});
        }

        answerFilter({MakeFilterRow(fiCALL, "=", "OK1*")}, "actVypnout");
        w().actFilter->trigger();
        QVERIFY(!w().FilterOn());
        QCOMPARE(gridCalls().size(), 4);
        QCOMPARE(w().FFilterLines.size(), 2); // shown again next time
    }

    void dateFromDay()
    {
        answerFilter({MakeFilterRow(fiDAT, ">=", "02.01.2007")}, "actPouzit");
        w().actFilter->trigger();
        QCOMPARE(gridCalls(), (QStringList{"OK1ABC", "DL/OK1ABC", "G3XYZ"}));
    }

    void marksRefuseOnlyWhileOff()
    {
        m_fx->mark(QStringLiteral("G3XYZ"));
        answerFilter({MakeFilterRow(fiCALL, "=", "OK*")}, "actPouzit");
        w().actFilter->trigger();
        QCOMPARE(m_messages->lastText(), QStringLiteral("Jsou-li v deníku označena spojení, nelze filtrovat data."));
        QVERIFY(!w().FilterOn());
        QCOMPARE(gridCalls().size(), 4);

        m_fx->model().ClearMarks();
        w().actFilter->trigger();
        QVERIFY(w().FilterOn());
        m_fx->mark(QStringLiteral("OK1ABC"));
        m_messages->clear();
        answerFilter({MakeFilterRow(fiCALL, "=", "OK1*")}, "actPouzit");
        w().actFilter->trigger(); // with the filter on, marks do not block the dialog
        QVERIFY(m_messages->shown.isEmpty());
        QCOMPARE(gridCalls(), (QStringList{"OK1ABC/P", "OK1ABC"}));
    }

    void hostileValuesSelectNothing_data()
    {
        QTest::addColumn<QString>("value");
        QTest::newRow("double quote OR") << QStringLiteral("\" OR 1=1 --");
        QTest::newRow("single quote") << QStringLiteral("'");
    }
    void hostileValuesSelectNothing()
    {
        QFETCH(QString, value);
        const QList<TLogRecord> before = m_fx->fx.rows();
        answerFilter({MakeFilterRow(fiNOTE, "=", value)}, "actPouzit");
        w().actFilter->trigger();
        QVERIFY(m_messages->shown.isEmpty());
        QVERIFY(w().FilterOn());
        QVERIFY(w().qLog->Active());
        QCOMPARE(w().qLog->RecordCount(), 0);
        const QList<TLogRecord> after = m_fx->fx.rows();
        QCOMPARE(after.size(), before.size());
        for (int i = 0; i < after.size(); ++i)
            QCOMPARE(after[i].values, before[i].values);
    }

    // Typed at once, at the dialog's first opening and at the next, a value lands in the
    // value box and Enter adds it.
    void typedAtOnceLandsInTheValueBox()
    {
        ModalScript modals;
        for (const char *typed : {"ok1*", "g3*"}) {
            modals.drive("frmFilter", [typed](QDialog &dialog) {
                QVERIFY(ActivateWindow(&dialog));
                QVERIFY(TypeIntoFocus(QString::fromLatin1(typed)));
                QVERIFY(SendKeyToActive(Qt::Key_Return));
                static_cast<TfrmFilter &>(dialog).actPouzit->trigger();
            });
            w().actFilter->trigger();
        }
        QCOMPARE(modals.pending(), 0);
        QCOMPARE(frmFilter->Rows(), (Rows{MakeFilterRow(fiCALL, "=", "OK1*"), MakeFilterRow(fiCALL, "=", "G3*")}));
        QCOMPARE(gridCalls().size(), 3);
    }

    void closeLogClearsRowsKeepsLines()
    {
        answerFilter({MakeFilterRow(fiCALL, "=", "OK1*")}, "actPouzit");
        w().actFilter->trigger();
        QCOMPARE(frmFilter->Rows().size(), 1);
        w().CloseLog();
        QVERIFY(frmFilter->Rows().isEmpty());
        QVERIFY(!w().FilterOn());
        QCOMPARE(w().FFilterLines.size(), 1);
    }
};

int main(int argc, char *argv[])
{
    QApplication app(argc, argv);
    int status = 0;
    {
        TestFilterDialog dialog;
        status |= QTest::qExec(&dialog, argc, argv);
    }
    {
        TestFilterCommand command;
        status |= QTest::qExec(&command, argc, argv);
    }
    return status;
}

#include "tst_filterdialog.moc"
