#include "support/audiocapture.h"

#include "support/audioanalysis.h"

#include <QDeadlineTimer>

#include <algorithm>

AudioCapture::AudioCapture(const QString& source)
    : m_source(source)
{
}

AudioCapture::~AudioCapture()
{
    if (m_parec.state() != QProcess::NotRunning) {
        m_parec.kill();
        m_parec.waitForFinished(2000);
    }
}

void AudioCapture::collect()
{
    m_pcm += m_parec.readAllStandardOutput();
}

bool AudioCapture::start(int timeoutMs)
{
    m_pcm.clear();
    m_error.clear();
    m_parec.setProgram(QStringLiteral("parec"));
    m_parec.setArguments({
        QStringLiteral("--device=") + m_source,
        QStringLiteral("--raw"),
        QStringLiteral("--format=s16le"),
        QStringLiteral("--rate=%1").arg(sampleRate),
        QStringLiteral("--channels=1"),
        // Small fragments: the recording keeps up with what is played.
        QStringLiteral("--latency-msec=20"),
    });
    m_parec.start();
    if (!m_parec.waitForStarted(timeoutMs)) {
        m_error = QStringLiteral("cannot start parec: ") + m_parec.errorString();
        return false;
    }
    // The monitor of a running sink delivers silence all the time; the first
    // bytes prove the stream is connected.
    QDeadlineTimer deadline(timeoutMs);
    while (m_pcm.isEmpty()) {
        if (m_parec.state() == QProcess::NotRunning) {
            m_error = QStringLiteral("parec stopped: ")
                + QString::fromLocal8Bit(m_parec.readAllStandardError()).trimmed();
            return false;
        }
        if (deadline.hasExpired()) {
            m_error = QStringLiteral("no sound from %1 after %2 ms").arg(m_source).arg(timeoutMs);
            return false;
        }
        m_parec.waitForReadyRead(50);
        collect();
    }
    // What came before start() returned is not part of the recording.
    m_pcm.clear();
    return true;
}

QVector<qint16> AudioCapture::stop(int tailMs)
{
    // Keeps reading meanwhile, so that parec's pipe never fills up.
    QDeadlineTimer tail(tailMs);
    while (!tail.hasExpired() && m_parec.state() != QProcess::NotRunning) {
        m_parec.waitForReadyRead(int(std::max<qint64>(tail.remainingTime(), 1)));
        collect();
    }
    m_parec.terminate();
    if (!m_parec.waitForFinished(2000)) {
        m_parec.kill();
        m_parec.waitForFinished(2000);
    }
    collect();
    // A half sample at the end is dropped by fromPcm16.
    return audio::fromPcm16(m_pcm);
}
