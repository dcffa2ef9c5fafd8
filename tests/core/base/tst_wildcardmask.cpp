#include "base/WildcardMask.h"

#include <QTest>

class TestWildcardMask : public QObject
{
    Q_OBJECT
private slots:
    void matches_data()
    {
        QTest::addColumn<QString>("mask");
        QTest::addColumn<QString>("text");
        QTest::addColumn<bool>("caseSensitive");
        QTest::addColumn<bool>("match");
        QTest::newRow("star crosses a slash") << "OK1*" << "OK1ABC/P" << true << true;
        QTest::newRow("star matches nothing") << "OK1*" << "OK1" << true << true;
        QTest::newRow("no star: whole value") << "OK1" << "OK1ABC" << true << false;
        QTest::newRow("star inside") << "*/P" << "OK1ABC/P" << true << true;
        QTest::newRow("question one character") << "OK?ABC" << "OK1ABC" << true << true;
        QTest::newRow("question not zero") << "OK1ABC?" << "OK1ABC" << true << false;
        QTest::newRow("set") << "OK[12]*" << "OK2XY" << true << true;
        QTest::newRow("set misses") << "OK[12]*" << "OK3XY" << true << false;
        QTest::newRow("range") << "[A-C]*" << "BX" << true << true;
        QTest::newRow("negated set") << "[!A-C]*" << "BX" << true << false;
        QTest::newRow("negated set other") << "[!A-C]*" << "DX" << true << true;
        QTest::newRow("unclosed bracket is a character") << "A[B" << "A[B" << true << true;
        QTest::newRow("regex characters are plain") << "a.b+(c)" << "a.b+(c)" << true << true;
        QTest::newRow("dot is no wildcard") << "a.b" << "axb" << true << false;
        QTest::newRow("backslash plain") << "a\\b" << "a\\b" << true << true;
        QTest::newRow("case sensitive") << "praha" << "Praha" << true << false;
        QTest::newRow("case insensitive") << "praha" << "Praha" << false << true;
        QTest::newRow("empty mask empty text") << "" << "" << true << true;
        QTest::newRow("empty mask") << "" << "X" << true << false;
        QTest::newRow("line break in text") << "A*B" << "A\nB" << true << true;
        QTest::newRow("diacritics") << QStringLiteral("Ř*") << QStringLiteral("Říčany") << true << true;
    }
    void matches()
    {
        QFETCH(QString, mask);
        QFETCH(QString, text);
        QFETCH(bool, caseSensitive);
        QFETCH(bool, match);
        QCOMPARE(TWildcardMask(mask, caseSensitive).Matches(text), match);
        QVERIFY(WildcardMaskToRegularExpression(mask, caseSensitive).isValid());
    }

    // The answer from the bytes of an ASCII text equals the full match of the text (made
    // capitals first when asked), for every mask of up to four characters of stars,
    // question marks, letters of both cases, a slash and a letter outside ASCII, against
    // every text of up to four characters: pieces at the start, the end, between stars,
    // overlapping and repeated.
    void asciiAnswerEqualsTheFullMatch()
    {
        const QStringList masks = allWords({"*", "?", "A", "a", "/", QStringLiteral("Ř")}, 4);
        const QStringList texts = allWords({"A", "a", "b", "/"}, 4);
        int answered = 0;
        int matched = 0;
        for (const QString &mask : masks) {
            const TWildcardMask wildcard(mask);
            for (const QString &text : texts) {
                const std::string bytes = text.toStdString();
                for (const bool upper : {false, true}) {
                    const std::optional<bool> quick = wildcard.MatchesAscii(bytes, upper);
                    QVERIFY2(quick, qPrintable(mask));
                    const bool full = wildcard.Matches(upper ? text.toUpper() : text);
                    if (*quick != full)
                        QFAIL(qPrintable(QString("mask \"%1\", text \"%2\", upper %3").arg(mask, text).arg(upper)));
                    ++answered;
                    matched += full;
                }
            }
        }
        QVERIFY(matched > answered / 20 && matched < answered / 2);
    }

    // Sets, masks without regard to case and masks that are no UTF-16 are left to the
    // full match.
    void asciiAnswerDeclines_data()
    {
        QTest::addColumn<QString>("mask");
        QTest::addColumn<bool>("caseSensitive");
        QTest::newRow("set") << "OK[12]*" << true;
        QTest::newRow("unclosed bracket") << "A[B" << true;
        QTest::newRow("without case") << "ok*" << false;
        QTest::newRow("lone surrogate") << QString(QChar(0xD800)) + "*" << true;
    }
    void asciiAnswerDeclines()
    {
        QFETCH(QString, mask);
        QFETCH(bool, caseSensitive);
        const TWildcardMask wildcard(mask, caseSensitive);
        QVERIFY(!wildcard.MatchesAscii("OK1", false));
        QVERIFY(!wildcard.MatchesAscii("OK1", true));
    }

private:
    // Every word of up to `length` letters of the alphabet, the empty one included.
    static QStringList allWords(const QStringList &alphabet, int length)
    {
        QStringList words{QString()};
        QStringList last{QString()};
        for (int i = 0; i < length; ++i) {
            QStringList next;
            for (const QString &word : last)
                for (const QString &letter : alphabet)
                    next << word + letter;
            words += next;
            last = next;
        }
        return words;
    }
};

QTEST_GUILESS_MAIN(TestWildcardMask)
#include "tst_wildcardmask.moc"
