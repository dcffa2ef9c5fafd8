#include "radio/Amater.h"
#include "log/LogConnection.h"
#include "log/LogOrder.h"
#include "log/LogQuery.h"
#include "log/LogTable.h"
#include "radio/Locator.h"
#include "log/QsoLookup.h"
#include "ScriptedMessages.h"

#include <QSqlDatabase>
#include <QSqlError>
#include <QSqlQuery>
#include <QTemporaryDir>
#include <QTest>

#include <memory>

namespace {

TLogRecord qso(const QString &call, const QDate &date, const QVariantMap &values = {})
{
    TLogRecord r;
    r[fiCALL] = call;
    r[fiDAT] = date;
    r[fiUTC] = QTime(12, 0);
    for (auto it = values.cbegin(); it != values.cend(); ++it)
        r[LogFieldIndex(it.key())] = it.value();
    return r;
}

QList<TLogRecord> rowsOf(LogQuery &q)
{
    QList<TLogRecord> rows;
    for (int row = 0; row < q.RecordCount(); ++row)
        rows << q.RecordAt(row);
    return rows;
}

void writeCallBook(const QString &path, const QList<QStringList> &rows)
{
    const QString name = QStringLiteral("tst_qsolookup_callbook");
    {
        QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), name);
        db.setDatabaseName(path);
        QVERIFY(db.open());
        QSqlQuery q(db);
        QVERIFY(q.exec("CREATE TABLE CallBook (ZNACKA TEXT, TITUL TEXT, PRIJMENI TEXT, JMENO TEXT, ULICE TEXT, "
                       "MESTO TEXT, PSC TEXT, EMAIL TEXT, LOC TEXT, CLASS TEXT, POZN TEXT)"));
        QVERIFY(q.prepare("INSERT INTO CallBook (ZNACKA, JMENO, MESTO, LOC) VALUES (?, ?, ?, ?)"));
        for (const QStringList &row : rows) {
            for (int i = 0; i < 4; ++i)
                q.bindValue(i, row.value(i));
            QVERIFY(q.exec());
        }
        db.close();
    }
    QSqlDatabase::removeDatabase(name);
}

} // namespace

Q_DECLARE_METATYPE(TQsoFillFields)
Q_DECLARE_METATYPE(TLogRecord)

class TestQsoLookup : public QObject
{
    Q_OBJECT

    std::unique_ptr<QTemporaryDir> m_dir;
    std::unique_ptr<LogConnection> m_connection;
    qint64 m_plainId = 0;

    QStringList previousCalls(const QString &call, qint64 excludeId = 0)
    {
        LogQuery q;
        q.SetConnectionName(m_connection->connectionName());
        const TPreviousQsoFilter filter = PreviousQsoFilter(call, excludeId);
        q.SetWhere(filter.where, filter.values);
        q.Open();
        QStringList calls;
        for (int row = 0; row < q.RecordCount(); ++row)
            calls << q.ValueAt(row, fiCALL).toString();
        return calls;
    }

    // Call signs that differ in letter case, accents, the number and place of "/" and
    // empty parts, in one transaction.
    void storeOddCalls()
    {
        LogTable table(m_connection->connectionName());
        table.StartTransaction();
        for (const char *stored : {"ok1abc", "Ok1AbC/p", "dl/ok1abc/p", "OK1ABC/P/QRP", "F/DL/OK1ABC",
                                   "X/Y/OK1ABC/Z", "OK1ABC/", "/OK1ABC", "OK1ABC//P", "//", "/", "OK1A_C",
                                   "OK1ÁBC", "ok1ábc", "ok1Ábc/P", "P", "DL", "DL/P", "p/dl", "A/B/C/D",
                                   "a/b/c/d/e", "B/C", "OK1ABC0", "OK1ABC.", "Č", "č/X", "",
                                   // Forms that differ in the case of a letter far into the
                                   // call, and long calls of many letters in many forms.
                                   "OK1abc/P", "ok1ABX", "OK1ABx", "AbCdEfGhIjKlMn", "abcdefghijklmn/X",
                                   "ABCDEFGHIJKLMN", "aBcDeFgHiJkLmN/X/Y", "X/abcdefghijklmN", "ABCDEFGHIJKLMO",
                                   // Letters next to the characters that follow them.
                                   "OK1Z", "ok1z/p", "OK1Z[", "OK1z{", "OK1[", "OK1{", "OK1Y",
                                   // Characters outside the basic plane, a backslash.
                                   "OK1😀A", "ok1😀a/P", "OK1😀B", "OK1ABC\\", "ok1abc\\/P"})
            table.Insert(qso(QString::fromUtf8(stored), QDate(2008, 1, 1)));
        table.Commit();
        // Values as older files may hold them: empty text instead of NULL, a number, a blob.
        QSqlQuery raw(m_connection->database());
        for (const char *value : {"''", "1234", "x'4F4B31414243'", "'ok1ABC'"})
            QVERIFY(raw.exec(QString("INSERT INTO log (DAT, UTC, CALL) VALUES ('2008-01-02', '12:00:00', %1)")
                                 .arg(QLatin1String(value))));
    }

    // The look-up as the earlier versions wrote it, on the index of the call sign in
    // NOCASE order: the rows it finds are the rows the look-up must still find.
    QList<qint64> earlierLookUp(const QString &call, qint64 excludeId)
    {
        const QString base = ExtractBaseCall(call);
        QString like;
        for (QChar c : base)
            like += (c == u'\\' || c == u'%' || c == u'_' ? QString(u'\\') : QString()) + c;
        QSqlQuery q(m_connection->database());
        const QString patterns = "CALL LIKE ? ESCAPE '\\' OR CALL LIKE ? ESCAPE '\\' OR CALL LIKE ? ESCAPE '\\' OR "
                                 "CALL LIKE ? ESCAPE '\\'";
        q.prepare("SELECT ID FROM log WHERE ID <> ? AND ID IN (SELECT ID FROM log WHERE CALL = ? COLLATE NOCASE"
                  " UNION ALL SELECT ID FROM log WHERE CALL COLLATE NOCASE >= ? AND CALL COLLATE NOCASE < ?"
                  " UNION ALL SELECT ID FROM log WHERE " + CallHasSlashSql + " AND " + CallTailSql +
                  " = ? COLLATE NOCASE UNION ALL SELECT ID FROM log WHERE " + CallHasSlashesSql + " AND (" +
                  patterns + ")) ORDER BY DAT, UTC, ID");
        for (const QVariant &value : QVariantList{excludeId, base, base + u'/', base + u'0', base, like,
                                                  like + "/%", "%/" + like, "%/" + like + "/%"})
            q.addBindValue(value);
        if (!q.exec())
            qWarning() << q.lastError().text();
        QList<qint64> ids;
        while (q.next())
            ids << q.value(0).toLongLong();
        return ids;
    }

    QList<qint64> previousIds(const QString &call, qint64 excludeId)
    {
        LogQuery q;
        q.SetConnectionName(m_connection->connectionName());
        const TPreviousQsoFilter filter = PreviousQsoFilter(call, excludeId);
        q.SetWhere(filter.where, filter.values);
        q.SetOrderBy({"DAT", "UTC"});
        q.Open();
        QList<qint64> ids;
        for (int row = 0; row < q.RecordCount(); ++row)
            ids << q.IdAt(row);
        return ids;
    }

private slots:
    void init()
    {
        m_dir = std::make_unique<QTemporaryDir>();
        const QString path = m_dir->filePath("OK1XYZ.db");
        CreateLogTable(path);
        m_connection = std::make_unique<LogConnection>(path);
        LogTable table(m_connection->connectionName());
        // Stored out of date order: the query lists them oldest first all the same.
        table.Insert(qso("DL/OK1ABC/P", QDate(2007, 1, 4)));
        m_plainId = table.Insert(qso("OK1ABC", QDate(2007, 1, 1)));
        table.Insert(qso("OK1ABC/P", QDate(2007, 1, 2)));
        table.Insert(qso("DL/OK1ABC", QDate(2007, 1, 3)));
        table.Insert(qso("OK1ABCD", QDate(2007, 1, 5)));
        table.Insert(qso("XOK1ABC", QDate(2007, 1, 6)));
        table.Insert(qso("OK1AB", QDate(2007, 1, 7)));
        table.Insert(qso("OK1ABC/P/X", QDate(2007, 1, 8)));
        table.Insert(qso("OK1A%C", QDate(2007, 1, 9)));
    }
    void cleanup()
    {
        m_connection.reset();
        m_dir.reset();
    }

    void previousQsos_data()
    {
        QTest::addColumn<QString>("call");
        QTest::addColumn<QStringList>("expected");
        // Any text after the base call and a "/" counts as a suffix.
        const QStringList allForms{"OK1ABC", "OK1ABC/P", "DL/OK1ABC", "DL/OK1ABC/P", "OK1ABC/P/X"};
        QTest::newRow("plain call") << "OK1ABC" << allForms;
        QTest::newRow("portable suffix") << "OK1ABC/P" << allForms;
        QTest::newRow("foreign prefix") << "DL/OK1ABC" << allForms;
        QTest::newRow("prefix and suffix") << "HB9/OK1ABC/M" << allForms;
        QTest::newRow("shorter call is another station") << "OK1AB" << QStringList{"OK1AB"};
        QTest::newRow("wildcard characters match only themselves") << "OK1A%C" << QStringList{"OK1A%C"};
        QTest::newRow("underscore is no wildcard") << "OK1A_C" << QStringList{};
        QTest::newRow("quote is bound, not spliced") << "X' OR '1'='1" << QStringList{};
        QTest::newRow("unknown station") << "W1AW" << QStringList{};
    }
    void previousQsos()
    {
        QFETCH(QString, call);
        QFETCH(QStringList, expected);
        QCOMPARE(previousCalls(call), expected);
    }

    // The indexed look-up against the four LIKE patterns it stands for, on call signs
    // that differ in letter case, accents, the number and place of "/" and empty parts.
    void previousQsosEqualTheLikePatterns_data()
    {
        QTest::addColumn<QString>("call");
        for (const char *call : {"OK1ABC", "ok1abc/p", "DL/OK1ABC", "HB9/OK1ABC/M", "OK1ABC/P/QRP", "A/B/C/D",
                                 "/", "//", "OK1ABC/", "/OK1ABC", "OK1ÁBC", "ok1ábc", "OK1A%C", "OK1A_C", "DL", "P",
                                 "Č", "X' OR '1'='1", "/OK1ABC/", "OK1ABC//P", "oK1aBc", "ok1abx",
                                 "ABCDEFGHIJKLMN/P", "abcdefghijklmn", "OK1Z", "ok1z", "OK1Z[", "OK1[", "OK1😀A",
                                 "ok1😀a/p", "1234", "OK1ABC\\"})
            QTest::newRow(call) << QString::fromUtf8(call);
    }
    void previousQsosEqualTheLikePatterns()
    {
        QFETCH(QString, call);
        storeOddCalls();
        const QString base = ExtractBaseCall(call);
        QString like = QStringLiteral(""); // an empty pattern, not NULL
        for (QChar c : base)
            like += (c == u'\\' || c == u'%' || c == u'_' ? QString(u'\\') : QString()) + c;
        QSqlQuery reference(m_connection->database());
        QVERIFY(reference.prepare("SELECT CALL FROM log WHERE CALL LIKE ? ESCAPE '\\' OR CALL LIKE ? ESCAPE '\\' "
                                  "OR CALL LIKE ? ESCAPE '\\' OR CALL LIKE ? ESCAPE '\\' ORDER BY DAT, UTC, ID"));
        for (const QString &pattern : {like, like + "/%", "%/" + like, "%/" + like + "/%"})
            reference.addBindValue(pattern);
        QVERIFY(reference.exec());
        QStringList expected;
        while (reference.next())
            expected << reference.value(0).toString();
        QCOMPARE(previousCalls(call), expected);
    }

    // The same rows, in the same order, as the look-up of earlier versions, also for an
    // empty or missing call and with the edited QSO left out.
    void previousQsosEqualTheEarlierLookUp_data()
    {
        QTest::addColumn<QString>("call");
        QTest::addColumn<bool>("excludeOne");
        QTest::newRow("no call at all") << QString() << false;
        QTest::newRow("empty call") << QString("") << false;
        for (const char *call : {"/", "//", "OK1ABC", "ok1abc", "HB9/ok1abc/M", "OK1ABC//P", "OK1Z", "OK1z",
                                 "OK1[", "abcdefghijklmn", "X/ABCDEFGHIJKLMN", "OK1😀A", "OK1ABC\\", "1234",
                                 "OK1ÁBC", "Č", "DL", "P"}) {
            QTest::newRow(call) << QString::fromUtf8(call) << false;
            QTest::newRow(qPrintable(QString::fromUtf8(call) + " edited")) << QString::fromUtf8(call) << true;
        }
    }
    void previousQsosEqualTheEarlierLookUp()
    {
        QFETCH(QString, call);
        QFETCH(bool, excludeOne);
        storeOddCalls();
        const QList<qint64> all = earlierLookUp(call, 0);
        const qint64 excluded = excludeOne && !all.isEmpty() ? all[all.size() / 2] : 0;
        const QList<qint64> expected = earlierLookUp(call, excluded);
        QCOMPARE(previousIds(call, excluded), expected);
        QCOMPARE(expected.size(), all.size() - (excluded != 0 ? 1 : 0));
    }

    // In a large log the few earlier QSOs of a station, and larger shares of it, come in
    // SQLite's order whichever way the query orders them.
    void slicesOfALargeLogKeepSqlitesOrder_data()
    {
        QTest::addColumn<int>("logSize");
        QTest::addColumn<QString>("where");
        QTest::addColumn<QVariantList>("values");
        const TPreviousQsoFilter station = PreviousQsoFilter("OK1ABC");
        const int large = 70000;
        QTest::newRow("earlier QSOs of a station") << large << station.where << station.values;
        QTest::newRow("the same in a smaller log") << 5000 << station.where << station.values;
        QTest::newRow("nothing") << large << QString("ID < ?") << QVariantList{0};
        for (int rows : {large / 1024, large / 16, large / 16 + 1})
            QTest::newRow(qPrintable(QString("the first %1 rows").arg(rows)))
                << large << QString("ID <= ?") << QVariantList{rows};
        QTest::newRow("half of the log") << large << QString("ID % 2 = ?") << QVariantList{0};
    }
    void slicesOfALargeLogKeepSqlitesOrder()
    {
        QFETCH(int, logSize);
        QFETCH(QString, where);
        QFETCH(QVariantList, values);
        m_connection.reset();
        m_dir = std::make_unique<QTemporaryDir>();
        const QString path = m_dir->filePath("OK1XYZ.db");
        CreateLogTable(path);
        m_connection = std::make_unique<LogConnection>(path);
        QSqlQuery q(m_connection->database());
        // Dates and times scattered, some calls of the station among the others.
        QVERIFY(q.exec(QString("WITH RECURSIVE n(i) AS (SELECT 1 UNION ALL SELECT i + 1 FROM n WHERE i < %1)"
                               " INSERT INTO log (DAT, UTC, CALL, NAME) SELECT date('2000-01-01', (i * 7919 % 9000)"
                               " || ' days'), time(i * 31 % 86400, 'unixepoch'), CASE i % 9973 WHEN 0 THEN"
                               " 'ok1abc/p' WHEN 1 THEN 'OK1ABC' ELSE 'DL' || i END, CASE i % 7 WHEN 0 THEN NULL"
                               " ELSE 'N' || (i % 101) END FROM n")
                           .arg(logSize)));
        for (const QStringList &order : {LogQuery::SortOrderFor(fiDAT), LogQuery::SortOrderFor(fiNAME)}) {
            QSqlQuery reference(m_connection->database());
            QVERIFY(reference.prepare("SELECT ID FROM log WHERE " + where + " ORDER BY " + order.join(',') + ", ID"));
            for (const QVariant &value : values)
                reference.addBindValue(value);
            QVERIFY(reference.exec());
            std::vector<qint64> expected;
            while (reference.next())
                expected.push_back(reference.value(0).toLongLong());
            const std::optional<std::vector<qint64>> ids =
                OrderSelectedIds(m_connection->database(), ParseLogOrder(order), where, values);
            if (ids)
                QVERIFY(*ids == expected);
            LogQuery query;
            query.SetConnectionName(m_connection->connectionName());
            query.SetWhere(where, values);
            query.SetOrderBy(order);
            query.Open();
            std::vector<qint64> opened;
            for (int row = 0; row < query.RecordCount(); ++row)
                opened.push_back(query.IdAt(row));
            QVERIFY(opened == expected);
        }
    }

    // Every part of the look-ups reads an index; the calls with two "/" or more are read
    // from a partial index that holds only them.
    void lookUpsReadIndexes_data()
    {
        QTest::addColumn<QString>("where");
        QTest::addColumn<QVariantList>("values");
        const TPreviousQsoFilter previous = PreviousQsoFilter("DL/OK1ABC/P", 7);
        QTest::newRow("earlier QSOs") << previous.where << previous.values;
        QTest::newRow("entity on a band") << QString("DXCC = ? AND BAND = ?") << QVariantList{"OK", 5};
    }
    void lookUpsReadIndexes()
    {
        QFETCH(QString, where);
        QFETCH(QVariantList, values);
        QSqlQuery q(m_connection->database());
        QVERIFY(q.prepare("EXPLAIN QUERY PLAN SELECT ID FROM log WHERE " + where));
        for (const QVariant &value : values)
            q.addBindValue(value);
        QVERIFY(q.exec());
        QStringList plan;
        while (q.next())
            plan << q.value(3).toString();
        for (const QString &step : plan)
            QVERIFY2(!step.startsWith("SCAN log") || step.contains("USING COVERING INDEX log_call_slashes"),
                     qPrintable(plan.join(" | ")));
        QVERIFY2(plan.join(' ').contains("INDEX"), qPrintable(plan.join(" | ")));
    }

    void previousQsosLeaveOutTheEditedOne()
    {
        QCOMPARE(previousCalls("OK1ABC", m_plainId), QStringList({"OK1ABC/P", "DL/OK1ABC", "DL/OK1ABC/P", "OK1ABC/P/X"}));
    }

    void fillFromPreviousQsos_data()
    {
        QTest::addColumn<QList<TLogRecord>>("rows");
        QTest::addColumn<QString>("call");
        QTest::addColumn<TQsoFillFields>("before");
        QTest::addColumn<TQsoFillFields>("expected");

        const QVariantMap full{{"NAME", "Jan"},     {"QTH", "Praha"},  {"QSLVIA", "OK1QSL"}, {"LOCP", "JO70FC"},
                               {"IOTA", "EU001"},   {"AWARD", "P-01"}, {"DXCC", "OK"},       {"ITU", 28},
                               {"WAZ", 15}};
        TQsoFillFields fromFull{"Jan", "Praha", "OK1QSL", "JO70FC", "EU001", "P-01", "OK", "28", "15"};

        QTest::newRow("exact match fills everything")
            << QList<TLogRecord>{qso("OK1ABC", QDate(2007, 1, 1), full)} << "OK1ABC" << TQsoFillFields{}
            << fromFull;

        TQsoFillFields onlyName;
        onlyName.Name = "Jan";
        QTest::newRow("never exact: the name only")
            << QList<TLogRecord>{qso("OK1ABC/P", QDate(2007, 1, 1), full)} << "OK1ABC" << TQsoFillFields{}
            << onlyName;

        // The name of a portable QSO after the first exact match no longer counts.
        TQsoFillFields nameOfExact = fromFull;
        nameOfExact.Name = "Jan";
        QTest::newRow("name from forms before the first exact match only")
            << QList<TLogRecord>{qso("OK1ABC/P", QDate(2007, 1, 1), {{"NAME", "Honza"}}),
                                 qso("OK1ABC", QDate(2007, 1, 2), full),
                                 qso("OK1ABC/P", QDate(2007, 1, 3), {{"NAME", "Karel"}})}
            << "OK1ABC" << TQsoFillFields{} << nameOfExact;

        TQsoFillFields olderName;
        olderName.Name = "Honza";
        olderName.Dxcc = "OK";
        QTest::newRow("exact row without a name keeps the older one")
            << QList<TLogRecord>{qso("OK1ABC/P", QDate(2007, 1, 1), {{"NAME", "Honza"}}),
                                 qso("OK1ABC", QDate(2007, 1, 2), {{"DXCC", "OK"}})}
            << "OK1ABC" << TQsoFillFields{} << olderName;

        // A newer exact QSO without locator and IOTA empties them again.
        TQsoFillFields newerEmpty = fromFull;
        newerEmpty.LocP.clear();
        newerEmpty.Iota.clear();
        newerEmpty.Itu.clear();
        newerEmpty.Waz.clear();
        QTest::newRow("newer exact row with empty locator and IOTA")
            << QList<TLogRecord>{qso("OK1ABC", QDate(2007, 1, 1), full),
                                 qso("OK1ABC", QDate(2007, 1, 2), {{"NAME", "Jan"}})}
            << "OK1ABC" << TQsoFillFields{} << newerEmpty;

        TQsoFillFields invalidLoc = fromFull;
        invalidLoc.LocP = "JO70FC";
        invalidLoc.Dxcc = "OK";
        QTest::newRow("invalid locator and DXCC are passed over")
            << QList<TLogRecord>{qso("OK1ABC", QDate(2007, 1, 1), full),
                                 qso("OK1ABC", QDate(2007, 1, 2),
                                     {{"NAME", "Jan"}, {"LOCP", "XX"}, {"DXCC", "O-K"}, {"ITU", 28}, {"WAZ", 15},
                                      {"IOTA", "EU001"}})}
            << "OK1ABC" << TQsoFillFields{} << invalidLoc;

        TQsoFillFields typed{"Pepa", "Brno", "", "JN89AA", "", "", "", "", ""};
        TQsoFillFields keepsTyped = fromFull;
        keepsTyped.Name = "Pepa";
        keepsTyped.Qth = "Brno";
        keepsTyped.LocP = "JN89AA";
        QTest::newRow("typed values stay")
            << QList<TLogRecord>{qso("OK1ABC", QDate(2007, 1, 1), full)} << "OK1ABC" << typed << keepsTyped;

        // Call signs are compared exactly: a row stored in lower case is another form of
        // the call, which gives the name alone.
        QTest::newRow("letter case of stored calls")
            << QList<TLogRecord>{qso("ok1abc", QDate(2007, 1, 1), full)} << "OK1ABC" << TQsoFillFields{}
            << onlyName;
        QTest::newRow("no rows") << QList<TLogRecord>{} << "OK1ABC" << typed << typed;
    }
    void fillFromPreviousQsos()
    {
        QFETCH(QList<TLogRecord>, rows);
        QFETCH(QString, call);
        QFETCH(TQsoFillFields, before);
        QFETCH(TQsoFillFields, expected);
        TQsoFillFields fields = before;
        FillFromPreviousQsos(rows, call, fields);
        QCOMPARE(fields.Name, expected.Name);
        QCOMPARE(fields.Qth, expected.Qth);
        QCOMPARE(fields.QslVia, expected.QslVia);
        QCOMPARE(fields.LocP, expected.LocP);
        QCOMPARE(fields.Iota, expected.Iota);
        QCOMPARE(fields.Award, expected.Award);
        QCOMPARE(fields.Dxcc, expected.Dxcc);
        QCOMPARE(fields.Itu, expected.Itu);
        QCOMPARE(fields.Waz, expected.Waz);
    }

    void fillFromTheLog()
    {
        // The whole road: query the earlier QSOs, then fill from them.
        LogTable table(m_connection->connectionName());
        table.Insert(qso("OK1ABC", QDate(2008, 1, 1), {{"NAME", "Jan"}, {"QTH", "Praha"}}));
        LogQuery q;
        q.SetConnectionName(m_connection->connectionName());
        const TPreviousQsoFilter filter = PreviousQsoFilter("OK1ABC");
        q.SetWhere(filter.where, filter.values);
        q.Open();
        TQsoFillFields fields;
        FillFromPreviousQsos(rowsOf(q), "OK1ABC", fields);
        QCOMPARE(fields.Name, QString("Jan"));
        QCOMPARE(fields.Qth, QString("Praha"));
    }

    void callBookApplies_data()
    {
        QTest::addColumn<QString>("call");
        QTest::addColumn<bool>("applies");
        QTest::newRow("OK") << "OK1ABC" << true;
        QTest::newRow("OL") << "OL5Y" << true;
        QTest::newRow("OM") << "OM3ABC" << false;
        QTest::newRow("foreign prefix") << "DL/OK1ABC" << false;
        QTest::newRow("too short") << "O" << false;
    }
    void callBookApplies()
    {
        QFETCH(QString, call);
        QFETCH(bool, applies);
        QCOMPARE(CallBookApplies(call), applies);
    }

    void callBookLookup()
    {
        QTemporaryDir appDir;
        {
            TCallBookLookup missing(appDir.path());
            QVERIFY(!missing.IsOpen());
            TCallBookEntry entry;
            QVERIFY(!missing.Find("OK1ABC", entry));
        }
        writeCallBook(appDir.filePath("CallBook.db"),
                      {{"OK1ABC", "Jan", "Praha", "JO70FC"}, {"ok2xyz", "Eva", "Brno", ""}, {"OK1'Q", "Q", "", ""}});
        TCallBookLookup lookup(appDir.path());
        QVERIFY(lookup.IsOpen());
        TCallBookEntry entry;
        QVERIFY(lookup.Find("OK1ABC", entry));
        QCOMPARE(entry.Name, QString("Jan"));
        QCOMPARE(entry.Town, QString("Praha"));
        QCOMPARE(entry.Locator, QString("JO70FC"));
        QVERIFY(lookup.Find("OK2XYZ", entry)); // letter case ignored
        QCOMPARE(entry.Name, QString("Eva"));
        QVERIFY(lookup.Find("OK1'Q", entry)); // a quote is bound as a value
        QCOMPARE(entry.Name, QString("Q"));
        QVERIFY(!lookup.Find("OK1AB", entry)); // exact match only
    }

    void callBookImportedLater()
    {
        QTemporaryDir appDir;
        TCallBookLookup lookup(appDir.path());
        QVERIFY(!lookup.IsOpen());
        writeCallBook(appDir.filePath("CallBook.db"), {{"OK1ABC", "Jan", "Praha", "JO70FC"}});
        TCallBookEntry entry;
        QVERIFY(lookup.Find("OK1ABC", entry));
    }

    void fillFromCallBook()
    {
        TQsoFillFields fields;
        fields.Name = "Honza"; // from an earlier QSO: wins
        FillFromCallBook({"OK1ABC", "Jan", "Praha", "JO70FC"}, fields);
        QCOMPARE(fields.Name, QString("Honza"));
        QCOMPARE(fields.Qth, QString("Praha"));
        QCOMPARE(fields.LocP, QString("JO70FC"));

        TQsoFillFields bad;
        FillFromCallBook({"OK1ABC", "", "", "JO70"}, bad);
        QCOMPARE(bad, TQsoFillFields{});
    }

    void needsQslRequest()
    {
        const int band20 = GetBandIndex(14.2);
        const int band40 = GetBandIndex(7.0);
        QVERIFY(NeedsQslRequest({}, 1, band20)); // first QSO with the station
        const QList<TLogRecord> rows{
            qso("OK1ABC", QDate(2007, 1, 1), {{"MODE", 1}, {"BAND", band20}, {"QSLP", 1}}),
            qso("OK1ABC", QDate(2007, 1, 2), {{"MODE", 2}, {"BAND", band20}, {"QSLP", 0}}),
        };
        QVERIFY(!NeedsQslRequest(rows, 1, band20));
        QVERIFY(NeedsQslRequest(rows, 2, band20));
        QVERIFY(NeedsQslRequest(rows, 1, band40));
    }

    void sessionKey()
    {
        QCOMPARE(SessionKey("OK", 6), QString("OK;6"));
    }

    void reportForMode_data()
    {
        QTest::addColumn<QString>("report");
        QTest::addColumn<QString>("mode");
        QTest::addColumn<QString>("expected");
        QTest::newRow("SSB takes RS") << "599" << "SSB" << "59";
        QTest::newRow("CW takes RST") << "59" << "CW" << "599";
        QTest::newRow("CW keeps RST") << "599" << "CW" << "599";
        QTest::newRow("PSK31 takes RS") << "599" << "PSK31" << "59";
        QTest::newRow("PSK takes RST") << "57" << "PSK" << "579";
        QTest::newRow("SSTV takes RST") << "55" << "SSTV" << "559";
        QTest::newRow("lower-case mode") << "59" << "cw" << "599";
        QTest::newRow("no mode takes RS") << "599" << "" << "59";
        QTest::newRow("one character stays") << "5" << "CW" << "5";
        QTest::newRow("empty stays") << "" << "SSB" << "";
    }
    void reportForMode()
    {
        QFETCH(QString, report);
        QFETCH(QString, mode);
        QFETCH(QString, expected);
        QCOMPARE(ReportForMode(report, mode), expected);
    }

    void capitalize_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<QString>("qth");
        QTest::addColumn<QString>("name");
        QTest::newRow("plain") << "praha" << "Praha" << "Praha";
        QTest::newRow("near with dot") << "nr. praha" << "nr. Praha" << "Nr. praha";
        QTest::newRow("near without dot") << "nr praha" << "nr Praha" << "Nr praha";
        QTest::newRow("near in capitals") << "NR. praha" << "NR. Praha" << "NR. praha";
        QTest::newRow("nr. alone") << "nr.x" << "Nr.x" << "Nr.x";
        QTest::newRow("Czech letter") << "čáslav" << "Čáslav" << "Čáslav";
        QTest::newRow("empty") << "" << "" << "";
    }
    void capitalize()
    {
        QFETCH(QString, text);
        QFETCH(QString, qth);
        QFETCH(QString, name);
        QCOMPARE(CapitalizeQth(text), qth);
        QCOMPARE(CapitalizeName(text), name);
    }

    void completeLocator()
    {
        QCOMPARE(CompleteLocator("JN79"), QString("JN79MM"));
        QCOMPARE(CompleteLocator("JN79SX"), QString("JN79SX"));
        QCOMPARE(CompleteLocator("JN7"), QString("JN7"));
        QCOMPARE(CompleteLocator(""), QString(""));
    }

    void bandLabel()
    {
        bool ok = false;
        QCOMPARE(BandLabelText("14,2", &ok), QString("Pásmo: 20m"));
        QVERIFY(ok);
        QCOMPARE(BandLabelText("99999", &ok), QString("Pásmo: Mimo!"));
        QVERIFY(ok);
        QCOMPARE(BandLabelText("", &ok), QString());
        QVERIFY(!ok);
        QCOMPARE(BandLabelText("14.2", &ok), QString()); // the decimal separator is ","
        QVERIFY(!ok);
    }

    void dxLocalTime()
    {
        QCOMPARE(DxLocalTime(QTime(1, 0), 5), QTime(20, 0));
        QCOMPARE(DxLocalTime(QTime(23, 30), -1), QTime(0, 30));
        QCOMPARE(DxLocalTime(QTime(12, 0), 0), QTime(12, 0));
    }

    void distanceAndAzimuth()
    {
        ScriptedMessages messages;
        // Nothing to measure to: 0 without a message.
        QCOMPARE(QsoDistance("JO70FC", "", false, 0, 0), 0);
        QCOMPARE(QsoAzimuth("JO70FC", "", false, 0, 0), 0);
        QVERIFY(messages.shown.isEmpty());
        // The partner's locator wins over the entity's coordinates.
        const int toLocator = QsoDistance("JO70FC", "JN79SX", true, -100, 40);
        QCOMPARE(toLocator, DistanceFromOwnLocator("JO70FC", "JN79SX", 0, 0));
        QVERIFY(toLocator > 0 && toLocator < 300);
        // Without it the entity stands in.
        QCOMPARE(QsoDistance("JO70FC", "", true, -100, 40), DistanceFromOwnLocator("JO70FC", "", -100, 40));
        QCOMPARE(QsoAzimuth("JO70FC", "", true, -100, 40), AzimuthFromOwnLocator("JO70FC", "", -100, 40));
        QVERIFY(messages.shown.isEmpty());
        // No own locator: the routine warns and gives 0.
        QCOMPARE(QsoDistance("", "JN79SX", false, 0, 0), 0);
        QCOMPARE(messages.lastText(), QString("Chybí vlastní lokátor, nelze vypočítat vzdálenost!"));
    }
};

QTEST_GUILESS_MAIN(TestQsoLookup)
#include "tst_qsolookup.moc"
