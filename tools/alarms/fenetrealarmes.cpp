#include "tools/alarms/fenetrealarmes.h"

#include "app/configuration.h"
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
    const QList<Alarme> alarms = loadItems<Alarme>(kArray);
    m_storedArmed = std::any_of(alarms.cbegin(), alarms.cend(), [](const Alarme& a) { return a.active; });
    addStoredPages(alarms, [this](const Alarme& a) { newAlarm(a); });
}

FenetreAlarmes::~FenetreAlarmes()
{
    m_dialog.reset();
    storeItems();
}

void FenetreAlarmes::storeItems()
{
    QList<Alarme> alarms;
    for (const WidgetAlarme* page : pagesAs<WidgetAlarme>())
        alarms.append(page->alarme());
    saveItems(kArray, alarms, g_configuration.sauvegarde_alarmes);
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
