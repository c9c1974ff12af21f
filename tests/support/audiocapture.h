#pragma once

#include <QByteArray>
#include <QProcess>
#include <QString>
#include <QVector>

// Records what the desktop session's null sink plays, from its monitor
// source, with parec: mono, signed 16-bit, at sampleRate.
//
//     AudioCapture capture;
//     QVERIFY2(capture.start(), qPrintable(capture.errorString()));
//     ... play something ...
//     const QVector<qint16> samples = capture.stop();
//
// Needs the PulseAudio server of scripts/desktop-session (PULSE_SERVER).
class AudioCapture
{
public:
    static constexpr int sampleRate = 48000;

    explicit AudioCapture(const QString& source = QStringLiteral("clepsa_null.monitor"));
    ~AudioCapture();

    AudioCapture(const AudioCapture&) = delete;
    AudioCapture& operator=(const AudioCapture&) = delete;

    // Starts recording and returns once sound is flowing from the source,
    // so that nothing played afterwards is missed.
    bool start(int timeoutMs = 5000);

    // Lets `tailMs` more go by, so that the end of the sound arrives too, then
    // stops and returns everything recorded since start().
    QVector<qint16> stop(int tailMs = 300);

    QString errorString() const { return m_error; }

private:
    void collect();

    QString m_source;
    QProcess m_parec;
    QByteArray m_pcm;
    QString m_error;
};
