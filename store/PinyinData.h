#pragma once

// The tables make_pinyin_table writes at build time from Unihan (see
// store/generator): the toneless syllables, the distinct sets of readings,
// the characters that have readings, and the traditional characters that
// fold to one simplified form. Only ChineseText reads them.

#include <cstdint>

namespace store::pinyin_data {

extern const char *const kSyllables[];
extern const int kSyllableCount;
// Reading set s holds the syllables kSetItems[kSetStarts[s] .. kSetStarts[s + 1]).
extern const std::uint16_t kSetStarts[];
extern const std::uint16_t kSetItems[];
extern const int kSetCount;
// Character kReadingChars[i] (ascending) reads as reading set kReadingSets[i].
extern const char32_t kReadingChars[];
extern const std::uint16_t kReadingSets[];
extern const int kReadingCharCount;
// Character kFoldFrom[i] (ascending) folds to kFoldTo[i].
extern const char32_t kFoldFrom[];
extern const char32_t kFoldTo[];
extern const int kFoldCount;

} // namespace store::pinyin_data
