#pragma once

#include <QDateTime>
#include <QString>
#include <QStringList>

#include <optional>

class QComboBox;
class QToolBar;

// How countdowns and elapsed-time counters show a number of seconds. The
// four names, in the selector's order: "j hh:mm:ss" (the default),
// "hh:mm:ss", "mm:ss", "s". The largest unit of a format takes everything
// above it ("hh:mm:ss" shows a day and a half as 36 hours); a negative count
// gives negative fields, as truncating division gives them; any other name
// shows the plain number.
QStringList durationFormatNames();
QString formatDuration(qint64 seconds, const QString& format);

// Whole seconds since 1970 (UTC), rounded down, so that a moment before 1970
// with some milliseconds still counts as its whole second; none for an
// invalid date.
qint64 wholeSecondsSinceEpoch(qint64 msecsSinceEpoch);
std::optional<qint64> wholeSecondsSinceEpoch(const QDateTime& dateTime);
// Whole seconds from `from` to `to` (negative when `to` comes first), for
// dates however far apart, before 1970 included; none when either is invalid.
std::optional<qint64> secondsBetween(const QDateTime& from, const QDateTime& to);

// Adds the format selector after the tool bar's actions: a separator, the
// label "  Format: " and a combo box of the four names, the first current.
QComboBox* addDurationFormatSelector(QToolBar* toolBar);
