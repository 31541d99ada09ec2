#pragma once

#include <QPointF>
#include <Qt>

class QWidget;

namespace platform {

// The stand-in for the system "move" command sent from a mouse press on a
// self-drawn title strip: the top-level window of `widget` follows the mouse
// until `button`, the button that was pressed at `globalPos`, is released.
//
// A left press is handed to the window manager where it offers interactive
// moves, so the move feels native. The window manager's move protocol only
// knows the left button, so any other button, and every button where no
// window manager takes the move, is followed here by moving the window with
// the pointer. A new drag ends a running one. Returns false when there is no
// window to move.
bool dragWindow(QWidget *widget, Qt::MouseButton button, const QPointF &globalPos);

// True while a drag followed here (not by the window manager) is running.
bool windowDragRunning();

} // namespace platform
