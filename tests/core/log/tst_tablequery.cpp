#include "log/TableQuery.h"

#include <QSqlDatabase>
#include <QSqlError>
#include <QSqlQuery>
#include <QTemporaryDir>
#include <QTest>

// The order of the reference lists: text as Czech dictionaries order it, numbers by value.
class TestTableQuery : public QObject
{
    Q_OBJECT

    QTemporaryDir m_dir;
    QString m_path;

    QStringList column(TTableQuery &q, const QString &field)
    {
        QStringList values;
        const int index = q.FieldIndex(field);
        for (int row = 0; row < q.RecordCount(); ++row)
            values << (q.ValueAt(row, index).isNull() ? QStringLiteral("<null>") : q.ValueAt(row, index).toString());
        return values;
    }

private slots:
    void initTestCase()
    {
        m_path = m_dir.filePath(QStringLiteral("names.db"));
        {
            QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), QStringLiteral("make"));
            db.setDatabaseName(m_path);
            QVERIFY(db.open());
            QSqlQuery q(db);
            QVERIFY(q.exec(QStringLiteral("CREATE TABLE names (NAME TEXT, TOWN TEXT, ZONE INTEGER, LON REAL)")));
            // Stored in the byte order SQLite would give, so that every step below moves rows.
            const QList<QVariantList> rows{
                {"Cyril", "Praha", 28, 14.4},     {"Svoboda", "Brno", 9, 16.6},       {"Zeman", "Hradec", 100, -0.5},
                {"adam", "Cheb", 28, 12.4},       {"Čermák", "Chomutov", 2, 13.4},    {"Šťastný", "Ústí", 28, 14.0},
                {"Chalupa", "Hodonín", 1, 17.1},  {"Horák", "Žatec", 19, 13.5},      {"Adam", "Zlín", 28, 17.7},
                {QVariant(), "Tábor", QVariant(), QVariant()}, {"Řezáč", "Říčany", 3, 14.7}, {"Rys", "Rokycany", 4, 13.6},
            };
            for (const QVariantList &r : rows) {
                q.prepare(QStringLiteral("INSERT INTO names VALUES (?, ?, ?, ?)"));
                for (const QVariant &v : r)
                    q.addBindValue(v.isNull() ? QVariant(QMetaType(QMetaType::QString)) : v);
                QVERIFY2(q.exec(), qPrintable(q.lastError().text()));
            }
        }
        QSqlDatabase::removeDatabase(QStringLiteral("make"));
    }

    void order_data()
    {
        QTest::addColumn<QString>("field");
        QTest::addColumn<QString>("shown"); // the column read back
        QTest::addColumn<QStringList>("values");
        // Small letters before capitals of the same word, Č after C, Ř after R, Š after
        // S, and ch a letter of its own after h; an empty field first.
        QTest::newRow("surnames") << "NAME" << "NAME"
                                  << QStringList{"<null>", "adam", "Adam", "Cyril", "Čermák", "Horák", "Chalupa",
                                                 "Rys", "Řezáč", "Svoboda", "Šťastný", "Zeman"};
        QTest::newRow("towns") << "TOWN" << "TOWN"
                               << QStringList{"Brno", "Hodonín", "Hradec", "Cheb", "Chomutov", "Praha", "Rokycany",
                                              "Říčany", "Tábor", "Ústí", "Zlín", "Žatec"};
        // Numbers by value, not as text ("100" is no less than "9"); rows equal in the
        // field keep the table's order.
        QTest::newRow("whole numbers") << "ZONE" << "NAME"
                                       << QStringList{"<null>", "Chalupa", "Čermák", "Řezáč", "Rys", "Svoboda",
                                                      "Horák", "Cyril", "adam", "Šťastný", "Adam", "Zeman"};
        QTest::newRow("real numbers") << "LON" << "NAME"
                                      << QStringList{"<null>", "Zeman", "adam", "Čermák", "Horák", "Rys", "Šťastný",
                                                     "Cyril", "Řezáč", "Svoboda", "Chalupa", "Adam"};
    }
    void order()
    {
        QFETCH(QString, field);
        QFETCH(QString, shown);
        QFETCH(QStringList, values);
        TTableQuery q;
        q.SetTable(m_path, QStringLiteral("names"));
        q.SetOrderBy(field.toLower());
        q.Open();
        QCOMPARE(column(q, shown), values);
        QCOMPARE(q.RecNo(), 1);
        QVERIFY(q.Locate(QStringLiteral("NAME"), QStringLiteral("Šťastný")));
        QCOMPARE(q.Value(QStringLiteral("TOWN")).toString(), QStringLiteral("Ústí"));
    }
};

QTEST_GUILESS_MAIN(TestTableQuery)
#include "tst_tablequery.moc"
