#include "platform/desktopnotification.h"

#include <QTimer>

namespace platform {

void sendDesktopNotification(const DesktopNotification&, std::function<void()> failed)
{
    // Windows has no such server; its notification area always takes the
    // balloon instead.
    if (failed)
        QTimer::singleShot(0, std::move(failed));
}

} // namespace platform
