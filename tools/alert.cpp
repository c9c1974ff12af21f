#include "tools/alert.h"

#include "app/configuration.h"
#include "app/globals.h"
#include "platform/desktopnotification.h"
#include "tools/alarmsound.h"

#include <QDesktopServices>
#include <QFile>
#include <QFileDialog>
#include <QGuiApplication>
#include <QHash>
#include <QPointer>
#include <QUrl>

namespace {

// How long an alert's balloon asks the desktop to stay; the desktop may
// apply its own limits.
constexpr int kAlertBalloonMs = 10000;

TrayMessageSink& traySinkOverride()
{
    static TrayMessageSink sink;
    return sink;
}

std::function<void()>& alertDeliveredHandler()
{
    static std::function<void()> handler;
    return handler;
}

void showBalloon(const QString& titre, const QString& texte, QSystemTrayIcon::MessageIcon icone, int duree)
{
    // Gone when the message comes after the end of the run.
    if (!g_trayIcon)
        return;
    // A balloon asked of a hidden icon would be dropped.
    g_trayIcon->setVisible(true);
    g_trayIcon->showMessage(titre, texte, icone, duree);
}

platform::DesktopNotification fromTheClock(const QString& summary, const QString& body)
{
    platform::DesktopNotification notification;
    notification.appName = QGuiApplication::applicationDisplayName();
    notification.desktopEntry = QGuiApplication::desktopFileName();
    notification.summary = summary;
    notification.body = body;
    return notification;
}

// The repeats offered by the notifications still shown, by id.
QHash<uint, std::function<void(int)>>& offeredRepeats()
{
    static QHash<uint, std::function<void(int)>> repeats;
    return repeats;
}

platform::DesktopNotifications* notificationServer()
{
    static QPointer<platform::DesktopNotifications> server;
    if (!server) {
        server = new platform::DesktopNotifications(QCoreApplication::instance());
        QObject::connect(server, &platform::DesktopNotifications::actionInvoked, server,
                         [](uint id, const QString& action) {
                             const std::function<void(int)> repeat = offeredRepeats().take(id);
                             stopAlarmSound();
                             if (action == QLatin1String("repeter") && repeat)
                                 repeat(g_configuration.alarmes_repetition);
                             notificationServer()->close(id);
                         });
        QObject::connect(server, &platform::DesktopNotifications::closed, server, [](uint id) {
            offeredRepeats().remove(id);
            stopAlarmSound();
        });
    }
    return server;
}

// A ringing alert's notification, with its buttons where the server shows
// them; otherwise, or when it is refused, the balloon of any alert.
void notifyRinging(const QString& titre, const QString& texte, std::function<void(int)> repeat)
{
    if (const TrayMessageSink& sink = traySinkOverride()) {
        sink(TrayMessage{titre, texte, QSystemTrayIcon::Information, kAlertBalloonMs, std::move(repeat)});
        return;
    }
    platform::DesktopNotifications* server = notificationServer();
    if (!server->offersActions()) {
        showTrayMessage(titre, texte, QSystemTrayIcon::Information, kAlertBalloonMs);
        return;
    }
    QStringList actions;
    if (repeat) {
        actions << QStringLiteral("repeter")
                << QStringLiteral("Répéter dans %1 min").arg(g_configuration.alarmes_repetition);
    }
    actions << QStringLiteral("arreter") << QStringLiteral("Arrêter");
    platform::DesktopNotification notification = fromTheClock(titre, texte);
    // It stays until it is answered.
    notification.timeoutMs = 0;
    notification.critical = true;
    notification.actions = actions;
    server->send(
        notification, [repeat = std::move(repeat)](uint id) { offeredRepeats().insert(id, repeat); },
        [=] { showBalloon(titre, texte, QSystemTrayIcon::Information, kAlertBalloonMs); });
}

} // namespace

void setTrayMessageSink(TrayMessageSink sink)
{
    traySinkOverride() = std::move(sink);
}

void showTrayMessage(const QString& titre, const QString& texte, QSystemTrayIcon::MessageIcon icone,
                     int duree)
{
    if (const TrayMessageSink& sink = traySinkOverride()) {
        sink(TrayMessage{titre, texte, icone, duree, {}});
        return;
    }
    if (!g_trayIcon)
        return;
    // Without a tray to show it (a Wayland desktop, GNOME without its tray
    // extension), the message goes to the desktop's notification server,
    // and to the balloon only when there is none.
    if (!QSystemTrayIcon::isSystemTrayAvailable()) {
        platform::DesktopNotification notification = fromTheClock(titre, texte);
        notification.timeoutMs = duree;
        notificationServer()->send(notification, {}, [=] { showBalloon(titre, texte, icone, duree); });
        return;
    }
    showBalloon(titre, texte, icone, duree);
}

void ouvrirFichier(const QString& chemin)
{
    QDesktopServices::openUrl(QUrl::fromLocalFile(chemin));
}

QString chooseFileToOpen(QWidget* parent, const QString& caption, const QString& current,
                         const QString& filter)
{
    const QString chosen = QFileDialog::getOpenFileName(parent, caption, current, filter);
    // An empty answer is a cancelled chooser.
    return chosen.isEmpty() ? current : chosen;
}

namespace {

// What every alert does after its message: the file, and the save.
void openAndSave(bool execute, const QString& file)
{
    // Checked now rather than when the file was chosen: it may have been
    // moved or deleted since.
    if (execute && QFile::exists(file))
        ouvrirFichier(file);
    alertStateChanged();
}

} // namespace

void deliverAlert(const QString& title, const QString& message, bool execute, const QString& file)
{
    if (!message.isEmpty())
        showTrayMessage(title, message, QSystemTrayIcon::Information, kAlertBalloonMs);
    openAndSave(execute, file);
}

void ringAlert(const QString& title, const QString& message, bool execute, const QString& file,
               std::function<void(int)> repeat)
{
    if (!message.isEmpty()) {
        startAlarmSound();
        notifyRinging(title, message, std::move(repeat));
    }
    openAndSave(execute, file);
}

void alertStateChanged()
{
    if (const auto& changed = alertDeliveredHandler())
        changed();
}

void setAlertDeliveredHandler(std::function<void()> handler)
{
    alertDeliveredHandler() = std::move(handler);
}
