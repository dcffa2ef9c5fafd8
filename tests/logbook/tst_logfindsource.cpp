// The find window's search over the log grid's query finds exactly the row the walk over
// the query's records finds, from any row on, in every searchable field, whatever the
// column holds: NULLs, empty texts, numbers and blobs in text columns, letters outside
// ASCII, dates in odd forms; near the start row and beyond it; in date order, in another
// order and under a filter.

#include "FindDialog.h"
#include "FindReference.h"
#include "LogFindSource.h"
#include "TempLog.h"
#include "log/LogFilter.h"
#include "log/LogQuery.h"
#include "log/VkrDatabase.h"

#include <QRandomGenerator>
#include <QSqlError>
#include <QSqlQuery>
#include <QTest>

#include <memory>

namespace
{

const QVariant Null;

const QVariantList CallPool{
    Null,    "",   "OK1ABC", "ok1abc", "OK1ABC/P", "DL/OK1ABC",          "OK2XY",    "OM3ZZ",
    "G3XYZ", "ok", "Ř1A",    7,        14.5,       QByteArray("OK1", 3), "OK1ABCDE", QString(70, u'O')};
const QVariantList TextPool{Null,
                            "",
                            "Praha",
                            "praha",
                            "PRAHA",
                            QStringLiteral("Plzeň"),
                            QStringLiteral("PLZEŇ"),
                            QStringLiteral("Straße"),
                            "STRASSE",
                            "Brno",
                            "a\nb",
                            "10",
                            3,
                            QByteArray("Praha", 5),
                            QString(80, u'a'),
                            QStringLiteral("\U0001F600")};
const QVariantList LocatorPool{Null, "", "JO70FC", "jo70fc", "JN89AB", "JO70", "IO91WM"};
const QVariantList IotaPool{Null, "", "EU-001", "eu-001", "EU-012", "OC-123", "AF-00"};
const QVariantList DatePool{Null,
                            "",
                            "2006-05-01",
                            "2006-05-02",
                            "2006-5-1",
                            "2006-02-30",
                            "01.05.2006",
                            "2006-05-01x",
                            QStringLiteral("२००६-०५-०१"),
                            20060501};

struct Column {
    const char *name;
    const QVariantList *pool;
};
const Column Columns[] = {{"CALL", &CallPool}, {"LOCP", &LocatorPool}, {"LOCO", &LocatorPool},
                          {"IOTA", &IotaPool}, {"DAT", &DatePool},     {"NAME", &TextPool},
                          {"QTH", &TextPool},  {"QSLVIA", &CallPool},  {"NOTE", &TextPool}};

// The searches of each kind: masks with and without sets, stars and question marks, texts
// that the stored values match in some rows and in none.
struct Search {
    const char *field;
    TfrmFind::TFindKind kind;
    QString text;
    bool caseSensitive;
};
const QList<Search> Searches{
    {"CALL", TfrmFind::fkCall, "ok1*", false},
    {"CALL", TfrmFind::fkCall, "OK1ABC", false},
    {"CALL", TfrmFind::fkCall, "*/P", false},
    {"CALL", TfrmFind::fkCall, "O?[12]*", false},
    {"CALL", TfrmFind::fkCall, "*", false},
    {"CALL", TfrmFind::fkCall, "", false},
    {"CALL", TfrmFind::fkCall, "ZZ9*", false},
    {"CALL", TfrmFind::fkCall, "1?.5", false},
    {"LOCP", TfrmFind::fkLocator, "jo70*", false},
    {"LOCO", TfrmFind::fkLocator, "IO91WM", false},
    {"IOTA", TfrmFind::fkIOTA, "EU-0??", false},
    {"IOTA", TfrmFind::fkIOTA, "AN-999", false},
    {"DAT", TfrmFind::fkDate, "1.5.2006", false},
    {"DAT", TfrmFind::fkDate, "2.5.2006", false},
    {"DAT", TfrmFind::fkDate, "1.1.1990", false},
    {"NAME", TfrmFind::fkText, "praha", false},
    {"NAME", TfrmFind::fkText, "Praha", true},
    {"NAME", TfrmFind::fkText, QStringLiteral("plzeň"), false},
    {"QTH", TfrmFind::fkText, QStringLiteral("straße"), false},
    {"QTH", TfrmFind::fkText, "a?b", false},
    {"QSLVIA", TfrmFind::fkText, "ok1*", true},
    {"NOTE", TfrmFind::fkText, "*a", false},
    {"NOTE", TfrmFind::fkText, "nobody", false},
    {"NOTE", TfrmFind::fkText, "[B]*", true},
    {"NOTE", TfrmFind::fkText, "?", false},
};

} // namespace

class TestLogFindSource : public QObject
{
    Q_OBJECT

    std::unique_ptr<TempLog> m_log;
    std::unique_ptr<LogQuery> m_query;
    int m_rows = 0;

    // The walk over the query's records, as the search always went.
    int walk(int from, int field, const Search &search) const
    {
        for (int row = std::max(0, from); row < m_query->RecordCount(); ++row)
            if (ReferenceMatches(search.kind, search.text, search.caseSensitive,
                                 m_query->ValueAt(row, field)))
                return row;
        return -1;
    }

    // Searches from the rows around the edge of the near walk and at the ends; every
    // answer must be the walk's; false after the first difference.
    bool compareSearches(int *found, int *missed)
    {
        TLogFindSource source(m_query.get());
        const int count = m_query->RecordCount();
        for (const Search &search : Searches) {
            const int field = LogFieldIndex(search.field);
            const std::optional<TFindMatch> match =
                TfrmFind::MatchFor(search.kind, search.text, search.caseSensitive);
            if (!match)
                return false;
            for (int from : {0, 1, count / 3, count - TLogFindSource::NearRows - 1,
                             count - TLogFindSource::NearRows, count - 2, count - 1, count}) {
                const int expected = walk(from, field, search);
                const int answer = source.FindFrom(from, field, *match);
                if (answer != expected) {
                    qWarning("%s \"%s\" from %d: %d, the walk %d", search.field, qPrintable(search.text),
                             from, answer, expected);
                    return false;
                }
                ++(expected < 0 ? *missed : *found);
            }
        }
        return true;
    }

    void reopen(const QStringList &order, const QString &where = {}, const QVariantList &values = {})
    {
        m_query = std::make_unique<LogQuery>();
        m_query->SetConnectionName(m_log->connectionName());
        m_query->SetOrderBy(order);
        m_query->SetWhere(where, values);
        m_query->Open();
    }

private slots:
    // Rows of every kind of stored value, written past the program's routines, and many
    // more than the near walk reads, so that the matches lie near and far.
    void initTestCase()
    {
        m_log = std::make_unique<TempLog>();
        QRandomGenerator rng(26);
        QSqlDatabase db = m_log->database();
        QVERIFY(db.transaction());
        QSqlQuery q(db);
        QStringList names{"UTC", "MODE"};
        for (const Column &column : Columns)
            names << column.name;
        QVERIFY(q.prepare(QString("INSERT INTO log (%1) VALUES (%2)")
                              .arg(names.join(','), QStringList(names.size(), "?").join(','))));
        m_rows = 3 * TLogFindSource::NearRows + 37;
        for (int i = 0; i < m_rows; ++i) {
            q.addBindValue(QString("%1:00:00").arg(rng.bounded(24), 2, 10, QChar('0')));
            q.addBindValue(1 + rng.bounded(3));
            for (const Column &column : Columns) {
                // Rare values, so that many searches meet their match far from the start.
                const QVariantList &pool = *column.pool;
                q.addBindValue(rng.bounded(8) == 0 ? pool[rng.bounded(int(pool.size()))] : Null);
            }
            QVERIFY2(q.exec(), qPrintable(q.lastError().text()));
        }
        QVERIFY(db.commit());
    }

    void findsWhatTheWalkFinds_data()
    {
        QTest::addColumn<QStringList>("order");
        QTest::addColumn<QString>("where");
        QTest::addColumn<QVariantList>("values");
        QTest::newRow("date order") << QStringList{} << QString() << QVariantList{};
        QTest::newRow("call order") << QStringList{"CALL", "DAT", "UTC"} << QString() << QVariantList{};
        QTest::newRow("note descending")
            << QStringList{"NOTE DESC", "DAT", "UTC"} << QString() << QVariantList{};
        const TFilterSql mode = BuildFilterLines({MakeFilterRow(fiMODE, "<>", "CW")});
        QTest::newRow("filtered") << QStringList{} << mode.lines.join('\n') << mode.values;
        QTest::newRow("filtered by the searched text")
            << QStringList{} << QString("CASEFOLD(NAME) IS NOT ?") << QVariantList{"PRAHA"};
    }
    void findsWhatTheWalkFinds()
    {
        QFETCH(QStringList, order);
        QFETCH(QString, where);
        QFETCH(QVariantList, values);
        reopen(order, where, values);
        QVERIFY(m_query->RecordCount() > 2 * TLogFindSource::NearRows);
        int found = 0;
        int missed = 0;
        QVERIFY(compareSearches(&found, &missed));
        // Both outcomes were compared, near and far.
        QVERIFY(found > 20);
        QVERIFY(missed > 20);
    }

    // A QSO deleted after the query was read is passed over as an empty field, as the
    // query's records show it.
    void deletedRowsReadAsEmpty()
    {
        reopen({});
        QSqlQuery q(m_log->database());
        QVERIFY(q.exec(
            QString("DELETE FROM log WHERE ID IN (%1, %2)").arg(m_query->IdAt(0)).arg(m_query->IdAt(5))));
        int found = 0;
        int missed = 0;
        QVERIFY(compareSearches(&found, &missed));
        QVERIFY(found > 0);
    }

    // Nothing to search: no rows, or a start beyond the last row.
    void emptyQueryFindsNothing()
    {
        reopen({}, "ID < 0");
        TLogFindSource source(m_query.get());
        const std::optional<TFindMatch> all = TfrmFind::MatchFor(TfrmFind::fkCall, "*", false);
        QCOMPARE(source.FindFrom(0, fiCALL, *all), -1);
        reopen({});
        TLogFindSource full(m_query.get());
        QCOMPARE(full.FindFrom(m_query->RecordCount(), fiCALL, *all), -1);
        QCOMPARE(full.FindFrom(-5, fiCALL, *all), 0);
    }
};

QTEST_GUILESS_MAIN(TestLogFindSource)
#include "tst_logfindsource.moc"
