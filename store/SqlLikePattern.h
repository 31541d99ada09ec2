#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace store {

// A LIKE pattern read as the database engine reads it: '%' stands for any
// run of characters, '_' for one character, an ASCII letter matches itself
// in either case and every other character only itself. Characters are
// decoded from UTF-8 the engine's way (a lead byte takes every continuation
// byte that follows; malformed sequences read as U+FFFD), and both pattern
// and text end at a NUL byte.
class SqlLikePattern
{
public:
    // What the pattern asks for, when that is simple enough to be answered
    // with byte comparisons: a literal text L between the wildcards.
    enum class Shape {
        Anything, // only '%': every text
        Exact,    // L
        Prefix,   // L%
        Suffix,   // %L
        Contains, // %L%
        General,  // anything else ('_', several literals, a literal the bytes cannot stand for)
    };

    explicit SqlLikePattern(std::string_view pattern);

    Shape shape() const { return m_shape; }
    // Whether matches() gives the engine's answer for every text. After a
    // '%' some releases of the engine look for the next character up to
    // U+0080 byte by byte, others character by character; a pattern with
    // U+0080 in it is left to the engine.
    bool followsEngine() const { return m_followsEngine; }
    // L with its ASCII letters lower-cased (for every shape but General).
    const std::string &literal() const { return m_literal; }
    bool literalHasLetters() const { return m_literalHasLetters; }
    // Whether L ends in a multi-byte character: such a character followed
    // by a stray continuation byte reads as another character.
    bool literalEndsInMultibyte() const { return m_endsInMultibyte; }

    // Whether L is all ASCII: then its bytes find it in any text, however
    // malformed the rest (the engine never reads an ASCII byte as part of
    // another character).
    bool literalIsAscii() const { return m_literalIsAscii; }

    // Whether the text matches. The text is taken whole: a caller whose
    // texts may hold a NUL byte cuts them there first.
    bool matches(std::string_view text) const;
    // The same for a text known to read as written (see readsAsWritten),
    // without looking at that again.
    bool matchesWellFormed(std::string_view text) const;
    // The same, reading the text character by character as the engine
    // does: right for every text and every shape, but slower.
    bool matchesByCharacter(std::string_view text) const;

private:
    bool matchesGeneral(std::string_view text) const;
    bool literalAt(std::string_view text, std::size_t at) const;

    std::vector<std::uint32_t> m_chars; // the pattern, decoded
    Shape m_shape = Shape::General;
    std::string m_literal;
    bool m_literalHasLetters = false;
    bool m_endsInMultibyte = false;
    bool m_literalIsAscii = true;
    bool m_followsEngine = true;
};

// Reads one character at `p` the engine's way and moves past it.
std::uint32_t readSqlChar(const unsigned char *&p, const unsigned char *end);

constexpr char lowerAsciiByte(char c)
{
    return (c >= 'A' && c <= 'Z') ? char(c + ('a' - 'A')) : c;
}

// Whether `text` equals `lower` (already lower-cased) ignoring ASCII case.
bool equalsIgnoringAsciiCase(const char *text, std::string_view lower);

} // namespace store
