// Canvas state, clipping, pixels, lines and filled shapes.

#include "platform/ui/Canvas.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>

namespace platform {

Canvas::Canvas(QImage &image) : m_image(&image)
{
    Q_ASSERT(image.format() == QImage::Format_RGB32 || image.format() == QImage::Format_ARGB32);
}

QRgb Canvas::PixelOf(TColor color)
{
    const TColor rgb = ColorToRGB(color);
    return qRgb(RedOf(rgb), GreenOf(rgb), BlueOf(rgb));
}

void Canvas::Save()
{
    m_saved.push_back({m_pen, m_brushColor, m_brushStyle, m_font, m_clip, m_clipped, m_penPos});
}

void Canvas::Restore()
{
    if (m_saved.empty())
        return;
    const State &s = m_saved.back();
    m_pen = s.pen;
    m_brushColor = s.brushColor;
    m_brushStyle = s.brushStyle;
    m_font = s.font;
    m_clip = s.clip;
    m_clipped = s.clipped;
    m_penPos = s.penPos;
    m_saved.pop_back();
}

// ---- Clipping ------------------------------------------------------------------------

void Canvas::SetClipRect(const Rect &r)
{
    m_clip = r.IsEmpty() ? QRegion() : QRegion(r.ToQRect());
    m_clipped = true;
}

void Canvas::SetClipRoundRect(const Rect &r, int ellipseWidth, int ellipseHeight)
{
    QRegion region;
    const double rx = std::max(1, ellipseWidth) / 2.0;
    const double ry = std::max(1, ellipseHeight) / 2.0;
    for (int y = r.Top; y < r.Bottom; ++y) {
        // Distance of the row's centre into a corner zone, if it lies in one.
        const double cy = y + 0.5;
        double dy = 0;
        if (cy < r.Top + ry)
            dy = r.Top + ry - cy;
        else if (cy > r.Bottom - ry)
            dy = cy - (r.Bottom - ry);
        int inset = 0;
        if (dy > 0) {
            const double t = std::min(1.0, dy / ry);
            const double dx = rx * std::sqrt(1.0 - t * t);
            inset = int(std::ceil(rx - dx - 0.5));
        }
        const int x0 = r.Left + inset;
        const int x1 = r.Right - inset;
        if (x1 > x0)
            region += QRect(x0, y, x1 - x0, 1);
    }
    m_clip = region;
    m_clipped = true;
}

void Canvas::ClearClip()
{
    m_clip = QRegion();
    m_clipped = false;
}

bool Canvas::Visible(int x, int y) const
{
    if (x < 0 || y < 0 || x >= m_image->width() || y >= m_image->height())
        return false;
    return !m_clipped || m_clip.contains(QPoint(x, y));
}

void Canvas::ForEachSpan(const Rect &r, const std::function<void(int, int, int)> &fn) const
{
    const int l = std::max(0, r.Left);
    const int t = std::max(0, r.Top);
    const int rr = std::min(m_image->width(), r.Right);
    const int b = std::min(m_image->height(), r.Bottom);
    if (rr <= l || b <= t)
        return;
    if (!m_clipped) {
        for (int y = t; y < b; ++y)
            fn(y, l, rr);
        return;
    }
    const QRegion visible = m_clip & QRegion(l, t, rr - l, b - t);
    for (const QRect &q : visible)
        for (int y = q.top(); y <= q.bottom(); ++y)
            fn(y, q.left(), q.right() + 1);
}

// ---- Pixels --------------------------------------------------------------------------

TColor Canvas::Pixel(int x, int y) const
{
    if (x < 0 || y < 0 || x >= m_image->width() || y >= m_image->height())
        return clNone;
    const QRgb p = reinterpret_cast<const QRgb *>(m_image->constScanLine(y))[x];
    return RGB(qRed(p), qGreen(p), qBlue(p));
}

void Canvas::SetPixel(int x, int y, TColor color)
{
    Plot(x, y, PixelOf(color));
}

void Canvas::Plot(int x, int y, QRgb value)
{
    if (Visible(x, y))
        reinterpret_cast<QRgb *>(m_image->scanLine(y))[x] = value;
}

void Canvas::FillSpan(int y, int x0, int x1, QRgb value)
{
    QRgb *line = reinterpret_cast<QRgb *>(m_image->scanLine(y));
    std::fill(line + x0, line + x1, value);
}

void Canvas::PenDot(int x, int y, QRgb value, int width)
{
    if (width <= 1) {
        Plot(x, y, value);
        return;
    }
    // A square of the pen's width, centred like a device pen (the extra pixel of an even
    // width goes up and left).
    const int lo = -(width / 2);
    for (int dy = lo; dy < lo + width; ++dy)
        for (int dx = lo; dx < lo + width; ++dx)
            Plot(x + dx, y + dy, value);
}

void Canvas::Line(int x0, int y0, int x1, int y1, QRgb value, int width)
{
    // Bresenham; the end point is left out.
    const int dx = std::abs(x1 - x0);
    const int dy = -std::abs(y1 - y0);
    const int sx = x0 < x1 ? 1 : -1;
    const int sy = y0 < y1 ? 1 : -1;
    int err = dx + dy;
    int x = x0;
    int y = y0;
    while (x != x1 || y != y1) {
        PenDot(x, y, value, width);
        const int e2 = 2 * err;
        if (e2 >= dy) {
            err += dy;
            x += sx;
        }
        if (e2 <= dx) {
            err += dx;
            y += sy;
        }
    }
}

void Canvas::LineTo(int x, int y)
{
    if (m_pen.style() != Pen::Style::Clear)
        Line(m_penPos.x(), m_penPos.y(), x, y, PixelOf(m_pen.color()), m_pen.width());
    m_penPos = QPoint(x, y);
}

// ---- Shapes --------------------------------------------------------------------------

void Canvas::FillRect(const Rect &r, TColor color)
{
    const QRgb value = PixelOf(color);
    ForEachSpan(r, [&](int y, int x0, int x1) { FillSpan(y, x0, x1, value); });
}

void Canvas::FillRect(const Rect &r)
{
    if (m_brushStyle == BrushStyle::Clear)
        return;
    FillRect(r, m_brushColor);
}

void Canvas::FrameRect(const Rect &r, TColor color)
{
    if (r.IsEmpty())
        return;
    FillRect({r.Left, r.Top, r.Right, r.Top + 1}, color);
    FillRect({r.Left, r.Bottom - 1, r.Right, r.Bottom}, color);
    FillRect({r.Left, r.Top, r.Left + 1, r.Bottom}, color);
    FillRect({r.Right - 1, r.Top, r.Right, r.Bottom}, color);
}

void Canvas::Rectangle(const Rect &r)
{
    if (r.IsEmpty())
        return;
    const bool pen = m_pen.style() != Pen::Style::Clear;
    if (m_brushStyle == BrushStyle::Solid)
        FillRect(pen ? r.Inflated(-1, -1) : r, m_brushColor);
    if (!pen)
        return;
    const QRgb value = PixelOf(m_pen.color());
    const int w = std::max(1, m_pen.width());
    if (w == 1) {
        FrameRect(r, m_pen.color());
        return;
    }
    for (int x = r.Left; x < r.Right; ++x) {
        PenDot(x, r.Top, value, w);
        PenDot(x, r.Bottom - 1, value, w);
    }
    for (int y = r.Top; y < r.Bottom; ++y) {
        PenDot(r.Left, y, value, w);
        PenDot(r.Right - 1, y, value, w);
    }
}

void Canvas::FillPolygon(const std::vector<QPoint> &points, QRgb value)
{
    if (points.size() < 3)
        return;
    int top = points[0].y();
    int bottom = top;
    for (const QPoint &p : points) {
        top = std::min(top, p.y());
        bottom = std::max(bottom, p.y());
    }
    top = std::max(top, 0);
    bottom = std::min(bottom, m_image->height());
    std::vector<double> xs;
    const std::size_t n = points.size();
    for (int y = top; y < bottom; ++y) {
        // Alternate rule at the row's centre line.
        const double cy = y + 0.5;
        xs.clear();
        for (std::size_t i = 0; i < n; ++i) {
            const QPoint a = points[i];
            const QPoint b = points[(i + 1) % n];
            if ((a.y() <= cy) == (b.y() <= cy))
                continue;
            xs.push_back(a.x() + (cy - a.y()) * double(b.x() - a.x()) / double(b.y() - a.y()));
        }
        std::sort(xs.begin(), xs.end());
        for (std::size_t i = 0; i + 1 < xs.size(); i += 2) {
            // Pixels whose centre lies inside the span.
            const int x0 = int(std::ceil(xs[i] - 0.5));
            const int x1 = int(std::ceil(xs[i + 1] - 0.5));
            ForEachSpan({x0, y, x1, y + 1}, [&](int yy, int a, int b) { FillSpan(yy, a, b, value); });
        }
    }
}

void Canvas::Polygon(const std::vector<QPoint> &points)
{
    if (points.empty())
        return;
    if (m_brushStyle == BrushStyle::Solid)
        FillPolygon(points, PixelOf(m_brushColor));
    if (m_pen.style() == Pen::Style::Clear)
        return;
    const QRgb value = PixelOf(m_pen.color());
    for (std::size_t i = 0; i < points.size(); ++i) {
        const QPoint a = points[i];
        const QPoint b = points[(i + 1) % points.size()];
        Line(a.x(), a.y(), b.x(), b.y(), value, m_pen.width());
    }
}

bool Canvas::InEllipse(const Rect &r, int x, int y)
{
    const double rx = r.Width() / 2.0;
    const double ry = r.Height() / 2.0;
    if (rx <= 0 || ry <= 0)
        return false;
    const double dx = (x + 0.5 - (r.Left + rx)) / rx;
    const double dy = (y + 0.5 - (r.Top + ry)) / ry;
    return dx * dx + dy * dy <= 1.0;
}

void Canvas::Ellipse(const Rect &r)
{
    if (r.IsEmpty())
        return;
    const bool pen = m_pen.style() != Pen::Style::Clear;
    const int w = pen ? std::max(1, m_pen.width()) : 0;
    const Rect inner = r.Inflated(-w, -w);
    const QRgb fill = PixelOf(m_brushColor);
    const QRgb line = PixelOf(m_pen.color());
    const bool brush = m_brushStyle == BrushStyle::Solid;
    for (int y = r.Top; y < r.Bottom; ++y)
        for (int x = r.Left; x < r.Right; ++x) {
            if (!InEllipse(r, x, y))
                continue;
            if (pen && !InEllipse(inner, x, y))
                Plot(x, y, line);
            else if (brush)
                Plot(x, y, fill);
        }
}

void Canvas::DrawFocusRect(const Rect &r)
{
    if (r.IsEmpty())
        return;
    const auto invert = [this](int x, int y) {
        // The dotted pattern is anchored to the surface, so a second call undoes the first.
        if (((x + y) & 1) != 0 || !Visible(x, y))
            return;
        QRgb &p = reinterpret_cast<QRgb *>(m_image->scanLine(y))[x];
        p = qRgb(255 - qRed(p), 255 - qGreen(p), 255 - qBlue(p));
    };
    for (int x = r.Left; x < r.Right; ++x) {
        invert(x, r.Top);
        if (r.Bottom - 1 > r.Top)
            invert(x, r.Bottom - 1);
    }
    for (int y = r.Top + 1; y < r.Bottom - 1; ++y) {
        invert(r.Left, y);
        if (r.Right - 1 > r.Left)
            invert(r.Right - 1, y);
    }
}

} // namespace platform
