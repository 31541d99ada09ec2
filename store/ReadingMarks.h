#pragma once

#include "store/FixedArray.h"

#include <cstdint>

namespace store {

struct TextChunk;

// What the pinyin of a cell can spell at the start of a word, two words per
// row, so that a pinyin word passes over most cells it cannot match without
// reading them:
//   [2r]     the letters a character of the cell can begin a word with
//            (letterMark): the first letter of each of its readings, an
//            ASCII letter or digit for itself; in the bits the letters
//            leave free, a second Bloom filter of the pairs below
//            (secondPairMark), by another hash;
//   [2r + 1] a Bloom filter of the first two letters a word can begin with
//            (pairMark): the first two of a reading, or the first letter of
//            one character and the first letter of the next.
// A word of one letter is found exactly by its letter; a longer word is
// found only where its letter and both marks of its first two letters hold. Rows read one by one (kept as
// read, or irregular) are marked with every bit.
FixedArray<std::uint64_t> readingMarks(const TextChunk &text, int rows);

// The bit of a lower-case ASCII letter or digit in a row's first word; 0 for
// any other byte.
std::uint64_t letterMark(char letter);
// The bit of two such letters in a row's second word.
std::uint64_t pairMark(char first, char second);
// The bit of two such letters in a row's first word.
std::uint64_t secondPairMark(char first, char second);

} // namespace store
