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
    , m_dialog(std::make_unique<DialogConfigAlarme>())
{
    connect(m_dialog.get(), &QDialog::accepted, this, qOverload<>(&FenetreAlarmes::newAlarm));
    const QList<Alarme> loaded = loadItems<Alarme>(kArray);
    m_storedArmed = std::any_of(loaded.cbegin(), loaded.cend(), [](const Alarme& a) { return a.active; });
    // Those that came while the program was closed are told of now; one due
    // this very minute rings with its page.
    reportMissedAlarms(missedAlarms(loaded, lastSaveTime(), g_jtime->checkedAt()));
    addStoredPages(loaded, [this](const Alarme& a) { newAlarm(a); });
    connect(g_jtime, &JTime::minutesSkipped, this, [this](const QDateTime& after, const QDateTime& before) {
        reportMissedAlarms(missedAlarms(alarms(), after, before));
    });
}

FenetreAlarmes::~FenetreAlarmes()
{
    m_dialog.reset();
    storeItems();
}

void FenetreAlarmes::storeItems()
{
    saveItems(kArray, alarms(), g_configuration.sauvegarde_alarmes);
}

QList<Alarme> FenetreAlarmes::alarms()
{
    QList<Alarme> all;
    for (const WidgetAlarme* page : pagesAs<WidgetAlarme>())
        all.append(page->alarme());
    return all;
}

QString FenetreAlarmes::nextAlarmLine()
{
    // Asked every second: it neither builds the stored pages nor copies any
    // alarm. They are built within a second of the start.
    if (storedPagesPending())
        return {};
    NextAlarm next(*g_jtime);
    for (const WidgetAlarme* page : pagesAs<WidgetAlarme>())
        next.consider(page->alarme());
    return next.line();
}

bool FenetreAlarmes::hasActiveAlarm()
{
    // Asked every second: it does not build the stored pages.
    if (storedPagesPending())
        return m_storedArmed;
    const QList<WidgetAlarme*> all = pagesAs<WidgetAlarme>();
    return std::any_of(all.cbegin(), all.cend(), [](const WidgetAlarme* page) { return page->isActive(); });
}

void FenetreAlarmes::openDialog()
{
    m_dialog->exec();
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
