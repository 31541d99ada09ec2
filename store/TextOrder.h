#pragma once

#include <cstdint>
#include <string_view>

namespace store {

// The order in which the text cells of a column sort, as Chinese users
// expect it: Chinese characters by pinyin, letters without regard to case,
// and a run of digits as the number it writes ("第9号" before "第10号").
//
// Every character has a place in ICU's Chinese collation (the one QCollator
// uses for zh_CN), worked out once for the whole Basic Multilingual Plane;
// a text is then compared character by character through that table.
// Characters beyond that plane, which ICU gives no pinyin either, follow
// all others in code-point order. Characters the collation ignores (control
// codes) are skipped.
//
// A text is read as a sequence of sort elements, each above zero and below
// 2^16: one per character, three for a character beyond the plane (a mark
// that follows every place, then its code point in two parts), and for a
// run of digits the digits' place, the number of digits without leading
// zeros and those digits. Texts compare as their element sequences do.
class TextElements
{
public:
    // Every element is below this bound, so four fit in 64 bits.
    static constexpr std::uint32_t kBound = std::uint32_t(1) << 16;

    // Where reading stands, to go on later over the same text.
    struct Position
    {
        std::uint32_t pos = 0;
        // What a character or digit run still gives out: for a run its
        // count (stage 1), then its digits (stage 2) up to runEnd; for a
        // character beyond the plane the two parts of its code point
        // (stages 3 and 4) from `value`.
        std::uint32_t runEnd = 0;
        std::uint32_t value = 0;
        std::uint8_t stage = 0;
    };

    explicit TextElements(std::string_view utf8) : m_text(utf8) {}
    TextElements(std::string_view utf8, Position from) : m_text(utf8), m_at(from) {}

    // The next element; 0 once the text is used up.
    std::uint32_t next();
    Position position() const { return m_at; }

private:
    char32_t decode(std::uint32_t &pos) const;

    std::string_view m_text;
    Position m_at;
};

// Negative, zero or positive as `a` sorts before, with or after `b`.
int compareText(std::string_view a, std::string_view b);

} // namespace store
