#pragma once

#include "platform/ui/Colors.h"

namespace platform {

// A pen as a value: colour, width, line style and raster mode. The default is a black
// solid pen one pixel wide that copies.
class Pen
{
public:
    enum class Style { Solid, Dash, Dot, DashDot, DashDotDot, Clear, InsideFrame };
    enum class Mode {
        Black,
        White,
        Nop,
        Not,
        Copy,
        NotCopy,
        MergePenNot,
        MaskPenNot,
        MergeNotPen,
        MaskNotPen,
        Merge,
        NotMerge,
        Mask,
        NotMask,
        Xor,
        NotXor
    };

    Pen() = default;
    Pen(TColor color, int width, Style style = Style::Solid, Mode mode = Mode::Copy)
        : m_color(color), m_width(width), m_style(style), m_mode(mode)
    {
    }

    TColor color() const { return m_color; }
    void setColor(TColor color) { m_color = color; }
    int width() const { return m_width; }
    void setWidth(int width) { m_width = width; }
    Style style() const { return m_style; }
    void setStyle(Style style) { m_style = style; }
    Mode mode() const { return m_mode; }
    void setMode(Mode mode) { m_mode = mode; }

    friend bool operator==(const Pen &, const Pen &) = default;

private:
    TColor m_color = clBlack;
    int m_width = 1;
    Style m_style = Style::Solid;
    Mode m_mode = Mode::Copy;
};

} // namespace platform
