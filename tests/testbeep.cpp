// The beep's samples, and Beep itself where there is no sound server.

#include "platform/beep.h"
#include "support/audioanalysis.h"

#include <QElapsedTimer>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>

#include <cstdlib>

class TestBeep : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();

    void sampleCount_data();
    void sampleCount();
    void pitch_data();
    void pitch();
    void silence_data();
    void silence();
    void level_data();
    void level();
    void softEdges();

    void withoutSoundServer_data();
    void withoutSoundServer();

private:
    QTemporaryDir m_dir;
};

void TestBeep::initTestCase()
{
    // Point PulseAudio at a socket nobody listens on, with no daemon spawned
    // on demand: this process has no audio output at all, whether or not it
    // runs inside a desktop session.
    QVERIFY(m_dir.isValid());
    const QString config = m_dir.filePath(QStringLiteral("client.conf"));
    QFile file(config);
    QVERIFY(file.open(QIODevice::WriteOnly));
    file.write("autospawn = no\n");
    file.close();
    qputenv("PULSE_CLIENTCONFIG", config.toLocal8Bit());
    qputenv("PULSE_SERVER", "unix:" + m_dir.filePath(QStringLiteral("nothing-here")).toLocal8Bit());
}

void TestBeep::sampleCount_data()
{
    QTest::addColumn<int>("frequency");
    QTest::addColumn<int>("durationMs");
    QTest::addColumn<int>("sampleRate");
    QTest::addColumn<int>("expectedSamples");

    QTest::newRow("500 ms at 44100 Hz") << 440 << 500 << 44100 << 22050;
    QTest::newRow("1 s at 48000 Hz") << 1000 << 1000 << 48000 << 48000;
    QTest::newRow("a partial sample is left out") << 440 << 1 << 44100 << 44;
    QTest::newRow("silence is as long as a tone") << 0 << 250 << 8000 << 2000;
    QTest::newRow("ten minutes does not overflow") << 440 << 600000 << 8000 << 4800000;
    QTest::newRow("zero duration is empty") << 440 << 0 << 44100 << 0;
    QTest::newRow("negative duration is empty") << 440 << -500 << 44100 << 0;
    QTest::newRow("negative duration of silence is empty") << 0 << -1 << 44100 << 0;
}

void TestBeep::sampleCount()
{
    QFETCH(int, frequency);
    QFETCH(int, durationMs);
    QFETCH(int, sampleRate);
    QFETCH(int, expectedSamples);

    const QByteArray pcm = platform::beepSamples(frequency, durationMs, sampleRate);
    QCOMPARE(pcm.size(), qsizetype(expectedSamples) * 2);
}

void TestBeep::pitch_data()
{
    QTest::addColumn<int>("frequency");
    QTest::addColumn<int>("sampleRate");
    QTest::addColumn<double>("expectedHz");

    QTest::newRow("440 Hz") << 440 << 44100 << 440.0;
    QTest::newRow("1000 Hz") << 1000 << 48000 << 1000.0;
    QTest::newRow("7000 Hz") << 7000 << 44100 << 7000.0;
    QTest::newRow("low pitch at a low rate") << 100 << 8000 << 100.0;
    // 30 kHz sampled at 44.1 kHz would come out as a 14.1 kHz alias; it is
    // held at 45 % of the rate instead.
    QTest::newRow("above what the rate carries") << 30000 << 44100 << 19845.0;
}

void TestBeep::pitch()
{
    QFETCH(int, frequency);
    QFETCH(int, sampleRate);
    QFETCH(double, expectedHz);

    const QVector<qint16> samples = audio::fromPcm16(platform::beepSamples(frequency, 500, sampleRate));
    const double measured = audio::dominantFrequency(samples, sampleRate);
    QVERIFY2(std::abs(measured - expectedHz) < 1.0,
             qPrintable(QStringLiteral("measured %1 Hz").arg(measured)));
}

void TestBeep::silence_data()
{
    QTest::addColumn<int>("frequency");

    QTest::newRow("0 Hz") << 0;
    QTest::newRow("negative frequency counts as 0 Hz") << -440;
}

void TestBeep::silence()
{
    QFETCH(int, frequency);

    const QVector<qint16> samples = audio::fromPcm16(platform::beepSamples(frequency, 200, 44100));
    QCOMPARE(samples.size(), 8820);
    QCOMPARE(audio::peak(samples), 0);
}

void TestBeep::level_data()
{
    QTest::addColumn<int>("frequency");
    QTest::addColumn<int>("sampleRate");

    QTest::newRow("440 Hz") << 440 << 44100;
    QTest::newRow("7000 Hz") << 7000 << 48000;
}

void TestBeep::level()
{
    QFETCH(int, frequency);
    QFETCH(int, sampleRate);

    // About half of full scale (-6 dBFS): loud enough, never clipped, and the
    // same whatever the pitch.
    const QVector<qint16> samples = audio::fromPcm16(platform::beepSamples(frequency, 300, sampleRate));
    const int peak = audio::peak(samples);
    QVERIFY2(peak >= 15500 && peak <= 16500, qPrintable(QStringLiteral("peak %1").arg(peak)));
    // A steady tone: no sample in the middle falls far under the envelope.
    const QVector<qint16> middle = samples.mid(samples.size() / 4, samples.size() / 2);
    QCOMPARE(audio::peak(middle), peak);
}

void TestBeep::softEdges()
{
    // 300 ms at 1000 Hz, 48000 Hz: 14400 samples. The ends ramp up and down
    // over a few milliseconds instead of jumping, which would click.
    const QVector<qint16> samples = audio::fromPcm16(platform::beepSamples(1000, 300, 48000));
    QCOMPARE(samples.size(), 14400);
    QCOMPARE(samples.first(), qint16(0));
    QCOMPARE(samples.last(), qint16(0));
    // First and last millisecond (48 samples): well under full level.
    QVERIFY(audio::peak(samples.mid(0, 48)) < 5000);
    QVERIFY(audio::peak(samples.mid(14400 - 48)) < 5000);
    // From 10 ms on, the full level is reached.
    QVERIFY(audio::peak(samples.mid(480, 480)) > 15500);
    QVERIFY(audio::peak(samples.mid(14400 - 960, 480)) > 15500);
}

void TestBeep::withoutSoundServer_data()
{
    QTest::addColumn<int>("frequency");
    QTest::addColumn<int>("durationMs");

    QTest::newRow("tone") << 440 << 2000;
    QTest::newRow("silence") << 0 << 2000;
    QTest::newRow("negative values") << -440 << -2000;
}

void TestBeep::withoutSoundServer()
{
    QFETCH(int, frequency);
    QFETCH(int, durationMs);

    QElapsedTimer clock;
    clock.start();
    platform::Beep(frequency, durationMs);
    QVERIFY2(clock.elapsed() < 500, qPrintable(QStringLiteral("took %1 ms").arg(clock.elapsed())));
}

QTEST_GUILESS_MAIN(TestBeep)
#include "testbeep.moc"
