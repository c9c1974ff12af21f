#include "app/frenchdates.h"

#include <QLocale>

namespace {

QString capitalised(QString word)
{
    if (!word.isEmpty())
        word[0] = word[0].toUpper();
    return word;
}

const QLocale& french()
{
    static const QLocale locale(QLocale::French, QLocale::France);
    return locale;
}

} // namespace

QString frenchDayName(const QDate& date)
{
    return capitalised(french().dayName(date.dayOfWeek()));
}

QString frenchMonthName(const QDate& date)
{
    return capitalised(french().monthName(date.month()));
}
