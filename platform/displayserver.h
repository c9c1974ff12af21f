#pragma once

#include <QByteArray>
#include <QProcessEnvironment>
#include <QStringList>

namespace platform {

// The Qt platform the clock asks for, decided before the application exists.
// In a Wayland session with an X server at hand (XWayland, which every major
// Wayland desktop runs) the clock runs as an X11 client: there the window
// manager keeps it on top, places it and lets it shake, which Wayland offers
// to no client. A platform the user chose (QT_QPA_PLATFORM, -platform) is
// kept, as is Qt's own choice everywhere else: empty means "let Qt choose".
QByteArray preferredQtPlatform(const QProcessEnvironment& environment, const QStringList& arguments);

// Whether the clock runs as a native Wayland client. The desktop alone then
// places its windows and decides what stays above: move() and the
// stay-on-top hint are ignored, and a window is dragged by asking the
// compositor to move it.
bool isWaylandClient();

} // namespace platform
