#include "tools/alarms/widgetalarme.h"

#include "ui_widgetalarme.h"

#include "app/globals.h"
#include "app/jtime.h"
#include "app/pictures.h"
#include "tools/alarms/alarmschedule.h"
#include "tools/alert.h"
#include "tools/textcut.h"

#include <QPointer>

namespace {

constexpr int kTitleMaxLength = 15;
constexpr int kMessageMaxLength = 70;

} // namespace

WidgetAlarme::WidgetAlarme(const Alarme& a)
    : m_ui(std::make_unique<Ui::WidgetAlarme>())
    , m_alarme(a)
{
    m_ui->setupUi(this);
    showAtScreenDensity(m_ui->m_cloche, QStringLiteral(":/ressources/GoldBell.png"));

    // The record itself is cut, so the alert and the next save see the same
    // texts as the page.
    m_alarme.title = firstCharacters(m_alarme.title, kTitleMaxLength);
    m_alarme.message = firstCharacters(m_alarme.message, kMessageMaxLength);

    m_ui->m_label_titre->setText(m_alarme.title);
    m_ui->m_label_heure->setText(formatAlarmTime(m_alarme.h, m_alarme.m));
    m_ui->m_label_jours->setText(daysLine(m_alarme.days()));
    (m_alarme.active ? m_ui->m_radio_active_oui : m_ui->m_radio_active_non)->setChecked(true);

    connect(g_jtime, &JTime::minuteChanged, this, &WidgetAlarme::test_hour);
    connect(this, &WidgetAlarme::ring, this, &WidgetAlarme::execute);
    connect(m_ui->m_radio_active_oui, &QRadioButton::toggled, this, [this](bool armed) {
        m_alarme.active = armed;
        // "Non" also drops a repeat asked for.
        if (!armed)
            m_alarme.repetition.reset();
        showBell();
    });

    showBell();
    test_hour();
}

WidgetAlarme::~WidgetAlarme() = default;

bool WidgetAlarme::isActive() const
{
    return m_ui->m_radio_active_oui->isChecked();
}

void WidgetAlarme::test_hour()
{
    // "Non" means the user does not want to be disturbed by this alarm.
    if (!isActive())
        return;
    // The time of the tick source's last check, not a fresh reading: every
    // page tested by one tick judges the same minute.
    const QDateTime now = minuteOf(g_jtime->checkedAt());
    if (m_alarme.repetition && minuteOf(*m_alarme.repetition) <= now) {
        // A repeat that came while nothing could ring it was reported.
        const bool due = minuteOf(*m_alarme.repetition) == now;
        m_alarme.repetition.reset();
        if (due) {
            emit ring();
            return;
        }
    }
    if (g_jtime->hour() == m_alarme.h && g_jtime->minute() == m_alarme.m && m_alarme.ringsOn(now.date()))
        emit ring();
}

void WidgetAlarme::execute()
{
    ringAlert(m_alarme, [page = QPointer<WidgetAlarme>(this)](int minutes) {
        // The page may have been deleted meanwhile.
        if (page)
            page->repeatIn(minutes);
    });
}

void WidgetAlarme::repeatIn(int minutes)
{
    m_alarme.repetition = minuteOf(g_jtime->checkedAt()).addSecs(qint64(minutes) * 60);
    alertStateChanged();
}

void WidgetAlarme::showBell()
{
    m_ui->m_cloche->setVisible(isActive());
}
