#pragma once

#include "support/manualclock.h"
#include "support/temporaryconfiguration.h"
#include "support/urlrecorder.h"

#include <QStringList>

#include <functional>

// A day in the life of the clock for one test: a conf.ini of its own, the
// clock set at a time of 5 December 2026, the tick source and the tray icon
// made then, and what the alerts of the day showed and opened.
class TestDay
{
public:
    // "10:00:00.003"; "+10:00:00.003" the day after.
    explicit TestDay(const QString& time);
    ~TestDay();
    TestDay(const TestDay&) = delete;
    TestDay& operator=(const TestDay&) = delete;

    // Sets the clock to `time` and lets the tick source check it.
    void tick(const QString& time);

    TemporaryConfiguration conf;
    ManualClock clock;
    UrlRecorder files{{QStringLiteral("file")}};
    // "Title: text" of each balloon; one asked with another icon or length
    // than an alert's says so.
    QStringList balloons;
    // "Répéter" of the last alert that offered it.
    std::function<void(int minutes)> repeat;
};
