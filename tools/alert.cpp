#include "tools/alert.h"

#include "app/globals.h"

#include <QDesktopServices>
#include <QFile>
#include <QFileDialog>
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
    // The icon is shown for the whole run already; a balloon asked of a
    // hidden icon would be dropped, so make sure.
    g_trayIcon->setVisible(true);
    g_trayIcon->showMessage(titre, texte, icone, duree);
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
