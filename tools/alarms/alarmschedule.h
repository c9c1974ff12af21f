#pragma once

#include "tools/alarms/alarme.h"

#include <QDateTime>
#include <QList>
#include <QString>

// When the alarms ring, seen from outside their pages: those whose minute
// passed while nothing could ring them, and the one that rings next.

// A missed ring: the alarm, and when it came (its time of day, or the
// moment of a repeat).
struct MissedAlarm
{
    Alarme alarm;
    QDateTime came;
    bool repeat = false;
};

// The rings of armed alarms that came after `after` and before the minute
// of `before`, at most 24 hours before it, in the order they came: each
// alarm's last one on a day it rings on, and a pending repeat. Such a ring
// was missed: the program was closed, or the machine asleep, when its
// minute came. None when either moment is invalid or `before` comes first.
QList<MissedAlarm> missedAlarms(const QList<Alarme>& alarms, const QDateTime& after, const QDateTime& before);

// Tells of missed alarms in one tray message, "Alarme manquée" or "Alarmes
// manquées", one line each: "07:30 Lever" ("07:40 Lever (répétition)" for a
// repeat), then " : " and the message when there is one. Nothing when there
// is none; no file is opened, hours late.
void reportMissedAlarms(const QList<MissedAlarm>& missed);

// Finds the armed alarm that rings next after the minute of `now` (one due
// this very minute rings next on its next day), on the days it rings on, or
// at its pending repeat; the first of several at that time.
class NextAlarm
{
public:
    explicit NextAlarm(const QDateTime& now);

    // Counts `alarm` in when it is armed.
    void consider(const Alarme& alarm);
    // "Prochaine alarme : 21:05 Soir", "Prochaine alarme : demain 06:45
    // Lever", "Prochaine alarme : lundi 06:45 Lever"; empty when no armed
    // alarm was considered.
    QString line() const;

private:
    QDateTime m_now;
    const Alarme* m_next = nullptr;
    QDateTime m_when;
};

// The start of the minute of `moment`.
QDateTime minuteOf(const QDateTime& moment);
