#pragma once

#include <QByteArrayView>
#include <QImage>
#include <QString>

#include <stdexcept>

namespace platform {

// A JPEG stream that cannot be decoded: not a JPEG at all, damaged, cut short,
// in a colour space the program does not show, or larger than it accepts.
class JpegError : public std::runtime_error
{
public:
    explicit JpegError(const QString &message) : std::runtime_error(message.toStdString()) {}
    QString message() const { return QString::fromStdString(what()); }
};

// The largest picture accepted, in pixels: a damaged header must not be able
// to ask for gigabytes before the first scan line is read.
inline constexpr qint64 maxJpegPixels = qint64(1) << 26;

// Decodes a complete JPEG stream (baseline or progressive) held in memory.
// Colour pictures come back as QImage::Format_RGB32, grey-scale ones as
// QImage::Format_Grayscale8. Every fault libjpeg reports throws JpegError,
// including the warnings it gives for corrupt or missing data before it
// fills the rest of the picture with invented pixels: a picture is either
// decoded whole or not at all. Only the bytes of `data` are ever read.
QImage decodeJpeg(QByteArrayView data);

} // namespace platform
