#pragma once

#include <QByteArray>
#include <QImage>
#include <QRect>

// Reads the window dumps of `xwd` (TrueColor, 24 or 32 bits per pixel).
// Returns a null image for anything else.
QImage readXwd(const QByteArray &data);

// The share of the area's pixels that differ from its first one: whether
// something is drawn there.
double unevenShare(const QImage &image, const QRect &area);
