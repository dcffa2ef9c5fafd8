#include "base/CaseFold.h"
#include "TempLog.h"

#include <QSqlError>
#include <QSqlQuery>
#include <QTest>

#include <memory>

// One folding for text in memory and for text in SQL: the filter folds the typed value in
// memory and the stored one in SQL, so the two must agree letter for letter.
class TestCaseFold : public QObject
{
    Q_OBJECT

    std::unique_ptr<TempLog> m_log;

    QVariant foldInSql(const QVariant &value)
    {
        QSqlQuery q(m_log->database());
        if (!q.prepare(QStringLiteral("SELECT CASEFOLD(?)")))
            qFatal("%s", qPrintable(q.lastError().text()));
        q.addBindValue(value);
        if (!q.exec() || !q.next())
            qFatal("CASEFOLD did not run");
        return q.value(0);
    }

private slots:
    void initTestCase() { m_log = std::make_unique<TempLog>(); }
    void cleanupTestCase() { m_log.reset(); }

    void folds_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<QString>("folded");
        QTest::newRow("empty") << "" << "";
        QTest::newRow("ASCII capitals stay") << "OK1ABC/P" << "OK1ABC/P";
        QTest::newRow("ASCII small") << "praha 4" << "PRAHA 4";
        QTest::newRow("wildcards and signs stay") << "a*b%c_d\\e'f" << "A*B%C_D\\E'F";
        QTest::newRow("Czech small") << QStringLiteral("příliš žluťoučký kůň úpěl ďábelské ódy")
                                     << QStringLiteral("PŘÍLIŠ ŽLUŤOUČKÝ KŮŇ ÚPĚL ĎÁBELSKÉ ÓDY");
        QTest::newRow("Czech capitals stay") << QStringLiteral("ŘÍČANY") << QStringLiteral("ŘÍČANY");
        QTest::newRow("Slovak") << QStringLiteral("ľúbostný ĺ ŕ ô") << QStringLiteral("ĽÚBOSTNÝ Ĺ Ŕ Ô");
        QTest::newRow("German umlauts") << QStringLiteral("äöü") << QStringLiteral("ÄÖÜ");
        QTest::newRow("ß becomes SS") << QStringLiteral("Straße") << QStringLiteral("STRASSE");
        QTest::newRow("capital ẞ becomes SS") << QStringLiteral("STRAẞE") << QStringLiteral("STRASSE");
        QTest::newRow("Polish") << QStringLiteral("łódź żółć") << QStringLiteral("ŁÓDŹ ŻÓŁĆ");
        QTest::newRow("Greek and Cyrillic") << QStringLiteral("αβγ москва") << QStringLiteral("ΑΒΓ МОСКВА");
        QTest::newRow("outside the basic plane") << QStringLiteral("\U00010428x") << QStringLiteral("\U00010400X");
        QTest::newRow("no case at all") << QStringLiteral("€ 1½ 日本") << QStringLiteral("€ 1½ 日本");
        QTest::newRow("replacement character") << QStringLiteral("a\uFFFDb") << QStringLiteral("A\uFFFDB");
    }
    void folds()
    {
        QFETCH(QString, text);
        QFETCH(QString, folded);
        QCOMPARE(CaseFold(text), folded);
        QCOMPARE(foldInSql(text).toString(), folded);
        QCOMPARE(CaseFold(folded), folded);
    }

    void sqlNullAndNumbers()
    {
        QVERIFY(foldInSql(QVariant(QMetaType(QMetaType::QString))).isNull());
        QCOMPARE(foldInSql(42).toString(), QStringLiteral("42"));
        QCOMPARE(foldInSql(14.2).toString(), QStringLiteral("14.2"));
    }

    // Only a connection of SQLite takes the function; one that is not open has none.
    void registerNeedsAnOpenSqliteConnection()
    {
        QVERIFY(!RegisterCaseFold(QSqlDatabase()));
        QVERIFY(RegisterCaseFold(m_log->database()));
        QCOMPARE(foldInSql(QStringLiteral("ž")).toString(), QStringLiteral("Ž"));
    }
};

QTEST_GUILESS_MAIN(TestCaseFold)
#include "tst_casefold.moc"
