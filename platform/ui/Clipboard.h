#pragma once

#include <QString>

namespace platform {

// Puts a text on the desktop's clipboard, where other programs can paste it.
void copyToClipboard(const QString &text);

} // namespace platform
