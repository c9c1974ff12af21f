#include "app/applicationlifetime.h"

#include <QApplication>

int main(int argc, char* argv[])
{
    QApplication app(argc, argv);
    ApplicationLifetime lifetime(app);
    return app.exec();
}
