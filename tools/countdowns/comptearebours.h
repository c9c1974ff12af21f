#pragma once

#include <QDateTime>
#include <QString>

// One countdown: the moment it runs to, and what its alert says and opens
// when that moment has passed.
struct CompteARebours
{
    QDateTime date;
    QString title;
    QString message;
    bool execute = false;
    QString file;

    // Every field with its key in conf.ini, in the order of writing.
    template<typename Self, typename Visit>
    static void forEachField(Self& c, Visit&& visit)
    {
        visit("date", c.date);
        visit("title", c.title);
        visit("message", c.message);
        visit("execute", c.execute);
        visit("file", c.file);
    }
};
