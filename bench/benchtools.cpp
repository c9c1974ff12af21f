// What a hundred running countdowns and a hundred elapsed-time counters cost
// while their windows are hidden, as the clock sits on the desktop all day.
// In one run, the program idles first with no item, then with the items.
// Usage: benchtools [seconds per stretch, at least 60] [items of each kind, default 100]
#include "benchsupport.h"

#include "app/configuration.h"
#include "mainwindow/fenetreprincipale.h"
#include "tools/countdowns/fenetrecomptesarebours.h"
#include "tools/elapsedtimes/fenetretempsecoules.h"

#include <QApplication>
#include <QTextStream>

#include <algorithm>

int main(int argc, char* argv[])
{
    QApplication app(argc, argv);
    const int seconds = std::max(60, argc > 1 ? QByteArray(argv[1]).toInt() : 60);
    const int items = std::max(1, argc > 2 ? QByteArray(argv[2]).toInt() : 100);
    BenchClock clock;
    g_configuration.sauvegarde_car = g_configuration.sauvegarde_te = false;
    QTextStream out(stdout);
    out << "Platform: " << QGuiApplication::platformName() << ", " << seconds << " s per stretch\n";
    out.flush();

    idleShareOfOneCore(2); // settle
    const double none = idleShareOfOneCore(seconds);

    const QDateTime now = QDateTime::currentDateTime();
    auto* countdowns = clock.window().findChild<FenetreComptesARebours*>();
    auto* counters = clock.window().findChild<FenetreTempsEcoules*>();
    for (int i = 0; i < items; ++i) {
        countdowns->newTimer(
            CompteARebours{now.addDays(30 + i), QStringLiteral("Compte %1").arg(i), {}, false, {}});
        counters->newTE(TempsEcoule{now.addDays(-30 - i), QStringLiteral("Compteur %1").arg(i)});
    }
    const double with = idleShareOfOneCore(seconds);

    out << "Idle, no item: " << none * 100.0 << " % of one core\n"
        << "Idle, " << items << " countdowns and " << items << " counters hidden: " << with * 100.0
        << " % of one core\n"
        << "The items add " << (with - none) * 100.0 << " % of one core (target <= 0.02 %)\n";
    return 0;
}
