#include "platform/ui/Font.h"

#include <algorithm>
#include <cmath>

namespace platform {

int Font::height() const
{
    return -int(std::lround(double(m_size) * PixelsPerInch / 72.0));
}

void Font::setHeight(int height)
{
    // A positive height includes the internal leading; both signs map to points alike here.
    const int pixels = height < 0 ? -height : height;
    m_size = int(std::lround(double(pixels) * 72.0 / PixelsPerInch));
}

QFont Font::toQFont() const
{
    QFont f(m_name);
    f.setPixelSize(std::max(1, -height()));
    f.setBold(hasStyle(Bold));
    f.setItalic(hasStyle(Italic));
    f.setUnderline(hasStyle(Underline));
    f.setStrikeOut(hasStyle(StrikeOut));
    return f;
}

} // namespace platform
