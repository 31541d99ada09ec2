// Blits with raster operations, transparent images, image lists, monochrome stamps and
// the colour passes (alpha blend and grayscale).

#include "platform/ui/Canvas.h"
#include "platform/ui/ImageList.h"

#include <algorithm>

namespace platform {

namespace {

// The colour bits of a device pixel; the fourth byte is kept opaque.
constexpr QRgb ColourBits = 0x00FFFFFF;

QRgb Combine(QRgb s, QRgb d, QRgb p, unsigned rop)
{
    QRgb v;
    switch (rop) {
    case SRCPAINT:
        v = s | d;
        break;
    case SRCAND:
        v = s & d;
        break;
    case SRCINVERT:
        v = s ^ d;
        break;
    case SRCERASE:
        v = s & ~d;
        break;
    case MERGECOPY:
        v = s & p;
        break;
    case MERGEPAINT:
        v = ~s | d;
        break;
    case PATCOPY:
        v = p;
        break;
    case SRCCOPY:
    default:
        v = s;
        break;
    }
    return 0xFF000000u | (v & ColourBits);
}

QRgb Over(QRgb src, QRgb dst)
{
    const int a = qAlpha(src);
    if (a == 255)
        return src | 0xFF000000u;
    const auto mix = [a](int s, int d) { return (s * a + d * (255 - a) + 127) / 255; };
    return qRgb(mix(qRed(src), qRed(dst)), mix(qGreen(src), qGreen(dst)), mix(qBlue(src), qBlue(dst)));
}

} // namespace

void Canvas::BitBlt(int x, int y, int w, int h, const QImage &source, int sx, int sy, unsigned rop)
{
    if (source.isNull() || w <= 0 || h <= 0)
        return;
    const QImage src = source.format() == QImage::Format_RGB32 || source.format() == QImage::Format_ARGB32
                           ? source
                           : source.convertToFormat(QImage::Format_RGB32);
    const QRgb pattern = PixelOf(m_brushColor);
    ForEachSpan({x, y, x + w, y + h}, [&](int yy, int x0, int x1) {
        const int srcY = sy + (yy - y);
        if (srcY < 0 || srcY >= src.height())
            return;
        const QRgb *s = reinterpret_cast<const QRgb *>(src.constScanLine(srcY));
        QRgb *d = reinterpret_cast<QRgb *>(m_image->scanLine(yy));
        for (int xx = x0; xx < x1; ++xx) {
            const int srcX = sx + (xx - x);
            if (srcX < 0 || srcX >= src.width())
                continue;
            d[xx] = Combine(s[srcX], d[xx], pattern, rop);
        }
    });
}

void Canvas::Draw(int x, int y, const QImage &source)
{
    if (source.isNull())
        return;
    const QImage src = source.convertToFormat(QImage::Format_ARGB32);
    ForEachSpan({x, y, x + src.width(), y + src.height()}, [&](int yy, int x0, int x1) {
        const QRgb *s = reinterpret_cast<const QRgb *>(src.constScanLine(yy - y));
        QRgb *d = reinterpret_cast<QRgb *>(m_image->scanLine(yy));
        for (int xx = x0; xx < x1; ++xx) {
            const QRgb p = s[xx - x];
            if (qAlpha(p) != 0)
                d[xx] = Over(p, d[xx]);
        }
    });
}

void Canvas::DrawTransparent(int x, int y, const QImage &source, TColor transparent)
{
    if (source.isNull())
        return;
    const QImage src = source.convertToFormat(QImage::Format_ARGB32);
    const QRgb key = PixelOf(transparent) & ColourBits;
    ForEachSpan({x, y, x + src.width(), y + src.height()}, [&](int yy, int x0, int x1) {
        const QRgb *s = reinterpret_cast<const QRgb *>(src.constScanLine(yy - y));
        QRgb *d = reinterpret_cast<QRgb *>(m_image->scanLine(yy));
        for (int xx = x0; xx < x1; ++xx) {
            const QRgb p = s[xx - x];
            if ((p & ColourBits) != key && qAlpha(p) != 0)
                d[xx] = Over(p, d[xx]);
        }
    });
}

bool Canvas::DrawImageList(const ImageList &list, int index, int x, int y, bool enabled)
{
    if (index < 0 || index >= list.Count())
        return false;
    QImage image = list.Image(index).convertToFormat(QImage::Format_ARGB32);
    if (!enabled)
        for (int row = 0; row < image.height(); ++row) {
            auto *line = reinterpret_cast<QRgb *>(image.scanLine(row));
            for (int col = 0; col < image.width(); ++col) {
                const int v = qGray(line[col]);
                line[col] = qRgba(v, v, v, qAlpha(line[col]));
            }
        }
    Draw(x, y, image);
    return true;
}

QImage Canvas::ImageListMask(const ImageList &list, int index)
{
    const QImage image = list.Image(index).convertToFormat(QImage::Format_ARGB32);
    if (image.isNull())
        return {};
    QImage mask(image.size(), QImage::Format_Mono);
    mask.setColor(0, qRgb(255, 255, 255));
    mask.setColor(1, qRgb(0, 0, 0));
    for (int y = 0; y < image.height(); ++y) {
        const QRgb *line = reinterpret_cast<const QRgb *>(image.constScanLine(y));
        for (int x = 0; x < image.width(); ++x)
            mask.setPixel(x, y, qAlpha(line[x]) != 0 ? 1 : 0);
    }
    return mask;
}

void Canvas::DrawStateMono(const QImage &mask, int x, int y)
{
    if (mask.isNull())
        return;
    const QRgb value = PixelOf(m_brushColor);
    ForEachSpan({x, y, x + mask.width(), y + mask.height()}, [&](int yy, int x0, int x1) {
        QRgb *d = reinterpret_cast<QRgb *>(m_image->scanLine(yy));
        for (int xx = x0; xx < x1; ++xx)
            if (mask.pixelIndex(xx - x, yy - y) == 1)
                d[xx] = value;
    });
}

void Canvas::AlphaBlend(const Rect &r, TColor color, int weight)
{
    const int l = std::max(0, r.Left);
    const int t = std::max(0, r.Top);
    const int rr = std::min(Width(), r.Right);
    const int b = std::min(Height(), r.Bottom);
    if (rr <= l || b <= t)
        return;
    weight = std::clamp(weight, 0, 255);
    const quint32 k = PixelOf(color) & ColourBits;
    const quint32 g = quint32(weight);
    const quint32 kRB = (k & 0xFF00FF) * g;
    const quint32 kG = (k & 0x00FF00) * g;
    for (int y = t; y < b; ++y) {
        QRgb *line = reinterpret_cast<QRgb *>(m_image->scanLine(y));
        for (int x = l; x < rr; ++x) {
            const quint32 p = line[x] & ColourBits;
            if (p == k)
                continue;
            // Red and blue together, green on its own; the divisor is 256.
            const quint32 rb = ((kRB + (p & 0xFF00FF) * (255 - g)) >> 8) & 0xFF00FF;
            const quint32 gg = ((kG + (p & 0x00FF00) * (255 - g)) >> 8) & 0x00FF00;
            line[x] = 0xFF000000u | rb | gg;
        }
    }
}

void Canvas::Grayscale(const Rect &r)
{
    const int l = std::max(0, r.Left);
    const int t = std::max(0, r.Top);
    const int rr = std::min(Width(), r.Right);
    const int b = std::min(Height(), r.Bottom);
    for (int y = t; y < b; ++y) {
        QRgb *line = reinterpret_cast<QRgb *>(m_image->scanLine(y));
        for (int x = l; x < rr; ++x) {
            const QRgb p = line[x];
            // The fourth byte of a device pixel is zero.
            const int v = (qBlue(p) + qGreen(p) + qRed(p) + 0) >> 2;
            line[x] = qRgb(v, v, v);
        }
    }
}

} // namespace platform
