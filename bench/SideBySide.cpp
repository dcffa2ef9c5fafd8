#include "SideBySide.h"

#include <QElapsedTimer>
#include <QFile>

#include <algorithm>
#include <cstdio>
#include <vector>

#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

namespace
{

long statusKb(const char *key)
{
    QFile f(QStringLiteral("/proc/self/status"));
    if (!f.open(QIODevice::ReadOnly))
        return 0;
    const QByteArray prefix(key);
    for (const QByteArray &line : f.readAll().split('\n'))
        if (line.startsWith(prefix))
            return line.mid(prefix.size()).trimmed().split(' ').value(0).toLong();
    return 0;
}

double median(std::vector<double> v)
{
    std::sort(v.begin(), v.end());
    return v.empty() ? 0 : v[v.size() / 2];
}

} // namespace

static double processorSeconds()
{
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    return usage.ru_utime.tv_sec + usage.ru_stime.tv_sec + (usage.ru_utime.tv_usec + usage.ru_stime.tv_usec) / 1e6;
}

TRunFigures RunInChild(const std::function<void()> &prepare, const std::function<void()> &work)
{
    int fds[2];
    if (pipe(fds) != 0)
        return {};
    std::fflush(stdout);
    const pid_t child = fork();
    if (child == 0) {
        close(fds[0]);
        if (prepare)
            prepare();
        // The peak mark starts again at what the child holds now.
        QFile reset(QStringLiteral("/proc/self/clear_refs"));
        if (reset.open(QIODevice::WriteOnly))
            reset.write("5");
        reset.close();
        TRunFigures figures;
        const long start = statusKb("VmRSS:");
        QElapsedTimer timer;
        timer.start();
        const double processor = processorSeconds();
        work();
        figures.seconds = timer.nsecsElapsed() / 1e9;
        figures.processor = processorSeconds() - processor;
        figures.memoryKb = std::max(0L, statusKb("VmHWM:") - start);
        figures.ok = true;
        (void)!write(fds[1], &figures, sizeof figures);
        std::fflush(stdout);
        _exit(0);
    }
    close(fds[1]);
    TRunFigures figures;
    int status = 0;
    if (child > 0 && read(fds[0], &figures, sizeof figures) != sizeof figures)
        figures = {};
    if (child > 0 && (waitpid(child, &status, 0) != child || !WIFEXITED(status) || WEXITSTATUS(status) != 0))
        figures.ok = false;
    close(fds[0]);
    return figures;
}

void PrintSideBySide(const char *what, const TBenchSide &project, const TBenchSide &floor, int repeats)
{
    std::vector<double> ps, pc, pm, fs, fc, fm;
    bool ok = true;
    for (int i = 0; i < repeats; ++i) {
        const TRunFigures p = RunInChild(project.prepare, project.work);
        const TRunFigures f = RunInChild(floor.prepare, floor.work);
        ok = ok && p.ok && f.ok;
        ps.push_back(p.seconds), pc.push_back(p.processor), pm.push_back(double(p.memoryKb));
        fs.push_back(f.seconds), fc.push_back(f.processor), fm.push_back(double(f.memoryKb));
    }
    const auto ratio = [](double a, double b) { return b > 0 ? a / b : 0.0; };
    std::printf("  %-34s %7.2f s (cpu %6.2f, +%6.1f MB) | floor %7.2f s (cpu %6.2f, +%6.1f MB) | "
                "time x%.2f cpu x%.2f memory x%.2f%s\n",
                what, median(ps), median(pc), median(pm) / 1024, median(fs), median(fc), median(fm) / 1024,
                ratio(median(ps), median(fs)), ratio(median(pc), median(fc)),
                ratio(median(pm), std::max(median(fm), 1.0)), ok ? "" : "  (a run failed)");
    std::fflush(stdout);
}
