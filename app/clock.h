#pragma once

#include <QDateTime>

// Every read of the current date and time goes through Clock::instance(), so
// that tests can drive minutes, hours and days without waiting for them.
// The monotonic reading serves interval measurements (stopwatches), which
// must not jump when the wall clock is set.
class Clock
{
public:
    virtual ~Clock() = default;

    // Local date and time of day.
    virtual QDateTime currentDateTime() const = 0;
    // Milliseconds from an arbitrary origin; never goes backwards.
    virtual qint64 monotonicMsecs() const = 0;

    static Clock& instance();
    // Replaces the clock for the whole process; nullptr restores the system
    // clock. The caller keeps ownership.
    static void setInstance(Clock* clock);
};

// The real clock of the machine.
class SystemClock : public Clock
{
public:
    QDateTime currentDateTime() const override;
    qint64 monotonicMsecs() const override;
};

// A clock that only moves when told to; both readings advance together.
class ManualClock : public Clock
{
public:
    explicit ManualClock(const QDateTime& start = QDateTime(QDate(2026, 12, 5), QTime(12, 0)));

    QDateTime currentDateTime() const override { return m_now; }
    qint64 monotonicMsecs() const override { return m_monotonic; }

    void setCurrentDateTime(const QDateTime& now) { m_now = now; }
    void advanceMsecs(qint64 msecs);
    void advanceSeconds(qint64 seconds) { advanceMsecs(seconds * 1000); }

private:
    QDateTime m_now;
    qint64 m_monotonic = 0;
};

// Installs a clock for the lifetime of a scope (tests, benchmarks).
class ScopedClock
{
public:
    explicit ScopedClock(Clock* clock) { Clock::setInstance(clock); }
    ~ScopedClock() { Clock::setInstance(nullptr); }
    ScopedClock(const ScopedClock&) = delete;
    ScopedClock& operator=(const ScopedClock&) = delete;
};
