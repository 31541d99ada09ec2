#pragma once

#include <cstdint>
#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace store {

// What the search knows of a character: the form it is compared in, and
// the toneless pinyin syllables it may be read as.

// The form a character is compared in: ASCII letters in lower case,
// full-width ASCII as ASCII, an ideographic space as a space, and a
// traditional character as its simplified form where that form is the only
// one (電 as 电, 後 as 后; not 乾, which stays apart from 干).
char32_t foldCharacter(char32_t c);
// The characters of a UTF-8 text, each folded. Bytes that do not read as
// UTF-8 become U+FFFD.
std::u32string foldedText(std::string_view utf8);
// Every character that folds to `folded`, `folded` itself first; for the
// ASCII letters and digits their full-width and upper-case forms too.
const std::vector<char32_t> &unfoldedForms(char32_t folded);

// The syllables a folded character may be read as (ids into syllable()):
// its modern readings, none for a character without any. ASCII letters and
// digits are not covered: they stand for themselves.
std::span<const std::uint16_t> readingsOf(char32_t folded);
// The same as the number of its set of readings (characters with the same
// readings share one), -1 for none; sets are numbered 0 .. readingSetCount() - 1.
int readingSetOf(char32_t folded);
std::span<const std::uint16_t> readingSet(int set);
int readingSetCount();
std::string_view syllable(int id);
int syllableCount();

// The bytes the tables behind these functions take: the generated readings
// and foldings, and the direct tables made from them on first use.
std::size_t pinyinTableBytes();

// The characters of a UTF-8 text, unfolded (for spans in characters).
std::u32string utf32Text(std::string_view utf8);

} // namespace store
