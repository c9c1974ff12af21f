#pragma once

#include <QObject>
#include <QPixmap>

#include <functional>

class QLabel;
class QPainter;
class QRect;

// Paints a picture label whose style sheet draws an elaborate frame (the
// face's gradient and rounded border) from a snapshot of that frame taken
// once, with what `paintStill` paints in the label's contents rectangle,
// where the label's picture was; then `paintMoving` paints over it. What is
// still is painted into the snapshot again only after `stillChanged()`. The face changes every second:
// painted by its style sheet, a label with rounded corners is not opaque, and
// each new picture repainted the frame and everything beneath it; and a new
// picture every second cost more than painting the face where it shows. The
// label loses its picture and keeps its look; its size and style sheet must
// not change afterwards.
class CachedFrame : public QObject
{
public:
    using PaintContents = std::function<void(QPainter& painter, const QRect& contents)>;

    CachedFrame(QLabel* label, PaintContents paintStill, PaintContents paintMoving);

    void stillChanged();

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    QLabel* m_label;
    QPixmap m_frame;
    // The frame with what is still painted over it; null until painted.
    QPixmap m_still;
    PaintContents m_paintStill;
    PaintContents m_paintMoving;
};
