#pragma once

#include <QByteArray>

namespace platform {

// Plays a sine tone of `frequency` Hz for `durationMs` milliseconds and returns
// when the tone has ended. 0 Hz is silence of that length. Without an audio
// output it returns at once, without error. Negative values count as 0.
//
// On Unix the wait runs a local event loop, so timers and other events of the
// calling thread keep being delivered while the tone plays.
void Beep(int frequency, int durationMs);

// The PCM samples Beep plays: mono, signed 16-bit in native byte order, at
// `sampleRate` samples per second. A frequency the sample rate cannot carry
// is lowered to the highest one it can (see beepsamples.h).
QByteArray beepSamples(int frequency, int durationMs, int sampleRate);

} // namespace platform
