// The application object's guard: failures that escape event handlers become one error
// message each, shown after the failed event, and the program goes on.

#include "ScriptedMessages.h"
#include "VelkorApplication.h"
#include "base/VelkorError.h"

#include <QKeyEvent>
#include <QTest>
#include <QTimer>
#include <QWidget>

#include <functional>
#include <stdexcept>

namespace
{

// A widget whose key and paint handlers fail as told.
class FailingWidget : public QWidget
{
public:
    std::function<void()> onKey;
    std::function<void()> onPaint;
    int keys = 0;

protected:
    void keyPressEvent(QKeyEvent *) override
    {
        ++keys;
        if (onKey)
            onKey();
    }
    void paintEvent(QPaintEvent *) override
    {
        if (onPaint)
            onPaint();
    }
};

TVelkorApplication *application()
{
    return static_cast<TVelkorApplication *>(QCoreApplication::instance());
}

} // namespace

class TestVelkorApplication : public QObject
{
    Q_OBJECT
private slots:
    void failureOfAHandler_data()
    {
        QTest::addColumn<bool>("operatorError");
        QTest::addColumn<QString>("shown");
        QTest::newRow("operator-facing") << true << QStringLiteral("Chyba při čtení deníku!");
        QTest::newRow("other standard exception") << false << QStringLiteral("bad thing");
    }
    void failureOfAHandler()
    {
        QFETCH(bool, operatorError);
        QFETCH(QString, shown);
        ScriptedMessages messages;
        FailingWidget widget;
        widget.onKey = [operatorError] {
            if (operatorError)
                throw EVelkorError(QStringLiteral("Chyba při čtení deníku!"));
            throw std::runtime_error("bad thing");
        };
        widget.show();
        QTest::keyClick(&widget, Qt::Key_A);
        // Shown once the failed event has been left, not inside it.
        QCOMPARE(messages.texts(), QStringList());
        QCOMPARE(application()->PendingFailures(), QStringList{shown});
        QTRY_COMPARE(messages.texts(), QStringList{shown});
        QCOMPARE(messages.shown.first().type, mtError);
        QCOMPARE(application()->PendingFailures(), QStringList());
        // The window goes on working.
        widget.onKey = nullptr;
        QTest::keyClick(&widget, Qt::Key_B);
        QCOMPARE(widget.keys, 2);
        QCOMPARE(messages.texts().size(), 1);
    }

    // A view that fails on every paint must not open a box per paint: the same text
    // waiting to be shown is shown once.
    void repeatedFailureIsShownOnce()
    {
        ScriptedMessages messages;
        FailingWidget widget;
        widget.onPaint = [] { throw EVelkorError(QStringLiteral("Chyba při čtení deníku \"X.db\"!")); };
        widget.resize(100, 100);
        for (int i = 0; i < 5; ++i)
            widget.grab();
        widget.onKey = [] { throw EVelkorError(QStringLiteral("Jiná chyba!")); };
        widget.show();
        QTest::keyClick(&widget, Qt::Key_A);
        widget.onPaint = nullptr;
        QTRY_COMPARE(messages.texts(), (QStringList{QStringLiteral("Chyba při čtení deníku \"X.db\"!"),
                                                    QStringLiteral("Jiná chyba!")}));
        QCoreApplication::processEvents();
        QCOMPARE(messages.texts().size(), 2);
    }

    // Slots run by a timer fail inside the timer's event: the loop survives it.
    void failingTimerSlot()
    {
        ScriptedMessages messages;
        int runs = 0;
        QTimer timer;
        timer.setInterval(1);
        connect(&timer, &QTimer::timeout, this, [&runs, &timer] {
            if (++runs == 3)
                timer.stop();
            throw EVelkorError(QStringLiteral("Časovač selhal!"));
        });
        timer.start();
        QTRY_COMPARE(runs, 3);
        QTRY_VERIFY(!messages.texts().isEmpty());
        QCOMPARE(messages.texts().first(), QStringLiteral("Časovač selhal!"));
    }
};

int main(int argc, char *argv[])
{
    TVelkorApplication app(argc, argv);
    TestVelkorApplication test;
    QTEST_SET_MAIN_SOURCE_PATH
    return QTest::qExec(&test, argc, argv);
}

#include "tst_velkorapplication.moc"
