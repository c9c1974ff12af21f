#pragma once

#include <QtGlobal>

namespace platform {

// Milliseconds on a clock that never goes backwards, is not moved when the
// wall clock is set, and goes on while the machine sleeps (CLOCK_BOOTTIME on
// Linux, the tick count on Windows): the time a stopwatch should count.
qint64 bootTimeMsecs();

} // namespace platform
