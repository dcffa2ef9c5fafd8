#include "base/DatabaseError.h"
#include "radio/DxccList.h"

#include <QFile>
#include <QHash>
#include <QRegularExpression>
#include <QSignalSpy>
#include <QSqlDatabase>
#include <QSqlQuery>
#include <QTemporaryDir>
#include <QTest>

#include <algorithm>
#include <memory>
#include <optional>

namespace
{

// Writes a dxcc.db of the given rows into `folder`.
void writeTable(const QString &folder, const QList<TDxccRow> &rows, bool withKind = false)
{
    const QString connection = QStringLiteral("tst_dxcclist_writer");
    {
        QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), connection);
        db.setDatabaseName(folder + QStringLiteral("/dxcc.db"));
        QVERIFY(db.open());
        QSqlQuery query(db);
        QVERIFY(
            query.exec(QStringLiteral("CREATE TABLE dxcc (PREFIX TEXT, DXCC TEXT, NAME TEXT, LONGITUDE REAL, "
                                      "LATITUDE REAL, CONT TEXT, UTC REAL, ITU INTEGER, WAZ INTEGER%1)")
                           .arg(withKind ? QStringLiteral(", ENTITY_ONLY INTEGER") : QString())));
        QVERIFY(query.prepare(QStringLiteral("INSERT INTO dxcc VALUES (?, ?, ?, ?, ?, ?, ?, ?, ?%1)")
                                  .arg(withKind ? QStringLiteral(", ?") : QString())));
        for (const TDxccRow &row : rows) {
            query.bindValue(0, row.Prefix);
            query.bindValue(1, row.Dxcc);
            query.bindValue(2, row.Name);
            query.bindValue(3, row.Longitude);
            query.bindValue(4, row.Latitude);
            query.bindValue(5, row.Cont);
            query.bindValue(6, row.Utc);
            query.bindValue(7, row.Itu);
            query.bindValue(8, row.Waz);
            if (withKind)
                query.bindValue(9, int(row.EntityOnly));
            QVERIFY(query.exec());
        }
        db.close();
    }
    QSqlDatabase::removeDatabase(connection);
}

TDxccRow row(const QString &prefix, const QString &dxcc, int itu = 28, int waz = 15,
             const QString &cont = "EU", double utc = -1)
{
    return TDxccRow{prefix, dxcc, dxcc + QStringLiteral(" land"), 14.5, 50.0, cont, utc, itu, waz};
}

// The lookup as the table's documentation describes it: walk the first character's bucket
// backwards and keep the strictly longest prefix of the call's first 7 characters.
int referenceScan(const TDxccList &list, const QString &call)
{
    const QString text = call.left(7).toUpper();
    const int p = int(QLatin1String(TDxccList::IndexChars).indexOf(text.at(0))) + 1;
    if (p == 0 || list.FirstCharIndex(p) == -1)
        return -1;
    int q = p + 1;
    while (list.FirstCharIndex(q) == -1)
        ++q;
    int best = -1;
    int bestLength = 0;
    for (int rec = list.FirstCharIndex(q) - 1; rec >= list.FirstCharIndex(p); --rec) {
        const QString &prefix = list.Rows().at(rec - 1).Prefix;
        if (text.startsWith(prefix) && prefix.size() > bestLength && !list.Rows().at(rec - 1).EntityOnly) {
            best = rec;
            bestLength = int(prefix.size());
        }
    }
    return best;
}

void dropExactCalls(const QString &path)
{
    const QString connection = QStringLiteral("tst_dxcclist_drop");
    {
        QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), connection);
        db.setDatabaseName(path);
        QVERIFY(db.open());
        QVERIFY(QSqlQuery(db).exec(QStringLiteral("DROP TABLE dxcc_call")));
        db.close();
    }
    QSqlDatabase::removeDatabase(connection);
}

QStringList masterCalls()
{
    QFile file(QStringLiteral("/usr/share/hamradio-files/MASTER.SCP"));
    if (!file.open(QIODevice::ReadOnly))
        return {};
    QStringList calls;
    for (const QByteArray &line : file.readAll().split('\n')) {
        const QByteArray call = line.trimmed();
        if (!call.isEmpty() && !call.startsWith('#'))
            calls << QString::fromLatin1(call);
    }
    return calls;
}

// cty.dat read on its own, by its documented rules, to check the lookup against: each
// entity a header of eight ":"-ended fields and a ","-list of prefixes ended by ";"; "=CALL"
// is that call only; (n) CQ zone and [n] ITU zone override the entity's. Entities of the other
// lists ("*" before the primary prefix) come first, the first occurrence of a text wins.
class CtyReference
{
public:
    struct Answer {
        QString primary; // the entity's primary prefix as cty.dat writes it
        int itu = 0;
        int waz = 0;
    };

    bool read(const QString &path)
    {
        QFile file(path);
        if (!file.open(QIODevice::ReadOnly))
            return false;
        QList<QStringList> entities;
        for (const QString &block : QString::fromLatin1(file.readAll()).split(QLatin1Char(';'))) {
            QStringList fields = block.split(QLatin1Char(':'));
            if (fields.size() == 9)
                entities << fields;
        }
        std::stable_partition(entities.begin(), entities.end(),
                              [](const QStringList &f) { return f.at(7).trimmed().startsWith('*'); });
        static const QRegularExpression cq(QStringLiteral("\\((\\d+)\\)")), itu(QStringLiteral("\\[(\\d+)\\]"));
        for (const QStringList &f : std::as_const(entities)) {
            const Answer entity{f.at(7).trimmed(), f.at(2).trimmed().toInt(), f.at(1).trimmed().toInt()};
            for (QString item : f.at(8).split(QLatin1Char(','))) {
                item = item.trimmed();
                if (item.isEmpty())
                    continue;
                Answer answer = entity;
                if (const auto m = cq.match(item); m.hasMatch())
                    answer.waz = m.captured(1).toInt();
                if (const auto m = itu.match(item); m.hasMatch())
                    answer.itu = m.captured(1).toInt();
                const bool exact = item.startsWith('=');
                const QString text = item.mid(exact ? 1 : 0).section(QRegularExpression("[\\(\\[<{~]"), 0, 0);
                QHash<QString, Answer> &table = exact ? m_calls : m_prefixes;
                if (!table.contains(text))
                    table.insert(text, answer);
            }
        }
        return !m_prefixes.isEmpty();
    }

    // Exact calls first (also without "/P", "/M", "/QRP", "/QRPP"), then the logbook's KG4
    // rule, then the longest prefix of the first seven characters.
    std::optional<Answer> resolve(const QString &call) const
    {
        for (QString text = call;;) {
            if (m_calls.contains(text))
                return m_calls.value(text);
            const QString suffix = text.section('/', -1);
            if (!text.contains('/') || !QStringList({"P", "M", "QRP", "QRPP"}).contains(suffix))
                break;
            text.chop(suffix.size() + 1);
        }
        if (call.startsWith(QLatin1String("KG4")))
            return m_prefixes.value(call.size() == 5 ? QStringLiteral("KG4") : QStringLiteral("K"));
        for (qsizetype length = std::min<qsizetype>(call.size(), 7); length > 0; --length) {
            if (m_prefixes.contains(call.left(length)))
                return m_prefixes.value(call.left(length));
        }
        return std::nullopt;
    }

private:
    QHash<QString, Answer> m_calls;
    QHash<QString, Answer> m_prefixes;
};

} // namespace

class TestDxccList : public QObject
{
    Q_OBJECT

    std::unique_ptr<TDxccList> m_real;

private slots:
    void initTestCase()
    {
        m_real = std::make_unique<TDxccList>(QStringLiteral(VELKOR_STAGE_DIR));
        QVERIFY(m_real->RecordCount() > 1000);
    }

    void realCalls_data()
    {
        QTest::addColumn<QString>("call");
        QTest::addColumn<QString>("dxcc");
        QTest::addColumn<QString>("prefix");
        QTest::addColumn<int>("itu");
        QTest::addColumn<int>("waz");
        QTest::newRow("Czech call") << "OK1ABC"
                                    << "OK"
                                    << "OK" << 28 << 15;
        QTest::newRow("lower case") << "ok1abc"
                                    << "OK"
                                    << "OK" << 28 << 15;
        QTest::newRow("second prefix of an entity") << "OL7M"
                                                    << "OK"
                                                    << "OL" << 28 << 15;
        QTest::newRow("longer than 7") << "OK1ABCDEFG"
                                       << "OK"
                                       << "OK" << 28 << 15;
        QTest::newRow("KG4 with five characters") << "KG4AB"
                                                  << "KG4"
                                                  << "KG4" << 11 << 8;
        QTest::newRow("KG4 with six characters") << "KG4ABC"
                                                 << "K"
                                                 << "K" << 8 << 5;
        QTest::newRow("KG4 with four characters") << "KG4A"
                                                  << "K"
                                                  << "K" << 8 << 5;
        QTest::newRow("KG4 alone") << "KG4"
                                   << "K"
                                   << "K" << 8 << 5;
        QTest::newRow("lower-case kg4 takes the prefixes") << "kg4abc"
                                                           << "KG4"
                                                           << "KG4" << 11 << 8;
        QTest::newRow("longer prefix beats K") << "KH6XYZ"
                                               << "KH6"
                                               << "KH6" << 61 << 31;
        QTest::newRow("zone override of a prefix") << "AA0AA"
                                                   << "K"
                                                   << "AA0" << 7 << 4;
        QTest::newRow("exact call of an entity without prefixes") << "3D2CR"
                                                                  << "3D2/C"
                                                                  << "3D2/C" << 56 << 32;
        QTest::newRow("exact call with a portable suffix") << "3D2CR/P"
                                                           << "3D2/C"
                                                           << "3D2/C" << 56 << 32;
        QTest::newRow("longer than an exact call") << "3D2CRX"
                                                   << "3D2"
                                                   << "3D2" << 56 << 32;
        QTest::newRow("exact call beats a longer prefix") << "AH6K"
                                                          << "K"
                                                          << "K" << 8 << 5;
        QTest::newRow("a call that begins with an exact call") << "AH6KO"
                                                               << "KH6"
                                                               << "AH6" << 61 << 31;
        QTest::newRow("Sicily counts as Italy") << "IT9ABC"
                                                << "I"
                                                << "IT9" << 28 << 15;
        QTest::newRow("Vienna Intl Ctr counts as Austria") << "4U1VIC"
                                                           << "OE"
                                                           << "OE" << 28 << 15;
        QTest::newRow("digit first") << "1A0KM"
                                     << "1A"
                                     << "1A" << 28 << 15;
    }
    void realCalls()
    {
        QFETCH(QString, call);
        QSignalSpy changes(m_real.get(), &TDxccList::OnChange);
        QVERIFY(m_real->FindCall(call));
        QVERIFY(m_real->Found());
        QCOMPARE(changes.count(), 1);
        QTEST(m_real->GetDxcc(), "dxcc");
        QTEST(m_real->GetPrefix(), "prefix");
        QTEST(m_real->GetITU(), "itu");
        QTEST(m_real->GetWAZ(), "waz");
        QCOMPARE(m_real->Rows().at(m_real->RecNo() - 1).Prefix, m_real->GetPrefix());
    }

    void realEntityData()
    {
        QVERIFY(m_real->FindCall("OK1RR"));
        QCOMPARE(m_real->GetName(), QString("Czech Republic"));
        QCOMPARE(m_real->GetContinentName(), QString("Evropa"));
        QCOMPARE(m_real->GetLatitude(), 50.0);
        QCOMPARE(m_real->GetLongitude(), 16.0); // east positive
        QCOMPARE(m_real->GetUtcOffset(), -1);   // local time = UTC - offset

        QVERIFY(m_real->FindCall("W1AW"));
        QVERIFY(m_real->GetLongitude() < -60); // west of Greenwich
        QCOMPARE(m_real->GetContinentName(), QString("S. Amerika"));

        QVERIFY(m_real->FindCall("IT9XYZ")); // Sicily keeps its own position
        QVERIFY(qAbs(m_real->GetLatitude() - 37.5) < 1.0);
    }

    void notFound_data()
    {
        QTest::addColumn<QString>("call");
        QTest::newRow("empty") << "";
        QTest::newRow("hyphen first") << "-OK1ABC";
        QTest::newRow("diacritic first") << QString::fromUtf8("ŠK1ABC");
        QTest::newRow("lower-case diacritic") << QString::fromUtf8("šk1abc");
        QTest::newRow("blank first") << " OK1ABC";
    }
    void notFound()
    {
        QFETCH(QString, call);
        QVERIFY(m_real->FindCall("OK1ABC"));
        QSignalSpy changes(m_real.get(), &TDxccList::OnChange);
        QVERIFY(!m_real->FindCall(call));
        QVERIFY(!m_real->Found());
        QCOMPARE(changes.count(), 1);
        QCOMPARE(m_real->GetDxcc(), QString());
        QCOMPARE(m_real->GetPrefix(), QString());
        QCOMPARE(m_real->GetName(), QString());
        QCOMPARE(m_real->GetContinentName(), QString());
        QCOMPARE(m_real->GetITU(), 0);
        QCOMPARE(m_real->GetWAZ(), 0);
        QCOMPARE(m_real->GetUtcOffset(), 0);
        QCOMPARE(m_real->GetLatitude(), 0.0);
        QCOMPARE(m_real->GetLongitude(), 0.0);
    }

    void findDxcc_data()
    {
        QTest::addColumn<QString>("code");
        QTest::addColumn<bool>("found");
        QTest::addColumn<QString>("name");
        QTest::addColumn<int>("itu");
        QTest::addColumn<int>("waz");
        QTest::newRow("upper case") << "OK" << true << "Czech Republic" << 28 << 15;
        QTest::newRow("lower case") << "ok" << true << "Czech Republic" << 28 << 15;
        QTest::newRow("entity data, not a prefix override")
            << "K" << true << "United States of America" << 8 << 5;
        QTest::newRow("code with a slash") << "3d2/c" << true << "Conway Reef" << 56 << 32;
        QTest::newRow("no such code") << "OK1" << false << "" << 0 << 0;
        QTest::newRow("empty") << "" << false << "" << 0 << 0;
        QTest::newRow("other lists are no entities") << "IT9" << false << "" << 0 << 0;
    }
    void findDxcc()
    {
        QFETCH(QString, code);
        QFETCH(bool, found);
        QVERIFY(m_real->FindCall("W1AW"));
        QSignalSpy changes(m_real.get(), &TDxccList::OnChange);
        QCOMPARE(m_real->FindDxcc(code), found);
        QCOMPARE(m_real->Found(), found);
        QCOMPARE(changes.count(), 1);
        QCOMPARE(m_real->GetDxcc(), found ? code.toUpper() : QString());
        QTEST(m_real->GetName(), "name");
        QTEST(m_real->GetITU(), "itu");
        QTEST(m_real->GetWAZ(), "waz");
    }

    void setFoundKeepsTheCurrentRow()
    {
        QVERIFY(m_real->FindCall("OK1ABC"));
        const int recNo = m_real->RecNo();
        QVERIFY(!m_real->FindCall("-X"));
        QCOMPARE(m_real->RecNo(), recNo);

        QSignalSpy changes(m_real.get(), &TDxccList::OnChange);
        m_real->SetFound(true);
        QCOMPARE(changes.count(), 1);
        QCOMPARE(m_real->GetDxcc(), QString("OK"));
        m_real->SetFound(false);
        QCOMPARE(changes.count(), 2);
        QVERIFY(!m_real->Found());
        QCOMPARE(m_real->GetDxcc(), QString());
        QCOMPARE(m_real->GetITU(), 0);
    }

    void firstCharIndexDescribesTheBuckets()
    {
        const QList<TDxccRow> &rows = m_real->Rows();
        QCOMPARE(m_real->FirstCharIndex(38), m_real->RecordCount() + 1);
        for (int i = 1; i < rows.size(); ++i)
            QVERIFY2(rows.at(i - 1).Prefix <= rows.at(i).Prefix, qPrintable(rows.at(i).Prefix));
        for (int i = 1; i <= TDxccList::IndexCharCount; ++i) {
            const QChar c = QLatin1Char(TDxccList::IndexChars[i - 1]);
            const int first = m_real->FirstCharIndex(i);
            if (first == -1) {
                for (const TDxccRow &r : rows)
                    QVERIFY(!r.Prefix.startsWith(c));
                continue;
            }
            QVERIFY(rows.at(first - 1).Prefix.startsWith(c));
            QVERIFY(first == 1 || !rows.at(first - 2).Prefix.startsWith(c));
        }
    }

    // Every call of the contest call list, also with a portable suffix and under a longer
    // form, resolves as cty.dat's own rules say: an exact call answers for itself only.
    void masterCallsFollowTheCountryFile()
    {
        const QStringList calls = masterCalls();
        CtyReference reference;
        if (calls.isEmpty() || !reference.read(QStringLiteral("/usr/share/hamradio-files/cty.dat")))
            QSKIP("MASTER.SCP or cty.dat of hamradio-files is not installed");
        QStringList differences;
        for (const QString &call : calls) {
            for (const QString &variant : {call, call + "/P", call + "X"}) {
                const auto expected = reference.resolve(variant);
                const bool found = m_real->FindCall(variant);
                const QString primary = expected ? expected->primary : QString();
                const bool sameEntity = primary.startsWith('*') // counted as the entity it lies in
                                            ? found
                                            : found && m_real->GetDxcc() == primary.toUpper();
                if (found != expected.has_value() ||
                    (found && (!sameEntity || m_real->GetITU() != expected->itu || m_real->GetWAZ() != expected->waz)))
                    differences << QStringLiteral("%1: %2 %3/%4, expected %5 %6/%7")
                                       .arg(variant, m_real->GetDxcc())
                                       .arg(m_real->GetITU())
                                       .arg(m_real->GetWAZ())
                                       .arg(primary)
                                       .arg(expected ? expected->itu : 0)
                                       .arg(expected ? expected->waz : 0);
            }
        }
        QVERIFY2(differences.isEmpty(), qPrintable(QStringLiteral("%1 differences, first: %2")
                                                        .arg(differences.size())
                                                        .arg(differences.mid(0, 10).join("; "))));
    }

    // A search for an exact call finds its entity's row in the list, which holds no exact call.
    void exactCallsStandApartFromThePrefixes()
    {
        QVERIFY(m_real->ExactCallCount() > 10000);
        QVERIFY(m_real->FindCall("3Y0J"));
        QCOMPARE(m_real->GetDxcc(), QString("3Y/B"));
        QCOMPARE(m_real->Rows().at(m_real->RecNo() - 1).Prefix, QString("3Y/B"));
        QVERIFY(m_real->Rows().at(m_real->RecNo() - 1).EntityOnly);
        // The entity's own row never answers as a prefix: 3Y/BX is a Norwegian call sign.
        QVERIFY(m_real->FindCall("3Y/BX"));
        QVERIFY(m_real->GetDxcc() != QString("3Y/B"));
    }

    // Every exact call of the file answers for itself with its own data, in any case and
    // with a portable suffix (unless the file lists that one too).
    void everyExactCallIsFound()
    {
        const QString connection = QStringLiteral("tst_dxcclist_calls");
        QHash<QString, TDxccRow> calls;
        {
            QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), connection);
            db.setDatabaseName(QStringLiteral(VELKOR_STAGE_DIR "/dxcc.db"));
            QVERIFY(db.open());
            QSqlQuery q(db);
            QVERIFY(q.exec(QStringLiteral("SELECT * FROM dxcc_call")));
            while (q.next())
                calls.insert(q.value(0).toString(), TDxccRow{q.value(0).toString(), q.value(1).toString(), {},
                                                             q.value(3).toDouble(), q.value(4).toDouble(), {}, 0,
                                                             q.value(7).toInt(), q.value(8).toInt()});
            db.close();
        }
        QSqlDatabase::removeDatabase(connection);
        QCOMPARE(calls.size(), m_real->ExactCallCount());
        for (const TDxccRow &row : std::as_const(calls)) {
            for (const QString &variant : {row.Prefix, row.Prefix.toLower(), row.Prefix + "/P", row.Prefix + "/QRP"}) {
                if (variant != row.Prefix && calls.contains(variant.toUpper()))
                    continue;
                QVERIFY2(m_real->FindCall(variant), qPrintable(variant));
                QVERIFY2(m_real->GetDxcc() == row.Dxcc && m_real->GetITU() == row.Itu && m_real->GetWAZ() == row.Waz &&
                             m_real->GetLongitude() == row.Longitude && m_real->GetLatitude() == row.Latitude,
                         qPrintable(variant));
            }
        }
    }

    // The binary search over a bucket must give what the backward walk over it gives, for
    // every call of the contest call list and the same calls with a portable suffix (on the
    // prefixes alone: the exact calls are left out of the table).
    void lookupMatchesTheBucketWalk()
    {
        const QStringList calls = masterCalls();
        if (calls.isEmpty())
            QSKIP("MASTER.SCP of hamradio-files is not installed");
        QTemporaryDir folder;
        QVERIFY(QFile::copy(QStringLiteral(VELKOR_STAGE_DIR "/dxcc.db"), folder.filePath("dxcc.db")));
        dropExactCalls(folder.filePath("dxcc.db"));
        const TDxccList prefixesOnly(folder.path());
        QCOMPARE(prefixesOnly.ExactCallCount(), 0);
        QCOMPARE(prefixesOnly.RecordCount(), m_real->RecordCount());
        int checked = 0;
        for (const QString &call : calls) {
            // Beside ASCII calls, ones in lower case and ones with a letter beyond ASCII,
            // which no prefix holds, at each place of the compared part.
            const QString other = call.left(int(call.size() % 8)) + QString::fromUtf8("Ø") + call.mid(int(call.size() % 8));
            for (const QString &variant : {call, call + "/P", "VP2E" + call.mid(2), call.left(3), call.toLower(), other}) {
                if (variant.startsWith("KG4"))
                    continue;
                const int expected = referenceScan(prefixesOnly, variant);
                TDxccList &list = const_cast<TDxccList &>(prefixesOnly);
                QCOMPARE(list.FindCall(variant), expected != -1);
                if (expected != -1)
                    QCOMPARE(list.RecNo(), expected);
                ++checked;
            }
        }
        QVERIFY(checked > 100000);
    }

    void longestPrefixWins_data()
    {
        QTest::addColumn<QString>("call");
        QTest::addColumn<QString>("prefix");
        QTest::newRow("OK1 over OK") << "OK1ABC"
                                     << "OK1";
        QTest::newRow("OK without OK1") << "OK2ABC"
                                        << "OK";
        QTest::newRow("OL next to OK") << "OL5X"
                                       << "OL";
        QTest::newRow("prefix equal to the call") << "OK1"
                                                  << "OK1";
        QTest::newRow("slash first") << "/P"
                                     << "/P";
        QTest::newRow("seven characters compared") << "ABCDEFGX"
                                                   << "ABCDEFG";
        QTest::newRow("eight never match") << "ABCDEFGHX"
                                           << "ABCDEFG";
        QTest::newRow("last bucket") << "ZZ9Z"
                                     << "ZZ";
        QTest::newRow("lower case") << "ok1abc"
                                    << "OK1";
    }
    void longestPrefixWins()
    {
        QFETCH(QString, call);
        QTemporaryDir dir;
        writeTable(dir.path(), {row("OL", "OL"), row("OK1", "OK1"), row("OK", "OK"), row("/P", "P"),
                                row("ABCDEFG", "A7"), row("ABCDEFGH", "A8"), row("ZZ", "ZZ")});
        TDxccList list(dir.path());
        QVERIFY(list.FindCall(call));
        QTEST(list.GetPrefix(), "prefix");
    }

    // Of rows with the same prefix the last answers, unless it stands for an entity only;
    // a prefix beyond ASCII is found as well as any other.
    void samePrefixAgain_data()
    {
        QTest::addColumn<QString>("call");
        QTest::addColumn<QString>("dxcc"); // empty: none
        QTest::newRow("last of equal prefixes") << "DL1ABC" << "DB";
        QTest::newRow("equal prefixes, shorter call") << "DL" << "DB";
        QTest::newRow("last one an entity only") << "F5ABC" << "F";
        QTest::newRow("entity only before a prefix row") << "G4ABC" << "G2";
        QTest::newRow("only an entity") << "HB9X" << "";
        QTest::newRow("prefix beyond ASCII") << QString::fromUtf8("OZØ1A") << "OZX";
        QTest::newRow("same in lower case") << QString::fromUtf8("ozØ1a") << "OZX";
        QTest::newRow("ASCII beside it") << "OZ1A" << "OZ";
        QTest::newRow("longer than compared beyond ASCII") << QString::fromUtf8("OZ1234Ø") << "OZ";
    }
    void samePrefixAgain()
    {
        QFETCH(QString, call);
        QFETCH(QString, dxcc);
        QTemporaryDir dir;
        TDxccRow fOnly = row("F5", "FX"), g1 = row("G4", "G1"), hb = row("HB9", "HB");
        fOnly.EntityOnly = g1.EntityOnly = hb.EntityOnly = true;
        writeTable(dir.path(),
                   {row("DL", "DA"), row("OZ", "OZ"), row("DL", "DB"), row("F", "F"), row("F5", "F5"), fOnly,
                    g1, row("G4", "G2"), hb, row(QString::fromUtf8("OZØ"), "OZX")},
                   true);
        TDxccList list(dir.path());
        QCOMPARE(list.FindCall(call), !dxcc.isEmpty());
        QCOMPARE(list.GetDxcc(), dxcc);
    }

    void unknownFirstCharacter()
    {
        QTemporaryDir dir;
        writeTable(dir.path(), {row("OK", "OK"), row("", "EMPTY")});
        TDxccList list(dir.path());
        QCOMPARE(list.FirstCharIndex(1), -1); // "/"
        QVERIFY(!list.FindCall("A1ABC"));     // no prefix begins with A
        QVERIFY(!list.FindCall("/OK"));
        QVERIFY(list.FindCall("OK9X"));
        QCOMPARE(list.GetDxcc(), QString("OK"));
    }

    void kg4RuleNeedsItsRows()
    {
        QTemporaryDir dir;
        writeTable(dir.path(), {row("K", "K", 8, 5, "NA"), row("KG4", "KG4", 11, 8, "NA")});
        TDxccList list(dir.path());
        QVERIFY(list.FindCall("KG4XY"));
        QCOMPARE(list.GetDxcc(), QString("KG4"));
        QVERIFY(list.FindCall("KG4XYZ"));
        QCOMPARE(list.GetDxcc(), QString("K"));

        QTemporaryDir withoutK;
        writeTable(withoutK.path(), {row("KG4", "KG4", 11, 8, "NA")});
        TDxccList partial(withoutK.path());
        QVERIFY(!partial.FindCall("KG4XYZ")); // the rule does not fall back to the prefixes
        QVERIFY(partial.FindCall("kg4xyz"));
    }

    void continentNames_data()
    {
        QTest::addColumn<QString>("cont");
        QTest::addColumn<QString>("name");
        QTest::newRow("AF") << "AF"
                            << "Afrika";
        QTest::newRow("AS") << "AS"
                            << "Asie";
        QTest::newRow("EU") << "EU"
                            << "Evropa";
        QTest::newRow("NA") << "NA"
                            << "S. Amerika";
        QTest::newRow("OC") << "OC" << QString::fromUtf8("Oceánie");
        QTest::newRow("SA") << "SA"
                            << "J. Amerika";
        QTest::newRow("AN") << "AN"
                            << "";
        QTest::newRow("lower case") << "eu"
                                    << "";
    }
    void continentNames()
    {
        QFETCH(QString, cont);
        QTemporaryDir dir;
        writeTable(dir.path(), {row("X", "X", 1, 1, cont)});
        TDxccList list(dir.path());
        QVERIFY(list.FindCall("X1X"));
        QTEST(list.GetContinentName(), "name");
    }

    void utcOffsetInWholeHours_data()
    {
        QTest::addColumn<double>("stored");
        QTest::addColumn<int>("hours");
        QTest::newRow("whole") << -1.0 << -1;
        QTest::newRow("India") << -5.5 << -6;
        QTest::newRow("half to even down") << 4.5 << 4;
        QTest::newRow("half to even up") << 5.5 << 6;
        QTest::newRow("Nepal") << -5.75 << -6;
        QTest::newRow("Marquesas") << 9.5 << 10;
    }
    void utcOffsetInWholeHours()
    {
        QFETCH(double, stored);
        QTemporaryDir dir;
        writeTable(dir.path(), {row("X", "X", 1, 1, "AS", stored)});
        TDxccList list(dir.path());
        QVERIFY(list.FindDxcc("x"));
        QTEST(list.GetUtcOffset(), "hours");
    }

    void emptyTable()
    {
        QTemporaryDir dir;
        writeTable(dir.path(), {});
        TDxccList list(dir.path());
        QCOMPARE(list.RecordCount(), 0);
        QCOMPARE(list.RecNo(), 0);
        for (int i = 1; i <= TDxccList::IndexCharCount; ++i)
            QCOMPARE(list.FirstCharIndex(i), -1);
        QCOMPARE(list.FirstCharIndex(38), 1);
        QVERIFY(!list.FindCall("OK1ABC"));
        QVERIFY(!list.FindCall("KG4AB"));
        list.SetFound(true);
        QCOMPARE(list.GetDxcc(), QString());
        QCOMPARE(list.GetITU(), 0);
    }

    void startsAtTheFirstRowNotFound()
    {
        QTemporaryDir dir;
        writeTable(dir.path(), {row("OL", "OL"), row("OK", "OK")});
        TDxccList list(dir.path());
        QVERIFY(!list.Found());
        QCOMPARE(list.RecNo(), 1);
        QCOMPARE(list.GetDxcc(), QString());
        list.SetFound(true);
        QCOMPARE(list.GetDxcc(), QString("OK")); // ordered by prefix
    }

    void unreadableTable_data()
    {
        QTest::addColumn<QByteArray>("content");
        QTest::newRow("missing") << QByteArray();
        QTest::newRow("not a database") << QByteArray("PREFIX;DXCC\nOK;OK\n");
    }
    void unreadableTable()
    {
        QFETCH(QByteArray, content);
        QTemporaryDir dir;
        if (!content.isEmpty()) {
            QFile file(dir.filePath("dxcc.db"));
            QVERIFY(file.open(QIODevice::WriteOnly));
            file.write(content);
        }
        QVERIFY_THROWS_EXCEPTION(EDatabaseError, TDxccList list(dir.path()));
        QVERIFY(content.isEmpty() || QFile::exists(dir.filePath("dxcc.db")));
        QVERIFY(!content.isEmpty() || !QFile::exists(dir.filePath("dxcc.db"))); // nothing created
    }

    void tooFewFields()
    {
        QTemporaryDir dir;
        const QString connection = QStringLiteral("tst_dxcclist_short");
        {
            QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), connection);
            db.setDatabaseName(dir.filePath("dxcc.db"));
            QVERIFY(db.open());
            QVERIFY(QSqlQuery(db).exec("CREATE TABLE dxcc (PREFIX TEXT, DXCC TEXT)"));
            db.close();
        }
        QSqlDatabase::removeDatabase(connection);
        try {
            TDxccList list(dir.path());
            QFAIL("a table of two fields was accepted");
        } catch (const EDatabaseError &e) {
            QVERIFY(e.message().contains(QString::fromUtf8("nelze otevřít")));
        }
    }
};

QTEST_GUILESS_MAIN(TestDxccList)
#include "tst_dxcclist.moc"
