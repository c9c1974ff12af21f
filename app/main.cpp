#include "app/applicationlifetime.h"
#include "mainwindow/fenetreprincipale.h"
#include "platform/termination.h"

#include <QApplication>

int main(int argc, char* argv[])
{
    // A logout or a Ctrl+C right after the start ends the clock as
    // "Quitter" does, however early it comes.
    platform::catchTerminationRequests();
    QApplication app(argc, argv);
    ApplicationLifetime lifetime(app, [] { return std::make_unique<FenetrePrincipale>(); });
    // Another clock on the same conf.ini has come to the front instead.
    if (lifetime.handedOver())
        return 0;
    return app.exec();
}
