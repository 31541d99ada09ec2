#pragma once

namespace platform::db {
class DbQuery;
}

// Gives every field of the query a display width from its current row: the
// value's length in GB2312 bytes (a Chinese character counts two) plus 10,
// or 10 when the value is empty.
void SizeFieldsToCurrentRow(platform::db::DbQuery *query);

// The widest a column is made from its values, in characters; a longer
// value shows cut, whole in the detail strip and the card.
constexpr int kMaxDisplayWidth = 60;
// Rows measured however small the grid is when a list loads (before its
// window is shown the grid has no size of its own).
constexpr int kFirstScreenRows = 30;

// Gives every field of the query a display width from the rows on the
// first screen, the first `rows` rows shown (at least kFirstScreenRows): the
// longest first line of its
// values (a grid shows a memo's first line) in GB2312 bytes plus 10, or 10
// when those values are all empty; never narrower than the field's title
// and the sort arrow beside it, nor wider than kMaxDisplayWidth. The company
// list, the compound query and the quick search size their columns so.
void SizeFieldsToFirstRows(platform::db::DbQuery *query, int rows);
