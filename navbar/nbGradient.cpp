#include "navbar/nbGradient.h"

#include "platform/ui/Canvas.h"

#include <cmath>

using namespace platform;

TnbGradient::TnbGradient() : FBeginColor(clBtnFace), FEndColor(clBlue)
{
    BuildColorTable();
}

void TnbGradient::Assign(const Persistent &source)
{
    const auto *other = dynamic_cast<const TnbGradient *>(&source);
    if (!other) {
        Persistent::Assign(source);
        return;
    }
    FBeginColor = other->FBeginColor;
    FEndColor = other->FEndColor;
    FDrawStyle = other->FDrawStyle;
    Changed();
}

void TnbGradient::SetBeginColor(TColor value)
{
    if (value == FBeginColor)
        return;
    FBeginColor = value;
    Changed();
}

void TnbGradient::SetDrawStyle(TnbGradientStyle value)
{
    if (value == FDrawStyle)
        return;
    FDrawStyle = value;
    Changed();
}

void TnbGradient::SetDirection(TnbGradientDirection value)
{
    if (value == FDirection)
        return;
    FDirection = value;
    Changed();
}

void TnbGradient::SetEndColor(TColor value)
{
    if (value == FEndColor)
        return;
    FEndColor = value;
    Changed();
}

void TnbGradient::SetCache(const QImage &image, QSize size)
{
    FCache = image;
    FCacheSize = size;
}

void TnbGradient::Changed()
{
    BuildColorTable();
    FCache = QImage();
    FCacheSize = QSize();
    if (FOnChangeParameter)
        FOnChangeParameter(this);
}

namespace {

// from + round(step * (to - from) / steps) for one channel, ties to even.
int Blend(int from, int to, int step, int steps)
{
    return from + int(std::nearbyint(double(step) * double(to - from) / double(steps)));
}

TColor BlendColor(TColor from, TColor to, int step, int steps)
{
    return RGB(Blend(RedOf(from), RedOf(to), step, steps), Blend(GreenOf(from), GreenOf(to), step, steps),
               Blend(BlueOf(from), BlueOf(to), step, steps));
}

} // namespace

void TnbGradient::BuildColorTable()
{
    TColor from = ColorToRGB(FBeginColor);
    TColor to = ColorToRGB(FEndColor);
    if (FDirection == gdInverse)
        std::swap(from, to);

    FColors[0] = from;
    if (FDrawStyle == gtVerticalToCenter || FDrawStyle == gtHorizontalToCenter) {
        // Mirrored: out to the last colour in the middle, back to the first at the end.
        for (int k = 1; k <= 127; ++k)
            FColors[std::size_t(k)] = BlendColor(from, to, k - 1, 127);
        FColors[128] = to;
        for (int k = 129; k <= 255; ++k)
            FColors[std::size_t(k)] = BlendColor(to, from, k - 128, 127);
    } else {
        for (int k = 1; k <= 255; ++k)
            FColors[std::size_t(k)] = BlendColor(from, to, k - 1, 255);
    }
}

// ---- Rendering -----------------------------------------------------------------------

void TnbGradient::Draw(Canvas &canvas, const Rect &target)
{
    const QSize size(target.Width(), target.Height());
    if (size.width() <= 0 || size.height() <= 0)
        return;
    if (FCacheSize != size) {
        FCache = Render(size.width(), size.height());
        FCacheSize = size;
    }
    if (FDrawStyle == gtEllipse)
        canvas.DrawTransparent(target.Left, target.Top, FCache, clSilver);
    else
        canvas.BitBlt(target.Left, target.Top, size.width(), size.height(), FCache, 0, 0, SRCCOPY);
}

QImage TnbGradient::Render(int w, int h) const
{
    QImage image(w, h, QImage::Format_RGB32);
    image.fill(Qt::black);
    Canvas c(image);
    const auto entry = [this](int i) { return FColors[std::size_t(std::clamp(i, 0, 255))]; };
    // Truncation toward zero, as the rendering rules ask (the table rounds instead).
    const auto trunc = [](double v) { return int(v); };

    switch (FDrawStyle) {
    case gtCornerTopLeft:
    case gtCornerTopRight:
    case gtCornerBottomRight:
    case gtCornerBottomLeft: {
        const double sx = w / 255.0;
        const double sy = h / 255.0;
        const int pw = trunc(sx + 1);
        const int ph = trunc(sy + 1);
        c.pen().setStyle(Pen::Style::Clear);
        for (int i = 0; i <= 255; ++i) {
            const int j = 255 - i;
            c.setBrushColor(entry(i));
            std::vector<QPoint> p;
            if (FDrawStyle == gtCornerTopLeft) {
                const int ty = trunc(sy * j), tx = trunc(sx * j);
                p = {{0, ty}, {tx, ty}, {tx, 0}, {tx + pw, 0}, {tx + pw, ty + ph}, {0, ty + ph}};
            } else if (FDrawStyle == gtCornerTopRight) {
                const int ty = trunc(sy * j), tx = trunc(sx * i);
                p = {{tx + pw, 0}, {tx + pw, ty}, {w, ty}, {w, ty + ph}, {tx, ty + ph}, {tx, 0}};
            } else if (FDrawStyle == gtCornerBottomRight) {
                const int ty = trunc(sy * i), tx = trunc(sx * i);
                p = {{w, ty + ph}, {tx + pw, ty + ph}, {tx + pw, h}, {tx, h}, {tx, ty}, {w, ty}};
            } else {
                const int ty = trunc(sy * i), tx = trunc(sx * j);
                p = {{tx, h}, {tx, ty + ph}, {0, ty + ph}, {0, ty}, {tx + pw, ty}, {tx + pw, h}};
            }
            c.Polygon(p);
        }
        break;
    }
    case gtTopToBottom:
    case gtVerticalToCenter: {
        const double sy = h / 255.0;
        const int ph = trunc(sy + 1);
        for (int i = 0; i <= 255; ++i) {
            const int top = i == 0 ? 0 : trunc(sy * (i - 1));
            c.FillRect({0, top, w, top + ph}, entry(i));
        }
        break;
    }
    case gtLeftToRight:
    case gtHorizontalToCenter: {
        const double sx = w / 255.0;
        const int pw = trunc(sx + 1);
        for (int i = 0; i <= 255; ++i) {
            const int left = i == 0 ? 0 : trunc(sx * (i - 1));
            c.FillRect({left, 0, left + pw, h}, entry(i));
        }
        break;
    }
    case gtDiagonalRising:
    case gtDiagonalFalling: {
        const double sx = w / 127.0;
        const double sy = h / 127.0;
        const int pw = trunc(sx + 1);
        const int ph = trunc(sy + 1);
        c.pen().setStyle(Pen::Style::Clear);
        for (int k = 0; k <= 127; ++k) {
            const int xk = trunc(k * sx);
            if (FDrawStyle == gtDiagonalFalling) {
                const int yk = trunc(k * sy);
                c.setBrushColor(entry(k));
                c.Polygon({{xk, 0}, {xk + pw, 0}, {0, yk + ph}, {0, yk}});
                c.setBrushColor(entry(128 + k));
                c.Polygon({{w, yk}, {w, yk + ph}, {xk + pw, h}, {xk, h}});
            } else {
                const int yk = trunc((127 - k) * sy);
                c.setBrushColor(entry(k));
                c.Polygon({{xk, h}, {xk + pw, h}, {0, yk}, {0, yk + ph}});
                c.setBrushColor(entry(128 + k));
                c.Polygon({{w, yk + ph}, {w, yk}, {xk + pw, 0}, {xk, 0}});
            }
        }
        break;
    }
    case gtEllipse: {
        c.FillRect({0, 0, w, h}, clSilver);
        const int c2 = w / 2 - 2;
        c.pen().setStyle(Pen::Style::Clear);
        c.pen().setWidth(1);
        int a = 1;
        int b = 1;
        for (int i = 2; i <= c2 - 1; ++i) {
            c.setBrushColor(entry(trunc(i * 255.0 / c2)));
            c.Ellipse({a, b, w - a, h - b});
            a = i;
            b = trunc(double(i) * h / w);
        }
        break;
    }
    case gtPyramid: {
        const int cx = w / 2;
        const int cy = h / 2;
        const double q = 255.0 / (w + h);
        c.pen().setStyle(Pen::Style::Solid);
        c.pen().setWidth(1);
        for (int x = 0; x <= w; ++x) {
            c.pen().setColor(entry(trunc(x * q)));
            c.MoveTo(x, 0);
            c.LineTo(cx, cy);
            c.pen().setColor(entry(trunc((h + x) * q)));
            c.MoveTo(cx, cy);
            c.LineTo(x, h);
        }
        for (int y = 0; y <= h; ++y) {
            c.pen().setColor(entry(trunc((w + y) * q)));
            c.MoveTo(w, y);
            c.LineTo(cx, cy);
            c.pen().setColor(entry(trunc(y * q)));
            c.MoveTo(cx, cy);
            c.LineTo(-1, y);
        }
        break;
    }
    }
    return image;
}
