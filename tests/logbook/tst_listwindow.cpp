#include "MainWindowFixture.h"

#include "BrowseCommands.h"
#include "ComboBoxDialog.h"
#include "base/DatabaseError.h"
#include "ListWindow.h"
#include "ModalRunner.h"
#include "QSOWindow.h"
#include "RefTableModel.h"
#include "ScriptedMessages.h"
#include "log/TableQuery.h"

#include <QAction>
#include <QActionGroup>
#include <QComboBox>
#include <QHeaderView>
#include <QLabel>
#include <QSignalSpy>
#include <QSqlDatabase>
#include <QSqlQuery>
#include <QTest>

#include <memory>

class TestListWindow : public QObject
{
    Q_OBJECT

    std::unique_ptr<QsoTestFixture> m_fx;
    std::unique_ptr<ScriptedMessages> m_messages;

    TUserOptions &uo() { return m_fx->dm->UserOptions; }
    QString sortTitle(TfrmList &list)
    {
        const int column = list.model->SortedColumn();
        if (column < 0 || list.model->headerData(column, Qt::Horizontal, Qt::BackgroundRole).value<QColor>() !=
                              TRefTableModel::SortTitleBackground)
            return QStringLiteral("(none)");
        return list.model->headerData(column, Qt::Horizontal, Qt::DisplayRole).toString();
    }
    QString checkedItem(TfrmList &list)
    {
        QAction *checked = list.sortGroup->checkedAction();
        return checked ? checked->text() : QString();
    }
    QAction *sortItem(TfrmList &list, const QString &caption)
    {
        for (QAction *item : list.sortGroup->actions())
            if (item->text() == caption)
                return item;
        return nullptr;
    }

private slots:
    void init()
    {
        m_fx = std::make_unique<QsoTestFixture>(false);
        QFile::copy(QStringLiteral(VELKOR_STAGE_DIR "/iota.db"), m_fx->path(QStringLiteral("iota.db")));
        m_messages = std::make_unique<ScriptedMessages>();
    }
    void cleanup()
    {
        SetModalHook({});
        m_messages.reset();
        m_fx.reset();
    }

    // The DXCC list shows the entities' prefixes, not the exact calls of the country file.
    void dxccListHoldsPrefixesOnly()
    {
        TfrmList list(*m_fx->dm);
        list.SetupList(0);
        int prefixes = 0;
        {
            QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), QStringLiteral("tst_prefixes"));
            db.setDatabaseName(m_fx->path(QStringLiteral("dxcc.db")));
            QVERIFY(db.open());
            QSqlQuery count(db);
            QVERIFY(count.exec(QStringLiteral("SELECT COUNT(*) FROM dxcc")) && count.next());
            prefixes = count.value(0).toInt();
            db.close();
        }
        QSqlDatabase::removeDatabase(QStringLiteral("tst_prefixes"));
        QCOMPARE(list.qList->RecordCount(), prefixes);
        QCOMPARE(list.model->rowCount(), prefixes);
        QVERIFY(prefixes > 340 && prefixes < 10000);
        QVERIFY(list.Locate(QStringLiteral("PREFIX"), QStringLiteral("3Y/B")));
        QVERIFY(!list.Locate(QStringLiteral("PREFIX"), QStringLiteral("AH6K")));
    }

    void setUpByKind_data()
    {
        QTest::addColumn<int>("kind");
        QTest::addColumn<QString>("caption");
        QTest::addColumn<int>("columns");
        QTest::addColumn<QString>("sortedTitle");
        QTest::addColumn<QString>("sortField");
        QTest::newRow("DXCC") << 0 << "Seznam zemí DXCC" << 9 << "Název" << "NAME";
        QTest::newRow("IOTA") << 1 << "Seznam ostrovů IOTA" << 3 << "IOTA" << "IOTA";
    }
    void setUpByKind()
    {
        QFETCH(int, kind);
        QFETCH(QString, caption);
        QFETCH(int, columns);
        QFETCH(QString, sortedTitle);
        QFETCH(QString, sortField);
        TfrmList list(*m_fx->dm);
        list.SetupList(kind);
        QCOMPARE(list.windowTitle(), caption);
        QVERIFY(list.windowState() & Qt::WindowMaximized); // the first time: maximized
        QCOMPARE(list.model->columnCount(), columns);
        QCOMPARE(sortTitle(list), sortedTitle);
        QCOMPARE(checkedItem(list), sortedTitle);
        QCOMPARE(list.sortGroup->actions().size(), columns);
        QVERIFY(list.qList->RecordCount() > 100);
        const int field = list.qList->FieldIndex(sortField);
        for (int row = 1; row < 50; ++row)
            QVERIFY(list.qList->ValueAt(row - 1, field).toString() <= list.qList->ValueAt(row, field).toString());
    }

    void dxccTitlesOverTheirFields()
    {
        TfrmList list(*m_fx->dm);
        list.SetupList(0);
        QCOMPARE(list.model->Columns()[0].field, QStringLiteral("PREFIX"));
        QCOMPARE(list.model->Columns()[0].title, QStringLiteral("DXCC"));
        QCOMPARE(list.model->Columns()[1].field, QStringLiteral("DXCC"));
        QCOMPARE(list.model->Columns()[1].title, QStringLiteral("Prefix"));
        QCOMPARE(list.find->cbBoxField->count(), 3);
        QCOMPARE(list.find->cbBoxField->itemText(0), QStringLiteral("DXCC"));
    }

    // A title click re-sorts and keeps the row; the same title again does nothing; the
    // sort menu does the same.
    void sortingKeepsRow()
    {
        TfrmList list(*m_fx->dm);
        list.SetupList(0);
        QVERIFY(list.Locate(QStringLiteral("PREFIX"), QStringLiteral("OK")));
        const int recNo = list.qList->RecNo();
        QSignalSpy resets(list.qList, &TTableQuery::viewReset);
        list.TitleClick(3);
        QCOMPARE(list.qList->OrderBy(), QStringLiteral("LONGITUDE"));
        QCOMPARE(sortTitle(list), QStringLiteral("Zem. délka"));
        QCOMPARE(checkedItem(list), QStringLiteral("Zem. délka"));
        QCOMPARE(list.qList->Value(QStringLiteral("PREFIX")).toString(), QStringLiteral("OK"));
        QVERIFY(list.qList->RecNo() != recNo);
        QCOMPARE(resets.count(), 1);
        list.TitleClick(3);
        QCOMPARE(resets.count(), 1);

        sortItem(list, QStringLiteral("Kontinent"))->trigger();
        QCOMPARE(sortTitle(list), QStringLiteral("Kontinent"));
        QCOMPARE(list.qList->Value(QStringLiteral("PREFIX")).toString(), QStringLiteral("OK"));
        QCOMPARE(resets.count(), 2);
        sortItem(list, QStringLiteral("Kontinent"))->trigger();
        QCOMPARE(resets.count(), 2);
    }

    // Text columns in Czech order, where ch is a letter after h: the prefixes CH1 and
    // CH2 (Canada) follow the last H prefix, not CG8.
    void textSortedInCzechOrder()
    {
        TfrmList list(*m_fx->dm);
        list.SetupList(0);
        sortItem(list, QStringLiteral("DXCC"))->trigger(); // the PREFIX field
        QCOMPARE(list.qList->OrderBy(), QStringLiteral("PREFIX"));
        QStringList prefixes;
        const int field = list.qList->FieldIndex(QStringLiteral("PREFIX"));
        for (int row = 0; row < list.qList->RecordCount(); ++row)
            prefixes << list.qList->ValueAt(row, field).toString();
        const qsizetype ch1 = prefixes.indexOf(QStringLiteral("CH1"));
        QVERIFY(ch1 > 0);
        QCOMPARE(prefixes.value(ch1 + 1), QStringLiteral("CH2"));
        QCOMPARE(prefixes.value(prefixes.indexOf(QStringLiteral("CG8")) + 1), QStringLiteral("CI0"));
        QVERIFY(prefixes.value(ch1 - 1).startsWith(u'H'));
        QVERIFY(prefixes.value(ch1 + 2).startsWith(u'I'));
    }

    void firstAndLast()
    {
        TfrmList list(*m_fx->dm);
        list.SetupList(1);
        QVERIFY(!list.actFirst->isEnabled());
        QVERIFY(list.actLast->isEnabled());
        list.actLast->trigger();
        QCOMPARE(list.qList->RecNo(), list.qList->RecordCount());
        QVERIFY(list.actFirst->isEnabled());
        QVERIFY(!list.actLast->isEnabled());
        list.qList->Prior();
        QVERIFY(list.actFirst->isEnabled() && list.actLast->isEnabled());
        list.actFirst->trigger();
        QCOMPARE(list.qList->RecNo(), 1);

        // An empty list: both disabled.
        {
            QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), QStringLiteral("empty"));
            db.setDatabaseName(m_fx->path(QStringLiteral("iota.db")));
            QVERIFY(db.open());
            QSqlQuery(db).exec(QStringLiteral("DELETE FROM iota"));
            db.close();
        }
        QSqlDatabase::removeDatabase(QStringLiteral("empty"));
        TfrmList empty(*m_fx->dm);
        empty.SetupList(1);
        QVERIFY(!empty.actFirst->isEnabled());
        QVERIFY(!empty.actLast->isEnabled());
    }

    void sizesStoredPerList_data()
    {
        QTest::addColumn<int>("state");
        QTest::addColumn<int>("width");
        QTest::addColumn<bool>("maximized");
        QTest::newRow("normal") << int(Qt::WindowNoState) << 800 << false;
        QTest::newRow("maximized") << int(Qt::WindowMaximized) << 700 << true;
    }
    void sizesStoredPerList()
    {
        QFETCH(int, state);
        QFETCH(int, width);
        QFETCH(bool, maximized);
        {
            TfrmList list(*m_fx->dm);
            list.SetupList(0);
            list.setWindowState(Qt::WindowNoState);
            list.resize(800, 600);
            list.setWindowState(Qt::WindowState(state));
        }
        QCOMPARE(uo().GetListDxccWidth(), width);
        QCOMPARE(uo().GetListDxccHeight(), width == 800 ? 600 : 500);
        QCOMPARE(uo().GetListDxccMaximized(), maximized);
        QCOMPARE(uo().GetListIOTAWidth(), 700);
        QCOMPARE(uo().GetListIOTAMaximized(), true);
        // The next window takes the stored size.
        TfrmList again(*m_fx->dm);
        again.SetupList(0);
        QCOMPARE(again.width(), width);
        QCOMPARE(bool(again.windowState() & Qt::WindowMaximized), maximized);
    }

    void wideningWidensLastColumn()
    {
        uo().SetListDxccMaximized(false);
        TfrmList list(*m_fx->dm);
        list.SetupList(0);
        list.show();
        QVERIFY(QTest::qWaitForWindowExposed(&list));
        QHeaderView *titles = list.grid->horizontalHeader();
        QList<int> before;
        for (int c = 0; c < titles->count(); ++c)
            before << titles->sectionSize(c);
        QCOMPARE(before.first(), 60);
        list.resize(list.width() + 150, list.height());
        QTRY_VERIFY(titles->sectionSize(titles->count() - 1) > before.last());
        for (int c = 0; c + 1 < titles->count(); ++c)
            QCOMPARE(titles->sectionSize(c), before[c]);
    }

    void missingTableRaises()
    {
        QFile::remove(m_fx->path(QStringLiteral("iota.db")));
        TfrmList list(*m_fx->dm);
        QVERIFY_THROWS_EXCEPTION(EDatabaseError, list.SetupList(1));
    }

    void ownFindWindow()
    {
        TfrmList list(*m_fx->dm);
        list.SetupList(0);
        list.find->cbBoxField->setCurrentText(QStringLiteral("Název"));
        list.find->cbBoxData->setEditText(QStringLiteral("czech*"));
        QVERIFY(list.find->actFindExecute());
        QVERIFY(list.qList->Value(QStringLiteral("NAME")).toString().startsWith(QStringLiteral("Czech")));
    }
};

// "Hledat DXCC" and the list commands of the main window.
class TestListCommands : public QObject
{
    Q_OBJECT

    std::unique_ptr<MainWindowFixture> m_fx;
    std::unique_ptr<ScriptedMessages> m_messages;

    TfrmVelkor &w() { return m_fx->w(); }

    // Answers the call-sign question with the text, and records the list shown after it.
    void answerCall(const QString &text, int result, QString *shownPrefix, int *lists)
    {
        SetModalHook([=](QDialog &dialog) {
            if (auto *ask = qobject_cast<TfrmComboBox *>(&dialog)) {
                if (ask->windowTitle() != QStringLiteral("Vyhledání země DXCC") ||
                    ask->lblText->text() != QStringLiteral("Značka (Prefix):"))
                    return int(mrCancel);
                ask->ComboBox->setEditText(text);
                return result;
            }
            auto *list = qobject_cast<TfrmList *>(&dialog);
            if (!list)
                return int(mrCancel);
            ++*lists;
            *shownPrefix = list->qList->Value(QStringLiteral("PREFIX")).toString();
            return int(mrOk);
        });
    }

private slots:
    void init()
    {
        m_fx = std::make_unique<MainWindowFixture>();
        QFile::copy(QStringLiteral(VELKOR_STAGE_DIR "/iota.db"), m_fx->fx.path(QStringLiteral("iota.db")));
        InstallBrowseCommands(w());
        m_messages = std::make_unique<ScriptedMessages>();
    }
    void cleanup()
    {
        SetModalHook({});
        m_messages.reset();
        m_fx.reset();
    }

    void findDxcc_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<int>("result");
        QTest::addColumn<bool>("listShown");
        QTest::addColumn<QString>("message");
        QTest::addColumn<QString>("row");
        QTest::newRow("call found") << "ok1abc" << int(mrOk) << true << "" << "OK";
        QTest::newRow("exact call: its entity") << "AH6K" << int(mrOk) << true << "" << "K";
        QTest::newRow("exact call of an entity without prefixes") << "3Y0J" << int(mrOk) << true << "" << "3Y/B";
        QTest::newRow("cancelled") << "OK1ABC" << int(mrCancel) << false << "" << "";
        QTest::newRow("invalid call ignored") << "OK-1" << int(mrOk) << false << "" << "";
        QTest::newRow("empty ignored") << "" << int(mrOk) << false << "" << "";
        QTest::newRow("no entity") << "Q0ABC" << int(mrOk) << false << "Nenalezeno ..." << "";
    }
    void findDxcc()
    {
        QFETCH(QString, text);
        QFETCH(int, result);
        QFETCH(bool, listShown);
        QFETCH(QString, message);
        QString prefix;
        int lists = 0;
        answerCall(text, result, &prefix, &lists);
        w().actFindDXCC->trigger();
        QCOMPARE(lists, listShown ? 1 : 0);
        QCOMPARE(m_messages->texts().join(u'|'), message);
        QTEST(prefix, "row");
        if (listShown) {
            QVERIFY(DxccList->FindCall(text.toUpper()));
            QCOMPARE(prefix, DxccList->GetPrefix());
        }
    }

    // The QSO window's list commands are bound while the main window lives.
    void qsoWindowHandlers()
    {
        QVERIFY(TfrmQSO::CallBookHandler && TfrmQSO::DxccListHandler && TfrmQSO::IotaListHandler);
        m_fx.reset();
        QVERIFY(!TfrmQSO::CallBookHandler && !TfrmQSO::DxccListHandler && !TfrmQSO::IotaListHandler);
    }

    void listCommands()
    {
        QString prefix;
        int lists = 0;
        answerCall(QString(), mrOk, &prefix, &lists);
        w().actDXCCList->trigger();
        w().actIOTAList->trigger();
        QCOMPARE(lists, 2);
        QFile::remove(m_fx->fx.path(QStringLiteral("iota.db")));
        w().actIOTAList->trigger(); // reported, not shown
        QCOMPARE(lists, 2);
        QCOMPARE(m_messages->shown.size(), 1);
        QVERIFY(m_messages->lastText().contains(QStringLiteral("iota.db")));
    }
};

int main(int argc, char *argv[])
{
    QApplication app(argc, argv);
    int status = 0;
    {
        TestListWindow list;
        status |= QTest::qExec(&list, argc, argv);
    }
    {
        TestListCommands commands;
        status |= QTest::qExec(&commands, argc, argv);
    }
    return status;
}

#include "tst_listwindow.moc"
