#pragma once

#include <QPixmap>

// The program's small pictures, drawn in code so they stay sharp at any
// size and need no files.
namespace resources {

enum class Glyph {
    FolderOpen,   // tree: the selected node
    FolderClosed, // tree: every other node
    TreeShow,     // toolbar: bring the tree back
    TreeHide,     // toolbar: hide the tree
    DetailShow,   // toolbar: show the detail strip
    DetailHide,   // toolbar: hide the detail strip
    Query,        // compound query
    Refresh,      // reload the list
    Search,       // quick search
    Web,          // company web site
    Credible,     // credible enterprises
    FullScreen,   // full-screen toggle
    AddRow,       // add a condition
    DeleteRow,    // delete a condition
    ClearRows,    // clear the conditions
    CheckAll,     // mark every item
    UncheckAll,   // unmark every item
    Accept,       // OK
    Reject,       // Cancel
};

// The glyph drawn in a square of `size` pixels.
QPixmap glyph(Glyph which, int size = 16);

} // namespace resources
