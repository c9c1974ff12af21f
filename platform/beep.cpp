#include "platform/beep.h"
#include "platform/beepsamples.h"

#include <QCoreApplication>
#include <QEventLoop>

namespace platform {

void Beep(int frequency, int durationMs)
{
    // Waiting needs an event loop, which needs an application object.
    if (!QCoreApplication::instance())
        return;
    QEventLoop loop;
    if (startBeep(frequency, durationMs, &loop, [&loop] { loop.quit(); }))
        loop.exec();
}

QByteArray beepSamples(int frequency, int durationMs, int sampleRate)
{
    return detail::BeepTone(frequency, durationMs, sampleRate).int16Samples();
}

} // namespace platform
