#pragma once

#include <QIcon>

namespace resources {

// The program's icon, at 16, 32, 48, 64, 128 and 256 pixels; the same files
// are installed for the desktop's menu.
QIcon applicationIcon();

} // namespace resources
