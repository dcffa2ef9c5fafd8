#include "system/SystemClock.h"

#include <QLoggingCategory>

#include <cerrno>
#include <cstring>
#include <ctime>

Q_LOGGING_CATEGORY(lcClock, "velkor.clock")

namespace
{
TClockSetter *g_setter = nullptr;
}

bool TSystemClock::setUtc(const QDateTime &utc)
{
    if (!utc.isValid())
        return false;
    const qint64 ms = utc.toMSecsSinceEpoch();
    timespec ts{};
    ts.tv_sec = time_t(ms / 1000);
    ts.tv_nsec = long(ms % 1000) * 1000000L;
    if (ts.tv_nsec < 0) { // before 1970: borrow a second so that the nanoseconds stay positive
        ts.tv_sec -= 1;
        ts.tv_nsec += 1000000000L;
    }
    if (::clock_settime(CLOCK_REALTIME, &ts) != 0) {
        qCWarning(lcClock) << "the clock was not set:" << std::strerror(errno);
        return false;
    }
    return true;
}

void setClockSetter(TClockSetter *setter)
{
    g_setter = setter;
}

TClockSetter &clockSetter()
{
    static TSystemClock systemClock;
    return g_setter ? *g_setter : systemClock;
}
