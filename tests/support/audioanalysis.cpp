#include "support/audioanalysis.h"

#include <algorithm>
#include <cstdlib>
#include <cstring>

namespace audio {

QVector<qint16> fromPcm16(const QByteArray& pcm)
{
    QVector<qint16> samples(pcm.size() / qsizetype(sizeof(qint16)));
    if (!samples.isEmpty())
        std::memcpy(samples.data(), pcm.constData(), size_t(samples.size()) * sizeof(qint16));
    return samples;
}

int peak(const QVector<qint16>& samples)
{
    int result = 0;
    for (qint16 s : samples)
        result = std::max(result, std::abs(int(s)));
    return result;
}

double frequency(const QVector<qint16>& samples, int sampleRate)
{
    // Each crossing is placed between its two samples by linear interpolation,
    // which keeps the error to a fraction of a hertz even near the Nyquist rate.
    double first = -1.0;
    double last = -1.0;
    int periods = -1;
    for (qsizetype i = 1; i < samples.size(); ++i) {
        if (samples[i - 1] <= 0 && samples[i] > 0) {
            last = double(i - 1) + double(samples[i - 1]) / (samples[i - 1] - samples[i]);
            if (first < 0.0)
                first = last;
            ++periods;
        }
    }
    return periods > 0 ? periods * double(sampleRate) / (last - first) : 0.0;
}

} // namespace audio
