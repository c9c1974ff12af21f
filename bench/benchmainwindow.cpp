// What the clock costs while it sits on the desktop doing nothing but tick:
//   1. CPU time (user + system, all threads) over a stretch of idle running
//      with the main window shown, scaled to an hour and as a share of one
//      core;
//   2. the cost of one update_horloge() call, median over many calls.
// Usage: benchmainwindow [idle seconds, default 40] [calls, default 2000]
// Run it on the real display (scripts/desktop-session) and offscreen.
#include "app/configuration.h"
#include "app/globals.h"
#include "mainwindow/fenetreprincipale.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QTemporaryDir>
#include <QTextStream>
#include <QTimer>

#include <sys/resource.h>

#include <algorithm>
#include <vector>

namespace {

double cpuSeconds()
{
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    const auto seconds = [](const timeval& t) { return double(t.tv_sec) + double(t.tv_usec) / 1e6; };
    return seconds(usage.ru_utime) + seconds(usage.ru_stime);
}

} // namespace

int main(int argc, char* argv[])
{
    QApplication app(argc, argv);
    const int idleSeconds = std::max(30, argc > 1 ? QByteArray(argv[1]).toInt() : 40);
    const int calls = std::max(100, argc > 2 ? QByteArray(argv[2]).toInt() : 2000);

    // Default settings, and none of the user's files touched.
    QTemporaryDir dir;
    setConfigurationFilePath(dir.filePath(QStringLiteral("conf.ini")));
    g_configuration = Configuration();
    creer_objets_globaux();
    auto window = std::make_unique<FenetrePrincipale>();
    window->show();

    QTextStream out(stdout);
    out << "Platform: " << QGuiApplication::platformName() << "\n";

    // Let the window settle (first paint, window manager) before measuring.
    QElapsedTimer wall;
    double cpuAtStart = 0;
    QTimer::singleShot(2000, &app, [&] {
        cpuAtStart = cpuSeconds();
        wall.start();
        QTimer::singleShot(idleSeconds * 1000, &app, &QCoreApplication::quit);
    });
    app.exec();
    const double cpu = cpuSeconds() - cpuAtStart;
    const double elapsed = double(wall.elapsed()) / 1000.0;
    const double share = cpu / elapsed;
    out << "Idle with the window shown, over " << elapsed << " s of real time:\n"
        << "  CPU " << cpu << " s = " << share * 100.0 << " % of one core"
        << " = " << share * 3600.0 << " s of CPU per hour (target < 0.2 %)\n";

    std::vector<qint64> nanos;
    nanos.reserve(size_t(calls));
    QElapsedTimer one;
    for (int i = 0; i < calls; ++i) {
        one.start();
        window->update_horloge();
        nanos.push_back(one.nsecsElapsed());
    }
    std::sort(nanos.begin(), nanos.end());
    const auto at = [&nanos](double q) {
        return double(nanos[std::min(nanos.size() - 1, size_t(q * double(nanos.size())))]) / 1000.0;
    };
    out << "update_horloge(), " << calls << " calls: median " << at(0.5) << " us, p90 " << at(0.9)
        << " us, max " << double(nanos.back()) / 1000.0 << " us\n";

    window.reset();
    liberer_objets_globaux();
    return 0;
}
