#include "platform/beep.h"
#include "platform/beepsamples.h"

namespace platform {

QByteArray beepSamples(int frequency, int durationMs, int sampleRate)
{
    return detail::BeepTone(frequency, durationMs, sampleRate).int16Samples();
}

} // namespace platform
