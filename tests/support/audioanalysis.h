#pragma once

// Measurements on mono 16-bit PCM, for tests that check what was played.

#include <QByteArray>
#include <QVector>

namespace audio {

// Native-endian signed 16-bit PCM, as beepSamples and parec produce.
QVector<qint16> fromPcm16(const QByteArray& pcm);

int peak(const QVector<qint16>& samples);

// The pitch of a steady tone, from its rising zero crossings; 0 when there are
// fewer than two. A dropout inside the tone lowers it.
double frequency(const QVector<qint16>& samples, int sampleRate);

} // namespace audio
