#include "store/ReadingMarks.h"

#include "store/AlnumSlot.h"
#include "store/ChineseText.h"
#include "store/StoreChunk.h"

#include <algorithm>
#include <array>
#include <bit>
#include <numeric>
#include <vector>

namespace store {

namespace {

// The slot of a byte of a word (see alnumSlot).
int byteSlot(char c)
{
    return alnumSlot(char32_t(static_cast<unsigned char>(c)));
}

constexpr int kLetterSlots = kAlnumSlots;
constexpr std::uint64_t kFirstLetters = (std::uint64_t(1) << kLetterSlots) - 1;

int pairSlot(int first, int second)
{
    const std::uint32_t pair = std::uint32_t(first * kLetterSlots + second);
    return int((pair * 0x9E3779B1u) >> 26);
}

// The second place of a neighbours' pair among their 64 marks, by another
// hash: a pair is taken as there only where both its places are set, so
// that one common pair sharing its place does not let every row through.
int neighbourSlot(int first, int second)
{
    const std::uint32_t pair = std::uint32_t(first * kLetterSlots + second);
    return int((pair * 0xC2B2AE35u) >> 26);
}

std::uint64_t pairBit(int first, int second)
{
    return std::uint64_t(1) << pairSlot(first, second);
}

// A reading's first two letters in the marks of the first word the letters
// leave free, by another hash.
int readingPairSlot(int first, int second)
{
    const std::uint32_t pair = std::uint32_t(first * kLetterSlots + second);
    return kLetterSlots + int(((pair * 0x85EBCA77u) >> 8) % (64 - kLetterSlots));
}

std::uint64_t readingPairBit(int first, int second)
{
    return std::uint64_t(1) << readingPairSlot(first, second);
}

// Turns 64 rows of 64 marks into 64 marks of 64 rows: bit j of a[i] becomes
// bit i of a[j].
void transpose64(std::uint64_t a[64])
{
    std::uint64_t m = 0x00000000FFFFFFFFull;
    for (int j = 32; j != 0; j >>= 1, m ^= m << j)
        for (int k = 0; k < 64; k = ((k | j) + 1) & ~j) {
            const std::uint64_t t = ((a[k] >> j) ^ a[k | j]) & m;
            a[k] ^= t << j;
            a[k | j] ^= t;
        }
}

// Stores 64 rows' marks from `firstMark` on (block[i]: row w * 64 + i,
// bit j its mark firstMark + j) as the rows of each mark.
void storeBlock(std::uint64_t block[64], int firstMark, std::size_t w, std::size_t words,
                FixedArray<std::uint64_t> &marks)
{
    transpose64(block);
    for (int mark = 0; mark < 64; ++mark)
        marks[std::size_t(firstMark + mark) * words + w] = block[mark];
}

// One character's part of the marks.
struct CharacterMarks
{
    std::uint64_t letters = 0; // bit slot: a reading starts with that letter;
                               // the first two letters of its readings
};

CharacterMarks marksOf(char32_t c)
{
    CharacterMarks m;
    const char32_t folded = foldCharacter(c);
    if (folded < 0x80) {
        const int slot = alnumSlot(folded);
        if (slot >= 0)
            m.letters = std::uint64_t(1) << slot;
        return m;
    }
    const int set = readingSetOf(folded);
    if (set < 0)
        return m;
    for (std::uint16_t id : readingSet(set)) {
        const std::string_view reading = syllable(id);
        const int first = reading.empty() ? -1 : alnumSlot(char32_t(reading[0]));
        if (first < 0)
            continue;
        m.letters |= std::uint64_t(1) << first;
        const int second = reading.size() > 1 ? alnumSlot(char32_t(reading[1])) : -1;
        if (second >= 0)
            m.letters |= readingPairBit(first, second);
    }
    return m;
}

} // namespace

int letterMark(char letter)
{
    return byteSlot(letter);
}

int readingPairMark(char first, char second)
{
    const int a = byteSlot(first), b = byteSlot(second);
    return a < 0 || b < 0 ? -1 : readingPairSlot(a, b);
}

std::array<int, 2> neighbourPairMarks(char first, char second)
{
    const int a = byteSlot(first), b = byteSlot(second);
    if (a < 0 || b < 0)
        return {-1, -1};
    return {64 + pairSlot(a, b), 64 + neighbourSlot(a, b)};
}

FixedArray<std::uint64_t> readingMarks(const TextChunk &text, int rows)
{
    const std::size_t words = (std::size_t(rows) + 63) / 64;
    FixedArray<std::uint64_t> marks(words * 128);
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
    // Each 64 rows' two words, turned into 64 rows of each mark.
    std::uint64_t block[2][64];
    for (int base = 0; base < rows; base += 64) {
        const int count = std::min(64, rows - base);
        for (int place = 0; place < 64; ++place) {
            std::uint64_t letters = 0, pairs = 0;
            const int r = base + place;
            if (place >= count) {
                // past the chunk's last row: no mark
            } else if (readApart[std::size_t(r)]) {
                letters = pairs = ~std::uint64_t(0);
            } else {
                const std::string_view cell = text.stored(std::size_t(r));
                const auto *p = reinterpret_cast<const unsigned char *>(cell.data());
                const auto *end = p + cell.size();
                std::uint64_t before = 0;
                while (p < end) {
                    const int index = CompactCode::nextIndex(p);
                    const CharacterMarks &m = index < 0 ? ascii[-1 - index] : coded[std::size_t(index)];
                    letters |= m.letters;
                    // The first letters of neighbours.
                    const std::uint64_t first = m.letters & kFirstLetters;
                    for (std::uint64_t a = before; a; a &= a - 1)
                        for (std::uint64_t b = first; b; b &= b - 1)
                            pairs |= pairBit(std::countr_zero(a), std::countr_zero(b)) |
                                     std::uint64_t(1)
                                         << neighbourSlot(std::countr_zero(a), std::countr_zero(b));
                    before = first;
                }
            }
            block[0][place] = letters;
            block[1][place] = pairs;
        }
        storeBlock(block[0], 0, std::size_t(base) / 64, words, marks);
        storeBlock(block[1], 64, std::size_t(base) / 64, words, marks);
    }
    return marks;
}

namespace {

// The pairs of letters the readings hold side by side: from their first
// letter on, or (`atStart`) only as their first two.
std::vector<bool> readingPairs(bool atStart)
{
    std::vector<bool> pairs(std::size_t(kLetterSlots * kLetterSlots), false);
    for (int id = 0; id < syllableCount(); ++id) {
        const std::string_view reading = syllable(id);
        for (std::size_t i = 0; i + 1 < reading.size() && (i == 0 || !atStart); ++i) {
            const int a = byteSlot(reading[i]), b = byteSlot(reading[i + 1]);
            if (a >= 0 && b >= 0)
                pairs[std::size_t(a * kLetterSlots + b)] = true;
        }
    }
    return pairs;
}

// Letters that are none of the marks' are taken as in a pair: nothing is
// known of them.
bool inPairs(const std::vector<bool> &pairs, char first, char second)
{
    const int a = byteSlot(first), b = byteSlot(second);
    return a < 0 || b < 0 || pairs[std::size_t(a * kLetterSlots + b)];
}

} // namespace

bool readingBeginsWith(char first, char second)
{
    static const std::vector<bool> begun = readingPairs(true);
    return inPairs(begun, first, second);
}

bool readingHoldsPair(char first, char second)
{
    static const std::vector<bool> held = readingPairs(false);
    return inPairs(held, first, second);
}

namespace {

// Pairs of letters and digits with a mark of their own in a chunk: the
// most rows hold them, so that the marks the others share are set in
// fewer rows.
constexpr int kOwnMarks = 32;

// The slot of a pair among the marks the other pairs share.
int sharedPairMark(int pair)
{
    return kOwnMarks + int((std::uint32_t(pair) * 0x9E3779B1u >> 16) % std::uint32_t(64 - kOwnMarks));
}

} // namespace

int asciiPairMark(const FixedArray<std::uint8_t> &markOf, char32_t first, char32_t second, bool *own)
{
    const int a = caselessAlnumSlot(first);
    const int b = caselessAlnumSlot(second);
    if (a < 0 || b < 0 || markOf.empty())
        return -1;
    const std::uint8_t mark = markOf[std::size_t(a * kAlnumSlots + b)];
    if (own)
        *own = (mark & AsciiPairMarks::kOwnMark) != 0;
    return mark & ~AsciiPairMarks::kOwnMark;
}

AsciiPairMarks asciiPairMarks(const TextChunk &text, int rows)
{
    constexpr int kPairs = kAlnumSlots * kAlnumSlots;
    // The rows holding each pair.
    std::vector<int> held(kPairs, 0), lastRow(kPairs, -1);
    for (int r = 0; r < rows; ++r)
        forEachAlnumPair(text.stored(std::size_t(r)), [&](int pair) {
            if (lastRow[std::size_t(pair)] != r) {
                lastRow[std::size_t(pair)] = r;
                ++held[std::size_t(pair)];
            }
        });
    std::vector<int> byRows(kPairs);
    std::iota(byRows.begin(), byRows.end(), 0);
    std::stable_sort(byRows.begin(), byRows.end(),
                     [&](int a, int b) { return held[std::size_t(a)] > held[std::size_t(b)]; });
    AsciiPairMarks out;
    out.markOf = FixedArray<std::uint8_t>(kPairs);
    for (int pair = 0; pair < kPairs; ++pair)
        out.markOf[std::size_t(pair)] = std::uint8_t(sharedPairMark(pair));
    for (int i = 0; i < kOwnMarks && held[std::size_t(byRows[std::size_t(i)])] > 0; ++i)
        out.markOf[std::size_t(byRows[std::size_t(i)])] = std::uint8_t(i) | AsciiPairMarks::kOwnMark;

    const std::size_t words = (std::size_t(rows) + 63) / 64;
    out.rows = FixedArray<std::uint64_t>(words * 64);
    std::uint64_t block[64];
    for (int base = 0; base < rows; base += 64) {
        const int count = std::min(64, rows - base);
        for (int place = 0; place < 64; ++place) {
            std::uint64_t pairs = 0;
            if (place < count)
                forEachAlnumPair(text.stored(std::size_t(base + place)), [&](int pair) {
                    pairs |= std::uint64_t(1) << (out.markOf[std::size_t(pair)] & ~AsciiPairMarks::kOwnMark);
                });
            block[place] = pairs;
        }
        storeBlock(block, 0, std::size_t(base) / 64, words, out.rows);
    }
    return out;
}

} // namespace store
