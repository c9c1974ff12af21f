#include "support/audiocapture.h"

#include "support/audioanalysis.h"

#include <QDeadlineTimer>

bool AudioCapture::start()
{
    m_parec.start(QStringLiteral("parec"),
                  {QStringLiteral("--device=clepsa_null.monitor"), QStringLiteral("--raw"),
                   QStringLiteral("--format=s16le"), QStringLiteral("--rate=%1").arg(sampleRate),
                   QStringLiteral("--channels=1"), QStringLiteral("--latency-msec=20")});
    // A sink's monitor sends silence all along: the first bytes show the stream
    // is connected. They come before anything worth hearing, so they go.
    if (!m_parec.waitForReadyRead(5000)) {
        m_error = QStringLiteral("no sound from parec (run under scripts/desktop-session): ")
            + (m_parec.error() == QProcess::FailedToStart
                   ? m_parec.errorString()
                   : QString::fromLocal8Bit(m_parec.readAllStandardError()).trimmed());
        return false;
    }
    m_parec.readAllStandardOutput();
    return true;
}

QVector<qint16> AudioCapture::stop()
{
    // The end of the sound is still on its way. Waiting moves what parec
    // writes into QProcess's buffer, so that its pipe never fills up.
    const QDeadlineTimer tail(300);
    while (!tail.hasExpired())
        m_parec.waitForReadyRead(int(tail.remainingTime()));
    m_parec.terminate();
    m_parec.waitForFinished(2000);
    return audio::fromPcm16(m_parec.readAllStandardOutput());
}
