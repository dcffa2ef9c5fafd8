#pragma once
// A program folder with the report project Tisk.rav, a log of QSOs, the grid query over
// it and the exchange host that the print dialogs and commands work with. The marks and
// every QSL-state change the host is asked for are kept for the test to read.

#include "../logbook/QsoTestFixture.h"

#include "ExchangeHost.h"
#include "ProgressDialog.h"

#include <QSqlQuery>

#include <memory>

struct PrintFixture {
    QsoTestFixture fx;
    LogQuery query;
    std::unique_ptr<TfrmDialog> progress = std::make_unique<TfrmDialog>();
    QList<TBookmark> marks;
    QList<QPair<int, int>> qslStateCalls;

    PrintFixture()
    {
        QFile::copy(QStringLiteral(VELKOR_SOURCE_DIR "/data/Tisk.rav"),
                    fx.dm->AppDir + QStringLiteral("Tisk.rav"));
        query.SetConnectionName(TdmLog::DatabaseName);
    }

    // Adds a QSO (call, entity, date and time given, the rest fixed) and returns its ID.
    qint64 add(const QString &call, const QString &dxcc, const QDate &date = QDate(2026, 3, 1),
               const QTime &time = QTime(12, 0))
    {
        QVariantMap values{{"BAND", 6}, {"RSTO", "599"}, {"RSTP", "579"}};
        if (!dxcc.isEmpty())
            values.insert("DXCC", dxcc);
        return fx.insert(QsoTestFixture::qso(call, date, time, 14.025, 1, values));
    }

    // Adds count QSOs with calls OK1AA0000, OK1AA0001 ... one minute apart.
    void addMany(int count)
    {
        QSqlDatabase db = QSqlDatabase::database(TdmLog::DatabaseName);
        db.transaction();
        for (int i = 0; i < count; ++i)
            add(QStringLiteral("OK1AA%1").arg(i, 4, 10, QLatin1Char('0')), QStringLiteral("OK"),
                QDate(2026, 1, 1), QTime(0, 0).addSecs(60 * i));
        db.commit();
    }

    void open() { query.Open(); }

    TExchangeHost host()
    {
        TExchangeHost h;
        h.dm = fx.dm.get();
        h.progress = progress.get();
        h.markedIds = [this] { return marks; };
        h.gridQuery = [this] { return &query; };
        h.setQSLState = [this](int field, int value) { qslStateCalls.append({field, value}); };
        return h;
    }

    QString temp(const QString &name) const { return fx.dm->TempDir + name; }

    // The calls of a log-shaped table file in ID order.
    static QStringList callsOf(const QString &tableFile)
    {
        QStringList calls;
        LogConnection connection(tableFile, LogConnection::OpenReadOnly);
        {
            QSqlQuery q(connection.database());
            q.exec(QStringLiteral("SELECT CALL FROM log ORDER BY ID"));
            while (q.next())
                calls << q.value(0).toString();
        }
        return calls;
    }
};
