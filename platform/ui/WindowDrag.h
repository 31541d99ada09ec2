#pragma once

#include <QPointF>
#include <Qt>

class QWidget;

namespace platform {

// The stand-in for the system "move" command sent from a mouse press on a
// self-drawn title strip: the top-level window of `widget` follows the mouse
// until `button`, the button that was pressed at `globalPos`, is released.
//
// Nothing moves until the pointer has gone the platform's drag distance from
// the press with the button held, so a click or a double-click still reaches
// the strip. Then a left drag is handed to the window manager or compositor
// (QWindow::startSystemMove), which moves the window natively, the only way
// a window moves on Wayland. The window manager's move protocol only knows
// the left button, so any other button, and every button where the platform
// refuses a system move, is followed here by moving the window with the
// pointer from the press on. The window manager moves the window with the
// pointer from the point where it took the move: the drag distance before it
// moves nothing. A new press ends a running drag. Returns false when there is
// no window to move.
bool dragWindow(QWidget *widget, Qt::MouseButton button, const QPointF &globalPos);

// True from the press that armed a drag until its button is released, while
// the drag is not the window manager's.
bool windowDragRunning();

// True where a top-level window can place itself (X11, the offscreen
// platform); false on Wayland, where only the compositor places windows.
bool windowPositionsHonoured();

} // namespace platform
