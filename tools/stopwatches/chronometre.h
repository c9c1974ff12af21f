#pragma once

#include <QString>

// One stopwatch as it is kept: the time counted, in whole seconds and
// hundredths, whether it runs, and its title.
struct Chronometre
{
    int s = 0;
    // Hundredths of a second, 0 to 99 (the key says "ms").
    int ms = 0;
    bool active = false;
    QString title;

    // Every field with its key in conf.ini, in the order of writing.
    template<typename Self, typename Visit>
    static void forEachField(Self& c, Visit&& visit)
    {
        visit("title", c.title);
        visit("ms", c.ms);
        visit("s", c.s);
        visit("active", c.active);
    }
};
