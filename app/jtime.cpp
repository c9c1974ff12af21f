#include "app/jtime.h"

#include "app/clock.h"

#include <QTimer>

namespace {

// Landing a little after the boundary keeps a timer that fires a hair early
// from reading the second that is just ending.
constexpr int kMarginAfterSecondMs = 3;

qint64 minutesSinceEpoch(const QDateTime& dateTime)
{
    const qint64 msecs = dateTime.toMSecsSinceEpoch();
    return msecs / 60000 - (msecs % 60000 < 0 ? 1 : 0);
}

} // namespace

JTime::JTime(QObject* parent)
    : QObject(parent)
    , m_timer(new QTimer(this))
{
    m_timer->setSingleShot(true);
    m_timer->setTimerType(Qt::PreciseTimer);
    connect(m_timer, &QTimer::timeout, this, &JTime::check);
    check();
}

int JTime::alignedDelayToNextSecond(const QTime& now)
{
    return 1000 - now.msec() + kMarginAfterSecondMs;
}

void JTime::check()
{
    const QDateTime now = Clock::instance().currentDateTime();
    const QDateTime previous = m_checkedAt;
    m_checkedAt = now;
    const QTime time = now.time();
    setHMS(time.hour(), time.minute(), time.second(), time.msec());

    // Reschedule first, so a slow receiver does not push the next check late.
    m_timer->start(alignedDelayToNextSecond(time));

    // Minutes since 1970: every time zone's offset is whole minutes, so they
    // turn with the local minutes, and counting them costs no time zone
    // lookup at every tick.
    const qint64 minute = minutesSinceEpoch(now);
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
