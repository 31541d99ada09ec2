#include "XwdImage.h"

#include <QtEndian>

namespace {

quint32 headerField(const QByteArray &data, int index)
{
    return qFromBigEndian<quint32>(data.constData() + 4 * index);
}

} // namespace

QImage readXwd(const QByteArray &data)
{
    if (data.size() < 100)
        return {};
    const quint32 headerSize = headerField(data, 0);
    const quint32 format = headerField(data, 2); // 2: ZPixmap
    const int width = int(headerField(data, 4));
    const int height = int(headerField(data, 5));
    const quint32 byteOrder = headerField(data, 7); // 0: LSB first
    const quint32 bitsPerPixel = headerField(data, 11);
    const quint32 bytesPerLine = headerField(data, 12);
    const quint32 colours = headerField(data, 19);
    const qsizetype offset = qsizetype(headerSize) + qsizetype(colours) * 12;
    if (format != 2 || (bitsPerPixel != 32 && bitsPerPixel != 24) ||
        data.size() < offset + qsizetype(bytesPerLine) * height)
        return {};

    QImage image(width, height, QImage::Format_RGB32);
    const int step = int(bitsPerPixel / 8);
    for (int y = 0; y < height; ++y) {
        const auto *line =
            reinterpret_cast<const uchar *>(data.constData() + offset + qsizetype(bytesPerLine) * y);
        auto *out = reinterpret_cast<QRgb *>(image.scanLine(y));
        for (int x = 0; x < width; ++x) {
            const uchar *p = line + x * step;
            out[x] = byteOrder == 0 ? qRgb(p[2], p[1], p[0]) : qRgb(p[step - 3], p[step - 2], p[step - 1]);
        }
    }
    return image;
}

double unevenShare(const QImage &image, const QRect &area)
{
    const QRgb ground = image.pixel(area.topLeft());
    int other = 0;
    for (int y = area.top(); y <= area.bottom(); ++y)
        for (int x = area.left(); x <= area.right(); ++x)
            other += image.pixel(x, y) != ground;
    return double(other) / (area.width() * area.height());
}
