#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace platform::db {

// Whether the database engine reads every character of the text as the
// character its bytes stand for: the text is well-formed UTF-8 (shortest
// forms, no surrogates) without U+FFFE or U+FFFF, which the engine reads
// as U+FFFD. Text that is not may match a LIKE pattern where its bytes do
// not, so it is matched character by character.
bool readsAsWritten(std::string_view text);

// The character at `at` in text that readsAsWritten(); moves `at` past it.
char32_t nextCharacter(std::string_view text, std::size_t &at);

// Appends the UTF-8 bytes of a character.
void appendUtf8(std::string &out, char32_t c);

// Whether every byte is ASCII.
bool isAscii(std::string_view text);

} // namespace platform::db
