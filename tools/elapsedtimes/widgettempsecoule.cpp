#include "tools/elapsedtimes/widgettempsecoule.h"

#include "app/clock.h"
#include "app/frenchdates.h"
#include "app/globals.h"
#include "app/jtime.h"
#include "tools/durationformat.h"
#include "tools/textcut.h"

#include "ui_widgettempsecoule.h"

namespace {

constexpr int kTitleMaxLength = 35;

// "Depuis le Samedi 05/12/2026 à 14:03:07".
QString startLine(const QDateTime& start)
{
    if (!start.isValid())
        return WidgetTempsEcoule::tr("Depuis le ") + QLatin1Char('-');
    return WidgetTempsEcoule::tr("Depuis le ") + frenchDayName(start.date()) + start.toString(u" dd/MM/yyyy")
        + WidgetTempsEcoule::tr(" à ") + start.toString(u"hh:mm:ss");
}

} // namespace

WidgetTempsEcoule::WidgetTempsEcoule(int numero, const TempsEcoule& t, const QString& format)
    : m_ui(std::make_unique<Ui::WidgetTempsEcoule>())
    , m_numero(numero)
    , m_format(format)
    , m_te(t)
{
    m_ui->setupUi(this);
    m_te.title = firstCharacters(m_te.title, kTitleMaxLength);
    m_ui->label_titre->setText(m_te.title);
    m_ui->label_date->setText(startLine(m_te.date));
    showElapsed();
}

WidgetTempsEcoule::~WidgetTempsEcoule() = default;

void WidgetTempsEcoule::refresh()
{
    showElapsed();
}

void WidgetTempsEcoule::setFormat(const QString& format)
{
    m_format = format;
    showElapsed();
}

// A counter nobody sees has nothing to do: it follows the ticks only while it
// is shown, so that many counters in a hidden window cost nothing.
void WidgetTempsEcoule::showEvent(QShowEvent* event)
{
    if (g_jtime)
        connect(g_jtime, &JTime::secondChanged, this, &WidgetTempsEcoule::refresh, Qt::UniqueConnection);
    showElapsed();
    QWidget::showEvent(event);
}

void WidgetTempsEcoule::hideEvent(QHideEvent* event)
{
    // A counter may outlive the tick source (a window destroyed after it).
    if (g_jtime)
        disconnect(g_jtime, &JTime::secondChanged, this, &WidgetTempsEcoule::refresh);
    QWidget::hideEvent(event);
}

void WidgetTempsEcoule::showElapsed()
{
    const std::optional<qint64> elapsed = secondsBetween(m_te.date, Clock::instance().currentDateTime());
    m_ui->m_label_temps_ecoule->setText(elapsed ? formatDuration(*elapsed, m_format) : QStringLiteral("-"));
}
