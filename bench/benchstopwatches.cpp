// What twenty running stopwatches cost, with their window shown and hidden,
// against the same program idle without them, side by side in one run; and
// how far they are off after the event loop was blocked for 5 s.
// Usage: benchstopwatches [seconds per stretch, default 20]
#include "benchsupport.h"

#include "app/clock.h"
#include "mainwindow/fenetreprincipale.h"
#include "tools/stopwatches/fenetrechronometres.h"
#include "tools/stopwatches/widgetchronometre.h"

#include <QApplication>
#include <QTextStream>
#include <QThread>

#include <algorithm>

int main(int argc, char* argv[])
{
    QApplication app(argc, argv);
    const int seconds = std::max(10, argc > 1 ? QByteArray(argv[1]).toInt() : 20);
    BenchClock clock;
    QTextStream out(stdout);
    out << "Platform: " << QGuiApplication::platformName() << ", " << seconds << " s per stretch\n";
    out.flush();

    idleShareOfOneCore(2); // settle
    const double none = idleShareOfOneCore(seconds);
    auto* window = clock.window().findChild<FenetreChronometres*>();
    for (int i = 0; i < 20; ++i)
        window->newChrono();
    for (WidgetChronometre* stopwatch : window->findChildren<WidgetChronometre*>())
        stopwatch->start();
    window->show();
    const double shown = idleShareOfOneCore(seconds);
    window->hide();
    const double hidden = idleShareOfOneCore(seconds);

    // Blocked as the hourly beep or a modal dialog would block it.
    WidgetChronometre* stopwatch = window->findChild<WidgetChronometre*>();
    const auto counted = [stopwatch] {
        const Chronometre c = stopwatch->getChronometre();
        return qint64(c.s) * 1000 + c.ms * 10;
    };
    const qint64 countedBefore = counted();
    const qint64 clockBefore = Clock::instance().monotonicMsecs();
    QThread::msleep(5000);
    QCoreApplication::processEvents();
    const qint64 lag = (Clock::instance().monotonicMsecs() - clockBefore) - (counted() - countedBefore);

    out << "Idle, no stopwatch:        " << none * 100.0 << " % of one core\n"
        << "20 running, window shown:  " << shown * 100.0 << " % of one core\n"
        << "20 running, window hidden: " << hidden * 100.0 << " % of one core (target: no more than idle)\n"
        << "After the event loop was blocked 5 s, a stopwatch is " << lag << " ms behind the clock\n";
    return 0;
}
