#include "tools/elapsedtimes/fenetretempsecoules.h"

#include "app/configuration.h"
#include "tools/durationformat.h"
#include "tools/elapsedtimes/dialogconfigtempsecoule.h"
#include "tools/elapsedtimes/widgettempsecoule.h"
#include "tools/itemarray.h"

#include <QComboBox>

namespace {

const QString kArray = QStringLiteral("pasttime");

} // namespace

FenetreTempsEcoules::FenetreTempsEcoules(QWidget* parent, StoredPages stored)
    : ToolWindow(parent, QStringLiteral("Temps écoulé"), QStringLiteral("TE"), stored)
    , m_stored(kArray)
{
    // Read with their pages, or at the first save: nothing of them rings.
    addStoredPagesLoaded([this] { return m_stored.get(); }, [this](const TempsEcoule& t) { newTE(t); });
}

FenetreTempsEcoules::~FenetreTempsEcoules()
{
    m_dialog.reset();
    storeAtTheEnd();
}

void FenetreTempsEcoules::writeItems(QSettings& settings)
{
    const QList<TempsEcoule> counters =
        records<WidgetTempsEcoule>(storedPagesPending() ? m_stored.get() : QList<TempsEcoule>(),
                                   [](const WidgetTempsEcoule& page) { return page.tempsEcoule(); });
    ::writeItems(settings, kArray, counters, g_configuration.sauvegarde_te);
}

void FenetreTempsEcoules::addToolBarControls(QToolBar* toolBar)
{
    m_format = addDurationFormatSelector(toolBar);
}

void FenetreTempsEcoules::openDialog()
{
    dialogMadeOnce(m_dialog, this, qOverload<>(&FenetreTempsEcoules::newTE)).exec();
}

void FenetreTempsEcoules::newTE()
{
    newTE(m_dialog->getTempsEcoule());
}

void FenetreTempsEcoules::newTE(const TempsEcoule& t)
{
    // The page follows the format selector of the form.
    makeForm();
    auto page = std::make_unique<WidgetTempsEcoule>(nextPageNumber(), t, m_format->currentText());
    connect(m_format, &QComboBox::currentTextChanged, page.get(), &WidgetTempsEcoule::setFormat);
    addPage(std::move(page));
}
