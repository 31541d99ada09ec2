#pragma once

#include <Qt>

class QWidget;

namespace platform {

// The window flags of a borderless tool window owned by another window. Its
// system window is transient for the owner's: the window manager keeps it
// above its owner only, moves it with the owner's desktop and minimises it
// with the owner. A window kept above every program instead would cover the
// browser that the program itself has just opened.
inline constexpr Qt::WindowFlags kOwnedToolWindowFlags = Qt::Tool | Qt::FramelessWindowHint;

// Brings the program to the user: the window is shown again if it was
// minimised, raised and activated, and a modal window it is waiting for (a
// message box, the splash) comes forward above it. Without a window only the
// modal one comes forward.
void bringToFront(QWidget *window);

} // namespace platform
