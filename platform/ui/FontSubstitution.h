#pragma once

#include <QStringList>

namespace platform {

// The installed families that stand in for the Song faces (新宋体, 宋体) and
// the Hei faces (黑体, 微软雅黑), best first: Noto Serif CJK SC and Noto
// Sans CJK SC, then the Chinese fonts a machine may have instead.
QStringList songFamilies();
QStringList heiFamilies();

// Maps the font names the windows ask for (新宋体, 宋体, 黑体, Tahoma, …) to
// the fonts installed here, and sets the program's default font "新宋体" 12 px.
void installFontSubstitutions();

} // namespace platform
