#pragma once

#include <QByteArray>

#include <functional>

class QObject;

namespace platform {

// Starts a sine tone of `frequency` Hz for `durationMs` milliseconds and
// returns at once. 0 Hz is silence of that length. Negative values count as 0.
//
// One tone plays at a time: while one plays (or pauses), a new request is
// dropped, so that tones never sound inside one another. Nothing is started
// either without an audio output or with no length. In all these cases it
// returns false and `finished` is never called.
//
// Otherwise it returns true, and `finished` runs once from the event loop when
// the tone has ended, unless `context` has been destroyed by then.
bool startBeep(int frequency, int durationMs, QObject* context, std::function<void()> finished);

// Plays a tone as startBeep() does and returns when it has ended, or at once
// when it was not started. The wait runs a local event loop, so timers and
// other events of the calling thread keep being delivered meanwhile.
void Beep(int frequency, int durationMs);

// The PCM samples Beep plays: mono, signed 16-bit in native byte order, at
// `sampleRate` samples per second. A frequency the sample rate cannot carry
// is lowered to the highest one it can (see beepsamples.h).
QByteArray beepSamples(int frequency, int durationMs, int sampleRate);

} // namespace platform
