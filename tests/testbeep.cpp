// The beep's samples, and Beep itself where there is no sound server.

#include "platform/beep.h"
#include "support/audioanalysis.h"

#include <QElapsedTimer>
#include <QTest>

class TestBeep : public QObject
{
    Q_OBJECT

private slots:
    void length_data();
    void length();
    void tone_data();
    void tone();
    void zeroHertzIsSilence();
    void withoutSoundServerReturnsAtOnce();
};

void TestBeep::length_data()
{
    QTest::addColumn<int>("durationMs");
    QTest::addColumn<int>("expectedSamples");

    QTest::newRow("a partial sample is left out") << 1 << 44;
    QTest::newRow("a minute does not overflow") << 60000 << 2646000;
    QTest::newRow("negative duration is empty") << -500 << 0;
}

void TestBeep::length()
{
    QFETCH(int, durationMs);
    QFETCH(int, expectedSamples);
    QCOMPARE(platform::beepSamples(440, durationMs, 44100).size(), qsizetype(expectedSamples) * 2);
}

void TestBeep::tone_data()
{
    QTest::addColumn<int>("frequency");
    QTest::addColumn<int>("sampleRate");
    QTest::addColumn<double>("expectedHz");

    QTest::newRow("440 Hz") << 440 << 44100 << 440.0;
    QTest::newRow("1000 Hz at 48000 Hz") << 1000 << 48000 << 1000.0;
    QTest::newRow("7000 Hz") << 7000 << 44100 << 7000.0;
    QTest::newRow("held at 45 % of the rate, not aliased") << 30000 << 44100 << 19845.0;
}

void TestBeep::tone()
{
    QFETCH(int, frequency);
    QFETCH(int, sampleRate);
    QFETCH(double, expectedHz);

    const QVector<qint16> samples = audio::fromPcm16(platform::beepSamples(frequency, 300, sampleRate));
    QCOMPARE_LT(qAbs(audio::frequency(samples, sampleRate) - expectedHz), 1.0);
    // About -6 dBFS from 10 ms on, with ramps at both ends so it does not click.
    const qsizetype ms = sampleRate / 1000;
    QCOMPARE_LE(audio::peak(samples), 16500);
    QCOMPARE_GE(audio::peak(samples.mid(10 * ms, 10 * ms)), 15500);
    QCOMPARE_LT(audio::peak(samples.first(ms)), 5000);
    QCOMPARE_LT(audio::peak(samples.last(ms)), 5000);
}

void TestBeep::zeroHertzIsSilence()
{
    QCOMPARE(platform::beepSamples(0, 200, 44100), QByteArray(8820 * 2, '\0'));
    QCOMPARE(platform::beepSamples(-440, 200, 44100), QByteArray(8820 * 2, '\0'));
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
