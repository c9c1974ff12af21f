#pragma once

#include <QDateTime>
#include <QString>

// One elapsed-time counter: the moment it counts from, and its title.
struct TempsEcoule
{
    QDateTime date;
    QString title;

    // Every field with its key in conf.ini, in the order of writing.
    template<typename Self, typename Visit>
    static void forEachField(Self& t, Visit&& visit)
    {
        visit("date", t.date);
        visit("title", t.title);
    }
};
