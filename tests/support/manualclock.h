#pragma once

#include "app/clock.h"

// A clock that only moves when told to. It stands in for the system clock
// for as long as it lives; both readings advance together.
class ManualClock : public Clock
{
public:
    explicit ManualClock(const QDateTime& start)
        : m_now(start)
    {
        Clock::setInstance(this);
    }
    ~ManualClock() override { Clock::setInstance(nullptr); }
    ManualClock(const ManualClock&) = delete;
    ManualClock& operator=(const ManualClock&) = delete;

    QDateTime currentDateTime() const override { return m_now; }
    qint64 monotonicMsecs() const override { return m_monotonic; }

    void setCurrentDateTime(const QDateTime& now) { m_now = now; }
    void advanceMsecs(qint64 msecs)
    {
        m_now = m_now.addMSecs(msecs);
        m_monotonic += msecs;
    }

private:
    QDateTime m_now;
    qint64 m_monotonic = 0;
};

// "07:30:00.003" on the day the tests are set on, Saturday 5 December 2026;
// "+07:30:00.003" the day after, "+6 07:30:00.003" six days after.
inline QDateTime onTestDay(const QString& time)
{
    qsizetype clockAt = 0;
    int days = 0;
    if (time.startsWith(QLatin1Char('+'))) {
        clockAt = time.indexOf(QLatin1Char(' ')) + 1;
        days = clockAt > 0 ? time.mid(1, clockAt - 2).toInt() : 1;
        clockAt = qMax(clockAt, qsizetype(1));
    }
    return QDateTime(QDate(2026, 12, 5).addDays(days),
                     QTime::fromString(time.mid(clockAt), QStringLiteral("hh:mm:ss.zzz")));
}
