#include "LogGridDelegate.h"

#include <QPainter>
#include <QStandardItemModel>
#include <QStyledItemDelegate>
#include <QTableView>
#include <QTest>

namespace
{

const QColor Paper(250, 250, 250);

// Where a cell image differs from its background.
QRect inkOf(const QImage &image, const QColor &background)
{
    QRect box;
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x)
            if (image.pixelColor(x, y) != background)
                box |= QRect(x, y, 1, 1);
    return box;
}

} // namespace

// The grid's delegate must show a cell as the standard delegate does: the same colours,
// the text at the same place, cut where the standard one cuts it; cells it does not draw
// itself must come out exactly as the standard delegate draws them.
class TestLogGridDelegate : public QObject
{
    Q_OBJECT

    QTableView m_view;
    QStandardItemModel m_model{1, 1};
    TLogGridDelegate m_lean;
    QStyledItemDelegate m_standard;

    QStandardItem *item() { return m_model.item(0, 0); }

    QImage paint(const QStyledItemDelegate &delegate, const QSize &size, QStyle::State extra = {})
    {
        QImage image(size, QImage::Format_RGB32);
        image.fill(Paper);
        QStyleOptionViewItem option;
        option.initFrom(&m_view);
        option.widget = &m_view;
        option.rect = QRect(QPoint(0, 0), size);
        option.font = m_view.font();
        option.fontMetrics = QFontMetrics(option.font);
        option.textElideMode = Qt::ElideRight;
        option.state |= QStyle::State_Enabled | QStyle::State_Active | extra;
        QPainter painter(&image);
        delegate.paint(&painter, option, m_model.index(0, 0));
        return image;
    }

private slots:
    void init()
    {
        m_model.setItem(0, 0, new QStandardItem);
        m_view.setModel(&m_model);
        m_view.setFont(QFont(QStringLiteral("DejaVu Sans"), 10));
    }

    void textWhereTheStandardDelegatePutsIt_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<int>("alignment");
        QTest::addColumn<int>("width");
        const int left = Qt::AlignLeft | Qt::AlignVCenter;
        const int right = Qt::AlignRight | Qt::AlignVCenter;
        const int centre = Qt::AlignHCenter | Qt::AlignVCenter;
        QTest::newRow("call, left") << "OK1ABC" << left << 120;
        QTest::newRow("frequency, right") << "14,025" << right << 120;
        QTest::newRow("mode, centred") << "SSB" << centre << 120;
        QTest::newRow("top aligned") << "59" << int(Qt::AlignRight | Qt::AlignTop) << 60;
        QTest::newRow("accents") << "Žluťoučký kůň" << left << 160;
        QTest::newRow("cut, left") << "A note far too long for its narrow column" << left << 90;
        QTest::newRow("cut, right") << "A note far too long for its narrow column" << right << 90;
        QTest::newRow("exactly filling") << "MMMMMMMMMM" << left << 40;
        QTest::newRow("one letter in a tiny column") << "W" << left << 6;
    }
    void textWhereTheStandardDelegatePutsIt()
    {
        QFETCH(QString, text);
        QFETCH(int, alignment);
        QFETCH(int, width);
        item()->setText(text);
        item()->setTextAlignment(Qt::Alignment(alignment));
        const QSize size(width, 20);
        const QRect lean = inkOf(paint(m_lean, size), Paper);
        const QRect standard = inkOf(paint(m_standard, size), Paper);
        QCOMPARE(lean.isEmpty(), standard.isEmpty());
        // Glyphs may be smoothed a little differently, never placed elsewhere.
        QVERIFY2(std::abs(lean.left() - standard.left()) <= 1 && std::abs(lean.right() - standard.right()) <= 1
                     && std::abs(lean.top() - standard.top()) <= 1 && std::abs(lean.bottom() - standard.bottom()) <= 1,
                 qPrintable(QStringLiteral("lean %1,%2 %3x%4, standard %5,%6 %7x%8")
                                .arg(lean.x()).arg(lean.y()).arg(lean.width()).arg(lean.height())
                                .arg(standard.x()).arg(standard.y()).arg(standard.width()).arg(standard.height())));
        QVERIFY(QRect(QPoint(0, 0), size).contains(lean));
    }

    void coloursOfTheModel_data()
    {
        QTest::addColumn<QColor>("background");
        QTest::addColumn<QColor>("foreground");
        QTest::newRow("current row") << QColor(10, 36, 106) << QColor(255, 255, 255);
        QTest::newRow("marked row") << QColor(255, 255, 0) << QColor(0, 0, 0);
        QTest::newRow("marked current row") << QColor(10, 36, 106) << QColor(255, 255, 0);
    }
    void coloursOfTheModel()
    {
        QFETCH(QColor, background);
        QFETCH(QColor, foreground);
        item()->setText(QStringLiteral("OK1ABC"));
        item()->setBackground(background);
        item()->setForeground(foreground);
        const QImage lean = paint(m_lean, QSize(100, 20));
        const QImage standard = paint(m_standard, QSize(100, 20));
        QCOMPARE(lean.pixelColor(0, 0), background);
        QCOMPARE(lean.pixelColor(99, 19), background);
        QCOMPARE(lean.pixelColor(0, 0), standard.pixelColor(0, 0));
        // The text's solid pixels are in the foreground colour.
        const QRect ink = inkOf(lean, background);
        QVERIFY(!ink.isEmpty());
        bool solid = false;
        for (int y = ink.top(); y <= ink.bottom(); ++y)
            for (int x = ink.left(); x <= ink.right(); ++x)
                solid = solid || lean.pixelColor(x, y) == foreground;
        QVERIFY(solid);
    }

    void withoutColoursTheTextIsThePalettes()
    {
        item()->setText(QStringLiteral("DL1ABC"));
        const QImage lean = paint(m_lean, QSize(100, 20));
        const QColor text = m_view.palette().color(QPalette::Active, QPalette::Text);
        bool found = false;
        for (int y = 0; y < lean.height(); ++y)
            for (int x = 0; x < lean.width(); ++x)
                found = found || lean.pixelColor(x, y) == text;
        QVERIFY(found);
        QCOMPARE(lean.pixelColor(0, 0), Paper); // no background of its own
    }

    // Cells drawn by the standard delegate itself: pixel for pixel the same.
    void othersAsTheStandardDelegate_data()
    {
        QTest::addColumn<QString>("kind");
        QTest::newRow("two lines") << "lines";
        QTest::newRow("line separator") << "separator";
        QTest::newRow("check box") << "check";
        QTest::newRow("icon") << "icon";
        QTest::newRow("selected") << "selected";
        QTest::newRow("focus frame, no text") << "focus";
    }
    void othersAsTheStandardDelegate()
    {
        QFETCH(QString, kind);
        QStyle::State extra;
        item()->setText(QStringLiteral("OK1ABC"));
        if (kind == "lines") {
            item()->setText(QStringLiteral("first\nsecond"));
        } else if (kind == "separator") {
            item()->setText(QStringLiteral("first") + QChar(QChar::LineSeparator) + QStringLiteral("second"));
        } else if (kind == "check") {
            item()->setCheckable(true);
            item()->setCheckState(Qt::Checked);
        } else if (kind == "icon") {
            QPixmap pixmap(8, 8);
            pixmap.fill(Qt::red);
            item()->setIcon(QIcon(pixmap));
        } else if (kind == "selected") {
            extra = QStyle::State_Selected;
        } else {
            item()->setText(QString());
            item()->setBackground(QColor(10, 36, 106));
            extra = QStyle::State_HasFocus;
        }
        const QImage lean = paint(m_lean, QSize(120, 40), extra);
        QCOMPARE(lean, paint(m_standard, QSize(120, 40), extra));
        QVERIFY(inkOf(lean, Paper).isValid());
    }

    void focusFrameAroundText()
    {
        item()->setText(QStringLiteral("OK1ABC"));
        const QImage plain = paint(m_lean, QSize(100, 20));
        const QImage focused = paint(m_lean, QSize(100, 20), QStyle::State_HasFocus);
        const QImage standard = paint(m_standard, QSize(100, 20), QStyle::State_HasFocus);
        // The frame runs along the edges, where the text never is.
        for (const QPoint &p : {QPoint(50, 0), QPoint(50, 19), QPoint(0, 10), QPoint(99, 10)}) {
            QCOMPARE(focused.pixelColor(p), standard.pixelColor(p));
            QCOMPARE(plain.pixelColor(p), Paper);
        }
        QVERIFY(focused != plain);
    }

    // The texts kept laid out belong to a font: a larger font must not show the smaller
    // one's layout.
    void anotherFontLaysOutAgain()
    {
        item()->setText(QStringLiteral("OK1ABC"));
        const QRect small = inkOf(paint(m_lean, QSize(200, 40)), Paper);
        m_view.setFont(QFont(QStringLiteral("DejaVu Sans"), 20));
        const QRect large = inkOf(paint(m_lean, QSize(200, 40)), Paper);
        const QRect standard = inkOf(paint(m_standard, QSize(200, 40)), Paper);
        QVERIFY(large.width() > small.width() * 3 / 2);
        QVERIFY(std::abs(large.width() - standard.width()) <= 1);
        m_view.setFont(QFont(QStringLiteral("DejaVu Sans"), 10));
        QCOMPARE(inkOf(paint(m_lean, QSize(200, 40)), Paper), small);
    }

    // A text cut in a narrow column is not the whole text when the column widens.
    void cutTextsAreKeptApart()
    {
        const QString text = QStringLiteral("Poznámka, která se do úzkého sloupce nevejde");
        item()->setText(text);
        const QRect narrow = inkOf(paint(m_lean, QSize(80, 20)), Paper);
        const QRect wide = inkOf(paint(m_lean, QSize(400, 20)), Paper);
        QVERIFY(narrow.right() < 80);
        QVERIFY(wide.width() > narrow.width() * 3);
        QCOMPARE(inkOf(paint(m_lean, QSize(80, 20)), Paper), narrow);
    }
};

QTEST_MAIN(TestLogGridDelegate)
#include "tst_loggriddelegate.moc"
