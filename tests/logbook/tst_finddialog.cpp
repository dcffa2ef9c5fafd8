#include "MainWindowFixture.h"

#include "BrowseCommands.h"
#include "FindDialog.h"
#include "ScriptedMessages.h"
#include "SearchLineEdit.h"

#include <QAction>
#include <QCheckBox>
#include <QComboBox>
#include <QSqlQuery>
#include <QTest>

#include <memory>

class TestFindDialog : public QObject
{
    Q_OBJECT

    std::unique_ptr<MainWindowFixture> m_fx;
    std::unique_ptr<ScriptedMessages> m_messages;

    TfrmVelkor &w() { return m_fx->w(); }
    TfrmFind &f() { return *w().frmFind; }
    LogQuery &q() { return m_fx->query(); }

    void setSearch(const QString &field, const QString &text)
    {
        f().cbBoxField->setCurrentText(field);
        f().edtData->clear();
        f().edtData->typeFiltered(text);
    }
    QString currentCall() { return q().AsString(fiCALL); }

private slots:
    void init()
    {
        m_fx = std::make_unique<MainWindowFixture>();
        InstallBrowseCommands(w());
        m_messages = std::make_unique<ScriptedMessages>();
        q().First();
    }
    void cleanup()
    {
        m_messages.reset();
        m_fx.reset();
    }

    void setUpWithTheLogFields()
    {
        QCOMPARE(f().cbBoxField->count(), 9);
        QCOMPARE(f().cbBoxField->itemText(0), QStringLiteral("Značka"));
        QCOMPARE(f().cbBoxField->itemText(4), QStringLiteral("Datum"));
        QVERIFY(f().chBoxFirst->isChecked());
        QVERIFY(!f().chBoxCase->isEnabled());
        f().cbBoxField->setCurrentText(QStringLiteral("Jméno"));
        QVERIFY(f().chBoxCase->isEnabled());
        w().actFindQSO->trigger();
        QVERIFY(f().isVisible());
    }

    // Twice found, then not found (back where it was), then from the first record again.
    void findNextThenNotFound()
    {
        setSearch(QStringLiteral("Značka"), QStringLiteral("ok1abc*"));
        QCOMPARE(f().edtData->text(), QStringLiteral("OK1ABC*"));
        q().Last();
        QVERIFY(f().actFindExecute());
        QCOMPARE(currentCall(), QStringLiteral("OK1ABC/P"));
        QCOMPARE(f().actFind->text(), QStringLiteral("&Další"));
        QVERIFY(f().actFindExecute());
        QCOMPARE(currentCall(), QStringLiteral("OK1ABC"));
        QVERIFY(m_messages->shown.isEmpty());
        QVERIFY(!f().actFindExecute());
        QCOMPARE(m_messages->lastText(), QStringLiteral("Nenalezeno ..."));
        QCOMPARE(m_messages->shown.last().type, mtInformation);
        QCOMPARE(currentCall(), QStringLiteral("OK1ABC"));
        QVERIFY(f().chBoxFirst->isChecked());
        QCOMPARE(f().actFind->text(), QStringLiteral("&Hledat"));
        QVERIFY(f().actFindExecute());
        QCOMPARE(currentCall(), QStringLiteral("OK1ABC/P"));
        // A new text searches from the first record again.
        QVERIFY(!f().chBoxFirst->isChecked());
        f().edtData->typeFiltered(QStringLiteral("X"));
        QVERIFY(f().chBoxFirst->isChecked());
    }

    void matching_data()
    {
        QTest::addColumn<QString>("field");
        QTest::addColumn<QString>("text");
        QTest::addColumn<bool>("caseSensitive");
        QTest::addColumn<QString>("found"); // call of the found QSO, empty: none
        QTest::newRow("whole value without star") << "Značka" << "OK1ABC" << false << "OK1ABC";
        QTest::newRow("star crosses slash") << "Značka" << "DL*" << false << "DL/OK1ABC";
        QTest::newRow("question mark") << "Značka" << "G?XYZ" << false << "G3XYZ";
        QTest::newRow("locator mask") << "LOCp" << "JO70F*" << false << "OK1ABC";
        QTest::newRow("text any case") << "QTH" << "praha" << false << "OK1ABC";
        QTest::newRow("text case ticked") << "QTH" << "praha" << true << "";
        QTest::newRow("text case ticked matches") << "QTH" << "Praha" << true << "OK1ABC";
        QTest::newRow("upper-case diacritics") << "QTH" << QStringLiteral("SNĚŽKA") << false << "OK1ABC/P";
        QTest::newRow("text star") << "Poznámka" << "*spojení" << false << "OK1ABC";
        QTest::newRow("date") << "Datum" << "1.5.2006" << false << "OK1ABC/P";
        QTest::newRow("date not matching") << "Datum" << "2.5.2006" << false << "";
        QTest::newRow("not a date") << "Datum" << "32.1.2007" << false << "";
    }
    void matching()
    {
        QFETCH(QString, field);
        QFETCH(QString, text);
        QFETCH(bool, caseSensitive);
        QFETCH(QString, found);
        q().Last();
        f().cbBoxField->setCurrentText(field);
        f().chBoxCase->setChecked(caseSensitive);
        f().cbBoxData->setEditText(text);
        QCOMPARE(f().actFindExecute(), !found.isEmpty());
        QCOMPARE(currentCall(), found.isEmpty() ? QStringLiteral("G3XYZ") : found);
    }

    void upDownMoveTheGrid()
    {
        q().SetRecNo(2);
        QTest::keyClick(f().edtData, Qt::Key_Down);
        QCOMPARE(q().RecNo(), 3);
        QTest::keyClick(f().edtData, Qt::Key_Up);
        QTest::keyClick(f().edtData, Qt::Key_Up);
        QCOMPARE(q().RecNo(), 1);
        QTest::keyClick(f().edtData, Qt::Key_Up);
        QCOMPARE(q().RecNo(), 1);
    }

    void dateKeysStartAfresh()
    {
        f().cbBoxField->setCurrentText(QStringLiteral("Datum"));
        f().edtData->setText(QStringLiteral("01.01.2007"));
        f().edtData->selectAll();
        f().edtData->typeFiltered(QStringLiteral("3.5"));
        QCOMPARE(f().edtData->text(), QStringLiteral("03.5"));
    }

    // A match in view below the current row leaves the grid; one further down comes to
    // the top row; a miss brings back the record and its screen row.
    void scrollingRule()
    {
        QSqlDatabase db = QSqlDatabase::database(TdmLog::DatabaseName);
        db.transaction();
        for (int i = 0; i < 80; ++i)
            m_fx->fx.insert(QsoTestFixture::qso(QStringLiteral("S%1").arg(i, 2, 10, QLatin1Char('0')),
                                                QDate(2008, 1, 1).addDays(i), QTime(12, 0), 14.0, 1));
        db.commit();
        w().RefreshLog(false, false);
        q().First();
        QCoreApplication::processEvents();
        const int visible = w().dbgLog->VisibleRowCount();
        QVERIFY2(visible > 6 && visible < 60, qPrintable(QString::number(visible)));
        const int top = w().dbgLog->rowAt(0);

        setSearch(QStringLiteral("Značka"), QStringLiteral("S01"));
        QVERIFY(f().actFindExecute()); // record 6, in view
        QCOMPARE(q().RecNo(), 6);
        QCOMPARE(w().dbgLog->rowAt(0), top);

        setSearch(QStringLiteral("Značka"), QStringLiteral("S40"));
        QVERIFY(f().actFindExecute());
        QCOMPARE(q().RecNo(), 45);
        QCOMPARE(w().dbgLog->Row(), 1);

        q().SetRecNo(40);
        w().dbgLog->ShowCurrentOnRow(3);
        QCOMPARE(w().dbgLog->Row(), 3);
        setSearch(QStringLiteral("Značka"), QStringLiteral("NONE"));
        QVERIFY(!f().actFindExecute());
        QCOMPARE(q().RecNo(), 40);
        QCOMPARE(w().dbgLog->Row(), 3);
    }

    // Beyond the rows walked one by one, the whole column is read at once.
    void farMatchesInLargerLog()
    {
        QSqlDatabase db = QSqlDatabase::database(TdmLog::DatabaseName);
        db.transaction();
        QSqlQuery insert(db);
        insert.prepare(QStringLiteral("INSERT INTO log (DAT, UTC, CALL) VALUES (?, ?, ?)"));
        for (int i = 0; i < 1200; ++i) {
            insert.addBindValue(QDate(2009, 1, 1).addDays(i % 300).toString(Qt::ISODate));
            insert.addBindValue(QTime(i / 60 % 24, i % 60).toString(QStringLiteral("HH:mm:ss")));
            insert.addBindValue(QStringLiteral("T%1").arg(i));
            QVERIFY(insert.exec());
        }
        insert.finish();
        db.commit();
        m_fx->fx.insert(QsoTestFixture::qso(QStringLiteral("FAR1"), QDate(2015, 1, 1), QTime(0, 0), 14.0, 1));
        w().RefreshLog(false, false);
        setSearch(QStringLiteral("Značka"), QStringLiteral("FAR*"));
        QVERIFY(f().actFindExecute());
        QCOMPARE(currentCall(), QStringLiteral("FAR1"));
        QCOMPARE(q().RecNo(), q().RecordCount());
        setSearch(QStringLiteral("Značka"), QStringLiteral("T1199"));
        QVERIFY(f().actFindExecute());
        QCOMPARE(currentCall(), QStringLiteral("T1199"));
    }

    void emptyLogOnlyMessage()
    {
        answerNothing();
    }

    void qslChangeGivesFocusBack()
    {
        w().actFindQSO->trigger();
        QVERIFY(QTest::qWaitForWindowExposed(&f()));
        w().activateWindow();
        w().dbgLog->setFocus();
        q().SetRecNo(1);
        w().actQSLoY->trigger();
        QCOMPARE(m_fx->stored(QStringLiteral("OK1ABC/P"))[fiQSLO].toInt(), 1);
        QTRY_VERIFY(f().cbBoxData->hasFocus() || f().edtData->hasFocus());
    }

private:
    void answerNothing()
    {
        setSearch(QStringLiteral("Značka"), QStringLiteral("X*"));
        w().qLog->SetWhere(QStringLiteral("ID < 0"));
        w().RefreshLog(false, false);
        QCOMPARE(q().RecordCount(), 0);
        QVERIFY(!f().actFindExecute());
        QCOMPARE(m_messages->texts(), QStringList{"Nenalezeno ..."});
    }
};

QTEST_MAIN(TestFindDialog)
#include "tst_finddialog.moc"
