#include "base/DatabaseError.h"
#include "log/LogConnection.h"
#include "log/LogTable.h"
#include "TempLog.h"
#include "log/VkrDatabase.h"

#include <QSqlQuery>
#include <QTest>

#include <cmath>
#include <limits>
#include <memory>

namespace
{

TLogRecord qso(const QString &call, int qslo = 0)
{
    TLogRecord r;
    r[fiCALL] = call;
    r[fiDAT] = QDate(2008, 9, 10);
    r[fiUTC] = QTime(11, 12, 13);
    r[fiFREQ] = 7.015;
    r[fiQSLO] = qslo;
    return r;
}

} // namespace

class TestLogTable : public QObject
{
    Q_OBJECT

    std::unique_ptr<TempLog> m_log;
    std::unique_ptr<LogTable> m_table;

    QVariant raw(qint64 id, const QString &field)
    {
        QSqlQuery q(m_log->database());
        q.prepare("SELECT " + field + " FROM log WHERE ID = ?");
        q.addBindValue(id);
        if (!q.exec() || !q.next())
            return QStringLiteral("<no row>");
        return q.value(0);
    }

    QString callOf(qint64 id)
    {
        TLogRecord r;
        return m_table->FindKey(id, r) ? r[fiCALL].toString() : QString("<none>");
    }

private slots:
    void init()
    {
        m_log = std::make_unique<TempLog>();
        m_table = std::make_unique<LogTable>(m_log->connectionName());
    }
    void cleanup()
    {
        m_table.reset();
        m_log.reset();
    }

    void insertNumbersAndStores()
    {
        TLogRecord r = qso("OK1ABCDEFGHIJKLMNOP"); // longer than the 15 characters of CALL
        r[fiID] = 77;                              // ignored: the table numbers the rows
        r[fiNAME] = QString("");
        r[fiNOTE] = QString(60, u'ž');
        const qint64 first = m_table->Insert(r);
        const qint64 second = m_table->Insert(qso("DL1AA"));
        QCOMPARE(first, 1);
        QCOMPARE(second, 2);
        QCOMPARE(raw(first, "CALL").toString(), QString("OK1ABCDEFGHIJKL"));
        QCOMPARE(raw(first, "NOTE").toString(), QString(50, u'ž'));
        QVERIFY(raw(first, "NAME").isNull()); // an empty text is stored as NULL
        QVERIFY(raw(first, "QTH").isNull());
        QCOMPARE(raw(first, "DAT").toString(), QString("2008-09-10"));
        QCOMPARE(raw(first, "UTC").toString(), QString("11:12:13"));
        QCOMPARE(raw(first, "typeof(FREQ)").toString(), QString("real"));
        QCOMPARE(raw(first, "typeof(QSLO)").toString(), QString("integer"));

        TLogRecord back;
        QVERIFY(m_table->FindKey(first, back));
        QCOMPARE(back.id(), first);
        QCOMPARE(back[fiDAT].toDate(), QDate(2008, 9, 10));
        QCOMPARE(back[fiUTC].toTime(), QTime(11, 12, 13));
        QCOMPARE(back[fiFREQ].toDouble(), 7.015);
        QVERIFY(back.isEmpty(fiNAME));
        QCOMPARE(m_table->RecordCount(), 2);

        TLogRecord noDate = qso("OK2AA");
        noDate[fiDAT] = QDate(); // an invalid date is no value either
        noDate[fiUTC] = QTime();
        const qint64 third = m_table->Insert(noDate);
        QVERIFY(raw(third, "DAT").isNull());
        QVERIFY(raw(third, "UTC").isNull());
    }

    void idsAreNotReusedAfterDelete()
    {
        m_table->Insert(qso("A1"));
        const qint64 last = m_table->Insert(qso("A2"));
        QVERIFY(m_table->Delete(last));
        QCOMPARE(m_table->Insert(qso("A3")), last + 1);
    }

    void editById()
    {
        const qint64 a = m_table->Insert(qso("OK1AA"));
        const qint64 b = m_table->Insert(qso("OK1BB"));
        TLogRecord r = qso("OK1CC");
        r[fiNAME] = "Jan";
        QVERIFY(m_table->Edit(b, r));
        QCOMPARE(callOf(a), QString("OK1AA"));
        QCOMPARE(callOf(b), QString("OK1CC"));
        QCOMPARE(raw(b, "NAME").toString(), QString("Jan"));
        QVERIFY(!m_table->Edit(999, r));
        QCOMPARE(m_table->RecordCount(), 2);
        TLogRecord untouched = qso("X");
        QVERIFY(!m_table->FindKey(999, untouched));
        QCOMPARE(untouched[fiCALL].toString(), QString("X"));
    }

    void deleteByIds()
    {
        QList<qint64> ids;
        for (const char *call : {"A1", "A2", "A3", "A4"})
            ids << m_table->Insert(qso(call));
        QCOMPARE(m_table->Delete({ids[1], 999, ids[3]}), 2);
        QCOMPARE(m_table->RecordCount(), 2);
        QCOMPARE(callOf(ids[0]), QString("A1"));
        QCOMPARE(callOf(ids[1]), QString("<none>"));
        QVERIFY(!m_table->Delete(ids[1]));
    }

    void setFieldValueOnMany()
    {
        QList<qint64> ids;
        for (const char *call : {"A1", "A2", "A3"})
            ids << m_table->Insert(qso(call, 1));
        QCOMPARE(m_table->SetFieldValue({ids[0], ids[2], 999}, fiQSLO, 3), 2);
        QCOMPARE(raw(ids[0], "QSLO").toInt(), 3);
        QCOMPARE(raw(ids[1], "QSLO").toInt(), 1);
        QCOMPARE(raw(ids[2], "QSLO").toInt(), 3);
        // A text value is converted with the program's formats.
        QCOMPARE(m_table->SetFieldValue(ids, fiFREQ, QString("14,025")), 3);
        QCOMPARE(raw(ids[1], "FREQ").toDouble(), 14.025);
        QCOMPARE(m_table->SetFieldValue(ids, fiLOCP, QString("JN79AB")), 3);
        QVERIFY_THROWS_EXCEPTION(EDatabaseError, m_table->SetFieldValue(ids, fiID, 5));
    }

    void updateRecomputes()
    {
        const qint64 a = m_table->Insert(qso("A1", 1));
        const qint64 b = m_table->Insert(qso("A2", 2));
        // A toggle as the QSL commands do it: the stored value turns into 0 or the new one.
        const int written = m_table->Update({a, b, 999}, [](TLogRecord &r) {
            r[fiQSLO] = r[fiQSLO].toInt() == 1 ? 0 : 1;
            r[fiBAND] = r.id() == 1 ? 5 : 6;
        });
        QCOMPARE(written, 2);
        QCOMPARE(raw(a, "QSLO").toInt(), 0);
        QCOMPARE(raw(b, "QSLO").toInt(), 1);
        QCOMPARE(raw(a, "BAND").toInt(), 5);
        QCOMPARE(raw(b, "BAND").toInt(), 6);
    }

    // The bulk edit counts its rows in whole percents, each once, up to 100; rows no
    // longer in the table count as done.
    void updateReportsProgress()
    {
        QList<qint64> ids;
        for (int i = 0; i < 7; ++i)
            ids << m_table->Insert(qso(QString("A%1").arg(i), i + 1));
        ids.insert(3, 999);
        QList<int> reported;
        m_table->Update(ids, [](TLogRecord &r) { r[fiQSLP] = 1; }, [&](int percent) { reported << percent; });
        QCOMPARE(reported, (QList<int>{0, 12, 25, 37, 50, 62, 75, 87, 100}));
        QList<int> none;
        QCOMPARE(m_table->Update({}, [](TLogRecord &) {}, [&](int percent) { none << percent; }), 0);
        QCOMPARE(none, QList<int>{0});
    }

    void failingBulkOperationChangesNothing_data()
    {
        QTest::addColumn<int>("failAt");
        QTest::newRow("first") << 0;
        QTest::newRow("middle") << 2;
        QTest::newRow("last") << 4;
    }
    void failingBulkOperationChangesNothing()
    {
        QFETCH(int, failAt);
        QList<qint64> ids;
        for (int i = 0; i < 5; ++i)
            ids << m_table->Insert(qso(QString("A%1").arg(i)));
        int seen = 0;
        QVERIFY_THROWS_EXCEPTION(EDatabaseError, m_table->Update(ids, [&](TLogRecord &r) {
            // A value the field cannot take fails the write of this record.
            r[fiFREQ] = seen++ == failAt ? QVariant(QString("abc")) : QVariant(3.5);
        }));
        for (qint64 id : ids)
            QCOMPARE(raw(id, "FREQ").toDouble(), 7.015);

        // The same when the change itself throws, and for deletions inside an outer
        // transaction: only the failed unit is undone.
        QVERIFY_THROWS_EXCEPTION(std::runtime_error, m_table->Update(ids, [&](TLogRecord &r) {
            if (r.id() == ids[failAt])
                throw std::runtime_error("stop");
            r[fiCALL] = QString("CHANGED");
        }));
        for (qint64 id : ids)
            QVERIFY(raw(id, "CALL").toString() != "CHANGED");
        QCOMPARE(m_table->RecordCount(), 5);
    }

    void unitInsideOuterTransaction()
    {
        m_table->StartTransaction();
        QVERIFY(m_table->InTransaction());
        const qint64 a = m_table->Insert(qso("A1"));
        const qint64 b = m_table->Insert(qso("A2"));
        QVERIFY_THROWS_EXCEPTION(EDatabaseError, m_table->Update({a, b}, [&](TLogRecord &r) {
            r[fiNAME] = QString("X");
            if (r.id() == b)
                r[fiBAND] = 99999; // outside the 16-bit field
        }));
        m_table->Commit();
        QVERIFY(!m_table->InTransaction());
        QCOMPARE(m_table->RecordCount(), 2);
        QVERIFY(raw(a, "NAME").isNull());
    }

    void outerRollbackUndoesEverything()
    {
        m_table->Insert(qso("KEEP"));
        m_table->StartTransaction();
        m_table->Insert(qso("A1"));
        m_table->Delete(1);
        m_table->Rollback();
        QCOMPARE(m_table->RecordCount(), 1);
        QCOMPARE(callOf(1), QString("KEEP"));
    }

    void appendFromNumbersInOrder()
    {
        // The target has rows, and its highest ID has been deleted.
        for (int i = 0; i < 3; ++i)
            m_table->Insert(qso(QString("OLD%1").arg(i)));
        m_table->Delete(3);

        const QString stagingPath = m_log->filePath("_Temp.db");
        DefineLogTable(stagingPath);
        {
            LogConnection staging(stagingPath);
            LogTable stage(staging.connectionName());
            for (const char *call : {"S1", "S2", "S3", "S4"})
                stage.Insert(qso(call));
            stage.Delete(2); // staged IDs 1, 3, 4
            TLogRecord r;
            QVERIFY(stage.FindKey(4, r));
            r[fiNAME] = "Žofie";
            stage.Edit(4, r);
        }
        QCOMPARE(m_table->AppendFrom(stagingPath), 3);
        QCOMPARE(callOf(4), QString("S1"));
        QCOMPARE(callOf(5), QString("S3"));
        QCOMPARE(callOf(6), QString("S4"));
        QCOMPARE(raw(6, "NAME").toString(), QString("Žofie"));
        QCOMPARE(m_table->RecordCount(), 5);
        // The attached file is released again: a second append works.
        QCOMPARE(m_table->AppendFrom(stagingPath), 3);
        QCOMPARE(callOf(9), QString("S4"));
    }

    void appendFromRefusesForeignFiles()
    {
        m_table->Insert(qso("A1"));
        const QString foreign = m_log->filePath("other.db");
        {
            LogConnection c(foreign, LogConnection::OpenOrCreate);
            QSqlQuery q(c.database());
            QVERIFY(q.exec("CREATE TABLE log (ID INTEGER PRIMARY KEY, CALL TEXT)"));
        }
        QVERIFY_THROWS_EXCEPTION(EDatabaseError, m_table->AppendFrom(foreign));
        QVERIFY_THROWS_EXCEPTION(EDatabaseError, m_table->AppendFrom(m_log->filePath("missing.db")));
        QCOMPARE(m_table->RecordCount(), 1);

        const QString staging = m_log->filePath("_Temp.db");
        DefineLogTable(staging);
        m_table->StartTransaction();
        QVERIFY_THROWS_EXCEPTION(EDatabaseError, m_table->AppendFrom(staging));
        m_table->Rollback();
    }

    void tableOnAClosedConnectionIsRefused()
    {
        QVERIFY_THROWS_EXCEPTION(EDatabaseError, LogTable("no such connection"));
    }

    // A number that the integer field cannot hold is refused, never wrapped or cut.
    void storageRefusesWhatAnIntegerFieldCannotHold_data()
    {
        QTest::addColumn<QVariant>("value");
        QTest::addColumn<bool>("valid");
        QTest::newRow("whole double") << QVariant(9.0) << true;
        QTest::newRow("fraction") << QVariant(2.5) << false;
        QTest::newRow("beyond 64 bits") << QVariant(1e30) << false;
        QTest::newRow("beyond 64 bits, negative") << QVariant(-1e30) << false;
        QTest::newRow("not a number") << QVariant(std::nan("")) << false;
        QTest::newRow("infinity") << QVariant(std::numeric_limits<double>::infinity()) << false;
        QTest::newRow("beyond 16 bits") << QVariant(40000.0) << false;
        QTest::newRow("long long beyond 16 bits") << QVariant(qint64(1) << 40) << false;
    }
    void storageRefusesWhatAnIntegerFieldCannotHold()
    {
        QFETCH(QVariant, value);
        QFETCH(bool, valid);
        if (valid)
            QCOMPARE(LogValueToStorage(fiBAND, value).toLongLong(), value.toLongLong());
        else
            QVERIFY_THROWS_EXCEPTION(EDatabaseError, LogValueToStorage(fiBAND, value));
    }

    void valueFromText_data()
    {
        QTest::addColumn<int>("field");
        QTest::addColumn<QString>("text");
        QTest::addColumn<QVariant>("expected"); // invalid QVariant: the text is refused
        QTest::addColumn<bool>("valid");
        QTest::newRow("freq comma") << int(fiFREQ) << "14,025" << QVariant(14.025) << true;
        QTest::newRow("freq point") << int(fiFREQ) << "14.025" << QVariant() << false;
        QTest::newRow("date") << int(fiDAT) << "5.3.2007" << QVariant(QDate(2007, 3, 5)) << true;
        QTest::newRow("bad date") << int(fiDAT) << "31.2.2007" << QVariant() << false;
        QTest::newRow("time h:n") << int(fiUTC) << "7:04" << QVariant(QTime(7, 4)) << true;
        QTest::newRow("band") << int(fiBAND) << "9" << QVariant(9) << true;
        QTest::newRow("band text") << int(fiBAND) << "abc" << QVariant() << false;
        QTest::newRow("band too big") << int(fiBAND) << "40000" << QVariant() << false;
        QTest::newRow("alpha as is") << int(fiNAME) << "jan " << QVariant(QString("jan ")) << true;
        QTest::newRow("empty") << int(fiFREQ) << "" << QVariant() << true;
    }
    void valueFromText()
    {
        QFETCH(int, field);
        QFETCH(QString, text);
        QFETCH(QVariant, expected);
        QFETCH(bool, valid);
        if (!valid) {
            QVERIFY_THROWS_EXCEPTION(EDatabaseError, LogValueFromText(field, text));
            return;
        }
        const QVariant value = LogValueFromText(field, text);
        QCOMPARE(value.isNull(), expected.isNull());
        if (!expected.isNull())
            QCOMPARE(value, expected);
    }

    // What counts as no value: a null variant of any type, an empty text, an invalid date
    // or time; a zero or an empty-looking number does not.
    void emptyValues_data()
    {
        QTest::addColumn<QVariant>("value");
        QTest::addColumn<bool>("empty");
        QTest::newRow("null") << QVariant() << true;
        QTest::newRow("null text") << QVariant(QMetaType::fromType<QString>()) << true;
        QTest::newRow("null integer") << QVariant(QMetaType::fromType<int>()) << true;
        QTest::newRow("null real") << QVariant(QMetaType::fromType<double>()) << true;
        QTest::newRow("null date") << QVariant(QMetaType::fromType<QDate>()) << true;
        QTest::newRow("text without characters") << QVariant(QString()) << true;
        QTest::newRow("empty text") << QVariant(QStringLiteral("")) << true;
        QTest::newRow("blank") << QVariant(QStringLiteral(" ")) << false;
        QTest::newRow("text") << QVariant(QStringLiteral("OK1AB")) << false;
        QTest::newRow("invalid date") << QVariant(QDate()) << true;
        QTest::newRow("impossible date") << QVariant(QDate(2023, 2, 29)) << true;
        QTest::newRow("date") << QVariant(QDate(2024, 2, 29)) << false;
        QTest::newRow("invalid time") << QVariant(QTime()) << true;
        QTest::newRow("midnight") << QVariant(QTime(0, 0)) << false;
        QTest::newRow("invalid date and time") << QVariant(QDateTime()) << true;
        QTest::newRow("date and time") << QVariant(QDateTime(QDate(2024, 1, 5), QTime(12, 30))) << false;
        QTest::newRow("zero") << QVariant(0) << false;
        QTest::newRow("real zero") << QVariant(0.0) << false;
        QTest::newRow("false") << QVariant(false) << false;
        QTest::newRow("empty bytes") << QVariant(QByteArray()) << false;
    }
    void emptyValues()
    {
        QFETCH(QVariant, value);
        QFETCH(bool, empty);
        QCOMPARE(IsEmptyLogValue(value), empty);
        TLogRecord r;
        r[fiNOTE] = value;
        QCOMPARE(r.isEmpty(fiNOTE), empty);
        r.clear();
        QVERIFY(r.isEmpty(fiNOTE));
        QVERIFY(!r[fiNOTE].isValid());
    }
};

QTEST_GUILESS_MAIN(TestLogTable)
#include "tst_logtable.moc"
