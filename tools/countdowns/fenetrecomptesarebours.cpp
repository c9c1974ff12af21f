#include "tools/countdowns/fenetrecomptesarebours.h"

#include "app/clock.h"
#include "app/configuration.h"
#include "tools/countdowns/dialogconfigcomptearebours.h"
#include "tools/countdowns/widgetcomptearebours.h"
#include "tools/durationformat.h"
#include "tools/itemarray.h"

#include <QComboBox>

namespace {

const QString kArray = QStringLiteral("timer");

} // namespace

FenetreComptesARebours::FenetreComptesARebours(QWidget* parent, StoredPages stored)
    : ToolWindow(parent, QStringLiteral("Compte à rebours"), QStringLiteral("Car"), stored)
    , m_dialog(std::make_unique<DialogConfigCompteARebours>())
    , m_format(addDurationFormatSelector(toolBar()))
{
    connect(m_dialog.get(), &QDialog::accepted, this, qOverload<>(&FenetreComptesARebours::newTimer));
    addStoredPages(loadItems<CompteARebours>(kArray), [this](const CompteARebours& c) { newTimer(c); });
}

FenetreComptesARebours::~FenetreComptesARebours()
{
    m_dialog.reset();
    storeItems();
}

void FenetreComptesARebours::storeItems()
{
    // Those that have rung, or have no date, are done with.
    QList<CompteARebours> pending;
    for (const WidgetCompteARebours* page : pagesAs<WidgetCompteARebours>()) {
        if (page->isPending())
            pending.append(page->compteARebours());
    }
    saveItems(kArray, pending, g_configuration.sauvegarde_car);
}

QString FenetreComptesARebours::nearestCountdownLine()
{
    // Asked every second: it does not build the stored pages, which come
    // within a second of the start.
    if (storedPagesPending())
        return {};
    const qint64 now = wholeSecondsSinceEpoch(Clock::instance().currentMSecsSinceEpoch());
    const WidgetCompteARebours* nearest = nullptr;
    qint64 nearestLeft = 0;
    for (const WidgetCompteARebours* page : pagesAs<WidgetCompteARebours>()) {
        const std::optional<qint64> left = page->secondsLeft(now);
        if (left && (!nearest || *left < nearestLeft)) {
            nearest = page;
            nearestLeft = *left;
        }
    }
    if (!nearest)
        return {};
    return nearest->compteARebours().title + QStringLiteral(" : ")
        + formatDuration(nearestLeft, m_format->currentText());
}

void FenetreComptesARebours::openDialog()
{
    m_dialog->exec();
}

void FenetreComptesARebours::newTimer()
{
    newTimer(m_dialog->getCompteARebours());
}

void FenetreComptesARebours::newTimer(const CompteARebours& c)
{
    auto page = std::make_unique<WidgetCompteARebours>(nextPageNumber(), c, m_format->currentText());
    connect(m_format, &QComboBox::currentTextChanged, page.get(), &WidgetCompteARebours::setFormat);
    addPage(std::move(page));
}
