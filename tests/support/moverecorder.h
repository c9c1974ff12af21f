#pragma once

#include <QElapsedTimer>
#include <QEvent>
#include <QList>
#include <QPoint>
#include <QWidget>

// Every position a window passes through, and how long after the start of
// the recording the first move came.
class MoveRecorder : public QObject
{
public:
    explicit MoveRecorder(QWidget* window)
    {
        window->installEventFilter(this);
        m_clock.start();
    }
    qint64 elapsedMs() const { return m_clock.elapsed(); }

    QList<QPoint> positions;
    qint64 firstMs = -1;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override
    {
        if (event->type() != QEvent::Move)
            return false;
        if (positions.isEmpty())
            firstMs = m_clock.elapsed();
        positions.append(static_cast<QWidget*>(watched)->pos());
        return false;
    }

private:
    QElapsedTimer m_clock;
};
