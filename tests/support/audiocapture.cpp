#include "support/audiocapture.h"

#include "support/audioanalysis.h"

#include <QDeadlineTimer>

#include <algorithm>
#include <cstdlib>

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
