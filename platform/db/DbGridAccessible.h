#pragma once

#include <QAccessible>

namespace platform::db {

class DbGrid;

// What a screen reader finds in a data grid, which may hold millions of
// rows: a table whose children are the title row (column headers) and only
// the rows on screen, each a row of cells named by their text and described
// by their column's title; the current row comes along when it is scrolled
// away, so the current cell can always be read. A screen reader never walks
// the whole list.
//
// Installs the factory that gives every DbGrid this interface; the grid
// calls it when the first grid is made.
void installGridAccessibility();

// Tells an assistive technology that the grid's current cell moved, or that
// the rows on screen changed (scrolling, a new list).
void notifyGridCurrentCell(DbGrid *grid);
void notifyGridRowsChanged(DbGrid *grid);

} // namespace platform::db
