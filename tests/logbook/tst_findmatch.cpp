// The find window's matches: each answers as the search always has (the mask over the
// value's text, made capitals or folded, or the day), and the answer it gives from the
// bytes SQLite stores is the answer for the value the log makes of those bytes.

#include "FindDialog.h"
#include "FindMatch.h"
#include "FindReference.h"
#include "log/LogRecord.h"
#include "log/VkrDatabase.h"

#include <QTest>

namespace
{

// Stored texts: plain call signs, small letters, slashes, an empty text, letters with
// diacritics and beyond U+FFFF, ß (two capitals when folded), a text longer than the
// short buffer of the ASCII answer, a line break and a NUL.
const QStringList StoredTexts{"OK1ABC",
                              "ok1abc",
                              "OK1ABC/P",
                              "DL/OK1ABC",
                              "",
                              "OK",
                              "OK1",
                              "O",
                              "praha",
                              "Praha",
                              "PRAHA",
                              QStringLiteral("Plzeň"),
                              QStringLiteral("PLZEŇ"),
                              QStringLiteral("Straße"),
                              "STRASSE",
                              QStringLiteral("Žižkov"),
                              QStringLiteral("\U0001F600x"),
                              QString(70, u'a'),
                              QString(70, u'a') + "b",
                              "a\nb",
                              QString("a") + QChar(0) + "b",
                              "?",
                              "*",
                              "[1]"};

} // namespace

class TestFindMatch : public QObject
{
    Q_OBJECT

private slots:
    void masksAnswerAsTheSearchAlwaysHas_data()
    {
        QTest::addColumn<int>("kind");
        QTest::addColumn<QString>("text");
        QTest::addColumn<bool>("caseSensitive");
        const auto add = [](const char *name, int kind, const QString &text, bool caseSensitive) {
            QTest::newRow(name) << kind << text << caseSensitive;
        };
        add("call prefix", TfrmFind::fkCall, "ok1*", false);
        add("call whole", TfrmFind::fkCall, "OK1ABC", false);
        add("call inner star", TfrmFind::fkCall, "*/P", false);
        add("call question", TfrmFind::fkCall, "O?1*", false);
        add("call set", TfrmFind::fkCall, "OK[12]*", false);
        add("call only star", TfrmFind::fkCall, "*", false);
        add("call empty", TfrmFind::fkCall, "", false);
        add("locator", TfrmFind::fkLocator, "jo70*", false);
        add("IOTA", TfrmFind::fkIOTA, "EU-0??", false);
        add("text folded", TfrmFind::fkText, "praha", false);
        add("text folded star", TfrmFind::fkText, "*a", false);
        add("text folded diacritics", TfrmFind::fkText, QStringLiteral("plzeň"), false);
        add("text folded sharp s", TfrmFind::fkText, QStringLiteral("straße"), false);
        add("text as typed", TfrmFind::fkText, "Praha", true);
        add("text as typed small", TfrmFind::fkText, "p*", true);
        add("text long", TfrmFind::fkText, QString(70, u'a'), false);
        add("text long star", TfrmFind::fkText, QString(60, u'a') + "*b", true);
        add("text line break", TfrmFind::fkText, "A?B", false);
        add("text NUL", TfrmFind::fkText, QString("a") + QChar(0) + "*", true);
        add("text question alone", TfrmFind::fkText, "?", false);
        add("text bracket set", TfrmFind::fkText, "[1]", true);
        add("text emoji", TfrmFind::fkText, QStringLiteral("?x"), false);
    }
    // For every stored text, and for the values of other kinds a text column may hold:
    // the value answer equals the reference, and the answer from the bytes, where there is
    // one, equals the answer for the value the log makes of them.
    void masksAnswerAsTheSearchAlwaysHas()
    {
        QFETCH(int, kind);
        QFETCH(QString, text);
        QFETCH(bool, caseSensitive);
        const auto findKind = TfrmFind::TFindKind(kind);
        const std::optional<TFindMatch> match = TfrmFind::MatchFor(findKind, text, caseSensitive);
        QVERIFY(match);
        int quick = 0;
        for (const QString &stored : StoredTexts) {
            const QVariant value = LogValueFromStorage(fiNAME, stored);
            const bool expected = ReferenceMatches(findKind, text, caseSensitive, value);
            QVERIFY2((*match)(value) == expected, qPrintable(stored));
            const std::string bytes = stored.toStdString();
            if (const std::optional<bool> answer = match->MatchesStored(TFindMatch::sfText, bytes)) {
                QVERIFY2(*answer == expected, qPrintable(stored));
                ++quick;
            }
            // Bytes of a text column never speak for a date column.
            QVERIFY(!match->MatchesStored(TFindMatch::sfDate, bytes));
        }
        for (const QVariant &value : {QVariant(), QVariant(14.25), QVariant(7), QVariant(QDate(2006, 5, 1))})
            QCOMPARE((*match)(value), ReferenceMatches(findKind, text, caseSensitive, value));
        // A mask without a set answers every ASCII text from its bytes.
        QCOMPARE(quick > 0, !text.contains(u'['));
    }

    void datesAnswerAsTheSearchAlwaysHas_data()
    {
        QTest::addColumn<QString>("stored");
        QTest::addColumn<bool>("answered"); // from the bytes alone
        QTest::newRow("the day") << "2006-05-01" << true;
        QTest::newRow("next day") << "2006-05-02" << true;
        QTest::newRow("other year") << "1006-05-01" << true;
        QTest::newRow("no such day") << "2006-02-30" << true;
        QTest::newRow("month 13") << "2006-13-01" << true;
        QTest::newRow("year zero") << "0000-05-01" << true;
        QTest::newRow("unpadded") << "2006-5-1" << false;
        QTest::newRow("padded wrongly") << "2006-05-1 " << false;
        QTest::newRow("letters") << "2006-0a-01" << false;
        QTest::newRow("other digits") << QStringLiteral("२००६-०५-०१") << false;
        QTest::newRow("with time") << "2006-05-01T00:00" << false;
        QTest::newRow("dotted") << "01.05.2006" << false;
        QTest::newRow("empty") << "" << false;
    }
    void datesAnswerAsTheSearchAlwaysHas()
    {
        QFETCH(QString, stored);
        QFETCH(bool, answered);
        for (const QString &day :
             {QStringLiteral("1.5.2006"), QStringLiteral("2.5.2006"), QStringLiteral("1.5.1006")}) {
            const std::optional<TFindMatch> match = TfrmFind::MatchFor(TfrmFind::fkDate, day, false);
            QVERIFY(match);
            const QVariant value = LogValueFromStorage(fiDAT, stored);
            const bool expected = ReferenceMatches(TfrmFind::fkDate, day, false, value);
            QCOMPARE((*match)(value), expected);
            const std::optional<bool> answer = match->MatchesStored(TFindMatch::sfDate, stored.toStdString());
            QCOMPARE(bool(answer), answered);
            if (answer)
                QCOMPARE(*answer, expected);
            QVERIFY(!match->MatchesStored(TFindMatch::sfText, stored.toStdString()));
        }
    }

    void dateTextThatIsNoDateFindsNothing()
    {
        QVERIFY(!TfrmFind::MatchFor(TfrmFind::fkDate, "32.1.2007", false));
        QVERIFY(!TfrmFind::MatchFor(TfrmFind::fkDate, "", false));
        QVERIFY(TfrmFind::MatchFor(TfrmFind::fkDate, "31.1.2007", false));
    }
};

QTEST_GUILESS_MAIN(TestFindMatch)
#include "tst_findmatch.moc"
