#pragma once

#include <string_view>

namespace store {

// Letters and digits numbered as the pinyin matcher, the reading marks and
// the rows of letter pairs number them: the digits 0 to 9, the lower-case
// letters 10 to 35.
constexpr int kAlnumSlots = 36;

// The slot of a digit or lower-case letter; -1 for any other character.
constexpr int alnumSlot(char32_t c)
{
    if (c >= U'0' && c <= U'9')
        return int(c - U'0');
    return c >= U'a' && c <= U'z' ? 10 + int(c - U'a') : -1;
}

// The same for a letter in either case.
constexpr int caselessAlnumSlot(char32_t c)
{
    return alnumSlot(c >= U'A' && c <= U'Z' ? c + (U'a' - U'A') : c);
}

// Calls `pair` with first * kAlnumSlots + second for each two letters or
// digits following each other in plain text, in either case, as often as
// they are there.
template <typename Pair> void forEachAlnumPair(std::string_view text, Pair pair)
{
    int before = -1; // the slot of the letter or digit just read
    for (const char c : text) {
        const int slot = caselessAlnumSlot(static_cast<unsigned char>(c));
        if (before >= 0 && slot >= 0)
            pair(before * kAlnumSlots + slot);
        before = slot;
    }
}

} // namespace store
