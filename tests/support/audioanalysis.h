#pragma once

// Measurements on mono 16-bit PCM, for tests that check what was played.

#include <QByteArray>
#include <QVector>

namespace audio {

// Native-endian signed 16-bit PCM, as beepSamples and AudioCapture produce.
QVector<qint16> fromPcm16(const QByteArray& pcm);

// From the first to the last sample louder than a threshold; empty when none is.
struct Span
{
    qsizetype first = -1;
    qsizetype last = -1;

    bool isEmpty() const { return first < 0; }
    qsizetype length() const { return isEmpty() ? 0 : last - first + 1; }
    double milliseconds(int sampleRate) const { return length() * 1000.0 / sampleRate; }
};
Span loudSpan(const QVector<qint16>& samples, int threshold);

int peak(const QVector<qint16>& samples);

// The pitch of a steady tone, from its rising zero crossings; 0 when there are
// fewer than two. A dropout inside the tone lowers it.
double frequency(const QVector<qint16>& samples, int sampleRate);

} // namespace audio
