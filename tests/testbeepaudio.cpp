// Beep through the desktop session's sound server, listened to on the null
// sink's monitor.

#include "platform/beep.h"
#include "support/audioanalysis.h"
#include "support/audiocapture.h"

#include <QElapsedTimer>
#include <QTest>

#include <cmath>

namespace {

// Beep's samples peak near 16384; anything above this is the tone, not noise.
constexpr int loudThreshold = 1000;
constexpr int rate = AudioCapture::sampleRate;

QString describe(qint64 blockedMs, const audio::Span& span)
{
    return QStringLiteral("blocked %1 ms, heard %2 ms").arg(blockedMs).arg(span.milliseconds(rate));
}

} // namespace

class TestBeepAudio : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void tone_data();
    void tone();
    void quiet_data();
    void quiet();
    void beepsInARow();
};

void TestBeepAudio::initTestCase()
{
    AudioCapture probe;
    QVERIFY2(probe.start(), qPrintable(probe.errorString()
                                       + QStringLiteral(" (run under scripts/desktop-session)")));
    probe.stop(0);
}

void TestBeepAudio::tone_data()
{
    QTest::addColumn<int>("frequency");
    QTest::addColumn<int>("durationMs");

    QTest::newRow("440 Hz for 300 ms") << 440 << 300;
    QTest::newRow("1000 Hz for 300 ms") << 1000 << 300;
    QTest::newRow("2000 Hz for 80 ms") << 2000 << 80;
}

void TestBeepAudio::tone()
{
    QFETCH(int, frequency);
    QFETCH(int, durationMs);

    AudioCapture capture;
    QVERIFY2(capture.start(), qPrintable(capture.errorString()));
    QElapsedTimer clock;
    clock.start();
    platform::Beep(frequency, durationMs);
    const qint64 blockedMs = clock.elapsed();
    const QVector<qint16> recorded = capture.stop();

    const audio::Span span = audio::loudSpan(recorded, loudThreshold);
    QVERIFY2(!span.isEmpty(), "nothing was heard");
    const QString what = describe(blockedMs, span);

    // Beep returns when the tone is over: not before, and not long after.
    QVERIFY2(blockedMs >= durationMs - 10, qPrintable(what));
    QVERIFY2(blockedMs <= durationMs + 250, qPrintable(what));

    // All of the tone came out, and nothing more (the ramps at both ends
    // stay under the threshold for a fraction of a millisecond).
    QVERIFY2(std::abs(span.milliseconds(rate) - durationMs) <= 10, qPrintable(what));

    const QVector<qint16> tone = audio::slice(recorded, span);
    // In one piece: the sine crosses zero quickly, a dropout lasts far longer.
    const qsizetype gap = audio::longestQuietRun(tone, loudThreshold);
    QVERIFY2(gap < rate / 1000, qPrintable(QStringLiteral("silent for %1 samples inside the tone").arg(gap)));

    const double heardHz = audio::dominantFrequency(tone, rate, 50.0, 10000.0);
    QVERIFY2(std::abs(heardHz - frequency) <= 3.0, qPrintable(QStringLiteral("heard %1 Hz").arg(heardHz)));

    const int peak = audio::peak(tone);
    QVERIFY2(peak > 13000 && peak < 19000, qPrintable(QStringLiteral("peak %1").arg(peak)));
}

void TestBeepAudio::quiet_data()
{
    QTest::addColumn<int>("frequency");
    QTest::addColumn<int>("durationMs");
    QTest::addColumn<int>("expectedBlockMs");

    QTest::newRow("0 Hz is a pause of that length") << 0 << 300 << 300;
    QTest::newRow("negative frequency is a pause too") << -440 << 200 << 200;
    QTest::newRow("negative duration returns at once") << 440 << -300 << 0;
}

void TestBeepAudio::quiet()
{
    QFETCH(int, frequency);
    QFETCH(int, durationMs);
    QFETCH(int, expectedBlockMs);

    AudioCapture capture;
    QVERIFY2(capture.start(), qPrintable(capture.errorString()));
    QElapsedTimer clock;
    clock.start();
    platform::Beep(frequency, durationMs);
    const qint64 blockedMs = clock.elapsed();
    const QVector<qint16> recorded = capture.stop();

    QVERIFY2(blockedMs >= expectedBlockMs - 10 && blockedMs <= expectedBlockMs + 250,
             qPrintable(QStringLiteral("blocked %1 ms").arg(blockedMs)));
    QVERIFY(recorded.size() > rate / 10);
    QVERIFY2(audio::peak(recorded) <= loudThreshold,
             qPrintable(QStringLiteral("peak %1").arg(audio::peak(recorded))));
}

void TestBeepAudio::beepsInARow()
{
    // Hours are struck as a row of beeps: each must be heard, separately,
    // at its own pitch.
    AudioCapture capture;
    QVERIFY2(capture.start(), qPrintable(capture.errorString()));
    platform::Beep(600, 120);
    platform::Beep(0, 150);
    platform::Beep(900, 120);
    platform::Beep(0, 150);
    platform::Beep(1200, 120);
    const QVector<qint16> recorded = capture.stop();

    // Pauses of 150 ms part them; the sine's own zero crossings are far shorter
    // than the 50 ms taken as a parting here.
    const QList<audio::Span> beeps = audio::bursts(recorded, loudThreshold, rate / 20);
    QCOMPARE(beeps.size(), 3);
    const QList<double> expectedHz{600.0, 900.0, 1200.0};
    for (int i = 0; i < 3; ++i) {
        const audio::Span& beep = beeps[i];
        QVERIFY2(std::abs(beep.milliseconds(rate) - 120.0) <= 10.0,
                 qPrintable(QStringLiteral("beep %1 lasted %2 ms").arg(i).arg(beep.milliseconds(rate))));
        const double heardHz = audio::dominantFrequency(audio::slice(recorded, beep), rate, 50.0, 10000.0);
        QVERIFY2(std::abs(heardHz - expectedHz[i]) <= 5.0,
                 qPrintable(QStringLiteral("beep %1 at %2 Hz").arg(i).arg(heardHz)));
        if (i > 0) {
            // The 150 ms asked for, and the few tens of milliseconds it takes
            // to open and close a stream around each beep.
            const double pauseMs = (beep.first - beeps[i - 1].last) * 1000.0 / rate;
            QVERIFY2(pauseMs >= 145.0 && pauseMs <= 270.0, qPrintable(QStringLiteral("pause of %1 ms").arg(pauseMs)));
        }
    }
}

QTEST_MAIN(TestBeepAudio)
#include "testbeepaudio.moc"
