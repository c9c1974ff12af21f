#include "mainwindow/cachedframe.h"

#include <QEvent>
#include <QLabel>
#include <QPainter>

CachedFrame::CachedFrame(QLabel* label, PaintContents paintStill, PaintContents paintMoving)
    : QObject(label)
    , m_label(label)
    , m_paintStill(std::move(paintStill))
    , m_paintMoving(std::move(paintMoving))
{
    // The frame alone, over what shows around its rounded corners, so that
    // the label can paint itself whole.
    label->setPixmap(QPixmap());
    m_frame = QPixmap(label->size() * label->devicePixelRatioF());
    m_frame.setDevicePixelRatio(label->devicePixelRatioF());
    m_frame.fill(label->parentWidget()->palette().color(QPalette::Window));
    label->render(&m_frame, QPoint(), QRegion(), QWidget::DrawChildren);
    label->setAttribute(Qt::WA_OpaquePaintEvent);
    label->installEventFilter(this);
}

bool CachedFrame::eventFilter(QObject* watched, QEvent* event)
{
    if (watched != m_label || event->type() != QEvent::Paint)
        return false;
    if (m_still.isNull()) {
        m_still = m_frame.copy();
        QPainter still(&m_still);
        m_paintStill(still, m_label->contentsRect());
    }
    QPainter painter(m_label);
    painter.drawPixmap(0, 0, m_still);
    m_paintMoving(painter, m_label->contentsRect());
    return true;
}

void CachedFrame::stillChanged()
{
    m_still = QPixmap();
}
