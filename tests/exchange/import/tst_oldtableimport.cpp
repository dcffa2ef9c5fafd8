// The imports of the two older log tables: the other logbook's denik.dbf (written here
// with shapelib) and an old log table of this program (written with the test's Paradox
// writer), mapped into the staging table, and the checks before the review.

#include "radio/Amater.h"
#include "import/DbfTable.h"
#include "import/ImportCommands.h"
#include "ImportTestSupport.h"
#include "import/ImportWindow.h"
#include "ImportWindowFixture.h"
#include "import/OldTableImport.h"
#include "import/ParadoxTable.h"
#include "ParadoxWriter.h"
#include "FileDialogs.h"
#include "base/FileError.h"
#include "base/VelkorError.h"

#include <QRandomGenerator>
#include <QTest>

#include <numeric>
#include <tuple>

#include <shapefil.h>

namespace {

using Row = QMap<QString, QByteArray>;

// denik.dbf with the other logbook's fields (upper-case names, as dBase writes them) or
// the given ones; every value is written as its raw text.
bool writeDenik(const QString &path, const QList<Row> &rows, QStringList names = TrevanFieldNames)
{
    DBFHandle dbf = DBFCreate(QFile::encodeName(path).constData());
    if (!dbf)
        return false;
    for (const QString &name : names) {
        const QByteArray upper = name.toUpper().toLatin1();
        if (name == "datum" || name == "idx_datum")
            DBFAddNativeFieldType(dbf, upper.constData(), 'D', 8, 0);
        else if (name == "kmitocet" || name == "vykon" || name == "vzdalenost")
            DBFAddNativeFieldType(dbf, upper.constData(), 'N', 10, 3);
        else if (name == "qslo" || name == "qslp")
            DBFAddNativeFieldType(dbf, upper.constData(), 'L', 1, 0);
        else
            DBFAddNativeFieldType(dbf, upper.constData(), 'C', name == "poznamka" ? 50 : 20, 0);
    }
    for (int r = 0; r < rows.size(); ++r)
        for (int f = 0; f < names.size(); ++f) {
            QByteArray value = rows[r].value(names[f]);
            DBFWriteAttributeDirectly(dbf, r, f, value.data());
        }
    DBFClose(dbf);
    return true;
}

Row trevanRow()
{
    return {{"datum", "20060115"}, {"cas1", "12:30"},     {"znacka", "OK1ABC"},      {"jmeno", "\xac\xa0p"},
            {"mesto", "Praha"},    {"reporto", "59"},     {"reportp", "57"},         {"kmitocet", "14.025"},
            {"mod", "SSB"},        {"vykon", "100"},      {"qslo", "T"},             {"qslp", "F"},
            {"poznamka", "dobre"}, {"lokator", "JO70FC"}, {"lokator_vl", "JN79SX"}, {"qsl_via", "OK1MGR"}};
}

const QList<ParadoxField> OstrelFields{
    {"cislo", '+', 4},  {"datum", 'D', 4},  {"utc", 'T', 4},   {"call", 'A', 15},   {"mhz", 'N', 8},
    {"mod", 'A', 8},    {"rst_o", 'A', 3},  {"rst_p", 'A', 3}, {"jmeno", 'A', 12},  {"qth", 'A', 20},
    {"loc", 'A', 6},    {"loc_vl", 'A', 6}, {"qsl_mgr", 'A', 15}, {"qsl_o", 'L', 1}, {"qsl_p", 'L', 1},
    {"poznamka", 'M', 20}, {"pwr", 'N', 8}, {"vzdal", 'N', 8}, {"dxcc", 'A', 7}};

QVariantList ostrelRow(int number, const QDate &date, const QTime &time, const QByteArray &call, double mhz = 7.01,
                       const QByteArray &ownLocator = "JN79SX")
{
    return {number, date, time, call, mhz, QByteArray("CW"), QByteArray("599"), QByteArray("579"),
            QByteArray("Ji\xf8\xed"), QByteArray("Brno"), QByteArray("JN89HF"), ownLocator, QByteArray(), true, false,
            QByteArray("pozn"), 50.0, 180.0, QByteArray("OK")};
}

bool hasLine(const QStringList &lines, const QString &text)
{
    return std::any_of(lines.cbegin(), lines.cend(), [&](const QString &l) { return l.endsWith(text); });
}

TImportOptions oldOptions()
{
    TImportOptions o = adifOptions();
    o.CharSet = 2; // CP852, as the commands preset it
    o.Power = 25;
    o.OwnLocator = QStringLiteral("JO60AA");
    return o;
}

} // namespace

class TestOldTableImport : public QObject
{
    Q_OBJECT

private slots:
    void trevanMapping();
    void trevanRowProblems_data();
    void trevanRowProblems();
    void trevanRowOrder_data();
    void trevanRowOrder();
    void manyRowsInKeyOrder_data();
    void manyRowsInKeyOrder();
    void trevanDistance_data();
    void trevanDistance();
    void ostrelMappingAndOrder();
    void ostrelValueTheLogCannotTakeStagesNothing();
    void ostrelMemoLostHalfWayStagesNothing();
    void replacedNoteOnBothSources();
    void fieldListChecks_data();
    void fieldListChecks();
    void ostrelCommandAppendsAndRefreshes();
};

void TestOldTableImport::trevanMapping()
{
    StagedImport staged;
    const QString path = staged.dir.filePath("denik.dbf");
    Row late = trevanRow();
    late["cas1"] = "13:00";
    late["znacka"] = "DL1XYZ";
    QVERIFY(writeDenik(path, {late, trevanRow()}));
    ImportTrevanRecords(TDbfTable(path), *staged.staging, oldOptions(), &StagedImport::dxcc());
    QCOMPARE(staged.count(), 2);
    const TLogRecord r = staged.record(1); // ordered by date and time
    QCOMPARE(r[fiDAT].toDate(), QDate(2006, 1, 15));
    QCOMPARE(r[fiUTC].toTime(), QTime(12, 30));
    QCOMPARE(r[fiCALL].toString(), QStringLiteral("OK1ABC"));
    QCOMPARE(r[fiFREQ].toDouble(), 14.025);
    QCOMPARE(r[fiBAND].toInt(), GetBandIndex(14.025));
    QCOMPARE(r[fiMODE].toInt(), GetModeIndexDef("SSB", 0));
    QCOMPARE(r[fiNAME].toString(), QStringLiteral("Čáp")); // CP852 bytes of the options' code page
    QCOMPARE(r[fiLOCO].toString(), QStringLiteral("JN79SX"));
    QCOMPARE(r[fiLOCP].toString(), QStringLiteral("JO70FC"));
    QCOMPARE(r[fiQSLO].toInt(), 1);
    QCOMPARE(r[fiQSLP].toInt(), 0);
    QCOMPARE(r[fiQSLVIA].toString(), QStringLiteral("OK1MGR"));
    QCOMPARE(r[fiPWR].toDouble(), 100.0);
    QVERIFY(r[fiQRB].toDouble() > 0);
    QCOMPARE(r[fiDXCC].toString(), QStringLiteral("OK"));
    QVERIFY(r[fiITU].toInt() > 0 && r[fiWAZ].toInt() > 0);
    QCOMPARE(staged.record(2)[fiCALL].toString(), QStringLiteral("DL1XYZ"));
    QCOMPARE(staged.staging->Errors + staged.staging->Warnings, 0);
}

void TestOldTableImport::trevanRowProblems_data()
{
    QTest::addColumn<QString>("field");
    QTest::addColumn<QByteArray>("value");
    QTest::addColumn<QString>("line");
    QTest::addColumn<int>("logField");
    QTest::addColumn<QString>("stored");
    QTest::newRow("date") << "datum" << QByteArray("2006xx01") << "Chyba: Neplatné datum \"2006xx01\"!" << int(fiDAT)
                          << "30.12.1899";
    QTest::newRow("time") << "cas1" << QByteArray("25:99") << "Chyba: Neplatný čas \"25:99\"!" << int(fiUTC)
                          << "00:00:00";
    QTest::newRow("call") << "znacka" << QByteArray("OK1-AB")
                          << "Chyba: Neplatná značka \"OK1-AB\" (může obsahovat jen znaky \"A-Z, 0-9, /\")!"
                          << int(fiCALL) << "";
    QTest::newRow("frequency") << "kmitocet" << QByteArray("abc") << "Chyba: Neplatná frekvence \"abc\"!"
                               << int(fiBAND) << "28";
    QTest::newRow("out of band") << "kmitocet" << QByteArray("2000")
                                 << "Varování: Frekvence 2000,00 je mimo rozsah radioamatérských pásem!" << int(fiFREQ)
                                 << "2000";
    QTest::newRow("mode") << "mod" << QByteArray("XYZ") << "Chyba: Neplatný mód \"XYZ\"!" << int(fiMODE) << "0";
    QTest::newRow("no own locator") << "lokator_vl" << QByteArray() << "Chyba: Neplatný lokátor \"\"!" << int(fiLOCO)
                                    << "JO60AA";
    QTest::newRow("partner's locator") << "lokator" << QByteArray("ZZ99") << "Chyba: Neplatný lokátor \"ZZ99\"!"
                                       << int(fiLOCP) << "";
    QTest::newRow("power") << "vykon" << QByteArray("abc") << "Chyba: Neplatný výkon!" << int(fiPWR) << "25";
}

void TestOldTableImport::trevanRowProblems()
{
    QFETCH(QString, field);
    QFETCH(QByteArray, value);
    QFETCH(QString, line);
    QFETCH(int, logField);
    QFETCH(QString, stored);
    StagedImport staged;
    const QString path = staged.dir.filePath("denik.dbf");
    Row row = trevanRow();
    row[field] = value;
    QVERIFY(writeDenik(path, {row}));
    ImportTrevanRecords(TDbfTable(path), *staged.staging, oldOptions(), &StagedImport::dxcc());
    QCOMPARE(staged.count(), 1); // staged all the same
    QCOMPARE(staged.messages(), QStringList{"(1) " + line});
    QCOMPARE(LogValueAsString(logField, staged.record(1)[logField]), stored);
}

void TestOldTableImport::trevanRowOrder_data()
{
    // Each row: date, time, call sign; in the order of the table.
    QTest::addColumn<QList<QByteArrayList>>("rows");
    QTest::addColumn<QByteArrayList>("staged"); // call signs in the staged order
    QTest::newRow("unreadable date first")
        << QList<QByteArrayList>{{"20060115", "12:30", "OK1AAA"}, {"2006xx01", "10:00", "OK1BAD"}}
        << QByteArrayList{"OK1BAD", "OK1AAA"};
    QTest::newRow("unreadable and empty dates by time, then the table's order")
        << QList<QByteArrayList>{{"20060115", "08:00", "OK1AAA"},
                                 {"", "11:00", "OK1EMP"},
                                 {"20061301", "09:00", "OK1BAD"},
                                 {"1999", "09:00", "OK1BAE"}}
        << QByteArrayList{"OK1BAD", "OK1BAE", "OK1EMP", "OK1AAA"};
    QTest::newRow("dates, then times")
        << QList<QByteArrayList>{{"20060116", "00:10", "OK1CCC"},
                                 {"20060115", "23:59", "OK1BBB"},
                                 {"20060115", "00:01", "OK1AAA"}}
        << QByteArrayList{"OK1AAA", "OK1BBB", "OK1CCC"};
    QTest::newRow("empty time first within its day")
        << QList<QByteArrayList>{{"20060115", "12:30", "OK1BBB"}, {"20060115", "", "OK1AAA"}}
        << QByteArrayList{"OK1AAA", "OK1BBB"};
}

// The table is read in the order of date and first time, as its own database sorts it:
// a date that cannot be read counts as none and comes first.
void TestOldTableImport::trevanRowOrder()
{
    QFETCH(QList<QByteArrayList>, rows);
    QFETCH(QByteArrayList, staged);
    StagedImport im;
    const QString path = im.dir.filePath("denik.dbf");
    QList<Row> table;
    for (const QByteArrayList &values : rows) {
        Row row = trevanRow();
        row["datum"] = values[0];
        row["cas1"] = values[1];
        row["znacka"] = values[2];
        table << row;
    }
    QVERIFY(writeDenik(path, table));
    ImportTrevanRecords(TDbfTable(path), *im.staging, oldOptions(), &StagedImport::dxcc());
    QCOMPARE(im.count(), staged.size());
    QByteArrayList order;
    for (qint64 id = 1; id <= im.count(); ++id)
        order << im.record(id)[fiCALL].toString().toLatin1();
    QCOMPARE(order, staged);
}

void TestOldTableImport::manyRowsInKeyOrder_data()
{
    QTest::addColumn<bool>("paradox");
    QTest::newRow("denik.dbf") << false;
    QTest::newRow("old log table") << true;
}

// Rows of few days and times in a shuffled table: staged by date, time (and number),
// rows of equal keys in the table's order.
void TestOldTableImport::manyRowsInKeyOrder()
{
    QFETCH(bool, paradox);
    const QByteArrayList dates{"20060115", "20060114", "2006xx01", "", "19991231", "20060116"};
    const QByteArrayList times{"12:30", "12:3", "1:05", "", "12:05", "23:59", "12:30:01"};
    QRandomGenerator random(26);
    QList<Row> rows;
    QList<QVariantList> oldRows;
    struct Key {
        int dateRank;
        QDate date;
        int timeRank;
        QByteArray time;
        int number;
    };
    QList<Key> keys;
    for (int r = 0; r < 600; ++r) {
        const QByteArray date = dates[random.bounded(int(dates.size()))];
        const QByteArray time = times[random.bounded(int(times.size()))];
        const QByteArray call = "OK1" + QByteArray::number(r);
        const QDate day = QDate::fromString(QString::fromLatin1(date), QStringLiteral("yyyyMMdd"));
        const int number = random.bounded(50); // repeats: equal keys keep the table's order
        if (paradox) {
            const QTime utc = QTime::fromString(QString::fromLatin1(time), QStringLiteral("H:mm"));
            oldRows << ostrelRow(number, day, utc, call);
            keys << Key{day.isValid() ? 1 : 0, day, utc.isValid() ? 1 : 0,
                        QByteArray::number(utc.msecsSinceStartOfDay()).rightJustified(9, '0'), number};
        } else {
            Row row = trevanRow();
            row["datum"] = date;
            row["cas1"] = time;
            row["znacka"] = call;
            rows << row;
            keys << Key{day.isValid() ? 1 : 0, day, time.isEmpty() ? 0 : 2, time, 0};
        }
    }
    QList<int> expected(keys.size());
    std::iota(expected.begin(), expected.end(), 0);
    std::stable_sort(expected.begin(), expected.end(), [&keys](int a, int b) {
        const Key &x = keys[a], &y = keys[b];
        return std::tie(x.dateRank, x.date, x.timeRank, x.time, x.number)
               < std::tie(y.dateRank, y.date, y.timeRank, y.time, y.number);
    });
    StagedImport im;
    if (paradox) {
        const QString path = im.dir.filePath("OLD.db");
        QVERIFY(ParadoxWriter::write(path, OstrelFields, oldRows));
        ImportOstrelRecords(TParadoxTable(path), *im.staging, oldOptions(), nullptr);
    } else {
        const QString path = im.dir.filePath("denik.dbf");
        QVERIFY(writeDenik(path, rows));
        ImportTrevanRecords(TDbfTable(path), *im.staging, oldOptions(), nullptr);
    }
    QCOMPARE(im.count(), qint64(keys.size()));
    QStringList staged, wanted;
    for (int i = 0; i < expected.size(); ++i) {
        staged << im.record(i + 1)[fiCALL].toString();
        wanted << QStringLiteral("OK1%1").arg(expected[i]);
    }
    QCOMPARE(staged, wanted);
}

void TestOldTableImport::trevanDistance_data()
{
    QTest::addColumn<QByteArray>("call");
    QTest::addColumn<QByteArray>("locator");
    QTest::addColumn<bool>("measured"); // else 0
    QTest::newRow("entity, no locator") << QByteArray("OK1ABC") << QByteArray() << true;
    QTest::newRow("locator, no entity") << QByteArray("Q1ABC") << QByteArray("JO70FC") << true;
    QTest::newRow("neither") << QByteArray("Q1ABC") << QByteArray() << false;
    QTest::newRow("invalid call, invalid locator") << QByteArray("OK1-AB") << QByteArray("ZZ99") << false;
}

// Without a locator or an entity to measure to, the distance is 0 as in the other
// imports, not the distance to 0 degrees north, 0 degrees east.
void TestOldTableImport::trevanDistance()
{
    QFETCH(QByteArray, call);
    QFETCH(QByteArray, locator);
    QFETCH(bool, measured);
    StagedImport im;
    const QString path = im.dir.filePath("denik.dbf");
    Row row = trevanRow();
    row["znacka"] = call;
    row["lokator"] = locator;
    QVERIFY(writeDenik(path, {row}));
    ImportTrevanRecords(TDbfTable(path), *im.staging, oldOptions(), &StagedImport::dxcc());
    QCOMPARE(im.count(), 1);
    const double qrb = im.record(1)[fiQRB].toDouble();
    if (measured) {
        QVERIFY2(qrb > 0 && qrb < 3000, qPrintable(QString::number(qrb)));
    } else {
        QCOMPARE(qrb, 0.0);
    }
}

void TestOldTableImport::ostrelMappingAndOrder()
{
    StagedImport staged;
    const QString path = staged.dir.filePath("OK1OLD.db");
    const QDate day(2005, 3, 1);
    QVariantList noLocator = ostrelRow(3, day, QTime(10, 0), "OK1BBB", 7.01, QByteArray());
    QVariantList outOfBand = ostrelRow(2, day, QTime(10, 0), "OK1AAA", 2000.0);
    QVariantList badMode = ostrelRow(1, day.addDays(1), QTime(8, 0), "OK1CCC");
    badMode[5] = QByteArray("ZZZ");
    QVERIFY(ParadoxWriter::write(path, OstrelFields, {badMode, noLocator, outOfBand}));
    ImportOstrelRecords(TParadoxTable(path), *staged.staging, oldOptions(), &StagedImport::dxcc());
    QCOMPARE(staged.count(), 3);
    // By date, time and number: the out-of-band QSO (number 2) comes before number 3.
    QCOMPARE(staged.record(1)[fiCALL].toString(), QStringLiteral("OK1AAA"));
    QCOMPARE(staged.record(2)[fiCALL].toString(), QStringLiteral("OK1BBB"));
    QCOMPARE(staged.record(3)[fiCALL].toString(), QStringLiteral("OK1CCC"));
    QCOMPARE(staged.record(1)[fiBAND].toInt(), BandCount - 1);
    QCOMPARE(staged.record(1)[fiFREQ].toDouble(), 2000.0);
    QCOMPARE(staged.record(2)[fiLOCO].toString(), QStringLiteral("JO60AA")); // silently
    const TLogRecord r = staged.record(2);
    QCOMPARE(r[fiNAME].toString(), QStringLiteral("Jiří")); // Windows-1250, no conversion
    QCOMPARE(r[fiUTC].toTime(), QTime(10, 0));
    QCOMPARE(r[fiQSLO].toInt(), 1);
    QCOMPARE(r[fiNOTE].toString(), QStringLiteral("pozn"));
    QCOMPARE(r[fiQRB].toDouble(), 180.0);
    QCOMPARE(r[fiDXCC].toString(), QStringLiteral("OK"));
    QVERIFY(r[fiITU].toInt() > 0);
    QCOMPARE(staged.messages(),
             (QStringList{"(1) Varování: Frekvence 2000,00 je mimo rozsah radioamatérských pásem!",
                          "(3) Chyba: Neplatný mód \"ZZZ\"!"}));
}

void TestOldTableImport::ostrelValueTheLogCannotTakeStagesNothing()
{
    StagedImport staged;
    QList<ParadoxField> fields = OstrelFields;
    fields[2] = {"utc", 'A', 8}; // a time kept as text
    QVariantList good = ostrelRow(1, QDate(2005, 1, 1), QTime(), "OK1AAA");
    good[2] = QByteArray("10:15");
    QVariantList bad = ostrelRow(2, QDate(2005, 1, 2), QTime(), "OK1BBB");
    bad[2] = QByteArray("xx:yy");
    const QString path = staged.dir.filePath("OLD.db");
    QVERIFY(ParadoxWriter::write(path, fields, {good, bad}));
    QVERIFY_THROWS_EXCEPTION(EVelkorError,
                             ImportOstrelRecords(TParadoxTable(path), *staged.staging, oldOptions(), nullptr));
    QCOMPARE(staged.count(), 0);
}

// Rows are read while they are staged: a memo that cannot be read in a later row drops
// the rows staged before it.
void TestOldTableImport::ostrelMemoLostHalfWayStagesNothing()
{
    StagedImport staged;
    QVariantList first = ostrelRow(1, QDate(2005, 1, 1), QTime(1, 0), "OK1AAA");
    QVariantList second = ostrelRow(2, QDate(2005, 1, 2), QTime(1, 0), "OK1BBB");
    first[15] = QByteArray(3000, 'a'); // each in a memo block of its own
    second[15] = QByteArray(3000, 'b');
    const QString path = staged.dir.filePath("OLD.db"), memo = staged.dir.filePath("OLD.mb");
    QVERIFY(ParadoxWriter::write(path, OstrelFields, {first, second}));
    QFile file(memo);
    QVERIFY(file.open(QIODevice::ReadWrite));
    const qsizetype later = file.readAll().indexOf(QByteArray(100, 'b'));
    QVERIFY(later > 0);
    QVERIFY(file.resize(later + 100)); // the later row's memo is cut short
    file.close();
    const TParadoxTable table(path);
    QCOMPARE(table.Row(0)[15].toByteArray(), first[15].toByteArray());
    QVERIFY_THROWS_EXCEPTION(EFileError, ImportOstrelRecords(table, *staged.staging, oldOptions(), nullptr));
    QCOMPARE(staged.count(), 0);
}

void TestOldTableImport::replacedNoteOnBothSources()
{
    StagedImport staged;
    TImportOptions options = oldOptions();
    options.ReplaceNote = true;
    options.Note = QStringLiteral("z Ostrelu");
    const QString dbf = staged.dir.filePath("denik.dbf"), px = staged.dir.filePath("OLD.db");
    QVERIFY(writeDenik(dbf, {trevanRow(), trevanRow()}));
    QVERIFY(ParadoxWriter::write(px, OstrelFields, {ostrelRow(1, QDate(2005, 1, 1), QTime(1, 0), "OK1A")}));
    ImportTrevanRecords(TDbfTable(dbf), *staged.staging, options, nullptr);
    ImportOstrelRecords(TParadoxTable(px), *staged.staging, options, nullptr);
    QCOMPARE(staged.count(), 3);
    for (int id = 1; id <= 3; ++id)
        QCOMPARE(staged.record(id)[fiNOTE].toString(), options.Note);
}

void TestOldTableImport::fieldListChecks_data()
{
    QTest::addColumn<QStringList>("names");
    QTest::addColumn<bool>("rows");
    QTest::addColumn<QString>("message");
    QStringList extra = TrevanFieldNames;
    extra << "navic";
    QStringList missing = TrevanFieldNames;
    missing.removeLast();
    QStringList swapped = TrevanFieldNames;
    swapped.swapItemsAt(0, 1);
    QTest::newRow("extra field") << extra << true << "Neplatný formát!";
    QTest::newRow("missing field") << missing << true << "Neplatný formát!";
    QTest::newRow("other order") << swapped << true << "Neplatný formát!";
    QTest::newRow("upper-case names") << TrevanFieldNames << true << "";
    QTest::newRow("empty table") << TrevanFieldNames << false << "";
    QTest::newRow("no table") << QStringList() << false << "Databázi nelze otevřít, nebo má neplatný formát.";
}

void TestOldTableImport::fieldListChecks()
{
    QFETCH(QStringList, names);
    QFETCH(bool, rows);
    QFETCH(QString, message);
    ImportWindowFixture fx;
    const QString path = QDir(fx.dir.path()).filePath("denik.dbf");
    if (names.isEmpty())
        fx.writeFile("denik.dbf", "this is no table");
    else
        QVERIFY(writeDenik(path, rows ? QList<Row>{trevanRow()} : QList<Row>{}, names));
    int imported = -1;
    fx.answers["frmImport"] = [&imported](QDialog &d) {
        imported = static_cast<TfrmImport &>(d).Staging().Imported;
        return int(mrCancel);
    };
    TfrmImport window(fx.host);
    QVERIFY(!ImportTrevanDb(window, fx.host, path, oldOptions()));
    if (message.isEmpty()) {
        QCOMPARE(fx.shownWindows, QStringList{"frmImport"});
        QCOMPARE(imported, rows ? 1 : 0);
        QVERIFY(fx.messages.shown.isEmpty());
    } else {
        QVERIFY(fx.shownWindows.isEmpty());
        QCOMPARE(fx.messages.lastText(), message);
    }
}

void TestOldTableImport::ostrelCommandAppendsAndRefreshes()
{
    ImportWindowFixture fx;
    const QString path = QDir(fx.dir.path()).filePath("OLD.db");
    QVERIFY(ParadoxWriter::write(path, OstrelFields, {ostrelRow(1, QDate(2005, 1, 1), QTime(1, 0), "OK1A"),
                                                      ostrelRow(2, QDate(2005, 1, 2), QTime(1, 0), "OK1B")}));
    FileDialogs::setNextAnswer(path);
    fx.answers["frmImportOptions"] = [](QDialog &) { return int(mrOk); };
    fx.answers["frmImport"] = [](QDialog &d) {
        static_cast<TfrmImport &>(d).actImportExecute();
        return d.result();
    };
    ImportOstrelCommand(fx.host);
    FileDialogs::resetScript();
    QCOMPARE(fx.shownWindows, (QStringList{"frmImportOptions", "frmImport"}));
    QCOMPARE(fx.logCount(), 2);
    QCOMPARE(fx.refreshes, 1);
}

QTEST_MAIN(TestOldTableImport)
#include "tst_oldtableimport.moc"
