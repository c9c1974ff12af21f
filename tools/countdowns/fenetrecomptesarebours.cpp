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
{
    m_stored = loadItems<CompteARebours>(kArray);
    addStoredPages(m_stored, [this](const CompteARebours& c) { newTimer(c); });
}

FenetreComptesARebours::~FenetreComptesARebours()
{
    m_dialog.reset();
    storeAtTheEnd();
}

void FenetreComptesARebours::writeItems(QSettings& settings)
{
    // Until their pages are built none has rung, not even one whose moment
    // came while the program was closed: it rings at the next start. Once
    // built, those that have rung, or have no date, are done with.
    const QList<CompteARebours> pending =
        records<WidgetCompteARebours>(m_stored, [](const WidgetCompteARebours& page) {
            return page.isPending() ? std::optional(page.compteARebours()) : std::nullopt;
        });
    ::writeItems(settings, kArray, pending, g_configuration.sauvegarde_car);
}

namespace {

// The selector's first format, which it shows until the user picks another.
const QString& defaultFormat()
{
    static const QString format = durationFormatNames().constFirst();
    return format;
}

} // namespace

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
        + formatDuration(nearestLeft, m_format ? m_format->currentText() : defaultFormat());
}

void FenetreComptesARebours::addToolBarControls(QToolBar* toolBar)
{
    m_format = addDurationFormatSelector(toolBar);
}

void FenetreComptesARebours::openDialog()
{
    dialogMadeOnce(m_dialog, this, qOverload<>(&FenetreComptesARebours::newTimer)).exec();
}

void FenetreComptesARebours::newTimer()
{
    newTimer(m_dialog->getCompteARebours());
}

void FenetreComptesARebours::newTimer(const CompteARebours& c)
{
    // The page follows the format selector of the form.
    makeForm();
    auto page = std::make_unique<WidgetCompteARebours>(nextPageNumber(), c, m_format->currentText());
    connect(m_format, &QComboBox::currentTextChanged, page.get(), &WidgetCompteARebours::setFormat);
    addPage(std::move(page));
}
