#include "log/LogFilter.h"
#include "base/CaseFold.h"
#include "log/LogQuery.h"
#include "log/LogTable.h"
#include "TempLog.h"
#include "log/VkrDatabase.h"

#include <QSqlQuery>
#include <QTest>

#include <memory>

using Rows = QList<TFilterRow>;
Q_DECLARE_METATYPE(TFilterRow)

namespace {

TFilterRow row(int field, const QString &op, const QString &text)
{
    return MakeFilterRow(field, op, text);
}

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

} // namespace

class TestLogFilter : public QObject
{
    Q_OBJECT

    std::unique_ptr<TempLog> m_log;
    // Names and places whose letters outside ASCII come in both cases.
    std::unique_ptr<TempLog> m_letters;

    // The call signs the rows select, in ID order.
    QStringList select(const Rows &rows) { return select(*m_log, rows); }
    QStringList select(TempLog &log, const Rows &rows)
    {
        const TFilterSql sql = BuildFilterLines(rows);
        LogQuery q;
        q.SetConnectionName(log.connectionName());
        q.SetWhere(sql.lines.join(u'\n'), sql.values);
        q.SetOrderBy({QStringLiteral("ID")});
        q.Open();
        QStringList calls;
        for (int r = 0; r < q.RecordCount(); ++r)
            calls << q.ValueAt(r, fiCALL).toString();
        return calls;
    }

    QStringList allRowsAsText()
    {
        QStringList rows;
        QSqlQuery q(m_log->database());
        q.exec(QStringLiteral("SELECT * FROM log ORDER BY ID"));
        while (q.next()) {
            QStringList values;
            for (int i = 0; i < LogFieldCount; ++i)
                values << q.value(i).toString();
            rows << values.join(u'|');
        }
        return rows;
    }

private slots:
    void initTestCase()
    {
        m_log = std::make_unique<TempLog>();
        LogTable table(m_log->connectionName());
        table.Insert(qso("OK2ABC", QDate(2004, 12, 31),
                         {{"MODE", 1}, {"FREQ", 3.55}, {"PWR", 100.0}, {"NAME", "Petr"}, {"QSLO", 2}, {"ITU", 28}}));
        table.Insert(qso("OK1XYZ", QDate(2005, 1, 1),
                         {{"MODE", 2}, {"FREQ", 14.2}, {"PWR", 5.0}, {"NOTE", "100% QRP_test"}, {"ITU", 28}}));
        table.Insert(qso("DL1AA", QDate(2005, 1, 2),
                         {{"MODE", 1}, {"FREQ", 7.0}, {"NAME", "Hans"}, {"NOTE", "contest"}, {"QTH", "Říčany"}}));
        table.Insert(qso("OK1ABC/P", QDate(2010, 6, 1), {{"MODE", 2}, {"FREQ", 144.3}, {"NAME", "O'Brien"}}));

        m_letters = std::make_unique<TempLog>();
        LogTable letters(m_letters->connectionName());
        const QList<QStringList> stations{
            {"OK1AA", "Zdeněk", "Plzeň"},         {"OK1AB", "ŠTĚPÁN", "České Budějovice"},
            {"OK1AC", "Jiří", "Říčany"},          {"OK2AD", "Ludmila", "ŽĎÁR NAD SÁZAVOU"},
            {"DL1AA", "Jürgen", "Straße"},        {"DL1AB", "MÜLLER", "KÖLN"},
            {"SP1AA", "Paweł", "Łódź"},           {"OH1AA", "Väinö", "Petäjävesi"},
            {"OK1AE", "Radek", "RICANY"},
        };
        for (const QStringList &s : stations)
            letters.Insert(qso(s[0], QDate(2020, 1, 1), {{"NAME", s[1]}, {"QTH", s[2]}}));
    }

    void cleanupTestCase()
    {
        m_log.reset();
        m_letters.reset();
    }

    // --- the lines and their grouping ---
    void grouping_data()
    {
        QTest::addColumn<Rows>("rows");
        QTest::addColumn<QStringList>("prefixes"); // start of each line
        QTest::addColumn<int>("ors");              // "OR" joints over all lines
        QTest::addColumn<QVariantList>("values");
        QTest::newRow("no rows") << Rows{} << QStringList{} << 0 << QVariantList{};
        QTest::newRow("two = on CALL share a line")
            << Rows{row(fiCALL, "=", "OK2*"), row(fiCALL, "=", "OK1*")} << QStringList{"((CASEFOLD(CALL) LIKE"} << 1
            << QVariantList{"OK2%", "OK1%"};
        QTest::newRow("<> next to them opens its own line")
            << Rows{row(fiCALL, "=", "OK2*"), row(fiCALL, "=", "OK1*"), row(fiCALL, "<>", "OK1X*")}
            << QStringList{"((CASEFOLD(CALL) LIKE", "AND((IFNULL(CASEFOLD(CALL),'') NOT LIKE"} << 1
            << QVariantList{"OK2%", "OK1%", "OK1X%"};
        QTest::newRow("two <> never share")
            << Rows{row(fiCALL, "<>", "A*"), row(fiCALL, "<>", "B*")} << QStringList{"((", "AND(("} << 0
            << QVariantList{"A%", "B%"};
        QTest::newRow("= with empty value is no LIKE and shares nothing")
            << Rows{row(fiNAME, "=", "JAN"), row(fiNAME, "=", "")}
            << QStringList{"((CASEFOLD(NAME) LIKE", "AND((IFNULL(UPPER(NAME),'') = ?)"} << 0
            << QVariantList{"JAN", ""};
        QTest::newRow("call then mode")
            << Rows{row(fiCALL, "=", "OK*"), row(fiMODE, "=", "CW")}
            << QStringList{"((CASEFOLD(CALL) LIKE", "AND((IFNULL(MODE,0) = ?)"} << 0 << QVariantList{"OK%", 1};
        QTest::newRow("QSLo Požadován is index 2")
            << Rows{row(fiQSLO, "=", QStringLiteral("Požadován"))} << QStringList{"((IFNULL(QSLO,0) = ?)"} << 0
            << QVariantList{2};
        QTest::newRow("band and unknown name")
            << Rows{row(fiBAND, ">=", "20m"), row(fiEQSLP, "=", "xyz")}
            << QStringList{"((IFNULL(BAND,0) >= ?)", "AND((IFNULL(EQSLP,0) = ?)"} << 0 << QVariantList{6, 0};
        QTest::newRow("date as ISO date") << Rows{row(fiDAT, ">=", "01.01.2005")} << QStringList{"((+DAT >= ?)"} << 0
                                          << QVariantList{"2005-01-01"};
        QTest::newRow("frequency as number") << Rows{row(fiFREQ, "<", "14,2")} << QStringList{"((FREQ < ?)"} << 0
                                             << QVariantList{14.2};
        QTest::newRow("small letters of every alphabet folded")
            << Rows{row(fiQTH, "=", QStringLiteral("říčany*"))} << QStringList{"((CASEFOLD(QTH) LIKE"} << 0
            << QVariantList{QStringLiteral("ŘÍČANY%")};
        QTest::newRow("% and _ escaped, * the wildcard")
            << Rows{row(fiNOTE, "=", "100% qrp_*")} << QStringList{"((CASEFOLD(NOTE) LIKE"} << 0
            << QVariantList{"100\\% QRP\\_%"};
        QTest::newRow("same field, other field between: new lines")
            << Rows{row(fiCALL, "=", "A*"), row(fiNAME, "=", "B"), row(fiCALL, "=", "C*")}
            << QStringList{"((", "AND((", "AND(("} << 0 << QVariantList{"A%", "B", "C%"};
    }
    void grouping()
    {
        QFETCH(Rows, rows);
        QFETCH(QStringList, prefixes);
        QFETCH(int, ors);
        QFETCH(QVariantList, values);
        const TFilterSql sql = BuildFilterLines(rows);
        QCOMPARE(sql.lines.size(), prefixes.size());
        int orCount = 0;
        int marks = 0;
        for (int i = 0; i < sql.lines.size(); ++i) {
            QVERIFY2(sql.lines[i].startsWith(prefixes[i]), qPrintable(sql.lines[i]));
            QVERIFY(sql.lines[i].endsWith(u')'));
            orCount += sql.lines[i].count(QStringLiteral(")OR("));
            marks += sql.lines[i].count(u'?');
        }
        QCOMPARE(orCount, ors);
        QCOMPARE(sql.values, values);
        QCOMPARE(marks, values.size());
    }

    // --- where a new condition goes ---
    void findConditionRow_data()
    {
        QTest::addColumn<Rows>("rows");
        QTest::addColumn<int>("field");
        QTest::addColumn<QString>("op");
        QTest::addColumn<int>("after");
        const Rows rows{row(fiCALL, "=", "A*"), row(fiCALL, "<>", "B*"), row(fiMODE, "=", "CW"),
                        row(fiCALL, "=", "C*"), row(fiNAME, "=", "X")};
        QTest::newRow("empty list") << Rows{} << int(fiCALL) << "=" << -1;
        QTest::newRow("field absent") << rows << int(fiQTH) << "=" << -1;
        QTest::newRow("last with same operator") << rows << int(fiCALL) << "=" << 3;
        QTest::newRow("<> after the last <>") << rows << int(fiCALL) << "<>" << 1;
        QTest::newRow("operator absent: last of field") << rows << int(fiMODE) << "<>" << 2;
    }
    void findConditionRow()
    {
        QFETCH(Rows, rows);
        QFETCH(int, field);
        QFETCH(QString, op);
        QFETCH(int, after);
        QCOMPARE(FindConditionRow(rows, LogFieldCaptions[field], op), after);
    }

    void rowText()
    {
        const TFilterRow r = MakeFilterRow(fiCALL, "=", "OK1\"X");
        QCOMPARE(r.key, QStringLiteral("Značka"));
        QCOMPARE(r.value, QStringLiteral("= \"OK1\"X\""));
        QString op, text;
        QVERIFY(SplitFilterValue(r.value, op, text));
        QCOMPARE(op, QStringLiteral("="));
        QCOMPARE(text, QStringLiteral("OK1\"X"));
        QVERIFY(!SplitFilterValue(QStringLiteral("= nothing"), op, text));
    }

    void checkValue_data()
    {
        QTest::addColumn<int>("field");
        QTest::addColumn<QString>("op");
        QTest::addColumn<QString>("text");
        QTest::addColumn<QString>("message");
        QTest::addColumn<QString>("normalised");
        QTest::newRow("date normalised") << int(fiDAT) << ">=" << "1.1.2005" << "" << "01.01.2005";
        QTest::newRow("bad date") << int(fiDAT) << "=" << "32.1.2005" << "Chybné datum!" << "32.1.2005";
        QTest::newRow("empty date") << int(fiDAT) << "=" << "" << "Chybné datum!" << "";
        QTest::newRow("number") << int(fiFREQ) << ">" << "14,2" << "" << "14,2";
        QTest::newRow("not a number") << int(fiPWR) << "=" << "," << "Chybné číslo!" << ",";
        QTest::newRow("empty power asks for empty field") << int(fiPWR) << "=" << "" << "" << "";
        QTest::newRow("empty power cannot be ordered") << int(fiPWR) << "<" << "" << "Chybné číslo!" << "";
        QTest::newRow("text takes anything") << int(fiNOTE) << "=" << "\"'" << "" << "\"'";
    }
    void checkValue()
    {
        QFETCH(int, field);
        QFETCH(QString, op);
        QFETCH(QString, text);
        QFETCH(QString, message);
        QFETCH(QString, normalised);
        QCOMPARE(CheckFilterValue(field, op, text), message);
        QCOMPARE(text, normalised);
    }

    // --- what the lines select in a log ---
    void selects_data()
    {
        QTest::addColumn<Rows>("rows");
        QTest::addColumn<QStringList>("calls");
        QTest::newRow("OK2* or OK1*") << Rows{row(fiCALL, "=", "ok2*"), row(fiCALL, "=", "OK1*")}
                                      << QStringList{"OK2ABC", "OK1XYZ", "OK1ABC/P"};
        QTest::newRow("without mask whole value") << Rows{row(fiCALL, "=", "OK1ABC")} << QStringList{};
        QTest::newRow("and a mode") << Rows{row(fiCALL, "=", "OK*"), row(fiMODE, "=", "CW")}
                                    << QStringList{"OK2ABC"};
        QTest::newRow("date from 1.1.2005 on") << Rows{row(fiDAT, ">=", "01.01.2005")}
                                               << QStringList{"OK1XYZ", "DL1AA", "OK1ABC/P"};
        QTest::newRow("date before") << Rows{row(fiDAT, "<", "01.01.2005")} << QStringList{"OK2ABC"};
        QTest::newRow("date equal") << Rows{row(fiDAT, "=", "02.01.2005")} << QStringList{"DL1AA"};
        QTest::newRow("frequency as number, not text") << Rows{row(fiFREQ, ">", "10")}
                                                       << QStringList{"OK1XYZ", "OK1ABC/P"};
        QTest::newRow("empty name kept") << Rows{row(fiNAME, "=", "")} << QStringList{"OK1XYZ"};
        QTest::newRow("not empty name") << Rows{row(fiNAME, "<>", "")}
                                        << QStringList{"OK2ABC", "DL1AA", "OK1ABC/P"};
        QTest::newRow("<> keeps empty notes") << Rows{row(fiNOTE, "<>", "cont*")}
                                              << QStringList{"OK2ABC", "OK1XYZ", "OK1ABC/P"};
        QTest::newRow("% is a character") << Rows{row(fiNOTE, "=", "100%*")} << QStringList{"OK1XYZ"};
        QTest::newRow("% alone is no wildcard") << Rows{row(fiNOTE, "=", "%")} << QStringList{};
        QTest::newRow("_ is a character") << Rows{row(fiNOTE, "=", "100_*")} << QStringList{};
        QTest::newRow("single quote in a name") << Rows{row(fiNAME, "=", "o'brien")} << QStringList{"OK1ABC/P"};
        QTest::newRow("QSLo requested") << Rows{row(fiQSLO, "=", QStringLiteral("Požadován"))}
                                        << QStringList{"OK2ABC"};
        QTest::newRow("QSLo not sent includes the unset") << Rows{row(fiQSLO, "=", "Ne")}
                                                          << QStringList{"OK1XYZ", "DL1AA", "OK1ABC/P"};
        QTest::newRow("ITU as number") << Rows{row(fiITU, "=", "28")} << QStringList{"OK2ABC", "OK1XYZ"};
        QTest::newRow("power unset") << Rows{row(fiPWR, "=", "")} << QStringList{"DL1AA", "OK1ABC/P"};
        QTest::newRow("power not 100") << Rows{row(fiPWR, "<>", "100")}
                                       << QStringList{"OK1XYZ", "DL1AA", "OK1ABC/P"};
        QTest::newRow("diacritics as typed") << Rows{row(fiQTH, "=", QStringLiteral("Říčany"))}
                                             << QStringList{"DL1AA"};
    }
    void selects()
    {
        QFETCH(Rows, rows);
        QFETCH(QStringList, calls);
        QCOMPARE(select(rows), calls);
    }

    // Letter case counts in no alphabet, whichever side holds the capitals; diacritics
    // still count (Říčany is not RICANY).
    void lettersOfEveryAlphabet_data()
    {
        QTest::addColumn<Rows>("rows");
        QTest::addColumn<QStringList>("calls");
        const auto qth = [](const char *op, const char *text) { return row(fiQTH, op, QString::fromUtf8(text)); };
        const auto name = [](const char *op, const char *text) { return row(fiNAME, op, QString::fromUtf8(text)); };
        QTest::newRow("capitals typed, small stored") << Rows{qth("=", "PLZEŇ")} << QStringList{"OK1AA"};
        QTest::newRow("small typed, capitals stored") << Rows{name("=", "štěpán")} << QStringList{"OK1AB"};
        QTest::newRow("mask, capitals typed") << Rows{qth("=", "ČESKÉ*")} << QStringList{"OK1AB"};
        QTest::newRow("mask inside, small typed") << Rows{qth("=", "*sázavou")} << QStringList{"OK2AD"};
        QTest::newRow("mask, small typed") << Rows{qth("=", "žďár*")} << QStringList{"OK2AD"};
        QTest::newRow("whole word of capitals") << Rows{qth("=", "ŘÍČANY")} << QStringList{"OK1AC"};
        QTest::newRow("diacritics still count") << Rows{qth("=", "říčany")} << QStringList{"OK1AC"};
        QTest::newRow("ASCII twin apart") << Rows{qth("=", "ricany")} << QStringList{"OK1AE"};
        QTest::newRow("German ü, small typed") << Rows{name("=", "müller")} << QStringList{"DL1AB"};
        QTest::newRow("German ü, capitals typed") << Rows{name("=", "JÜRGEN")} << QStringList{"DL1AA"};
        QTest::newRow("German ö") << Rows{qth("=", "köln")} << QStringList{"DL1AB"};
        QTest::newRow("ß against SS") << Rows{qth("=", "STRASSE")} << QStringList{"DL1AA"};
        QTest::newRow("ß against capital ẞ") << Rows{qth("=", "STRAẞE")} << QStringList{"DL1AA"};
        QTest::newRow("Polish ł and ó") << Rows{qth("=", "ŁÓDŹ"), name("=", "PAWEŁ")} << QStringList{"SP1AA"};
        QTest::newRow("Finnish ä in a mask") << Rows{qth("=", "PETÄJÄ*")} << QStringList{"OH1AA"};
        QTest::newRow("ä and ö in a name") << Rows{name("=", "VÄINÖ")} << QStringList{"OH1AA"};
        QTest::newRow("two = on one field")
            << Rows{qth("=", "plzeň"), qth("=", "ŁÓDŹ")} << QStringList{"OK1AA", "SP1AA"};
        QTest::newRow("<> with capitals typed")
            << Rows{qth("<>", "Č*"), qth("<>", "Ž*"), qth("<>", "PLZEŇ"), qth("<>", "ŘÍ*")}
            << QStringList{"DL1AA", "DL1AB", "SP1AA", "OH1AA", "OK1AE"};
        QTest::newRow("<> with small typed")
            << Rows{name("<>", "štěpán"), name("<>", "*ü*"), qth("<>", "łódź")}
            << QStringList{"OK1AA", "OK1AC", "OK2AD", "OH1AA", "OK1AE"};
    }
    void lettersOfEveryAlphabet()
    {
        QFETCH(Rows, rows);
        QFETCH(QStringList, calls);
        QCOMPARE(select(*m_letters, rows), calls);
    }

    // Values that would break or widen a query written as text select nothing here, raise
    // nothing and leave the log as it was.
    void injection_data()
    {
        QTest::addColumn<int>("field");
        QTest::addColumn<QString>("text");
        QTest::newRow("double quote OR") << int(fiCALL) << QStringLiteral("\" OR 1=1 --");
        QTest::newRow("single quote") << int(fiCALL) << QStringLiteral("'");
        QTest::newRow("quote in note") << int(fiNOTE) << QStringLiteral("') OR ('1'='1");
        QTest::newRow("statement") << int(fiNAME) << QStringLiteral("x\"; DELETE FROM log; --");
        QTest::newRow("quote in a date-less number") << int(fiQTH) << QStringLiteral("\"\"");
    }
    void injection()
    {
        QFETCH(int, field);
        QFETCH(QString, text);
        const QStringList before = allRowsAsText();
        QStringList calls;
        try {
            calls = select({row(field, "=", text)});
        } catch (const std::exception &e) {
            QFAIL(e.what());
        }
        QVERIFY(calls.isEmpty());
        QCOMPARE(allRowsAsText(), before);
    }

    void likePattern()
    {
        QCOMPARE(FilterLikePattern(QStringLiteral("a\\b%c_d*")), QStringLiteral("a\\\\b\\%c\\_d%"));
        QCOMPARE(UpperAscii(QStringLiteral("ok1ž")), QStringLiteral("OK1ž"));
    }

    void pickNames()
    {
        QCOMPARE(FilterPickNames(fiBAND).size(), 27);
        QCOMPARE(FilterPickNames(fiBAND).first(), QStringLiteral("2190m"));
        QCOMPARE(FilterPickNames(fiMODE).size(), 27);
        QCOMPARE(FilterPickNames(fiMODE).first(), QStringLiteral("CW"));
        QCOMPARE(FilterPickNames(fiQSLO).size(), 4);
        QVERIFY(FilterPickNames(fiCALL).isEmpty());
        QCOMPARE(FilterFields.size(), size_t(20));
        QCOMPARE(FilterFieldOfCaption(QStringLiteral("MHz")), int(fiFREQ));
        QCOMPARE(FilterFieldOfCaption(QStringLiteral("nic")), -1);
    }
};

QTEST_GUILESS_MAIN(TestLogFilter)
#include "tst_logfilter.moc"
