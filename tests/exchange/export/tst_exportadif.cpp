// The two ADIF writers: the exact bytes of full and short records, the edge cases of
// each field, the selection by marks, progress, failures, and a round trip of a large
// varied log through an ADIF reader of the test's own.

#include "ExportFixture.h"

#include "radio/Amater.h"
#include "export/Export.h"
#include "base/FileError.h"

#include <QLocale>
#include <QRandomGenerator>
#include <QRegularExpression>

#include <sys/resource.h>

#include <csignal>

namespace
{

const QByteArray Header1 = "Velkor v1.0.1\r\nExported 1 records\r\n<ADIF_VER:4>1.00\r\n<EOH>\r\n";

// A small ADIF reader apart from the program's: fields by their declared byte length,
// records ended by <eor>, everything before <EOH> skipped; values decoded from
// Windows-1250 by the C library.
QList<QHash<QString, QString>> readAdif(const QByteArray &data)
{
    QList<QHash<QString, QString>> records;
    QHash<QString, QString> current;
    qsizetype pos = data.indexOf("<EOH>");
    pos = pos < 0 ? 0 : pos + 5;
    while ((pos = data.indexOf('<', pos)) >= 0) {
        const qsizetype close = data.indexOf('>', pos);
        if (close < 0)
            break;
        const QByteArray spec = data.mid(pos + 1, close - pos - 1);
        pos = close + 1;
        if (spec.toUpper() == "EOR") {
            records << current;
            current.clear();
            continue;
        }
        const QList<QByteArray> parts = spec.split(':');
        const int length = parts.value(1).toInt();
        current.insert(QString::fromLatin1(parts[0].toUpper()), FromCp1250(data.mid(pos, length)));
        pos += length;
    }
    return records;
}

} // namespace

class TestExportAdif : public QObject
{
    Q_OBJECT

private slots:
    void init() { QLocale::setDefault(QLocale(QLocale::Czech, QLocale::CzechRepublic)); }
    void cleanup() { QLocale::setDefault(QLocale::c()); }

    void fullRecordBytes();
    void fullRecordFields_data();
    void fullRecordFields();
    void shortRecordBytes();
    void shortRecordMessages_data();
    void shortRecordMessages();
    void marksSelectRowsInListOrder();
    void progress_data();
    void progress();
    void failingProgressDoesNotStopExport();
    void unwritableFileKeepsOldOne();
    void fullDiskKeepsOldOne();
    void roundTrip();
};

void TestExportAdif::fullRecordBytes()
{
    ExportFixture fx;
    fx.add(ExportFixture::qso({{"NOTE", "první spojení"},
                               {"IOTA", "EU123"},
                               {"AWARD", "OKDA"},
                               {"QSLVIA", "OK1XYZ"},
                               {"QSLO", 1},
                               {"QSLP", 1},
                               {"EQSLP", 1}}));
    const QString file = fx.path("full.adi");
    ExportADIF(fx.open(), {}, file, {});
    const QByteArray expected = Header1 +
                                "<QSO_DATE:8>20070203<TIME_ON:6>070509<FREQ:6>14.025<BAND:3>20m<MODE:2>CW\r\n"
                                "\t<CALL:6>OK1ABC\r\n"
                                "\t<RST_RCVD:3>579<RST_SENT:3>599\r\n"
                                "\t<MY_GRIDSQUARE:6>JN79SX<GRIDSQUARE:6>JO70FC\r\n"
                                "\t<QTH:5>Praha<NAME:3>Jan\r\n"
                                "\t<QSL_RCVD:1>Y<QSL_SENT:1>Y<EQSL_RCVD:1>Y<QSL_VIA:6>OK1XYZ\r\n"
                                "\t<ITUZ:2>28<CQZ:2>15<DXCCP:2>OK<IOTA:6>EU-123<AWARD:4>OKDA\r\n"
                                "\t<TX_PWR:3>100\r\n"
                                "\t<COMMENT:13>prvn\xED spojen\xED\r\n"
                                "<eor>\r\n";
    QCOMPARE(ReadTestFile(file), expected);
}

void TestExportAdif::fullRecordFields_data()
{
    QTest::addColumn<QVariantMap>("values");
    QTest::addColumn<QByteArray>("present");
    QTest::addColumn<QByteArray>("absent");

    const QVariant null;
    QTest::newRow("empty NAME") << QVariantMap{{"NAME", null}} << QByteArray("<QTH:5>Praha<NAME:0>\r\n")
                                << QByteArray();
    QTest::newRow("empty LOCP") << QVariantMap{{"LOCP", null}} << QByteArray("<GRIDSQUARE:0>\r\n")
                                << QByteArray();
    QTest::newRow("MODE 0") << QVariantMap{{"MODE", 0}} << QByteArray("<BAND:3>20m\r\n\t<CALL:")
                            << QByteArray("<MODE");
    QTest::newRow("BAND 28") << QVariantMap{{"BAND", 28}} << QByteArray("<BAND:5>Mimo!<MODE:")
                             << QByteArray();
    QTest::newRow("FREQ 14") << QVariantMap{{"FREQ", 14.0}} << QByteArray("<FREQ:2>14<BAND:") << QByteArray();
    QTest::newRow("FREQ 3.5255") << QVariantMap{{"FREQ", 3.5255}} << QByteArray("<FREQ:6>3.5255<")
                                 << QByteArray();
    QTest::newRow("FREQ 144.3") << QVariantMap{{"FREQ", 144.3}} << QByteArray("<FREQ:5>144.3<")
                                << QByteArray();
    QTest::newRow("FREQ five decimals")
        << QVariantMap{{"FREQ", 7.03125}} << QByteArray("<FREQ:6>7.0313<") << QByteArray();
    QTest::newRow("PWR 0.5") << QVariantMap{{"PWR", 0.5}} << QByteArray("<TX_PWR:3>0.5\r\n")
                             << QByteArray(",");
    QTest::newRow("PWR empty") << QVariantMap{{"PWR", null}} << QByteArray("<TX_PWR:1>0\r\n") << QByteArray();
    QTest::newRow("date and time") << QVariantMap{{"DAT", QDate(2007, 2, 3)}, {"UTC", QTime(7, 5, 9)}}
                                   << QByteArray("<QSO_DATE:8>20070203<TIME_ON:6>070509<") << QByteArray();
    QTest::newRow("midnight") << QVariantMap{{"DAT", QDate(1999, 12, 31)}, {"UTC", QTime(0, 0)}}
                              << QByteArray("<QSO_DATE:8>19991231<TIME_ON:6>000000<") << QByteArray();
    QTest::newRow("no IOTA, no AWARD")
        << QVariantMap{} << QByteArray("<DXCCP:2>OK\r\n") << QByteArray("<IOTA");
    QTest::newRow("AWARD alone") << QVariantMap{{"AWARD", "WAC"}} << QByteArray("<DXCCP:2>OK<AWARD:3>WAC\r\n")
                                 << QByteArray("<IOTA");
    QTest::newRow("no NOTE") << QVariantMap{} << QByteArray("<TX_PWR:3>100\r\n<eor>\r\n")
                             << QByteArray("COMMENT");
    QTest::newRow("QSLO 2") << QVariantMap{{"QSLO", 2}} << QByteArray("<QSL_SENT:1>R") << QByteArray();
    QTest::newRow("QSLO 3") << QVariantMap{{"QSLO", 3}} << QByteArray("<QSL_SENT:1>I") << QByteArray();
    QTest::newRow("QSL states 0") << QVariantMap{}
                                  << QByteArray("<QSL_RCVD:1>N<QSL_SENT:1>N<EQSL_RCVD:1>N<QSL_VIA:0>\r\n")
                                  << QByteArray();
    QTest::newRow("QSLP 1") << QVariantMap{{"QSLP", 1}} << QByteArray("<QSL_RCVD:1>Y<QSL_SENT:1>N")
                            << QByteArray();
    QTest::newRow("empty zones") << QVariantMap{{"ITU", null}, {"WAZ", null}, {"DXCC", null}}
                                 << QByteArray("\t<ITUZ:0><CQZ:0><DXCCP:0>\r\n") << QByteArray();
    QTest::newRow("brackets and line break in bytes")
        << QVariantMap{{"NOTE", "a<b>\r\nč"}} << QByteArray("\t<COMMENT:7>a<b>\r\n\xE8\r\n<eor>")
        << QByteArray();
    QTest::newRow("Czech letters one byte each")
        << QVariantMap{{"QTH", "Ústí n. L."}, {"NAME", "Jiří"}}
        << QByteArray("<QTH:10>\xDAst\xED n. L.<NAME:4>Ji\xF8\xED\r\n") << QByteArray();
    QTest::newRow("character outside the code page")
        << QVariantMap{{"NAME", "Ωmega😀"}} << QByteArray("<NAME:6>?mega?\r\n") << QByteArray();
}

void TestExportAdif::fullRecordFields()
{
    QFETCH(QVariantMap, values);
    QFETCH(QByteArray, present);
    QFETCH(QByteArray, absent);
    ExportFixture fx;
    fx.add(ExportFixture::qso(values));
    const QString file = fx.path("one.adi");
    ExportADIF(fx.open(), {}, file, {});
    const QByteArray data = ReadTestFile(file);
    QVERIFY2(data.contains(present), data.constData());
    if (!absent.isEmpty())
        QVERIFY2(!data.mid(Header1.size()).contains(absent), data.constData());
}

void TestExportAdif::shortRecordBytes()
{
    ExportFixture fx;
    fx.add(ExportFixture::qso({{"QSLP", 1}, {"NOTE", "nic"}, {"MODE", 2}}));
    fx.add(ExportFixture::qso({{"DAT", QDate(2008, 1, 1)},
                               {"CALL", "G3XYZ"},
                               {"RSTO", QVariant()},
                               {"MODE", 0},
                               {"BAND", 28},
                               {"FREQ", 0.5}}));
    const QString file = fx.path("eqsl.adi");
    ExportADIFShort(fx.open(), {}, "TNX QSO 73", {}, file);
    QCOMPARE(
        ReadTestFile(file),
        QByteArray("Velkor v1.0.1\r\nExported 2 records\r\n<ADIF_VER:4>1.00\r\n<EOH>\r\n"
                   "<CALL:6>OK1ABC<QSO_DATE:8>20070203<TIME_ON:6>070509<FREQ:6>14.025<BAND:3>20m<MODE:3>SSB"
                   "<RST_SENT:3>599<RST_RCVD:3>579<MY_GRIDSQUARE:6>JN79SX<QSL_RCVD:1>Y<QSLMSG:10>TNX QSO 73"
                   "<eor>\r\n"
                   "<CALL:5>G3XYZ<QSO_DATE:8>20080101<TIME_ON:6>070509<FREQ:3>0.5<BAND:5>Mimo!"
                   "<RST_SENT:0><RST_RCVD:3>579<MY_GRIDSQUARE:6>JN79SX<QSL_RCVD:1>N<QSLMSG:10>TNX QSO 73"
                   "<eor>\r\n"));
}

void TestExportAdif::shortRecordMessages_data()
{
    QTest::addColumn<QString>("message");
    QTest::addColumn<QByteArray>("field");
    QTest::newRow("empty") << QString() << QByteArray("<QSLMSG:0><eor>\r\n");
    QTest::newRow("Czech") << QStringLiteral("Děkuji") << QByteArray("<QSLMSG:6>D\xECkuji<eor>\r\n");
    QTest::newRow("brackets") << QStringLiteral("<73>") << QByteArray("<QSLMSG:4><73><eor>\r\n");
}

void TestExportAdif::shortRecordMessages()
{
    QFETCH(QString, message);
    QFETCH(QByteArray, field);
    ExportFixture fx;
    fx.addMany(3);
    const QString file = fx.path("msg.adi");
    ExportADIFShort(fx.open(), {}, message, {}, file);
    QCOMPARE(ReadTestFile(file).count(field), 3);
}

void TestExportAdif::marksSelectRowsInListOrder()
{
    ExportFixture fx;
    const QList<qint64> ids = fx.addMany(1000);
    LogQuery &q = fx.open();
    q.SetRecNo(10);
    const QString file = fx.path("marked.adi");
    ExportADIF(q, {ids[700], ids[5], ids[300]}, file, {});
    const QByteArray data = ReadTestFile(file);
    QVERIFY(data.contains("\r\nExported 3 records\r\n"));
    const auto records = readAdif(data);
    QCOMPARE(records.size(), 3);
    QCOMPARE(records[0]["CALL"], QStringLiteral("OK700"));
    QCOMPARE(records[1]["CALL"], QStringLiteral("OK5"));
    QCOMPARE(records[2]["CALL"], QStringLiteral("OK300"));
    // The query stays on the last row written, its views told once at the end.
    QCOMPARE(q.Bookmark(), ids[300]);
    QVERIFY(!q.ControlsDisabled());

    ExportADIF(q, {}, file, {});
    QVERIFY(ReadTestFile(file).contains("\r\nExported 1000 records\r\n"));
    QCOMPARE(readAdif(ReadTestFile(file)).size(), 1000);
    QCOMPARE(q.RecNo(), 1000);
}

void TestExportAdif::progress_data()
{
    QTest::addColumn<int>("count");
    QTest::addColumn<int>("marks");
    QTest::addColumn<QList<int>>("expected"); // empty: 1..100 each once

    QTest::newRow("one record: no call") << 1 << 0 << QList<int>{-1};
    QTest::newRow("one mark of many: no call") << 50 << 1 << QList<int>{-1};
    QTest::newRow("two records") << 2 << 0 << QList<int>{100};
    QTest::newRow("three records") << 3 << 0 << QList<int>{50, 100};
    QTest::newRow("four marks") << 50 << 4 << QList<int>{33, 66, 100};
    QTest::newRow("a thousand") << 1000 << 0 << QList<int>{};
    QTest::newRow("201 records") << 201 << 0 << QList<int>{};
}

void TestExportAdif::progress()
{
    QFETCH(int, count);
    QFETCH(int, marks);
    QFETCH(QList<int>, expected);
    if (expected == QList<int>{-1})
        expected.clear();
    else if (expected.isEmpty())
        for (int p = 1; p <= 100; ++p)
            expected << p;

    ExportFixture fx;
    const QList<qint64> ids = fx.addMany(count);
    LogQuery &q = fx.open();
    using Routine = std::function<void(const QList<TBookmark> &, const TProgressEvent &)>;
    const QString file = fx.path("p.out");
    const QList<Routine> routines{
        [&](const QList<TBookmark> &m, const TProgressEvent &e) { ExportADIF(q, m, file, e); },
        [&](const QList<TBookmark> &m, const TProgressEvent &e) { ExportADIFShort(q, m, "", e, file); },
        [&](const QList<TBookmark> &m, const TProgressEvent &e) { ExportCSV(q, m, file, e); },
        [&](const QList<TBookmark> &m, const TProgressEvent &e) { ExportTXT(q, m, file, e); },
        [&](const QList<TBookmark> &m, const TProgressEvent &e) { ExportXLS(q, m, file, e); },
    };
    for (const Routine &routine : routines) {
        ProgressLog progress;
        routine(ids.mid(0, marks), progress.event());
        QCOMPARE(progress.calls, expected);
        routine(ids.mid(0, marks), {}); // no callback at all
    }
}

void TestExportAdif::failingProgressDoesNotStopExport()
{
    ExportFixture fx;
    fx.addMany(10);
    const QString file = fx.path("p.adi");
    ExportADIF(fx.open(), {}, file, [](int) { throw std::runtime_error("display gone"); });
    QCOMPARE(readAdif(ReadTestFile(file)).size(), 10);
}

void TestExportAdif::unwritableFileKeepsOldOne()
{
    ExportFixture fx;
    fx.addMany(2);
    LogQuery &q = fx.open();
    const QString missingFolder = fx.path("no/such/folder/x.adi");
    try {
        ExportADIF(q, {}, missingFolder, {});
        QFAIL("no failure");
    } catch (const EFileError &e) {
        QVERIFY2(e.message().startsWith(QStringLiteral("Soubor \"")), qPrintable(e.message()));
        QVERIFY2(e.message().endsWith(QStringLiteral("\" nelze vytvořit!")), qPrintable(e.message()));
    }
    QVERIFY(!q.ControlsDisabled());
}

void TestExportAdif::fullDiskKeepsOldOne()
{
    // A file-size limit makes writes fail part-way, as a full disk does.
    ExportFixture fx;
    fx.addMany(12000);
    LogQuery &q = fx.open();
    const QString file = fx.path("old.adi");
    QVERIFY(WriteTestFile(file, "older export\r\n"));
    const auto previousHandler = std::signal(SIGXFSZ, SIG_IGN);
    rlimit saved{};
    getrlimit(RLIMIT_FSIZE, &saved);
    rlimit limited = saved;
    limited.rlim_cur = 256 * 1024;
    QCOMPARE(setrlimit(RLIMIT_FSIZE, &limited), 0);
    QString failure;
    try {
        ExportADIF(q, {}, file, {});
    } catch (const EFileError &e) {
        failure = e.message();
    }
    setrlimit(RLIMIT_FSIZE, &saved);
    std::signal(SIGXFSZ, previousHandler);
    QVERIFY2(failure.endsWith(QStringLiteral("\" nelze zapisovat!")), qPrintable(failure));
    QCOMPARE(ReadTestFile(file), QByteArray("older export\r\n"));
    QCOMPARE(QDir(fx.log.folder()).entryList(QDir::Files).filter(".adi"), QStringList{"old.adi"});
}

void TestExportAdif::roundTrip()
{
    // A few thousand varied QSOs: every field comes back, FREQ and PWR to four decimals.
    ExportFixture fx;
    QRandomGenerator random(20070203);
    const QStringList names{"Jiří", "Šárka", "Ľubomír", "Žofie", "Ořech", "Jan", "Zdeněk", "Růžena", "Čeněk"};
    const QStringList notes{"první spojení", "QSL přes bureau; díky", "<73> & GL", "dva\r\nřádky",
                            "ěščřžýáíé ĚŠČŘŽÝÁÍÉ ůú ÚŮ ňť ďĎ"};
    const int count = 3000;
    {
        LogTable table(fx.log.connectionName());
        table.StartTransaction();
        for (int i = 0; i < count; ++i) {
            TLogRecord r;
            r[fiDAT] = QDate(1990, 1, 1).addDays(random.bounded(12000));
            r[fiUTC] = QTime(0, 0).addSecs(random.bounded(86400));
            r[fiCALL] = QStringLiteral("OK%1/P").arg(i);
            r[fiFREQ] = random.bounded(1, 440000000) / 1e6;
            r[fiBAND] = random.bounded(BandCount);
            r[fiMODE] = random.bounded(ModeCount);
            r[fiRSTO] = i % 7 ? QStringLiteral("5%1%2").arg(random.bounded(10)).arg(9) : QVariant();
            r[fiRSTP] = QStringLiteral("%1").arg(random.bounded(10, 60));
            r[fiNAME] = i % 5 ? names[random.bounded(names.size())] : QVariant();
            r[fiQTH] = i % 3 ? QStringLiteral("Město č. %1").arg(i) : QVariant();
            r[fiLOCO] = QStringLiteral("JN79SX");
            r[fiLOCP] = i % 4 ? QStringLiteral("JO%1FC").arg(10 + i % 90) : QVariant();
            r[fiQSLO] = random.bounded(4);
            r[fiQSLP] = random.bounded(2);
            r[fiEQSLP] = random.bounded(2);
            r[fiQSLVIA] = i % 6 ? QVariant() : QStringLiteral("W3HNK");
            r[fiNOTE] = i % 2 ? notes[random.bounded(notes.size())] : QVariant();
            r[fiPWR] = random.bounded(0, 15000001) / 10000.0 + (i % 9 == 0 ? 0.00004 : 0.0);
            r[fiQRB] = double(random.bounded(20000));
            r[fiDXCC] = i % 8 ? QStringLiteral("OK") : QVariant();
            r[fiIOTA] = i % 10 ? QVariant() : QStringLiteral("EU%1").arg(100 + i % 900);
            r[fiITU] = i % 11 ? QVariant(random.bounded(1, 91)) : QVariant();
            r[fiWAZ] = i % 13 ? QVariant(random.bounded(1, 41)) : QVariant();
            r[fiAWARD] = i % 4 ? QVariant() : QStringLiteral("OKDA-%1").arg(i % 1000);
            table.Insert(r);
        }
        table.Commit();
    }
    LogQuery &q = fx.open();
    const QString file = fx.path("all.adi");
    ExportADIF(q, {}, file, {});
    const auto records = readAdif(ReadTestFile(file));
    QCOMPARE(records.size(), count);

    const auto text = [](const TLogRecord &r, int field) { return r[field].toString(); };
    // Four decimals at most, rounded to the nearest.
    const auto fourDecimals = [](const QString &written, double value) {
        static const QRegularExpression form(QStringLiteral("^\\d+(\\.\\d{0,3}[1-9])?$"));
        return form.match(written).hasMatch() && qAbs(written.toDouble() - value) <= 0.5e-4 + 1e-9;
    };
    const QString sentLetters = QStringLiteral("NYRI");
    for (int row = 0; row < count; ++row) {
        const TLogRecord r = q.RecordAt(row);
        const auto &a = records[row];
        const QString where = QStringLiteral("row %1").arg(row);
        QVERIFY2(QDate::fromString(a["QSO_DATE"], "yyyyMMdd") == r[fiDAT].toDate(), qPrintable(where));
        QVERIFY2(QTime::fromString(a["TIME_ON"], "hhmmss") == r[fiUTC].toTime(), qPrintable(where));
        QCOMPARE(a["CALL"], text(r, fiCALL));
        QVERIFY2(fourDecimals(a["FREQ"], r[fiFREQ].toDouble()), qPrintable(where + a["FREQ"]));
        QCOMPARE(a["BAND"], BandNames[r[fiBAND].toInt()]);
        QCOMPARE(a["MODE"], ModeNames[r[fiMODE].toInt()]);
        QCOMPARE(a["RST_SENT"], text(r, fiRSTO));
        QCOMPARE(a["RST_RCVD"], text(r, fiRSTP));
        QCOMPARE(a["NAME"], text(r, fiNAME));
        QCOMPARE(a["QTH"], text(r, fiQTH));
        QCOMPARE(a["MY_GRIDSQUARE"], text(r, fiLOCO));
        QCOMPARE(a["GRIDSQUARE"], text(r, fiLOCP));
        QCOMPARE(a["QSL_SENT"], QString(sentLetters[r[fiQSLO].toInt()]));
        QCOMPARE(a["QSL_RCVD"], QString(r[fiQSLP].toInt() ? "Y" : "N"));
        QCOMPARE(a["EQSL_RCVD"], QString(r[fiEQSLP].toInt() ? "Y" : "N"));
        QCOMPARE(a["QSL_VIA"], text(r, fiQSLVIA));
        QCOMPARE(a.value("COMMENT"), text(r, fiNOTE));
        QCOMPARE(a.contains("COMMENT"), !r.isEmpty(fiNOTE));
        QVERIFY2(fourDecimals(a["TX_PWR"], r[fiPWR].toDouble()), qPrintable(where + a["TX_PWR"]));
        QCOMPARE(a["DXCCP"], text(r, fiDXCC));
        QCOMPARE(a.value("IOTA").remove(u'-'), text(r, fiIOTA));
        QCOMPARE(a.value("AWARD"), text(r, fiAWARD));
        QCOMPARE(a["ITUZ"], text(r, fiITU));
        QCOMPARE(a["CQZ"], text(r, fiWAZ));
        QVERIFY(!a.contains("QRB") && !a.contains("ID"));
    }
}

QTEST_GUILESS_MAIN(TestExportAdif)
#include "tst_exportadif.moc"
