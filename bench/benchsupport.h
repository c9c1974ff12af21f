#pragma once

#include <QTemporaryDir>

#include <memory>

class FenetrePrincipale;

// The clock as it runs on a desktop, for a benchmark: default settings in a
// conf.ini of its own (none of the user's files touched), the tick source, the
// tray icon and the main window, hidden.
class BenchClock
{
public:
    BenchClock();
    ~BenchClock();

    FenetrePrincipale& window() const { return *m_window; }

private:
    QTemporaryDir m_dir;
    std::unique_ptr<FenetrePrincipale> m_window;
};

// The share of one core the whole process uses while its event loop idles
// for `seconds`, from its CPU time in nanoseconds (the 10 ms ticks of
// /proc/PID/stat would measure nothing at these levels).
double idleShareOfOneCore(int seconds);
