#include "app/applicationlifetime.h"
#include "mainwindow/fenetreprincipale.h"
#include "platform/displayserver.h"
#include "platform/termination.h"

#include <QApplication>

#include <vector>

int main(int argc, char* argv[])
{
    // A logout or a Ctrl+C right after the start ends the clock as
    // "Quitter" does, however early it comes.
    platform::catchTerminationRequests();
    // Asked on the command line rather than through QT_QPA_PLATFORM, so that
    // the programs the clock opens make their own choice.
    QStringList arguments;
    for (int i = 0; i < argc; ++i)
        arguments << QString::fromLocal8Bit(argv[i]);
    QByteArray qtPlatform =
        platform::preferredQtPlatform(QProcessEnvironment::systemEnvironment(), arguments);
    char platformOption[] = "-platform";
    std::vector<char*> withPlatform(argv, argv + argc);
    if (!qtPlatform.isEmpty())
        withPlatform.insert(withPlatform.end(), {platformOption, qtPlatform.data()});
    int count = int(withPlatform.size());
    withPlatform.push_back(nullptr);
    QApplication app(count, withPlatform.data());
    ApplicationLifetime lifetime(app, [] { return std::make_unique<FenetrePrincipale>(); });
    // Another clock on the same conf.ini has come to the front instead.
    if (lifetime.handedOver())
        return 0;
    return app.exec();
}
