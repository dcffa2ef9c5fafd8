#include "radio/Amater.h"
#include "log/BulkEdit.h"
#include "base/DatabaseError.h"
#include "radio/DxccList.h"
#include "radio/Locator.h"
#include "ScriptedMessages.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>

#include <memory>

namespace {

TLogRecord record(const QString &loco, const QString &locp, const QString &dxcc)
{
    TLogRecord r;
    r[fiCALL] = QStringLiteral("OK1ABC");
    r[fiLOCO] = loco;
    r[fiLOCP] = locp;
    r[fiDXCC] = dxcc;
    r[fiFREQ] = 14.025;
    r[fiBAND] = GetBandIndex(14.025);
    r[fiQRB] = 123.0;
    return r;
}

} // namespace

class TestBulkEdit : public QObject
{
    Q_OBJECT

    QTemporaryDir m_dir;
    std::unique_ptr<TDxccList> m_dxcc;

private slots:
    void initTestCase()
    {
        QVERIFY(QFile::copy(QStringLiteral(VELKOR_STAGE_DIR "/dxcc.db"), m_dir.filePath("dxcc.db")));
        m_dxcc = std::make_unique<TDxccList>(m_dir.path());
    }

    void text_data()
    {
        QTest::addColumn<int>("field");
        QTest::addColumn<QString>("typed");
        QTest::addColumn<QString>("stored");
        QTest::newRow("own locator") << int(fiLOCO) << "jn79sx" << "JN79SX";
        QTest::newRow("partner's locator") << int(fiLOCP) << "jo70fc" << "JO70FC";
        QTest::newRow("DXCC") << int(fiDXCC) << "ok" << "OK";
        QTest::newRow("IOTA") << int(fiIOTA) << "eu001" << "EU001";
        QTest::newRow("award") << int(fiAWARD) << "p-01" << "P-01";
        QTest::newRow("name as typed") << int(fiNAME) << "jan" << "jan";
        QTest::newRow("note as typed") << int(fiNOTE) << "tnx qso" << "tnx qso";
    }
    void text()
    {
        QFETCH(int, field);
        QFETCH(QString, typed);
        QFETCH(QString, stored);
        QCOMPARE(BulkEditText(field, typed), stored);
        QCOMPARE(BulkEditValue(field, typed).toString(), stored);
    }

    void conversion()
    {
        QCOMPARE(BulkEditValue(fiFREQ, "14,025").toDouble(), 14.025);
        QCOMPARE(BulkEditValue(fiDAT, "5.3.2007").toDate(), QDate(2007, 3, 5));
        QCOMPARE(BulkEditValue(fiUTC, "18:30").toTime(), QTime(18, 30));
        QCOMPARE(BulkEditValue(fiMODE, "2").toInt(), 2);
        QVERIFY(IsEmptyLogValue(BulkEditValue(fiITU, "")));
        QVERIFY_THROWS_EXCEPTION(EDatabaseError, BulkEditValue(fiFREQ, "abc"));
    }

    void frequencyRecomputesTheBand()
    {
        TBulkEdit edit(fiFREQ, BulkEditValue(fiFREQ, "7,025"), *m_dxcc);
        TLogRecord r = record("JN79SX", "", "OK");
        edit.Apply(r);
        QCOMPARE(r[fiFREQ].toDouble(), 7.025);
        QCOMPARE(BandNames[r[fiBAND].toInt()], QString("40m"));
        QCOMPARE(r[fiQRB].toDouble(), 123.0); // nothing else changes

        TBulkEdit outside(fiFREQ, 99999.0, *m_dxcc);
        outside.Apply(r);
        QCOMPARE(r[fiBAND].toInt(), BandOutside);
    }

    void distanceIsRecomputed_data()
    {
        QTest::addColumn<int>("field");
        QTest::addColumn<QString>("value");
        QTest::addColumn<QString>("loco");
        QTest::addColumn<QString>("locp");
        QTest::addColumn<QString>("dxcc");
        QTest::addColumn<int>("expected");
        const int toLocator = DistanceFromOwnLocator("JN79SX", "JO70FC", 0, 0);
        QVERIFY(m_dxcc->FindDxcc("K"));
        const int toUsa = DistanceFromOwnLocator("JN79SX", "", m_dxcc->GetLongitude(), m_dxcc->GetLatitude());
        QVERIFY(m_dxcc->FindDxcc("OK"));
        const int toCzechia = DistanceFromOwnLocator("JN79SX", "", m_dxcc->GetLongitude(), m_dxcc->GetLatitude());
        QTest::newRow("new partner's locator") << int(fiLOCP) << "JO70FC" << "JN79SX" << "" << "K" << toLocator;
        QTest::newRow("partner's locator cleared: the entity") << int(fiLOCP) << "" << "JN79SX" << "JO70FC" << "K"
                                                               << toUsa;
        QTest::newRow("new own locator") << int(fiLOCO) << "JN79SX" << "JO70FC" << "JO70FC" << "K" << toLocator;
        QTest::newRow("new entity") << int(fiDXCC) << "OK" << "JN79SX" << "" << "K" << toCzechia;
        QTest::newRow("entity does not beat a locator") << int(fiDXCC) << "K" << "JN79SX" << "JO70FC" << "OK"
                                                        << toLocator;
        QTest::newRow("unknown entity, no locator") << int(fiDXCC) << "Q9Q" << "JN79SX" << "" << "OK" << 0;
    }
    void distanceIsRecomputed()
    {
        QFETCH(int, field);
        QFETCH(QString, value);
        QFETCH(QString, loco);
        QFETCH(QString, locp);
        QFETCH(QString, dxcc);
        QFETCH(int, expected);
        ScriptedMessages messages;
        TBulkEdit edit(field, BulkEditValue(field, value), *m_dxcc);
        TLogRecord r = record(loco, locp, dxcc);
        edit.Apply(r);
        QCOMPARE(r[field].toString(), value);
        QCOMPARE(r[fiQRB].toDouble(), double(expected));
        QCOMPARE(edit.MissingOwnLocator(), 0);
        QVERIFY(messages.shown.isEmpty());
        QCOMPARE(r[fiITU], QVariant()); // zones are not looked up again
    }

    void missingOwnLocatorIsCountedNotShown()
    {
        ScriptedMessages messages;
        TBulkEdit edit(fiLOCP, BulkEditValue(fiLOCP, "JO70FC"), *m_dxcc);
        for (const QString &own : {QString(), QString("JN7")}) {
            TLogRecord r = record(own, "", "OK");
            edit.Apply(r);
            QCOMPARE(r[fiLOCP].toString(), QString("JO70FC"));
            QCOMPARE(r[fiQRB].toDouble(), 0.0);
        }
        QCOMPARE(edit.MissingOwnLocator(), 2);
        QVERIFY(messages.shown.isEmpty());
    }
};

QTEST_GUILESS_MAIN(TestBulkEdit)
#include "tst_bulkedit.moc"
