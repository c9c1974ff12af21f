#include "support/audiocapture.h"

#include <QDeadlineTimer>

#include <algorithm>
#include <cstdlib>
#include <cstring>

namespace audio {

QVector<qint16> fromPcm16(const QByteArray& pcm)
{
    QVector<qint16> samples(pcm.size() / qsizetype(sizeof(qint16)));
    if (!samples.isEmpty())
        std::memcpy(samples.data(), pcm.constData(), size_t(samples.size()) * sizeof(qint16));
    return samples;
}

int peak(const QVector<qint16>& samples)
{
    int result = 0;
    for (qint16 s : samples)
        result = std::max(result, std::abs(int(s)));
    return result;
}

double frequency(const QVector<qint16>& samples, int sampleRate)
{
    // Each crossing is placed between its two samples by linear interpolation,
    // which keeps the error to a fraction of a hertz even near the Nyquist rate.
    double first = -1.0;
    double last = -1.0;
    int periods = -1;
    for (qsizetype i = 1; i < samples.size(); ++i) {
        if (samples[i - 1] <= 0 && samples[i] > 0) {
            last = double(i - 1) + double(samples[i - 1]) / (samples[i - 1] - samples[i]);
            if (first < 0.0)
                first = last;
            ++periods;
        }
    }
    return periods > 0 ? periods * double(sampleRate) / (last - first) : 0.0;
}

} // namespace audio

namespace {

constexpr int kSampleRate = 48000;

} // namespace

bool AudioCapture::start()
{
    m_parec.start(QStringLiteral("parec"),
                  {"--device=clepsa_null.monitor", "--raw", "--format=s16le",
                   QStringLiteral("--rate=%1").arg(kSampleRate), "--channels=1", "--latency-msec=20"});
    // A sink's monitor sends silence all along: the first bytes show the stream
    // is connected. They come before anything worth hearing, so they go.
    if (!m_parec.waitForReadyRead(5000))
        return false;
    m_parec.readAllStandardOutput();
    return true;
}

AudioCapture::Heard AudioCapture::stop()
{
    // The end of the sound is still on its way. Waiting moves what parec
    // writes into QProcess's buffer, so that its pipe never fills up.
    const QDeadlineTimer tail(300);
    while (!tail.hasExpired())
        m_parec.waitForReadyRead(int(tail.remainingTime()));
    m_parec.terminate();
    m_parec.waitForFinished(2000);
    const QVector<qint16> samples = audio::fromPcm16(m_parec.readAllStandardOutput());
    // Beep's samples peak near 16384; above 1000 is the tone, not its ramps.
    const auto loud = [](qint16 sample) { return std::abs(int(sample)) > 1000; };
    const auto first = std::find_if(samples.begin(), samples.end(), loud);
    const auto end = std::find_if(samples.rbegin(), samples.rend(), loud).base();
    if (first >= end)
        return {};
    const QVector<qint16> tone(first, end);
    return {tone.size() * 1000.0 / kSampleRate, audio::frequency(tone, kSampleRate)};
}
