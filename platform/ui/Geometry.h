#pragma once

#include <QPoint>
#include <QRect>

namespace platform {

// A rectangle as the drawing code of the program computes it: right and bottom are
// exclusive, so the width is Right - Left. Unlike QRect, an empty or inverted rectangle
// keeps its coordinates as given.
struct Rect
{
    int Left = 0;
    int Top = 0;
    int Right = 0;
    int Bottom = 0;

    constexpr Rect() = default;
    constexpr Rect(int left, int top, int right, int bottom)
        : Left(left), Top(top), Right(right), Bottom(bottom)
    {
    }

    // The rectangle at (x, y) with the given size.
    static constexpr Rect Bounds(int x, int y, int width, int height)
    {
        return {x, y, x + width, y + height};
    }

    constexpr int Width() const { return Right - Left; }
    constexpr int Height() const { return Bottom - Top; }
    // True when the rectangle has no area.
    constexpr bool IsEmpty() const { return Right <= Left || Bottom <= Top; }
    // The point lies inside: left and top edges included, right and bottom excluded.
    constexpr bool Contains(int x, int y) const { return x >= Left && x < Right && y >= Top && y < Bottom; }
    bool Contains(const QPoint &p) const { return Contains(p.x(), p.y()); }

    constexpr Rect Inflated(int dx, int dy) const { return {Left - dx, Top - dy, Right + dx, Bottom + dy}; }
    constexpr Rect Offset(int dx, int dy) const { return {Left + dx, Top + dy, Right + dx, Bottom + dy}; }

    QRect ToQRect() const { return QRect(Left, Top, Width(), Height()); }
    static Rect FromQRect(const QRect &r) { return Bounds(r.x(), r.y(), r.width(), r.height()); }

    friend constexpr bool operator==(const Rect &, const Rect &) = default;
};

} // namespace platform
