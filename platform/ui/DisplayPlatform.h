#pragma once

#include <QByteArray>

namespace platform {

// The Qt platform plugin the program asks for, from the environment it was
// started in: the user's own QT_QPA_PLATFORM always wins; otherwise, where a
// Wayland compositor is there (WAYLAND_DISPLAY), native Wayland first and X11
// (XWayland, DISPLAY) only where the Wayland plugin cannot start; otherwise
// nothing, and Qt takes X11. So with both WAYLAND_DISPLAY and DISPLAY set the
// program runs on Wayland: sharp on a scaled screen, its drags and tool
// windows placed by the compositor, rather than blurred through XWayland.
// Returns the value to set, or an empty array to leave Qt's choice alone.
QByteArray chooseDisplayPlatform(const QByteArray &qtQpaPlatform, const QByteArray &waylandDisplay);

// Applies the choice to this process's environment; call it before the
// application object is made.
void useDisplayPlatformFromEnvironment();

} // namespace platform
