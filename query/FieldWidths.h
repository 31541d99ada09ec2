#pragma once

namespace platform::db {
class DbQuery;
}

// Gives every field of the query a display width from its current row: the
// value's length in GB2312 bytes (a Chinese character counts two) plus 10,
// or 10 when the value is empty. The company list, the compound query and
// the quick search size their columns this way.
void SizeFieldsToCurrentRow(platform::db::DbQuery *query);
