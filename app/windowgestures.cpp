#include "app/windowgestures.h"

#include "platform/displayserver.h"

#include <QMouseEvent>
#include <QWheelEvent>
#include <QWidget>
#include <QWindow>

namespace {

constexpr double kOpacityStep = 0.05;
// The wheel never makes a window fully transparent, so it can be found again.
constexpr double kLowestOpacityToLower = 0.1;

// A window that is hidden and shown again at once races with the window
// manager on X11: while it forgets the withdrawn window's state it can drop
// the stay-on-top state written for the new mapping. Once the window is on
// screen, the state is asked for again, which a mapped window does through
// the window manager itself.
class StayOnTopReminder : public QObject
{
public:
    explicit StayOnTopReminder(QWindow* window)
        : QObject(window)
        , m_window(window)
    {
        window->installEventFilter(this);
    }

protected:
    bool eventFilter(QObject*, QEvent* event) override
    {
        if (event->type() == QEvent::Expose && m_window->isExposed()) {
            const Qt::WindowFlags flags = m_window->flags();
            m_window->setFlags(flags & ~Qt::WindowStaysOnTopHint);
            m_window->setFlags(flags);
            deleteLater();
        }
        return false;
    }

private:
    QWindow* m_window;
};

} // namespace

void showWithFlags(QWidget* window, Qt::WindowFlags flags)
{
    window->hide();
    window->setWindowFlags(flags);
    window->show();
    if ((flags & Qt::WindowStaysOnTopHint) && window->windowHandle())
        new StayOnTopReminder(window->windowHandle());
}

void applyWindowFlags(QWidget* window, Qt::WindowFlags flags)
{
    // Nothing to change: hiding and showing would only make it flicker.
    if (window->windowFlags() == flags)
        return;
    if (window->isVisible())
        showWithFlags(window, flags);
    else
        window->setWindowFlags(flags);
}

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
    m_deplacementSysteme = false;
    return true;
}

bool WindowGestures::mouseMove(QMouseEvent* event)
{
    // Once the desktop moves the window, it has the pointer until the button
    // is released, and that release may never reach the window: nothing
    // more is done until the next press, so the window cannot stay stuck to
    // a pointer whose button is already up.
    if (!(event->buttons() & Qt::LeftButton) || m_deplacementSysteme)
        return false;
    // Where the desktop alone places windows (Wayland), the drag is handed
    // to it at the first step; a click without a move leaves double clicks
    // to the window. Elsewhere the window follows the pointer itself, to the
    // pixel, as the window manager would not see the test pointer's steps.
    if (platform::isWaylandClient()) {
        QWindow* handle = m_window->windowHandle();
        m_deplacementSysteme = handle && handle->startSystemMove();
        return true;
    }
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
    // Whoever last set the window's flags decided whether it stays on top;
    // both looks keep that choice.
    const bool staysOnTop = m_window->windowFlags().testFlag(Qt::WindowStaysOnTopHint);
    m_sansCadre = !m_sansCadre;
    showWithFlags(m_window,
                  m_sansCadre ? withStayOnTop(m_framelessFlags, staysOnTop) : framedWindowFlags(staysOnTop));
    return true;
}

Qt::WindowFlags withStayOnTop(Qt::WindowFlags base, bool staysOnTop)
{
    return staysOnTop ? base | Qt::WindowStaysOnTopHint : base;
}

Qt::WindowFlags framedWindowFlags(bool staysOnTop)
{
    // The close button is asked for explicitly: on X11 the system menu hint
    // alone leaves it out of the window manager hints, and some desktops then
    // offer no way to close (hide) the window.
    return withStayOnTop(Qt::Window | Qt::WindowTitleHint | Qt::WindowSystemMenuHint
                             | Qt::WindowMinimizeButtonHint | Qt::WindowCloseButtonHint,
                         staysOnTop);
}
