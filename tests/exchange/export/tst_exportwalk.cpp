// The two ways an export walks the log: every row in one pass, read in place from the
// statement, and the marked rows, read as records. Over a log holding values stored in
// every odd way, each export writes the same bytes both ways; and the odd values do
// reach the files (the rows are there, and text beyond ASCII comes out in the code page).

#include "ExportFixture.h"
#include "ZipArchive.h"

#include "export/Export.h"
#include "export/ExportValues.h"
#include "radio/Amater.h"

#include <QLocale>
#include <QSqlQuery>

#include <functional>

namespace
{

using Writer = std::function<void(LogQuery &, const QList<TBookmark> &, const QString &)>;

// Values as other programs or older versions may have left them: (column, SQL literal).
const QList<std::pair<QString, QString>> OddValues{
    {"CALL", "'ok1abc/p'"},
    {"CALL", "'DL/OK1ABC/P'"},
    {"CALL", "'OK1ABC' || char(0) || 'X'"},
    {"CALL", "'Č1ABC/P'"},
    {"CALL", "''"},
    {"CALL", "1234"},
    {"NAME", "'Jiří Šťastný'"},
    {"NAME", "x'4142'"},
    {"NAME", "CAST(x'C3' AS TEXT)"},
    {"QTH", "'Zlín 😀 ;\"x\"'"},
    {"QTH", "'two' || char(13) || char(10) || 'lines'"},
    {"NOTE", "''"},
    {"NOTE", "'poznámka <eor>'"},
    {"IOTA", "'E'"},
    {"IOTA", "'EU123'"},
    {"AWARD", "'ÀÉÎ€'"},
    {"DAT", "'2023-02-29'"},
    {"DAT", "'2023-2-3'"},
    {"DAT", "20230101"},
    {"DAT", "'0000-01-01'"},
    {"DAT", "NULL"},
    {"UTC", "'12:34'"},
    {"UTC", "'25:00:00'"},
    {"UTC", "'12:34:56.789'"},
    {"UTC", "NULL"},
    {"FREQ", "'14.025'"},
    {"FREQ", "x'0102'"},
    {"FREQ", "-0.0"},
    {"FREQ", "7"},
    {"PWR", "NULL"},
    {"QRB", "1e300"},
    {"BAND", "'3'"},
    {"BAND", "99"},
    {"MODE", "2.5"},
    {"QSLO", "7"},
    {"QSLP", "NULL"},
    {"ITU", "NULL"},
    {"ITU", "3000000000"},
    {"WAZ", "'x'"},
    {"RSTO", "599"},
    {"LOCO", "1.5"},
};

// The workbook's parts that hold the cells (the rest holds the time it was made).
QByteArray workbookCells(const QString &file)
{
    const QHash<QString, QByteArray> members = ReadZip(ReadTestFile(file));
    return members.value("xl/worksheets/sheet1.xml") + members.value("xl/sharedStrings.xml");
}

} // namespace

Q_DECLARE_METATYPE(Writer)

class TestExportWalk : public QObject
{
    Q_OBJECT

    // One QSO a value, on a day of its own so that the query's order is the order above.
    static QList<qint64> addOddLog(ExportFixture &fx)
    {
        QList<qint64> ids;
        for (int i = 0; i < OddValues.size(); ++i) {
            TLogRecord r = ExportFixture::qso({{"DAT", QDate(2010, 1, 1).addDays(i)}});
            ids << fx.add(r);
        }
        QSqlQuery update(QSqlDatabase::database(fx.log.connectionName()));
        for (int i = 0; i < OddValues.size(); ++i) {
            const auto &[column, value] = OddValues[i];
            if (!update.exec(QStringLiteral("UPDATE log SET %1=%2 WHERE ID=%3").arg(column, value).arg(ids[i])))
                qFatal("cannot store %s", qPrintable(value));
        }
        return ids;
    }

    // The IDs in the query's order.
    static QList<TBookmark> allRows(LogQuery &q)
    {
        QList<TBookmark> ids;
        for (int row = 0; row < q.RecordCount(); ++row)
            ids << q.ValueAt(row, fiID).toLongLong();
        return ids;
    }

private slots:
    void init() { QLocale::setDefault(QLocale(QLocale::Czech, QLocale::CzechRepublic)); }
    void cleanup() { QLocale::setDefault(QLocale::c()); }

    void onePassWritesWhatTheMarksWrite_data()
    {
        QTest::addColumn<Writer>("writer");
        QTest::addColumn<bool>("workbook");
        QTest::addColumn<QString>("present"); // text an odd value leaves in the file
        QTest::newRow("ADIF") << Writer([](LogQuery &q, const QList<TBookmark> &m, const QString &f) {
            ExportADIF(q, m, f, {});
        }) << false << QStringLiteral("<NAME:12>Jiří Šťastný");
        QTest::newRow("ADIF for eQSL") << Writer([](LogQuery &q, const QList<TBookmark> &m, const QString &f) {
            ExportADIFShort(q, m, "TNX", {}, f);
        }) << false << QStringLiteral("<CALL:8>ok1abc/p<");
        QTest::newRow("CSV") << Writer([](LogQuery &q, const QList<TBookmark> &m, const QString &f) {
            ExportCSV(q, m, f, {});
        }) << false << QStringLiteral(";ok1abc/p;OK1ABC;");
        QTest::newRow("TXT") << Writer([](LogQuery &q, const QList<TBookmark> &m, const QString &f) {
            ExportTXT(q, m, f, {});
        }) << false << QStringLiteral("DL/OK1ABC/P     OK1ABC ");
        QTest::newRow("workbook") << Writer([](LogQuery &q, const QList<TBookmark> &m, const QString &f) {
            ExportXLS(q, m, f, {});
        }) << true << QStringLiteral(">Jiří Šťastný<");
    }
    void onePassWritesWhatTheMarksWrite()
    {
        QFETCH(Writer, writer);
        QFETCH(bool, workbook);
        QFETCH(QString, present);
        ExportFixture fx;
        const QList<qint64> ids = addOddLog(fx);
        LogQuery &q = fx.open();
        QCOMPARE(q.RecordCount(), ids.size());
        const QString walked = fx.path("walked"), marked = fx.path("marked");
        writer(q, {}, walked);
        writer(q, allRows(q), marked);
        const QByteArray a = workbook ? workbookCells(walked) : ReadTestFile(walked);
        const QByteArray b = workbook ? workbookCells(marked) : ReadTestFile(marked);
        QVERIFY(!a.isEmpty());
        QVERIFY(a.contains(workbook ? present.toUtf8() : Cp1250(present)));
        QCOMPARE(a, b);
        // Both walks leave the query on the last row.
        QCOMPARE(q.Bookmark(), allRows(q).last());
    }

    // The base call of a call sign as its bytes go into the files, against the text rule.
    void baseCallOfStoredBytes_data()
    {
        QTest::addColumn<QString>("call");
        for (const char *call : {"OK1ABC", "ok1abc", "OK1ABC/P", "OK1ABC/MM", "DL/OK1ABC", "OK/DL1A", "OK1A/DL",
                                 "DL/OK1ABC/P", "DL/ok1abc/p", "A/B/C/D", "/", "//", "///", "/OK1ABC", "OK1ABC/",
                                 "", "AB/CD", "ab/CD", "OK1ABC\0X/P", "OK1ABC/P\0"})
            QTest::newRow(call[0] ? call : "empty") << QString::fromLatin1(call);
        QTest::newRow("zero byte inside") << QString::fromLatin1("OK1\0AB/P", 8);
        QTest::newRow("not ASCII") << QStringLiteral("Č1ABC/p");
        QTest::newRow("not ASCII prefix") << QStringLiteral("ÖE/ok1abc/p");
    }
    void baseCallOfStoredBytes()
    {
        QFETCH(QString, call);
        ExportFixture fx;
        const qint64 id = fx.add(ExportFixture::qso());
        QSqlQuery update(QSqlDatabase::database(fx.log.connectionName()));
        update.prepare("UPDATE log SET CALL=? WHERE ID=?");
        update.addBindValue(call);
        update.addBindValue(id);
        QVERIFY(update.exec());
        LogQuery &q = fx.open();
        QByteArray written;
        bool asStored = false;
        q.ReadRowViews(0, [&](int, const TLogRowView &view) {
            QByteArrayView bytes;
            asStored = view.Ascii(fiCALL, bytes);
            ExportValues::AppendBaseCall(written, view, fiCALL);
            return false;
        });
        QCOMPARE(asStored, ExportValues::IsAscii(call));
        QCOMPARE(written, Cp1250(ExtractBaseCall(call)));
    }
};

QTEST_GUILESS_MAIN(TestExportWalk)
#include "tst_exportwalk.moc"
