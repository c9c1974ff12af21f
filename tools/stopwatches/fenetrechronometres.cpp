#include "tools/stopwatches/fenetrechronometres.h"

#include "app/clock.h"
#include "app/configuration.h"
#include "tools/durationformat.h"
#include "tools/itemarray.h"
#include "tools/stopwatches/widgetchronometre.h"

#include <algorithm>
#include <limits>

namespace {

const QString kArray = QStringLiteral("stopwatch");

// Seconds since the last save of the settings, which the end of every run
// makes: the time the program was closed. A save dated later than now (a
// clock set back) counts as none, rather than taking time away.
qint64 secondsClosed()
{
    const QDateTime now = Clock::instance().currentDateTime();
    return std::max<qint64>(secondsBetween(lastSaveTime(), now).value_or(0), 0);
}

} // namespace

FenetreChronometres::FenetreChronometres(QWidget* parent, StoredPages stored)
    : ToolWindow(parent, QStringLiteral("Chronomètre"), QStringLiteral("Chrono"), stored)
{
    // A running stopwatch counts the time the program was closed, and the
    // time until its page is built.
    // Capped at the most a stopwatch holds: a last save dated at the start
    // of time must not overflow the count.
    const qint64 closedMsecs = std::min<qint64>(secondsClosed(), std::numeric_limits<int>::max()) * 1000;
    const qint64 loadedAt = Clock::instance().monotonicMsecs();
    addStoredPages(loadItems<Chronometre>(kArray), [this, closedMsecs, loadedAt](Chronometre c) {
        if (c.active) {
            const qint64 counted = qint64(c.s) * 1000 + qint64(c.ms) * 10 + closedMsecs
                + (Clock::instance().monotonicMsecs() - loadedAt);
            c.s = int(std::min<qint64>(counted / 1000, std::numeric_limits<int>::max()));
            c.ms = int(counted % 1000 / 10);
        }
        newChrono(c);
    });
    // An old key that nothing reads any more.
    const auto settings = openConfiguration();
    if (settings->contains(QStringLiteral("chronos"))) {
        settings->remove(QStringLiteral("chronos"));
        commitConfiguration(*settings);
    }
}

FenetreChronometres::~FenetreChronometres()
{
    storeItems();
}

void FenetreChronometres::storeItems()
{
    // With the switch off, the stopwatches of the last run that kept them
    // stay in the file for the next start.
    if (!g_configuration.sauvegarde_chronos)
        return;
    QList<Chronometre> stopwatches;
    for (const WidgetChronometre* page : pagesAs<WidgetChronometre>())
        stopwatches.append(page->getChronometre());
    saveItems(kArray, stopwatches, true);
}

void FenetreChronometres::newChrono()
{
    nextPageNumber();
    addPage(std::make_unique<WidgetChronometre>());
}

void FenetreChronometres::newChrono(const Chronometre& c)
{
    nextPageNumber();
    addPage(std::make_unique<WidgetChronometre>(c));
}

void FenetreChronometres::openDialog()
{
    newChrono();
}
