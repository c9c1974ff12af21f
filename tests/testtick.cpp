#include "app/jtime.h"
#include "support/manualclock.h"

#include <QTest>

class TestTick : public QObject
{
    Q_OBJECT

private slots:
    void checksAgainstThePreviousOne_data();
    void checksAgainstThePreviousOne();
    void ticksJustAfterEachWallClockSecond();
};

void TestTick::checksAgainstThePreviousOne_data()
{
    // The first time is the construction's own check, which nobody hears;
    // each later one is a check whose signals are recorded, one group per
    // check: k = minutes skipped since the previous check, s = second, m =
    // minute, h = hour.
    QTest::addColumn<QStringList>("checks");
    QTest::addColumn<QString>("events");

    QTest::addRow("14:00:00.3 gives second, minute, hour in that order")
        << QStringList{"13:59:59.990", "14:00:00.300"} << "smh";
    QTest::addRow("a skipped second 0 still ticks the minute")
        << QStringList{"07:29:59.998", "07:30:01.004"} << "sm";
    QTest::addRow("the construction in second 0 took that minute already")
        << QStringList{"09:00:00.100", "09:00:00.900", "09:00:01.100"} << "ss";
    QTest::addRow("waking from 13:30 at 15:10 checks the minute once, no stale hour")
        << QStringList{"13:30:12.000", "15:10:05.000", "15:10:06.000"} << "ksms";
    QTest::addRow("a single minute left unchecked is told")
        << QStringList{"10:00:59.900", "10:02:00.100"} << "ksm";
    QTest::addRow("waking from 09:00:40 at 10:00:05 marks ten o'clock")
        << QStringList{"09:00:40.000", "10:00:05.000"} << "ksmh";
    QTest::addRow("the clock set back from 10:30 to 10:00 marks no hour")
        << QStringList{"10:30:00.500", "10:00:00.500"} << "sm";
    QTest::addRow("the same time on the next day is a new minute")
        << QStringList{"06:59:30.000", "+06:59:30.000"} << "ksm";
}

void TestTick::checksAgainstThePreviousOne()
{
    QFETCH(QStringList, checks);
    ManualClock clock(onTestDay(checks.takeFirst()));

    JTime tick;
    QString events;
    connect(&tick, &JTime::minutesSkipped, this, [&] { events += 'k'; });
    connect(&tick, &JTime::secondChanged, this, [&] { events += 's'; });
    connect(&tick, &JTime::minuteChanged, this, [&] { events += 'm'; });
    connect(&tick, &JTime::hourChanged, this, [&] { events += 'h'; });

    for (const QString& check : checks) {
        clock.setCurrentDateTime(onTestDay(check));
        tick.check();
    }
    QTEST(events, "events");
}

void TestTick::ticksJustAfterEachWallClockSecond()
{
    // Made in the middle of a second: a timer that merely repeats every
    // second would go on landing there.
    QTRY_VERIFY(QTime::currentTime().msec() >= 400 && QTime::currentTime().msec() < 600);
    JTime tick;
    QList<int> msecsAfterTheSecond;
    connect(&tick, &JTime::secondChanged, this, [&] { msecsAfterTheSecond << tick.msec(); });
    QTRY_VERIFY_WITH_TIMEOUT(msecsAfterTheSecond.size() >= 3, 4000);
    for (const int late : msecsAfterTheSecond)
        QVERIFY2(late < 150, qPrintable(QString::number(late)));
}

QTEST_GUILESS_MAIN(TestTick)
#include "testtick.moc"
