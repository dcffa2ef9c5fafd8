#pragma once
// A log and the two name lists for the statistics tests: QSOs are added with only the
// fields the statistics read, and dxcc.db / iota.db are written into the log's folder,
// which serves as the program folder.

#include "TempLog.h"

#include <QSqlError>
#include <QSqlQuery>
#include <QTest>

struct StatQso {
    QString dxcc, iota, locp;
    int band = 5;
    int mode = 1;
    int qslp = 0;
    QVariant itu, waz;
    QString date = QStringLiteral("2006-05-01");
    QVariant pwr = 100.0;
};

class StatTestLog : public TempLog
{
public:
    StatTestLog()
    {
        writeList(QStringLiteral("dxcc.db"),
                  QStringLiteral("CREATE TABLE dxcc(PREFIX TEXT, DXCC TEXT, NAME TEXT)"), {});
        writeList(QStringLiteral("iota.db"),
                  QStringLiteral("CREATE TABLE iota(IOTA TEXT, PREFIX TEXT, NAZEV TEXT)"), {});
    }

    static QVariant text(const QString &value) { return value.isEmpty() ? QVariant() : QVariant(value); }

    void add(const StatQso &q)
    {
        QSqlQuery query(database());
        query.prepare(QStringLiteral("INSERT INTO log(DAT,UTC,CALL,BAND,MODE,QSLP,DXCC,IOTA,LOCP,ITU,WAZ,PWR) "
                                     "VALUES(?,'12:00:00','OK1XYZ',?,?,?,?,?,?,?,?,?)"));
        for (const QVariant &value : {QVariant(q.date), QVariant(q.band), QVariant(q.mode), QVariant(q.qslp),
                                      text(q.dxcc), text(q.iota), text(q.locp), q.itu, q.waz, q.pwr})
            query.addBindValue(value);
        QVERIFY2(query.exec(), qPrintable(query.lastError().text()));
    }

    // Replaces a name list: rows of (key, name).
    void writeList(const QString &file, const QString &create, const QList<QPair<QString, QString>> &rows)
    {
        QFile::remove(filePath(file));
        {
            LogConnection list(filePath(file), LogConnection::OpenOrCreate);
            QSqlQuery query(list.database());
            QVERIFY(query.exec(create));
            const bool dxcc = file.startsWith(u'd');
            for (const auto &[key, name] : rows) {
                query.prepare(dxcc ? QStringLiteral("INSERT INTO dxcc(PREFIX,DXCC,NAME) VALUES(?,?,?)")
                                   : QStringLiteral("INSERT INTO iota(IOTA,PREFIX,NAZEV) VALUES(?,?,?)"));
                query.addBindValue(dxcc ? key : key);
                query.addBindValue(dxcc ? key : QStringLiteral("X"));
                query.addBindValue(name);
                QVERIFY(query.exec());
            }
        }
    }
};
