#include "CtyDatParser.h"
#include "DxccTableBuilder.h"
#include "IotaTableParser.h"
#include "RefDataError.h"
#include "RefDataWriter.h"

#include <QDir>
#include <QFile>
#include <QSet>
#include <QRegularExpression>
#include <QSqlDatabase>
#include <QSqlQuery>
#include <QSqlRecord>
#include <QTemporaryDir>
#include <QTest>

namespace
{

// A small country file in the format of cty.dat.
const char *const SampleCty = "Czech Republic:           15:  28:  EU:   50.00:   -16.00:    -1.0:  OK:\n"
                              "    OK,OL,=OK1XYZ(14)[27],=OK5ABC/MM/ANT;\n"
                              "Italy:                    15:  28:  EU:   42.82:   -12.58:    -1.0:  I:\n"
                              "    I,IA,IT,=IT9ZZ;\n"
                              "Sicily:                   15:  28:  EU:   37.50:   -14.00:    -1.0:  *IT9:\n"
                              "    IT9,=IT9ZZ;\n"
                              "Austria:                  15:  28:  EU:   47.33:   -13.33:    -1.0:  OE:\n"
                              "    OE;\n"
                              "Vienna Intl Ctr:          15:  28:  EU:   48.20:   -16.30:    -1.0:  *4U1V:\n"
                              "    =4U1VIC;\n"
                              "Lonely Rock:              40:  75:  AN:  -60.00:    45.00:     3.0:  *XR/r:\n"
                              "    =XR0R;\n"
                              "Conway Reef:              32:  56:  OC:  -22.00:  -175.00:   -12.0:  3D2/c:\n"
                              "    =3D2CR,\n"
                              "    =3D2C;\n"
                              "United States:            05:  08:  NA:   37.60:    91.87:     5.0:  K:\n"
                              "    K,W,AA0(4)[7],KL7<61.4/149.0>{OC}~9.0~,=W1AW,=W1AWX(3)[6],=W1AWXY;\n";

QList<DxccRow> sampleRows()
{
    return DxccTableBuilder(CtyDatParser::parse(QString::fromLatin1(SampleCty))).rows();
}

QList<DxccRow> sampleCalls()
{
    return DxccTableBuilder(CtyDatParser::parse(QString::fromLatin1(SampleCty))).calls();
}

const DxccRow *findRow(const QList<DxccRow> &rows, const QString &prefix)
{
    for (const DxccRow &row : rows) {
        if (row.prefix == prefix)
            return &row;
    }
    return nullptr;
}

QStringList fieldNames(const QString &path, const QString &table)
{
    QStringList names;
    const QString connection = QStringLiteral("tst_refdata_reader");
    {
        QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), connection);
        db.setDatabaseName(path);
        db.setConnectOptions(QStringLiteral("QSQLITE_OPEN_READONLY"));
        if (db.open()) {
            const QSqlRecord record = db.record(table);
            for (int i = 0; i < record.count(); ++i)
                names << record.fieldName(i);
        }
        db.close();
    }
    QSqlDatabase::removeDatabase(connection);
    return names;
}

QList<QStringList> selectAll(const QString &path, const QString &sql)
{
    QList<QStringList> rows;
    const QString connection = QStringLiteral("tst_refdata_select");
    {
        QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), connection);
        db.setDatabaseName(path);
        db.setConnectOptions(QStringLiteral("QSQLITE_OPEN_READONLY"));
        if (db.open()) {
            QSqlQuery query(db);
            if (query.exec(sql)) {
                while (query.next()) {
                    QStringList values;
                    for (int i = 0; i < query.record().count(); ++i)
                        values << query.value(i).toString();
                    rows << values;
                }
            }
        }
        db.close();
    }
    QSqlDatabase::removeDatabase(connection);
    return rows;
}

} // namespace

class TestRefData : public QObject
{
    Q_OBJECT
private slots:
    void prefixOverrides_data()
    {
        QTest::addColumn<QString>("item");
        QTest::addColumn<QString>("text");
        QTest::addColumn<bool>("fullCall");
        QTest::addColumn<int>("cq");
        QTest::addColumn<int>("itu");
        QTest::addColumn<double>("lat");
        QTest::addColumn<double>("lon");
        QTest::addColumn<QString>("cont");
        QTest::addColumn<double>("utc");
        QTest::newRow("plain") << "OK"
                               << "OK" << false << 15 << 28 << 50.0 << 16.0 << "EU" << -1.0;
        QTest::newRow("exact call") << "=OK1ABC"
                                    << "OK1ABC" << true << 15 << 28 << 50.0 << 16.0 << "EU" << -1.0;
        QTest::newRow("zones") << "=OK1ABC(14)[27]"
                               << "OK1ABC" << true << 14 << 27 << 50.0 << 16.0 << "EU" << -1.0;
        QTest::newRow("zones reversed") << "AA0[7](4)"
                                        << "AA0" << false << 4 << 7 << 50.0 << 16.0 << "EU" << -1.0;
        QTest::newRow("coordinates west positive")
            << "KL7<61.4/149.0>"
            << "KL7" << false << 15 << 28 << 61.4 << -149.0 << "EU" << -1.0;
        QTest::newRow("coordinates east") << "UA9<55.0/-73.4>"
                                          << "UA9" << false << 15 << 28 << 55.0 << 73.4 << "EU" << -1.0;
        QTest::newRow("continent") << "TA1{as}"
                                   << "TA1" << false << 15 << 28 << 50.0 << 16.0 << "AS" << -1.0;
        QTest::newRow("time offset") << "VU~-5.5~"
                                     << "VU" << false << 15 << 28 << 50.0 << 16.0 << "EU" << -5.5;
        QTest::newRow("everything") << " =W1AW/4(5)[8]<35.0/80.0>{NA}~5.0~ "
                                    << "W1AW/4" << true << 5 << 8 << 35.0 << -80.0 << "NA" << 5.0;
        QTest::newRow("lower case") << "ok1"
                                    << "OK1" << false << 15 << 28 << 50.0 << 16.0 << "EU" << -1.0;
    }
    void prefixOverrides()
    {
        QFETCH(QString, item);
        const CtyLocation base{50.0, 16.0, "EU", -1.0, 15, 28};
        const CtyPrefix prefix = CtyDatParser::parsePrefix(item, base);
        QTEST(prefix.text, "text");
        QTEST(prefix.fullCall, "fullCall");
        QTEST(prefix.location.cqZone, "cq");
        QTEST(prefix.location.ituZone, "itu");
        QTEST(prefix.location.latitude, "lat");
        QTEST(prefix.location.longitude, "lon");
        QTEST(prefix.location.continent, "cont");
        QTEST(prefix.location.utcOffset, "utc");
    }

    void malformedPrefixes_data()
    {
        QTest::addColumn<QString>("item");
        QTest::newRow("only =") << "=";
        QTest::newRow("only overrides") << "(5)[8]";
        QTest::newRow("unclosed zone") << "OK(5";
        QTest::newRow("text after overrides") << "OK(5)X";
        QTest::newRow("hyphen") << "O-K";
        QTest::newRow("zone not a number") << "OK(x)";
        QTest::newRow("one coordinate") << "OK<50.0>";
        QTest::newRow("empty continent") << "OK{}";
    }
    void malformedPrefixes()
    {
        QFETCH(QString, item);
        QVERIFY_THROWS_EXCEPTION(RefDataError, CtyDatParser::parsePrefix(item, CtyLocation{}));
    }

    void entities()
    {
        const QList<CtyEntity> entities = CtyDatParser::parse(QString::fromLatin1(SampleCty));
        QCOMPARE(entities.size(), 8);
        const CtyEntity &czech = entities.at(0);
        QCOMPARE(czech.name, QString("Czech Republic"));
        QCOMPARE(czech.primaryPrefix, QString("OK"));
        QCOMPARE(czech.location.longitude, 16.0);
        QCOMPARE(czech.location.latitude, 50.0);
        QCOMPARE(czech.location.utcOffset, -1.0);
        QCOMPARE(czech.prefixes.size(), 4);
        QCOMPARE(czech.line, 1);
        QVERIFY(!czech.waeOnly);
        QVERIFY(entities.at(2).waeOnly);
        QCOMPARE(entities.at(6).prefixes.size(), 2); // list spread over two lines
        QCOMPARE(entities.at(7).location.longitude, -91.87);
        QCOMPARE(entities.at(7).line, 16);
    }

    void malformedFiles_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<QString>("where");
        QTest::newRow("list not ended") << "A:  1: 1: EU: 1.0: 1.0: 0.0: A:\n  A,B\n"
                                        << "line 3";
        QTest::newRow("next header inside a list")
            << "A:  1: 1: EU: 1.0: 1.0: 0.0: A:\n  A\nB:  1: 1: EU: 1.0: 1.0: 0.0: B:\n  B;\n"
            << "line 3";
        QTest::newRow("header cut short") << "A:  1: 1: EU: 1.0\n"
                                          << "line 1";
        QTest::newRow("zone not a number")
            << "A:  1: 1: EU: 1.0: 1.0: 0.0: A:\n  A;\nB: x: 1: EU: 1: 1: 0: B:\n  B;\n"
            << "line 3";
        QTest::newRow("empty list") << "A:  1: 1: EU: 1.0: 1.0: 0.0: A:\n  ;\n"
                                    << "line 2";
        QTest::newRow("bad prefix") << "A:  1: 1: EU: 1.0: 1.0: 0.0: A:\n  A,\n  B(1;\n"
                                    << "line 2";
    }
    void malformedFiles()
    {
        QFETCH(QString, text);
        QFETCH(QString, where);
        try {
            CtyDatParser::parse(text);
            QFAIL("a malformed file was accepted");
        } catch (const RefDataError &e) {
            QVERIFY2(QString::fromUtf8(e.what()).contains(where), e.what());
        }
    }

    void dxccCodes_data()
    {
        QTest::addColumn<QString>("primary");
        QTest::addColumn<QString>("code");
        QTest::newRow("plain") << "OK"
                               << "OK";
        QTest::newRow("suffix letter") << "3D2/c"
                                       << "3D2/C";
        QTest::newRow("other list") << "*IT9"
                                    << "IT9";
    }
    void dxccCodes()
    {
        QFETCH(QString, primary);
        QTEST(DxccTableBuilder::dxccCode(primary), "code");
    }

    void rowsOfTheSample()
    {
        const QList<DxccRow> rows = sampleRows();
        for (int i = 1; i < rows.size(); ++i)
            QVERIFY(rows.at(i - 1).prefix < rows.at(i).prefix);

        const DxccRow *ok = findRow(rows, "OK");
        QVERIFY(ok);
        QCOMPARE(ok->dxcc, QString("OK"));
        QCOMPARE(ok->name, QString("Czech Republic"));
        QCOMPARE(ok->longitude, 16.0);
        QCOMPARE(ok->itu, 28);
        QCOMPARE(ok->waz, 15);

        const DxccRow *kl7 = findRow(rows, "KL7");
        QVERIFY(kl7);
        QCOMPARE(kl7->dxcc, QString("K"));
        QCOMPARE(kl7->latitude, 61.4);
        QCOMPARE(kl7->longitude, -149.0);
        QCOMPARE(kl7->continent, QString("OC"));
        QCOMPARE(kl7->utcOffset, 9.0);

        const DxccRow *aa0 = findRow(rows, "AA0");
        QVERIFY(aa0);
        QCOMPARE(aa0->itu, 7);
        QCOMPARE(aa0->waz, 4);
    }

    void otherListsFoldIntoTheirEntity()
    {
        const QList<DxccRow> rows = sampleRows();
        const DxccRow *it9 = findRow(rows, "IT9");
        QVERIFY(it9);
        QCOMPARE(it9->dxcc, QString("I"));
        QCOMPARE(it9->name, QString("Italy"));
        QCOMPARE(it9->latitude, 37.5); // its own position stays
        QCOMPARE(it9->longitude, 14.0);

        const QList<DxccRow> calls = sampleCalls();
        // Listed under Italy and under Sicily: Sicily's, the more specific, is kept.
        const DxccRow *zz = findRow(calls, "IT9ZZ");
        QVERIFY(zz);
        QCOMPARE(zz->dxcc, QString("I"));
        QCOMPARE(zz->latitude, 37.5);

        const DxccRow *vic = findRow(calls, "4U1VIC");
        QVERIFY(vic);
        QCOMPARE(vic->dxcc, QString("OE"));
        QCOMPARE(vic->name, QString("Austria"));
        QCOMPARE(vic->latitude, 48.2);
        QVERIFY(!findRow(rows, "4U1V")); // Austria stands in the list already

        // No DXCC entity holds it, and it has no prefix: it stands in the list by its code.
        const DxccRow *rock = findRow(rows, "XR/R");
        QVERIFY(rock);
        QVERIFY(rock->entityOnly);
        QCOMPARE(rock->dxcc, QString("XR/R"));
        QCOMPARE(rock->name, QString("Lonely Rock"));

        for (const DxccRow &row : rows)
            QVERIFY(row.dxcc != "IT9" && row.dxcc != "4U1V");
    }

    // Exact calls never become prefixes: each stands once in the list of calls, whatever
    // its length, and the prefixes hold none of them.
    void exactCalls()
    {
        const QList<DxccRow> rows = sampleRows();
        const QList<DxccRow> calls = sampleCalls();
        QStringList callTexts;
        for (const DxccRow &call : calls)
            callTexts << call.prefix;
        QCOMPARE(callTexts, QStringList({"3D2C", "3D2CR", "4U1VIC", "IT9ZZ", "OK1XYZ", "OK5ABC/MM/ANT", "W1AW",
                                         "W1AWX", "W1AWXY", "XR0R"}));
        for (const QString &call : std::as_const(callTexts))
            QVERIFY2(!findRow(rows, call), qPrintable(call));
        const DxccRow *xyz = findRow(calls, "OK1XYZ");
        QCOMPARE(xyz->itu, 27);
        QCOMPARE(xyz->waz, 14);
        QVERIFY(!xyz->entityOnly);

        const DxccRow *conway = findRow(rows, "3D2/C");
        QVERIFY(conway);
        QVERIFY(conway->entityOnly);
        QCOMPARE(conway->longitude, 175.0);
        QCOMPARE(findRow(calls, "3D2C")->dxcc, QString("3D2/C"));
        for (const DxccRow &row : rows)
            QCOMPARE(row.entityOnly, row.prefix == "3D2/C" || row.prefix == "XR/R");
    }

    // The same text as a prefix of one entity and an exact call of another: both kept, apart.
    void prefixAndExactCallOfTheSameText()
    {
        const QString text = "Spain: 14: 37: EU: 40.0: 4.0: -1.0: EA:\n  EA,=EA6;\n"
                             "Balearic Islands: 14: 37: EU: 39.6: -2.9: -1.0: EA6:\n  EA6;\n";
        const DxccTableBuilder builder(CtyDatParser::parse(text));
        const QList<DxccRow> rows = builder.rows();
        QCOMPARE(findRow(rows, "EA6")->dxcc, QString("EA6"));
        QCOMPARE(findRow(builder.calls(), "EA6")->dxcc, QString("EA"));
    }

    void iotaLines()
    {
        const QString text = "AF-001|Agalega Islands|3B6|3B6\r\n"
                             "AF-002|Amsterdam & St. Paul Islands|FT(Z)|FT[0-9]Z\r\n"
                             "\r\n"
                             "NA-136|Connecticut State group|W\r\n"
                             "AS-004|Cyprus Island|5B|5B\r\n"
                             "AS-004|Cyprus Island|ZC4|ZC4\r\n"
                             "AS-004|Cyprus Island|5B|5B\r\n"
                             "AS-206|Honshu\u2019s Coastal Islands East|JA|";
        const QList<IotaRow> rows = IotaTableParser::parse(text);
        QCOMPARE(rows.size(), 6);
        QCOMPARE(rows.at(0), (IotaRow{"AF001", "3B6", "Agalega Islands"}));
        QCOMPARE(rows.at(1), (IotaRow{"AF002", "FT(Z)", "Amsterdam & St. Paul Islands"}));
        QCOMPARE(rows.at(2), (IotaRow{"NA136", "W", "Connecticut State group"}));
        QCOMPARE(rows.at(4).prefix, QString("ZC4"));
        QCOMPARE(rows.at(5).name, QString::fromUtf8("Honshu’s Coastal Islands East"));
    }

    void iotaReferences_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<QString>("reference");
        QTest::newRow("plain") << "EU-005"
                               << "EU005";
        QTest::newRow("lower case") << "eu-123"
                                    << "EU123";
        QTest::newRow("two digits") << "EU-05"
                                    << "";
        QTest::newRow("no dash") << "EU005"
                                 << "";
        QTest::newRow("digit continent") << "E1-005"
                                         << "";
    }
    void iotaReferences()
    {
        QFETCH(QString, text);
        QTEST(IotaTableParser::reference(text), "reference");
    }

    void badIotaLine()
    {
        try {
            IotaTableParser::parse("AF-001|Agalega Islands|3B6\nthis is no entry\n");
            QFAIL("a bad line was accepted");
        } catch (const RefDataError &e) {
            QVERIFY2(QString::fromUtf8(e.what()).contains("line 2"), e.what());
        }
    }

    void writtenFiles()
    {
        QTemporaryDir dir;
        const QString dxcc = dir.filePath("dxcc.db");
        RefDataWriter::writeDxcc(dxcc, {DxccRow{"OK", "OK", "Czech Republic", 16, 50, "EU", -1, 28, 15}});
        // Written again over the first one: replaced, not appended.
        const QList<DxccRow> rows = sampleRows();
        RefDataWriter::writeDxcc(dxcc, rows, sampleCalls());
        QCOMPARE(fieldNames(dxcc, "dxcc"), QStringList({"PREFIX", "DXCC", "NAME", "LONGITUDE", "LATITUDE",
                                                        "CONT", "UTC", "ITU", "WAZ", "ENTITYROW"}));
        QCOMPARE(fieldNames(dxcc, "dxcc_call"), QStringList({"CALL", "DXCC", "NAME", "LONGITUDE", "LATITUDE",
                                                             "CONT", "UTC", "ITU", "WAZ"}));
        QCOMPARE(selectAll(dxcc, "SELECT PREFIX FROM dxcc").size(), rows.size());
        QCOMPARE(selectAll(dxcc, "SELECT * FROM dxcc WHERE PREFIX = 'KL7'"),
                 QList<QStringList>({{"KL7", "K", "United States", "-149", "61.4", "OC", "9", "8", "5", "0"}}));
        QCOMPARE(selectAll(dxcc, "SELECT PREFIX FROM dxcc WHERE ENTITYROW = 1"),
                 QList<QStringList>({{"3D2/C"}, {"XR/R"}}));
        QCOMPARE(selectAll(dxcc, "SELECT * FROM dxcc_call WHERE CALL = 'OK1XYZ'"),
                 QList<QStringList>({{"OK1XYZ", "OK", "Czech Republic", "16", "50", "EU", "-1", "27", "14"}}));

        const QString iota = dir.filePath("iota.db");
        RefDataWriter::writeIota(iota, {IotaRow{"EU005", "G", "Great Britain"}});
        QCOMPARE(fieldNames(iota, "iota"), QStringList({"IOTA", "PREFIX", "NAZEV"}));
        QCOMPARE(selectAll(iota, "SELECT * FROM iota"),
                 QList<QStringList>({{"EU005", "G", "Great Britain"}}));

        const QString clbp = dir.filePath("Clbp.db");
        RefDataWriter::writeCallBookTemplate(clbp);
        QCOMPARE(fieldNames(clbp, "CallBook"),
                 QStringList({"ZNACKA", "TITUL", "PRIJMENI", "JMENO", "ULICE", "MESTO", "PSC", "EMAIL", "LOC",
                              "CLASS", "POZN"}));
        QCOMPARE(selectAll(clbp, "SELECT * FROM CallBook").size(), 0);

        QCOMPARE(QDir(dir.path()).entryList(QDir::Files),
                 QStringList({"Clbp.db", "dxcc.db", "iota.db"})); // no temporary left behind
    }

    void unwritableFolder()
    {
        QVERIFY_THROWS_EXCEPTION(
            RefDataError, RefDataWriter::writeCallBookTemplate("/nonexistent-folder-of-tst-refdata/Clbp.db"));
    }

    // The tables the build staged into the program folder.
    void stagedTables()
    {
        const QDir stage(QStringLiteral(VELKOR_STAGE_DIR));
        const QList<QStringList> dxcc =
            selectAll(stage.filePath("dxcc.db"), "SELECT PREFIX, DXCC, CONT FROM dxcc");
        QVERIFY(dxcc.size() > 5000);
        QVERIFY(selectAll(stage.filePath("dxcc.db"), "SELECT CALL FROM dxcc_call").size() > 10000);
        // Every DXCC entity of the country file stands in the list.
        QFile cty(QStringLiteral("/usr/share/hamradio-files/cty.dat"));
        if (cty.open(QIODevice::ReadOnly)) {
            QSet<QString> codes;
            for (const CtyEntity &entity : CtyDatParser::parse(QString::fromUtf8(cty.readAll()))) {
                if (!entity.waeOnly)
                    codes.insert(DxccTableBuilder::dxccCode(entity.primaryPrefix));
            }
            QSet<QString> listed;
            for (const QStringList &row : dxcc)
                listed.insert(row.at(1));
            QCOMPARE(listed, codes);
        }
        const QRegularExpression prefix("^[/0-9A-Z][/0-9A-Z]{0,6}$");
        const QRegularExpression code("^[/0-9A-Z]{1,7}$");
        for (const QStringList &row : dxcc) {
            QVERIFY2(prefix.match(row.at(0)).hasMatch(), qPrintable(row.at(0)));
            QVERIFY2(code.match(row.at(1)).hasMatch(), qPrintable(row.at(1)));
            QVERIFY2(QStringList({"AF", "AS", "EU", "NA", "OC", "SA"}).contains(row.at(2)),
                     qPrintable(row.join(' ')));
        }
        const QList<QStringList> iota = selectAll(stage.filePath("iota.db"), "SELECT IOTA FROM iota");
        QVERIFY(iota.size() > 1000);
        const QRegularExpression reference("^(AF|AN|AS|EU|NA|OC|SA)[0-9]{3}$");
        for (const QStringList &row : iota)
            QVERIFY2(reference.match(row.at(0)).hasMatch(), qPrintable(row.at(0)));
        QCOMPARE(fieldNames(stage.filePath("Clbp.db"), "CallBook").size(), 11);
        QCOMPARE(selectAll(stage.filePath("Clbp.db"), "SELECT * FROM CallBook").size(), 0);
    }
};

QTEST_GUILESS_MAIN(TestRefData)
#include "tst_refdata.moc"
