#pragma once

#include <QString>

#include <algorithm>
#include <limits>

// One stopwatch as it is kept: the time counted, in whole seconds and
// hundredths, whether it runs, and its title.
struct Chronometre
{
    int s = 0;
    // Hundredths of a second, 0 to 99 (the key says "ms").
    int ms = 0;
    bool active = false;
    QString title;

    // A stopwatch that has counted `msecs`, in whole seconds and hundredths.
    // Beyond what the seconds hold it stays at the most they hold, rather
    // than wrapping to a negative count.
    static Chronometre fromMsecs(qint64 msecs, bool active, const QString& title)
    {
        constexpr qint64 kMost = qint64(std::numeric_limits<int>::max()) * 1000 + 990;
        constexpr qint64 kLeast = qint64(std::numeric_limits<int>::min()) * 1000;
        const qint64 held = std::clamp(msecs, kLeast, kMost);
        return Chronometre{int(held / 1000), int(held % 1000 / 10), active, title};
    }

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
