#include "store/ReadingMarks.h"

#include "store/ChineseText.h"
#include "store/StoreChunk.h"

#include <bit>
#include <vector>

namespace store {

namespace {

// Letters and digits numbered as PinyinMatcher numbers them; -1 for others.
int letterSlot(char32_t c)
{
    if (c >= U'0' && c <= U'9')
        return int(c - U'0');
    if (c >= U'a' && c <= U'z')
        return 10 + int(c - U'a');
    return -1;
}

constexpr int kLetterSlots = 36;

std::uint64_t pairBit(int first, int second)
{
    const std::uint32_t pair = std::uint32_t(first * kLetterSlots + second);
    return std::uint64_t(1) << ((pair * 0x9E3779B1u) >> 26);
}

// The same pair in the bits of the first word the letters leave free, by
// another hash: a pair passes only where both bits are set.
std::uint64_t secondPairBit(int first, int second)
{
    const std::uint32_t pair = std::uint32_t(first * kLetterSlots + second);
    return std::uint64_t(1) << (kLetterSlots + ((pair * 0x85EBCA77u) >> 8) % (64 - kLetterSlots));
}

// One character's part of the marks.
struct CharacterMarks
{
    std::uint64_t letters = 0;     // bit slot: a reading starts with that letter
    std::uint64_t pairs = 0;       // the first two letters of its readings
    std::uint64_t secondPairs = 0; // the same, by the second hash
};

CharacterMarks marksOf(char32_t c)
{
    CharacterMarks m;
    const char32_t folded = foldCharacter(c);
    if (folded < 0x80) {
        const int slot = letterSlot(folded);
        if (slot >= 0)
            m.letters = std::uint64_t(1) << slot;
        return m;
    }
    const int set = readingSetOf(folded);
    if (set < 0)
        return m;
    for (std::uint16_t id : readingSet(set)) {
        const std::string_view reading = syllable(id);
        const int first = reading.empty() ? -1 : letterSlot(char32_t(reading[0]));
        if (first < 0)
            continue;
        m.letters |= std::uint64_t(1) << first;
        const int second = reading.size() > 1 ? letterSlot(char32_t(reading[1])) : -1;
        if (second >= 0) {
            m.pairs |= pairBit(first, second);
            m.secondPairs |= secondPairBit(first, second);
        }
    }
    return m;
}

} // namespace

std::uint64_t letterMark(char letter)
{
    const int slot = letterSlot(char32_t(static_cast<unsigned char>(letter)));
    return slot < 0 ? 0 : std::uint64_t(1) << slot;
}

std::uint64_t pairMark(char first, char second)
{
    const int a = letterSlot(char32_t(static_cast<unsigned char>(first)));
    const int b = letterSlot(char32_t(static_cast<unsigned char>(second)));
    return a < 0 || b < 0 ? 0 : pairBit(a, b);
}

std::uint64_t secondPairMark(char first, char second)
{
    const int a = letterSlot(char32_t(static_cast<unsigned char>(first)));
    const int b = letterSlot(char32_t(static_cast<unsigned char>(second)));
    return a < 0 || b < 0 ? 0 : secondPairBit(a, b);
}

FixedArray<std::uint64_t> readingMarks(const TextChunk &text, int rows)
{
    FixedArray<std::uint64_t> marks(std::size_t(rows) * 2);
    const std::vector<char32_t> &characters = text.code.characters();
    std::vector<CharacterMarks> coded(characters.size());
    for (std::size_t i = 0; i < characters.size(); ++i)
        coded[i] = marksOf(characters[i]);
    CharacterMarks ascii[128];
    for (char32_t b = 0; b < 128; ++b)
        ascii[b] = marksOf(b);

    // Rows kept as read are not in the code: they are not decoded here.
    std::vector<bool> readApart(std::size_t(rows), false);
    for (const std::vector<std::uint16_t> *list : {&text.rawRows, &text.irregular})
        for (std::uint16_t r : *list)
            readApart[r] = true;
    for (int r = 0; r < rows; ++r) {
        if (readApart[std::size_t(r)]) {
            marks[std::size_t(r) * 2] = ~std::uint64_t(0);
            marks[std::size_t(r) * 2 + 1] = ~std::uint64_t(0);
            continue;
        }
        const std::string_view cell = text.stored(std::size_t(r));
        const auto *p = reinterpret_cast<const unsigned char *>(cell.data());
        const auto *end = p + cell.size();
        std::uint64_t letters = 0, pairs = 0, before = 0;
        while (p < end) {
            const int index = CompactCode::nextIndex(p);
            const CharacterMarks &m = index < 0 ? ascii[-1 - index] : coded[std::size_t(index)];
            letters |= m.letters | m.secondPairs;
            pairs |= m.pairs;
            // A character read as its first letter, the next one begun.
            for (std::uint64_t a = before; a; a &= a - 1)
                for (std::uint64_t b = m.letters; b; b &= b - 1) {
                    pairs |= pairBit(std::countr_zero(a), std::countr_zero(b));
                    letters |= secondPairBit(std::countr_zero(a), std::countr_zero(b));
                }
            before = m.letters;
        }
        marks[std::size_t(r) * 2] = letters;
        marks[std::size_t(r) * 2 + 1] = pairs;
    }
    return marks;
}

} // namespace store
