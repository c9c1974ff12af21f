#include "tools/alarms/alarmschedule.h"

#include "app/frenchdates.h"
#include "tools/alert.h"

#include <algorithm>
#include <utility>

namespace {

constexpr int kDaysPerWeek = 7;

bool validTime(const Alarme& alarm)
{
    // A hand-edited time that never comes.
    return alarm.h >= 0 && alarm.h < 24 && alarm.m >= 0 && alarm.m < 60;
}

QString titled(const QString& time, const QString& title)
{
    return title.isEmpty() ? time : time + QLatin1Char(' ') + title;
}

} // namespace

QDateTime minuteOf(const QDateTime& moment)
{
    return QDateTime(moment.date(), QTime(moment.time().hour(), moment.time().minute()));
}

QList<MissedAlarm> missedAlarms(const QList<Alarme>& alarms, const QDateTime& after, const QDateTime& before)
{
    if (!after.isValid() || !before.isValid() || before <= after)
        return {};
    // The minute of `before` itself rings as usual.
    const QDateTime end = minuteOf(before);
    const auto missedMoment = [&](const QDateTime& came) {
        return came > after && came < end && came > end.addDays(-1);
    };
    QList<MissedAlarm> missed;
    for (const Alarme& alarm : alarms) {
        if (!alarm.active)
            continue;
        if (alarm.repetition && missedMoment(*alarm.repetition))
            missed.append({alarm, *alarm.repetition, true});
        if (!validTime(alarm))
            continue;
        // Its last minute before the end, within the day before it: the one
        // a day before the end is the alarm that rings at the end.
        QDateTime came(end.date(), QTime(alarm.h, alarm.m));
        if (came >= end)
            came = came.addDays(-1);
        if (missedMoment(came) && alarm.ringsOn(came.date()))
            missed.append({alarm, came, false});
    }
    std::stable_sort(missed.begin(), missed.end(),
                     [](const MissedAlarm& a, const MissedAlarm& b) { return a.came < b.came; });
    return missed;
}

void reportMissedAlarms(const QList<MissedAlarm>& missed)
{
    if (missed.isEmpty())
        return;
    QStringList lines;
    for (const MissedAlarm& ring : missed) {
        const QString time =
            ring.repeat ? ring.came.toString(u"hh:mm") : formatAlarmTime(ring.alarm.h, ring.alarm.m);
        QString line = titled(time, ring.alarm.title);
        if (ring.repeat)
            line += QStringLiteral(" (répétition)");
        if (!ring.alarm.message.isEmpty())
            line += QStringLiteral(" : ") + ring.alarm.message;
        lines << line;
    }
    deliverAlert(missed.size() == 1 ? QStringLiteral("Alarme manquée") : QStringLiteral("Alarmes manquées"),
                 lines.join(QLatin1Char('\n')), false, QString());
}

NextAlarm::NextAlarm(const QDateTime& now)
    : m_now(minuteOf(now))
{
}

void NextAlarm::consider(const Alarme& alarm)
{
    if (!alarm.active)
        return;
    const auto candidate = [&](const QDateTime& when) {
        if (when > m_now && (!m_next || when < m_when)) {
            m_next = &alarm;
            m_when = when;
        }
    };
    if (alarm.repetition)
        candidate(minuteOf(*alarm.repetition));
    if (!validTime(alarm))
        return;
    // Today's when it is still to come, else the next day it rings on, a
    // week on at most.
    for (int day = 0; day <= kDaysPerWeek; ++day) {
        const QDateTime when(m_now.date().addDays(day), QTime(alarm.h, alarm.m));
        if (when > m_now && alarm.ringsOn(when.date())) {
            candidate(when);
            return;
        }
    }
}

QString NextAlarm::line() const
{
    if (!m_next)
        return {};
    const qint64 days = m_now.date().daysTo(m_when.date());
    const QString day = days == 0 ? QString()
        : days == 1               ? QStringLiteral("demain ")
                                  : frenchDayName(m_when.date()).toLower() + QLatin1Char(' ');
    return QStringLiteral("Prochaine alarme : ") + day + titled(m_when.toString(u"hh:mm"), m_next->title);
}
