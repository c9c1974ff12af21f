#pragma once

#include "tools/alarms/alarme.h"

#include <QDateTime>
#include <QList>
#include <QString>
#include <QTime>

// When the alarms ring, seen from outside their pages: those whose minute
// passed while nothing could ring them, and the one that rings next.

// The armed alarms whose minute came after `after` and before the minute of
// `before`, at most 24 hours before it, in the order they came. Such an
// alarm was missed: the program was closed, or the machine asleep, when its
// minute came. None when either moment is invalid or `before` comes first.
QList<Alarme> missedAlarms(const QList<Alarme>& alarms, const QDateTime& after, const QDateTime& before);

// Tells of missed alarms in one tray message, "Alarme manquée" or "Alarmes
// manquées", one line each: "07:30 Lever", then " : " and the message when
// there is one. Nothing when there is none; no file is opened, hours late.
void reportMissedAlarms(const QList<Alarme>& missed);

// Finds the armed alarm that rings next after the minute of `now` (one due
// this very minute rings next tomorrow); the first of several at that time.
class NextAlarm
{
public:
    explicit NextAlarm(const QTime& now);

    // Counts `alarm` in when it is armed.
    void consider(const Alarme& alarm);
    // "Prochaine alarme : 21:05 Soir", "Prochaine alarme : demain 06:45
    // Lever"; empty when no armed alarm was considered.
    QString line() const;

private:
    int m_now;
    const Alarme* m_next = nullptr;
    int m_minutesAway = 0;
};
