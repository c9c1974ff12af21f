#include "platform/boottime.h"

#include <ctime>

namespace platform {

qint64 bootTimeMsecs()
{
    timespec now{};
#ifdef CLOCK_BOOTTIME
    clock_gettime(CLOCK_BOOTTIME, &now);
#else
    clock_gettime(CLOCK_MONOTONIC, &now);
#endif
    return qint64(now.tv_sec) * 1000 + now.tv_nsec / 1000000;
}

} // namespace platform
