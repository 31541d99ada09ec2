#pragma once

class QWidget;

// Keeps what Qt believes of a tool window's place on the screen true to
// where the window shows.
//
// A window manager such as openbox takes a window that is being shown into
// a frame window of its own, made at the screen's top-left corner and moved
// to the window's place afterwards. Qt can read the window's place while
// the frame still sits at the corner; the manager, which never moved the
// window inside its frame, sends no correction. The window shows where it
// was asked to be, but Qt maps every point of it from the corner: a combo
// box opens its list at the screen's corner, at the box's place inside the
// window, and the click that should choose from it lands elsewhere.
//
// Once the window is exposed, this asks again for the place it was shown
// at when Qt believes another; the manager answers that request with the
// window's true place, which Qt takes. Call it once, before the window is
// first shown; it follows every later showing too.
void followShownPosition(QWidget *window);
