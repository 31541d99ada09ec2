#pragma once

namespace platform {

// Maps the font names the windows ask for (新宋体, 宋体, Tahoma, …) to the
// fonts installed here, and sets the program's default font "新宋体" 12 px.
void installFontSubstitutions();

} // namespace platform
