// Times the five award statistics on large logs (all modes, no limits, the program
// folder's dxcc.db and iota.db) and reports the peak resident memory.
// Usage: bench_statistics_exchange [sizes...]   (default 100000 1000000)

#include "statistics/AwardStatistics.h"
#include "log/LogConnection.h"
#include "ProcessStatus.h"
#include "RandomLog.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QSqlQuery>
#include <QTemporaryDir>

#include <cstdio>

namespace {

void timeLog(int count)
{
    QTemporaryDir dir;
    const QString path = dir.filePath("BENCH.db");
    BuildRandomLog(path, count);
    LogConnection log(path);
    // The made-up log has one entity; spread the award fields over realistic numbers of units.
    QSqlQuery spread(log.database());
    if (!spread.exec("UPDATE log SET DXCC=substr(CALL,1,2)||(ID%3), ITU=ID%75+1, WAZ=ID%40+1, "
                     "IOTA=CASE WHEN ID%5=0 THEN 'EU'||printf('%03d',ID%190) END, "
                     "LOCP=CASE WHEN ID%4<>0 THEN char(65+ID%18)||char(65+ID/18%18)||(ID%10)||(ID/10%10)||'AA' END"))
        std::printf("spreading the fields failed\n");
    TStatFilterChoice choice;
    for (int mode = 1; mode < ModeCount; ++mode)
        choice.modes << mode;
    const TStatFilter filter = BuildStatFilter(choice);
    TAwardStatistics stats(log.database(), VELKOR_STAGE_DIR);
    using Build = int (TAwardStatistics::*)(const TStatFilter &, int &, const TProgressEvent &);
    const std::pair<const char *, Build> builds[] = {{"DXCC", &TAwardStatistics::BuildDXCC},
                                                     {"IOTA", &TAwardStatistics::BuildIOTA},
                                                     {"ITU", &TAwardStatistics::BuildITU},
                                                     {"WAZ", &TAwardStatistics::BuildWAZ},
                                                     {"Locators", &TAwardStatistics::BuildLocators}};
    for (const auto &[name, build] : builds) {
        QElapsedTimer timer;
        timer.start();
        int rows = 0;
        const int confirmed = (stats.*build)(filter, rows, {});
        std::printf("%8d QSOs  %-9s %8.1f ms  %5d units, %5d confirmed\n", count, name, timer.nsecsElapsed() / 1e6,
                    rows, confirmed);
    }
    std::printf("peak memory %s\n", qPrintable(ProcessStatusValue("VmHWM:")));
}

} // namespace

int main(int argc, char *argv[])
{
    QCoreApplication app(argc, argv);
    QList<int> sizes;
    for (const QString &arg : app.arguments().mid(1))
        sizes << arg.toInt();
    if (sizes.isEmpty())
        sizes = {100000, 1000000};
    for (int size : sizes)
        timeLog(size);
    return 0;
}
