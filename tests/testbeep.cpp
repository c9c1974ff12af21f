// The beep's samples, and Beep itself where there is no sound server.

#include "platform/beep.h"
#include "support/audiocapture.h"

#include <QElapsedTimer>
#include <QTest>

class TestBeep : public QObject
{
    Q_OBJECT

private slots:
    void samples_data();
    void samples();
    void withoutSoundServerReturnsAtOnce();
};

void TestBeep::samples_data()
{
    // A pitch of 0 means silence; -1 that only the length is looked at.
    QTest::addColumn<int>("frequency");
    QTest::addColumn<int>("durationMs");
    QTest::addColumn<int>("sampleRate");
    QTest::addColumn<int>("samples");
    QTest::addColumn<double>("pitch");

    QTest::newRow("440 Hz") << 440 << 300 << 44100 << 13230 << 440.0;
    QTest::newRow("1000 Hz at 48000 Hz") << 1000 << 300 << 48000 << 14400 << 1000.0;
    QTest::newRow("held at 45 % of the rate, not aliased") << 30000 << 300 << 44100 << 13230 << 19845.0;
    QTest::newRow("a partial sample is left out") << 440 << 1 << 44100 << 44 << -1.0;
    QTest::newRow("a minute does not overflow") << 440 << 60000 << 44100 << 2646000 << -1.0;
    QTest::newRow("negative duration is empty") << 440 << -500 << 44100 << 0 << 0.0;
    QTest::newRow("0 Hz is silence as long") << 0 << 200 << 44100 << 8820 << 0.0;
}

void TestBeep::samples()
{
    QFETCH(int, frequency);
    QFETCH(int, durationMs);
    QFETCH(int, sampleRate);
    QFETCH(double, pitch);
    const QVector<qint16> samples =
        audio::fromPcm16(platform::beepSamples(frequency, durationMs, sampleRate));
    QTEST(int(samples.size()), "samples");
    if (pitch <= 0.0) {
        QCOMPARE(audio::peak(samples) == 0, pitch == 0.0);
        return;
    }
    QCOMPARE_LT(qAbs(audio::frequency(samples, sampleRate) - pitch), 1.0);
    // About -6 dBFS from 10 ms on, with ramps at both ends so it does not click.
    const qsizetype ms = sampleRate / 1000;
    QCOMPARE_LE(audio::peak(samples), 16500);
    QCOMPARE_GE(audio::peak(samples.mid(10 * ms, 10 * ms)), 15500);
    QCOMPARE_LT(audio::peak(samples.first(ms)), 5000);
    QCOMPARE_LT(audio::peak(samples.last(ms)), 5000);
}

void TestBeep::withoutSoundServerReturnsAtOnce()
{
    // A socket nobody listens on: no audio output, even inside a desktop session.
    qputenv("PULSE_SERVER", "unix:/nonexistent/clepsa-no-sound-server");
    QElapsedTimer clock;
    clock.start();
    platform::Beep(440, 2000);
    platform::Beep(0, 2000);
    QCOMPARE_LT(clock.elapsed(), 500);
}

QTEST_GUILESS_MAIN(TestBeep)
#include "testbeep.moc"
