#include "app/clock.h"

#include "platform/boottime.h"

namespace {

SystemClock& systemClock()
{
    static SystemClock clock;
    return clock;
}

Clock* g_clock = nullptr;

} // namespace

Clock& Clock::instance()
{
    return g_clock ? *g_clock : systemClock();
}

void Clock::setInstance(Clock* clock)
{
    g_clock = clock;
}

QDateTime SystemClock::currentDateTime() const
{
    return QDateTime::currentDateTime();
}

qint64 SystemClock::currentMSecsSinceEpoch() const
{
    return QDateTime::currentMSecsSinceEpoch();
}

qint64 SystemClock::monotonicMsecs() const
{
    return platform::bootTimeMsecs();
}
