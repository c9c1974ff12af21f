#include "tools/alert.h"

#include "app/globals.h"
#include "platform/desktopnotification.h"

#include <QDesktopServices>
#include <QFile>
#include <QFileDialog>
#include <QGuiApplication>
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

} // namespace

void setTrayMessageSink(TrayMessageSink sink)
{
    traySinkOverride() = std::move(sink);
}

void showTrayMessage(const QString& titre, const QString& texte, QSystemTrayIcon::MessageIcon icone,
                     int duree)
{
    if (const TrayMessageSink& sink = traySinkOverride()) {
        sink(TrayMessage{titre, texte, icone, duree});
        return;
    }
    if (!g_trayIcon)
        return;
    // Without a tray to show it (a Wayland desktop, GNOME without its tray
    // extension), the message goes to the desktop's notification server,
    // and to the balloon only when there is none.
    if (!QSystemTrayIcon::isSystemTrayAvailable()) {
        const platform::DesktopNotification notification{QGuiApplication::applicationDisplayName(),
                                                         QGuiApplication::desktopFileName(), titre, texte, duree};
        platform::sendDesktopNotification(notification,
                                          [=] { showBalloon(titre, texte, icone, duree); });
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

void deliverAlert(const QString& title, const QString& message, bool execute, const QString& file)
{
    if (!message.isEmpty())
        showTrayMessage(title, message, QSystemTrayIcon::Information, kAlertBalloonMs);
    // Checked now rather than when the file was chosen: it may have been
    // moved or deleted since.
    if (execute && QFile::exists(file))
        ouvrirFichier(file);
    if (const auto& delivered = alertDeliveredHandler())
        delivered();
}

void setAlertDeliveredHandler(std::function<void()> handler)
{
    alertDeliveredHandler() = std::move(handler);
}
