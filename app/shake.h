#pragma once

class QWidget;

// Shakes a top-level window in place: each of `rounds` rounds jumps it by 1 to
// `intensity` + 1 pixels on each axis, alternately left-and-down and
// right-and-up, and back. It runs without returning to the event loop and
// always leaves the window exactly where it stood. A negative intensity
// counts as 0; no round is made when `rounds` is 0 or less.
void vibrer_fenetre(QWidget* window, int intensity, int rounds);
