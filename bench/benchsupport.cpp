#include "benchsupport.h"

#include "app/configuration.h"
#include "app/globals.h"
#include "mainwindow/fenetreprincipale.h"

#include <QDir>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QFile>
#include <QTimer>

namespace {

qint64 cpuNanoseconds()
{
    qint64 total = 0;
    const QDir tasks(QStringLiteral("/proc/self/task"));
    for (const QString& task : tasks.entryList(QDir::Dirs | QDir::NoDotAndDotDot)) {
        QFile stat(tasks.filePath(task + QStringLiteral("/schedstat")));
        if (stat.open(QIODevice::ReadOnly))
            total += stat.readAll().split(' ').value(0).toLongLong();
    }
    return total;
}

} // namespace

BenchClock::BenchClock()
{
    setConfigurationFilePath(m_dir.filePath(QStringLiteral("conf.ini")));
    g_configuration = Configuration();
    creer_objets_globaux();
    m_window = std::make_unique<FenetrePrincipale>();
}

BenchClock::~BenchClock()
{
    m_window.reset();
    liberer_objets_globaux();
}

double idleShareOfOneCore(int seconds)
{
    QEventLoop loop;
    QTimer::singleShot(seconds * 1000, &loop, &QEventLoop::quit);
    QElapsedTimer wall;
    wall.start();
    const qint64 before = cpuNanoseconds();
    loop.exec();
    return double(cpuNanoseconds() - before) / double(wall.nsecsElapsed());
}
