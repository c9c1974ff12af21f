#include "tools/alarmsound.h"

#include "app/configuration.h"
#include "app/datafiles.h"

#include <QAudioDevice>
#include <QCoreApplication>
#include <QFileInfo>
#include <QMediaDevices>
#include <QPointer>
#include <QSoundEffect>
#include <QTimer>
#include <QUrl>

namespace {

constexpr int kLongestMs = 5 * 60 * 1000;

QPointer<QSoundEffect>& playing()
{
    static QPointer<QSoundEffect> sound;
    return sound;
}

// Ends the sound 5 minutes after the last ring; the sound's child.
QPointer<QTimer>& limit()
{
    static QPointer<QTimer> timer;
    return timer;
}

} // namespace

void startAlarmSound()
{
    // Without an audio output the effect would wait for one for ever.
    if (!g_configuration.alarmes_son || QMediaDevices::defaultAudioOutput().isNull())
        return;
    QPointer<QSoundEffect>& sound = playing();
    if (!sound) {
        QFileInfo file(locateDataFile(g_configuration.sonnerie_son));
        if (!file.isFile())
            file.setFile(locateDataFile(QStringLiteral("ressources/ding.wav")));
        if (!file.isFile())
            return;
        sound = new QSoundEffect(QCoreApplication::instance());
        limit() = new QTimer(sound);
        limit()->setSingleShot(true);
        limit()->setInterval(kLongestMs);
        // Stopped once the signal is over: the timer goes with the sound.
        QObject::connect(limit(), &QTimer::timeout, sound, &stopAlarmSound, Qt::QueuedConnection);
        // A file that cannot be played ends it at once.
        QObject::connect(sound, &QSoundEffect::statusChanged, sound, [] {
            if (playing() && playing()->status() == QSoundEffect::Error)
                QMetaObject::invokeMethod(QCoreApplication::instance(), &stopAlarmSound,
                                          Qt::QueuedConnection);
        });
        sound->setLoopCount(QSoundEffect::Infinite);
        sound->setSource(QUrl::fromLocalFile(file.absoluteFilePath()));
        sound->play();
    }
    limit()->start();
}

void stopAlarmSound()
{
    if (QSoundEffect* sound = playing()) {
        playing() = nullptr;
        sound->stop();
        delete sound;
    }
}

bool alarmSoundPlaying()
{
    return playing() != nullptr;
}
