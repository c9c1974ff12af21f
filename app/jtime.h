#pragma once

#include <QDateTime>
#include <QObject>
#include <QTime>

class QTimer;

// The program's one clock pulse. Once a second, just after the wall clock's
// second turns, it reads the time, keeps it (as its QTime base, so that
// everything refreshed by one tick shows the same time) and announces the new
// second, and the new minute and hour when they have changed since the
// previous check. When whole minutes went by unchecked (a sleep, a clock set
// forward) it says so first.
class JTime : public QObject, public QTime
{
    Q_OBJECT

public:
    explicit JTime(QObject* parent = nullptr);

    // The date and time of the last check, which every receiver of its
    // signals shows or compares with, rather than a fresh reading.
    QDateTime checkedAt() const { return m_checkedAt; }

    // How long to wait from `now` until just after the next whole second.
    static int alignedDelayToNextSecond(const QTime& now);

public slots:
    void check();

signals:
    void secondChanged();
    void minuteChanged();
    void hourChanged();
    // The minutes after `after`'s and before `before`'s were never checked;
    // `after` is the previous check, `before` this one.
    void minutesSkipped(const QDateTime& after, const QDateTime& before);

private:
    QTimer* m_timer;
    // Invalid before the first check.
    QDateTime m_checkedAt;
    // The minute of m_checkedAt, counted since 1970, kept so that a tick
    // converts only its own time.
    qint64 m_checkedMinute = 0;
};
