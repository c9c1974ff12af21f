#include "tools/alarms/fenetrealarmes.h"

#include "app/configuration.h"
#include "tools/alarms/dialogconfigalarme.h"
#include "tools/alarms/widgetalarme.h"
#include "tools/itemarray.h"

#include <algorithm>

namespace {

const QString kArray = QStringLiteral("alarm");

} // namespace

FenetreAlarmes::FenetreAlarmes(QWidget* parent)
    : ToolWindow(parent, QStringLiteral("Alarme"), QStringLiteral("Alarme"))
    , m_dialog(std::make_unique<DialogConfigAlarme>())
{
    connect(m_dialog.get(), &QDialog::accepted, this, qOverload<>(&FenetreAlarmes::newAlarm));
    addStoredPages<Alarme>(kArray, [this](const Alarme& a) { newAlarm(a); });
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

bool FenetreAlarmes::hasActiveAlarm() const
{
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
