#include "DateEdit.h"
#include "FloatComboBox.h"
#include "IOTAEdit.h"
#include "LocatorEdit.h"
#include "ReportEdit.h"
#include "TimeEdit.h"

#include <QAction>
#include <QClipboard>
#include <QContextMenuEvent>
#include <QGuiApplication>
#include <QMenu>
#include <QMimeData>
#include <QSignalSpy>
#include <QTest>

namespace
{

void leave(QWidget *w)
{
    QFocusEvent event(QEvent::FocusOut, Qt::TabFocusReason);
    QCoreApplication::sendEvent(w, &event);
}

void paste(QWidget *w, const QString &text)
{
    QGuiApplication::clipboard()->setText(text);
    QTest::keyClick(w, Qt::Key_V, Qt::ControlModifier);
}

// Sets the text and puts the caret (default: at the end).
void prepare(QLineEdit &edit, const QString &text, int caret = -1)
{
    edit.setText(text);
    edit.setCursorPosition(caret < 0 ? int(text.size()) : caret);
}

} // namespace

class TestCustomEdits : public QObject
{
    Q_OBJECT
private slots:
    void report_data()
    {
        QTest::addColumn<QString>("typed");
        QTest::addColumn<QString>("expected");
        QTest::newRow("digits") << "599"
                                << "599";
        QTest::newRow("upper case") << "5nn"
                                    << "5NN";
        QTest::newRow("no comma or signs") << "5,-9!"
                                           << "59";
        QTest::newRow("three at most") << "5999"
                                       << "599";
    }
    void report()
    {
        QFETCH(QString, typed);
        QFETCH(QString, expected);
        TReportEdit edit;
        QTest::keyClicks(&edit, typed);
        QCOMPARE(edit.text(), expected);
        QCOMPARE(edit.maxLength(), 3);
    }

    void locator_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<int>("caret");
        QTest::addColumn<QString>("typed");
        QTest::addColumn<QString>("expected");
        QTest::newRow("whole locator") << "" << 0 << "jn79sx"
                                       << "JN79SX";
        QTest::newRow("S at 0 dropped") << "" << 0 << "S"
                                        << "";
        QTest::newRow("R at 0 kept") << "" << 0 << "r"
                                     << "R";
        QTest::newRow("digit at 1 dropped") << "J" << 1 << "7"
                                            << "J";
        QTest::newRow("letter at 2 dropped") << "JN" << 2 << "A"
                                             << "JN";
        QTest::newRow("digit at 2 kept") << "JN" << 2 << "5"
                                         << "JN5";
        QTest::newRow("x at 4 upper-cased") << "JN79" << 4 << "x"
                                            << "JN79X";
        QTest::newRow("Y at 4 dropped") << "JN79" << 4 << "Y"
                                        << "JN79";
        QTest::newRow("at 6 nothing") << "JN79SX" << 6 << "A5"
                                      << "JN79SX";
        QTest::newRow("caret inside") << "JN" << 0 << "K"
                                      << "KJN";
    }
    void locator()
    {
        QFETCH(QString, text);
        QFETCH(int, caret);
        QFETCH(QString, typed);
        QFETCH(QString, expected);
        TLocatorEdit edit;
        prepare(edit, text, caret);
        QTest::keyClicks(&edit, typed);
        QCOMPARE(edit.text(), expected);
    }

    void iotaTyping()
    {
        TIOTAEdit edit;
        QTest::keyClicks(&edit, "e1u12345");
        QCOMPARE(edit.text(), QString("EU123")); // "1" at 1 and everything past 5 dropped
    }

    void iotaExit_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<QString>("expected");
        QTest::newRow("one digit") << "EU1"
                                   << "EU001";
        QTest::newRow("two digits") << "EU12"
                                    << "EU012";
        QTest::newRow("three digits") << "EU123"
                                      << "EU123";
        QTest::newRow("letters only") << "EU"
                                      << "EU";
        QTest::newRow("empty") << ""
                               << "";
    }
    void iotaExit()
    {
        QFETCH(QString, text);
        QFETCH(QString, expected);
        TIOTAEdit edit;
        edit.setText(text);
        leave(&edit);
        QCOMPARE(edit.text(), expected);
    }

    void dateTyping_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<QString>("typed");
        QTest::addColumn<QString>("expected");
        QTest::newRow("whole date") << ""
                                    << "12032007"
                                    << "12.03.2007";
        QTest::newRow("day with dot") << ""
                                      << "3."
                                      << "03.";
        QTest::newRow("month padded") << ""
                                      << "12.3."
                                      << "12.03.";
        QTest::newRow("three digits") << ""
                                      << "123"
                                      << "12.3";
        QTest::newRow("comma after day") << "12"
                                         << ","
                                         << "12.";
        QTest::newRow("letters dropped") << ""
                                         << "1a2b"
                                         << "12";
        QTest::newRow("ten at most") << ""
                                     << "120320071"
                                     << "12.03.2007";
    }
    void dateTyping()
    {
        QFETCH(QString, text);
        QFETCH(QString, typed);
        QFETCH(QString, expected);
        TDateEdit edit;
        prepare(edit, text);
        QTest::keyClicks(&edit, typed);
        QCOMPARE(edit.text(), expected);
        QCOMPARE(edit.cursorPosition(), int(expected.size()));
    }

    void dateTypingOverSelection()
    {
        TDateEdit edit;
        edit.setText("24.12.2007");
        edit.selectAll();
        QTest::keyClick(&edit, Qt::Key_1);
        QCOMPARE(edit.text(), QString("1"));
        // A selected two-digit day starts afresh too instead of getting a dot.
        edit.setText("24");
        edit.selectAll();
        QTest::keyClick(&edit, Qt::Key_3);
        QCOMPARE(edit.text(), QString("3"));
    }

    void dateBackspace()
    {
        TDateEdit edit;
        QTest::keyClicks(&edit, "1203");
        QCOMPARE(edit.text(), QString("12.03"));
        QTest::keyClick(&edit, Qt::Key_Backspace);
        QTest::keyClick(&edit, Qt::Key_Backspace);
        QCOMPARE(edit.text(), QString("12."));
        QTest::keyClick(&edit, Qt::Key_Backspace);
        QTest::keyClicks(&edit, "1");
        QCOMPARE(edit.text(), QString("12.1")); // the dot comes back
    }

    void dateExit_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<QString>("expected");
        QTest::newRow("padded") << "1.2.2007"
                                << "01.02.2007";
        QTest::newRow("no such day") << "32.1.2007"
                                     << "32.1.2007";
        QTest::newRow("empty") << ""
                               << "";
        QTest::newRow("half typed") << "12."
                                    << "12.";
    }
    void dateExit()
    {
        QFETCH(QString, text);
        QFETCH(QString, expected);
        TDateEdit edit;
        edit.setText(text);
        QStringList seen;
        connect(&edit, &QLineEdit::editingFinished, &edit, [&] { seen << edit.text(); });
        leave(&edit);
        QCOMPARE(edit.text(), expected);
        // The window's own exit handling already sees the canonical text.
        QCOMPARE(seen, QStringList{expected});
    }

    void dateProperty()
    {
        TDateEdit edit;
        QVERIFY(!edit.Date().isValid());
        edit.setText("1.2.2007");
        QCOMPARE(edit.Date(), QDate(2007, 2, 1));
        edit.setText("32.1.2007");
        QVERIFY(!edit.Date().isValid());
        edit.SetDate(QDate(2007, 3, 12));
        QCOMPARE(edit.text(), QString("12.03.2007"));
        edit.SetDate(QDate());
        QCOMPARE(edit.text(), QString());
    }

    void timeTyping_data()
    {
        QTest::addColumn<QString>("typed");
        QTest::addColumn<QString>("expected");
        QTest::newRow("hour padded") << "9."
                                     << "09:";
        QTest::newRow("hour and minutes") << "1230"
                                          << "12:30";
        QTest::newRow("seconds") << "123045"
                                 << "12:30:45";
        QTest::newRow("eight at most") << "1230451"
                                       << "12:30:45";
        QTest::newRow("minute padded") << "12:5,"
                                       << "12:05:";
    }
    void timeTyping()
    {
        QFETCH(QString, typed);
        QFETCH(QString, expected);
        TTimeEdit edit;
        QTest::keyClicks(&edit, typed);
        QCOMPARE(edit.text(), expected);
    }

    void timeExit_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<QString>("expected");
        QTest::newRow("padded") << "9:5"
                                << "09:05:00";
        QTest::newRow("no such hour") << "25:00"
                                      << "25:00";
        QTest::newRow("empty") << ""
                               << "";
    }
    void timeExit()
    {
        QFETCH(QString, text);
        QFETCH(QString, expected);
        TTimeEdit edit;
        edit.setText(text);
        leave(&edit);
        QCOMPARE(edit.text(), expected);
    }

    void timeProperty()
    {
        TTimeEdit edit;
        edit.setText("9:5");
        QCOMPARE(edit.Time(), QTime(9, 5));
        edit.SetTime(QTime(7, 4, 9));
        QCOMPARE(edit.text(), QString("07:04:09"));
        edit.clear();
        QVERIFY(!edit.Time().isValid());
    }

    void floatSeparator_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<int>("caret");
        QTest::addColumn<QString>("typed");
        QTest::addColumn<QString>("expected");
        QTest::addColumn<int>("expectedCaret");
        QTest::newRow("empty") << "" << 0 << ","
                               << "0," << 2;
        QTest::newRow("dot becomes comma") << "3" << 1 << ".5"
                                           << "3,5" << 3;
        QTest::newRow("separator moves") << "14,2" << 4 << "."
                                         << "142," << 4;
        QTest::newRow("at the start") << "5" << 0 << "."
                                      << "0,5" << 2;
        QTest::newRow("in the middle") << "1425" << 2 << ","
                                       << "14,25" << 3;
        QTest::newRow("others dropped") << "7" << 1 << "a-+ 1"
                                        << "71" << 2;
    }
    void floatSeparator()
    {
        QFETCH(QString, text);
        QFETCH(int, caret);
        QFETCH(QString, typed);
        QFETCH(QString, expected);
        QFETCH(int, expectedCaret);
        TFloatComboBox box;
        prepare(*box.lineEdit(), text, caret);
        QTest::keyClicks(&box, typed);
        QCOMPARE(box.currentText(), expected);
        QCOMPARE(box.lineEdit()->cursorPosition(), expectedCaret);
    }

    void floatBackspace()
    {
        TFloatComboBox box;
        QTest::keyClicks(&box, "3,5");
        QTest::keyClick(&box, Qt::Key_Backspace);
        QCOMPARE(box.currentText(), QString("3,"));
    }

    void floatExit_data()
    {
        QTest::addColumn<QString>("format");
        QTest::addColumn<QString>("text");
        QTest::addColumn<QString>("expected");
        QTest::newRow("whole number") << "0.###"
                                      << "5"
                                      << "5";
        QTest::newRow("trailing zero") << "0.###"
                                       << "3,50"
                                       << "3,5";
        QTest::newRow("rounded") << "0.###"
                                 << "14,02551"
                                 << "14,026";
        QTest::newRow("two places") << "0.00"
                                    << "7"
                                    << "7,00";
        QTest::newRow("not a number") << "0.###"
                                      << "1,2,3x"
                                      << "1,2,3x";
        QTest::newRow("empty") << "0.###"
                               << ""
                               << "";
    }
    void floatExit()
    {
        QFETCH(QString, format);
        QFETCH(QString, text);
        QFETCH(QString, expected);
        TFloatComboBox box;
        box.SetFormat(format);
        box.setEditText(text);
        leave(&box);
        QCOMPARE(box.currentText(), expected);
    }

    void floatFormatProperty()
    {
        TFloatComboBox box;
        QCOMPARE(box.Format(), QString("0.###"));
        box.SetFormat("0,0.0#x 0");
        QCOMPARE(box.Format(), QString("00.0#0"));
        QCOMPARE(box.property("Format").toString(), QString("00.0#0"));
    }

    void floatValue()
    {
        TFloatComboBox box;
        bool ok = true;
        box.Value(&ok);
        QVERIFY(!ok); // empty holds no number
        box.setEditText("14,025");
        QCOMPARE(box.Value(&ok), 14.025);
        QVERIFY(ok);
        box.SetValue(3.5);
        QCOMPARE(box.currentText(), QString("3,5"));
    }

    void floatEnterAddsNoItem()
    {
        TFloatComboBox box;
        box.addItems({"3,5", "7"});
        QTest::keyClicks(&box, "14");
        QTest::keyClick(&box, Qt::Key_Return);
        QCOMPARE(box.count(), 2);
    }

    void pasteIsFiltered_data()
    {
        QTest::addColumn<QString>("kind");
        QTest::addColumn<QString>("pasted");
        QTest::addColumn<QString>("expected");
        QTest::newRow("report") << "report"
                                << "a-5 9!"
                                << "A59";
        QTest::newRow("locator") << "locator"
                                 << "jn79sxzz"
                                 << "JN79SX";
        QTest::newRow("locator refused") << "locator"
                                         << "SS12"
                                         << "";
        QTest::newRow("iota") << "iota"
                              << "eu-123"
                              << "EU123";
        QTest::newRow("date") << "date"
                              << "1.2.2007"
                              << "01.02.2007";
        QTest::newRow("date with line break") << "date"
                                              << "12\n03"
                                              << "12.03";
        QTest::newRow("time") << "time"
                              << "9:05"
                              << "09:05";
        QTest::newRow("float") << "float"
                               << "3.5 MHz"
                               << "3,5";
    }
    void pasteIsFiltered()
    {
        QFETCH(QString, kind);
        QFETCH(QString, pasted);
        QFETCH(QString, expected);
        std::unique_ptr<QWidget> w;
        if (kind == "report")
            w = std::make_unique<TReportEdit>();
        else if (kind == "locator")
            w = std::make_unique<TLocatorEdit>();
        else if (kind == "iota")
            w = std::make_unique<TIOTAEdit>();
        else if (kind == "date")
            w = std::make_unique<TDateEdit>();
        else if (kind == "time")
            w = std::make_unique<TTimeEdit>();
        else
            w = std::make_unique<TFloatComboBox>();
        paste(w.get(), pasted);
        auto *box = qobject_cast<QComboBox *>(w.get());
        QCOMPARE(box ? box->currentText() : static_cast<QLineEdit *>(w.get())->text(), expected);
    }

    void pasteReplacesSelection()
    {
        TLocatorEdit edit;
        edit.setText("AA00");
        edit.selectAll();
        paste(&edit, "jo60");
        QCOMPARE(edit.text(), QString("JO60"));
    }

    void contextMenuPasteIsFiltered()
    {
        TLocatorEdit edit;
        QGuiApplication::clipboard()->setText("jn7x9");
        QContextMenuEvent event(QContextMenuEvent::Mouse, QPoint(2, 2), edit.mapToGlobal(QPoint(2, 2)));
        QCoreApplication::sendEvent(&edit, &event);
        auto *menu = edit.findChild<QMenu *>();
        QVERIFY(menu);
        QAction *pasteAction = nullptr;
        for (QAction *action : menu->actions())
            if (action->text().startsWith(QCoreApplication::translate("QLineEdit", "&Paste")))
                pasteAction = action;
        QVERIFY(pasteAction);
        pasteAction->trigger();
        QCOMPARE(edit.text(), QString("JN79"));
        menu->close();
    }

    void dropIsFiltered()
    {
        struct DropTarget : TReportEdit {
            using TReportEdit::dropEvent;
        } edit;
        edit.resize(100, 24);
        QMimeData data;
        data.setText("5x-9");
        QDropEvent drop(QPointF(5, 5), Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
        edit.dropEvent(&drop);
        QCOMPARE(edit.text(), QString("5X9"));
        QCOMPARE(drop.dropAction(), Qt::CopyAction);
    }

    void commandKeysStillWork()
    {
        TReportEdit edit;
        QTest::keyClicks(&edit, "599");
        QTest::keyClick(&edit, Qt::Key_A, Qt::ControlModifier); // select all, not "A"
        QCOMPARE(edit.selectedText(), QString("599"));
        QTest::keyClick(&edit, Qt::Key_Right);
        QTest::keyClick(&edit, Qt::Key_Backspace);
        QCOMPARE(edit.text(), QString("59"));
        QTest::keyClick(&edit, Qt::Key_Z, Qt::ControlModifier); // undo
        QCOMPARE(edit.text(), QString("599"));
    }
};

QTEST_MAIN(TestCustomEdits)
#include "tst_customedits.moc"
