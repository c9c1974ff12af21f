#include "tools/durationformat.h"

#include <QComboBox>
#include <QLabel>
#include <QToolBar>

namespace {

constexpr qint64 kSecondsPerDay = 86400;
constexpr qint64 kSecondsPerHour = 3600;
constexpr qint64 kSecondsPerMinute = 60;

} // namespace

QStringList durationFormatNames()
{
    return {QStringLiteral("j hh:mm:ss"), QStringLiteral("hh:mm:ss"), QStringLiteral("mm:ss"),
            QStringLiteral("s")};
}

QString formatDuration(qint64 s, const QString& format)
{
    // C++ division truncates toward zero, and the remainder keeps the sign
    // of the dividend: the fields of a negative count come out negative.
    if (format == QLatin1String("j hh:mm:ss")) {
        return QString::asprintf("%lldj %02lld:%02lld:%02lld", s / kSecondsPerDay,
                                 s % kSecondsPerDay / kSecondsPerHour,
                                 s % kSecondsPerHour / kSecondsPerMinute, s % kSecondsPerMinute);
    }
    if (format == QLatin1String("hh:mm:ss")) {
        return QString::asprintf("%02lld:%02lld:%02lld", s / kSecondsPerHour,
                                 s % kSecondsPerHour / kSecondsPerMinute, s % kSecondsPerMinute);
    }
    if (format == QLatin1String("mm:ss"))
        return QString::asprintf("%02lld:%02lld", s / kSecondsPerMinute, s % kSecondsPerMinute);
    return QString::number(s);
}

qint64 wholeSecondsSinceEpoch(qint64 msecs)
{
    return msecs / 1000 - (msecs % 1000 < 0 ? 1 : 0);
}

std::optional<qint64> wholeSecondsSinceEpoch(const QDateTime& dateTime)
{
    if (!dateTime.isValid())
        return std::nullopt;
    return wholeSecondsSinceEpoch(dateTime.toMSecsSinceEpoch());
}

std::optional<qint64> secondsBetween(const QDateTime& from, const QDateTime& to)
{
    const std::optional<qint64> start = wholeSecondsSinceEpoch(from);
    const std::optional<qint64> end = wholeSecondsSinceEpoch(to);
    if (!start || !end)
        return std::nullopt;
    return *end - *start;
}

QComboBox* addDurationFormatSelector(QToolBar* toolBar)
{
    toolBar->addSeparator();
    auto* label = new QLabel(QStringLiteral("  Format: "), toolBar);
    toolBar->addWidget(label);
    auto* selector = new QComboBox(toolBar);
    // What a screen reader says of the selector, beside its current format.
    label->setBuddy(selector);
    selector->addItems(durationFormatNames());
    toolBar->addWidget(selector);
    return selector;
}
