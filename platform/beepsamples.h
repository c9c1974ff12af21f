#pragma once

// The tone behind platform::Beep, shared by every platform's implementation.

#include <QByteArray>
#include <QtGlobal>

#include <algorithm>
#include <cmath>
#include <cstring>

namespace platform::detail {

class BeepTone
{
public:
    // About -6 dBFS: clearly audible without being harsh.
    static constexpr double amplitude = 0.5;
    // Ramps at both ends, so the tone starts and stops without a click.
    static constexpr int fadeMs = 5;
    // A sine wave needs a bit more than two samples per period; past this share
    // of the sample rate the tone would alias to a lower pitch, so it is held here.
    static constexpr double highestShareOfRate = 0.45;
    static constexpr double twoPi = 6.283185307179586;

    BeepTone(int frequency, int durationMs, int sampleRate)
        : m_sampleRate(std::max(sampleRate, 0))
    {
        const qint64 duration = std::max(durationMs, 0);
        m_count = duration * m_sampleRate / 1000;
        m_frequency = std::min<double>(std::max(frequency, 0), highestShareOfRate * m_sampleRate);
        m_fade = std::min<qint64>(qint64(fadeMs) * m_sampleRate / 1000, m_count / 2);
    }

    qint64 sampleCount() const { return m_count; }
    int sampleRate() const { return m_sampleRate; }
    double frequency() const { return m_frequency; }

    // Sample `i` (0 <= i < sampleCount()) in [-1, 1].
    double valueAt(qint64 i) const
    {
        if (m_frequency <= 0.0)
            return 0.0;
        double gain = amplitude;
        const qint64 fromEnd = m_count - 1 - i;
        if (i < m_fade)
            gain *= double(i) / m_fade;
        else if (fromEnd < m_fade)
            gain *= double(fromEnd) / m_fade;
        // Whole periods are taken out of the phase first, so that late samples
        // of a long tone are as precise as early ones.
        const double cycles = std::fmod(m_frequency * double(i) / m_sampleRate, 1.0);
        return gain * std::sin(twoPi * cycles);
    }

    static qint16 toInt16(double value)
    {
        return qint16(std::lround(std::clamp(value, -1.0, 1.0) * 32767.0));
    }

    QByteArray int16Samples() const
    {
        QByteArray pcm(qsizetype(m_count * qint64(sizeof(qint16))), '\0');
        char* out = pcm.data();
        for (qint64 i = 0; i < m_count; ++i) {
            const qint16 sample = toInt16(valueAt(i));
            std::memcpy(out + i * qint64(sizeof(qint16)), &sample, sizeof sample);
        }
        return pcm;
    }

private:
    int m_sampleRate = 0;
    qint64 m_count = 0;
    double m_frequency = 0.0;
    qint64 m_fade = 0;
};

} // namespace platform::detail
