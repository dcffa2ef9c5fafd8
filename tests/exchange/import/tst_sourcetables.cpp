// The readers of the two older table formats: Paradox tables written here and by other
// programs, dBase tables written by shapelib and by other programs, refusals of what is
// not a readable table, and a fuzz run over damaged copies.

#include "import/DbfTable.h"
#include "base/FileError.h"
#include "import/ParadoxTable.h"
#include "ParadoxWriter.h"
#include "TestFiles.h"

#include <QElapsedTimer>
#include <QRandomGenerator>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QTest>

#include <cmath>

#include <shapefil.h>

namespace {

const QString Samples = QStringLiteral(VELKOR_SOURCE_DIR "/../shared/samples/");

QString fieldList(const TSourceTable &table)
{
    QStringList fields;
    for (const TSourceField &f : table.Fields())
        fields << QStringLiteral("%1:%2%3").arg(f.name).arg(QChar(f.type)).arg(f.size);
    return fields.join(QStringLiteral(", "));
}

QString shown(const QVariant &value)
{
    return value.typeId() == QMetaType::QByteArray ? QString::fromLatin1(value.toByteArray()) : value.toString();
}

bool sameValue(const QVariant &a, const QVariant &b)
{
    const bool nan = a.typeId() == QMetaType::Double && std::isnan(a.toDouble()) && std::isnan(b.toDouble());
    return a.typeId() == b.typeId() && a.isNull() == b.isNull() && (a == b || nan);
}

// Whether every value read alone, the rows taken last to first, is the value of its row.
bool valuesMatchRows(const TSourceTable &table)
{
    for (int row = table.RowCount() - 1; row >= 0; --row) {
        const QVariantList values = table.Row(row);
        for (int field = int(values.size()) - 1; field >= 0; --field)
            if (!sameValue(table.Value(row, field), values[field]))
                return false;
    }
    return true;
}

// Opens the table and reads every row; true when it read, false when it was refused.
// Whatever is read, each value read alone must be the same.
template <typename Table>
bool readAll(const QString &path)
{
    try {
        Table table(path);
        for (int row = 0; row < table.RowCount(); ++row)
            table.Row(row);
        if (!valuesMatchRows(table))
            QTest::qFail("a value read alone differs from its row", __FILE__, __LINE__);
        return true;
    } catch (const EFileError &e) {
        if (e.message() != SourceTableUnreadableText())
            QTest::qFail("unexpected message", __FILE__, __LINE__);
        return false;
    }
}

const QList<ParadoxField> LogFields{{"cislo", '+', 4}, {"datum", 'D', 4}, {"utc", 'T', 4},   {"call", 'A', 15},
                                    {"mhz", 'N', 8},   {"qsl_o", 'L', 1}, {"pwr", 'S', 2},   {"vzdal", 'I', 4},
                                    {"cas", '@', 8},   {"poznamka", 'M', 20}};

} // namespace

class TestSourceTables : public QObject
{
    Q_OBJECT

private slots:
    void paradoxRoundTrip();
    void paradoxMemoFileMissingOrDamaged();
    void paradoxSamples_data();
    void paradoxSamples();
    void refusedSamples_data();
    void refusedSamples();
    void dbfWrittenByShapelib();
    void dbfSamples_data();
    void dbfSamples();
    void fuzzDamagedCopies();

private:
    QTemporaryDir m_dir;
};

void TestSourceTables::paradoxRoundTrip()
{
    const QDateTime stamp(QDate(2007, 3, 4), QTime(23, 59, 58, 500));
    const QList<QVariantList> rows{
        {1, QDate(2006, 1, 2), QTime(0, 0), QByteArray("OK1ABC"), 14.0235, true, 100, 1234567, stamp,
         QByteArray("krátká")},
        {2, QDate(1, 1, 1), QTime(23, 59, 59), QByteArray("\xe8\xe1ra"), -3.5, false, -1, -70000, QVariant(),
         QByteArray(5000, 'x')},
        {3, QVariant(), QVariant(), QVariant(), 0.0, QVariant(), 0, 0, QVariant(), QVariant()},
    };
    QList<QVariantList> many = rows;
    for (int i = 4; i <= 200; ++i) // several blocks
        many.append({i, QDate(2006, 5, 1).addDays(i), QTime(12, 0), QByteArray("DL1XX"), 7.0 + i, i % 2 == 0,
                     i, i * 1000, QVariant(), QByteArray("n") + QByteArray::number(i)});
    const QString path = m_dir.filePath("ROUND.db");
    QVERIFY(ParadoxWriter::write(path, LogFields, many));
    TParadoxTable table(path);
    QCOMPARE(table.Version(), 0x0C);
    QCOMPARE(table.CodePage(), 1250);
    QCOMPARE(table.RowCount(), 200);
    QCOMPARE(table.LowerFieldNames().join(','), QStringLiteral("cislo,datum,utc,call,mhz,qsl_o,pwr,vzdal,cas,poznamka"));
    for (int r = 0; r < 3; ++r) {
        const QVariantList values = table.Row(r);
        for (int f = 0; f < LogFields.size(); ++f) {
            const QVariant expected = rows[r][f];
            if (expected.isNull() || (LogFields[f].type == 'M' && expected.toByteArray().isEmpty()))
                QVERIFY2(values[f].isNull(), qPrintable(QStringLiteral("row %1 field %2").arg(r).arg(f)));
            else
                QCOMPARE(shown(values[f]), shown(expected));
        }
    }
    QCOMPARE(table.Row(199)[0].toLongLong(), 200);
    QVERIFY(valuesMatchRows(table));
    QCOMPARE(table.Row(199)[9].toByteArray(), QByteArray("n200"));
}

void TestSourceTables::paradoxMemoFileMissingOrDamaged()
{
    const QString path = m_dir.filePath("MEMO.db");
    QVERIFY(ParadoxWriter::write(path, LogFields, {{1, QDate(2006, 1, 2), QTime(1, 0), QByteArray("OK1A"), 7.0, true,
                                                     5, 5, QVariant(), QByteArray(300, 'm')}}));
    const QString memo = m_dir.filePath("MEMO.mb");
    const QByteArray good = ReadTestFile(memo);
    QVERIFY(readAll<TParadoxTable>(path));
    QVERIFY(WriteTestFile(memo, good.left(4096 + 100))); // the memo's block cut short
    QVERIFY(!readAll<TParadoxTable>(path));
    QByteArray wrongType = good;
    wrongType[4096] = 7;
    QVERIFY(WriteTestFile(memo, wrongType));
    QVERIFY(!readAll<TParadoxTable>(path));
    QVERIFY(QFile::remove(memo));
    QVERIFY(!readAll<TParadoxTable>(path));
}

void TestSourceTables::paradoxSamples_data()
{
    QTest::addColumn<QString>("file");
    QTest::addColumn<int>("rows");
    QTest::addColumn<QString>("fields");
    QTest::addColumn<int>("row");
    QTest::addColumn<QStringList>("values");
    QTest::newRow("3.0 non-indexed") << "areas/AREACODE.DB" << 239 << "1:A3, AC:A3, Country:A20, State:A21, St:A4, Desc:A55"
                                     << 0 << QStringList{"011", "20", "Egypt", "", "", ""};
    QTest::newRow("4.x 43185 rows") << "areas/ZIPCODES.DB" << 43185 << "Zip:A5, State:A2, City:A25" << 1
                                    << QStringList{"00501", "NY", "Holtsville"};
    QTest::newRow("7.x memo and date") << "db/CUSTOMER.DB" << 20
                                       << "CustNo:+4, FirstName:A51, LastName:A50, EMail:A100, Street:A30, City:A15, "
                                          "State/Prov:A20, Zip/Postal Code:A10, Comments:M110, DateEntered:D4"
                                       << 0
                                       << QStringList{"1", "Luke", "Justice", "luke@fun.com", "4-976 Sugarloaf Hwy",
                                                      "Santa Cruz", "CA", "94766", "Small comment (less 100 symbols)",
                                                      "1996-02-02"};
    QTest::newRow("negative numbers") << "db/DECIMAL.DB" << 9 << "DECIMAL:N8" << 0 << QStringList{"-200"};
    QTest::newRow("long and money") << "db/GENERAL.DB" << 3 << "ID:I4, NAME:A25, MONEYS:$8" << 2
                                    << QStringList{"333333333", "Elizabet", "75"};
    QTest::newRow("dates 3.5") << "fields/date35.db" << 3 << "DATE:D4" << 1 << QStringList{"2018-02-01"};
    QTest::newRow("date and time") << "fields/date5.db" << 3 << "DATE:D4, TIME:T4" << 2
                                   << QStringList{"2018-01-02", "09:25:25.000"};
    QTest::newRow("empty time") << "fields/time.db" << 3 << "Time:T4" << 1 << QStringList{""};
    QTest::newRow("timestamp") << "fields/timestamp.db" << 2 << "Timestamp:@8" << 1
                               << QStringList{"2020-02-01T01:00:01.000"};
    QTest::newRow("logical") << "fields/logical.db" << 4 << "BOOL:L1" << 1 << QStringList{"false"};
    QTest::newRow("auto-increment, empty long") << "fields/long.db" << 3 << "Id:+4, LONG:I4" << 2
                                                << QStringList{"3", ""};
    QTest::newRow("short, 16 KB blocks") << "geog/tblsttes.DB" << 58
                                         << "State:A2, Time Zone:A50, Full State Name:A30, Capital:A14, Year Settled:A255, "
                                            "Date Admitted:D4, Admitted Order:S2, Long:S2, Wide:S2, Area SQ MI Land:I4, "
                                            "Area SQ MI Water:I4, Area SQ MI Land + Water:I4, Rank in Area:I4"
                                         << 1
                                         << QStringList{"AL", "Central", "Alabama", "Montgomery", "1702", "1819-12-14",
                                                        "22", "330", "190", "50750", "1673", "52423", "30"};
    QTest::newRow("empty table") << "joins/primary.db" << 0 << "ID:+4, Name:A50" << -1 << QStringList{};
    QTest::newRow("memo in its own block") << "fields/memo.db" << 2 << "Id:+4, MEMO:M250" << 1
                                           << QStringList{"2", "01234567890\n"};
}

void TestSourceTables::paradoxSamples()
{
    QFETCH(QString, file);
    if (!QFile::exists(Samples + "leonhad+paradoxdriver/" + file))
        QSKIP("sample files absent");
    TParadoxTable table(Samples + "leonhad+paradoxdriver/" + file);
    QTEST(table.RowCount(), "rows");
    QTEST(fieldList(table), "fields");
    QVERIFY(valuesMatchRows(table));
    QFETCH(int, row);
    if (row < 0)
        return;
    QFETCH(QStringList, values);
    QStringList actual;
    for (const QVariant &value : table.Row(row))
        actual << shown(value);
    QCOMPARE(actual, values);
}

void TestSourceTables::refusedSamples_data()
{
    QTest::addColumn<QString>("file");
    QTest::addColumn<bool>("paradox");
    QTest::newRow("encrypted 5.x") << "leonhad+paradoxdriver/encrypt/encrypted.db" << true;
    QTest::newRow("encrypted 3.5") << "leonhad+paradoxdriver/encrypt/encrypted35.db" << true;
    QTest::newRow("encrypted memo") << "leonhad+paradoxdriver/encrypt/encryptedmemo.db" << true;
    QTest::newRow("primary index") << "leonhad+paradoxdriver/db/GENERAL.PX" << true;
    QTest::newRow("dBase table as Paradox") << "infused+dbf/dbase_03.dbf" << true;
    QTest::newRow("dBase II") << "infused+dbf/dbase_02.dbf" << false;
    QTest::newRow("Paradox table as dBase") << "leonhad+paradoxdriver/db/ORDERS.DB" << false;
    QTest::newRow("ADIF as dBase") << "farmergreg+adif-benchmark/N3FJP-AClogAdif.adi" << false;
}

void TestSourceTables::refusedSamples()
{
    QFETCH(QString, file);
    QFETCH(bool, paradox);
    if (!QFile::exists(Samples + file))
        QSKIP("sample files absent");
    QVERIFY(!(paradox ? readAll<TParadoxTable>(Samples + file) : readAll<TDbfTable>(Samples + file)));
}

void TestSourceTables::dbfWrittenByShapelib()
{
    const QString path = m_dir.filePath("denik.dbf");
    DBFHandle dbf = DBFCreate(QFile::encodeName(path).constData());
    QVERIFY(dbf);
    DBFAddNativeFieldType(dbf, "DATUM", 'D', 8, 0);
    DBFAddField(dbf, "ZNACKA", FTString, 15, 0);
    DBFAddField(dbf, "KMITOCET", FTDouble, 10, 4);
    DBFAddNativeFieldType(dbf, "QSLO", 'L', 1, 0);
    char date[] = "20060102", badDate[] = "2006xx02"; // dates are written as they stand
    DBFWriteAttributeDirectly(dbf, 0, 0, date);
    DBFWriteStringAttribute(dbf, 0, 1, "OK1ABC");
    DBFWriteDoubleAttribute(dbf, 0, 2, 14.025);
    DBFWriteLogicalAttribute(dbf, 0, 3, 'T');
    DBFWriteAttributeDirectly(dbf, 1, 0, badDate);
    DBFWriteStringAttribute(dbf, 1, 1, "\xe8\xe1ra");
    DBFWriteNULLAttribute(dbf, 1, 2);
    DBFWriteLogicalAttribute(dbf, 1, 3, 'F');
    DBFWriteStringAttribute(dbf, 2, 1, "smazany");
    DBFMarkRecordDeleted(dbf, 2, 1);
    DBFClose(dbf);
    TDbfTable table(path);
    QCOMPARE(table.LowerFieldNames(), (QStringList{"datum", "znacka", "kmitocet", "qslo"}));
    QCOMPARE(table.RowCount(), 2); // the deleted row is left out
    const QVariantList first = table.Row(0), second = table.Row(1);
    QCOMPARE(shown(first[0]), QStringLiteral("2006-01-02"));
    QCOMPARE(first[1].toByteArray(), QByteArray("OK1ABC"));
    QCOMPARE(first[2].toDouble(), 14.025);
    QCOMPARE(first[3].toBool(), true);
    QCOMPARE(second[0].typeId(), QMetaType::QByteArray); // an unreadable date comes as its text
    QCOMPARE(second[0].toByteArray(), QByteArray("2006xx02"));
    QCOMPARE(second[1].toByteArray(), QByteArray("\xe8\xe1ra"));
    QVERIFY(second[2].isNull());
    QCOMPARE(second[3].toBool(), false);
    QVERIFY(valuesMatchRows(table));
}

void TestSourceTables::dbfSamples_data()
{
    QTest::addColumn<QString>("file");
    QTest::addColumn<int>("rows");
    QTest::addColumn<QString>("fields");
    QTest::addColumn<QStringList>("values");
    QTest::newRow("dBase IV") << "infused+dbf/dbase_8b.dbf" << 10
                              << "CHARACTER:C100, NUMERICAL:N20, DATE:D8, LOGICAL:L1, FLOAT:F20, MEMO:M10"
                              << QStringList{"One", "1", "1970-01-01", "true", "1.23456789012346", ""};
    QTest::newRow("dBase III memo") << "infused+dbf/dbase_83.dbf" << 67 << "" << QStringList{"87", "2"};
    QTest::newRow("no terminator") << "albfernandez+javadbf/continents_no_header_record_terminator.dbf" << 7
                                   << "name:C80" << QStringList{"North America"};
    QTest::newRow("FoxPro") << "infused+dbf/cp1251.dbf" << 4 << "RN:N4, NAME:C100" << QStringList{"1"};
}

void TestSourceTables::dbfSamples()
{
    QFETCH(QString, file);
    QFETCH(QString, fields);
    QFETCH(QStringList, values);
    if (!QFile::exists(Samples + file))
        QSKIP("sample files absent");
    TDbfTable table(Samples + file);
    QTEST(table.RowCount(), "rows");
    QVERIFY(valuesMatchRows(table));
    if (!fields.isEmpty())
        QCOMPARE(fieldList(table), fields);
    const QVariantList row = table.Row(0);
    for (int i = 0; i < values.size(); ++i)
        QCOMPARE(shown(row[i]), values[i]);
}

void TestSourceTables::fuzzDamagedCopies()
{
    QStringList sources{m_dir.filePath("FUZZ.db")};
    QVERIFY(ParadoxWriter::write(sources[0], LogFields, {{1, QDate(2006, 1, 2), QTime(1, 0), QByteArray("OK1A"), 7.0,
                                                          true, 5, 5, QVariant(), QByteArray(300, 'm')},
                                                         {2, QVariant(), QVariant(), QVariant(), 3.5, false, 1, 1,
                                                          QVariant(), QByteArray("kratka")}}));
    for (const char *sample : {"leonhad+paradoxdriver/db/CUSTOMER.DB", "leonhad+paradoxdriver/fields/memo.db",
                               "leonhad+paradoxdriver/geog/tblsttes.DB", "infused+dbf/dbase_8b.dbf",
                               "infused+dbf/dbase_03.dbf"})
        if (QFile::exists(Samples + sample))
            sources << Samples + sample;
    QRandomGenerator random(4242);
    QElapsedTimer timer;
    timer.start();
    int refused = 0, read = 0;
    for (const QString &source : std::as_const(sources)) {
        const bool paradox = !source.endsWith(".dbf");
        const QByteArray original = ReadTestFile(source);
        const QString memo = QString(source).replace(QRegularExpression("\\.(db|DB)$"), paradox && source.endsWith(".DB") ? ".MB" : ".mb");
        const QByteArray memoBytes = QFile::exists(memo) ? ReadTestFile(memo) : QByteArray();
        const QString copy = m_dir.filePath(paradox ? "COPY.db" : "copy.dbf");
        for (int round = 0; round < 100; ++round) {
            QByteArray damaged = original;
            QByteArray damagedMemo = memoBytes;
            QByteArray &target = !memoBytes.isEmpty() && round % 4 == 3 ? damagedMemo : damaged;
            if (round % 5 == 0) {
                target.truncate(random.bounded(target.size() + 1));
            } else {
                const int flips = 1 + random.bounded(8);
                const int span = std::min<int>(target.size(), round % 2 ? 4096 : int(target.size()));
                for (int i = 0; i < flips && span > 0; ++i)
                    target[random.bounded(span)] = char(random.bounded(256));
            }
            QVERIFY(WriteTestFile(copy, damaged));
            if (paradox)
                QVERIFY(WriteTestFile(m_dir.filePath("COPY.mb"), damagedMemo));
            (paradox ? readAll<TParadoxTable>(copy) : readAll<TDbfTable>(copy)) ? ++read : ++refused;
        }
    }
    qInfo("fuzz: %d copies read, %d refused, %lld ms", read, refused, timer.elapsed());
    QVERIFY(refused > 0 && read > 0);
}

QTEST_GUILESS_MAIN(TestSourceTables)
#include "tst_sourcetables.moc"
