#include "AppGlobals.h"
#include "log/DmLog.h"
#include "FakeClock.h"
#include "FakeTimeServer.h"
#include "system/LocalEndpoint.h"
#include "log/LogConnection.h"
#include "LogGrid.h"
#include "log/LogTable.h"
#include "LogTableModel.h"
#include "MainWindow.h"
#include "ModalScript.h"
#include "ProgressDialog.h"
#include "ScriptedMessages.h"
#include "system/SystemClock.h"

#include "About.h"
#include "base/Formats.h"

#include <QAbstractButton>
#include <QAction>
#include <QDir>
#include <QFile>
#include <QHeaderView>
#include <QLabel>
#include <QMenu>
#include <QSignalSpy>
#include <QStatusTipEvent>
#include <QTemporaryDir>
#include <QProgressBar>
#include <QTest>
#include <QToolBar>

#include <memory>

namespace {

const QString Call = QStringLiteral("OK1XYZ");

TLogRecord qso(const QString &call, const QDate &date, const QTime &time)
{
    TLogRecord r;
    r[fiDAT] = date;
    r[fiUTC] = time;
    r[fiCALL] = call;
    r[fiFREQ] = 7.025;
    r[fiBAND] = 4;
    r[fiMODE] = 1;
    r[fiRSTO] = "599";
    r[fiRSTP] = "579";
    r[fiLOCO] = "JO70FC";
    r[fiDXCC] = "OK";
    r[fiQSLO] = 0;
    r[fiQSLP] = 0;
    r[fiEQSLP] = 0;
    return r;
}

} // namespace

class TestMainWindow : public QObject
{
    Q_OBJECT
private:
    std::unique_ptr<QTemporaryDir> m_dir;
    QString m_appDir;
    std::unique_ptr<TdmLog> m_dm;
    std::unique_ptr<TfrmVelkor> m_window;
    std::unique_ptr<ScriptedMessages> m_messages;
    std::unique_ptr<ModalScript> m_modals;

    QString dataDir() const { return m_appDir + "Data/"; }

    // The operator settings of a new log, as the settings dialog writes them for a wide screen.
    void writeOperator(const std::function<void(TUserOptions &)> &adjust = {})
    {
        TUserOptions uo;
        uo.SetCall(Call);
        uo.SetLocator("JO70FC");
        for (int field = fiDAT; field < LogFieldCount; ++field) {
            const QString &name = LogFieldNames[field];
            uo.SetColumnCaption(name, LogFieldCaptions[field]);
            uo.SetColumnCaptionAlignment(name, LogColumnTitleAlignments[field]);
            uo.SetColumnAlignment(name, LogColumnAlignments[field]);
            uo.SetColumnWidth(name, LogColumnWidths[field][3]);
            uo.SetColumnVisible(name, LogColumnVisible[field][3]);
            uo.SetColumnIndex(name, LogColumnPositions[field]);
        }
        if (adjust)
            adjust(uo);
        uo.SaveAs(dataDir() + Call + ".uf");
    }

    QList<qint64> writeQSOs(const QList<TLogRecord> &records)
    {
        const QString path = dataDir() + Call + ".db";
        CreateLogTable(path);
        LogConnection connection(path);
        LogTable table(connection.connectionName());
        QList<qint64> ids;
        for (const TLogRecord &r : records)
            ids << table.Insert(r);
        return ids;
    }

    // n QSOs a day apart; their calls are not in date order.
    QList<qint64> writeLog(int n)
    {
        QList<TLogRecord> records;
        for (int i = 0; i < n; ++i)
            records << qso(QStringLiteral("OK%1%2").arg((i * 37) % 10).arg(QChar('A' + (i * 11) % 26)) + "X",
                           QDate(2007, 1, 1).addDays(i), QTime(10, 0));
        return writeQSOs(records);
    }

    void openWindow()
    {
        m_window = std::make_unique<TfrmVelkor>(*m_dm);
        frmVelkor = m_window.get();
        frmDialog = new TfrmDialog(m_window.get());
        m_window->resize(1280, 800);
        m_window->show();
        QVERIFY(QTest::qWaitForWindowExposed(m_window.get()));
    }

    // Gives the record commands a handler, so that their enabled rule shows.
    QList<QAction *> wireRecordActions()
    {
        TfrmVelkor &w = *m_window;
        const QList<QAction *> actions{w.actShowQSO,  w.actEditQSO,   w.actDeleteQSO,  w.actFindQSO,  w.actStatTab,
                                       w.actSelQSO,   w.actSelAllQSO, w.actSelNoneQSO, w.actQSLoN,    w.actQSLoY,
                                       w.actQSLoR,    w.actQSLoI,     w.actQSLpN,      w.actQSLpY,    w.actEQSLN,
                                       w.actEQSLY,    w.actPrintQSL,  w.actPrintLog,   w.actExportAdif,
                                       w.actExportADIFshort, w.actExportCSV, w.actExportTXT, w.actExportXLS};
        for (QAction *action : actions)
            w.SetCommandHandler(action, [] {});
        return actions;
    }

    QColor titleColour(int field) const
    {
        return m_window->logModel()
            ->headerData(LogTableModel::columnOfField(field), Qt::Horizontal, Qt::BackgroundRole)
            .value<QColor>();
    }

private slots:
    void init()
    {
        m_dir = std::make_unique<QTemporaryDir>();
        QVERIFY(m_dir->isValid());
        m_appDir = m_dir->path() + "/";
        QVERIFY(QDir().mkpath(m_appDir + "Data"));
        QVERIFY(QDir().mkpath(m_appDir + "Zaloha"));
        QVERIFY(QDir().mkpath(m_appDir + "tmp"));
        qputenv("TEMP", (m_appDir + "tmp").toLocal8Bit());
        QFile ini(m_appDir + "Velkor.ini");
        QVERIFY(ini.open(QIODevice::WriteOnly));
        ini.write("[Users]\n0=OK1XYZ\n\n");
        ini.close();
        m_messages = std::make_unique<ScriptedMessages>();
        m_modals = std::make_unique<ModalScript>();
        m_dm = std::make_unique<TdmLog>(m_appDir);
        dmLog = m_dm.get();
    }

    void cleanup()
    {
        frmDialog = nullptr; // owned by the window
        m_window.reset();
        frmVelkor = nullptr;
        m_dm.reset();
        dmLog = nullptr;
        m_modals.reset();
        m_messages.reset();
        TfrmVelkor::NtpPort = TfrmVelkor::DefaultNtpPort;
        TfrmVelkor::NtpTimeout = TfrmVelkor::NtpTimeoutMs;
        setClockSetter(nullptr);
        m_dir.reset();
    }

    void openShowsTheLastQSOSortedByDateAndTime()
    {
        writeOperator();
        const QList<qint64> ids = writeLog(3);
        openWindow();
        m_window->OpenLog(Call);
        QCOMPARE(m_window->windowTitle(), QString("Velkor \"OK1XYZ\""));
        QCOMPARE(m_window->qLog->RecNo(), 3);
        QCOMPARE(m_window->qLog->Bookmark(), ids[2]);
        QCOMPARE(m_window->dbgLog->currentIndex().row(), 2);
        QVERIFY(m_window->actSortByDateTime->isChecked());
        QCOMPARE(titleColour(fiDAT), QColor(198, 211, 239));
        QCOMPARE(titleColour(fiUTC), QColor(198, 211, 239));
        QVERIFY(!titleColour(fiCALL).isValid());
        QCOMPARE(m_window->StatusPanelText(0), QString(" Záznam:     3 z     3"));
        QCOMPARE(m_window->StatusPanelText(1), QString("Vybráno:0"));
        QCOMPARE(m_window->QSOPanelTexts(), (QStringList{"JO70FC", "OK", "", "", ""}));
        QVERIFY(m_messages->shown.isEmpty());
        QVERIFY(!frmDialog->isVisible());

        m_window->CloseLog();
        QCOMPARE(m_window->windowTitle(), QString("Velkor"));
        QVERIFY(m_dm->UserOptions.Call.isEmpty());
        QVERIFY(!m_window->qLog->Active());
        QCOMPARE(m_window->logModel()->rowCount(), 0);
        QCOMPARE(m_window->StatusPanelText(0), QString(" Záznam:     0 z     0"));
        for (int column = 0; column < LogTableModel::ColumnCount; ++column)
            QVERIFY(m_window->dbgLog->horizontalHeader()->isSectionHidden(column));
    }

    // The progress window while a log opens: each step's text and gauge reach the screen,
    // in order, also around setting the clock and around a message; the gauge as it is
    // painted, consecutive equal states once.
    void openingPaintsEachStepOfItsProgress_data()
    {
        QTest::addColumn<bool>("setClock");
        QTest::addColumn<bool>("tableMissing");
        QTest::newRow("a log") << false << false;
        QTest::newRow("the clock set from a time server") << true << false;
        QTest::newRow("the table missing, a message between") << false << true;
    }
    void openingPaintsEachStepOfItsProgress()
    {
        QFETCH(bool, setClock);
        QFETCH(bool, tableMissing);
        using State = QPair<QString, int>;
        QList<State> painted;
        // The state painted last when the clock is set: the sync step's.
        struct WatchingClock : FakeClock {
            QList<State> *painted = nullptr;
            State atSetting;
            bool setUtc(const QDateTime &utc) override
            {
                atSetting = painted->isEmpty() ? State() : painted->last();
                return FakeClock::setUtc(utc);
            }
        } clock;
        clock.painted = &painted;
        setClockSetter(&clock);
        FakeTimeServer server;
        QVERIFY(server.start());
        TfrmVelkor::NtpPort = server.port();
        TfrmVelkor::NtpTimeout = 2000;
        writeOperator([setClock](TUserOptions &uo) {
            uo.SetNTPSync(setClock);
            uo.SetNTPServer("127.0.0.1");
        });
        if (!tableMissing)
            writeLog(3);
        openWindow();
        struct GaugePaints : QObject {
            QList<State> *painted = nullptr;
            bool eventFilter(QObject *watched, QEvent *event) override
            {
                if (event->type() == QEvent::Paint) {
                    const State now(frmDialog->lblText()->text(), static_cast<QProgressBar *>(watched)->value());
                    if (painted->isEmpty() || painted->last() != now)
                        painted->append(now);
                }
                return false;
            }
        } gaugePaints;
        gaugePaints.painted = &painted;
        frmDialog->pgBar()->installEventFilter(&gaugePaints);
        m_window->OpenLog(Call);
        frmDialog->pgBar()->removeEventFilter(&gaugePaints);

        const QList<State> steps{{"Nastavuji fonty ...", 0},        {"Synchronizuji čas ...", 1},
                                 {"Kontroluji odchylku UTC ...", 2}, {"Kontroluji soubory ...", 3},
                                 {"Otevírám deník ... ", 4},         {"Otevírám deník ... ", 7}};
        QCOMPARE(painted, steps);
        QCOMPARE(clock.settings.size(), setClock ? 1 : 0);
        if (setClock)
            QCOMPARE(clock.atSetting, steps[1]);
        QCOMPARE(m_messages->texts(),
                 tableMissing ? QStringList{"Chybí datový soubor databáze - bude vytvořen nový!"} : QStringList());
        QVERIFY(!frmDialog->isVisible());
        QCOMPARE(m_window->qLog->RecordCount(), tableMissing ? 0 : 3);
    }

    void recordCommandsFollowTheRecordCount()
    {
        writeOperator();
        writeQSOs({});
        openWindow();
        const QList<QAction *> recordActions = wireRecordActions();
        QCOMPARE(recordActions.size(), 23);
        m_window->OpenLog(Call);
        for (QAction *action : recordActions)
            QVERIFY2(!action->isEnabled(), qPrintable(action->objectName()));
        QVERIFY(!m_window->actFirstQSO->isEnabled());
        QVERIFY(!m_window->actLastQSO->isEnabled());
        QVERIFY(m_window->actSortByCall->isEnabled()); // not bound to records
        QCOMPARE(m_window->StatusPanelText(0), QString(" Záznam:     0 z     0"));

        m_window->CloseLog();
        writeLog(3);
        m_window->OpenLog(Call);
        for (QAction *action : recordActions)
            QVERIFY2(action->isEnabled(), qPrintable(action->objectName()));
    }

    void commandsWithoutHandlerStayDisabled()
    {
        writeOperator();
        writeLog(3);
        openWindow();
        m_window->OpenLog(Call);
        for (QAction *action : {m_window->actNewQSO, m_window->actShowQSO, m_window->actQSLoY, m_window->actFilter,
                                m_window->actExportAdif, m_window->acBackUpLog, m_window->actDxCluster})
            QVERIFY2(!action->isEnabled(), qPrintable(action->objectName()));
        for (QAction *action : {m_window->actSelectLog, m_window->actOptions, m_window->actHelpAbout, m_window->actEnd,
                                m_window->actSortByDateTime, m_window->actFirstQSO})
            QVERIFY2(action->isEnabled(), qPrintable(action->objectName()));
        // No help pages beside the program: no help commands.
        QVERIFY(!m_window->actHelp->isEnabled());
        QVERIFY(!m_window->actHelpHistory->isEnabled());
    }

    // In the default layout and the font at hand, the widest values of the columns of one
    // shape fit their cells; a hidden one is as wide when the column menu shows it.
    void shapedValuesShowWhole_data()
    {
        QTest::addColumn<int>("field");
        QTest::addColumn<QString>("value");
        QTest::newRow("IOTA") << int(fiIOTA) << "NA123";
        QTest::newRow("partner's locator") << int(fiLOCP) << "MM99WW";
        QTest::newRow("own locator, hidden") << int(fiLOCO) << "MM99WW";
    }
    void shapedValuesShowWhole()
    {
        QFETCH(int, field);
        QFETCH(QString, value);
        writeOperator();
        TLogRecord r = qso("W1AW", QDate(2007, 1, 1), QTime(10, 0));
        r[field] = value;
        writeQSOs({r});
        openWindow();
        TfrmVelkor &w = *m_window;
        w.OpenLog(Call);
        const int column = LogTableModel::columnOfField(field);
        if (w.dbgLog->horizontalHeader()->isSectionHidden(column))
            w.ShowHideColumn(field);
        QCOMPARE(w.logModel()->data(w.logModel()->index(0, column)).toString(), value);
        QVERIFY(w.dbgLog->columnWidth(column) >= LogColumnWidths[field][3]);
        const QAbstractItemView &grid = *w.dbgLog; // the view's own measure of its cells
        QVERIFY2(grid.sizeHintForColumn(column) <= w.dbgLog->columnWidth(column),
                 qPrintable(QString::number(grid.sizeHintForColumn(column))));
    }

    void captionsHintsAndShortcuts_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QString>("text");
        QTest::addColumn<QString>("hint");
        QTest::addColumn<QString>("shortcuts");
        QTest::newRow("new") << "actNewQSO" << "&Nové" << "Vyvolá dialog pro zadání nového spojení" << "F2";
        QTest::newRow("edit") << "actEditQSO" << "&Upravit" << "Upravit údaje spojení" << "F4;Ctrl+Return;Ctrl+Enter";
        QTest::newRow("delete") << "actDeleteQSO" << "&Smazat" << "Smazat označená spojení" << "Shift+Del";
        QTest::newRow("QSLp received") << "actQSLpY" << "QSLp - Př&ijatý" << "" << "Ctrl+F8;Ctrl+P;Ctrl+B";
        QTest::newRow("find") << "actFindQSO" << "&Hledat" << "Vyhledávání udajů v deníku" << "Ctrl+F;F7";
        QTest::newRow("Trevan import") << "actImportTrevan" << "&Deník Trevan" << "Import dat  z deníku Trevan" << "";
        QTest::newRow("mark all") << "actSelAllQSO" << "Vše    +" << "Označí všechna spojení" << "";
        QTest::newRow("mark none") << "actSelNoneQSO" << "Nic     -" << "Odoznačí všechna spojení" << "";
        QTest::newRow("sort by own locator") << "actSortByLOCo" << "Vl&astní lokátor"
                                             << "Setřídí deník podle vlastního lokátoru" << "";
        QTest::newRow("help") << "actHelp" << "&Nápověda Ostrelu" << "Zobrazí nápovědu k programu" << "F1";
    }
    void captionsHintsAndShortcuts()
    {
        QFETCH(QString, name);
        QFETCH(QString, text);
        QFETCH(QString, hint);
        QFETCH(QString, shortcuts);
        openWindow();
        auto *action = m_window->findChild<QAction *>(name);
        QVERIFY(action);
        QCOMPARE(action->text(), text);
        QCOMPARE(action->statusTip(), hint);
        QStringList keys;
        for (const QKeySequence &key : action->shortcuts())
            keys << key.toString();
        QCOMPARE(keys.join(';'), shortcuts);
    }

    void toolBarAndMenus()
    {
        openWindow();
        QStringList buttons;
        for (QAction *action : m_window->tlBar->actions())
            buttons << (action->isSeparator() ? "-" : m_window->tlBar->widgetForAction(action)->objectName());
        QCOMPARE(buttons.join(' '), QString("tlBtnNewQSO tlBtnShowQSO tlBtnEditQSO tlBtnDeleteQSO - tlBtnFindQSO "
                                            "tlBtnFiltr - tlBtnSelQSO - tlBtnFirstQSO tlBtnLastQSO - "
                                            "tlBtnSelectLog - tlBtnExit"));
        QCOMPARE(m_window->actSelectLog->iconText(), QString("LOG ..."));
        auto *sort = m_window->findChild<QMenu *>("mnTridit");
        QVERIFY(sort);
        QStringList items;
        for (QAction *action : sort->actions())
            items << (action->isSeparator() ? "-" : action->text());
        QCOMPARE(items.join('|'), QString("&Datum a čas|&Značka|&Frekvence|&Pásmo|&Mód|-|&Jméno|&QTH|&Lokátor|-|"
                                          "Q&SLo|QSLp|QSL &via|&eQSL|-|D&XCC|&IOTA|I&TU|&WAZ|Diplom|-|"
                                          "Vl&astní lokátor|Q&RB|PWR|P&oznámka"));
        QCOMPARE(m_window->findChild<QMenu *>("mnExport")->actions().size(), 6);
        // Hints go to the last panel of the status bar.
        QStatusTipEvent tip("Skok na první spojení");
        QCoreApplication::sendEvent(m_window.get(), &tip);
        QCOMPARE(m_window->StatusPanelText(2), QString(" Skok na první spojení"));
    }

    void firstAndLastFollowThePosition()
    {
        writeOperator();
        writeLog(3);
        openWindow();
        m_window->OpenLog(Call);
        QVERIFY(m_window->actFirstQSO->isEnabled());
        QVERIFY(!m_window->actLastQSO->isEnabled());
        m_window->actFirstQSO->trigger();
        QCOMPARE(m_window->qLog->RecNo(), 1);
        QCOMPARE(m_window->dbgLog->currentIndex().row(), 0);
        QVERIFY(!m_window->actFirstQSO->isEnabled());
        QVERIFY(m_window->actLastQSO->isEnabled());
        QCOMPARE(m_window->StatusPanelText(0), QString(" Záznam:     1 z     3"));
        // A move in the grid moves the query.
        QTest::keyClick(m_window->dbgLog, Qt::Key_Down);
        QCOMPARE(m_window->qLog->RecNo(), 2);
        QVERIFY(m_window->actFirstQSO->isEnabled());
        QVERIFY(m_window->actLastQSO->isEnabled());
        m_window->actLastQSO->trigger();
        QCOMPARE(m_window->qLog->RecNo(), 3);
        QCOMPARE(m_window->StatusPanelText(0), QString(" Záznam:     3 z     3"));
    }

    void missingTableIsCreatedEmpty()
    {
        writeOperator();
        openWindow();
        const QList<QAction *> recordActions = wireRecordActions();
        QVERIFY(!QFile::exists(dataDir() + "OK1XYZ.db"));
        m_window->OpenLog(Call);
        QCOMPARE(m_messages->texts(), QStringList{"Chybí datový soubor databáze - bude vytvořen nový!"});
        QCOMPARE(m_messages->shown.first().type, mtError);
        QVERIFY(IsReadableLogTableFile(dataDir() + "OK1XYZ.db"));
        QVERIFY(m_window->qLog->Active());
        QCOMPARE(m_window->logModel()->rowCount(), 0);
        QVERIFY(!recordActions.first()->isEnabled());
        QVERIFY(!m_window->actFirstQSO->isEnabled());
    }

    void unreadableSettingsEndTheProgram()
    {
        openWindow();
        m_window->OpenLog("OK9NONE");
        QCOMPARE(m_messages->texts(),
                 QStringList{QString("Soubor \"%1\" nelze otevřít!\nProgram bude ukončen!")
                                 .arg(QDir::toNativeSeparators(dataDir() + "OK9NONE.uf"))});
        QVERIFY(m_window->Terminated());
        QVERIFY(m_dm->UserOptions.Call.isEmpty());
        QVERIFY(!m_window->qLog->Active());
    }

    void sortingKeepsTheCurrentQSOOnItsScreenRow()
    {
        writeOperator();
        writeLog(80);
        openWindow();
        TfrmVelkor &w = *m_window;
        w.OpenLog(Call);
        // Make a QSO current whose call lies in the middle, and put it on screen row 5.
        QVERIFY(w.qLog->Locate(fiCALL, "OK5VX"));
        const TBookmark current = w.qLog->Bookmark();
        w.dbgLog->ShowCurrentOnRow(5);
        QCOMPARE(w.dbgLog->Row(), 5);

        QSignalSpy opened(w.qLog, &LogQuery::afterOpen);
        w.actSortByCall->trigger();
        QCOMPARE(opened.count(), 1);
        QCOMPARE(w.qLog->OrderBy(), (QStringList{"CALL", "DAT", "UTC"}));
        QCOMPARE(w.SortField(), int(fiCALL));
        QVERIFY(w.actSortByCall->isChecked());
        QVERIFY(!w.actSortByDateTime->isChecked());
        QCOMPARE(titleColour(fiCALL), QColor(198, 211, 239));
        QVERIFY(!titleColour(fiDAT).isValid());
        QCOMPARE(w.qLog->Bookmark(), current);
        QVERIFY(w.qLog->RecNo() > 5);
        QCOMPARE(w.dbgLog->Row(), 5);
        QCOMPARE(w.dbgLog->currentIndex().row(), w.qLog->CurrentRow());

        // The same order again does nothing; a forced sort re-queries.
        w.actSortByCall->trigger();
        QCOMPARE(opened.count(), 1);
        w.SortLog(-1, true);
        QCOMPARE(opened.count(), 2);
        QCOMPARE(w.qLog->OrderBy(), (QStringList{"CALL", "DAT", "UTC"}));
        QCOMPARE(w.qLog->Bookmark(), current);

        // UTC sorts as date and time; RSTo cannot be sorted.
        w.SortLog(fiUTC, false);
        QCOMPARE(w.qLog->OrderBy(), (QStringList{"DAT", "UTC"}));
        w.SortLog(fiRSTO, false);
        QCOMPARE(w.SortField(), int(fiDAT));
        QCOMPARE(opened.count(), 3);
    }

    void markedQSOsRefuseSorting()
    {
        writeOperator();
        writeLog(5);
        openWindow();
        TfrmVelkor &w = *m_window;
        w.OpenLog(Call);
        w.logModel()->SetMarked(w.qLog->Bookmark(), true);
        QCOMPARE(w.StatusPanelText(1), QString("Vybráno:1"));
        QSignalSpy opened(w.qLog, &LogQuery::afterOpen);

        w.actSortByCall->trigger();
        QCOMPARE(m_messages->texts(), QStringList{"Jsou-li v deníku označena spojení, nelze třídit data."});
        QCOMPARE(m_messages->shown.first().type, mtInformation);
        QVERIFY(w.actSortByDateTime->isChecked());
        QVERIFY(!w.actSortByCall->isChecked());

        // A click on a column title is refused the same way.
        QHeaderView *titles = w.dbgLog->horizontalHeader();
        const int column = LogTableModel::columnOfField(fiCALL);
        QTest::mouseClick(titles->viewport(), Qt::LeftButton, {},
                          QPoint(titles->sectionViewportPosition(column) + 5, titles->height() / 2));
        QCOMPARE(m_messages->shown.size(), 2);
        QCOMPARE(opened.count(), 0);
        QCOMPARE(w.SortField(), int(fiDAT));

        // Re-applying the current order still runs, and the marks stay.
        w.SortLog(-1, true);
        QCOMPARE(opened.count(), 1);
        QCOMPARE(w.logModel()->MarkCount(), 1);
    }

    void titleClickSorts()
    {
        writeOperator();
        writeLog(5);
        openWindow();
        TfrmVelkor &w = *m_window;
        w.OpenLog(Call);
        QHeaderView *titles = w.dbgLog->horizontalHeader();
        const auto click = [titles](int field) {
            const int column = LogTableModel::columnOfField(field);
            QTest::mouseClick(titles->viewport(), Qt::LeftButton, {},
                              QPoint(titles->sectionViewportPosition(column) + 5, titles->height() / 2));
        };
        click(fiQTH);
        QCOMPARE(w.qLog->OrderBy(), (QStringList{"QTH", "DAT", "UTC"}));
        QVERIFY(w.actSortByQTH->isChecked());
        click(fiRSTO);
        QCOMPARE(w.SortField(), int(fiQTH));
        QVERIFY(m_messages->shown.isEmpty());
    }

    void columnLayoutSurvivesReopening()
    {
        writeOperator();
        writeLog(3);
        openWindow();
        TfrmVelkor &w = *m_window;
        w.OpenLog(Call);
        QHeaderView *titles = w.dbgLog->horizontalHeader();
        const int call = LogTableModel::columnOfField(fiCALL);
        const int name = LogTableModel::columnOfField(fiNAME);
        QCOMPARE(titles->visualIndex(LogTableModel::columnOfField(fiQSLO)), 17);
        QCOMPARE(titles->sectionSize(call), 135);
        QVERIFY(titles->isSectionHidden(LogTableModel::columnOfField(fiBAND)));

        // "Skrýt sloupec" over the call column hides it at once in the settings too.
        w.BuildColumnsMenu(fiCALL);
        QAction *hide = w.pmColumns->actions().first();
        QCOMPARE(hide->text(), QString("Skrýt sloupec"));
        QVERIFY(hide->isEnabled());
        hide->trigger();
        QVERIFY(titles->isSectionHidden(call));
        QVERIFY(!m_dm->UserOptions.GetColumnVisible("CALL"));
        // Another column moved and widened by the operator.
        titles->moveSection(titles->visualIndex(name), 0);
        titles->resizeSection(name, 200);

        w.CloseLog();
        w.OpenLog(Call);
        QVERIFY(titles->isSectionHidden(call));
        QCOMPARE(m_dm->UserOptions.GetColumnWidth("CALL"), 135); // hidden: kept its stored width
        QCOMPARE(titles->visualIndex(name), 0);
        QCOMPARE(titles->sectionSize(name), 200);

        // A right click on the indicator's corner offers no column to hide; the items show
        // which columns are visible.
        auto *corner = w.dbgLog->findChild<QAbstractButton *>();
        QVERIFY(corner);
        QTest::mouseClick(corner, Qt::RightButton);
        QVERIFY(w.pmColumns->isVisible());
        w.pmColumns->hide();
        QVERIFY(!w.pmColumns->actions().first()->isEnabled());
        int checked = 0;
        for (QAction *item : w.pmColumns->actions())
            checked += item->isChecked() ? 1 : 0;
        QCOMPARE(checked, 16); // the 17 columns shown on a wide screen, less the call sign
        QAction *callItem = nullptr;
        for (QAction *item : w.pmColumns->actions())
            if (item->data().toInt() == fiCALL && item->isCheckable())
                callItem = item;
        QVERIFY(callItem);
        QVERIFY(!callItem->isChecked());
        callItem->trigger();
        QVERIFY(!titles->isSectionHidden(call));
        QCOMPARE(titles->sectionSize(call), 135);
        QVERIFY(m_dm->UserOptions.GetColumnVisible("CALL"));
    }

    void autoBackup_data()
    {
        QTest::addColumn<bool>("enabled");
        QTest::addColumn<int>("interval");
        QTest::addColumn<QDate>("last"); // invalid: never stored
        QTest::addColumn<bool>("due");
        const QDate today = QDate::currentDate();
        // A day of last year in the same ISO week as today.
        QDate sameWeekLastYear = today.addDays(-371);
        while (sameWeekLastYear.weekNumber() != today.weekNumber())
            sameWeekLastYear = sameWeekLastYear.addDays(1);
        QTest::newRow("weekly, a week ago") << true << 0 << today.addDays(-7) << true;
        QTest::newRow("weekly, this week") << true << 0 << today << false;
        QTest::newRow("weekly, same week last year") << true << 0 << sameWeekLastYear << false;
        QTest::newRow("monthly, last month") << true << 1 << today.addMonths(-1) << true;
        QTest::newRow("monthly, same month last year") << true << 1 << today.addYears(-1) << false;
        QTest::newRow("monthly, never stored") << true << 1 << QDate() << false;
        QTest::newRow("switched off") << false << 0 << today.addDays(-30) << false;
    }
    void autoBackup()
    {
        QFETCH(bool, enabled);
        QFETCH(int, interval);
        QFETCH(QDate, last);
        QFETCH(bool, due);
        writeOperator([&](TUserOptions &uo) {
            uo.SetBackUpEnabled(enabled);
            uo.SetBackUpInterval(interval);
            if (last.isValid())
                uo.SetBackUpLast(last);
        });
        writeLog(2);
        openWindow();
        m_window->OpenLog(Call);
        m_window->CloseLog();
        const QDate today = QDate::currentDate();
        const QString archive = m_appDir + "Zaloha/OK1XYZ " + Formats::dateToStr(today) + ".z";
        QCOMPARE(QFile::exists(archive), due);
        QVERIFY(m_messages->shown.isEmpty());
        TUserOptions saved;
        saved.Load(dataDir() + Call + ".uf");
        QCOMPARE(saved.GetBackUpLast(), due ? today : (last.isValid() ? last : today));
    }

    void autoBackupGoesToTheOperatorsFolder()
    {
        const QString folder = m_appDir + "mine";
        QVERIFY(QDir().mkpath(folder));
        writeOperator([&](TUserOptions &uo) {
            uo.SetBackUpEnabled(true);
            uo.SetBackUpInterval(1);
            uo.SetBackUpLast(QDate::currentDate().addMonths(-2));
            uo.SetBackUpPath(folder); // without a trailing slash
        });
        writeLog(2);
        openWindow();
        m_window->OpenLog(Call);
        m_window->CloseLog();
        QVERIFY(QFile::exists(folder + "/OK1XYZ " + Formats::dateToStr(QDate::currentDate()) + ".z"));
    }

    void failedAutoBackupStillClosesTheLog()
    {
        QVERIFY(QDir(m_appDir + "Zaloha").removeRecursively());
        writeOperator([&](TUserOptions &uo) {
            uo.SetBackUpEnabled(true);
            uo.SetBackUpInterval(0);
            uo.SetBackUpLast(QDate::currentDate().addDays(-7));
            uo.SetColumnWidth("QTH", 111);
        });
        writeLog(2);
        openWindow();
        m_window->OpenLog(Call);
        m_window->dbgLog->horizontalHeader()->resizeSection(LogTableModel::columnOfField(fiQTH), 222);
        m_window->CloseLog();
        QCOMPARE(m_messages->shown.size(), 1);
        QCOMPARE(m_messages->shown.first().type, mtError);
        QVERIFY(m_dm->UserOptions.Call.isEmpty());
        TUserOptions saved;
        saved.Load(dataDir() + Call + ".uf");
        QCOMPARE(saved.GetColumnWidth("QTH"), 222);
        QCOMPARE(saved.GetBackUpLast(), QDate::currentDate()); // no second attempt at the next close
    }

    void refresh()
    {
        writeOperator();
        writeLog(5);
        openWindow();
        TfrmVelkor &w = *m_window;
        w.OpenLog(Call);
        w.qLog->SetRecNo(2);
        {
            LogTable table(TdmLog::DatabaseName);
            table.Insert(qso("OK2NEW", QDate(2008, 1, 1), QTime(9, 0)));
        }
        w.RefreshLog(true, true);
        QCOMPARE(w.qLog->RecordCount(), 6);
        QCOMPARE(w.qLog->RecNo(), 2);
        QCOMPARE(w.StatusPanelText(0), QString(" Záznam:     2 z     6"));
        QVERIFY(!frmDialog->isVisible());
        w.RefreshLog(false, false);
        QCOMPARE(w.qLog->RecNo(), 6);
        QCOMPARE(w.qLog->Value(fiCALL).toString(), QString("OK2NEW"));
        QVERIFY(m_messages->shown.isEmpty());
    }

    void windowSizeFromTheClusterClient_data()
    {
        QTest::addColumn<bool>("maximized");
        QTest::addColumn<int>("width");
        QTest::addColumn<int>("height");
        QTest::newRow("normal window") << false << 900 << 700;
        QTest::newRow("maximized keeps the size") << true << 640 << 480;
    }
    void windowSizeFromTheClusterClient()
    {
        QFETCH(bool, maximized);
        QFETCH(int, width);
        QFETCH(int, height);
        TLocalEndpoint::setNamePrefix(m_appDir + "ep-");
        writeOperator([](TUserOptions &uo) {
            uo.SetClusterWidth(640);
            uo.SetClusterHeight(480);
            uo.SetClusterMaximized(true);
        });
        writeLog(1);
        openWindow();
        TLocalEndpoint endpoint;
        QVERIFY(endpoint.listen("TfrmVelkor"));
        m_window->AttachEndpoint(&endpoint);
        m_window->OpenLog(Call);

        TDxClusterWindowData data;
        data.Width = 900;
        data.Height = 700;
        data.Maximized = maximized;
        QVERIFY(TLocalEndpoint::sendCopyData("TfrmVelkor", CopyDataTag, data.encode()));
        // Another tag is not for this window.
        QVERIFY(!TLocalEndpoint::sendCopyData("TfrmVelkor", 11, TDxClusterWindowData{1, 2, false}.encode()));
        const TUserOptions &uo = m_dm->UserOptions;
        QCOMPARE(uo.GetClusterMaximized(), maximized);
        QCOMPARE(uo.GetClusterWidth(), width);
        QCOMPARE(uo.GetClusterHeight(), height);
        m_window->CloseLog();
        TUserOptions saved;
        saved.Load(dataDir() + Call + ".uf");
        QCOMPARE(saved.GetClusterWidth(), width);
        TLocalEndpoint::setNamePrefix(QString());
    }

    void synchronizeClock_data()
    {
        QTest::addColumn<bool>("silent");
        QTest::addColumn<int>("stratum");
        QTest::addColumn<bool>("clockAccepts");
        QTest::addColumn<bool>("success");
        QTest::newRow("clock set") << false << 2 << true << true;
        QTest::newRow("no answer") << true << 2 << true << false;
        QTest::newRow("unsynchronised server") << false << 0 << true << false;
        QTest::newRow("clock refuses") << false << 2 << false << false;
    }
    void synchronizeClock()
    {
        QFETCH(bool, silent);
        QFETCH(int, stratum);
        QFETCH(bool, clockAccepts);
        QFETCH(bool, success);
        FakeTimeServer server;
        QVERIFY(server.start());
        server.reply.silent = silent;
        server.reply.stratum = stratum;
        server.reply.offsetMs = 60000; // a minute ahead
        FakeClock clock;
        clock.accept = clockAccepts;
        setClockSetter(&clock);
        TfrmVelkor::NtpPort = server.port();
        TfrmVelkor::NtpTimeout = 500;
        writeOperator([](TUserOptions &uo) {
            uo.SetNTPSync(true);
            uo.SetNTPServer("127.0.0.1");
        });
        writeLog(2);
        openWindow();
        m_window->OpenLog(Call); // sets the clock on the way

        if (success) {
            QCOMPARE(clock.settings.size(), 1);
            const qint64 ahead = QDateTime::currentDateTimeUtc().msecsTo(clock.settings.first());
            QVERIFY2(ahead > 58000 && ahead < 62000, qPrintable(QString::number(ahead)));
            QVERIFY(m_messages->shown.isEmpty());
        } else {
            QCOMPARE(m_messages->texts(), QStringList{"Chyba při synchronizaci času se serverem \"127.0.0.1\""});
            QCOMPARE(m_messages->shown.first().type, mtError);
        }
        // The log opens all the same.
        QCOMPARE(m_window->qLog->RecordCount(), 2);
    }

    void clockIsLeftAloneWithoutTheSetting()
    {
        FakeClock clock;
        setClockSetter(&clock);
        TfrmVelkor::NtpPort = 9; // nothing answers there
        writeOperator();
        writeLog(1);
        openWindow();
        m_window->OpenLog(Call);
        QVERIFY(clock.settings.isEmpty());
        QVERIFY(m_messages->shown.isEmpty());
        QCOMPARE(TfrmVelkor::NtpTimeoutMs, 4000);
        QCOMPARE(TfrmVelkor::DefaultNtpPort, quint16(123));
    }

    void closingAsksFirst()
    {
        writeOperator();
        writeLog(2);
        openWindow();
        m_window->OpenLog(Call);
        QSignalSpy closed(m_window.get(), &TfrmVelkor::closed);
        m_messages->answerNext(mrNo);
        m_window->actEnd->trigger();
        QCOMPARE(m_messages->texts(), QStringList{"Opravdu chcete ukončit program?"});
        QCOMPARE(m_messages->shown.first().defaultResult, int(mrYes));
        QVERIFY(m_window->isVisible());
        QCOMPARE(m_dm->UserOptions.Call, Call);
        m_messages->answerNext(mrYes);
        m_window->actEnd->trigger();
        QVERIFY(!m_window->isVisible());
        QCOMPARE(closed.count(), 1);
        QVERIFY(m_dm->UserOptions.Call.isEmpty());
    }

    void keysAndMouseOfTheGrid()
    {
        writeOperator();
        writeLog(4);
        openWindow();
        TfrmVelkor &w = *m_window;
        w.OpenLog(Call);
        int all = 0, none = 0, show = 0;
        w.SetCommandHandler(w.actSelAllQSO, [&all] { ++all; });
        w.SetCommandHandler(w.actSelNoneQSO, [&none] { ++none; });
        w.SetCommandHandler(w.actShowQSO, [&show] { ++show; });
        w.dbgLog->setFocus();
        QTest::keyClick(w.dbgLog, Qt::Key_Plus, Qt::KeypadModifier);
        QTest::keyClick(w.dbgLog, Qt::Key_Minus, Qt::KeypadModifier);
        QTest::keyClick(w.dbgLog, Qt::Key_Plus); // the main keyboard's plus is no command
        // Enter runs its command and still reaches the grid itself.
        QSignalSpy activated(w.dbgLog, &QAbstractItemView::activated);
        QTest::keyClick(w.dbgLog, Qt::Key_Return);
        QCOMPARE(activated.count(), 1);
        QCOMPARE(all, 1);
        QCOMPARE(none, 1);
        QCOMPARE(show, 1);
        QCOMPARE(w.qLog->RecNo(), 4); // typing searched nothing

        // Shift and a left click on a row makes it current and toggles its mark.
        const QRect cell = w.dbgLog->visualRect(w.logModel()->index(1, LogTableModel::columnOfField(fiCALL)));
        QTest::mouseClick(w.dbgLog->viewport(), Qt::LeftButton, Qt::ShiftModifier, cell.center());
        QCOMPARE(w.qLog->RecNo(), 2);
        QCOMPARE(w.logModel()->Marks(), QList<TBookmark>{w.qLog->Bookmark()});
        QCOMPARE(w.StatusPanelText(1), QString("Vybráno:1"));
        QTest::mouseClick(w.dbgLog->viewport(), Qt::LeftButton, Qt::ShiftModifier, cell.center());
        QCOMPARE(w.logModel()->MarkCount(), 0);
        QTest::mouseDClick(w.dbgLog->viewport(), Qt::LeftButton, {}, cell.center());
        QCOMPARE(show, 2);
    }

    void mainPopUpNamesTheMarkCommand()
    {
        writeOperator();
        writeLog(2);
        openWindow();
        TfrmVelkor &w = *m_window;
        w.OpenLog(Call);
        emit w.pmMain->aboutToShow();
        QCOMPARE(w.miSelQSO->text(), QString("Označit"));
        QCOMPARE(w.miSelQSO->statusTip(), QString("Označit aktuální spojení"));
        w.logModel()->ToggleMark(w.qLog->Bookmark());
        emit w.pmMain->aboutToShow();
        QCOMPARE(w.miSelQSO->text(), QString("Odoznačit"));
        QCOMPARE(w.miSelQSO->statusTip(), QString("Odoznačit aktuální spojení"));
    }

    void settingsCommandAppliesTheDisplayFormats()
    {
        writeOperator();
        writeLog(2);
        openWindow();
        TfrmVelkor &w = *m_window;
        w.OpenLog(Call);
        const QModelIndex date = w.logModel()->index(0, LogTableModel::columnOfField(fiDAT));
        QCOMPARE(date.data().toString(), QString("01.01.2007"));
        m_modals->handle("frmOptions", [&](QDialog &) {
            m_dm->UserOptions.SetDateFormat(2); // as the operator's choice in the dialog
            m_dm->UserOptions.SetExtendedFont(false);
            return int(mrOk);
        });
        w.actOptions->trigger();
        QCOMPARE(m_modals->pending(), 0);
        QCOMPARE(date.data().toString(), QString("1.1.2007"));
        QCOMPARE(w.dbgLog->font().family(), QString("MS Sans Serif"));

        m_modals->handle("frmOptions", [&](QDialog &) {
            m_dm->UserOptions.SetDateFormat(0);
            return int(mrCancel);
        });
        w.actOptions->trigger();
        QCOMPARE(date.data().toString(), QString("1.1.2007"));
    }

    void changeLogCommand()
    {
        writeOperator();
        writeLog(2);
        openWindow();
        TfrmVelkor &w = *m_window;
        w.OpenLog(Call);
        m_modals->answer("frmProfile", mrCancel);
        w.actSelectLog->trigger();
        QCOMPARE(m_modals->shownNames(), QStringList{"frmProfile"});
        QVERIFY(!w.Terminated());
        QCOMPARE(m_dm->UserOptions.Call, Call);

        // Another log chosen: the grid has the keys at once, without a click.
        w.activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(&w));
        QWidget elsewhere(&w);
        elsewhere.setFocusPolicy(Qt::StrongFocus);
        elsewhere.setFocus();
        m_modals->handle("frmProfile", [&](QDialog &) {
            w.CloseLog();
            w.OpenLog(Call);
            return int(mrOk);
        });
        w.actSelectLog->trigger();
        QTRY_COMPARE_WITH_TIMEOUT(QApplication::focusWidget(), static_cast<QWidget *>(w.dbgLog), 1000);

        // A choice that leaves no log open ends the program.
        m_modals->handle("frmProfile", [&](QDialog &) {
            w.CloseLog();
            return int(mrCancel);
        });
        w.actSelectLog->trigger();
        QVERIFY(w.Terminated());
    }

    void aboutCommand()
    {
        openWindow();
        QString version;
        m_modals->handle("frmAbout", [&](QDialog &dialog) {
            version = static_cast<TfrmAbout &>(dialog).lblVersion()->text();
            return int(mrOk);
        });
        m_window->actHelpAbout->trigger();
        QVERIFY(!version.isEmpty());
    }

    // With VELKOR_SCREENSHOT_DIR set, writes velkor-main.png of a small varied log there.
    void screenshot()
    {
        const QString folder = qEnvironmentVariable("VELKOR_SCREENSHOT_DIR");
        if (folder.isEmpty())
            QSKIP("VELKOR_SCREENSHOT_DIR is not set");
        writeOperator();
        const struct {
            const char *call, *name, *qth, *loc, *dxcc, *iota, *note;
            double freq;
            int band, mode, qslo, qslp;
        } rows[] = {
            {"OK1RAF", "Pavel", "Praha", "JO70EB", "OK", "", "", 3.535, 2, 1, 1, 1},
            {"DL2ABC", "Hans", "Berlin", "JO62QM", "DL", "", "", 7.012, 4, 1, 1, 0},
            {"G4XYZ", "John", "London", "IO91WM", "G", "", "QSL via bureau", 14.205, 6, 2, 2, 0},
            {"OM3KFF", "Jozef", "Bratislava", "JN88NE", "OM", "", "", 14.023, 6, 1, 1, 1},
            {"EA8AAA", "Juan", "Tenerife", "IL18RK", "EA8", "AF004", "", 21.295, 8, 2, 0, 0},
            {"JA1XX", "Taro", "Tokyo", "PM95UQ", "JA", "", "long path", 14.076, 6, 22, 0, 0},
            {"W1AW", "", "Newington", "FN31PR", "K", "", "", 28.495, 10, 2, 3, 1},
            {"SV9ABC", "Nikos", "Heraklion", "KM25KH", "SV9", "EU015", "", 18.080, 7, 9, 1, 0},
            {"OK2PXY", "Jana", "Brno", "JN89HF", "OK", "", "contest", 3.760, 2, 2, 1, 1},
            {"HA5KDQ", "Laci", "Budapest", "JN97LN", "HA", "", "", 7.030, 4, 1, 0, 0},
            {"VK2DEF", "Bruce", "Sydney", "QF56OD", "VK", "OC001", "", 14.195, 6, 2, 2, 0},
            {"UA9XYZ", "Ivan", "Perm", "LO88AA", "UA9", "", "", 10.120, 5, 1, 0, 0},
        };
        QList<TLogRecord> records;
        int i = 0;
        for (const auto &row : rows) {
            TLogRecord r = qso(row.call, QDate(2007, 3, 1).addDays(i / 3), QTime(6 + i, 5 * i % 60));
            r[fiNAME] = QString::fromUtf8(row.name);
            r[fiQTH] = QString::fromUtf8(row.qth);
            r[fiLOCP] = row.loc;
            r[fiDXCC] = row.dxcc;
            r[fiIOTA] = row.iota;
            r[fiNOTE] = QString::fromUtf8(row.note);
            r[fiFREQ] = row.freq;
            r[fiBAND] = row.band;
            r[fiMODE] = row.mode;
            r[fiQSLO] = row.qslo;
            r[fiQSLP] = row.qslp;
            r[fiQRB] = 100.0 * (i + 1) + 37;
            r[fiITU] = 28;
            r[fiWAZ] = 15;
            records << r;
            ++i;
        }
        const QList<qint64> ids = writeQSOs(records);
        openWindow();
        m_window->OpenLog(Call);
        m_window->logModel()->SetMarked(ids[3], true);
        m_window->logModel()->SetMarked(ids[5], true);
        m_window->logModel()->SetMarked(ids[11], true);
        m_window->qLog->SetRecNo(9);
        QTest::qWait(50);
        const QString path = QDir(folder).filePath("velkor-main.png");
        QVERIFY(m_window->grab().save(path));
        qInfo("screenshot written to %s", qPrintable(path));
    }
};

QTEST_MAIN(TestMainWindow)
#include "tst_mainwindow.moc"
