#pragma once

#include <QProcess>
#include <QString>
#include <QVector>

// Records, with parec, what the null sink of scripts/desktop-session plays:
// mono, signed 16-bit, at sampleRate.
class AudioCapture
{
public:
    static constexpr int sampleRate = 48000;

    // Returns once sound flows from the sink's monitor, so nothing played
    // afterwards is missed.
    bool start();
    // Everything recorded since start(), with 300 ms more for the end of the
    // sound to come through.
    QVector<qint16> stop();
    QString errorString() const { return m_error; }

private:
    QProcess m_parec;
    QString m_error;
};
