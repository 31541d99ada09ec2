#pragma once

#include <QColor>
#include <cstdint>

// A colour as the program stores it: the low three bytes are red, green and blue
// (so 0x00FF0000 is blue); 0x80000000 + n names system colour n.
using TColor = std::uint32_t;

namespace platform {

inline constexpr TColor SystemColorFlag = 0x80000000u;

// Colour constants of the classic palette.
inline constexpr TColor clBlack = 0x000000;
inline constexpr TColor clMaroon = 0x000080;
inline constexpr TColor clGreen = 0x008000;
inline constexpr TColor clOlive = 0x008080;
inline constexpr TColor clNavy = 0x800000;
inline constexpr TColor clPurple = 0x800080;
inline constexpr TColor clTeal = 0x808000;
inline constexpr TColor clGray = 0x808080;
inline constexpr TColor clSilver = 0xC0C0C0;
inline constexpr TColor clRed = 0x0000FF;
inline constexpr TColor clLime = 0x00FF00;
inline constexpr TColor clYellow = 0x00FFFF;
inline constexpr TColor clBlue = 0xFF0000;
inline constexpr TColor clFuchsia = 0xFF00FF;
inline constexpr TColor clAqua = 0xFFFF00;
inline constexpr TColor clWhite = 0xFFFFFF;
inline constexpr TColor clNone = 0x1FFFFFFF;
inline constexpr TColor clDefault = 0x20000000;

// System colours (index n of the system colour table).
inline constexpr TColor clScrollBar = SystemColorFlag | 0;
inline constexpr TColor clBackground = SystemColorFlag | 1;
inline constexpr TColor clActiveCaption = SystemColorFlag | 2;
inline constexpr TColor clInactiveCaption = SystemColorFlag | 3;
inline constexpr TColor clMenu = SystemColorFlag | 4;
inline constexpr TColor clWindow = SystemColorFlag | 5;
inline constexpr TColor clWindowFrame = SystemColorFlag | 6;
inline constexpr TColor clMenuText = SystemColorFlag | 7;
inline constexpr TColor clWindowText = SystemColorFlag | 8;
inline constexpr TColor clCaptionText = SystemColorFlag | 9;
inline constexpr TColor clActiveBorder = SystemColorFlag | 10;
inline constexpr TColor clInactiveBorder = SystemColorFlag | 11;
inline constexpr TColor clAppWorkSpace = SystemColorFlag | 12;
inline constexpr TColor clHighlight = SystemColorFlag | 13;
inline constexpr TColor clHighlightText = SystemColorFlag | 14;
inline constexpr TColor clBtnFace = SystemColorFlag | 15;
inline constexpr TColor clBtnShadow = SystemColorFlag | 16;
inline constexpr TColor clGrayText = SystemColorFlag | 17;
inline constexpr TColor clBtnText = SystemColorFlag | 18;
inline constexpr TColor clInactiveCaptionText = SystemColorFlag | 19;
inline constexpr TColor clBtnHighlight = SystemColorFlag | 20;
inline constexpr TColor cl3DDkShadow = SystemColorFlag | 21;
inline constexpr TColor cl3DLight = SystemColorFlag | 22;
inline constexpr TColor clInfoText = SystemColorFlag | 23;
inline constexpr TColor clInfoBk = SystemColorFlag | 24;
inline constexpr TColor clHotLight = SystemColorFlag | 26;
inline constexpr TColor clGradientActiveCaption = SystemColorFlag | 27;
inline constexpr TColor clGradientInactiveCaption = SystemColorFlag | 28;
inline constexpr TColor clMenuHighlight = SystemColorFlag | 29;
inline constexpr TColor clMenuBar = SystemColorFlag | 30;

// Number of entries in the system colour table.
inline constexpr int SystemColorCount = 31;

constexpr TColor RGB(int r, int g, int b)
{
    return TColor(r & 0xFF) | (TColor(g & 0xFF) << 8) | (TColor(b & 0xFF) << 16);
}
constexpr int RedOf(TColor c)
{
    return int(c & 0xFF);
}
constexpr int GreenOf(TColor c)
{
    return int((c >> 8) & 0xFF);
}
constexpr int BlueOf(TColor c)
{
    return int((c >> 16) & 0xFF);
}

constexpr bool IsSystemColor(TColor c)
{
    return (c & SystemColorFlag) != 0;
}

// The RGB value of system colour `index` from the fixed classic palette; black for an
// index outside the table.
TColor SystemColor(int index);

// Resolves a system colour to its RGB value; other colours keep their low three bytes.
TColor ColorToRGB(TColor color);

// Conversions to and from Qt colours (system colours are resolved first).
QColor ToQColor(TColor color);
TColor FromQColor(const QColor &color);

} // namespace platform
