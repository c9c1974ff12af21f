#pragma once

#include <QString>

#include <functional>

namespace platform {

// A notification for the session's notification server
// (org.freedesktop.Notifications), from the application named `appName`
// whose launcher is `desktopEntry` (its icon too). It stays `timeoutMs`, or
// as the server decides.
struct DesktopNotification
{
    QString appName;
    QString desktopEntry;
    QString summary;
    QString body;
    int timeoutMs = -1;
};

// Sends `notification` without waiting for the answer. `failed` runs later,
// from the event loop, when no server took it (none runs, or it answered
// with an error), so that the caller can tell the user some other way.
void sendDesktopNotification(const DesktopNotification& notification, std::function<void()> failed);

} // namespace platform
