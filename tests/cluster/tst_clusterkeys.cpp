// The client's keys pressed as a person presses them, into the focused widget of the active
// window: the command line (Enter and keypad Enter send, the history is reached with the
// arrow keys and its list) and the new-spot dialog (plain Enter keeps it open, Ctrl+Enter
// is OK, Esc cancels).

#include "ClusterWindowFixture.h"

#include "FocusKeys.h"
#include "ModalScript.h"
#include "NewSpotDialog.h"

#include <QAbstractItemView>
#include <QComboBox>
#include <QLineEdit>
#include <QTest>

namespace {

constexpr Qt::KeyboardModifiers NoMod = Qt::NoModifier;
constexpr Qt::KeyboardModifiers Keypad = Qt::KeypadModifier;

} // namespace

class TestClusterKeys : public QObject
{
    Q_OBJECT

    // Types the command into the command line and presses the key there.
    static bool typeAndPress(ClusterWindowFixture &f, const QString &command, int key,
                             Qt::KeyboardModifiers modifiers = Qt::NoModifier)
    {
        if (!ActivateWindow(f.window.get()))
            return false;
        f.window->CommandLine()->setFocus();
        return FocusedWidget() == f.window->CommandLine() && TypeIntoFocus(command) &&
               SendKey(f.window.get(), key, modifiers);
    }

private slots:
    void commandLineKeys_data();
    void commandLineKeys();
    void commandLineWhileDisconnected();
    void historyIsReachable();
    void newSpotKeys_data();
    void newSpotKeys();
};

void TestClusterKeys::commandLineKeys_data()
{
    QTest::addColumn<int>("key");
    QTest::addColumn<Qt::KeyboardModifiers>("modifiers");
    QTest::addColumn<bool>("sends");

    QTest::newRow("Enter") << int(Qt::Key_Return) << NoMod << true;
    QTest::newRow("keypad Enter") << int(Qt::Key_Enter) << Keypad << true;
    QTest::newRow("Tab") << int(Qt::Key_Tab) << NoMod << false;
}

void TestClusterKeys::commandLineKeys()
{
    QFETCH(int, key);
    QFETCH(Qt::KeyboardModifiers, modifiers);
    QFETCH(bool, sends);

    ClusterWindowFixture f;
    QVERIFY(f.connectAndLogin());
    QVERIFY(typeAndPress(f, QStringLiteral("sh/dx 5"), key, modifiers));
    f.window->SendCommand(QStringLiteral("marker"));
    QVERIFY(f.server.waitForLine(QStringLiteral("marker")));
    const QStringList expected = sends ? QStringList{"sh/dx 5", "marker"} : QStringList{"marker"};
    QCOMPARE(f.server.lines.mid(2), expected);
    QCOMPARE(f.terminalLines().contains(QStringLiteral("$sh/dx 5")), sends);
    QCOMPARE(f.window->CommandLine()->currentText().isEmpty(), sends);
    QCOMPARE(f.window->CommandLine()->count(), sends ? 1 : 0);
}

void TestClusterKeys::commandLineWhileDisconnected()
{
    ClusterWindowFixture f;
    QVERIFY(typeAndPress(f, QStringLiteral("sh/dx"), Qt::Key_Return));
    QCOMPARE(f.window->CommandLine()->currentText(), QStringLiteral("sh/dx"));
    QCOMPARE(f.window->CommandLine()->count(), 0);
    QVERIFY(f.terminalLines().filter(QStringLiteral("$")).isEmpty());
}

// The history, newest first: Down steps to older commands, Up back to newer ones, F4 and
// Alt+Down open its list; a command taken from it is sent again with Enter.
void TestClusterKeys::historyIsReachable()
{
    ClusterWindowFixture f;
    QVERIFY(f.connectAndLogin());
    QVERIFY(typeAndPress(f, QStringLiteral("first"), Qt::Key_Return));
    QVERIFY(typeAndPress(f, QStringLiteral("second"), Qt::Key_Enter, Keypad));
    QCOMPARE(f.window->CommandLine()->count(), 2);
    QComboBox *line = f.window->CommandLine();

    QVERIFY(SendKey(f.window.get(), Qt::Key_Down));
    QCOMPARE(line->currentText(), QStringLiteral("second"));
    QVERIFY(SendKey(f.window.get(), Qt::Key_Down));
    QCOMPARE(line->currentText(), QStringLiteral("first"));
    QVERIFY(SendKey(f.window.get(), Qt::Key_Up));
    QCOMPARE(line->currentText(), QStringLiteral("second"));

    for (const auto &[key, modifiers] : {std::pair{Qt::Key_F4, NoMod}, std::pair{Qt::Key_Down, Qt::KeyboardModifiers(Qt::AltModifier)}}) {
        QVERIFY(SendKey(f.window.get(), key, modifiers));
        QTRY_VERIFY(line->view()->isVisible());
        QVERIFY(SendKeyToActive(Qt::Key_Escape));
        QTRY_VERIFY(!line->view()->isVisible());
    }

    QVERIFY(ActivateWindow(f.window.get()));
    QVERIFY(SendKey(f.window.get(), Qt::Key_Return));
    QVERIFY(f.server.waitForLine(QStringLiteral("second")));
    QCOMPARE(f.server.lines.mid(2), (QStringList{"first", "second", "second"}));
    QCOMPARE(line->count(), 3);
    QCOMPARE(line->itemText(0), QStringLiteral("second"));
    QCOMPARE(line->itemText(2), QStringLiteral("first"));
}

void TestClusterKeys::newSpotKeys_data()
{
    QTest::addColumn<QString>("focus"); // where the key is pressed, after the fields are filled
    QTest::addColumn<int>("key");
    QTest::addColumn<Qt::KeyboardModifiers>("modifiers");
    QTest::addColumn<int>("result"); // mrNone: the dialog stays open

    QTest::newRow("Enter in Značka") << "edtCall" << int(Qt::Key_Return) << NoMod << int(mrNone);
    QTest::newRow("keypad Enter in Značka") << "edtCall" << int(Qt::Key_Enter) << Keypad << int(mrNone);
    QTest::newRow("Enter in Frekvence") << "cbBoxFreq" << int(Qt::Key_Return) << NoMod << int(mrNone);
    QTest::newRow("Enter in Poznámka") << "edtNote" << int(Qt::Key_Return) << NoMod << int(mrNone);
    QTest::newRow("Ctrl+Enter in Značka") << "edtCall" << int(Qt::Key_Return) << Qt::KeyboardModifiers(Qt::ControlModifier)
                                          << int(mrOk);
    QTest::newRow("Ctrl+keypad Enter in Frekvence")
        << "cbBoxFreq" << int(Qt::Key_Enter) << Qt::KeyboardModifiers(Qt::ControlModifier | Qt::KeypadModifier)
        << int(mrOk);
    QTest::newRow("Esc in Poznámka") << "edtNote" << int(Qt::Key_Escape) << NoMod << int(mrCancel);
}

void TestClusterKeys::newSpotKeys()
{
    QFETCH(QString, focus);
    QFETCH(int, key);
    QFETCH(Qt::KeyboardModifiers, modifiers);
    QFETCH(int, result);

    ClusterWindowFixture f;
    QVERIFY(f.connectAndLogin());
    int stillOpen = -1;
    QString typedCall;
    ModalScript script;
    script.drive(QStringLiteral("frmWendraNewSpot"), [&](QDialog &dialog) {
        auto &spot = static_cast<TfrmWendraNewSpot &>(dialog);
        QVERIFY(ActivateWindow(&spot));
        QCOMPARE(FocusedWidget(), spot.edtCall);
        QVERIFY(TypeIntoFocus(QStringLiteral("OK1ABC")));
        QVERIFY(SendKey(&spot, Qt::Key_Tab));
        QVERIFY(TypeIntoFocus(QStringLiteral("3.5")));
        QVERIFY(SendKey(&spot, Qt::Key_Tab));
        QVERIFY(TypeIntoFocus(QStringLiteral("cq")));
        spot.findChild<QWidget *>(focus)->setFocus();
        QVERIFY(SendKey(&spot, key, modifiers));
        QCoreApplication::processEvents();
        stillOpen = spot.isVisible() ? 1 : 0;
        typedCall = spot.edtCall->text();
        if (spot.isVisible()) // closed as the operator would after looking
            QVERIFY(SendKeyToActive(Qt::Key_Return, Qt::ControlModifier));
    });
    f.window->actNewSpot->trigger();
    QCOMPARE(script.pending(), 0);
    QCOMPARE(stillOpen, result == mrNone ? 1 : 0);
    QCOMPARE(typedCall, QStringLiteral("OK1ABC"));
    QVERIFY(f.messages.shown.isEmpty()); // no frequency was refused
    f.window->SendCommand(QStringLiteral("marker"));
    QVERIFY(f.server.waitForLine(QStringLiteral("marker")));
    const QStringList expected = result == mrCancel ? QStringList{"marker"}
                                                    : QStringList{"DX OK1ABC 3500 cq", "marker"};
    QCOMPARE(f.server.lines.mid(2), expected);
}

QTEST_MAIN(TestClusterKeys)
#include "tst_clusterkeys.moc"
