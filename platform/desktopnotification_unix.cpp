#include "platform/desktopnotification.h"

#include <QDBusConnection>
#include <QDBusMessage>
#include <QDBusPendingCallWatcher>
#include <QDBusPendingReply>
#include <QVariantMap>

namespace platform {

namespace {

// A server that does not answer within this time is taken as none.
constexpr int kAnswerTimeoutMs = 5000;
// The capabilities are asked for while an alert is due: a hung server must
// not hold up the clock for long.
constexpr int kCapabilitiesTimeoutMs = 1000;
// The "urgency" hint's critical level.
constexpr uchar kCritical = 2;

const QString kService = QStringLiteral("org.freedesktop.Notifications");
const QString kPath = QStringLiteral("/org/freedesktop/Notifications");
const QString kInterface = QStringLiteral("org.freedesktop.Notifications");

QDBusMessage methodCall(const QString& method)
{
    return QDBusMessage::createMethodCall(kService, kPath, kInterface, method);
}

} // namespace

DesktopNotifications::DesktopNotifications(QObject* parent)
    : QObject(parent)
{
    QDBusConnection bus = QDBusConnection::sessionBus();
    bus.connect(kService, kPath, kInterface, QStringLiteral("ActionInvoked"), this,
                SLOT(onActionInvoked(uint, QString)));
    bus.connect(kService, kPath, kInterface, QStringLiteral("NotificationClosed"), this,
                SLOT(onClosed(uint, uint)));
}

bool DesktopNotifications::offersActions() const
{
    const QDBusMessage answer = QDBusConnection::sessionBus().call(
        methodCall(QStringLiteral("GetCapabilities")), QDBus::Block, kCapabilitiesTimeoutMs);
    return answer.type() == QDBusMessage::ReplyMessage && !answer.arguments().isEmpty()
        && answer.arguments().constFirst().toStringList().contains(QStringLiteral("actions"));
}

void DesktopNotifications::send(const DesktopNotification& notification, std::function<void(uint)> sent,
                                std::function<void()> failed)
{
    QDBusMessage call = methodCall(QStringLiteral("Notify"));
    QVariantMap hints{{QStringLiteral("desktop-entry"), notification.desktopEntry}};
    if (notification.critical)
        hints.insert(QStringLiteral("urgency"), QVariant::fromValue(kCritical));
    call << notification.appName << uint(0) << notification.desktopEntry << notification.summary
         << notification.body << notification.actions << hints << notification.timeoutMs;
    const QDBusPendingCall pending = QDBusConnection::sessionBus().asyncCall(call, kAnswerTimeoutMs);
    auto* watcher = new QDBusPendingCallWatcher(pending, this);
    connect(watcher, &QDBusPendingCallWatcher::finished, this,
            [this, sent = std::move(sent), failed = std::move(failed)](QDBusPendingCallWatcher* answer) {
                const QDBusPendingReply<uint> reply = *answer;
                answer->deleteLater();
                if (reply.isError()) {
                    if (failed)
                        failed();
                    return;
                }
                m_ours.append(reply.value());
                if (sent)
                    sent(reply.value());
            });
}

void DesktopNotifications::close(uint id)
{
    if (m_ours.contains(id))
        QDBusConnection::sessionBus().asyncCall(methodCall(QStringLiteral("CloseNotification")) << id);
}

void DesktopNotifications::onActionInvoked(uint id, const QString& action)
{
    if (m_ours.contains(id))
        emit actionInvoked(id, action);
}

void DesktopNotifications::onClosed(uint id, uint)
{
    if (m_ours.removeOne(id))
        emit closed(id);
}

} // namespace platform
