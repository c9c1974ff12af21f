// Beep through the desktop session's sound server, heard on the null sink.

#include "platform/beep.h"
#include "support/audioanalysis.h"
#include "support/audiocapture.h"

#include <QElapsedTimer>
#include <QTest>

#include <cmath>

class TestBeepAudio : public QObject
{
    Q_OBJECT

private slots:
    void tone_data();
    void tone();
};

void TestBeepAudio::tone_data()
{
    QTest::addColumn<int>("frequency");
    QTest::addColumn<int>("heardMs");

    QTest::newRow("440 Hz") << 440 << 300;
    QTest::newRow("1000 Hz") << 1000 << 300;
    QTest::newRow("0 Hz is a pause as long") << 0 << 0;
}

void TestBeepAudio::tone()
{
    QFETCH(int, frequency);
    QFETCH(int, heardMs);
    constexpr int rate = AudioCapture::sampleRate;

    AudioCapture capture;
    QVERIFY2(capture.start(), qPrintable(capture.errorString()));
    QElapsedTimer clock;
    clock.start();
    platform::Beep(frequency, 300);
    const qint64 blockedMs = clock.elapsed();
    const QVector<qint16> recorded = capture.stop();

    // Beep's samples peak near 16384; above 1000 is the tone, not the ramps.
    const audio::Span span = audio::loudSpan(recorded, 1000);
    const double heardHz = audio::frequency(recorded.mid(span.first, span.length()), rate);
    const QString what = QStringLiteral("blocked %1 ms, heard %2 ms at %3 Hz")
                             .arg(blockedMs).arg(span.milliseconds(rate)).arg(heardHz);
    // Returns when the tone is over: not before, and not long after.
    QVERIFY2(blockedMs >= 290 && blockedMs <= 550, qPrintable(what));
    QVERIFY2(std::abs(span.milliseconds(rate) - heardMs) <= 10, qPrintable(what));
    QVERIFY2(std::abs(heardHz - frequency) <= 3.0, qPrintable(what));
}

QTEST_MAIN(TestBeepAudio)
#include "testbeepaudio.moc"
