#pragma once

#include <QColor>

namespace platform::db {

// The colour behind the characters a search found, in the grid and the
// bound edits: a marker yellow, which the edits' blue text stays legible on.
inline QColor searchHighlightColor()
{
    return QColor(255, 226, 84);
}

} // namespace platform::db
