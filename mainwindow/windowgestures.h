#pragma once

#include <QPoint>
#include <Qt>

class QMouseEvent;
class QWheelEvent;
class QWidget;

// The mouse gestures shared by the main window and the tool windows: drag
// the window with the left button from anywhere inside it, change its
// opacity with the wheel, and switch between a framed and a frameless look
// with a double click. Each window owns one and forwards its mouse events.
class WindowGestures
{
public:
    explicit WindowGestures(QWidget* window, Qt::WindowFlags framelessFlags);

    void mousePress(QMouseEvent* event);
    void mouseMove(QMouseEvent* event);
    void wheel(QWheelEvent* event);
    void doubleClick(QMouseEvent* event);

    bool isFrameless() const { return m_sansCadre; }
    QPoint dragOffset() const { return m_decalageDeplacement; }

private:
    QWidget* m_window;
    Qt::WindowFlags m_framelessFlags;
    bool m_sansCadre = false;
    QPoint m_decalageDeplacement;
};

// The framed look: title bar, system menu, minimise and close buttons, no
// maximise button; stays on top when demarrage/onTop says so.
Qt::WindowFlags framedWindowFlags();
// `base` with the stay-on-top hint added when demarrage/onTop says so.
Qt::WindowFlags withStayOnTop(Qt::WindowFlags base);
