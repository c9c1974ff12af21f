#pragma once

class QWidget;

// Shakes a top-level window in place: each of `rounds` rounds jumps it by 1 to
// `intensity` + 1 pixels on each axis, alternately left-and-down and
// right-and-up, and back. It runs without returning to the event loop and
// always leaves the window exactly where it stood. Both are held to what
// the preferences offer, intensity 0 to 20 and 0 to 5000 rounds, whatever a
// hand-edited conf.ini says. Where the desktop does not let a program move
// its windows (Wayland), the window's content shakes inside it instead.
void vibrer_fenetre(QWidget* window, int intensity, int rounds);
