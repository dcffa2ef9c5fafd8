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
};

QTEST_GUILESS_MAIN(TestWildcardMask)
#include "tst_wildcardmask.moc"
