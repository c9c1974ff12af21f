#include "support/audioanalysis.h"

#include <algorithm>
#include <cmath>
#include <complex>
#include <cstdlib>
#include <cstring>
#include <vector>

namespace audio {

namespace {
constexpr double twoPi = 6.283185307179586;
}

QVector<qint16> fromPcm16(const QByteArray& pcm)
{
    QVector<qint16> samples(pcm.size() / qsizetype(sizeof(qint16)));
    if (samples.isEmpty())
        return samples;
    std::memcpy(samples.data(), pcm.constData(), size_t(samples.size()) * sizeof(qint16));
    return samples;
}

Span loudSpan(const QVector<qint16>& samples, int threshold)
{
    Span span;
    for (qsizetype i = 0; i < samples.size(); ++i) {
        if (std::abs(int(samples[i])) > threshold) {
            if (span.first < 0)
                span.first = i;
            span.last = i;
        }
    }
    return span;
}

QList<Span> bursts(const QVector<qint16>& samples, int threshold, qsizetype minGap)
{
    QList<Span> result;
    Span current;
    for (qsizetype i = 0; i < samples.size(); ++i) {
        if (std::abs(int(samples[i])) <= threshold)
            continue;
        if (!current.isEmpty() && i - current.last > minGap) {
            result.append(current);
            current = Span();
        }
        if (current.isEmpty())
            current.first = i;
        current.last = i;
    }
    if (!current.isEmpty())
        result.append(current);
    return result;
}

QVector<qint16> slice(const QVector<qint16>& samples, const Span& span)
{
    if (span.isEmpty())
        return samples;
    return samples.mid(span.first, span.length());
}

int peak(const QVector<qint16>& samples)
{
    int result = 0;
    for (qint16 s : samples)
        result = std::max(result, std::abs(int(s)));
    return result;
}

qsizetype longestQuietRun(const QVector<qint16>& samples, int threshold)
{
    qsizetype longest = 0;
    qsizetype run = 0;
    for (qint16 s : samples) {
        run = std::abs(int(s)) <= threshold ? run + 1 : 0;
        longest = std::max(longest, run);
    }
    return longest;
}

namespace {

// Energy of one frequency over Hann-windowed samples (Goertzel).
double energyAt(const QVector<double>& windowed, int sampleRate, double hz)
{
    const double coefficient = 2.0 * std::cos(twoPi * hz / sampleRate);
    double previous = 0.0;
    double beforePrevious = 0.0;
    for (double x : windowed) {
        const double current = x + coefficient * previous - beforePrevious;
        beforePrevious = previous;
        previous = current;
    }
    return previous * previous + beforePrevious * beforePrevious
        - coefficient * previous * beforePrevious;
}

// In-place radix-2 FFT; the size is a power of two.
void fft(std::vector<std::complex<double>>& a)
{
    const size_t n = a.size();
    for (size_t i = 1, j = 0; i < n; ++i) {
        size_t bit = n >> 1;
        for (; j & bit; bit >>= 1)
            j ^= bit;
        j ^= bit;
        if (i < j)
            std::swap(a[i], a[j]);
    }
    for (size_t length = 2; length <= n; length <<= 1) {
        const std::complex<double> step = std::polar(1.0, -twoPi / double(length));
        for (size_t start = 0; start < n; start += length) {
            std::complex<double> w = 1.0;
            for (size_t k = 0; k < length / 2; ++k) {
                const std::complex<double> even = a[start + k];
                const std::complex<double> odd = a[start + k + length / 2] * w;
                a[start + k] = even + odd;
                a[start + k + length / 2] = even - odd;
                w *= step;
            }
        }
    }
}

} // namespace

double dominantFrequency(const QVector<qint16>& samples, int sampleRate, double minHz, double maxHz)
{
    const qsizetype n = samples.size();
    if (n < 2 || sampleRate <= 0)
        return 0.0;
    QVector<double> windowed(n);
    for (qsizetype i = 0; i < n; ++i) {
        const double hann = 0.5 - 0.5 * std::cos(twoPi * double(i) / double(n - 1));
        windowed[i] = samples[i] * hann;
    }
    maxHz = std::min(maxHz, sampleRate / 2.0);

    // An FFT finds the strongest bin; Goertzel steps of a fiftieth of a bin
    // around it then find the top of the peak.
    qsizetype size = 1;
    while (size < n)
        size *= 2;
    std::vector<std::complex<double>> spectrum(size_t(size), 0.0);
    for (qsizetype i = 0; i < n; ++i)
        spectrum[size_t(i)] = windowed[i];
    fft(spectrum);

    const double bin = double(sampleRate) / double(size);
    double best = minHz;
    double bestEnergy = -1.0;
    const qsizetype firstBin = qsizetype(std::ceil(minHz / bin));
    const qsizetype lastBin = std::min<qsizetype>(qsizetype(maxHz / bin), size / 2);
    for (qsizetype k = firstBin; k <= lastBin; ++k) {
        const double e = std::norm(spectrum[size_t(k)]);
        if (e > bestEnergy) {
            bestEnergy = e;
            best = double(k) * bin;
        }
    }
    const double centre = best;
    bestEnergy = -1.0;
    for (double hz = std::max(minHz, centre - bin); hz <= std::min(maxHz, centre + bin); hz += bin / 50.0) {
        const double e = energyAt(windowed, sampleRate, hz);
        if (e > bestEnergy) {
            bestEnergy = e;
            best = hz;
        }
    }
    return best;
}

} // namespace audio
