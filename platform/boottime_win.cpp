#include "platform/boottime.h"

#include <windows.h>

namespace platform {

qint64 bootTimeMsecs()
{
    // Counts the time the machine sleeps as well.
    return qint64(::GetTickCount64());
}

} // namespace platform
