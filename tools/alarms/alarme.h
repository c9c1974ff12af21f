#pragma once

#include <QDate>
#include <QDateTime>
#include <QString>

#include <optional>

// The days of the week an alarm rings on: bit d - 1 for the ISO weekday d
// (1 Monday to 7 Sunday).
using Weekdays = unsigned;
constexpr Weekdays kEveryDay = 0x7f;

// One alarm: a time of day that rings every day or on the days chosen, and
// what its alert says and opens.
struct Alarme
{
    int h = 0;
    int m = 0;
    // The armed state that a new page starts from.
    bool active = false;
    QString title;
    QString message;
    bool execute = false;
    QString file;
    // The days it rings on as stored, "12345" for Monday to Friday; missing
    // (as in every file written before days could be chosen) or not a set
    // of digits 1 to 7, every day. Kept as it came, for the next save.
    std::optional<QString> jours = std::nullopt;
    // When "Répéter" asked it to ring again; none once it has.
    std::optional<QDateTime> repetition = std::nullopt;

    // Every field with its key in conf.ini, in the order of writing.
    template<typename Self, typename Visit>
    static void forEachField(Self& a, Visit&& visit)
    {
        visit("h", a.h);
        visit("m", a.m);
        visit("active", a.active);
        visit("title", a.title);
        visit("message", a.message);
        visit("execute", a.execute);
        visit("file", a.file);
        visit("jours", a.jours);
        visit("repetition", a.repetition);
    }

    Weekdays days() const;
    void setDays(Weekdays days);
    bool ringsOn(const QDate& day) const { return days() & (1u << (day.dayOfWeek() - 1)); }
};

// "07:30"; a number outside 0 to 99 shows all its digits.
inline QString formatAlarmTime(int hour, int minute)
{
    return QString::asprintf("%02d:%02d", hour, minute);
}

// "Tous les jours", "Du lundi au vendredi", "Samedi et dimanche", or the
// days in short ("Lun, Mer, Ven").
QString daysLine(Weekdays days);
