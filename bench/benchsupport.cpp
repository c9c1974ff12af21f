#include "benchsupport.h"

#include "app/configuration.h"
#include "app/globals.h"
#include "mainwindow/fenetreprincipale.h"

#include <QElapsedTimer>
#include <QEventLoop>
#include <QTimer>

#include <ctime>

namespace {

// The CPU time of the whole process, threads that have ended included, to
// the nanosecond.
qint64 cpuNanoseconds()
{
    timespec used{};
    clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &used);
    return qint64(used.tv_sec) * 1000000000 + used.tv_nsec;
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
