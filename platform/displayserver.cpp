#include "platform/displayserver.h"

#include <QGuiApplication>

namespace platform {

QByteArray preferredQtPlatform(const QProcessEnvironment& environment, const QStringList& arguments)
{
    const auto isSet = [&environment](const char* name) {
        return !environment.value(QString::fromLatin1(name)).isEmpty();
    };
    if (isSet("QT_QPA_PLATFORM") || arguments.contains(QStringLiteral("-platform"))
        || arguments.contains(QStringLiteral("--platform")))
        return {};
    // A session started by the compositor itself may carry no session type,
    // only the display it serves.
    const bool wayland =
        environment.value(QStringLiteral("XDG_SESSION_TYPE")) == u"wayland" || isSet("WAYLAND_DISPLAY");
    return wayland && isSet("DISPLAY") ? QByteArrayLiteral("xcb") : QByteArray();
}

bool isWaylandClient()
{
    // "wayland", or one of its variants such as "wayland-egl".
    return QGuiApplication::platformName().startsWith(u"wayland");
}

} // namespace platform
