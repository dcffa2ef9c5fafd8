#include "MessageDialog.h"

#include <QApplication>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>
#include <QTest>
#include <QTimer>

#include <functional>

namespace {

// What the operator saw in the box.
struct Seen {
    QString title;
    QString text;
    QStringList buttons;
    QString defaultButton;
    QString focusedButton;
    QWidget *parent = nullptr;
    QMessageBox::Icon icon = QMessageBox::NoIcon;
};

QMessageBox *openBox()
{
    return qobject_cast<QMessageBox *>(QApplication::activeModalWidget());
}

// Waits for the box, records it, then lets the action answer it (a key or a click).
void whenShown(Seen &seen, std::function<void(QMessageBox *)> answer)
{
    auto *timer = new QTimer;
    timer->setInterval(10);
    QObject::connect(timer, &QTimer::timeout, timer, [timer, &seen, answer] {
        QMessageBox *box = openBox();
        if (!box || !box->isVisible())
            return;
        timer->stop();
        timer->deleteLater();
        seen.title = box->windowTitle();
        seen.text = box->text();
        seen.parent = box->parentWidget();
        seen.icon = box->icon();
        for (QAbstractButton *b : box->buttons())
            seen.buttons << b->text();
        if (QPushButton *d = box->defaultButton())
            seen.defaultButton = d->text();
        if (auto *focused = qobject_cast<QAbstractButton *>(box->focusWidget()))
            seen.focusedButton = focused->text();
        answer(box);
    });
    timer->start();
}

void pressKey(QMessageBox *box, Qt::Key key)
{
    QWidget *target = box->focusWidget() ? box->focusWidget() : box;
    QTest::keyClick(target, key);
}

std::function<void(QMessageBox *)> key(Qt::Key k)
{
    return [k](QMessageBox *box) { pressKey(box, k); };
}

std::function<void(QMessageBox *)> click(const QString &text)
{
    return [text](QMessageBox *box) {
        for (QAbstractButton *b : box->buttons())
            if (b->text() == text)
                b->click();
    };
}

} // namespace

class TestMessageDialog : public QObject
{
    Q_OBJECT
private slots:
    void initTestCase()
    {
        QCoreApplication::setApplicationName("Velkor");
        installMessageDialog();
    }

    void enterAnswersDefault_data()
    {
        QTest::addColumn<int>("defaultResult");
        QTest::addColumn<int>("expected");
        QTest::addColumn<QString>("focused");
        QTest::newRow("default No") << int(mrNo) << int(mrNo) << "&Ne";
        QTest::newRow("default Yes") << int(mrYes) << int(mrYes) << "&Ano";
    }
    void enterAnswersDefault()
    {
        QFETCH(int, defaultResult);
        QFETCH(int, expected);
        QFETCH(QString, focused);
        Seen seen;
        whenShown(seen, key(Qt::Key_Return));
        const int result = MessageDlgDef("Smazat?", mtConfirmation, mbYes | mbNo, defaultResult);
        QCOMPARE(result, expected);
        QCOMPARE(seen.defaultButton, focused);
        QCOMPARE(seen.focusedButton, focused);
    }

    // A default result without a button leaves the box as Qt sets it up.
    void foreignDefaultKeepsQtDefault()
    {
        Seen plainSeen;
        QMessageBox plain(QMessageBox::Question, "x", "y", QMessageBox::Yes | QMessageBox::No);
        whenShown(plainSeen, key(Qt::Key_Return));
        plain.exec();
        const int qtAnswer = plain.clickedButton() == plain.button(QMessageBox::Yes) ? mrYes : mrNo;

        Seen seen;
        whenShown(seen, key(Qt::Key_Return));
        QCOMPARE(MessageDlgDef("Smazat?", mtConfirmation, mbYes | mbNo, mrOk), qtAnswer);
    }

    void titles_data()
    {
        QTest::addColumn<int>("type");
        QTest::addColumn<QString>("title");
        QTest::addColumn<int>("icon");
        QTest::newRow("warning") << int(mtWarning) << "Upozornění" << int(QMessageBox::Warning);
        QTest::newRow("error") << int(mtError) << "Chyba" << int(QMessageBox::Critical);
        QTest::newRow("information") << int(mtInformation) << "Informace" << int(QMessageBox::Information);
        QTest::newRow("confirmation") << int(mtConfirmation) << "Potvrzení" << int(QMessageBox::Question);
        QTest::newRow("custom") << int(mtCustom) << "Velkor" << int(QMessageBox::NoIcon);
    }
    void titles()
    {
        QFETCH(int, type);
        QFETCH(QString, title);
        QFETCH(int, icon);
        Seen seen;
        whenShown(seen, key(Qt::Key_Return));
        QCOMPARE(MessageDlgDef("Zpráva", TMsgDlgType(type), mbOK, mrOk), int(mrOk));
        QCOMPARE(seen.title, title);
        QCOMPARE(seen.text, QString("Zpráva"));
        QCOMPARE(int(seen.icon), icon);
    }

    // Each button answers its own modal result and carries its Czech text.
    void buttons_data()
    {
        QTest::addColumn<int>("button");
        QTest::addColumn<QString>("text");
        QTest::addColumn<int>("result");
        QTest::newRow("Yes") << int(mbYes) << "&Ano" << 6;
        QTest::newRow("No") << int(mbNo) << "&Ne" << 7;
        QTest::newRow("OK") << int(mbOK) << "&OK" << 1;
        QTest::newRow("Cancel") << int(mbCancel) << "S&torno" << 2;
        QTest::newRow("Abort") << int(mbAbort) << "&Přerušit" << 3;
        QTest::newRow("Retry") << int(mbRetry) << "Opakovat" << 4;
        QTest::newRow("Ignore") << int(mbIgnore) << "&Ignorovat" << 5;
        QTest::newRow("All") << int(mbAll) << "&Vše" << 8;
        QTest::newRow("NoToAll") << int(mbNoToAll) << "N&e všem" << 9;
        QTest::newRow("YesToAll") << int(mbYesToAll) << "Ano vše&m" << 10;
        QTest::newRow("Help") << int(mbHelp) << "Nápověda" << 0;
    }
    void buttons()
    {
        QFETCH(int, button);
        QFETCH(QString, text);
        QFETCH(int, result);
        const TMsgDlgButtons all(0x7FF);
        Seen seen;
        whenShown(seen, click(text));
        QCOMPARE(MessageDlgDef("Co dál?", mtConfirmation, all, mrCancel), result);
        QCOMPARE(seen.buttons.size(), 11);
        QVERIFY(seen.buttons.contains(text));
        QCOMPARE(MessageDialog::buttonText(TMsgDlgBtn(button)), text);
        QCOMPARE(MessageDialog::modalResult(TMsgDlgBtn(button)), result);
    }

    void escape_data()
    {
        QTest::addColumn<int>("buttons");
        QTest::addColumn<int>("expected");
        QTest::newRow("Yes No Cancel") << int(mbYes | mbNo | mbCancel) << int(mrCancel);
        QTest::newRow("Yes No") << int(mbYes | mbNo) << int(mrNo);
        QTest::newRow("OK") << int(mbOK) << int(mrOk);
    }
    void escape()
    {
        QFETCH(int, buttons);
        QFETCH(int, expected);
        Seen seen;
        whenShown(seen, key(Qt::Key_Escape));
        QCOMPARE(MessageDlgDef("Otázka", mtConfirmation, TMsgDlgButtons(buttons), mrYes), expected);
    }

    void noButtonsStillCloses()
    {
        Seen seen;
        whenShown(seen, key(Qt::Key_Return));
        QCOMPARE(MessageDlgDef("Hotovo", mtInformation, TMsgDlgButtons(), mrOk), int(mrOk));
        QCOMPARE(seen.buttons, QStringList{"&OK"});
    }

    void carriageReturnsBreakLines()
    {
        Seen seen;
        whenShown(seen, key(Qt::Key_Return));
        MessageDlgDef("Soubor \"x.uf\" nelze otevřít!\rProgram bude ukončen!", mtError, mbOK, mrOk);
        QCOMPARE(seen.text, QString("Soubor \"x.uf\" nelze otevřít!\nProgram bude ukončen!"));
    }

    void parentIsActiveWindow()
    {
        QWidget window;
        window.show();
        window.activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(&window));
        Seen seen;
        whenShown(seen, key(Qt::Key_Return));
        MessageDlgDef("Zpráva", mtInformation, mbOK, mrOk);
        QCOMPARE(seen.parent, &window);
    }

    void focusControl()
    {
        QWidget window;
        auto *first = new QLineEdit(&window);
        auto *second = new QLineEdit(&window);
        first->move(0, 0);
        second->move(0, 40);
        window.show();
        window.activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(&window));
        first->setFocus();
        FocusControl(second);
        QTRY_VERIFY(second->hasFocus());
        QObject notAWidget;
        FocusControl(&notAWidget); // ignored
        QVERIFY(second->hasFocus());
    }
};

QTEST_MAIN(TestMessageDialog)
#include "tst_messagedialog.moc"
