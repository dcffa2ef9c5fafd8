#pragma once
// A program folder of its own for a logbook window test: Velkor.ini registering one log,
// Data/ with the log file and its operator settings, the real dxcc.db of the build, and
// the data module, the entity list and a query over the log as the main window has them.

#include "log/DmLog.h"
#include "radio/DxccList.h"
#include "system/LocalEndpoint.h"
#include "log/LogQuery.h"
#include "log/LogRecord.h"
#include "log/LogTable.h"
#include "log/VkrDatabase.h"

#include <QDir>
#include <QFile>
#include <QSqlQuery>
#include <QTemporaryDir>
#include <QTest>

#include <memory>

struct QsoTestFixture {
    static inline const QString Call = QStringLiteral("OK1XYZ");
    static inline const QString OwnLocator = QStringLiteral("JN79SX");

    QTemporaryDir dir;
    std::unique_ptr<TdmLog> dm;
    std::unique_ptr<TDxccList> dxcc;

    // Builds the folder and the settings; openLog also opens the log's database.
    explicit QsoTestFixture(bool openLog = true)
    {
        QDir root(dir.path());
        root.mkpath(QStringLiteral("Data"));
        root.mkpath(QStringLiteral("Zaloha"));
        root.mkpath(QStringLiteral("Temp"));
        qputenv("TEMP", root.filePath(QStringLiteral("Temp")).toLocal8Bit());
        TLocalEndpoint::setNamePrefix(dir.path() + QLatin1Char('/'));
        {
            QFile ini(root.filePath(QStringLiteral("Velkor.ini")));
            ini.open(QIODevice::WriteOnly);
            ini.write("[Users]\r\n0=OK1XYZ\r\n");
        }
        QFile::copy(QStringLiteral(VELKOR_STAGE_DIR "/dxcc.db"), root.filePath(QStringLiteral("dxcc.db")));

        dm = std::make_unique<TdmLog>(dir.path());
        TUserOptions &options = dm->UserOptions;
        options.Load(dm->DataDir + Call + QStringLiteral(".uf"));
        options.SetCall(Call);
        options.SetLocator(OwnLocator);
        options.SetFreqs({3.5, 7.0, 14.025});
        options.SetFreq(2);
        options.SetMode(1); // SSB, second of the modes 1..27
        options.SetRSTo(QStringLiteral("59"));
        options.SetRSTp(QStringLiteral("59"));
        options.Save();
        CreateLogTable(dm->LogFileName(Call));
        if (openLog)
            dm->OpenDatabase(Call);
        dxcc = std::make_unique<TDxccList>(dir.path());
    }

    ~QsoTestFixture()
    {
        dxcc.reset();
        dm.reset();
        TLocalEndpoint::setNamePrefix(QString());
    }

    QString path(const QString &name) const { return QDir(dir.path()).filePath(name); }

    static TLogRecord qso(const QString &call, const QDate &date, const QTime &time, double freq, int mode,
                          const QVariantMap &values = {})
    {
        TLogRecord r;
        r[fiCALL] = call;
        r[fiDAT] = date;
        r[fiUTC] = time;
        r[fiFREQ] = freq;
        r[fiBAND] = 0;
        r[fiMODE] = mode;
        r[fiLOCO] = OwnLocator;
        r[fiPWR] = 100.0;
        r[fiQSLO] = 0;
        r[fiQSLP] = 0;
        r[fiEQSLP] = 0;
        for (auto it = values.cbegin(); it != values.cend(); ++it)
            r[LogFieldIndex(it.key())] = it.value();
        return r;
    }

    qint64 insert(const TLogRecord &record)
    {
        return LogTable(TdmLog::DatabaseName).Insert(record);
    }

    // The sample log: three earlier QSOs with OK1ABC in three forms and one other station.
    void insertSampleLog()
    {
        insert(qso("OK1ABC/P", QDate(2006, 5, 1), QTime(10, 0), 7.05, 1,
                   {{"BAND", 4}, {"NAME", "Honza"}, {"QTH", "Sněžka"}, {"LOCP", "JO70SR"}, {"DXCC", "OK"}}));
        insert(qso("OK1ABC", QDate(2007, 1, 2), QTime(18, 30), 14.025, 2,
                   {{"BAND", 6}, {"NAME", "Jan"}, {"QTH", "Praha"}, {"LOCP", "JO70FC"}, {"QSLP", 1}, {"DXCC", "OK"},
                    {"ITU", 28}, {"WAZ", 15}, {"NOTE", "první spojení"}, {"RSTO", "59"}, {"RSTP", "57"}}));
        insert(qso("DL/OK1ABC", QDate(2007, 6, 3), QTime(7, 15), 3.55, 1,
                   {{"BAND", 2}, {"NAME", "Karel"}, {"QTH", "Berlin"}, {"DXCC", "DL"}}));
        insert(qso("G3XYZ", QDate(2007, 7, 1), QTime(9, 0), 21.2, 2,
                   {{"BAND", 8}, {"NAME", "John"}, {"DXCC", "G"}, {"ITU", 27}, {"WAZ", 14}}));
    }

    // Every row of the log, as the table holds it, in ID order.
    QList<TLogRecord> rows() const
    {
        QList<TLogRecord> result;
        QSqlQuery q(QSqlDatabase::database(TdmLog::DatabaseName));
        q.exec(QStringLiteral("SELECT ID FROM log ORDER BY ID"));
        QList<qint64> ids;
        while (q.next())
            ids << q.value(0).toLongLong();
        q.finish();
        LogTable table(TdmLog::DatabaseName);
        for (qint64 id : ids) {
            TLogRecord r;
            table.FindKey(id, r);
            result << r;
        }
        return result;
    }
};
