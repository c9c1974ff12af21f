#pragma once

#include <QDateTime>

// Every read of the current date and time goes through Clock::instance(), so
// that tests can drive minutes, hours and days without waiting for them.
// The monotonic reading serves interval measurements (stopwatches), which
// must not jump when the wall clock is set, and go on while the machine
// sleeps.
class Clock
{
public:
    virtual ~Clock() = default;

    // Local date and time of day.
    virtual QDateTime currentDateTime() const = 0;
    // The same moment as milliseconds since 1970 (UTC), without the cost of
    // a local date: for the many items that compare it every second.
    virtual qint64 currentMSecsSinceEpoch() const { return currentDateTime().toMSecsSinceEpoch(); }
    // Milliseconds from an arbitrary origin; never goes backwards, and
    // counts the time the machine sleeps.
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
    qint64 currentMSecsSinceEpoch() const override;
    qint64 monotonicMsecs() const override;
};
