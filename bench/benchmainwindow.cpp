// What the clock costs while it sits on the desktop doing nothing but tick:
//   1. CPU time of all threads over a stretch of idle running with the main
//      window shown, as a share of one core and scaled to an hour;
//   2. the cost of one update_horloge() call, median over many calls.
// Usage: benchmainwindow [idle seconds, default 40] [calls, default 2000]
// Run it on the real display (scripts/desktop-session) and offscreen.
#include "benchsupport.h"

#include "mainwindow/fenetreprincipale.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QTextStream>

#include <algorithm>
#include <vector>

int main(int argc, char* argv[])
{
    QApplication app(argc, argv);
    const int idleSeconds = std::max(30, argc > 1 ? QByteArray(argv[1]).toInt() : 40);
    const int calls = std::max(100, argc > 2 ? QByteArray(argv[2]).toInt() : 2000);

    BenchClock clock;
    FenetrePrincipale& window = clock.window();
    window.show();
    QTextStream out(stdout);
    out << "Platform: " << QGuiApplication::platformName() << "\n";

    // Let the window settle (first paint, window manager) before measuring.
    idleShareOfOneCore(2);
    const double share = idleShareOfOneCore(idleSeconds);
    out << "Idle with the window shown, over " << idleSeconds << " s:\n"
        << "  " << share * 100.0 << " % of one core = " << share * 3600.0
        << " s of CPU per hour (target < 0.2 %)\n";

    std::vector<qint64> nanos;
    nanos.reserve(size_t(calls));
    QElapsedTimer one;
    for (int i = 0; i < calls; ++i) {
        one.start();
        window.update_horloge();
        nanos.push_back(one.nsecsElapsed());
    }
    std::sort(nanos.begin(), nanos.end());
    const auto at = [&nanos](double q) {
        return double(nanos[std::min(nanos.size() - 1, size_t(q * double(nanos.size())))]) / 1000.0;
    };
    out << "update_horloge(), " << calls << " calls: median " << at(0.5) << " us, p90 " << at(0.9)
        << " us, max " << double(nanos.back()) / 1000.0 << " us\n";
    return 0;
}
