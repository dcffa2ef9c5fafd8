#pragma once
// A log of its own for the export tests: QSOs added as records, a query over them in
// date and time order, and helpers to run an export into the test's folder and read it.

#include "TempLog.h"
#include "TestFiles.h"

#include "log/LogQuery.h"
#include "log/LogRecord.h"
#include "log/LogTable.h"
#include "base/Progress.h"

#include <QDate>
#include <QDir>
#include <QList>
#include <QSqlQuery>
#include <QTest>
#include <QTime>
#include <QVariantMap>

#include <iconv.h>

#include <memory>

struct ExportFixture {
    TempLog log;
    std::unique_ptr<LogQuery> query;

    // A complete QSO; `values` replace fields by name (a null QVariant empties one).
    static TLogRecord qso(const QVariantMap &values = {})
    {
        TLogRecord r;
        r[fiDAT] = QDate(2007, 2, 3);
        r[fiUTC] = QTime(7, 5, 9);
        r[fiCALL] = QStringLiteral("OK1ABC");
        r[fiFREQ] = 14.025;
        r[fiBAND] = 6;
        r[fiMODE] = 1;
        r[fiRSTO] = QStringLiteral("599");
        r[fiRSTP] = QStringLiteral("579");
        r[fiNAME] = QStringLiteral("Jan");
        r[fiQTH] = QStringLiteral("Praha");
        r[fiLOCO] = QStringLiteral("JN79SX");
        r[fiLOCP] = QStringLiteral("JO70FC");
        r[fiQSLO] = 0;
        r[fiQSLP] = 0;
        r[fiEQSLP] = 0;
        r[fiPWR] = 100.0;
        r[fiQRB] = 85.0;
        r[fiDXCC] = QStringLiteral("OK");
        r[fiITU] = 28;
        r[fiWAZ] = 15;
        for (auto it = values.cbegin(); it != values.cend(); ++it)
            r[LogFieldIndex(it.key())] = it.value();
        return r;
    }

    qint64 add(const TLogRecord &record) { return LogTable(log.connectionName()).Insert(record); }

    // `count` QSOs one minute apart, the call signs numbered from 0; one transaction.
    QList<qint64> addMany(int count)
    {
        QList<qint64> ids;
        LogTable table(log.connectionName());
        table.StartTransaction();
        for (int i = 0; i < count; ++i) {
            TLogRecord r = qso();
            r[fiCALL] = QStringLiteral("OK%1").arg(i);
            const QDateTime at = QDateTime(QDate(2007, 1, 1), QTime(0, 0)).addSecs(60 * i);
            r[fiDAT] = at.date();
            r[fiUTC] = at.time();
            ids << table.Insert(r);
        }
        table.Commit();
        return ids;
    }

    LogQuery &open()
    {
        query = std::make_unique<LogQuery>();
        query->SetConnectionName(log.connectionName());
        query->Open();
        return *query;
    }

    QString path(const QString &name) const { return log.filePath(name); }
};

// Collects what an export reports as progress.
struct ProgressLog {
    QList<int> calls;
    TProgressEvent event()
    {
        return [this](int percent) { calls << percent; };
    }
};

// Windows-1250 through the C library's converter, apart from the program's own tables:
// the expected bytes of texts written as Unicode literals, and the text of bytes read back.
inline QByteArray iconvert(const char *to, const char *from, const QByteArray &in)
{
    iconv_t cd = iconv_open(to, from);
    if (cd == iconv_t(-1))
        return {};
    QByteArray out(in.size() * 4 + 16, '\0');
    char *src = const_cast<char *>(in.constData());
    size_t srcLeft = size_t(in.size());
    char *dst = out.data();
    size_t dstLeft = size_t(out.size());
    const size_t done = iconv(cd, &src, &srcLeft, &dst, &dstLeft);
    iconv_close(cd);
    if (done == size_t(-1))
        return {};
    out.truncate(out.size() - qsizetype(dstLeft));
    return out;
}

inline QByteArray Cp1250(const QString &text)
{
    return iconvert("WINDOWS-1250", "UTF-8", text.toUtf8());
}

inline QString FromCp1250(const QByteArray &bytes)
{
    return QString::fromUtf8(iconvert("UTF-8", "WINDOWS-1250", bytes));
}
