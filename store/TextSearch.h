#pragma once

#include <cstdint>
#include <string_view>

namespace store {

// What to look for in stored text: bytes with their ASCII letters
// lower-cased, and whether letters match in either case.
struct TextNeedle
{
    std::string_view lower;
    bool foldLetters = false;
    // The needle ends in a UTF-8 character of several bytes, which a stray
    // continuation byte right after it would extend into another character
    // as the engine reads text (not so for the compact code).
    bool endsInMultibyte = false;
    // Two positions of the needle (the first not after the second) whose
    // bytes are compared across the text before the whole needle is: rare
    // bytes leave fewer places to check. By default its first and last.
    std::size_t anchor = 0;
    std::size_t secondAnchor = kLastByte;

    static constexpr std::size_t kLastByte = std::size_t(-1);
};

// Sets bit r in `out` for each of `rows` cells lying end to end in `bytes`
// (cell r ends at ends[r]) that contains the needle, found by one pass over
// the bytes instead of cell by cell. The needle must not be empty. Given
// `only` (a bit per row), only the rows it holds are looked for: long runs
// of the others are passed over, and whether they are found is not said.
void findInCells(const char *bytes, const std::uint32_t *ends, int rows, const TextNeedle &needle,
                 std::uint64_t *out, const std::uint64_t *only = nullptr);

// Sets in `out` (clearing the rest) the rows among `asked` (of `rows`
// cells end to end) whose cell contains the needle: cell by cell unless
// nearly all are asked, then by one pass over the bytes.
void findInAskedCells(const char *bytes, const std::uint32_t *ends, int rows, const std::uint64_t *asked,
                      const TextNeedle &needle, std::uint64_t *out);

// Sets bit r of out[r / 64], for each of `words` * 64 rows, when heads[r]
// (the first four bytes of the row's cell, zeros past the end of a shorter
// cell) agrees with the first four bytes of the needle `lower`, its
// lower-case ASCII letters in either case, and clears it otherwise. A cell
// that starts with the needle always agrees; the needle must not be empty.
void findPrefixInHeads(const std::uint32_t *heads, std::size_t words, std::string_view lower,
                       std::uint64_t *out);

// One cell: whether it contains, starts with, ends with or is the needle.
bool containsNeedle(std::string_view text, const TextNeedle &needle);
bool startsWithNeedle(std::string_view text, const TextNeedle &needle);
bool endsWithNeedle(std::string_view text, const TextNeedle &needle);
bool equalsNeedle(std::string_view text, const TextNeedle &needle);

} // namespace store
