#include "tools/countdowns/widgetcomptearebours.h"

#include "app/clock.h"
#include "app/globals.h"
#include "app/jtime.h"
#include "tools/alert.h"
#include "tools/durationformat.h"
#include "tools/textcut.h"

#include "ui_widgetcomptearebours.h"

#include <algorithm>

namespace {

constexpr int kTitleMaxLength = 35;
constexpr int kMessageMaxLength = 70;

} // namespace

WidgetCompteARebours::WidgetCompteARebours(int numero, const CompteARebours& c, const QString& format)
    : m_ui(std::make_unique<Ui::WidgetCompteARebours>())
    , m_numero(numero)
    , m_format(format)
    , m_car(c)
    , m_target(wholeSecondsSinceEpoch(c.date))
{
    m_ui->setupUi(this);
    // The record itself is cut, so the alert and the next save see the texts
    // of the page.
    m_car.title = firstCharacters(m_car.title, kTitleMaxLength);
    m_car.message = firstCharacters(m_car.message, kMessageMaxLength);
    m_ui->label_titre->setText(m_car.title);

    connect(this, &WidgetCompteARebours::ring, this, &WidgetCompteARebours::execute);
    connect(g_jtime, &JTime::secondChanged, this, &WidgetCompteARebours::refresh);
    refresh();
    showRemaining();
}

WidgetCompteARebours::~WidgetCompteARebours() = default;

bool WidgetCompteARebours::isPending() const
{
    return m_target.has_value() && !m_rung;
}

std::optional<qint64> WidgetCompteARebours::secondsLeft(qint64 now) const
{
    if (!isPending())
        return std::nullopt;
    return std::max<qint64>(*m_target - now, 0);
}

void WidgetCompteARebours::refresh()
{
    if (!m_rung) {
        // Only whole numbers: a hundred countdowns cost next to nothing at
        // every tick. No date at all counts as passed.
        const qint64 now = wholeSecondsSinceEpoch(Clock::instance().currentMSecsSinceEpoch());
        m_remaining = m_target ? *m_target - now : -1;
        if (m_remaining < 0) {
            m_rung = true;
            m_remaining = 0;
            emit ring();
        }
    }
    // A page nobody sees is not redrawn, so that many countdowns in a hidden
    // window cost next to nothing; it is redrawn when it is shown.
    if (isVisible())
        showRemaining();
}

void WidgetCompteARebours::execute()
{
    ringAlert(m_car);
}

void WidgetCompteARebours::setFormat(const QString& format)
{
    // Only redrawn: an expired countdown shows zero anew and never rings again.
    m_format = format;
    showRemaining();
}

void WidgetCompteARebours::showEvent(QShowEvent* event)
{
    showRemaining();
    QWidget::showEvent(event);
}

void WidgetCompteARebours::showRemaining()
{
    m_ui->m_label_temps_restant->setText(formatDuration(m_remaining, m_format));
}
