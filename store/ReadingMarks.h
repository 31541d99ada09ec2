#pragma once

#include "store/FixedArray.h"

#include <array>
#include <cstdint>

namespace store {

struct TextChunk;

// What the pinyin of a cell can spell at the start of a word, as 128 marks
// per row kept as bitmaps of the chunk's rows (mark m of row r is bit r % 64
// of word m * words + r / 64, `words` the chunk's rows in 64s), so that a
// pinyin word passes over the rows it cannot match 64 at a time, without
// reading them:
//   marks 0 to 35    the letters a character of the cell can begin a word
//                    with (letterMark): the first letter of each of its
//                    readings, an ASCII letter or digit for itself;
//   marks 36 to 63   a Bloom filter of the first two letters of the
//                    readings of its characters (readingPairMark);
//   marks 64 to 127  a Bloom filter of the neighbours' pairs, by two other
//                    hashes (neighbourPairMarks): the first letter of one
//                    character and the first letter of the next.
// A word of one letter is found exactly by its letter. A longer word is
// found only where its letter is, and one of the marks of its first two
// letters: the neighbours' alone where no reading begins with the two. A
// word spelled by more than one character holds the neighbours' pair of its
// first letter and the letter the second character begins with.
// Rows read one by one (kept as read, or irregular) hold every mark.
FixedArray<std::uint64_t> readingMarks(const TextChunk &text, int rows);

// The rows of mark `mark` among marks kept as above.
inline const std::uint64_t *rowsOfMark(const FixedArray<std::uint64_t> &marks, std::size_t words, int mark)
{
    return marks.data() + std::size_t(mark) * words;
}

// The rows among 64 (word `w` of the marks' bitmaps) that hold a
// neighbours' pair, by its two marks (see neighbourPairMarks).
inline std::uint64_t rowsOfNeighbours(const FixedArray<std::uint64_t> &marks, std::size_t words,
                                      std::array<int, 2> pair, std::size_t w)
{
    return rowsOfMark(marks, words, pair[0])[w] & rowsOfMark(marks, words, pair[1])[w];
}

// The mark of a lower-case ASCII letter or digit; -1 for any other byte.
int letterMark(char letter);
// The mark of two such letters as the first two of a reading; -1 if
// either is not one.
int readingPairMark(char first, char second);
// The two marks of two such letters as the first letters of neighbouring
// characters (a row holds the pair only where both are set); -1 likewise.
std::array<int, 2> neighbourPairMarks(char first, char second);

// Whether some reading begins with the two letters.
bool readingBeginsWith(char first, char second);

// Whether some reading holds the two letters side by side. Where none
// does, the second letter of the two begins a character in any run a word
// holding them spells (each character spells a beginning of a reading), so
// its letter, and its pair with the letter after it, are marked as well.
bool readingHoldsPair(char first, char second);

// For a column of ASCII text: the pairs of letters and digits that follow
// each other in a row, in either case, as 64 marks kept as bitmaps of the
// chunk's rows as above. The pairs the most rows of the chunk hold have a
// mark each, set exactly where the pair is; the others share the rest as a
// Bloom filter. A word of several letters or digits is in a row only where
// the marks of all its pairs are; a word of one pair with a mark of its
// own, in each of them.
struct AsciiPairMarks
{
    FixedArray<std::uint64_t> rows;
    // Per pair (first slot * kAlnumSlots + second, see AlnumSlot.h), its
    // mark, with kOwnMark where the mark is its own.
    FixedArray<std::uint8_t> markOf;

    static constexpr std::uint8_t kOwnMark = 0x80;
};
AsciiPairMarks asciiPairMarks(const TextChunk &text, int rows);

// The mark of two ASCII letters or digits following each other, either in
// either case, among a chunk's marks (see AsciiPairMarks::markOf); -1 if
// either is not one. `own` (optional): whether the mark is the pair's own.
int asciiPairMark(const FixedArray<std::uint8_t> &markOf, char32_t first, char32_t second,
                  bool *own = nullptr);

} // namespace store
