#pragma once

#include <QObject>
#include <QString>
#include <QStringList>

#include <functional>

namespace platform {

// A notification for the session's notification server
// (org.freedesktop.Notifications), from the application named `appName`
// whose launcher is `desktopEntry` (its icon too). It stays `timeoutMs`, or
// as the server decides; a critical one stays until it is answered.
struct DesktopNotification
{
    QString appName;
    QString desktopEntry;
    QString summary;
    QString body;
    int timeoutMs = -1;
    bool critical = false;
    // The buttons it offers, as pairs of a key and a label.
    QStringList actions;
};

// The session's notification server, as the clock talks to it. Only the
// notifications sent through this object are followed.
class DesktopNotifications : public QObject
{
    Q_OBJECT

public:
    explicit DesktopNotifications(QObject* parent = nullptr);

    // Whether a server runs and shows buttons in its notifications. Asked of
    // the server each time.
    bool offersActions() const;
    // Sends `notification` without waiting for the answer: `sent` gets its
    // id once the server took it; `failed` runs instead, from the event
    // loop, when no server took it (none runs, or it answered with an
    // error), so that the caller can tell the user some other way.
    void send(const DesktopNotification& notification, std::function<void(uint)> sent,
              std::function<void()> failed);
    void close(uint id);

signals:
    // The user chose the button `action` of notification `id`.
    void actionInvoked(uint id, const QString& action);
    // Notification `id` is gone: answered, dismissed or expired.
    void closed(uint id);

private slots:
    void onActionInvoked(uint id, const QString& action);
    void onClosed(uint id, uint reason);

private:
    QList<uint> m_ours;
};

} // namespace platform
