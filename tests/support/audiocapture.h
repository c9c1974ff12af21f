#pragma once

// What the sound server played, and measurements on mono 16-bit PCM, for
// tests that check what was played.

#include <QByteArray>
#include <QProcess>
#include <QString>
#include <QVector>

namespace audio {

// Native-endian signed 16-bit PCM, as beepSamples and parec produce.
QVector<qint16> fromPcm16(const QByteArray& pcm);
int peak(const QVector<qint16>& samples);
// The pitch of a steady tone, from its rising zero crossings; 0 when there are
// fewer than two. A dropout inside the tone lowers it.
double frequency(const QVector<qint16>& samples, int sampleRate);

} // namespace audio

// Records, with parec, what the null sink of scripts/desktop-session plays.
class AudioCapture
{
public:
    // The loud part of a recording: how long it lasted, and its pitch.
    struct Heard
    {
        double ms = 0.0;
        double hz = 0.0;
        QString text() const { return QStringLiteral("heard %1 ms at %2 Hz").arg(ms).arg(hz); }
    };

    // Returns once sound flows from the sink's monitor, so nothing played
    // afterwards is missed; false outside scripts/desktop-session.
    bool start();
    // What was heard since start(), with 300 ms more for the end of the
    // sound to come through.
    Heard stop();

private:
    QProcess m_parec;
};
