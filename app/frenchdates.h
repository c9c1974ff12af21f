#pragma once

#include <QDate>
#include <QString>

// The clock speaks French throughout, so its day and month names are French
// on any system, not a mix of two languages; they begin with a capital.
QString frenchDayName(const QDate& date);
QString frenchMonthName(const QDate& date);
