#include "tools/alarms/fenetrealarmes.h"

#include "app/configuration.h"
#include "tools/alarms/dialogconfigalarme.h"
#include "tools/alarms/widgetalarme.h"

#include <QSettings>

#include <algorithm>

namespace {

constexpr QLatin1String kGroup("alarm");

// The entries of the array that are really in the file, in index order.
// A hand-edited or damaged size can claim far more (size=2000000000) than
// is there; trusting it would loop for ever on empty entries.
QList<int> storedIndices(QSettings& settings)
{
    settings.beginGroup(kGroup);
    const int size = settings.value(QStringLiteral("size")).toInt();
    const QStringList groups = settings.childGroups();
    settings.endGroup();

    QList<int> indices;
    for (const QString& group : groups) {
        bool ok = false;
        const int index = group.toInt(&ok);
        // Only the names that the array itself writes ("1", not "01").
        if (ok && index >= 1 && index <= size && QString::number(index) == group)
            indices.append(index);
    }
    std::sort(indices.begin(), indices.end());
    return indices;
}

Alarme readAlarm(const QSettings& settings)
{
    Alarme a;
    a.h = settings.value(QStringLiteral("h")).toInt();
    a.m = settings.value(QStringLiteral("m")).toInt();
    a.active = settings.value(QStringLiteral("active")).toBool();
    a.title = settings.value(QStringLiteral("title")).toString();
    a.message = settings.value(QStringLiteral("message")).toString();
    a.execute = settings.value(QStringLiteral("execute")).toBool();
    a.file = settings.value(QStringLiteral("file")).toString();
    return a;
}

void writeAlarm(QSettings& settings, const Alarme& a)
{
    settings.setValue(QStringLiteral("h"), a.h);
    settings.setValue(QStringLiteral("m"), a.m);
    settings.setValue(QStringLiteral("active"), a.active);
    settings.setValue(QStringLiteral("title"), a.title);
    settings.setValue(QStringLiteral("message"), a.message);
    settings.setValue(QStringLiteral("execute"), a.execute);
    settings.setValue(QStringLiteral("file"), a.file);
}

} // namespace

FenetreAlarmes::FenetreAlarmes(QWidget* parent)
    : ToolWindow(parent, QStringLiteral("Alarme"), QStringLiteral("Alarme"))
    , m_dialog(std::make_unique<DialogConfigAlarme>())
{
    connect(m_dialog.get(), &QDialog::accepted, this, qOverload<>(&FenetreAlarmes::newAlarm));

    // The stored alarms stay in the file until the end of the run replaces
    // them, so a crash or a kill does not lose them.
    load(*openConfiguration());
}

FenetreAlarmes::~FenetreAlarmes()
{
    m_dialog.reset();

    const std::unique_ptr<QSettings> settings = openConfiguration();
    // Replaced whole: a longer array from an earlier run must not leave
    // entries behind.
    settings->remove(kGroup);
    if (g_configuration.sauvegarde_alarmes)
        save(*settings);
    commitConfiguration(*settings);
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
    addNextPage(std::make_unique<WidgetAlarme>(a));
}

void FenetreAlarmes::load(QSettings& settings)
{
    const QList<int> indices = storedIndices(settings);
    settings.beginReadArray(kGroup);
    for (const int index : indices) {
        settings.setArrayIndex(index - 1);
        newAlarm(readAlarm(settings));
    }
    settings.endArray();
}

void FenetreAlarmes::save(QSettings& settings) const
{
    settings.beginWriteArray(kGroup);
    const QList<WidgetAlarme*> all = pagesAs<WidgetAlarme>();
    for (int i = 0; i < all.size(); ++i) {
        settings.setArrayIndex(i);
        writeAlarm(settings, all.at(i)->alarme());
    }
    settings.endArray();
}
