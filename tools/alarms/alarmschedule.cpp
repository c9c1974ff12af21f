#include "tools/alarms/alarmschedule.h"

#include "tools/alert.h"

#include <algorithm>
#include <utility>

namespace {

constexpr int kMinutesPerDay = 24 * 60;

// Its minute of the day; none for a hand-edited time that never comes.
int minuteOfDay(const Alarme& alarm)
{
    const bool valid = alarm.h >= 0 && alarm.h < 24 && alarm.m >= 0 && alarm.m < 60;
    return valid ? alarm.h * 60 + alarm.m : -1;
}

QString titled(const QString& time, const QString& title)
{
    return title.isEmpty() ? time : time + QLatin1Char(' ') + title;
}

} // namespace

QList<Alarme> missedAlarms(const QList<Alarme>& alarms, const QDateTime& after, const QDateTime& before)
{
    if (!after.isValid() || !before.isValid() || before <= after)
        return {};
    // The minute of `before` itself rings as usual.
    const QDateTime end(before.date(), QTime(before.time().hour(), before.time().minute()));
    QList<std::pair<QDateTime, Alarme>> missed;
    for (const Alarme& alarm : alarms) {
        if (!alarm.active || minuteOfDay(alarm) < 0)
            continue;
        // Its last minute before the end, within the day before it: the one
        // a day before the end is the alarm that rings at the end.
        QDateTime came(end.date(), QTime(alarm.h, alarm.m));
        if (came >= end)
            came = QDateTime(end.date().addDays(-1), QTime(alarm.h, alarm.m));
        if (came > after && came > end.addDays(-1))
            missed.append({came, alarm});
    }
    std::stable_sort(missed.begin(), missed.end(),
                     [](const auto& a, const auto& b) { return a.first < b.first; });
    QList<Alarme> inOrder;
    for (auto& entry : missed)
        inOrder.append(std::move(entry.second));
    return inOrder;
}

void reportMissedAlarms(const QList<Alarme>& missed)
{
    if (missed.isEmpty())
        return;
    QStringList lines;
    for (const Alarme& alarm : missed) {
        QString line = titled(formatAlarmTime(alarm.h, alarm.m), alarm.title);
        if (!alarm.message.isEmpty())
            line += QStringLiteral(" : ") + alarm.message;
        lines << line;
    }
    deliverAlert(missed.size() == 1 ? QStringLiteral("Alarme manquée") : QStringLiteral("Alarmes manquées"),
                 lines.join(QLatin1Char('\n')), false, QString());
}

NextAlarm::NextAlarm(const QTime& now)
    : m_now(now.hour() * 60 + now.minute())
{
}

void NextAlarm::consider(const Alarme& alarm)
{
    const int minute = minuteOfDay(alarm);
    if (!alarm.active || minute < 0)
        return;
    // 1 to 1440: this very minute is a day away.
    const int away = (minute - m_now + kMinutesPerDay - 1) % kMinutesPerDay + 1;
    if (!m_next || away < m_minutesAway) {
        m_next = &alarm;
        m_minutesAway = away;
    }
}

QString NextAlarm::line() const
{
    if (!m_next)
        return {};
    const bool tomorrow = m_now + m_minutesAway >= kMinutesPerDay;
    return QStringLiteral("Prochaine alarme : ") + (tomorrow ? QStringLiteral("demain ") : QString())
        + titled(formatAlarmTime(m_next->h, m_next->m), m_next->title);
}
