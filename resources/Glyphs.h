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
    Export,       // export the listed companies to a file
    AddRow,       // add a condition
    DeleteRow,    // delete a condition
    ClearRows,    // clear the conditions
    CheckAll,     // mark every item
    UncheckAll,   // unmark every item
    Accept,       // OK
    Reject,       // Cancel
    Exit,         // main window: leave the program ("退 出")
    Upgrade,      // about panel: online upgrade ("在线升级")
    Lookup,       // lookup panels: run the lookup ("查找")
    Hotel,        // business assistant: hotel booking
    Translation,  // business assistant: business translation
    Purchase,     // business assistant: online purchasing
    Modeling,     // business assistant: product modelling
    Multimedia,   // business assistant: company multimedia
    Sample,       // business assistant: electronic samples
    SiteBuild,    // business assistant: web site building
    SitePromote,  // business assistant: web site promotion
};

// The glyph drawn in a square of `size` pixels.
QPixmap glyph(Glyph which, int size = 16);

} // namespace resources
