#include "platform/beep.h"

#include <algorithm>

#ifndef NOMINMAX
#define NOMINMAX // keeps std::max and std::clamp usable
#endif
#include <windows.h>

namespace platform {

void Beep(int frequency, int durationMs)
{
    if (durationMs <= 0)
        return;
    frequency = std::max(frequency, 0);
    if (frequency == 0) {
        ::Sleep(DWORD(durationMs));
        return;
    }
    // The system beep only knows 37 to 32767 Hz.
    // Fails at once, harmlessly, when there is no sound device.
    ::Beep(DWORD(std::clamp(frequency, 37, 32767)), DWORD(durationMs));
}

} // namespace platform
