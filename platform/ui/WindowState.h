#pragma once

#include <QSize>
#include <QString>

class QWidget;

namespace platform {

// A window's size and state kept from one start to the next, in the user's
// configuration folder ($XDG_CONFIG_HOME/<application>/window.ini).
//
// Kept: the size the window has when not maximised, whether it was
// maximised, and its position only where the platform lets a window place
// itself (not on Wayland, where the compositor places windows and a stored
// position would mean nothing). A full screen is never kept: it belongs to
// a view of the program, not to the window.
class WindowState
{
public:
    // The file the states are kept in.
    static QString fileName();

    // Writes the state of `window` under `key`.
    static void save(const QWidget *window, const QString &key);
    // Gives `window` the kept size (never smaller than its minimum nor larger
    // than its screen), its position where one was kept and honoured, and
    // the maximised state, before it is shown. Returns false, and leaves the
    // window as it is, when nothing was kept under `key`.
    static bool restore(QWidget *window, const QString &key);
};

} // namespace platform
