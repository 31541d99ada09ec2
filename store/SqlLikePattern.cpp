#include "store/SqlLikePattern.h"

#include "store/Utf8Text.h"

#include <algorithm>
#include <cstring>

namespace store {

namespace {

constexpr std::uint32_t kAnyRun = '%';
constexpr std::uint32_t kAnyOne = '_';
bool sameChar(std::uint32_t a, std::uint32_t b)
{
    if (a == b)
        return true;
    return a < 0x80 && b < 0x80 && lowerAsciiByte(char(a)) == lowerAsciiByte(char(b));
}

} // namespace

std::uint32_t readSqlChar(const unsigned char *&p, const unsigned char *end)
{
    std::uint32_t c = *p++;
    if (c < 0xC0)
        return c;
    // The value bits of the lead byte, by its length class.
    const std::uint32_t i = c - 0xC0;
    c = i < 32 ? i : i < 48 ? i - 32 : i < 56 ? i - 48 : i < 60 ? i - 56 : i < 62 ? i - 60 : 0;
    while (p < end && isContinuationByte(*p))
        c = (c << 6) + (0x3F & *p++);
    if (c < 0x80 || (c & 0xFFFFF800) == 0xD800 || (c & 0xFFFFFFFE) == 0xFFFE)
        c = kReplacementCharacter;
    return c;
}

bool equalsIgnoringAsciiCase(const char *text, std::string_view lower)
{
    for (std::size_t i = 0; i < lower.size(); ++i) {
        if (lowerAsciiByte(text[i]) != lower[i])
            return false;
    }
    return true;
}

SqlLikePattern::SqlLikePattern(std::string_view pattern)
{
    pattern = pattern.substr(0, std::min(pattern.size(), pattern.find('\0')));
    const auto *begin = reinterpret_cast<const unsigned char *>(pattern.data());
    const auto *end = begin + pattern.size();
    std::vector<std::size_t> offsets; // where each character starts
    for (const unsigned char *p = begin; p < end;) {
        offsets.push_back(std::size_t(p - begin));
        m_chars.push_back(readSqlChar(p, end));
    }
    offsets.push_back(pattern.size());
    m_followsEngine = std::find(m_chars.begin(), m_chars.end(), 0x80u) == m_chars.end();

    // Literal runs between the wildcards; a '_' anywhere needs the general matcher.
    std::size_t first = 0;
    while (first < m_chars.size() && m_chars[first] == kAnyRun)
        ++first;
    std::size_t last = m_chars.size();
    while (last > first && m_chars[last - 1] == kAnyRun)
        --last;
    if (first == m_chars.size() && !m_chars.empty()) {
        m_shape = Shape::Anything;
        return;
    }
    for (std::size_t i = first; i < last; ++i) {
        const std::uint32_t c = m_chars[i];
        // A U+FFFD in the pattern also matches malformed bytes: bytes alone cannot say.
        if (c == kAnyRun || c == kAnyOne || c == kReplacementCharacter) {
            m_literal.clear();
            return;
        }
        // A value UTF-8 cannot hold has no bytes.
        if (c < 0x110000)
            appendUtf8(m_literal, char32_t(c));
    }
    // The literal must be exactly the bytes that were written (no malformed
    // sequence that merely decodes to some character).
    if (pattern.substr(offsets[first], offsets[last] - offsets[first]) != m_literal) {
        m_literal.clear();
        return;
    }
    const bool leading = first > 0;
    const bool trailing = last < m_chars.size();
    m_shape =
        leading ? (trailing ? Shape::Contains : Shape::Suffix) : (trailing ? Shape::Prefix : Shape::Exact);
    m_endsInMultibyte = !m_literal.empty() && static_cast<unsigned char>(m_literal.back()) >= 0x80;
    m_literalIsAscii = isAscii(m_literal);
    for (char &c : m_literal) {
        const char lower = lowerAsciiByte(c);
        m_literalHasLetters = m_literalHasLetters || lower != c || (c >= 'a' && c <= 'z');
        c = lower;
    }
}

bool SqlLikePattern::literalAt(std::string_view text, std::size_t at) const
{
    if (at + m_literal.size() > text.size())
        return false;
    if (m_literal.empty()) // an empty cell may have no bytes to point at
        return true;
    const char *t = text.data() + at;
    if (m_literalHasLetters ? !equalsIgnoringAsciiCase(t, m_literal)
                            : std::memcmp(t, m_literal.data(), m_literal.size()) != 0)
        return false;
    // A stray continuation byte after the literal would join its last character.
    const std::size_t after = at + m_literal.size();
    return !(m_endsInMultibyte && after < text.size() &&
             isContinuationByte(static_cast<unsigned char>(text[after])));
}

bool SqlLikePattern::matches(std::string_view text) const
{
    // Text the engine reads as other characters than its bytes spell may
    // hold a character of L in other bytes, or L's bytes as other characters.
    if (m_shape != Shape::General && !m_literalIsAscii && !readsAsWritten(text))
        return matchesGeneral(text);
    return matchesWellFormed(text);
}

bool SqlLikePattern::matchesByCharacter(std::string_view text) const
{
    return m_shape == Shape::Anything || matchesGeneral(text);
}

bool SqlLikePattern::matchesWellFormed(std::string_view text) const
{
    switch (m_shape) {
    case Shape::Anything:
        return true;
    case Shape::Exact:
        return text.size() == m_literal.size() && literalAt(text, 0);
    case Shape::Prefix:
        return literalAt(text, 0);
    case Shape::Suffix:
        return text.size() >= m_literal.size() && literalAt(text, text.size() - m_literal.size());
    case Shape::Contains: {
        if (m_literal.empty())
            return true;
        const char first = m_literal.front();
        for (std::size_t at = 0; at + m_literal.size() <= text.size(); ++at) {
            if (lowerAsciiByte(text[at]) == first && literalAt(text, at))
                return true;
        }
        return false;
    }
    case Shape::General:
        break;
    }
    return matchesGeneral(text);
}

// Matching with backtracking to the last '%': enough for patterns whose
// only wildcards are '%' and '_'.
bool SqlLikePattern::matchesGeneral(std::string_view text) const
{
    const auto *t = reinterpret_cast<const unsigned char *>(text.data());
    const auto *end = t + text.size();
    std::size_t p = 0;
    std::size_t starP = std::string::npos;
    const unsigned char *starT = nullptr;
    while (t < end) {
        if (p < m_chars.size() && m_chars[p] == kAnyRun) {
            starP = p++;
            starT = t;
            continue;
        }
        if (p < m_chars.size()) {
            const unsigned char *next = t;
            const std::uint32_t c = readSqlChar(next, end);
            if (m_chars[p] == kAnyOne || sameChar(m_chars[p], c)) {
                ++p;
                t = next;
                continue;
            }
        }
        if (starP == std::string::npos)
            return false;
        p = starP + 1;
        readSqlChar(starT, end);
        t = starT;
    }
    while (p < m_chars.size() && m_chars[p] == kAnyRun)
        ++p;
    return p == m_chars.size();
}

} // namespace store
