#pragma once

#include <QString>

// One alarm: a time of day that rings every day, and what its alert says
// and opens.
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
    }
};

// "07:30"; a number outside 0 to 99 shows all its digits.
inline QString formatAlarmTime(int hour, int minute)
{
    return QString::asprintf("%02d:%02d", hour, minute);
}
