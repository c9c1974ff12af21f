#include "tools/alarms/alarme.h"

#include <QStringList>

Weekdays Alarme::days() const
{
    if (!jours || jours->isEmpty())
        return kEveryDay;
    Weekdays days = 0;
    for (const QChar digit : *jours) {
        if (digit < u'1' || digit > u'7')
            return kEveryDay;
        days |= 1u << (digit.unicode() - u'1');
    }
    return days;
}

void Alarme::setDays(Weekdays days)
{
    // Every day is what a file without the key says.
    days &= kEveryDay;
    if (days == kEveryDay || days == 0) {
        jours.reset();
        return;
    }
    QString digits;
    for (int day = 1; day <= 7; ++day) {
        if (days & (1u << (day - 1)))
            digits += QChar(u'0' + day);
    }
    jours = digits;
}

QString daysLine(Weekdays days)
{
    switch (days & kEveryDay) {
    case kEveryDay:
    case 0:
        return QStringLiteral("Tous les jours");
    case 0x1f:
        return QStringLiteral("Du lundi au vendredi");
    case 0x60:
        return QStringLiteral("Samedi et dimanche");
    default:
        break;
    }
    static const char* const kShort[] = {"Lun", "Mar", "Mer", "Jeu", "Ven", "Sam", "Dim"};
    QStringList names;
    for (int day = 0; day < 7; ++day) {
        if (days & (1u << day))
            names << QString::fromLatin1(kShort[day]);
    }
    return names.join(QStringLiteral(", "));
}
