#pragma once

#include <QObject>
#include <QPixmap>

class QLabel;

// Paints a picture label whose style sheet draws an elaborate frame (the
// face's gradient and rounded border) from a snapshot of that frame taken
// once, then its picture over it as the label would, scaled to its contents.
// The face changes every second: painted by its style sheet, a label with
// rounded corners is not opaque, and each new picture repainted the frame and
// everything beneath it. The label keeps its picture and its look; its size
// and style sheet must not change afterwards.
class CachedFrame : public QObject
{
public:
    explicit CachedFrame(QLabel* label);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    QLabel* m_label;
    QPixmap m_frame;
};
