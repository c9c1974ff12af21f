#pragma once

// Talking to the real X desktop of scripts/desktop-session the way a user
// and the window manager do: input through xdotool (XTEST), window manager
// requests through wmctrl, and what the window manager made of a window read
// back with xprop and xwininfo.

#include <QList>
#include <QPoint>
#include <QString>
#include <QStringList>
#include <QWindow>

namespace xdesktop {

// Runs an X tool and returns its standard output; `ok` tells whether it ran
// and exited with 0.
QByteArray run(const QString& program, const QStringList& arguments, bool* ok = nullptr);

// Raw value of a window property as xprop prints it after " = " (atoms and
// numbers separated by ", "); empty when the property is not set.
QString property(WId window, const QString& name);
// The atoms of _NET_WM_STATE, e.g. "_NET_WM_STATE_ABOVE".
QStringList netWmState(WId window);
// _NET_FRAME_EXTENTS as left, right, top, bottom; empty while the window
// manager has not framed the window.
QList<int> frameExtents(WId window);
// Absolute position of the window's top-left corner on the root window.
QPoint absolutePosition(WId window);
// True while the window is mapped and viewable.
bool isViewable(WId window);

// Pointer and buttons (1 left, 2 middle, 3 right, 4 wheel up, 5 wheel down).
bool moveMouse(QPoint globalPosition);
bool pressButton(int button);
bool releaseButton(int button);
bool click(int button, int repeat = 1, int delayMs = 60);
bool pressKey(const QString& key);

// Asks the window manager to close the window, as its close button does.
bool closeThroughWindowManager(WId window);

} // namespace xdesktop
