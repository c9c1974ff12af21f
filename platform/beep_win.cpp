#include "platform/beep.h"

#include <QObject>
#include <QPointer>
#include <QTimer>

#include <algorithm>

#ifndef NOMINMAX
#define NOMINMAX // keeps std::max and std::clamp usable
#endif
#include <windows.h>

namespace platform {

bool startBeep(int frequency, int durationMs, QObject* context, std::function<void()> finished)
{
    // The system beep blocks until the tone has ended, so a request made
    // meanwhile can only come from inside it: a nested event loop.
    static bool playing = false;
    if (durationMs <= 0 || playing)
        return false;
    playing = true;
    frequency = std::max(frequency, 0);
    if (frequency == 0)
        ::Sleep(DWORD(durationMs));
    else
        // The system beep only knows 37 to 32767 Hz. It fails at once,
        // harmlessly, when there is no sound device.
        ::Beep(DWORD(std::clamp(frequency, 37, 32767)), DWORD(durationMs));
    playing = false;

    // Always from the event loop, as on other systems.
    const QPointer<QObject> guard(context);
    const bool hasContext = context != nullptr;
    QTimer::singleShot(0, [guard, hasContext, finished = std::move(finished)] {
        if (finished && (!hasContext || guard))
            finished();
    });
    return true;
}

} // namespace platform
