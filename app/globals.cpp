#include "app/globals.h"

#include "app/jtime.h"
#include "app/pictures.h"
#include "platform/displayserver.h"

#include <QSystemTrayIcon>

JTime* g_jtime = nullptr;
QSystemTrayIcon* g_trayIcon = nullptr;

void creer_objets_globaux()
{
    g_jtime = new JTime;
    g_trayIcon = new QSystemTrayIcon(picture(QStringLiteral(":/ressources/Clock.png")));
    // A Wayland desktop without a tray has nowhere to put it, and Qt's
    // fallback there only complains; elsewhere the icon waits for a tray.
    if (!platform::isWaylandClient() || QSystemTrayIcon::isSystemTrayAvailable())
        g_trayIcon->setVisible(true);
}

void liberer_objets_globaux()
{
    delete g_jtime;
    g_jtime = nullptr;
    delete g_trayIcon;
    g_trayIcon = nullptr;
}
