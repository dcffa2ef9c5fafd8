#include "log/LogTable.h"
#include "LogTableModel.h"
#include "TempLog.h"

#include <QAbstractItemModelTester>
#include <QSignalSpy>
#include <QTest>

#include <memory>

namespace {

TLogRecord qso(const QString &call, const QDate &date, const QTime &time)
{
    TLogRecord r;
    r[fiDAT] = date;
    r[fiUTC] = time;
    r[fiCALL] = call;
    r[fiFREQ] = 14.0256;
    r[fiBAND] = 6;
    r[fiMODE] = 2;
    r[fiQSLO] = 2;
    r[fiQSLP] = 1;
    r[fiEQSLP] = 0;
    r[fiQRB] = 1234.6;
    return r;
}

} // namespace

class TestLogTableModel : public QObject
{
    Q_OBJECT
private:
    std::unique_ptr<TempLog> m_log;
    QList<qint64> m_ids; // in date order: OK1AA, DL1BB, G3CC, W1DD, JA1EE

    std::unique_ptr<LogQuery> openQuery(const QStringList &order = {})
    {
        auto query = std::make_unique<LogQuery>();
        query->SetConnectionName(m_log->connectionName());
        query->SetOrderBy(order);
        query->Open();
        return query;
    }

private slots:
    void initTestCase()
    {
        m_log = std::make_unique<TempLog>(QStringLiteral("OK1XYZ"));
        LogTable table(m_log->connectionName());
        const QStringList calls{"OK1AA", "DL1BB", "G3CC", "W1DD", "JA1EE"};
        for (int i = 0; i < calls.size(); ++i)
            m_ids << table.Insert(qso(calls[i], QDate(2007, 3, 1 + i), QTime(12, 30)));
        TLogRecord odd = qso("UA9FF", QDate(2007, 4, 1), QTime(8, 5, 7));
        odd[fiMODE] = 40;    // outside the mode table
        odd[fiBAND] = QVariant(); // empty
        odd[fiQSLO] = 0;
        odd[fiEQSLP] = 1;
        m_ids << table.Insert(odd);
    }

    void modelIsConsistentThroughQueryChanges()
    {
        auto query = openQuery();
        LogTableModel model(query.get());
        QAbstractItemModelTester tester(&model, QAbstractItemModelTester::FailureReportingMode::QtTest);
        QCOMPARE(model.rowCount(), 6);
        QCOMPARE(model.columnCount(), 24);
        query->Last();
        model.SetMarked(m_ids[1], true);
        query->SetOrderBy(LogQuery::SortOrderFor(fiCALL));
        query->Open();
        QCOMPARE(model.rowCount(), 6);
        query->SetWhere("CALL LIKE ?", {"O%"});
        query->DisableControls();
        query->Close();
        query->Open();
        QCOMPARE(model.rowCount(), 6); // held back while the controls are disabled
        query->EnableControls();
        QCOMPARE(model.rowCount(), 1);
        query->Close();
        QCOMPARE(model.rowCount(), 0);
        QCOMPARE(model.CurrentRow(), -1);
    }

    // After a few QSOs were saved, edited or deleted the model is told the rows that went
    // and came, not reset; the marks of deleted QSOs go, the current row follows.
    void rowsTakenOutAndPutInOneByOne()
    {
        TempLog log(QStringLiteral("OK1ROW"));
        LogTable table(log.connectionName());
        QList<qint64> ids;
        for (int i = 0; i < 6; ++i)
            ids << table.Insert(qso(QString("OK%1AA").arg(i), QDate(2007, 3, 1 + i), QTime(12, 30)));
        LogQuery query;
        query.SetConnectionName(log.connectionName());
        query.Open();
        LogTableModel model(&query);
        QAbstractItemModelTester tester(&model, QAbstractItemModelTester::FailureReportingMode::QtTest);
        QSignalSpy resets(&model, &QAbstractItemModel::modelReset);
        QSignalSpy inserted(&model, &QAbstractItemModel::rowsInserted);
        QSignalSpy removed(&model, &QAbstractItemModel::rowsRemoved);
        model.SetMarked(ids[2], true);
        model.SetMarked(ids[4], true);
        query.SetRecNo(3);

        const qint64 added = table.Insert(qso("NEW", QDate(2007, 3, 2), QTime(13, 0)));
        table.Delete(ids[2]);
        TLogRecord moved;
        QVERIFY(table.FindKey(ids[0], moved));
        moved[fiDAT] = QDate(2008, 1, 1);
        QVERIFY(table.Edit(ids[0], moved));
        query.DisableControls();
        query.RefreshRows({added, ids[2], ids[0]});
        query.SetRecNo(3);
        QCOMPARE(model.rowCount(), 6); // held back while the controls are disabled
        QCOMPARE(removed.count(), 0);
        query.EnableControls();
        QCOMPARE(resets.count(), 0);
        QCOMPARE(removed.count(), 2);
        QCOMPARE(inserted.count(), 2);
        QStringList calls;
        for (int row = 0; row < model.rowCount(); ++row)
            calls << model.CellText(row, fiCALL);
        QCOMPARE(calls, QStringList({"OK1AA", "NEW", "OK3AA", "OK4AA", "OK5AA", "OK0AA"}));
        QCOMPARE(model.CurrentRow(), 2);
        QCOMPARE(model.Marks(), QList<TBookmark>{ids[4]});
        QCOMPARE(model.data(model.index(2, 0), Qt::BackgroundRole).value<QColor>(), LogTableModel::CurrentBackground);
    }

    void texts_data()
    {
        QTest::addColumn<int>("row");
        QTest::addColumn<int>("field");
        QTest::addColumn<QString>("text");
        QTest::newRow("date in its format") << 0 << int(fiDAT) << "01.03.2007";
        QTest::newRow("time in its format") << 0 << int(fiUTC) << "12:30";
        QTest::newRow("time with seconds") << 5 << int(fiUTC) << "08:05";
        QTest::newRow("frequency") << 0 << int(fiFREQ) << "14,026";
        QTest::newRow("distance rounded") << 0 << int(fiQRB) << "1235";
        QTest::newRow("band name") << 0 << int(fiBAND) << "20m";
        QTest::newRow("empty band") << 5 << int(fiBAND) << "";
        QTest::newRow("mode name") << 0 << int(fiMODE) << "SSB";
        QTest::newRow("mode outside the table") << 5 << int(fiMODE) << "40";
        QTest::newRow("QSL sent requested") << 0 << int(fiQSLO) << "R";
        QTest::newRow("QSL sent no") << 5 << int(fiQSLO) << "-";
        QTest::newRow("QSL received") << 0 << int(fiQSLP) << "Y";
        QTest::newRow("eQSL no") << 0 << int(fiEQSLP) << "-";
        QTest::newRow("eQSL yes") << 5 << int(fiEQSLP) << "Y";
        QTest::newRow("call") << 1 << int(fiCALL) << "DL1BB";
        QTest::newRow("empty name") << 1 << int(fiNAME) << "";
    }
    void texts()
    {
        QFETCH(int, row);
        QFETCH(int, field);
        QFETCH(QString, text);
        auto query = openQuery();
        query->SetDisplayFormat(fiDAT, "dd.mm.yyyy");
        query->SetDisplayFormat(fiUTC, "hh:nn");
        query->SetDisplayFormat(fiFREQ, "0.###");
        query->SetDisplayFormat(fiQRB, "0");
        LogTableModel model(query.get());
        const QModelIndex index = model.index(row, LogTableModel::columnOfField(field));
        QCOMPARE(model.data(index).toString(), text);
    }

    void alignmentsAndCaptions()
    {
        auto query = openQuery();
        LogTableModel model(query.get());
        const int call = LogTableModel::columnOfField(fiCALL);
        QCOMPARE(model.headerData(call, Qt::Horizontal).toString(), QString("Značka"));
        model.SetColumnCaption(fiCALL, "Call");
        model.SetColumnAlignment(fiCALL, caRight);
        model.SetColumnCaptionAlignment(fiCALL, caLeft);
        QCOMPARE(model.headerData(call, Qt::Horizontal).toString(), QString("Call"));
        QCOMPARE(model.data(model.index(0, call), Qt::TextAlignmentRole).value<Qt::Alignment>(),
                 Qt::AlignRight | Qt::AlignVCenter);
        QCOMPARE(model.headerData(call, Qt::Horizontal, Qt::TextAlignmentRole).value<Qt::Alignment>(),
                 Qt::AlignLeft | Qt::AlignVCenter);
        QCOMPARE(model.data(model.index(0, LogTableModel::columnOfField(fiMODE)), Qt::TextAlignmentRole)
                     .value<Qt::Alignment>(),
                 Qt::AlignHCenter | Qt::AlignVCenter);
    }

    void sortTitleColour()
    {
        auto query = openQuery();
        LogTableModel model(query.get());
        const auto title = [&model](int field) {
            return model.headerData(LogTableModel::columnOfField(field), Qt::Horizontal, Qt::BackgroundRole);
        };
        QSignalSpy headers(&model, &QAbstractItemModel::headerDataChanged);
        model.SetSortField(fiDAT);
        QCOMPARE(headers.count(), 1);
        QCOMPARE(title(fiDAT).value<QColor>(), QColor(198, 211, 239));
        QCOMPARE(title(fiUTC).value<QColor>(), QColor(198, 211, 239));
        QVERIFY(!title(fiCALL).isValid());
        model.SetSortField(fiCALL);
        QCOMPARE(title(fiCALL).value<QColor>(), QColor(198, 211, 239));
        QVERIFY(!title(fiDAT).isValid());
        QVERIFY(!title(fiUTC).isValid());
    }

    void colours_data()
    {
        QTest::addColumn<int>("row");
        QTest::addColumn<bool>("marked");
        QTest::addColumn<QColor>("background");
        QTest::addColumn<QColor>("font");
        QTest::newRow("odd record") << 2 << false << QColor(255, 255, 255) << QColor(0, 0, 0);
        QTest::newRow("even record") << 3 << false << QColor(248, 248, 248) << QColor(0, 0, 0);
        QTest::newRow("current") << 0 << false << QColor(10, 36, 106) << QColor(255, 255, 255);
        QTest::newRow("marked") << 3 << true << QColor(255, 255, 0) << QColor(0, 0, 0);
        QTest::newRow("marked and current") << 0 << true << QColor(10, 36, 106) << QColor(255, 255, 0);
    }
    void colours()
    {
        QFETCH(int, row);
        QFETCH(bool, marked);
        QFETCH(QColor, background);
        QFETCH(QColor, font);
        auto query = openQuery(); // stands on row 0
        LogTableModel model(query.get());
        if (marked)
            model.SetMarked(query->IdAt(row), true);
        const QModelIndex index = model.index(row, 3);
        QCOMPARE(model.data(index, Qt::BackgroundRole).value<QColor>(), background);
        QCOMPARE(model.data(index, Qt::ForegroundRole).value<QColor>(), font);
    }

    void currentRowFollowsTheQueryUnlessDisabled()
    {
        auto query = openQuery();
        LogTableModel model(query.get());
        QSignalSpy current(&model, &LogTableModel::currentRowChanged);
        QSignalSpy changed(&model, &QAbstractItemModel::dataChanged);
        query->Last();
        QCOMPARE(model.CurrentRow(), 5);
        QCOMPARE(current.count(), 1);
        QCOMPARE(current.last().at(0).toInt(), 5);
        QCOMPARE(changed.count(), 2); // the old and the new current row repaint
        QCOMPARE(model.headerData(5, Qt::Vertical).toString(), QString("►"));
        QCOMPARE(model.headerData(0, Qt::Vertical).toString(), QString());

        query->DisableControls();
        query->First();
        query->Next();
        QCOMPARE(model.CurrentRow(), 5);
        QCOMPARE(current.count(), 1);
        query->EnableControls();
        QCOMPARE(model.CurrentRow(), 1);
        QCOMPARE(current.count(), 2);
    }

    void marks()
    {
        auto query = openQuery();
        LogTableModel model(query.get());
        QSignalSpy changed(&model, &LogTableModel::marksChanged);
        model.SetMarked(m_ids[3], true);
        model.ToggleMark(m_ids[0]);
        model.SetMarked(m_ids[3], true); // already marked: nothing
        QCOMPARE(changed.count(), 2);
        QCOMPARE(model.MarkCount(), 2);
        QVERIFY(model.IsMarked(m_ids[0]));
        QVERIFY(model.IsRowMarked(3));
        QVERIFY(!model.IsRowMarked(1));
        QCOMPARE(model.Marks(), (QList<TBookmark>{m_ids[0], m_ids[3]}));
        model.ToggleMark(m_ids[0]);
        QVERIFY(!model.IsMarked(m_ids[0]));
        model.SetMarked(0, true); // no bookmark: nothing
        QCOMPARE(model.MarkCount(), 1);

        model.MarkAll();
        QCOMPARE(model.MarkCount(), 6);
        const int signalsBefore = int(changed.count());
        model.MarkAll();
        QCOMPARE(changed.count(), signalsBefore);
        model.ClearMarks();
        QCOMPARE(model.MarkCount(), 0);
        QVERIFY(model.Marks().isEmpty());
    }

    void marksFollowTheQueryOrderAndSurviveRequeries()
    {
        auto query = openQuery();
        LogTableModel model(query.get());
        model.SetMarked(m_ids[0], true); // OK1AA
        model.SetMarked(m_ids[2], true); // G3CC
        model.SetMarked(m_ids[1], true); // DL1BB
        QCOMPARE(model.Marks(), (QList<TBookmark>{m_ids[0], m_ids[1], m_ids[2]}));
        query->SetOrderBy(LogQuery::SortOrderFor(fiCALL));
        query->Open();
        QCOMPARE(model.Marks(), (QList<TBookmark>{m_ids[1], m_ids[2], m_ids[0]}));

        // Rows that leave the result take their marks with them.
        QSignalSpy changed(&model, &LogTableModel::marksChanged);
        query->SetWhere("CALL <> ?", {"G3CC"});
        query->Open();
        QCOMPARE(changed.count(), 1);
        QCOMPARE(model.Marks(), (QList<TBookmark>{m_ids[1], m_ids[0]}));
        query->Close();
        QCOMPARE(model.Marks(), (QList<TBookmark>{m_ids[0], m_ids[1]}));
    }
};

QTEST_MAIN(TestLogTableModel)
#include "tst_logtablemodel.moc"
