#include "app/applicationlifetime.h"
#include "mainwindow/fenetreprincipale.h"

#include <QApplication>

int main(int argc, char* argv[])
{
    QApplication app(argc, argv);
    ApplicationLifetime lifetime(app, [] { return std::make_unique<FenetrePrincipale>(); });
    // Another clock on the same conf.ini has come to the front instead.
    if (lifetime.handedOver())
        return 0;
    return app.exec();
}
