#pragma once

#include "platform/ui/Controls.h"

#include <Qt>

class QWidget;

namespace platform {

// The framework's standard cursor identifiers (crDefault, 0, is in Controls.h).
inline constexpr Cursor crNone = -1;
inline constexpr Cursor crArrow = -2;
inline constexpr Cursor crCross = -3;
inline constexpr Cursor crIBeam = -4;
inline constexpr Cursor crSizeNESW = -6;
inline constexpr Cursor crSizeNS = -7;
inline constexpr Cursor crSizeNWSE = -8;
inline constexpr Cursor crSizeWE = -9;
inline constexpr Cursor crUpArrow = -10;
inline constexpr Cursor crHourGlass = -11;
inline constexpr Cursor crDrag = -12;
inline constexpr Cursor crNoDrop = -13;
inline constexpr Cursor crHSplit = -14;
inline constexpr Cursor crVSplit = -15;
inline constexpr Cursor crMultiDrag = -16;
inline constexpr Cursor crSQLWait = -17;
inline constexpr Cursor crNo = -18;
inline constexpr Cursor crAppStart = -19;
inline constexpr Cursor crHelp = -20;
inline constexpr Cursor crHandPoint = -21;
inline constexpr Cursor crSizeAll = -22;
inline constexpr Cursor crSize = crSizeAll;

// The Qt shape that stands for a cursor identifier; the arrow for crDefault and for
// identifiers the program does not know.
Qt::CursorShape CursorShapeOf(Cursor cursor);

// Shows `cursor` while the mouse is over `widget`; crDefault lets the widget show what
// its parent shows.
void ShowCursor(QWidget *widget, Cursor cursor);

} // namespace platform
