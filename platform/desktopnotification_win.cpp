#include "platform/desktopnotification.h"

#include <QTimer>

namespace platform {

// Windows has no such server; its notification area always takes the
// balloon instead.

DesktopNotifications::DesktopNotifications(QObject* parent)
    : QObject(parent)
{
}

bool DesktopNotifications::offersActions() const
{
    return false;
}

void DesktopNotifications::send(const DesktopNotification&, std::function<void(uint)>,
                                std::function<void()> failed)
{
    if (failed)
        QTimer::singleShot(0, this, std::move(failed));
}

void DesktopNotifications::close(uint)
{
}

void DesktopNotifications::onActionInvoked(uint, const QString&)
{
}

void DesktopNotifications::onClosed(uint, uint)
{
}

} // namespace platform
