// The award statistics without windows: the filter's condition, the five build
// routines on hand-made logs and on a generated one cross-checked by plain counting,
// and the CSV file.

#include "statistics/AwardStatistics.h"
#include "base/DatabaseError.h"
#include "base/FileError.h"
#include "statistics/StatFilter.h"
#include "StatTestLog.h"
#include "TestFiles.h"

#include <QRandomGenerator>
#include <QTest>

#include <map>

namespace {

TStatFilter allModes()
{
    TStatFilterChoice choice;
    for (int mode = 1; mode < ModeCount; ++mode)
        choice.modes << mode;
    return BuildStatFilter(choice);
}

using Build = int (TAwardStatistics::*)(const TStatFilter &, int &, const TProgressEvent &);

QString cell(const TStatCell &c)
{
    return QStringLiteral("%1/%2").arg(c.Confirmed).arg(c.Worked);
}

} // namespace

class TestAwardStatistics : public QObject
{
    Q_OBJECT

private slots:
    void filterText_data();
    void filterText();
    void filterRefusesTextThatIsNoValue();
    void nothingPassesGivesEmptyTable_data();
    void nothingPassesGivesEmptyTable();
    void dxccRowsNamesAndConfirmations();
    void unitsWithoutValueAreNotCounted();
    void zonesAndLocatorKeys();
    void filterComparesDatesAndPowersAsValues();
    void namesFoundWhateverTheListOrder();
    void missingNameListIsAnError();
    void crossCheckOnGeneratedLog();
    void progressReachesTheEnd();
    void csvBeforeAnyStatistic();
    void csvWithRowsInWindows1250();
    void failedSaveLeavesNoFile();
};

void TestAwardStatistics::filterText_data()
{
    QTest::addColumn<QList<int>>("modes");
    QTest::addColumn<QStringList>("limits"); // dateMin, dateMax, powerMin, powerMax
    QTest::addColumn<QString>("where");
    QTest::addColumn<QVariantList>("values");
    QTest::newRow("CLOVER alone") << QList<int>{27} << QStringList{"", "", "", ""} << "(MODE IN (27))"
                                  << QVariantList{};
    QTest::newRow("start date and upper power")
        << QList<int>{1, 2, 3, 4} << QStringList{"1.1.2005", "", "", "100"}
        << "(MODE IN (1,2,3,4))AND(DAT>=?)AND(PWR<=?)" << QVariantList{"2005-01-01", 100.0};
    QTest::newRow("all four limits, decimal comma")
        << QList<int>{2} << QStringList{"01.02.2006", "31.12.2007", "0,5", "1000"}
        << "(MODE IN (2))AND(DAT>=?)AND(DAT<=?)AND(PWR>=?)AND(PWR<=?)"
        << QVariantList{"2006-02-01", "2007-12-31", 0.5, 1000.0};
}

void TestAwardStatistics::filterText()
{
    QFETCH(QList<int>, modes);
    QFETCH(QStringList, limits);
    const TStatFilter filter = BuildStatFilter({modes, limits[0], limits[1], limits[2], limits[3]});
    QTEST(filter.where, "where");
    QTEST(filter.values, "values");
}

void TestAwardStatistics::filterRefusesTextThatIsNoValue()
{
    QVERIFY_THROWS_EXCEPTION(EDatabaseError, BuildStatFilter({{1}, "32.13.2005", "", "", ""}));
    QVERIFY_THROWS_EXCEPTION(EDatabaseError, BuildStatFilter({{1}, "", "", "1,2,3", ""}));
}

void TestAwardStatistics::nothingPassesGivesEmptyTable_data()
{
    QTest::addColumn<int>("statistic");
    for (int i = 0; i < 5; ++i)
        QTest::addRow("statistic %d", i) << i;
}

void TestAwardStatistics::nothingPassesGivesEmptyTable()
{
    QFETCH(int, statistic);
    StatTestLog log;
    log.add({.dxcc = "OK", .iota = "EU001", .locp = "JN79AA", .mode = 2, .qslp = 1, .itu = 28, .waz = 15});
    TAwardStatistics stats(log.database(), log.folder());
    const Build builds[] = {&TAwardStatistics::BuildDXCC, &TAwardStatistics::BuildIOTA, &TAwardStatistics::BuildITU,
                            &TAwardStatistics::BuildWAZ, &TAwardStatistics::BuildLocators};
    int rows = -1;
    const int confirmed = (stats.*builds[statistic])(BuildStatFilter({{1}, "", "", "", ""}), rows, {});
    QCOMPARE(confirmed, 0);
    QCOMPARE(rows, 0);
    QVERIFY(stats.Rows.isEmpty());
    for (int band = 0; band < BandCount; ++band) {
        QCOMPARE(cell(stats.EntityTotals[band]), QStringLiteral("0/0"));
        QCOMPARE(cell(stats.QSOTotals[band]), QStringLiteral("0/0"));
    }
}

void TestAwardStatistics::dxccRowsNamesAndConfirmations()
{
    StatTestLog log;
    log.writeList("dxcc.db", "CREATE TABLE dxcc(PREFIX TEXT, DXCC TEXT, NAME TEXT)",
                  {{"OK", "Czech Republic"}, {"DL", "Federal Republic of Germany and more words"}, {"DL", "Z later"}});
    log.add({.dxcc = ""});                              // no entity: first row " - ?"
    log.add({.dxcc = "OK", .band = 5, .qslp = 1});      // OK: 1/2 on band 5
    log.add({.dxcc = "OK", .band = 5, .qslp = 0});
    log.add({.dxcc = "DL", .band = 3, .qslp = 1});      // DL on two bands, confirmed on one
    log.add({.dxcc = "DL", .band = 7, .qslp = 0});
    log.add({.dxcc = "DL", .band = 7, .qslp = 0});
    log.add({.dxcc = "ZZ", .band = 5, .qslp = 2});      // a QSL state other than 1 is no confirmation
    TAwardStatistics stats(log.database(), log.folder());
    int rows = 0;
    QCOMPARE(stats.BuildDXCC(allModes(), rows), 2);
    QCOMPARE(rows, 4);
    QCOMPARE(stats.Rows[0].Name, QStringLiteral(" - ?"));
    QCOMPARE(stats.Rows[1].Name, QStringLiteral("DL - Federal Republic of Germa")); // 30 characters
    QCOMPARE(stats.Rows[1].Name.size(), 30);
    QCOMPARE(stats.Rows[2].Name, QStringLiteral("OK - Czech Republic"));
    QCOMPARE(stats.Rows[3].Name, QStringLiteral("ZZ - ?"));
    QCOMPARE(cell(stats.Rows[2].Cells[5]), QStringLiteral("1/2"));
    QCOMPARE(cell(stats.Rows[1].Cells[3]), QStringLiteral("1/1"));
    QCOMPARE(cell(stats.Rows[1].Cells[7]), QStringLiteral("0/2"));
    QCOMPARE(cell(stats.EntityTotals[5]), QStringLiteral("1/3"));
    QCOMPARE(cell(stats.EntityTotals[3]), QStringLiteral("1/1"));
    QCOMPARE(cell(stats.EntityTotals[7]), QStringLiteral("0/1"));
    QCOMPARE(cell(stats.QSOTotals[5]), QStringLiteral("1/4"));
}

void TestAwardStatistics::unitsWithoutValueAreNotCounted()
{
    StatTestLog log;
    log.writeList("iota.db", "CREATE TABLE iota(IOTA TEXT, PREFIX TEXT, NAZEV TEXT)", {{"EU001", "Azores"}});
    log.add({.iota = "", .locp = ""});
    log.add({.iota = "EU001", .locp = "JN79AB", .qslp = 1});
    log.add({.iota = "EU999", .locp = "JN79", .qslp = 0});
    TAwardStatistics stats(log.database(), log.folder());
    int rows = 0;
    QCOMPARE(stats.BuildIOTA(allModes(), rows), 1);
    QCOMPARE(rows, 2);
    QCOMPARE(stats.Rows[0].Name, QStringLiteral("EU001 - Azores"));
    QCOMPARE(stats.Rows[1].Name, QStringLiteral("EU999 - ?"));
    QCOMPARE(cell(stats.QSOTotals[5]), QStringLiteral("1/2"));
    QCOMPARE(stats.BuildLocators(allModes(), rows), 1);
    QCOMPARE(rows, 1); // JN79AB and JN79 share the square
    QCOMPARE(stats.Rows[0].Name, QStringLiteral("JN79"));
    QCOMPARE(cell(stats.Rows[0].Cells[5]), QStringLiteral("1/2"));
    QCOMPARE(cell(stats.QSOTotals[5]), QStringLiteral("1/2"));
}

void TestAwardStatistics::zonesAndLocatorKeys()
{
    StatTestLog log;
    log.add({.itu = 0, .waz = QVariant()});   // 0 and no zone are one row
    log.add({.itu = QVariant(), .waz = 0});
    log.add({.qslp = 1, .itu = 28, .waz = 15});
    log.add({.band = 40, .itu = 5, .waz = 15}); // a band index out of the table counts out of band
    TAwardStatistics stats(log.database(), log.folder());
    int rows = 0;
    QCOMPARE(stats.BuildITU(allModes(), rows), 1);
    QStringList names;
    for (const TStatRow &row : stats.Rows)
        names << row.Name;
    QCOMPARE(names, (QStringList{"ITU-0", "ITU-5", "ITU-28"}));
    QCOMPARE(stats.Rows[0].Cells[5].Worked, 2);
    QCOMPARE(stats.Rows[1].Cells[BandCount - 1].Worked, 1);
    QCOMPARE(stats.BuildWAZ(allModes(), rows), 1);
    QCOMPARE(rows, 2);
    QCOMPARE(stats.Rows[0].Name, QStringLiteral("WAZ-0"));
    QCOMPARE(cell(stats.Rows[1].Cells[5]), QStringLiteral("1/1"));
}

void TestAwardStatistics::filterComparesDatesAndPowersAsValues()
{
    StatTestLog log;
    log.add({.dxcc = "A", .date = "2004-12-31", .pwr = 100.0});
    log.add({.dxcc = "B", .date = "2005-01-01", .pwr = 0.5});
    log.add({.dxcc = "C", .date = "2005-06-30", .pwr = 9.0});   // "9" > "10" as text, not as number
    log.add({.dxcc = "D", .mode = 3, .date = "2005-06-30", .pwr = 10.0});
    TAwardStatistics stats(log.database(), log.folder());
    const auto keys = [&](const TStatFilterChoice &choice) {
        int rows = 0;
        stats.BuildDXCC(BuildStatFilter(choice), rows);
        QStringList result;
        for (const TStatRow &row : stats.Rows)
            result << row.Name.left(1);
        return result;
    };
    QCOMPARE(keys({{1}, "1.1.2005", "", "", ""}), (QStringList{"B", "C"}));
    QCOMPARE(keys({{1}, "", "31.12.2004", "", ""}), (QStringList{"A"}));
    QCOMPARE(keys({{1, 3}, "", "", "0,5", "10"}), (QStringList{"B", "C", "D"}));
    QCOMPARE(keys({{1}, "", "", "1", ""}), (QStringList{"A", "C"}));
}

void TestAwardStatistics::namesFoundWhateverTheListOrder()
{
    StatTestLog log;
    // The list orders its keys without regard to case, the log by character codes: a walk
    // in step would pass "a" while looking for "B".
    log.writeList("dxcc.db", "CREATE TABLE dxcc(PREFIX TEXT, DXCC TEXT COLLATE NOCASE, NAME TEXT)",
                  {{"a", "Lower"}, {"B", "Upper"}});
    log.add({.dxcc = "B"});
    log.add({.dxcc = "a"});
    TAwardStatistics stats(log.database(), log.folder());
    int rows = 0;
    stats.BuildDXCC(allModes(), rows);
    QCOMPARE(rows, 2);
    QCOMPARE(stats.Rows[0].Name, QStringLiteral("B - Upper"));
    QCOMPARE(stats.Rows[1].Name, QStringLiteral("a - Lower"));
}

void TestAwardStatistics::missingNameListIsAnError()
{
    StatTestLog log;
    log.add({.dxcc = "OK"});
    QFile::remove(log.filePath("iota.db"));
    TAwardStatistics stats(log.database(), log.folder());
    int rows = 0;
    stats.BuildDXCC(allModes(), rows);
    QCOMPARE(rows, 1);
    QVERIFY_THROWS_EXCEPTION(EDatabaseError, stats.BuildIOTA(allModes(), rows));
    QVERIFY(stats.Rows.isEmpty());
}

void TestAwardStatistics::crossCheckOnGeneratedLog()
{
    StatTestLog log;
    QRandomGenerator random(20061001);
    const QStringList dxccs{"", "OK", "OM", "DL", "G", "K", "VK", "JA"};
    const QStringList iotas{"", "EU001", "EU005", "OC001"};
    const QStringList locators{"", "JN79", "JN79AB", "JO60XX", "IO91", "FN31pr"};
    QVERIFY(log.database().transaction());
    for (int i = 0; i < 3000; ++i) {
        log.add({.dxcc = dxccs[random.bounded(dxccs.size())], .iota = iotas[random.bounded(iotas.size())],
                 .locp = locators[random.bounded(locators.size())], .band = int(random.bounded(BandCount)),
                 .mode = int(random.bounded(1, 6)), .qslp = int(random.bounded(3)), .itu = int(random.bounded(4)),
                 .waz = int(random.bounded(4)), .date = QStringLiteral("2006-01-%1").arg(1 + random.bounded(28), 2, 10, QChar('0'))});
    }
    QVERIFY(log.database().commit());

    // Independent count: every QSO read back and counted in C++.
    struct Count { int worked = 0, confirmed = 0; };
    std::map<QString, std::map<QString, std::map<int, Count>>> expected; // statistic -> key -> band
    QSqlQuery all(log.database());
    QVERIFY(all.exec("SELECT DXCC,IOTA,LOCP,ITU,WAZ,BAND,QSLP,MODE,DAT FROM log"));
    while (all.next()) {
        if (all.value(7).toInt() > 3 || all.value(8).toString() < "2006-01-10")
            continue;
        const int band = all.value(5).toInt();
        const bool confirmed = all.value(6).toInt() == 1;
        const auto count = [&](const QString &statistic, const QString &key) {
            Count &c = expected[statistic][key][band];
            ++c.worked;
            c.confirmed += confirmed;
        };
        count("DXCC", all.value(0).toString());
        if (!all.value(1).toString().isEmpty())
            count("IOTA", all.value(1).toString());
        if (!all.value(2).toString().isEmpty())
            count("LOC", all.value(2).toString().left(4));
        count("ITU", "ITU-" + QString::number(all.value(3).toInt()));
        count("WAZ", "WAZ-" + QString::number(all.value(4).toInt()));
    }
    const TStatFilter filter = BuildStatFilter({{1, 2, 3}, "10.1.2006", "", "", ""});
    const QList<QPair<QString, Build>> builds{{"DXCC", &TAwardStatistics::BuildDXCC},
                                              {"IOTA", &TAwardStatistics::BuildIOTA},
                                              {"LOC", &TAwardStatistics::BuildLocators},
                                              {"ITU", &TAwardStatistics::BuildITU},
                                              {"WAZ", &TAwardStatistics::BuildWAZ}};
    TAwardStatistics stats(log.database(), log.folder());
    for (const auto &[statistic, build] : builds) {
        int rows = 0;
        const int confirmedUnits = (stats.*build)(filter, rows, {});
        const auto &units = expected[statistic];
        QCOMPARE(rows, int(units.size()));
        int expectedConfirmed = 0;
        int row = 0;
        for (const auto &[key, bands] : units) {
            const QString name = stats.Rows[row].Name;
            QVERIFY2(name == key || name.startsWith(key + " - "), qPrintable(statistic + ": " + name + " / " + key));
            bool unitConfirmed = false;
            for (int band = 0; band < BandCount; ++band) {
                const auto found = bands.find(band);
                const Count c = found == bands.end() ? Count{} : found->second;
                QCOMPARE(stats.Rows[row].Cells[band].Worked, c.worked);
                QCOMPARE(stats.Rows[row].Cells[band].Confirmed, c.confirmed);
                unitConfirmed |= c.confirmed > 0;
            }
            expectedConfirmed += unitConfirmed;
            ++row;
        }
        QCOMPARE(confirmedUnits, expectedConfirmed);
    }
}

void TestAwardStatistics::progressReachesTheEnd()
{
    StatTestLog log;
    for (const char *dxcc : {"A", "B", "C", "D"})
        log.add({.dxcc = dxcc});
    TAwardStatistics stats(log.database(), log.folder());
    QList<int> seen;
    int rows = 0;
    stats.BuildDXCC(allModes(), rows, [&seen](int percent) { seen << percent; });
    QCOMPARE(seen, (QList<int>{25, 50, 75, 100}));
}

void TestAwardStatistics::csvBeforeAnyStatistic()
{
    StatTestLog log;
    TAwardStatistics stats(log.database(), log.folder());
    const QList<QByteArray> lines = stats.CsvText({}, {}, {}).split('\n');
    QCOMPARE(lines.size(), 5); // four lines, each ended by CR LF
    QVERIFY(lines[0].startsWith(";2190m;;160m;;"));
    QCOMPARE(lines[1], ";" + QByteArray("QSL;QSO;").repeated(BandCount) + "\r");
    QCOMPARE(lines[2], ";" + QByteArray("0;0;").repeated(BandCount) + "\r");
    QCOMPARE(lines[3], lines[2]);
    QVERIFY(lines[4].isEmpty());
}

void TestAwardStatistics::csvWithRowsInWindows1250()
{
    StatTestLog log;
    log.add({.dxcc = "OK", .band = 0, .qslp = 1});
    TAwardStatistics stats(log.database(), log.folder());
    int rows = 0;
    stats.BuildDXCC(allModes(), rows);
    const QString file = log.filePath("stat.csv");
    stats.SaveToFile(file, "Prefix-Země/Pásmo", "Zemí: QSL/celkem", "Spojení: QSL/celkem");
    const QList<QByteArray> lines = ReadTestFile(file).split('\n');
    QCOMPARE(lines.size(), 6);
    QVERIFY(lines[0].startsWith("Prefix-Zem\xec/P\xe1smo;2190m;;"));
    QVERIFY(lines[2].startsWith("Zem\xed: QSL/celkem;1;1;0;0;"));
    QCOMPARE(lines[4], "OK - ?;1;1;" + QByteArray("0;0;").repeated(BandCount - 1) + "\r");
}

void TestAwardStatistics::failedSaveLeavesNoFile()
{
    StatTestLog log;
    TAwardStatistics stats(log.database(), log.folder());
    const QString file = log.filePath("missing/stat.csv");
    QVERIFY_THROWS_EXCEPTION(EFileError, stats.SaveToFile(file, {}, {}, {}));
    QVERIFY(!QFile::exists(file));
}

QTEST_GUILESS_MAIN(TestAwardStatistics)
#include "tst_awardstatistics.moc"
