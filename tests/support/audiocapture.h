#pragma once

#include <QProcess>
#include <QString>

// Records, with parec, what the null sink of scripts/desktop-session plays.
class AudioCapture
{
public:
    // The loud part of a recording: how long it lasted, and its pitch.
    struct Heard
    {
        double ms = 0.0;
        double hz = 0.0;
        QString text() const { return QStringLiteral("heard %1 ms at %2 Hz").arg(ms).arg(hz); }
    };

    // Returns once sound flows from the sink's monitor, so nothing played
    // afterwards is missed; false outside scripts/desktop-session.
    bool start();
    // What was heard since start(), with 300 ms more for the end of the
    // sound to come through.
    Heard stop();

private:
    QProcess m_parec;
};
