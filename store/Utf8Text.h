#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace store {

// Whether the database engine reads every character of the text as the
// character its bytes stand for: the text is well-formed UTF-8 (shortest
// forms, no surrogates) without U+FFFE or U+FFFF, which the engine reads
// as U+FFFD. Text that is not may match a LIKE pattern where its bytes do
// not, so it is matched character by character.
bool readsAsWritten(std::string_view text);

// The length in bytes of the character at `p` (before `end`) when it reads
// as written, from 1 to 4; 0 when it does not.
int wellFormedLength(const unsigned char *p, const unsigned char *end);

// What the engine reads a malformed character as.
constexpr char32_t kReplacementCharacter = 0xFFFD;

inline bool isContinuationByte(unsigned char c)
{
    return (c & 0xC0) == 0x80;
}
// A lead byte of three-byte characters with no bounds of its own on the
// bytes after it (no overlong forms, surrogates or U+FFFE nearby): the lead
// bytes of most Chinese characters.
inline bool isPlainThreeByteLead(unsigned char c)
{
    return (c >= 0xE1 && c <= 0xEC) || c == 0xEE;
}

// The character at `at` in text that readsAsWritten(); moves `at` past it.
char32_t nextCharacter(std::string_view text, std::size_t &at);

// Appends the UTF-8 bytes of a character.
void appendUtf8(std::string &out, char32_t c);

// Whether every byte is ASCII.
bool isAscii(std::string_view text);

} // namespace store
