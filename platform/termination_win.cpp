#include "platform/termination.h"

#include <QGuiApplication>
#include <QSessionManager>

namespace platform {

void quitOnTerminationRequest()
{
    // Windows ends the process soon after the session manager's request has
    // been answered, so leave the event loop right away: the shutdown that
    // follows saves everything, as "Quitter" does.
    QObject::connect(
        qApp, &QGuiApplication::commitDataRequest, qApp, [](QSessionManager&) { QCoreApplication::quit(); },
        Qt::DirectConnection);
}

void catchTerminationRequests()
{
    // The end of the session reaches the program through its event loop
    // only.
}

} // namespace platform
