// Times the ADIF import without its windows: reading a file of QSOs into the staging
// table with the duplicate check against a large log, and appending the staged QSOs to
// the log in one transaction; reports the peak resident memory.
// Usage: bench_adifimport [qsos]   (default 250000; the log holds as many QSOs)

#include "AdifImport.h"
#include "DxccList.h"
#include "ImportDupeIndex.h"
#include "ImportStaging.h"
#include "LogConnection.h"
#include "LogTable.h"
#include "RandomLog.h"
#include "VkrDatabase.h"
#include "ProcessStatus.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QRandomGenerator>
#include <QSqlQuery>
#include <QTemporaryDir>

#include <cstdio>

#include <sys/resource.h>

namespace
{

QByteArray tag(const char *name, const QByteArray &data)
{
    return '<' + QByteArray(name) + ':' + QByteArray::number(data.size()) + '>' + data;
}

// A file of `count` QSOs as other programs write them; every tenth is a QSO of the log,
// so that the duplicate check finds something.
void writeAdif(const QString &path, const QString &logConnection, int count)
{
    QSqlQuery q(QSqlDatabase::database(logConnection));
    q.setForwardOnly(true);
    q.exec("SELECT DAT,UTC,CALL,FREQ,MODE FROM log");
    static const char *prefixes[] = {"OK1", "OK2", "DL", "G",  "F",  "K",  "W",
                                     "JA",  "VK",  "PY", "UA", "SP", "OM", "I"};
    static const char *modes[] = {"CW", "SSB", "FT8", "RTTY", "FM", "PSK31"};
    static const char *bands[] = {"14.025", "7.030", "3.550", "21.074", "28.400", "144.300"};
    QRandomGenerator rng(73);
    QFile f(path);
    f.open(QIODevice::WriteOnly);
    f.write("ADIF export for the benchmark\n<ADIF_VER:5>3.1.4<PROGRAMID:5>bench<EOH>\n");
    for (int i = 0; i < count; ++i) {
        QByteArray r;
        if (i % 10 == 0 && q.next()) {
            r += tag("QSO_DATE", q.value(0).toString().remove('-').toLatin1());
            r += tag("TIME_ON", q.value(1).toString().remove(':').toLatin1());
            r += tag("CALL", q.value(2).toString().toLatin1());
            r += tag("FREQ", QByteArray::number(q.value(3).toDouble(), 'g', 15));
            r += tag("MODE", q.value(4).toInt() == 2 ? "SSB" : "CW");
        } else {
            const QDate d = QDate(2000, 1, 1).addDays(rng.bounded(9000));
            r += tag("QSO_DATE", d.toString("yyyyMMdd").toLatin1());
            r += tag("TIME_ON", QTime(0, 0).addSecs(rng.bounded(86400)).toString("HHmmss").toLatin1());
            r += tag("CALL", QByteArray(prefixes[rng.bounded(14)]) + QByteArray::number(rng.bounded(10)) +
                                 QByteArray(1, char('A' + rng.bounded(26))) +
                                 QByteArray(1, char('A' + rng.bounded(26))));
            r += tag("FREQ", bands[rng.bounded(6)]);
            r += tag("MODE", modes[rng.bounded(6)]);
        }
        r += tag("RST_SENT", "599") + tag("RST_RCVD", "579") + tag("NAME", "Jan") + tag("QTH", "Praha");
        r += tag("GRIDSQUARE", "JO70") + tag("TX_PWR", "100") + tag("QSL_SENT", "Y") +
             tag("COMMENT", "tnx QSO 73");
        r += tag("APP_BENCH_ID", QByteArray::number(i)) + "<EOR>\n";
        f.write(r);
    }
}

double seconds(QElapsedTimer &t)
{
    return t.nsecsElapsed() / 1e9;
}

// Processor time of the process: on a busy machine the wall time says little.
double cpuSeconds()
{
    rusage u{};
    getrusage(RUSAGE_SELF, &u);
    return u.ru_utime.tv_sec + u.ru_stime.tv_sec + (u.ru_utime.tv_usec + u.ru_stime.tv_usec) / 1e6;
}

} // namespace

int main(int argc, char *argv[])
{
    QCoreApplication app(argc, argv);
    const int count = argc > 1 ? QByteArray(argv[1]).toInt() : 250000;
    QTemporaryDir dir;
    const QString logPath = dir.filePath("BENCH.db");
    const QString adifPath = dir.filePath("bench.adi");
    BuildRandomLog(logPath, count);
    LogConnection log(logPath, LogConnection::OpenExisting, "Velkor");
    writeAdif(adifPath, log.connectionName(), count);
    TDxccList dxcc(VELKOR_STAGE_DIR "/");
    std::printf("log %d QSOs, ADIF file %d QSOs, %.1f MB\n", count, count, QFile(adifPath).size() / 1e6);
    std::printf("resident before the import: %s\n", qPrintable(ProcessStatusValue("VmHWM:")));

    TImportOptions options;
    options.CheckDupes = true;
    options.OwnLocator = "JN79SX";
    options.Power = 100;
    TImportStaging staging(dir.path() + '/');

    QElapsedTimer t;
    t.start();
    double cpu = cpuSeconds();
    TImportDupeIndex dupes(log.connectionName());
    const double indexTime = seconds(t);
    TAdifImport reader(staging, options, &dxcc, &dupes);
    reader.ReadFile(adifPath);
    const double readTime = seconds(t);
    std::printf(
        "read with duplicate check: %.2f s, processor %.2f s (log index %.2f s); staged %d, skipped %d, "
        "errors %d, warnings %d\n",
        readTime, cpuSeconds() - cpu, indexTime, staging.Imported, staging.Skipped, staging.Errors,
        staging.Warnings);

    t.restart();
    cpu = cpuSeconds();
    const qint64 appended = staging.AppendTo(log.connectionName());
    std::printf("append: %.2f s, processor %.2f s, %lld QSOs; the log now holds %lld\n", seconds(t),
                cpuSeconds() - cpu, appended, LogTable(log.connectionName()).RecordCount());
    std::printf("peak resident memory: %s\n", qPrintable(ProcessStatusValue("VmHWM:")));
    return 0;
}
