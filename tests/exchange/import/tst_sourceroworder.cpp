// The order in which the imports read an older table's rows, against the plain rule
// stated over whole keys: by each key field in turn, no value (or one that cannot be
// read) first, then values of the field's type, then texts; equal keys in table order.

#include "import/SourceRowOrder.h"
#include "import/SourceTable.h"

#include <QDateTime>
#include <QRandomGenerator>
#include <QTest>

#include <algorithm>
#include <cmath>
#include <limits>
#include <numeric>

namespace {

// A table of given values; field 0 is the row's number in the table.
class TListTable : public TSourceTable
{
public:
    TListTable(QList<TSourceField> fields, QList<QVariantList> rows) : m_fields(std::move(fields)), m_rows(std::move(rows)) {}
    const QList<TSourceField> &Fields() const override { return m_fields; }
    int RowCount() const override { return int(m_rows.size()); }
    QVariantList Row(int row) const override { return m_rows.at(row); }
    QVariant Value(int row, int field) const override { return m_rows.at(row).at(field); }

private:
    QList<TSourceField> m_fields;
    QList<QVariantList> m_rows;
};

// The rule over whole keys, as the table's own database sorted.
QList<int> expectedOrder(const TSourceTable &table, const QStringList &keys)
{
    QList<int> fields;
    for (const QString &key : keys)
        fields << int(table.LowerFieldNames().indexOf(key));
    const auto keyOf = [&](int row, int field) -> std::pair<int, QVariant> {
        if (field < 0)
            return {0, {}};
        const QVariant v = table.Value(row, field);
        const bool bytes = v.typeId() == QMetaType::QByteArray;
        const char type = table.Fields()[field].type;
        if (v.isNull() || (bytes && type != 'A' && type != 'C' && type != 'M'))
            return {0, {}};
        return {bytes ? 2 : 1, v};
    };
    std::vector<int> order(size_t(table.RowCount()));
    std::iota(order.begin(), order.end(), 0);
    std::stable_sort(order.begin(), order.end(), [&](int a, int b) {
        for (int field : fields) {
            const auto ka = keyOf(a, field), kb = keyOf(b, field);
            if (ka.first != kb.first)
                return ka.first < kb.first;
            const QPartialOrdering c = QVariant::compare(ka.second, kb.second);
            if (c == QPartialOrdering::Less || c == QPartialOrdering::Greater)
                return c == QPartialOrdering::Less;
        }
        return false;
    });
    return QList<int>(order.begin(), order.end());
}

QList<int> order(const TSourceTable &table, const QStringList &keys)
{
    const TSourceRowOrder order(table, keys);
    QList<int> rows;
    for (qsizetype i = 0; i < order.Count(); ++i)
        rows << order.RowAt(i);
    return rows;
}

using Pool = QVariantList;
constexpr double Nan = std::numeric_limits<double>::quiet_NaN();
constexpr double Inf = std::numeric_limits<double>::infinity();
constexpr qint64 Big = std::numeric_limits<qint64>::max();

QVariant bytes(const char *text, int size = -1)
{
    return QByteArray(text, size < 0 ? int(qstrlen(text)) : size);
}

} // namespace


class TestSourceRowOrder : public QObject
{
    Q_OBJECT

private slots:
    void ordersAsWholeKeys_data();
    void ordersAsWholeKeys();
    void emptyAndSingleRowTables();
};

void TestSourceRowOrder::ordersAsWholeKeys_data()
{
    // Three key fields of the given types, each row's values drawn from the pools.
    QTest::addColumn<QByteArray>("types");
    QTest::addColumn<Pool>("first");
    QTest::addColumn<Pool>("second");
    QTest::addColumn<Pool>("third");
    QTest::addColumn<int>("rows");
    const QDate day(2006, 1, 15);
    const Pool days{day, day.addDays(1), day.addDays(-400), QVariant(), bytes("2006xx01"), day.addDays(9000)};
    const Pool texts{bytes("12:30"), bytes("12:3"), bytes("12:05"), bytes("12:"), bytes("1"), bytes(""),
                     bytes("12\0", 3), bytes("12\0\0", 4), bytes("\xe8\xe1ra"), bytes("\x7f"), QVariant(),
                     bytes("12:30x"), bytes("12:30:01"), bytes("12:30:0"), bytes("12:30:01\0", 9),
                     bytes("12:30:01\xff"), bytes("12:30:012"), QByteArray(40, 'x') + "b",
                     QByteArray(40, 'x') + "a", QByteArray(40, 'x'), QByteArray(29, 'x') + "a", QByteArray(30, 'x')};
    const Pool times{QTime(0, 0), QTime(23, 59, 59, 999), QTime(12, 30), QTime(12, 30, 0, 1), QVariant()};
    const Pool numbers{qint64(1), qint64(2), qint64(-3), qint64(0), qint64(1) << 29, -(qint64(1) << 29),
                       (qint64(1) << 29) + 1, Big, -Big - 1, QVariant()};
    const Pool doubles{0.0, -0.0, 0.5, 0.25, -0.5, -1.0, 1e300, -1e300, Inf, -Inf, 7.01, 7.0100001, 536870912.5,
                       -536870912.5, QVariant(), bytes("abc")};
    const Pool stamps{QDateTime(day, QTime(1, 0)), QDateTime(day, QTime(0, 59)), QDateTime(day.addDays(-1), QTime(23, 0)),
                      QVariant()};
    const Pool farDates{QDate(-4713, 1, 1), QDate(-5000, 6, 1), QDate::fromJulianDay(qint64(1) << 30),
                        QDate::fromJulianDay((qint64(1) << 30) + 5), QDate::fromJulianDay((qint64(1) << 30) - 1),
                        QDate::fromJulianDay(1), QDate::fromJulianDay(0), QDate(2006, 1, 1)};
    const Pool bools{true, false, QVariant()};
    QTest::newRow("dBase: dates, then texts") << QByteArray("DCN") << days << texts << doubles << 400;
    QTest::newRow("old table: date, time, number") << QByteArray("DT+") << days << times << numbers << 400;
    QTest::newRow("one day, then times") << QByteArray("DT+") << Pool{day} << times << numbers << 300;
    QTest::newRow("texts first") << QByteArray("ADL") << texts << days << bools << 400;
    QTest::newRow("numbers at their extremes") << QByteArray("+ND") << numbers << doubles << days << 400;
    QTest::newRow("fractions and infinities first") << QByteArray("NTA") << doubles << times << texts << 400;
    QTest::newRow("timestamps") << QByteArray("@+A") << stamps << numbers << texts << 300;
    QTest::newRow("dates beyond the usual range") << QByteArray("DA+") << farDates << texts << numbers << 300;
    QTest::newRow("logical first") << QByteArray("LDT") << bools << days << times << 300;
    QTest::newRow("unreadable text in a number field") << QByteArray("NDA") << Pool{bytes("x"), 1.0, QVariant()}
                                                        << days << texts << 200;
    QTest::newRow("NaN first") << QByteArray("NDT") << Pool{Nan, 1.0, 2.0, -1.0, QVariant()} << days << times << 300;
    QTest::newRow("NaN later") << QByteArray("DNT") << Pool{day} << Pool{Nan, 1.0, 2.0} << times << 300;
    QTest::newRow("types mixed in the first field") << QByteArray("NDT") << Pool{qint64(2), 1.5, day, QVariant()}
                                                     << days << times << 300;
    QTest::newRow("types mixed in a later field") << QByteArray("DNT") << Pool{day, day.addDays(1)}
                                                   << Pool{qint64(2), 1.5, QTime(1, 0)} << times << 300;
    QTest::newRow("memo texts") << QByteArray("MD+") << texts << days << numbers << 300;
}

void TestSourceRowOrder::ordersAsWholeKeys()
{
    QFETCH(QByteArray, types);
    QFETCH(Pool, first);
    QFETCH(Pool, second);
    QFETCH(Pool, third);
    QFETCH(int, rows);
    const QList<TSourceField> fields{{"CISLO", 'I', 4}, {"A", types[0], 8}, {"B", types[1], 8}, {"C", types[2], 8}};
    const QList<Pool> pools{first, second, third};
    QRandomGenerator random(quint32(qHash(QTest::currentDataTag())));
    QList<QVariantList> values;
    for (int r = 0; r < rows; ++r) {
        QVariantList row{qint64(r)};
        for (const Pool &pool : pools)
            row << pool[random.bounded(int(pool.size()))];
        values << row;
    }
    const TListTable table(fields, values);
    for (const QStringList &keys : {QStringList{"a", "b", "c"}, QStringList{"b", "a"}, QStringList{"c"},
                                    QStringList{"a", "missing", "c"}, QStringList{}})
        QCOMPARE(order(table, keys), expectedOrder(table, keys));
}

void TestSourceRowOrder::emptyAndSingleRowTables()
{
    const QList<TSourceField> fields{{"datum", 'D', 4}, {"utc", 'T', 4}};
    QCOMPARE(order(TListTable(fields, {}), {"datum", "utc"}), QList<int>());
    QCOMPARE(order(TListTable(fields, {{QDate(2006, 1, 1), QTime(1, 0)}}), {"datum", "utc"}), QList<int>{0});
    QCOMPARE(order(TListTable(fields, {{Nan, QTime(1, 0)}}), {"datum", "utc"}), QList<int>{0});
}

QTEST_GUILESS_MAIN(TestSourceRowOrder)
#include "tst_sourceroworder.moc"
