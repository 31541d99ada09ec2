#pragma once

#include "store/AlnumSlot.h"
#include "store/FixedArray.h"

#include <cstddef>
#include <cstdint>
#include <string_view>

namespace store {

class CompactCode;
struct TextChunk;

// For each character of one chunk of a compact-coded text column (or of
// one of plain ASCII text holding letters), the rows whose cell holds it,
// so that a word is looked for only in the cells holding all its
// characters instead of across the column's bytes; a word of one character
// is answered outright. A character held by many rows keeps a bit per row,
// one held by few a list of its rows, whichever is smaller.
//
// Characters are keyed by their coded bytes (see CompactCode; plain text
// by its bytes): a byte below 0x80 by itself, an ASCII letter by its lower
// case (the search matches letters in either case), a code of two or three
// bytes by its place among them. Rows kept as read are in no list: they
// are read apart.
class CharacterIndex
{
public:
    CharacterIndex() = default;
    static CharacterIndex build(const TextChunk &text, int rows);

    // The key of the character at `p` of coded text; moves `p` past it.
    static int nextKey(const unsigned char *&p)
    {
        const unsigned char b = *p;
        if (b < 0x80) {
            ++p;
            return b >= 'A' && b <= 'Z' ? b + ('a' - 'A') : b;
        }
        if (b < 0xF8) {
            const int key = 0x80 + ((b - 0xC0) << 6) + (p[1] - 0x80);
            p += 2;
            return key;
        }
        const int key = kFirstThreeByteKey + ((b - 0xF8) << 12) + ((p[1] - 0x80) << 6) + (p[2] - 0x80);
        p += 3;
        return key;
    }
    // The key of a character in a chunk's code; -1 for one without a code.
    static int keyOf(const CompactCode &code, char32_t c);
    // The key of a code index (see CompactCode::characters).
    static int keyOfCodeIndex(int index);

    // The key of two letters or digits one after the other (letters in
    // lower case); -1 for other characters. Kept only where they cost
    // little against the text (see hasPairs and knowsPair).
    static int pairKey(char32_t first, char32_t second);
    // Whether the chunk keeps the rows of each pair of letters and digits.
    bool hasPairs() const { return m_allPairs; }
    // Whether it keeps those of this pair (a key of pairKey): all of them,
    // or in plain text the pairs few rows hold, as far as they cost little,
    // and those none does.
    bool knowsPair(int key) const;

    bool empty() const { return m_entries.empty(); }
    // ORs the rows holding the character `key` into `out` (a bit per row,
    // `words` words); nothing for a key no cell holds.
    void addRows(int key, std::uint64_t *out, std::size_t words) const;
    // How many rows hold the character `key`.
    std::size_t rowsHolding(int key) const;
    // Clears from `rows` each row whose cell lacks a character of the coded
    // text (an ASCII letter in either case).
    void keepRowsHoldingAll(std::string_view coded, std::uint64_t *rows, std::size_t words) const;
    std::size_t memoryBytes() const;

private:
    static constexpr int kFirstThreeByteKey = 0x80 + 56 * 64;
    static constexpr int kKeys = kFirstThreeByteKey + 8 * 64 * 64;
    // Pairs of letters and digits come after the characters' keys.
    static constexpr int kAlnums = kAlnumSlots;
    static constexpr int kPairs = kAlnums * kAlnums;
    // The pairs are kept when their rows take at most a sixteenth of the
    // bytes of the chunk's text.
    static constexpr std::size_t kMostPairShare = 16;
    // Plain text keeps its rarest pairs in at most a 128th.
    static constexpr std::size_t kMostRarePairShare = 128;

    struct Entry
    {
        std::uint32_t begin = 0; // in m_lists, or in m_bitmaps (in words) when `count` has kBitmap
        std::uint32_t count = 0; // the rows holding the character
    };
    static constexpr std::uint32_t kBitmap = std::uint32_t(1) << 31;
    static constexpr std::uint32_t kUnknown = ~std::uint32_t(0); // a pair not kept

    const Entry *entryOf(int key) const;

    FixedArray<Entry> m_entries;       // per key, up to the last key held
    FixedArray<Entry> m_pairEntries;   // per pair, when kept
    FixedArray<std::uint16_t> m_lists; // the rows of each character held by few, ascending
    FixedArray<std::uint64_t> m_bitmaps;
    std::size_t m_words = 0; // words of a bitmap
    bool m_allPairs = false; // every pair is kept
};

} // namespace store
