#include "app/jtime.h"

#include "app/clock.h"

#include <QTimer>

namespace {

// Landing a little after the boundary keeps a timer that fires a hair early
// from reading the second that is just ending.
constexpr int kMarginAfterSecondMs = 3;
constexpr int kSecondMs = 1000;
// How much later than that a tick may land before its timer is set again.
constexpr int kLateToleranceMs = 20;

qint64 minutesSinceEpoch(qint64 msecs)
{
    return msecs / 60000 - (msecs % 60000 < 0 ? 1 : 0);
}

} // namespace

JTime::JTime(QObject* parent)
    : QObject(parent)
    , m_timer(new QTimer(this))
{
    m_timer->setTimerType(Qt::PreciseTimer);
    connect(m_timer, &QTimer::timeout, this, &JTime::check);
    check();
}

int JTime::alignedDelayToNextSecond(const QTime& now)
{
    return kSecondMs - now.msec() + kMarginAfterSecondMs;
}

void JTime::check()
{
    // One reading, as a moment and as the local date and time of that moment.
    const qint64 moment = Clock::instance().currentMSecsSinceEpoch();
    const QDateTime now = QDateTime::fromMSecsSinceEpoch(moment);
    const QDateTime previous = m_checkedAt;
    m_checkedAt = now;
    const QTime time = now.time();
    setHMS(time.hour(), time.minute(), time.second(), time.msec());

    // Rescheduled first, so that a slow receiver does not push the next
    // check late. A timer that repeats every second keeps landing where it
    // first did; it is set again only when it no longer lands just after the
    // second (its first start, a blocked event loop, the wall clock set),
    // since setting a timer costs a good part of an idle tick.
    const int delay = alignedDelayToNextSecond(time);
    if (delay < kSecondMs - kLateToleranceMs || delay > kSecondMs + kMarginAfterSecondMs)
        m_timer->start(delay);
    else if (!m_timer->isActive() || m_timer->interval() != kSecondMs)
        m_timer->start(kSecondMs);

    // Minutes since 1970: every time zone's offset is whole minutes, so they
    // turn with the local minutes, and counting them costs no time zone
    // lookup at every tick.
    const qint64 minute = minutesSinceEpoch(moment);
    const qint64 previousMinute = m_checkedMinute;
    m_checkedMinute = minute;
    const bool firstCheck = !previous.isValid();
    const bool newMinute = firstCheck ? time.second() == 0 : minute != previousMinute;
    // A new hour is marked only when the check lands in its minute 0: after a
    // sleep or a clock change the hour that was missed is not chimed late.
    const bool newHour = newMinute && time.minute() == 0
        && (firstCheck || now.date() != previous.date() || previous.time().hour() != time.hour());
    const bool skipped = !firstCheck && minute > previousMinute + 1;

    if (skipped)
        emit minutesSkipped(previous, now);
    emit secondChanged();
    if (newMinute) {
        emit minuteChanged();
        if (newHour)
            emit hourChanged();
    }
}
