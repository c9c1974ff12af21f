#pragma once

// Measurements on mono 16-bit PCM, for tests that check what was played.

#include <QByteArray>
#include <QList>
#include <QVector>

namespace audio {

// Native-endian signed 16-bit PCM, as platform::beepSamples and AudioCapture
// produce, as a vector of samples.
QVector<qint16> fromPcm16(const QByteArray& pcm);

// The stretch from the first to the last sample whose magnitude exceeds a
// threshold; empty when none does.
struct Span
{
    qsizetype first = -1;
    qsizetype last = -1;

    bool isEmpty() const { return first < 0; }
    qsizetype length() const { return isEmpty() ? 0 : last - first + 1; }
    double milliseconds(int sampleRate) const { return length() * 1000.0 / sampleRate; }
};
Span loudSpan(const QVector<qint16>& samples, int threshold);

// The separate sounds in a recording: loud stretches parted by at least
// `minGap` samples at or below the threshold.
QList<Span> bursts(const QVector<qint16>& samples, int threshold, qsizetype minGap);

// The samples of `span` (all of them for an empty span).
QVector<qint16> slice(const QVector<qint16>& samples, const Span& span);

// Largest magnitude.
int peak(const QVector<qint16>& samples);

// Longest run of consecutive samples whose magnitude stays at or below
// `threshold`: a dropout inside a tone shows up as a long run.
qsizetype longestQuietRun(const QVector<qint16>& samples, int threshold);

// The frequency carrying the most energy between minHz and maxHz, to a
// fraction of a hertz for a steady tone.
double dominantFrequency(const QVector<qint16>& samples, int sampleRate,
                         double minHz = 20.0, double maxHz = 20000.0);

} // namespace audio
