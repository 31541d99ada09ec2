#pragma once

#include "store/FixedArray.h"

#include <cstddef>
#include <cstdint>
#include <string_view>

namespace store {

struct TextChunk;

// For each character of one chunk of a compact-coded text column, the rows
// whose cell holds it, so that a word is looked for only in the cells
// holding all its characters instead of across the column's bytes; a word
// of one character is answered outright. A character held by many rows
// keeps a bit per row, one held by few a list of its rows, whichever is
// smaller.
//
// Characters are keyed as the code reads them (CompactCode::nextIndex): an
// ASCII byte by itself, a letter by its lower case (the search matches
// letters in either case), any other character by kFirstCoded + its code
// index. Rows kept as read are in no list: they are read apart.
class CharacterIndex
{
public:
    static constexpr int kFirstCoded = 128;

    CharacterIndex() = default;
    static CharacterIndex build(const TextChunk &text, int rows);

    bool empty() const { return m_entries.empty(); }
    // ORs the rows holding the character `key` into `out` (a bit per row,
    // `words` words); nothing for a key beyond the chunk's characters.
    void addRows(int key, std::uint64_t *out, std::size_t words) const;
    // Clears from `rows` each row whose cell lacks a character of the coded
    // text (an ASCII letter in either case).
    void keepRowsHoldingAll(std::string_view coded, std::uint64_t *rows, std::size_t words) const;
    std::size_t memoryBytes() const;

    // The key of the character at `p` of coded text; moves `p` past it.
    static int nextKey(const unsigned char *&p);

private:
    struct Entry
    {
        std::uint32_t begin = 0; // in m_lists, or in m_bitmaps (in words) when `count` is kBitmap
        std::uint32_t count = 0;
    };
    static constexpr std::uint32_t kBitmap = ~std::uint32_t(0);

    FixedArray<Entry> m_entries;       // per key
    FixedArray<std::uint16_t> m_lists; // the rows of each character held by few, ascending
    FixedArray<std::uint64_t> m_bitmaps;
    std::size_t m_words = 0; // words of a bitmap
};

} // namespace store
