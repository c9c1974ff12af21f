#pragma once

// The real X desktop of scripts/desktop-session, as a user and the window
// manager see it: input through xdotool (XTEST), requests to the window
// manager through wmctrl, and what it made of a window read back with xprop
// and xwininfo; its tray as the session bus and the tray bar show it.

#include <QList>
#include <QPoint>
#include <QStringList>
#include <QWindow>

#include <functional>
#include <optional>

namespace xdesktop {

// The standard output of a desktop tool, when it ran and exited with 0.
std::optional<QString> run(const QString& program, const QStringList& arguments);

// Input as xdotool takes it on its command line, e.g. {"click", "3"}.
// Buttons: 1 left, 2 middle, 3 right, 4 wheel up, 5 wheel down.
bool xdotool(const QStringList& arguments);
bool moveMouse(QPoint globalPosition);
// As the window manager's close button does.
bool closeThroughWindowManager(WId window);

// The atoms of _NET_WM_STATE, e.g. "_NET_WM_STATE_ABOVE".
QStringList netWmState(WId window);
// _NET_FRAME_EXTENTS as left, right, top, bottom; empty while the window
// manager has not framed the window.
QList<int> frameExtents(WId window);
// Position of the window's top-left corner on the root window.
QPoint absolutePosition(WId window);
bool isViewable(WId window);
// A window titled `title` that process `pid` (another program) shows; 0
// when it shows none.
WId shownWindow(qint64 pid, const QString& title);

// The bus name of the tray item that process `pid` registered with the
// StatusNotifierWatcher; empty while it has none.
QString trayItem(qint64 pid);
// Clicks the icons of the tray bar in turn, from the right, until `until`
// holds. A process that makes several tray icons in turn, as a test does,
// leaves those it deleted in the bar for a while after it ends, and the bar
// may show them in any order: a click on an icon of no one does nothing.
bool clickTrayIcon(int button, const std::function<bool()>& until);
// What a D-Bus method of the session bus returned, as gdbus prints it; empty
// when the call failed.
QString gdbusCall(const QString& destination, const QString& path, const QString& method,
                  const QStringList& arguments = {});

// Asks the window manager for something harmless about `window` (to leave
// it out of pagers, or back) and waits until it is done: the window manager
// deals with requests in order, so by then it has dealt with everything
// asked of it before. Events are processed meanwhile.
bool syncWithWindowManager(WId window);

} // namespace xdesktop
