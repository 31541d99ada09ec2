#pragma once

// The application title: the main window's caption, the name of the
// single-instance lock, and the caption of plain message boxes.
inline constexpr const char *kApplicationTitle = "Velmora";
