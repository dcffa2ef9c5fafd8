#include "LogGrid.h"
#include "ScreenImage.h"

#include <QAbstractTableModel>
#include <QScrollBar>
#include <QTest>

namespace
{

// A model whose rows come and go as a log's do: appended or removed at the end.
class GrowingModel : public QAbstractTableModel
{
public:
    explicit GrowingModel(int rows) : m_rows(rows) {}
    int rowCount(const QModelIndex &parent = {}) const override { return parent.isValid() ? 0 : m_rows; }
    int columnCount(const QModelIndex &parent = {}) const override { return parent.isValid() ? 0 : 3; }
    QVariant data(const QModelIndex &index, int role) const override
    {
        return role == Qt::DisplayRole ? QVariant(index.row()) : QVariant();
    }
    void setRows(int rows)
    {
        if (rows > m_rows) {
            beginInsertRows({}, m_rows, rows - 1);
            m_rows = rows;
            endInsertRows();
        } else if (rows < m_rows) {
            beginRemoveRows({}, rows, m_rows - 1);
            m_rows = rows;
            endRemoveRows();
        }
    }

private:
    int m_rows;
};

// Counts the paint events a widget gets.
class PaintCount : public QObject
{
public:
    explicit PaintCount(QWidget *widget) { widget->installEventFilter(this); }
    int count = 0;

protected:
    bool eventFilter(QObject *, QEvent *event) override
    {
        if (event->type() == QEvent::Paint)
            ++count;
        return false;
    }
};

QImage onScreen(QScrollBar *bar)
{
    return WidgetOnScreen(bar);
}

// The scroll bar as it would paint itself now.
QImage freshlyPainted(QScrollBar *bar)
{
    return bar->grab().toImage().convertToFormat(QImage::Format_RGB32);
}

enum Scroll { Stay, ToBottom, ToTop, Down1 };

// A log grid over a model of the given rows, shown as a window of its own.
struct ShownGrid
{
    explicit ShownGrid(int rows) : model(rows)
    {
        grid.setModel(&model);
        grid.resize(400, 300);
        grid.show();
    }
    GrowingModel model;
    TLogGrid grid;
};

} // namespace

Q_DECLARE_METATYPE(Scroll)

class TestLogGridScrollBar : public QObject
{
    Q_OBJECT
private slots:
    // Rows before and after, where the grid then scrolls, and whether the thumb can look
    // different; the screen must always show the scroll bar as it is.
    void paintsOnlyWhenTheLookChanges_data()
    {
        QTest::addColumn<int>("before");
        QTest::addColumn<int>("startValue"); // -1: at the bottom
        QTest::addColumn<int>("after");
        QTest::addColumn<Scroll>("scroll");
        QTest::addColumn<bool>("mayPaint");
        QTest::newRow("large log, a row saved at the end") << 1000000 << -1 << 1000001 << ToBottom << false;
        QTest::newRow("large log, a row added, no scroll") << 1000000 << 500000 << 1000001 << Stay << false;
        QTest::newRow("large log, one row down in the middle") << 1000000 << 500000 << 1000000 << Down1 << false;
        QTest::newRow("large log, the last row deleted") << 1000000 << -1 << 999999 << ToBottom << true;
        QTest::newRow("large log, to the top") << 1000000 << -1 << 1000000 << ToTop << true;
        QTest::newRow("large log, one above the bottom to it") << 1000000 << -2 << 1000000 << ToBottom << true;
        QTest::newRow("small log, a row saved at the end") << 40 << -1 << 41 << ToBottom << true;
        QTest::newRow("small log, rows added") << 40 << 0 << 400 << Stay << true;
        QTest::newRow("rows that fit come to need a thumb") << 5 << 0 << 60 << ToBottom << true;
        QTest::newRow("every row deleted") << 60 << -1 << 0 << Stay << true;
        QTest::newRow("from empty to many") << 0 << 0 << 1000000 << ToBottom << true;
    }
    void paintsOnlyWhenTheLookChanges()
    {
        QFETCH(int, before);
        QFETCH(int, startValue);
        QFETCH(int, after);
        QFETCH(Scroll, scroll);
        QFETCH(bool, mayPaint);

        ShownGrid shown(before);
        GrowingModel &model = shown.model;
        TLogGrid &grid = shown.grid;
        QVERIFY(QTest::qWaitForWindowExposed(&grid));
        QScrollBar *bar = grid.verticalScrollBar();
        bar->setValue(startValue < 0 ? bar->maximum() + 1 + startValue : startValue);
        QCoreApplication::processEvents();
        if (bar->isVisible())
            QCOMPARE(onScreen(bar), freshlyPainted(bar));

        PaintCount paints(bar);
        model.setRows(after);
        grid.doItemsLayout();
        if (scroll == ToBottom)
            grid.scrollToBottom();
        else if (scroll == ToTop)
            grid.scrollToTop();
        else if (scroll == Down1)
            bar->setValue(bar->value() + 1);
        QCoreApplication::processEvents();
        QCoreApplication::processEvents();

        if (!mayPaint)
            QCOMPARE(paints.count, 0);
        if (bar->isVisible())
            QCOMPARE(onScreen(bar), freshlyPainted(bar));
    }

    // Changes that are not the thumb's still show: a disabled bar, the thumb at either end.
    void otherChangesStillShow()
    {
        ShownGrid shown(1000000);
        TLogGrid &grid = shown.grid;
        QVERIFY(QTest::qWaitForWindowExposed(&grid));
        QScrollBar *bar = grid.verticalScrollBar();
        QCoreApplication::processEvents();
        grid.setEnabled(false);
        QCoreApplication::processEvents();
        QCOMPARE(onScreen(bar), freshlyPainted(bar));
        grid.setEnabled(true);
        bar->setValue(bar->maximum());
        QCoreApplication::processEvents();
        QCOMPARE(onScreen(bar), freshlyPainted(bar));
        bar->setValue(0);
        QCoreApplication::processEvents();
        QCOMPARE(onScreen(bar), freshlyPainted(bar));
    }
};

QTEST_MAIN(TestLogGridScrollBar)
#include "tst_loggridscrollbar.moc"
