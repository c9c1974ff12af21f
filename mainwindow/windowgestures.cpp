#include "mainwindow/windowgestures.h"

#include "app/configuration.h"

#include <QMouseEvent>
#include <QWheelEvent>
#include <QWidget>

namespace {

constexpr double kOpacityStep = 0.05;
// The wheel never makes a window fully transparent, so it can be found again.
constexpr double kLowestOpacityToLower = 0.1;

} // namespace

WindowGestures::WindowGestures(QWidget* window, Qt::WindowFlags framelessFlags)
    : QObject(window)
    , m_window(window)
    , m_framelessFlags(framelessFlags)
{
    window->installEventFilter(this);
}

bool WindowGestures::eventFilter(QObject* watched, QEvent* event)
{
    if (watched != m_window)
        return false;
    switch (event->type()) {
    case QEvent::MouseButtonPress:
        return mousePress(static_cast<QMouseEvent*>(event));
    case QEvent::MouseMove:
        return mouseMove(static_cast<QMouseEvent*>(event));
    case QEvent::Wheel:
        return wheel(static_cast<QWheelEvent*>(event));
    case QEvent::MouseButtonDblClick:
        return doubleClick();
    default:
        return false;
    }
}

bool WindowGestures::mousePress(QMouseEvent* event)
{
    if (event->button() != Qt::LeftButton)
        return false;
    m_decalageDeplacement = event->globalPosition().toPoint() - m_window->frameGeometry().topLeft();
    return true;
}

bool WindowGestures::mouseMove(QMouseEvent* event)
{
    if (!(event->buttons() & Qt::LeftButton))
        return false;
    m_window->move(event->globalPosition().toPoint() - m_decalageDeplacement);
    return true;
}

bool WindowGestures::wheel(QWheelEvent* event)
{
    const double opacity = m_window->windowOpacity();
    if (event->angleDelta().y() >= 0)
        m_window->setWindowOpacity(qMin(1.0, opacity + kOpacityStep));
    else if (opacity > kLowestOpacityToLower)
        m_window->setWindowOpacity(opacity - kOpacityStep);
    return true;
}

bool WindowGestures::doubleClick()
{
    m_sansCadre = !m_sansCadre;
    m_window->hide();
    m_window->setWindowFlags(m_sansCadre ? withStayOnTop(m_framelessFlags) : framedWindowFlags());
    m_window->show();
    return true;
}

Qt::WindowFlags withStayOnTop(Qt::WindowFlags base)
{
    return g_configuration.demarrage_onTop ? base | Qt::WindowStaysOnTopHint : base;
}

Qt::WindowFlags framedWindowFlags()
{
    // The close button is asked for explicitly: on X11 the system menu hint
    // alone leaves it out of the window manager hints, and some desktops then
    // offer no way to close (hide) the window.
    return withStayOnTop(Qt::Window | Qt::WindowTitleHint | Qt::WindowSystemMenuHint
                         | Qt::WindowMinimizeButtonHint | Qt::WindowCloseButtonHint);
}
