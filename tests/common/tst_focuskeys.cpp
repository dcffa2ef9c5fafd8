// The key helper delivers keys where a person's key press lands: the focused widget of the
// active window, which for an editable combo box is the box, not its line edit.

#include "FocusKeys.h"

#include <QComboBox>
#include <QDialog>
#include <QKeyEvent>
#include <QLineEdit>
#include <QTest>
#include <QVBoxLayout>

namespace {

class KeyCounter : public QObject {
public:
    int presses = 0;
    bool eventFilter(QObject *, QEvent *event) override
    {
        if (event->type() == QEvent::KeyPress && static_cast<QKeyEvent *>(event)->key() == Qt::Key_Return)
            ++presses;
        return false;
    }
};

} // namespace

class TestFocusKeys : public QObject {
    Q_OBJECT
private slots:
    void keyReachesTheFocusedComboNotItsLineEdit();
    void failsWithoutAWindow();
};

void TestFocusKeys::keyReachesTheFocusedComboNotItsLineEdit()
{
    QDialog dialog;
    auto *layout = new QVBoxLayout(&dialog);
    auto *other = new QLineEdit(&dialog);
    auto *box = new QComboBox(&dialog);
    box->setEditable(true);
    layout->addWidget(other);
    layout->addWidget(box);
    KeyCounter onBox, onLine;
    box->installEventFilter(&onBox);
    box->lineEdit()->installEventFilter(&onLine);

    QVERIFY(ActivateWindow(&dialog));
    box->setFocus();
    QTRY_COMPARE(FocusedWidget(), box);
    QVERIFY(SendKey(&dialog, Qt::Key_Return));
    QCOMPARE(onBox.presses, 1);
    QCOMPARE(onLine.presses, 0);

    QVERIFY(TypeIntoFocus(QStringLiteral("OK1XYZ")));
    QCOMPARE(box->currentText(), QStringLiteral("OK1XYZ"));
}

void TestFocusKeys::failsWithoutAWindow()
{
    QVERIFY(!ActivateWindow(nullptr));
}

QTEST_MAIN(TestFocusKeys)
#include "tst_focuskeys.moc"
