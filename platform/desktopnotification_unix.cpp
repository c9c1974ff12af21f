#include "platform/desktopnotification.h"

#include <QCoreApplication>
#include <QDBusConnection>
#include <QDBusMessage>
#include <QDBusPendingCallWatcher>
#include <QDBusPendingReply>
#include <QVariantMap>

namespace platform {

namespace {
// A server that does not answer within this time is taken as none.
constexpr int kAnswerTimeoutMs = 5000;
} // namespace

void sendDesktopNotification(const DesktopNotification& notification, std::function<void()> failed)
{
    QDBusMessage call = QDBusMessage::createMethodCall(
        QStringLiteral("org.freedesktop.Notifications"), QStringLiteral("/org/freedesktop/Notifications"),
        QStringLiteral("org.freedesktop.Notifications"), QStringLiteral("Notify"));
    const QVariantMap hints{{QStringLiteral("desktop-entry"), notification.desktopEntry}};
    call << notification.appName << uint(0) << notification.desktopEntry << notification.summary
         << notification.body << QStringList() << hints << notification.timeoutMs;
    const QDBusPendingCall pending = QDBusConnection::sessionBus().asyncCall(call, kAnswerTimeoutMs);
    auto* watcher = new QDBusPendingCallWatcher(pending, QCoreApplication::instance());
    QObject::connect(watcher, &QDBusPendingCallWatcher::finished, watcher,
                     [failed = std::move(failed)](QDBusPendingCallWatcher* answer) {
                         if (answer->isError() && failed)
                             failed();
                         answer->deleteLater();
                     });
}

} // namespace platform
