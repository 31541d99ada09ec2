#pragma once

#include "platform/db/ColumnStore.h"
#include "platform/db/RowPredicate.h"

#include <algorithm>
#include <string_view>

namespace platform::db {

// What to look for in a column's text: bytes with their ASCII letters
// lower-cased, and whether letters match in either case.
struct TextNeedle
{
    std::string_view lower;
    bool foldLetters = false;
    // The needle ends in a multi-byte character, which a stray continuation
    // byte right after it would extend into another character.
    bool endsInMultibyte = false;
};

// The rows of a text column whose loaded text contains the needle, found
// by one pass over the column's buffer instead of row by row (the bytes of
// a million profiles are searched in a few tens of milliseconds, on two
// threads when the column is large). Edited cells are looked at on their
// own. The column must hold no NUL byte; the needle must not be empty.
RowBits rowsContaining(const ColumnStore &store, int column, const TextNeedle &needle);

// The candidate rows of a text column whose cell passes `match` (a null
// cell never does); with `cutAtNul` a cell is taken only up to a NUL byte,
// as the engine reads it for LIKE. The cells of the coming rows are
// fetched into the cache ahead of time: the rows lie in one buffer, each
// a few hundred bytes after the one before.
template <typename Match>
RowBits keepTextCells(const ColumnStore &store, int column, const RowBits &candidates, bool cutAtNul,
                      Match match)
{
    const ColumnStore::LoadedText loaded = store.loadedText(column);
    const int rows = store.rowCount();
    constexpr int kAhead = 24;
    return keepRows(candidates, [&](int row) {
        if (row + kAhead < rows)
            __builtin_prefetch(loaded.bytes + loaded.ends[row + kAhead]);
        std::string_view cell = store.text(row, column);
        if (cutAtNul)
            cell = cell.substr(0, std::min(cell.size(), cell.find('\0')));
        return match(cell) && !store.isNull(row, column);
    });
}

} // namespace platform::db
