// The ADIF reader against damaged input: random mutations of the sample files (or of a
// built-in file when they are absent), truncations and huge lengths. Whatever the bytes,
// the reader either reads them or ends with its error, never crashes and never reads
// outside the data: each case is scanned from a buffer of its own exact size, so that a
// build with AddressSanitizer catches any read past it.

#include "ImportTestSupport.h"

#include "base/VelkorError.h"

#include <QDirIterator>
#include <QElapsedTimer>
#include <QFile>
#include <QRandomGenerator>
#include <QTest>

#include <cstring>
#include <memory>

namespace
{

QList<QByteArray> seedFiles()
{
    QList<QByteArray> seeds;
    QDirIterator it(SamplesDir, {QStringLiteral("*.adi")}, QDir::Files, QDirIterator::Subdirectories);
    while (it.hasNext()) {
        QFile f(it.next());
        if (f.size() < 200000 && f.open(QIODevice::ReadOnly))
            seeds << f.readAll();
    }
    seeds << QByteArray(
        "hdr <ADIF_VER:5>3.1.0<EOH>\n<QSO_DATE:8>20240105<TIME_ON:6>123000<CALL:5>OK1AB"
        "<FREQ:6>14.025<BAND:3>20m<MODE:3>SSB<NOTES:4:M>a\r\nb<GRIDSQUARE:4>JN79<IOTA:6>EU-014"
        "<CQZ:2>15<ITUZ:2>28<TX_PWR:3>100<QSL_SENT:1>Y<COMMENT:0><EOR>\n");
    return seeds;
}

const QList<QByteArray> Tokens{"<",   ">",        ":",       "<EOR>",   "<eor>",        "<EOH>",
                               ":M>", "\r\n",     "<CALL:",  "<NOTES:", ":2147483647>", ":99999999999>",
                               ":0>", "<FREQ:4>", "\xff\xfe"};

QByteArray mutate(QByteArray data, QRandomGenerator &rng)
{
    const int edits = 1 + int(rng.bounded(8));
    for (int e = 0; e < edits; ++e) {
        const qsizetype pos = data.isEmpty() ? 0 : qsizetype(rng.bounded(quint32(data.size())));
        switch (rng.bounded(5)) {
        case 0: // flip a byte
            if (!data.isEmpty())
                data[pos] = char(rng.bounded(256));
            break;
        case 1: // insert a token
            data.insert(pos, Tokens[rng.bounded(int(Tokens.size()))]);
            break;
        case 2: // remove a stretch
            data.remove(pos, rng.bounded(16));
            break;
        case 3: // cut the end
            data.truncate(pos);
            break;
        default: // replace a length by a digit run
            data.insert(pos, QByteArray(int(rng.bounded(70)), char('0' + rng.bounded(10))));
            break;
        }
    }
    return data;
}

// Scans the bytes from a heap block of exactly their size.
void readExact(StagedImport &im, const QByteArray &data)
{
    std::unique_ptr<uchar[]> block(new uchar[size_t(qMax<qsizetype>(data.size(), 1))]);
    std::memcpy(block.get(), data.constData(), size_t(data.size()));
    TAdifImport reader(*im.staging, adifOptions(), &StagedImport::dxcc());
    try {
        reader.ReadData(block.get(), data.size());
    } catch (const EVelkorError &) {
        // the reader's own refusal of a bad length
    }
}

} // namespace

class TestAdifFuzz : public QObject
{
    Q_OBJECT

private slots:
    void mutations()
    {
        const QList<QByteArray> seeds = seedFiles();
        QRandomGenerator rng(20240105);
        StagedImport im;
        QElapsedTimer timer;
        timer.start();
        int cases = 0;
        // A few seconds in the suite; VELKOR_FUZZ_SECONDS asks for a longer run.
        const qint64 limit = qMax(4, qEnvironmentVariableIntValue("VELKOR_FUZZ_SECONDS")) * 1000LL;
        while (timer.elapsed() < limit) {
            const QByteArray &seed = seeds[rng.bounded(int(seeds.size()))];
            readExact(im, mutate(seed, rng));
            ++cases;
        }
        qInfo("%d mutated files read", cases);
        QVERIFY(cases > 20);
    }

    void everyTruncationOfARecord()
    {
        const QByteArray full = seedFiles().last();
        StagedImport im;
        for (qsizetype n = 0; n <= full.size(); ++n)
            readExact(im, full.left(n));
    }

    void hugeLengths_data()
    {
        QTest::addColumn<QByteArray>("adif");
        QTest::addColumn<bool>("refused");
        QTest::addColumn<int>("staged");
        QTest::newRow("max int") << QByteArray("<CALL:2147483647>OK1AB<EOR>") << false << 0;
        QTest::newRow("max int with type") << QByteArray("<NOTES:2147483647:M>x\r\n<EOR>") << false << 0;
        QTest::newRow("beyond int") << QByteArray("<CALL:4294967296>OK1AB<EOR>") << true << 0;
        QTest::newRow("leading zeros")
            << QByteArray("<CALL:000000000000000000000000005>OK1AB<EOR>") << false << 1;
        // Not one field whole: nothing of ADIF to review.
        QTest::newRow("length at the very end") << QByteArray("<CALL:5") << true << 0;
        QTest::newRow("open tag at the end") << QByteArray("<CALL") << true << 0;
    }
    void hugeLengths()
    {
        QFETCH(QByteArray, adif);
        QFETCH(bool, refused);
        QFETCH(int, staged);
        StagedImport im;
        bool threw = false;
        try {
            im.read(adif);
        } catch (const EVelkorError &) {
            threw = true;
        }
        QCOMPARE(threw, refused);
        QCOMPARE(im.count(), staged);
    }
};

QTEST_GUILESS_MAIN(TestAdifFuzz)
#include "tst_adiffuzz.moc"
