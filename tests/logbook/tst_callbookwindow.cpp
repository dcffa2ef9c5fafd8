#include "QsoTestFixture.h"

#include "AppGlobals.h"
#include "log/CallBookImport.h"
#include "CallBookWindow.h"
#include "radio/CharSet.h"
#include "FileDialogs.h"
#include "FocusKeys.h"
#include "ScriptedMessages.h"
#include "log/TableQuery.h"

#include <QAction>
#include <QActionGroup>
#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QSignalSpy>
#include <QTest>

#include <memory>

namespace {

const QByteArray Header = CallBookHeader;

} // namespace

class TestCallBookWindow : public QObject
{
    Q_OBJECT

    std::unique_ptr<QsoTestFixture> m_fx;
    std::unique_ptr<ScriptedMessages> m_messages;

    QString csv(const QString &name, const QByteArray &bytes)
    {
        const QString path = m_fx->path(name);
        QFile file(path);
        file.open(QIODevice::WriteOnly);
        file.write(bytes);
        return path;
    }
    // Three stations, the header in lower case.
    QString sampleCsv()
    {
        return csv(QStringLiteral("cb.csv"),
                   Header.toLower() + "\r\nOK2B;;" + UnicodeToWin1250(QStringLiteral("Dvořák;Antonín")) +
                       ";;Brno\r\nOK1A;Ing.;Novák;Jan;;Praha;;;JO70FC;A;;x;y\r\nOL5C;;Adam\r\n");
    }
    QStringList calls(TfrmCallBook &window)
    {
        QStringList list;
        for (int row = 0; row < window.qList->RecordCount(); ++row)
            list << window.qList->ValueAt(row, 0).toString();
        return list;
    }
    QString sortedField(TfrmCallBook &window) { return window.SortField(); }

private slots:
    void init()
    {
        m_fx = std::make_unique<QsoTestFixture>(false);
        QFile::copy(QStringLiteral(VELKOR_STAGE_DIR "/Clbp.db"), m_fx->path(QStringLiteral("Clbp.db")));
        m_messages = std::make_unique<ScriptedMessages>();
    }
    void cleanup()
    {
        FileDialogs::resetScript();
        m_messages.reset();
        m_fx.reset();
    }

    void noTableImportDeclined()
    {
        m_messages->answerNext(mrNo);
        TfrmCallBook window(*m_fx->dm);
        QCOMPARE(m_messages->texts(), QStringList{"Nejsou načtená žádná data.\nChece je importovat?"});
        QCOMPARE(m_messages->shown.first().defaultResult, int(mrYes));
        QVERIFY(!window.qList->Active());
        QVERIFY(!window.actFirst->isEnabled() && !window.actLast->isEnabled());
        QVERIFY(FileDialogs::requests().isEmpty());
    }

    // The lower-case header passes without a question; the rows come sorted by call sign.
    void noTableImportAccepted()
    {
        m_messages->answerNext(mrYes);
        FileDialogs::setNextAnswer(sampleCsv());
        TfrmCallBook window(*m_fx->dm);
        QCOMPARE(m_messages->shown.size(), 1);
        QCOMPARE(calls(window), (QStringList{"OK1A", "OK2B", "OL5C"}));
        QCOMPARE(sortedField(window), QStringLiteral("ZNACKA"));
        QCOMPARE(window.sortGroup->checkedAction()->text(), QStringLiteral("Značka"));
        QVERIFY(window.Locate(QStringLiteral("ZNACKA"), QStringLiteral("OK2B")));
        QCOMPARE(window.qList->Value(QStringLiteral("PRIJMENI")).toString(), QStringLiteral("Dvořák"));
        QCOMPARE(window.qList->Value(QStringLiteral("MESTO")).toString(), QStringLiteral("Brno"));
        QVERIFY(window.Locate(QStringLiteral("ZNACKA"), QStringLiteral("OK1A")));
        QCOMPARE(window.qList->Value(QStringLiteral("POZN")).toString(), QString());
        QCOMPARE(window.qList->Value(QStringLiteral("LOC")).toString(), QStringLiteral("JO70FC"));
    }

    // A damaged callbook file opens an empty window, without a question or a crash.
    void damagedTableShowsNothing()
    {
        csv(QLatin1String(CallBookFileName), "not a database at all");
        TfrmCallBook window(*m_fx->dm);
        QVERIFY(m_messages->shown.isEmpty());
        QVERIFY(!window.qList->Active());
        window.TitleClick(1);
        window.actLast->trigger();
        QCOMPARE(window.qList->RecordCount(), 0);
    }

    void refusedHeaderLeavesTable_data()
    {
        QTest::addColumn<int>("answer");
        QTest::addColumn<QStringList>("after");
        QTest::newRow("no") << int(mrNo) << QStringList{"OK1A", "OK2B", "OL5C"};
        QTest::newRow("yes") << int(mrYes) << QStringList{"OK9Z"};
    }
    void refusedHeaderLeavesTable()
    {
        QFETCH(int, answer);
        QFETCH(QStringList, after);
        ImportCallBook(m_fx->dir.path(), ReadCallBookFile(sampleCsv()));
        TfrmCallBook window(*m_fx->dm);
        QVERIFY(m_messages->shown.isEmpty());
        m_messages->answerNext(answer);
        window.ImportCSV(csv(QStringLiteral("bad.csv"), "ZNACKA;JMENO\r\nOK9Z;Petr\r\n"));
        QCOMPARE(m_messages->texts(), QStringList{"Data mají pravděpodobně nesprávný formát!\nChcete pokračovat?"});
        QCOMPARE(m_messages->shown.first().type, mtError);
        QCOMPARE(m_messages->shown.first().defaultResult, int(mrNo));
        QCOMPARE(calls(window), after);
    }

    void unreadableFileKeepsTable()
    {
        ImportCallBook(m_fx->dir.path(), ReadCallBookFile(sampleCsv()));
        TfrmCallBook window(*m_fx->dm);
        QVERIFY(!window.ImportCSV(m_fx->path(QStringLiteral("missing.csv"))));
        QCOMPARE(m_messages->shown.size(), 1);
        QVERIFY(m_messages->lastText().startsWith(QStringLiteral("Soubor")));
        QCOMPARE(calls(window).size(), 3);
    }

    void importCommandAsksFirst()
    {
        ImportCallBook(m_fx->dir.path(), ReadCallBookFile(sampleCsv()));
        TfrmCallBook window(*m_fx->dm);
        m_messages->answerNext(mrNo);
        window.actNacistCSV->trigger();
        QCOMPARE(m_messages->texts(),
                 QStringList{"Opravdu chcete importovat novou databázi?\nPůvodní data budou přepsána!"});
        QVERIFY(FileDialogs::requests().isEmpty());
        m_messages->answerNext(mrYes);
        FileDialogs::setNextAnswer(csv(QStringLiteral("new.csv"), Header + "\r\nOK7N\r\n"));
        window.actNacistCSV->trigger();
        QCOMPARE(FileDialogs::requests().size(), 1);
        QVERIFY(FileDialogs::requests().first().filter.contains(QStringLiteral("*.csv")));
        QCOMPARE(calls(window), QStringList{"OK7N"});
    }

    // Sorting by a title keeps the station; the sorted title again reads nothing.
    void sortingKeepsStation()
    {
        ImportCallBook(m_fx->dir.path(), ReadCallBookFile(sampleCsv()));
        TfrmCallBook window(*m_fx->dm);
        QVERIFY(window.Locate(QStringLiteral("ZNACKA"), QStringLiteral("OK2B")));
        QSignalSpy resets(window.qList, &TTableQuery::viewReset);
        window.TitleClick(2); // Příjmení
        QCOMPARE(sortedField(window), QStringLiteral("PRIJMENI"));
        QCOMPARE(window.sortGroup->checkedAction()->text(), QStringLiteral("Příjmení"));
        QCOMPARE(calls(window), (QStringList{"OL5C", "OK2B", "OK1A"}));
        QCOMPARE(window.qList->Value(0).toString(), QStringLiteral("OK2B"));
        const int count = resets.count();
        window.TitleClick(2);
        QCOMPARE(resets.count(), count);
        for (QAction *item : window.sortGroup->actions())
            if (item->text() == QStringLiteral("Město"))
                item->trigger();
        QCOMPARE(sortedField(window), QStringLiteral("MESTO"));
        QCOMPARE(window.qList->Value(0).toString(), QStringLiteral("OK2B"));
    }

    // Surnames of the example and of other languages, one station each.
    QString namesCsv()
    {
        const QStringList surnames{"Cyril", "Svoboda", "Zeman", "adam", "Čermák", "Šťastný", "Chalupa",
                                   "Hora", "Großmann", "Müller", "Wałęsa", "Öberg"};
        QByteArray bytes = Header + "\r\n";
        for (int i = 0; i < surnames.size(); ++i)
            bytes += "OK1A" + QByteArray(1, char('A' + i)) + ";;" + UnicodeToWin1250(surnames[i]) + "\r\n";
        return csv(QStringLiteral("names.csv"), bytes);
    }
    QStringList surnames(TfrmCallBook &window)
    {
        QStringList list;
        for (int row = 0; row < window.qList->RecordCount(); ++row)
            list << window.qList->ValueAt(row, 2).toString();
        return list;
    }

    // Sorted by surname as a Czech reader expects: small and capital letters together,
    // Č after C, Š after S, ch after h, letters of other languages beside their base.
    void surnamesInCzechOrder()
    {
        ImportCallBook(m_fx->dir.path(), ReadCallBookFile(namesCsv()));
        TfrmCallBook window(*m_fx->dm);
        window.TitleClick(2); // Příjmení
        QCOMPARE(surnames(window), (QStringList{"adam", "Cyril", "Čermák", "Großmann", "Hora", "Chalupa", "Müller",
                                                "Öberg", "Svoboda", "Šťastný", "Wałęsa", "Zeman"}));
        window.TitleClick(0); // back to the call signs
        QCOMPARE(surnames(window).first(), QStringLiteral("Cyril"));
    }

    // The find window ignores letter case in every alphabet, ß against SS included.
    void findIgnoresCaseOfEveryLetter_data()
    {
        QTest::addColumn<QString>("mask");
        QTest::addColumn<QString>("found");
        QTest::newRow("Czech capitals") << QStringLiteral("ŠŤASTNÝ") << QStringLiteral("Šťastný");
        QTest::newRow("Czech capitals, mask") << QStringLiteral("ČER*") << QStringLiteral("Čermák");
        QTest::newRow("ß as SS") << QStringLiteral("grossmann") << QStringLiteral("Großmann");
        QTest::newRow("ß as capital ẞ") << QStringLiteral("GROẞ*") << QStringLiteral("Großmann");
        QTest::newRow("ł and ę") << QStringLiteral("WAŁĘSA") << QStringLiteral("Wałęsa");
        QTest::newRow("ö, mask") << QStringLiteral("?BERG") << QStringLiteral("Öberg");
        QTest::newRow("diacritics count") << QStringLiteral("cermak") << QString();
    }
    void findIgnoresCaseOfEveryLetter()
    {
        QFETCH(QString, mask);
        QFETCH(QString, found);
        ImportCallBook(m_fx->dir.path(), ReadCallBookFile(namesCsv()));
        TfrmCallBook window(*m_fx->dm);
        window.find->cbBoxField->setCurrentText(QStringLiteral("Příjmení"));
        window.find->chBoxCase->setChecked(false);
        window.find->chBoxFirst->setChecked(true);
        window.find->cbBoxData->setEditText(mask);
        QCOMPARE(window.find->actFindExecute(), !found.isEmpty());
        if (!found.isEmpty())
            QCOMPARE(window.qList->Value(2).toString(), found);
        else
            QCOMPARE(m_messages->lastText(), QStringLiteral("Nenalezeno ..."));
    }

    void firstAndLast()
    {
        ImportCallBook(m_fx->dir.path(), ReadCallBookFile(sampleCsv()));
        TfrmCallBook window(*m_fx->dm);
        QVERIFY(!window.actFirst->isEnabled());
        QVERIFY(window.actLast->isEnabled());
        window.actLast->trigger();
        QCOMPARE(window.qList->Value(0).toString(), QStringLiteral("OL5C"));
        QVERIFY(window.actFirst->isEnabled());
        QVERIFY(!window.actLast->isEnabled());
        QCOMPARE(window.actFind->shortcut(), QKeySequence(Qt::CTRL | Qt::Key_F));
        window.find->cbBoxField->setCurrentText(QStringLiteral("Příjmení"));
        window.find->cbBoxData->setEditText(QStringLiteral("nov*"));
        QVERIFY(window.find->actFindExecute());
        QCOMPARE(window.qList->Value(0).toString(), QStringLiteral("OK1A"));
    }

    // The find window over the callbook, by keys into the focused widgets: Ctrl+F opens it,
    // Enter finds, First/Last follow the found row, Up and Down step, Esc closes the find
    // window and leaves the callbook open; a second Esc closes the callbook.
    void findWindowKeys()
    {
        ImportCallBook(m_fx->dir.path(), ReadCallBookFile(sampleCsv()));
        TfrmCallBook window(*m_fx->dm);
        window.show();
        QVERIFY(SendKey(&window, Qt::Key_F, Qt::ControlModifier));
        QVERIFY(window.find->isVisible());
        QVERIFY(ActivateWindow(window.find));
        QCOMPARE(FocusedWidget(), window.find->cbBoxData);
        QVERIFY(TypeIntoFocus(QStringLiteral("ol5*")));
        QVERIFY(SendKey(window.find, Qt::Key_Enter, Qt::KeypadModifier));
        QCOMPARE(window.qList->Value(0).toString(), QStringLiteral("OL5C"));
        QVERIFY(window.actFirst->isEnabled());
        QVERIFY(!window.actLast->isEnabled());
        QVERIFY(SendKey(window.find, Qt::Key_Up));
        QCOMPARE(window.qList->Value(0).toString(), QStringLiteral("OK2B"));
        QVERIFY(window.actLast->isEnabled());
        QVERIFY(SendKey(window.find, Qt::Key_Escape));
        QVERIFY(!window.find->isVisible());
        QVERIFY(window.isVisible());
        QVERIFY(SendKey(&window, Qt::Key_Escape));
        QVERIFY(!window.isVisible());
        QVERIFY(m_messages->shown.isEmpty());
    }
};

QTEST_MAIN(TestCallBookWindow)
#include "tst_callbookwindow.moc"
