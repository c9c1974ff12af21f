#include "tools/alarms/fenetrealarmes.h"

#include "app/configuration.h"
#include "app/globals.h"
#include "app/jtime.h"
#include "tools/alarms/alarmschedule.h"
#include "tools/alarms/dialogconfigalarme.h"
#include "tools/alarms/widgetalarme.h"
#include "tools/itemarray.h"

#include <algorithm>

namespace {

const QString kArray = QStringLiteral("alarm");

} // namespace

FenetreAlarmes::FenetreAlarmes(QWidget* parent, StoredPages stored)
    : ToolWindow(parent, QStringLiteral("Alarme"), QStringLiteral("Alarme"), stored)
{
    m_stored = loadItems<Alarme>(kArray);
    // Those that came while the program was closed are told of now; one due
    // this very minute rings with its page.
    const QDateTime now = g_jtime->checkedAt();
    reportMissedAlarms(missedAlarms(m_stored, lastSaveTime(), now));
    for (Alarme& alarm : m_stored) {
        if (alarm.repetition && minuteOf(*alarm.repetition) < minuteOf(now))
            alarm.repetition.reset();
    }
    addStoredPages(m_stored, [this](const Alarme& a) { newAlarm(a); });
    connect(g_jtime, &JTime::minutesSkipped, this, [this](const QDateTime& after, const QDateTime& before) {
        reportMissedAlarms(missedAlarms(alarms(), after, before));
    });
}

FenetreAlarmes::~FenetreAlarmes()
{
    m_dialog.reset();
    storeAtTheEnd();
}

void FenetreAlarmes::writeItems(QSettings& settings)
{
    ::writeItems(settings, kArray, alarms(), g_configuration.sauvegarde_alarmes);
}

QList<Alarme> FenetreAlarmes::alarms()
{
    // Building the pages here would ring those of this minute, where nobody
    // may see it (the end of the run) or twice (a tick after a sleep).
    return records<WidgetAlarme>(m_stored, [](const WidgetAlarme& page) { return page.alarme(); });
}

QString FenetreAlarmes::nextAlarmLine()
{
    NextAlarm next(g_jtime->checkedAt());
    // Asked every second: no alarm is copied.
    if (storedPagesPending()) {
        for (const Alarme& alarm : m_stored)
            next.consider(alarm);
    } else {
        for (const WidgetAlarme* page : pagesAs<WidgetAlarme>())
            next.consider(page->alarme());
    }
    return next.line();
}

bool FenetreAlarmes::hasActiveAlarm()
{
    // Asked every second: it does not build the stored pages.
    if (storedPagesPending())
        return std::any_of(m_stored.cbegin(), m_stored.cend(), [](const Alarme& a) { return a.active; });
    const QList<WidgetAlarme*> all = pagesAs<WidgetAlarme>();
    return std::any_of(all.cbegin(), all.cend(), [](const WidgetAlarme* page) { return page->isActive(); });
}

void FenetreAlarmes::openDialog()
{
    dialogMadeOnce(m_dialog, this, qOverload<>(&FenetreAlarmes::newAlarm)).exec();
}

void FenetreAlarmes::newAlarm()
{
    newAlarm(m_dialog->getAlarme());
}

void FenetreAlarmes::newAlarm(const Alarme& a)
{
    nextPageNumber();
    addPage(std::make_unique<WidgetAlarme>(a));
}
