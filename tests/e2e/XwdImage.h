#pragma once

#include <QByteArray>
#include <QImage>

// Reads the window dumps of `xwd` (TrueColor, 24 or 32 bits per pixel).
// Returns a null image for anything else.
QImage readXwd(const QByteArray &data);
