#include "app/clock.h"
#include "app/jtime.h"

#include <QSignalSpy>
#include <QTest>

class TestTick : public QObject
{
    Q_OBJECT

private slots:
    void checksAgainstThePreviousOne_data();
    void checksAgainstThePreviousOne();
    void heldTimeIsTheTimeOfTheCheck();
    void nextCheckLandsJustAfterTheSecond_data();
    void nextCheckLandsJustAfterTheSecond();
    void runsOnItsOwnTimer();
};

static QDateTime at(const QString& dateTime)
{
    return QDateTime::fromString(dateTime, QStringLiteral("yyyy-MM-dd hh:mm:ss.zzz"));
}

void TestTick::checksAgainstThePreviousOne_data()
{
    // The first time is the construction's own check, which nobody hears;
    // each later one is a check whose signals are recorded, one group per
    // check: s = second, m = minute, h = hour.
    QTest::addColumn<QStringList>("checks");
    QTest::addColumn<QString>("events");

    QTest::addRow("14:00:00.3 gives second, minute, hour in that order")
        << QStringList{"2026-12-05 13:59:59.990", "2026-12-05 14:00:00.300"} << "smh";
    QTest::addRow("14:05:00.9 gives second and minute")
        << QStringList{"2026-12-05 14:04:59.900", "2026-12-05 14:05:00.900"} << "sm";
    QTest::addRow("an ordinary second gives only the second")
        << QStringList{"2026-12-05 14:05:00.900", "2026-12-05 14:05:01.000"} << "s";
    QTest::addRow("a skipped second 0 still ticks the minute")
        << QStringList{"2026-12-05 07:29:59.998", "2026-12-05 07:30:01.004"} << "sm";
    QTest::addRow("a skipped second 0 at the hour still ticks the hour")
        << QStringList{"2026-12-05 07:59:59.998", "2026-12-05 08:00:01.004"} << "smh";
    QTest::addRow("two checks in second 0 tick the minute once")
        << QStringList{"2026-12-05 07:29:59.500", "2026-12-05 07:30:00.001",
                       "2026-12-05 07:30:00.999"} << "sms";
    QTest::addRow("two checks in second 0 of an hour tick the hour once")
        << QStringList{"2026-12-05 07:59:59.500", "2026-12-05 08:00:00.001",
                       "2026-12-05 08:00:00.999"} << "smhs";
    QTest::addRow("the construction in second 0 took that minute already")
        << QStringList{"2026-12-05 09:00:00.100", "2026-12-05 09:00:00.900",
                       "2026-12-05 09:00:01.100"} << "ss";
    QTest::addRow("waking from 13:30 at 15:10 checks the minute once, no stale hour")
        << QStringList{"2026-12-05 13:30:12.000", "2026-12-05 15:10:05.000",
                       "2026-12-05 15:10:06.000"} << "sms";
    QTest::addRow("setting the clock forward to a later hour's minute 0 is a new hour")
        << QStringList{"2026-12-05 13:30:12.000", "2026-12-05 16:00:03.000"} << "smh";
    QTest::addRow("the same clock time on the next day is a new minute")
        << QStringList{"2026-12-05 06:59:30.000", "2026-12-06 06:59:30.000"} << "sm";
    QTest::addRow("midnight turns the day, the minute and the hour")
        << QStringList{"2026-12-05 23:59:59.400", "2026-12-06 00:00:00.400"} << "smh";
    QTest::addRow("a clock set back across the hour marks that hour again")
        << QStringList{"2026-12-05 10:00:40.000", "2026-12-05 10:00:00.000",
                       "2026-12-05 09:59:00.000", "2026-12-05 10:00:00.000"} << "ssmsmh";
}

void TestTick::checksAgainstThePreviousOne()
{
    QFETCH(QStringList, checks);
    ManualClock clock(at(checks.takeFirst()));
    ScopedClock scoped(&clock);

    JTime tick;
    QString events;
    connect(&tick, &JTime::secondChanged, this, [&] { events += 's'; });
    connect(&tick, &JTime::minuteChanged, this, [&] { events += 'm'; });
    connect(&tick, &JTime::hourChanged, this, [&] { events += 'h'; });

    for (const QString& check : checks) {
        clock.setCurrentDateTime(at(check));
        tick.check();
    }
    QTEST(events, "events");
}

void TestTick::heldTimeIsTheTimeOfTheCheck()
{
    ManualClock clock(at("2026-12-05 21:07:45.123"));
    ScopedClock scoped(&clock);
    JTime tick;
    QCOMPARE(static_cast<const QTime&>(tick), QTime(21, 7, 45, 123));
    QCOMPARE(tick.dateOfCheck(), QDate(2026, 12, 5));

    // Receivers read the time of the check that called them.
    int heardMinute = -1;
    connect(&tick, &JTime::minuteChanged, this, [&] { heardMinute = tick.minute(); });
    clock.setCurrentDateTime(at("2026-12-05 21:08:00.004"));
    tick.check();
    QCOMPARE(heardMinute, 8);
    QCOMPARE(tick.hour(), 21);
    QCOMPARE(tick.second(), 0);
    QCOMPARE(tick.msec(), 4);

    // The clock moved on since; the held date is still that of the check.
    clock.setCurrentDateTime(at("2026-12-06 00:00:00.000"));
    QCOMPARE(tick.dateOfCheck(), QDate(2026, 12, 5));
}

void TestTick::nextCheckLandsJustAfterTheSecond_data()
{
    QTest::addColumn<QTime>("now");
    QTest::addColumn<int>("delay");

    QTest::addRow("right after a second") << QTime(10, 0, 0, 3) << 1000;
    QTest::addRow("in the middle of a second") << QTime(10, 0, 0, 500) << 503;
    QTest::addRow("just before the next second") << QTime(10, 0, 0, 999) << 4;
}

void TestTick::nextCheckLandsJustAfterTheSecond()
{
    QFETCH(QTime, now);
    QTEST(JTime::alignedDelayToNextSecond(now), "delay");
}

void TestTick::runsOnItsOwnTimer()
{
    // With the real clock, the source checks by itself about once a second.
    JTime tick;
    QSignalSpy seconds(&tick, &JTime::secondChanged);
    QTRY_VERIFY_WITH_TIMEOUT(seconds.count() >= 2, 3500);
    const QTime now = QTime::currentTime();
    QVERIFY(qAbs(static_cast<const QTime&>(tick).msecsTo(now)) < 1100);
}

QTEST_GUILESS_MAIN(TestTick)
#include "testtick.moc"
