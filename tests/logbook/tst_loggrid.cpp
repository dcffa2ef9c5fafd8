#include "LogGrid.h"

#include <QAbstractTableModel>
#include <QScrollBar>
#include <QStandardItemModel>
#include <QTest>
#include <QWheelEvent>

namespace
{

// A light model of any size: row r holds r in every column.
class CountingModel : public QAbstractTableModel
{
public:
    explicit CountingModel(int rows) : m_rows(rows) {}
    int rowCount(const QModelIndex &parent = {}) const override { return parent.isValid() ? 0 : m_rows; }
    int columnCount(const QModelIndex &parent = {}) const override { return parent.isValid() ? 0 : 3; }
    QVariant data(const QModelIndex &index, int role) const override
    {
        return role == Qt::DisplayRole ? QVariant(index.row()) : QVariant();
    }

private:
    int m_rows;
};

// Hands out its rows in batches, as a query model over a large log may.
class LazyModel : public CountingModel
{
public:
    LazyModel() : CountingModel(1000) {}
    int rowCount(const QModelIndex &parent = {}) const override { return parent.isValid() ? 0 : m_loaded; }
    bool canFetchMore(const QModelIndex &) const override { return m_loaded < 1000; }
    void fetchMore(const QModelIndex &) override
    {
        beginInsertRows({}, m_loaded, m_loaded + 9);
        m_loaded += 10;
        endInsertRows();
    }

private:
    int m_loaded = 10;
};

void wheel(TLogGrid &grid, int dy)
{
    const QPointF pos(grid.viewport()->rect().center());
    QWheelEvent event(pos, grid.viewport()->mapToGlobal(pos), QPoint(), QPoint(0, dy), Qt::NoButton,
                      Qt::NoModifier, Qt::NoScrollPhase, false);
    QCoreApplication::sendEvent(grid.viewport(), &event);
}

QStandardItemModel *makeLog(QObject *parent, int rows)
{
    auto *model = new QStandardItemModel(rows, 3, parent);
    for (int r = 0; r < rows; ++r)
        model->setItem(r, 0, new QStandardItem(QString::number(r)));
    return model;
}

void showGrid(TLogGrid &grid)
{
    grid.resize(400, 300);
    grid.show();
    QVERIFY(QTest::qWaitForWindowExposed(&grid));
}

} // namespace

class TestLogGrid : public QObject
{
    Q_OBJECT
private slots:
    void wheelMovesOneRecordPerStep_data()
    {
        QTest::addColumn<int>("startRow");
        QTest::addColumn<QList<int>>("deltas");
        QTest::addColumn<int>("expectedRow");
        QTest::newRow("down") << 10 << QList<int>{-120} << 11;
        QTest::newRow("up") << 10 << QList<int>{120} << 9;
        QTest::newRow("three notches in one event") << 10 << QList<int>{-360} << 13;
        QTest::newRow("half notches add up") << 10 << QList<int>{-60, -60, -60} << 11;
        QTest::newRow("stops at the last row") << 199 << QList<int>{-120} << 199;
        QTest::newRow("stops at the first row") << 0 << QList<int>{240} << 0;
    }
    void wheelMovesOneRecordPerStep()
    {
        QFETCH(int, startRow);
        QFETCH(QList<int>, deltas);
        QFETCH(int, expectedRow);
        TLogGrid grid;
        grid.setModel(makeLog(&grid, 200));
        showGrid(grid);
        grid.setCurrentIndex(grid.model()->index(startRow, 0));
        for (int dy : deltas)
            wheel(grid, dy);
        QCOMPARE(grid.currentIndex().row(), expectedRow);
    }

    void wheelDoesNotScrollByPages()
    {
        TLogGrid grid;
        grid.setModel(makeLog(&grid, 200));
        showGrid(grid);
        grid.setCurrentIndex(grid.model()->index(0, 0));
        const int top = grid.verticalScrollBar()->value();
        wheel(grid, -120);
        // The current record moved within the screen; the view did not scroll.
        QCOMPARE(grid.verticalScrollBar()->value(), top);
        QCOMPARE(grid.Row(), 2);
    }

    void wheelKeepsCurrentRecordOnScreen()
    {
        TLogGrid grid;
        grid.setModel(makeLog(&grid, 200));
        showGrid(grid);
        grid.setCurrentIndex(grid.model()->index(0, 0));
        for (int i = 0; i < 50; ++i)
            wheel(grid, -120);
        QCOMPARE(grid.currentIndex().row(), 50);
        QVERIFY(grid.Row() >= 1);
    }

    void wheelWithoutCurrentRecordStartsAtFirst()
    {
        TLogGrid grid;
        grid.setModel(makeLog(&grid, 20));
        showGrid(grid);
        grid.selectionModel()->clearCurrentIndex();
        wheel(grid, -120);
        QCOMPARE(grid.currentIndex().row(), 0);
    }

    void wheelFetchesLazyRows()
    {
        TLogGrid grid;
        LazyModel model;
        grid.setModel(&model);
        showGrid(grid);
        grid.setCurrentIndex(model.index(model.rowCount() - 1, 0));
        const int last = grid.currentIndex().row();
        wheel(grid, -120);
        QCOMPARE(grid.currentIndex().row(), last + 1);
    }

    void wheelKeepsMarks()
    {
        TLogGrid grid;
        grid.setModel(makeLog(&grid, 50));
        grid.setSelectionBehavior(QAbstractItemView::SelectRows);
        grid.setSelectionMode(QAbstractItemView::MultiSelection);
        showGrid(grid);
        grid.selectRow(3);
        grid.selectRow(7);
        wheel(grid, -120);
        QCOMPARE(grid.currentIndex().row(), 8);
        QCOMPARE(grid.selectionModel()->selectedRows().size(), 2);
    }

    void thumbMovesRecord_data()
    {
        QTest::addColumn<int>("rows");
        QTest::addColumn<double>("fraction");
        QTest::addColumn<int>("expectedRow");
        QTest::newRow("top") << 1000 << 0.0 << 0;
        QTest::newRow("bottom") << 1000 << 1.0 << 999;
        QTest::newRow("middle") << 1001 << 0.5 << 500;
        QTest::newRow("just below the limit") << 65534 << 1.0 << 65533;
        QTest::newRow("at the limit: the view only scrolls") << 65535 << 1.0 << 5;
    }
    void thumbMovesRecord()
    {
        QFETCH(int, rows);
        QFETCH(double, fraction);
        QFETCH(int, expectedRow);
        TLogGrid grid;
        CountingModel model(rows);
        grid.setModel(&model);
        showGrid(grid);
        grid.setCurrentIndex(model.index(5, 0));
        QScrollBar *bar = grid.verticalScrollBar();
        bar->setValue(fraction > 0.5 ? 0 : bar->maximum()); // start away from the goal
        bar->setSliderDown(true);
        bar->setSliderPosition(int(std::lround(bar->maximum() * fraction)));
        bar->setSliderDown(false);
        QCOMPARE(grid.currentIndex().row(), expectedRow);
        QCOMPARE(bar->value(), int(std::lround(bar->maximum() * fraction))); // the thumb stays put
        if (rows < TLogGrid::ThumbTrackLimit)
            QVERIFY(grid.Row() >= 1); // the record is on screen
    }

    void plainScrollingLeavesRecord()
    {
        TLogGrid grid;
        CountingModel model(1000);
        grid.setModel(&model);
        showGrid(grid);
        grid.setCurrentIndex(model.index(5, 0));
        grid.verticalScrollBar()->setValue(300); // page keys, arrows of the bar
        QCOMPARE(grid.currentIndex().row(), 5);
    }

    void screenRows()
    {
        TLogGrid grid;
        CountingModel model(1000);
        grid.setModel(&model);
        showGrid(grid);
        const int visible = grid.VisibleRowCount();
        QVERIFY(visible > 3);
        QCOMPARE(grid.RowCount(), visible + 1);
        QCOMPARE(grid.viewport()->height() / grid.rowHeight(0), visible);

        grid.setCurrentIndex(model.index(500, 0));
        grid.ShowCurrentOnRow(3);
        QCOMPARE(grid.Row(), 3);
        QCOMPARE(grid.rowAt(0), 498);
        grid.ShowCurrentOnRow(1);
        QCOMPARE(grid.Row(), 1);

        // Near the start the rows before it do not allow the wanted screen row.
        grid.setCurrentIndex(model.index(1, 0));
        grid.ShowCurrentOnRow(5);
        QCOMPARE(grid.Row(), 2);
    }

    void fewRows()
    {
        TLogGrid grid;
        CountingModel model(2);
        grid.setModel(&model);
        showGrid(grid);
        QCOMPARE(grid.VisibleRowCount(), 2);
        QCOMPARE(grid.RowCount(), 3);
        grid.setCurrentIndex(model.index(1, 0));
        QCOMPARE(grid.Row(), 2);
        grid.selectionModel()->clearCurrentIndex();
        QCOMPARE(grid.Row(), 0); // no current record
    }
};

QTEST_MAIN(TestLogGrid)
#include "tst_loggrid.moc"
