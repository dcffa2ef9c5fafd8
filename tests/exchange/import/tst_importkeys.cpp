// The review window's keys pressed as a person presses them, into the focused widget of the
// shown, active window: the shortcuts of its commands, Esc and the close box (which ask
// before a staged import is thrown away) and the arrow keys in its message list.

#include "ImportWindowFixture.h"

#include "FocusKeys.h"
#include "import/ImportTableModel.h"
#include "import/ImportWindow.h"
#include "log/LogQuery.h"

#include <QAction>
#include <QListWidget>
#include <QTableView>
#include <QWindow>

namespace {

constexpr Qt::KeyboardModifiers NoMod = Qt::NoModifier;

// Ten QSOs; the 2nd and the 7th carry a refused IOTA, so the messages name records 2 and 7.
QByteArray tenQsos()
{
    QByteArray adif = "Test log<EOH>\n";
    for (int i = 1; i <= 10; ++i) {
        const QByteArray call = "OK1A" + QByteArray(1, char('A' + i));
        adif += "<QSO_DATE:8>20240105<TIME_ON:4>" + QByteArray::number(1200 + i) + "<CALL:5>" + call +
                "<FREQ:6>14.025<MODE:2>CW<RST_SENT:3>599<RST_RCVD:3>599" + (i == 2 || i == 7 ? "<IOTA:1>X" : "") + "<EOR>\n";
    }
    return adif;
}

TImportOptions options()
{
    TImportOptions o;
    o.OwnLocator = QStringLiteral("JN79SX");
    o.Power = 100;
    return o;
}

} // namespace

class TestImportKeys : public QObject
{
    Q_OBJECT

    std::unique_ptr<ImportWindowFixture> fx;

    // Runs the review of ten QSOs in the shown window; `drive` acts in it. A window still open
    // afterwards imports, so the log shows whether the staged records survived.
    bool review(const std::function<void(TfrmImport &)> &drive)
    {
        fx->answers[QStringLiteral("frmImport")] = [drive](QDialog &d) {
            auto &w = static_cast<TfrmImport &>(d);
            w.show();
            if (!ActivateWindow(&w))
                qWarning("review window not active");
            drive(w);
            if (w.isVisible())
                w.actImport->trigger();
            return w.result();
        };
        TfrmImport window(fx->host);
        return window.ImportAdif(fx->writeFile(QStringLiteral("in.adi"), tenQsos()), options());
    }

    static void closeBox(QWidget &w)
    {
        // The window's own close goes the way of the close box: a close request of the system.
        w.windowHandle()->close();
    }

private slots:
    void init() { fx = std::make_unique<ImportWindowFixture>(); }
    void cleanup() { fx.reset(); }

    void shortcuts_data();
    void shortcuts();
    void leavingAsksFirst_data();
    void leavingAsksFirst();
    void cancelCommandDoesNotAsk();
    void arrowKeysInMessagesJump();
};

void TestImportKeys::shortcuts_data()
{
    QTest::addColumn<int>("key");
    QTest::addColumn<Qt::KeyboardModifiers>("modifiers");
    QTest::addColumn<int>("recNoAfter"); // from record 3, no marks
    QTest::addColumn<int>("marksAfter");
    QTest::addColumn<QString>("windowShown"); // the modal window the key opens
    QTest::addColumn<QString>("question");

    QTest::newRow("Insert") << int(Qt::Key_Insert) << NoMod << 4 << 1 << QString() << QString();
    QTest::newRow("keypad +") << int(Qt::Key_Plus) << Qt::KeyboardModifiers(Qt::KeypadModifier) << 3 << 10
                              << QString() << QString();
    QTest::newRow("keypad -") << int(Qt::Key_Minus) << Qt::KeyboardModifiers(Qt::KeypadModifier) << 3 << 0
                              << QString() << QString();
    QTest::newRow("F4") << int(Qt::Key_F4) << NoMod << 3 << 0 << "frmImportEdit" << QString();
    QTest::newRow("Shift+Del") << int(Qt::Key_Delete) << Qt::KeyboardModifiers(Qt::ShiftModifier) << 3 << 0
                               << QString() << "Opravdu chcete smazat spojení?";
    QTest::newRow("Down") << int(Qt::Key_Down) << NoMod << 4 << 0 << QString() << QString();
    QTest::newRow("Up") << int(Qt::Key_Up) << NoMod << 2 << 0 << QString() << QString();
    QTest::newRow("End") << int(Qt::Key_End) << NoMod << 10 << 0 << QString() << QString();
    QTest::newRow("Home") << int(Qt::Key_Home) << NoMod << 1 << 0 << QString() << QString();
}

void TestImportKeys::shortcuts()
{
    QFETCH(int, key);
    QFETCH(Qt::KeyboardModifiers, modifiers);
    QFETCH(int, recNoAfter);
    QFETCH(int, marksAfter);
    QFETCH(QString, windowShown);
    QFETCH(QString, question);

    fx->answers[QStringLiteral("frmImportEdit")] = [](QDialog &) { return int(mrCancel); };
    fx->messages.answerNext(mrNo); // a deletion is refused
    int recNo = 0, marks = -1;
    QVERIFY(review([&](TfrmImport &w) {
        w.query()->SetRecNo(3);
        w.dbGrid->setFocus();
        if (!SendKey(&w, key, modifiers))
            qWarning("key not sent");
        recNo = w.query()->RecNo();
        marks = w.model()->MarkCount();
        w.actSelectNone->trigger();
    }));
    QCOMPARE(recNo, recNoAfter);
    QCOMPARE(marks, marksAfter);
    QCOMPARE(fx->shownWindows.contains(QStringLiteral("frmImportEdit")), !windowShown.isEmpty());
    QCOMPARE(fx->messages.shown.size(), question.isEmpty() ? 0 : 1);
    QCOMPARE(fx->logCount(), 10); // nothing lost
}

void TestImportKeys::leavingAsksFirst_data()
{
    QTest::addColumn<bool>("byCloseBox");
    QTest::addColumn<int>("answer"); // mrNone: the default answer
    QTest::addColumn<bool>("thrownAway");

    QTest::newRow("Esc, default keeps") << false << int(mrNone) << false;
    QTest::newRow("Esc, No keeps") << false << int(mrNo) << false;
    QTest::newRow("Esc, Yes throws away") << false << int(mrYes) << true;
    QTest::newRow("close box, default keeps") << true << int(mrNone) << false;
    QTest::newRow("close box, Yes throws away") << true << int(mrYes) << true;
}

void TestImportKeys::leavingAsksFirst()
{
    QFETCH(bool, byCloseBox);
    QFETCH(int, answer);
    QFETCH(bool, thrownAway);

    if (answer != mrNone)
        fx->messages.answerNext(answer);
    bool openAfter = false;
    const bool appended = review([&](TfrmImport &w) {
        w.dbGrid->setFocus();
        if (byCloseBox)
            closeBox(w);
        else
            SendKey(&w, Qt::Key_Escape);
        openAfter = w.isVisible();
    });
    QCOMPARE(fx->messages.shown.size(), 1);
    QCOMPARE(fx->messages.shown.last().type, mtConfirmation);
    QCOMPARE(fx->messages.shown.last().defaultResult, int(mrNo));
    QVERIFY(fx->messages.lastText().startsWith(QStringLiteral("Zrušit import?")));
    QCOMPARE(openAfter, !thrownAway);
    QCOMPARE(appended, !thrownAway);
    QCOMPARE(fx->logCount(), thrownAway ? 0 : 10);
}

// "Zrušit" is the operator's own choice: no question. With nothing staged Esc asks nothing.
void TestImportKeys::cancelCommandDoesNotAsk()
{
    QVERIFY(!review([](TfrmImport &w) { w.actCancel->trigger(); }));
    QVERIFY(fx->messages.shown.isEmpty());
    QCOMPARE(fx->logCount(), 0);

    bool openAfter = true;
    QVERIFY(!review([&](TfrmImport &w) {
        w.query()->SetRecNo(1);
        w.actSelectAll->trigger();
        fx->messages.answerNext(mrYes);
        w.actDelete->trigger(); // every staged record goes
        SendKey(&w, Qt::Key_Escape);
        openAfter = w.isVisible();
    }));
    QVERIFY(!openAfter);
    QCOMPARE(fx->messages.shown.size(), 1); // the deletion's question only
}

void TestImportKeys::arrowKeysInMessagesJump()
{
    QList<int> ids;
    QVERIFY(review([&](TfrmImport &w) {
        w.query()->SetRecNo(5);
        w.lBoxErr->setFocus();
        w.lBoxErr->setCurrentRow(0); // the summary: leads nowhere
        if (w.lBoxErr->count() != 7 || FocusedWidget() != w.lBoxErr)
            qWarning("unexpected messages or focus");
        ids << int(w.query()->Bookmark());
        for (int key : {Qt::Key_End, Qt::Key_Up, Qt::Key_Down, Qt::Key_Home}) {
            SendKey(&w, key);
            ids << int(w.query()->Bookmark());
        }
    }));
    // Lines 5 and 6 (counting from 0) are "(2) ..." and "(7) ...".
    QCOMPARE(ids, (QList<int>{5, 7, 2, 7, 7}));
}

QTEST_MAIN(TestImportKeys)
#include "tst_importkeys.moc"
