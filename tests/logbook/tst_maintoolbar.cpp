#include "MainToolBar.h"
#include "ScreenImage.h"

#include <QAction>
#include <QMainWindow>
#include <QPainter>
#include <QProxyStyle>
#include <QStyleFactory>
#include <QTest>
#include <QToolButton>

#include <memory>

namespace
{

// A style whose tool bar background shows the bar's state, a square coloured by whether the
// bar is enabled and its window active in a shade of its own, and that counts how often it
// is drawn.
class MarkingStyle : public QProxyStyle
{
public:
    explicit MarkingStyle(int shade) : QProxyStyle(QStyleFactory::create(QStringLiteral("Fusion"))), m_shade(shade) {}
    void drawControl(ControlElement element, const QStyleOption *option, QPainter *painter,
                     const QWidget *widget) const override
    {
        QProxyStyle::drawControl(element, option, painter, widget);
        if (element != CE_ToolBar)
            return;
        ++backgrounds;
        const QColor mark = !(option->state & State_Enabled) ? QColor(m_shade, 0, 0)
                            : (option->state & State_Active) ? QColor(0, 0, m_shade)
                                                             : QColor(0, m_shade, 0);
        painter->fillRect(QRect(option->rect.topLeft() + QPoint(2, 2), QSize(6, 6)), mark);
    }
    mutable int backgrounds = 0;

private:
    int m_shade;
};

// A main window with a tool bar of a few buttons over an empty centre, as the logbook's.
struct ToolBarWindow
{
    ToolBarWindow(QToolBar *bar, int width) : toolBar(bar)
    {
        toolBar->setMovable(false);
        toolBar->setFloatable(false);
        toolBar->setToolButtonStyle(Qt::ToolButtonTextUnderIcon);
        for (const char *caption : {"Nové", "Zobrazit", "Opravit", "Smazat", "Hledat", "Filtr", "První", "Poslední"}) {
            toolBar->addAction(QString::fromUtf8(caption));
            toolBar->widgetForAction(toolBar->actions().constLast())->setMinimumSize(46, 36);
        }
        window.addToolBar(toolBar);
        window.setCentralWidget(new QWidget);
        window.resize(width, 300);
        window.show();
    }
    QMainWindow window;
    QToolBar *toolBar;
};

// The window's screen image where the tool bar is, once the pending paints are done.
QImage onScreen(QToolBar *bar)
{
    QCoreApplication::processEvents();
    return WidgetOnScreen(bar);
}

// The tool bar rendered on its own, as grab() and printing the window render it.
QImage rendered(QToolBar *bar)
{
    return bar->grab().toImage().convertToFormat(QImage::Format_RGB32);
}

enum Change { NoChange, Resize, Narrow, OtherPalette, Disable, ToLeft, ToBottom, OtherStyle, Deactivate };

void apply(ToolBarWindow &shown, Change change, QStyle *otherStyle)
{
    QToolBar *bar = shown.toolBar;
    switch (change) {
    case NoChange:
        break;
    case Resize:
        shown.window.resize(shown.window.width() + 173, shown.window.height());
        break;
    case Narrow:
        shown.window.resize(260, shown.window.height());
        break;
    case OtherPalette: {
        QPalette palette = bar->palette();
        palette.setColor(QPalette::Window, QColor(180, 200, 140));
        bar->setPalette(palette);
        break;
    }
    case Disable:
        bar->setEnabled(false);
        break;
    case ToLeft:
        shown.window.addToolBar(Qt::LeftToolBarArea, bar);
        break;
    case ToBottom:
        shown.window.addToolBar(Qt::BottomToolBarArea, bar);
        break;
    case OtherStyle:
        bar->setStyle(otherStyle);
        bar->update();
        break;
    case Deactivate: {
        auto *other = new QWidget(&shown.window, Qt::Window);
        other->setAttribute(Qt::WA_DeleteOnClose);
        other->show();
        other->activateWindow();
        QTest::qWait(20);
        break;
    }
    }
    QCoreApplication::processEvents();
}

} // namespace

Q_DECLARE_METATYPE(Change)

class TestMainToolBar : public QObject
{
    Q_OBJECT
private slots:
    // The tool bar shows exactly what a plain QToolBar in the same place shows, on screen
    // and rendered, before and after whatever its background is drawn from changes.
    void looksAsAPlainToolBar_data()
    {
        QTest::addColumn<int>("width");
        QTest::addColumn<Change>("change");
        QTest::addColumn<bool>("marking"); // the bar's state shows in its background
        QTest::newRow("as opened") << 1280 << NoChange << false;
        QTest::newRow("narrowest main window") << 700 << NoChange << false;
        QTest::newRow("wide screen") << 1920 << NoChange << false;
        QTest::newRow("window made wider") << 900 << Resize << false;
        QTest::newRow("other window colour") << 1280 << OtherPalette << false;
        QTest::newRow("disabled") << 1280 << Disable << false;
        QTest::newRow("disabled, a style that shows it") << 1280 << Disable << true;
        QTest::newRow("moved to the left edge") << 1280 << ToLeft << false;
        QTest::newRow("moved to the bottom") << 1280 << ToBottom << false;
        QTest::newRow("another style") << 1280 << OtherStyle << false;
        QTest::newRow("another style of the same palette") << 1280 << OtherStyle << true;
        QTest::newRow("window no longer active") << 1280 << Deactivate << false;
        QTest::newRow("window no longer active, a style that shows it") << 1280 << Deactivate << true;
        QTest::newRow("too narrow for its buttons") << 260 << NoChange << false;
        QTest::newRow("made too narrow for its buttons") << 1280 << Narrow << false;
    }
    void looksAsAPlainToolBar()
    {
        QFETCH(int, width);
        QFETCH(Change, change);
        QFETCH(bool, marking);
        // Each side alone on the screen, so that both windows are active alike.
        const auto images = [&](QToolBar *bar) {
            MarkingStyle markingStyle(200);
            const std::unique_ptr<QStyle> otherStyle(marking ? new MarkingStyle(120)
                                                             : QStyleFactory::create(QStringLiteral("Windows")));
            ToolBarWindow shown(bar, width);
            if (marking)
                bar->setStyle(&markingStyle);
            QList<QImage> result;
            if (!QTest::qWaitForWindowActive(&shown.window))
                return result;
            result << onScreen(bar);
            apply(shown, change, otherStyle.get());
            result << onScreen(bar) << rendered(bar);
            bar->setStyle(nullptr);
            return result;
        };
        const QList<QImage> ours = images(new TMainToolBar(QStringLiteral("tlBar")));
        const QList<QImage> plain = images(new QToolBar(QStringLiteral("tlBar")));
        QCOMPARE(ours.size(), 3); // before and after the change on screen, rendered after it
        QVERIFY(ours == plain);
    }

    // With the buttons overflowing, the extension button opens the rest; the opened tool bar
    // looks as Qt's own.
    void opensItsExtensionAsAPlainToolBar()
    {
        ToolBarWindow ours(new TMainToolBar(QStringLiteral("tlBar")), 260);
        ToolBarWindow plain(new QToolBar(QStringLiteral("tlBar")), 260);
        QVERIFY(QTest::qWaitForWindowExposed(&ours.window));
        QVERIFY(QTest::qWaitForWindowExposed(&plain.window));
        for (ToolBarWindow *shown : {&ours, &plain}) {
            auto *extension = shown->toolBar->findChild<QToolButton *>(QStringLiteral("qt_toolbar_ext_button"));
            QVERIFY(extension);
            QVERIFY(extension->isVisible());
            QTest::mouseClick(extension, Qt::LeftButton);
        }
        // The rest of the buttons are shown below, once the tool bar has grown.
        QTRY_VERIFY(ours.toolBar->height() > 60 && plain.toolBar->height() == ours.toolBar->height());
        QCOMPARE(ours.toolBar->size(), plain.toolBar->size());
        QCOMPARE(rendered(ours.toolBar), rendered(plain.toolBar));
    }

    // The background is drawn once and copied from then on; a change of what it is drawn
    // from draws it again.
    void drawsTheBackgroundOnlyWhenItChanges()
    {
        MarkingStyle style(200);
        ToolBarWindow shown(new TMainToolBar(QStringLiteral("tlBar")), 1000);
        shown.toolBar->setStyle(&style);
        QVERIFY(QTest::qWaitForWindowActive(&shown.window));
        shown.window.repaint();
        const int first = style.backgrounds;
        QVERIFY(first >= 1);
        for (int i = 0; i < 3; ++i) {
            shown.window.repaint();
            shown.window.grab();
        }
        QCOMPARE(style.backgrounds, first);
        shown.window.resize(1100, 300);
        QCoreApplication::processEvents();
        shown.window.repaint();
        QCOMPARE(style.backgrounds, first + 1);
        QPalette palette = shown.toolBar->palette();
        palette.setColor(QPalette::Window, Qt::darkCyan);
        shown.toolBar->setPalette(palette);
        shown.window.repaint();
        QCOMPARE(style.backgrounds, first + 2);
        shown.toolBar->setStyle(nullptr);
    }
};

QTEST_MAIN(TestMainToolBar)
#include "tst_maintoolbar.moc"
