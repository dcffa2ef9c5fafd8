// The statistics window and its filter dialog, driven offscreen: the filter's checks and
// memory, the statistic commands, the grid's look and scrolling, saving.

#include "DateEdit.h"
#include "FileDialogs.h"
#include "FocusKeys.h"
#include "FilteredLineEdit.h"
#include "ModalRunner.h"
#include "ScriptedMessages.h"
#include "statistics/StatFilterDialog.h"
#include "statistics/StatGrid.h"
#include "statistics/StatTabWindow.h"
#include "StatTestLog.h"
#include "TestFiles.h"

#include <QAction>
#include <QComboBox>
#include <QListWidget>
#include <QScrollBar>
#include <QTest>
#include <QWheelEvent>

namespace {

// Answers the filter dialog as the operator would press OK (with its checks) or cancel,
// and counts how often it was asked.
struct FilterAnswer {
    bool ok = true;
    int asked = 0;
    TModalHook previous;
    FilterAnswer()
    {
        previous = SetModalHook([this](QDialog &dialog) {
            ++asked;
            auto *filter = qobject_cast<TfrmStatFilter *>(&dialog);
            if (!filter) {
                QTest::qFail("unexpected modal window", __FILE__, __LINE__);
                return int(mrCancel);
            }
            if (!ok)
                return int(mrCancel);
            filter->actOkExecute();
            return filter->result();
        });
    }
    ~FilterAnswer() { SetModalHook(previous); }
};

// The captions and unit names of the first column fit within its margins in the grid's font.
bool firstColumnShowsItsTextsWhole(const TStatGrid &grid)
{
    QFont bold = grid.viewport()->font();
    bold.setBold(true);
    for (int row = 0; row < grid.RowCount(); ++row) {
        const TStatGrid::TCellLook look = grid.CellLook(0, row);
        const QFontMetrics metrics(look.bold ? bold : grid.viewport()->font());
        if (metrics.horizontalAdvance(look.text) > grid.ColumnWidth(0) - 2 * StatCellMargin)
            return false;
    }
    return true;
}

} // namespace

class TestStatTab : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void cleanup();
    void filterDefaultsAndModeMenu();
    void filterChecksInput_data();
    void filterChecksInput();
    void powerBoxKeyFilter();
    void filterKeepsChoicesAfterCancel();
    void wheelStepsAddUp_data();
    void wheelStepsAddUp();
    void cancelledFirstFilterLeavesWindowAlone();
    void statisticFillsCaptionsStatusAndGrid();
    void filterCommandRebuildsTheCheckedStatistic();
    void locatorStatisticFirstVisibleColumn();
    void keysScrollTheView();
    void saveAsWritesTheTable();

private:
    std::unique_ptr<StatTestLog> m_log;
    std::unique_ptr<TfrmStatTab> m_window;
};

void TestStatTab::init()
{
    m_log = std::make_unique<StatTestLog>();
    m_log->writeList("dxcc.db", "CREATE TABLE dxcc(PREFIX TEXT, DXCC TEXT, NAME TEXT)",
                     {{"OK", "Czech Republic"}, {"OM", "Slovak Republic"}});
    m_log->add({.dxcc = "OK", .locp = "JN79AA", .band = 6, .qslp = 1});
    m_log->add({.dxcc = "OK", .locp = "JN79", .band = 6});
    m_log->add({.dxcc = "OM", .locp = "JN88", .band = 6});
    m_log->add({.dxcc = "OM", .locp = "JN88", .band = 6});
    m_window = std::make_unique<TfrmStatTab>(m_log->database(), m_log->folder(), "OK1ABC", nullptr);
    FileDialogs::resetScript();
}

void TestStatTab::cleanup()
{
    m_window.reset(); // the window's queries go before the log's connection
    m_log.reset();
}

void TestStatTab::filterDefaultsAndModeMenu()
{
    TfrmStatFilter filter;
    QCOMPARE(filter.chlBoxModes->count(), 27);
    QCOMPARE(filter.Choice().modes, (QList<int>{1, 2, 3, 4}));
    QCOMPARE(filter.chlBoxModes->item(26)->text(), QStringLiteral("CLOVER"));
    QVERIFY(filter.edtDateMin->text().isEmpty() && filter.cbBoxPWRmax->currentText().isEmpty());
    QCOMPARE(filter.cbBoxPWRmin->count(), 12);
    filter.actModeAll->trigger();
    QCOMPARE(filter.Choice().modes.size(), 27);
    filter.actModeNone->trigger();
    QVERIFY(filter.Choice().modes.isEmpty());
}

void TestStatTab::filterChecksInput_data()
{
    QTest::addColumn<bool>("noModes");
    QTest::addColumn<QString>("dateMin");
    QTest::addColumn<QString>("powerMax");
    QTest::addColumn<QString>("message");
    QTest::addColumn<QString>("focused");
    QTest::newRow("no mode") << true << "" << "" << "Není vybrán žádný mód!" << "";
    QTest::newRow("bad date") << false << "31.2.2005" << "" << "" << "edtDateMin";
    QTest::newRow("bad power") << false << "" << "1,2,3" << "" << "cbBoxPWRmax";
    QTest::newRow("all fine") << false << "1.1.2005" << "100" << "" << "";
}

void TestStatTab::filterChecksInput()
{
    QFETCH(bool, noModes);
    QFETCH(QString, message);
    QFETCH(QString, focused);
    ScriptedMessages messages;
    TfrmStatFilter filter;
    if (noModes)
        filter.actModeNone->trigger();
    QFETCH(QString, dateMin);
    QFETCH(QString, powerMax);
    filter.edtDateMin->setText(dateMin);
    filter.cbBoxPWRmax->setEditText(powerMax);
    filter.setResult(0);
    filter.actOkExecute();
    const bool accepted = messages.shown.isEmpty();
    QCOMPARE(filter.result() == mrOk, accepted);
    if (!message.isEmpty())
        QCOMPARE(messages.lastText(), message);
    if (!focused.isEmpty())
        QCOMPARE(messages.lastFocused() ? messages.lastFocused()->objectName() : QString(), focused);
}

void TestStatTab::powerBoxKeyFilter()
{
    TfrmStatFilter filter;
    auto *edit = qobject_cast<TFilteredLineEdit *>(filter.cbBoxPWRmin->lineEdit());
    QVERIFY(edit);
    edit->typeFiltered("0.5x");
    QCOMPARE(filter.cbBoxPWRmin->currentText(), QStringLiteral("0,5"));
    edit->typeFiltered("12345");
    QCOMPARE(filter.cbBoxPWRmin->currentText().size(), 5);
}

void TestStatTab::filterKeepsChoicesAfterCancel()
{
    FilterAnswer answer;
    QVERIFY(m_window->EditFilter());
    m_window->frmStatFilter->actModeAll->trigger();
    m_window->frmStatFilter->edtDateMax->setText("31.12.2006");
    answer.ok = false;
    QVERIFY(!m_window->EditFilter());
    QCOMPARE(m_window->Filter().where, QStringLiteral("(MODE IN (1,2,3,4))")); // as last confirmed
    QCOMPARE(m_window->frmStatFilter->Choice().modes.size(), 27);           // as left
    QCOMPARE(m_window->frmStatFilter->edtDateMax->text(), QStringLiteral("31.12.2006"));
}

void TestStatTab::cancelledFirstFilterLeavesWindowAlone()
{
    FilterAnswer answer;
    answer.ok = false;
    m_window->actStatDXCC->trigger();
    QCOMPARE(answer.asked, 1);
    QVERIFY(!m_window->actStatDXCC->isChecked());
    QVERIFY(!m_window->actFilter->isEnabled());
    QCOMPARE(m_window->windowTitle(), QStringLiteral("Statistika"));
    QCOMPARE(m_window->dgdStat->RowCount(), 4);
    QCOMPARE(m_window->dgdStat->CellLook(1, 1).text, QStringLiteral("0/0"));
}

void TestStatTab::statisticFillsCaptionsStatusAndGrid()
{
    FilterAnswer answer;
    m_window->actStatDXCC->trigger();
    QVERIFY(m_window->actStatDXCC->isChecked());
    QVERIFY(m_window->actFilter->isEnabled());
    QCOMPARE(m_window->windowTitle(), QStringLiteral("Statistika - DXCC"));
    QCOMPARE(m_window->StatusPanelText(0), QStringLiteral(" Celkem potvrzených: 1"));
    QCOMPARE(m_window->StatusPanelText(1), QStringLiteral(" Celkem: 2"));
    TStatGrid *grid = m_window->dgdStat;
    QCOMPARE(grid->RowCount(), 5);
    QCOMPARE(grid->ColumnWidth(0), 245);
    QCOMPARE(grid->CellLook(0, 0).text, QStringLiteral("Prefix-Země/Pásmo"));
    QCOMPARE(grid->CellLook(7, 0).text, QStringLiteral("20m"));
    QCOMPARE(grid->CellLook(7, 1).text, QStringLiteral("1/2"));
    QVERIFY(grid->CellLook(7, 1).bold);
    const auto ok = grid->CellLook(7, 3), om = grid->CellLook(7, 4);
    QCOMPARE(ok.text, QStringLiteral("1/2"));
    QVERIFY(ok.bold);
    QCOMPARE(om.text, QStringLiteral("0/2"));
    QVERIFY(!om.bold);
    QCOMPARE(grid->CellLook(0, 4).text, QStringLiteral("OM - Slovak Republic"));
    QVERIFY(firstColumnShowsItsTextsWhole(*grid));
    QVERIFY(grid->CellLook(6, 3).text.isEmpty());
    m_window->actStatWAZ->trigger();
    QCOMPARE(answer.asked, 1); // the filter is asked for once
    QVERIFY(m_window->actStatWAZ->isChecked() && !m_window->actStatDXCC->isChecked());
    QVERIFY(grid->ColumnWidth(0) >= 130);
    QCOMPARE(grid->CellLook(0, 1).text, QStringLiteral("Regionů: QSL/celkem"));
    QVERIFY(firstColumnShowsItsTextsWhole(*grid));
}

void TestStatTab::filterCommandRebuildsTheCheckedStatistic()
{
    FilterAnswer answer;
    m_window->actStatDXCC->trigger();
    m_window->frmStatFilter->actModeNone->trigger();
    m_window->frmStatFilter->chlBoxModes->item(26)->setCheckState(Qt::Checked);
    m_window->actFilter->trigger();
    QCOMPARE(m_window->Filter().where, QStringLiteral("(MODE IN (27))"));
    QCOMPARE(m_window->StatusPanelText(1), QStringLiteral(" Celkem: 0"));
    QCOMPARE(m_window->dgdStat->RowCount(), 4);
}

void TestStatTab::locatorStatisticFirstVisibleColumn()
{
    FilterAnswer answer;
    m_window->setWindowState(Qt::WindowNoState);
    m_window->resize(900, 600);
    m_window->show();
    QVERIFY(QTest::qWaitForWindowExposed(m_window.get()));
    m_window->actStatLOC->trigger();
    QCOMPARE(m_window->dgdStat->LeftCol(), 12);
    QCOMPARE(m_window->dgdStat->CellLook(12, 0).text, QStringLiteral("6m"));
    QCOMPARE(m_window->dgdStat->CellLook(0, 1).text, QStringLiteral("Čtverců: QSL/celkem"));
    QVERIFY(m_window->dgdStat->ColumnWidth(0) >= 130);
    QVERIFY(firstColumnShowsItsTextsWhole(*m_window->dgdStat));
    m_window->resize(2600, 600);
    QTest::qWait(20);
    m_window->actStatLOC->trigger();
    QCOMPARE(m_window->dgdStat->LeftCol(), m_window->dgdStat->MaxLeftCol());
    QVERIFY(m_window->dgdStat->MaxLeftCol() < 12);
    if (!qEnvironmentVariableIsEmpty("VELKOR_SCREENSHOTS")) {
        m_window->resize(1100, 500);
        m_window->actStatDXCC->trigger();
        m_window->grab().save(qEnvironmentVariable("VELKOR_SCREENSHOTS") + "/stat-dxcc.png");
        m_window->actStatLOC->trigger();
        m_window->grab().save(qEnvironmentVariable("VELKOR_SCREENSHOTS") + "/stat-loc.png");
        m_window->frmStatFilter->show();
        m_window->frmStatFilter->grab().save(qEnvironmentVariable("VELKOR_SCREENSHOTS") + "/stat-filter.png");
    }
}

void TestStatTab::keysScrollTheView()
{
    for (int i = 0; i < 80; ++i)
        m_log->add({.dxcc = QStringLiteral("X%1").arg(i, 2, 10, QChar('0'))});
    FilterAnswer answer;
    m_window->setWindowState(Qt::WindowNoState);
    m_window->resize(700, 500);
    m_window->show();
    QVERIFY(QTest::qWaitForWindowExposed(m_window.get()));
    m_window->actStatDXCC->trigger();
    TStatGrid *grid = m_window->dgdStat;
    QCOMPARE(grid->TopRow(), 3);
    QTest::keyClick(grid, Qt::Key_Down);
    QCOMPARE(grid->TopRow(), 4);
    QTest::keyClick(grid, Qt::Key_End);
    QCOMPARE(grid->TopRow(), 3 + grid->verticalScrollBar()->maximum());
    QVERIFY(grid->TopRow() > 40);
    QTest::keyClick(grid, Qt::Key_Home);
    QCOMPARE(grid->TopRow(), 3);
    QTest::keyClick(grid, Qt::Key_Right);
    QCOMPARE(grid->LeftCol(), 2);
    QTest::keyClick(grid, Qt::Key_Left);
    QTest::keyClick(grid, Qt::Key_Left);
    QCOMPARE(grid->LeftCol(), 1);
}

void TestStatTab::saveAsWritesTheTable()
{
    const QString file = m_log->filePath("OK1ABC");
    FileDialogs::setNextAnswer(file);
    m_window->actSaveAs->trigger(); // before any statistic: headers and zero totals only
    QCOMPARE(FileDialogs::requests().last().directory, QStringLiteral("OK1ABC"));
    QCOMPARE(ReadTestFile(file + ".csv").count("\r\n"), 4);
    FilterAnswer answer;
    m_window->actStatDXCC->trigger();
    // The same name again, once without its extension: the question names the file written,
    // and only "yes" replaces it.
    ScriptedMessages messages;
    const QString question = QStringLiteral("Soubor \"%1\" již existuje.\nChcete jej přepsat?")
                                 .arg(QDir::toNativeSeparators(file + ".csv"));
    FileDialogs::setNextAnswer(file);
    messages.answerNext(mrNo);
    m_window->actSaveAs->trigger();
    QCOMPARE(messages.texts(), QStringList{question});
    QCOMPARE(ReadTestFile(file + ".csv").count("\r\n"), 4);
    FileDialogs::setNextAnswer(file + ".csv");
    messages.answerNext(mrYes);
    m_window->actSaveAs->trigger();
    QCOMPARE(messages.texts(), QStringList(2, question));
    QCOMPARE(ReadTestFile(file + ".csv").count("\r\n"), 6);
    FileDialogs::resetScript();
}

void TestStatTab::wheelStepsAddUp_data()
{
    QTest::addColumn<QList<int>>("deltas"); // angle deltas as the device sends them, in order
    QTest::addColumn<int>("rowsDown");

    QTest::newRow("one notch") << QList<int>{-120} << 1;
    QTest::newRow("touchpad quarters") << QList<int>{-30, -30, -30, -30} << 1;
    QTest::newRow("touchpad short of a notch") << QList<int>{-40, -40, -39} << 0;
    QTest::newRow("two and a half notches") << QList<int>{-100, -100, -100} << 2;
    QTest::newRow("back and forth") << QList<int>{-90, 60, -90} << 1;
    QTest::newRow("two notches at once") << QList<int>{-240} << 2;
    QTest::newRow("up again") << QList<int>{-360, 60, 60} << 2;
}

// A wheel turn of 120 is one row; touchpads send smaller turns, which add up.
void TestStatTab::wheelStepsAddUp()
{
    QFETCH(QList<int>, deltas);
    QFETCH(int, rowsDown);
    for (int i = 0; i < 40; ++i)
        m_log->add({.dxcc = QStringLiteral("X%1").arg(i, 2, 10, QChar('0'))});
    FilterAnswer answer;
    m_window->setWindowState(Qt::WindowNoState);
    m_window->resize(700, 500);
    QVERIFY(ActivateWindow(m_window.get()));
    m_window->actStatDXCC->trigger();
    TStatGrid *grid = m_window->dgdStat;
    QCOMPARE(grid->TopRow(), 3);
    const QPointF local = grid->viewport()->rect().center();
    for (int delta : deltas) {
        QWheelEvent wheel(local, grid->viewport()->mapToGlobal(local), QPoint(), QPoint(0, delta), Qt::NoButton,
                          Qt::NoModifier, Qt::ScrollUpdate, false);
        QApplication::sendEvent(grid->viewport(), &wheel);
    }
    QCOMPARE(grid->TopRow(), 3 + rowsDown);
    // The keys that move the view, into the focused grid.
    grid->setFocus();
    QVERIFY(SendKey(m_window.get(), Qt::Key_Down));
    QCOMPARE(grid->TopRow(), 4 + rowsDown);
    QVERIFY(SendKey(m_window.get(), Qt::Key_Home));
    QCOMPARE(grid->TopRow(), 3);
    QVERIFY(SendKey(m_window.get(), Qt::Key_End));
    QCOMPARE(grid->TopRow(), 3 + grid->verticalScrollBar()->maximum());
    QVERIFY(SendKey(m_window.get(), Qt::Key_Right));
    QCOMPARE(grid->LeftCol(), 2);
}

QTEST_MAIN(TestStatTab)
#include "tst_stattab.moc"
