#pragma once

#include <QObject>
#include <QPoint>
#include <Qt>

class QMouseEvent;
class QWheelEvent;
class QWidget;

// The mouse gestures shared by the main window and the tool windows: drag
// the window with the left button from anywhere inside it that passes mouse
// events on (the labels do, buttons do not), through the desktop's own move
// where it offers one; change its opacity with the wheel; and switch between
// a framed and a frameless look with a double click. Created as a child of the window, it watches the
// window's events. The window stays on top in both looks exactly when its flags said so before the double
// click.
class WindowGestures : public QObject
{
    Q_OBJECT

public:
    WindowGestures(QWidget* window, Qt::WindowFlags framelessFlags);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    bool mousePress(QMouseEvent* event);
    bool mouseMove(QMouseEvent* event);
    bool wheel(QWheelEvent* event);
    bool doubleClick();

    QWidget* m_window;
    Qt::WindowFlags m_framelessFlags;
    bool m_sansCadre = false;
    // Cursor position minus the window frame's top-left corner at the press.
    QPoint m_decalageDeplacement;
    // The desktop moves the window for the drag under way.
    bool m_deplacementSysteme = false;
};

// The framed look: title bar, system menu, minimise and close buttons, no
// maximise button.
Qt::WindowFlags framedWindowFlags(bool staysOnTop);
// `base` with the stay-on-top hint added when asked for.
Qt::WindowFlags withStayOnTop(Qt::WindowFlags base, bool staysOnTop);
// Hides `window`, gives it `flags` and shows it again, making sure the window
// manager keeps it on top when the flags ask for it.
void showWithFlags(QWidget* window, Qt::WindowFlags flags);
// Gives `window` `flags`. A hidden window stays hidden; a visible one goes
// through showWithFlags(), so it stays on screen and, when the flags ask for
// it, on top.
void applyWindowFlags(QWidget* window, Qt::WindowFlags flags);
