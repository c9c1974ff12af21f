#include "app/applicationlifetime.h"
#include "mainwindow/fenetreprincipale.h"

#include <QApplication>

int main(int argc, char* argv[])
{
    QApplication app(argc, argv);
    ApplicationLifetime lifetime(app, [] { return std::make_unique<FenetrePrincipale>(); });
    return app.exec();
}
