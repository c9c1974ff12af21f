#include "platform/beep.h"
#include "platform/beepsamples.h"

#include <QAudioDevice>
#include <QAudioFormat>
#include <QAudioSink>
#include <QCoreApplication>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QIODevice>
#include <QMediaDevices>
#include <QPointer>
#include <QTimer>

#include <algorithm>
#include <cstring>
#include <memory>

namespace platform {

namespace {

// The sound server's buffer for the beep: enough to ride out a busy event loop,
// short enough that the tone starts and ends close to when it should.
constexpr int bufferMs = 100;
// Silence ahead of the tone. A new stream joins a sink that has already mixed
// a little ahead, and the server may skip that much of its first data; that
// way it skips silence, not the start of the tone.
constexpr int leadInMs = 30;
// What the server has taken from the stream, it has only mixed, a little ahead
// of what the speakers play; and stopping the stream takes back whatever of
// it has not been played yet. So Beep waits until this much silence after the
// tone has been taken as well, which is more than that head start.
constexpr int tailMs = 50;
// How often the buffer is topped up while waiting.
constexpr int feedIntervalMs = 5;
// How long past the tone's own length Beep waits for the sound server before
// giving up, so that a stuck output can never hang the clock.
constexpr int safetyMarginMs = 1500;

// Renders some silence, a BeepTone, then silence again, in whatever sample
// format and channel count the output takes, as the output asks for frames.
class ToneWriter
{
public:
    ToneWriter(const detail::BeepTone& tone, const QAudioFormat& format, int leadInMs)
        : m_tone(tone)
        , m_format(format)
        , m_leadIn(qint64(leadInMs) * format.sampleRate() / 1000)
    {
    }

    // Bytes up to the end of the tone and `afterMs` more.
    qint64 bytesPast(int afterMs) const
    {
        const qint64 after = qint64(afterMs) * m_format.sampleRate() / 1000;
        return (m_leadIn + m_tone.sampleCount() + after) * m_format.bytesPerFrame();
    }

    QByteArray next(qint64 maxBytes)
    {
        const int frameBytes = m_format.bytesPerFrame();
        const int sampleBytes = m_format.bytesPerSample();
        const qint64 frames = maxBytes / frameBytes;
        QByteArray chunk(qsizetype(frames * frameBytes), '\0');
        char* data = chunk.data();
        for (qint64 f = 0; f < frames; ++f, ++m_next) {
            const qint64 i = m_next - m_leadIn;
            const double value = i >= 0 && i < m_tone.sampleCount() ? m_tone.valueAt(i) : 0.0;
            for (int c = 0; c < m_format.channelCount(); ++c)
                writeSample(data + f * frameBytes + c * sampleBytes, value);
        }
        return chunk;
    }

private:
    void writeSample(char* out, double value) const
    {
        value = std::clamp(value, -1.0, 1.0);
        switch (m_format.sampleFormat()) {
        case QAudioFormat::UInt8: {
            const quint8 s = quint8(std::lround(128.0 + value * 127.0));
            std::memcpy(out, &s, sizeof s);
            break;
        }
        case QAudioFormat::Int16: {
            const qint16 s = detail::BeepTone::toInt16(value);
            std::memcpy(out, &s, sizeof s);
            break;
        }
        case QAudioFormat::Int32: {
            const qint32 s = qint32(std::lround(value * 2147483647.0));
            std::memcpy(out, &s, sizeof s);
            break;
        }
        case QAudioFormat::Float: {
            const float s = float(value);
            std::memcpy(out, &s, sizeof s);
            break;
        }
        default:
            break;
        }
    }

    detail::BeepTone m_tone;
    QAudioFormat m_format;
    qint64 m_leadIn = 0;
    qint64 m_next = 0;
};

// Mono 16-bit at a usual rate when the output takes it; otherwise the output's
// own format, which ToneWriter converts to.
QAudioFormat chooseFormat(const QAudioDevice& device)
{
    const QAudioFormat preferred = device.preferredFormat();
    for (int rate : {preferred.sampleRate(), 48000, 44100}) {
        if (rate != 44100 && rate != 48000)
            continue;
        QAudioFormat format;
        format.setSampleRate(rate);
        format.setChannelCount(1);
        format.setSampleFormat(QAudioFormat::Int16);
        if (device.isFormatSupported(format))
            return format;
    }
    return preferred;
}

// One tone, or one pause, from start to end. It feeds the sink by hand
// rather than leaving it to pull from a QIODevice: when PulseAudio's stream
// runs dry it waits for a completely full buffer before playing on, and
// QAudioSink's pull mode only ever writes whole periods, so it can stall for
// good. Topping up to exactly what is free, and going on with silence after
// the tone, keeps the stream moving. It deletes itself once it has ended.
class TonePlayer : public QObject
{
public:
    // The application owns it until the tone has ended.
    TonePlayer(QObject* context, std::function<void()> finished)
        : QObject(QCoreApplication::instance())
        , m_context(context)
        , m_hasContext(context != nullptr)
        , m_finished(std::move(finished))
    {
        s_current = this;
    }

    ~TonePlayer() override
    {
        if (s_current == this)
            s_current = nullptr;
    }

    static bool isPlaying() { return s_current != nullptr; }

    // Nothing to hear: a pause of exactly that length, without the lead-in
    // and tail a stream needs, so that a row of beeps keeps its rhythm.
    void pause(int durationMs) { QTimer::singleShot(durationMs, Qt::PreciseTimer, this, &TonePlayer::end); }

    bool play(const QAudioDevice& device, const QAudioFormat& format, int frequency, int durationMs)
    {
        m_sink = std::make_unique<QAudioSink>(device, format);
        m_sink->setBufferSize(format.bytesForDuration(qint64(bufferMs) * 1000));
        m_output = m_sink->start();
        if (!m_output || m_sink->state() == QAudio::StoppedState || m_sink->error() != QAudio::NoError) {
            m_sink->stop();
            return false;
        }
        m_writer = std::make_unique<ToneWriter>(detail::BeepTone(frequency, durationMs, format.sampleRate()),
                                                format, leadInMs);
        m_doneBytes = m_writer->bytesPast(tailMs);
        m_durationMs = durationMs;
        m_clock.start();
        m_feeder.setInterval(feedIntervalMs);
        connect(&m_feeder, &QTimer::timeout, this, &TonePlayer::feed);
        feed();
        m_feeder.start();
        return true;
    }

private:
    void feed()
    {
        if (m_sink->state() == QAudio::StoppedState
            || m_clock.elapsed() > qint64(leadInMs) + m_durationMs + safetyMarginMs) {
            end();
            return;
        }
        const qint64 free = m_sink->bytesFree();
        // What the server has taken out of the buffer, to play.
        const qint64 consumed = m_written - (m_sink->bufferSize() - free);
        if (consumed >= m_doneBytes && m_clock.elapsed() >= qint64(leadInMs) + m_durationMs) {
            end();
            return;
        }
        const QByteArray chunk = m_writer->next(free);
        if (!chunk.isEmpty())
            m_written += std::max<qint64>(m_output->write(chunk), 0);
    }

    void end()
    {
        if (m_ended)
            return;
        m_ended = true;
        m_feeder.stop();
        if (m_sink)
            m_sink->stop();
        // The next tone may start from `finished` itself.
        s_current = nullptr;
        deleteLater();
        if (m_finished && (!m_hasContext || m_context))
            m_finished();
    }

    static inline TonePlayer* s_current = nullptr;

    QPointer<QObject> m_context;
    bool m_hasContext;
    std::function<void()> m_finished;
    std::unique_ptr<QAudioSink> m_sink;
    QIODevice* m_output = nullptr;
    std::unique_ptr<ToneWriter> m_writer;
    QTimer m_feeder;
    QElapsedTimer m_clock;
    qint64 m_doneBytes = 0;
    qint64 m_written = 0;
    int m_durationMs = 0;
    bool m_ended = false;
};

} // namespace

bool startBeep(int frequency, int durationMs, QObject* context, std::function<void()> finished)
{
    if (durationMs <= 0 || TonePlayer::isPlaying())
        return false;
    // The tone is driven by timers, which need an application object.
    if (!QCoreApplication::instance())
        return false;

    const QAudioDevice device = QMediaDevices::defaultAudioOutput();
    if (device.isNull())
        return false;
    const QAudioFormat format = chooseFormat(device);
    if (!format.isValid() || format.bytesPerFrame() <= 0)
        return false;

    auto player = std::make_unique<TonePlayer>(context, std::move(finished));
    if (frequency <= 0)
        player->pause(durationMs);
    else if (!player->play(device, format, frequency, durationMs))
        return false;
    // From here the application owns it, and it deletes itself when the tone
    // has ended.
    player.release();
    return true;
}

} // namespace platform
