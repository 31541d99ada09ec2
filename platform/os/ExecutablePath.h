#pragma once

#include <QString>

namespace platform {

// Full path of the running executable (from /proc/self/exe).
QString executablePath();

// Folder of the running executable, with its trailing "/".
QString executableFolder();

} // namespace platform
