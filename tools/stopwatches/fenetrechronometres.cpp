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
    // A running stopwatch counts the time the program was closed, and the
    // time until its page is built. Capped at the most a stopwatch holds: a
    // last save dated at the start of time must not overflow the count.
    , m_stored(kArray)
    , m_closedMsecs(std::min<qint64>(secondsClosed(), std::numeric_limits<int>::max()) * 1000)
    , m_loadedAt(Clock::instance().monotonicMsecs())
{
    // Read with their pages, or at the first save: nothing of them rings,
    // and the time they run on is counted from now.
    addStoredPagesLoaded([this] { return m_stored.get(); },
                         [this](const Chronometre& c) { newChrono(ranOn(c)); });
    // An old key that nothing reads any more.
    const auto settings = openConfiguration();
    if (settings->contains(QStringLiteral("chronos"))) {
        settings->remove(QStringLiteral("chronos"));
        commitConfiguration(*settings);
    }
}

FenetreChronometres::~FenetreChronometres()
{
    storeAtTheEnd();
}

Chronometre FenetreChronometres::ranOn(const Chronometre& stored) const
{
    if (!stored.active)
        return stored;
    const qint64 counted = qint64(stored.s) * 1000 + qint64(stored.ms) * 10 + m_closedMsecs
        + (Clock::instance().monotonicMsecs() - m_loadedAt);
    return Chronometre::fromMsecs(counted, true, stored.title);
}

QList<Chronometre> FenetreChronometres::storedNow()
{
    QList<Chronometre> now;
    for (const Chronometre& c : m_stored.get())
        now.append(ranOn(c));
    return now;
}

void FenetreChronometres::writeItems(QSettings& settings)
{
    // With the switch off, the stopwatches of the last run that kept them
    // stay in the file for the next start.
    if (!g_configuration.sauvegarde_chronos)
        return;
    // Not yet built, they are saved as they count now: the save moves the
    // "date" they run on from.
    const QList<Chronometre> stopwatches =
        records<WidgetChronometre>(storedPagesPending() ? storedNow() : QList<Chronometre>(),
                                   [](const WidgetChronometre& page) { return page.getChronometre(); });
    ::writeItems(settings, kArray, stopwatches, true);
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
