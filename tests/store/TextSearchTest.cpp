#include "store/TextSearch.h"
#include "store/CompactCode.h"
#include "store/SqlLikePattern.h"
#include "store/Utf8Text.h"

#include <gtest/gtest.h>

#include <array>
#include <random>
#include <string>
#include <vector>

using namespace store;

namespace {

// Cells end to end as the store keeps them.
struct Cells
{
    std::string bytes;
    std::vector<std::uint32_t> ends;
    std::vector<std::string> texts;

    void add(std::string text)
    {
        bytes += text;
        ends.push_back(std::uint32_t(bytes.size()));
        texts.push_back(std::move(text));
    }
};

} // namespace

// Whichever two bytes of the needle are compared first across the cells,
// the rows found are those that hold the needle, read cell by cell: near
// cell borders, at the very end of the bytes (past the last whole block of
// 32), with letters in either case and with a stray continuation byte after
// a needle ending in a character of several bytes; and so for the rows
// asked for when only some are.
TEST(TextSearch, FindsTheSameRowsWhicheverBytesAreComparedFirst)
{
    std::mt19937 random(20261209);
    const std::string alphabet = "abAB\x01\xC0\x80";
    for (int round = 0; round < 60; ++round) {
        Cells cells;
        const int rows = 1 + int(random() % 320);
        for (int r = 0; r < rows; ++r) {
            std::string text;
            const int length = int(random() % (r % 10 == 0 ? 90 : 12));
            for (int i = 0; i < length; ++i)
                text += alphabet[random() % alphabet.size()];
            cells.add(text);
        }
        std::string needle;
        const int k = 1 + int(random() % 8);
        for (int i = 0; i < k; ++i)
            needle += alphabet[random() % 4 == 0 ? 4 : random() % alphabet.size()];
        for (const int kind : {0, 1, 2}) {
            const bool fold = kind == 1;
            const bool multibyte = kind == 2; // as the engine reads text
            std::string lower = needle;
            if (fold)
                for (char &c : lower)
                    c = lowerAsciiByte(c);
            for (int i = 0; i < k; ++i) {
                for (int j = i; j < k; ++j) {
                    TextNeedle n{lower, fold, multibyte};
                    n.anchor = std::size_t(i);
                    n.secondAnchor = std::size_t(j);
                    std::vector<std::uint64_t> found((std::size_t(rows) + 63) / 64, 0);
                    findInCells(cells.bytes.data(), cells.ends.data(), rows, n, found.data());
                    // Asked for some rows only: runs of the others passed over.
                    std::vector<std::uint64_t> only(found.size(), 0), foundOnly(found.size(), 0);
                    for (int r = 0; r < rows; ++r)
                        if ((r / 64 + round) % 3 == 0 && ((r / 7 + round) % 3 == 0 || random() % 5 == 0))
                            only[std::size_t(r) / 64] |= std::uint64_t(1) << (r % 64);
                    findInCells(cells.bytes.data(), cells.ends.data(), rows, n, foundOnly.data(),
                                only.data());
                    // The asked rows exactly, read in one pass (many asked) or cell by cell (few).
                    std::vector<std::uint64_t> few(found.size(), 0), inMany(found.size()),
                        inFew(found.size());
                    for (int r = 0; r < rows; r += 13)
                        few[std::size_t(r) / 64] |= std::uint64_t(1) << (r % 64);
                    findInAskedCells(cells.bytes.data(), cells.ends.data(), rows, only.data(), n,
                                     inMany.data());
                    findInAskedCells(cells.bytes.data(), cells.ends.data(), rows, few.data(), n,
                                     inFew.data());
                    for (std::size_t w = 0; w < found.size(); ++w) {
                        ASSERT_EQ(inMany[w], found[w] & only[w]) << "round " << round << " word " << w;
                        ASSERT_EQ(inFew[w], found[w] & few[w]) << "round " << round << " word " << w;
                    }
                    for (int r = 0; r < rows; ++r) {
                        const bool hit = (found[std::size_t(r) / 64] >> (r % 64)) & 1;
                        ASSERT_EQ(hit, containsNeedle(cells.texts[std::size_t(r)],
                                                      TextNeedle{lower, fold, multibyte}))
                            << "round " << round << " row " << r << " anchors " << i << "," << j;
                        if ((only[std::size_t(r) / 64] >> (r % 64)) & 1) {
                            ASSERT_EQ((foundOnly[std::size_t(r) / 64] >> (r % 64)) & 1, std::uint64_t(hit))
                                << "round " << round << " row " << r << " asked for alone";
                        }
                    }
                }
            }
        }
    }
}

// The bytes compared first are those of the rarest characters, by their
// counts: a trail byte only one character uses beats a lead byte that
// several share, and any coded byte beats plain ASCII.
TEST(TextSearch, ComparesTheBytesOfTheRarestCharactersFirst)
{
    std::vector<std::pair<char32_t, std::uint32_t>> counts;
    for (int i = 0; i < 40; ++i) // 30 one-byte codes, then ten two-byte codes behind one lead byte
        counts.emplace_back(char32_t(0x4E00 + i), std::uint32_t(i < 30 ? 1000 - i : 40 - i));
    const CompactCode code = CompactCode::forCounts(counts);
    const auto coded = [&](std::initializer_list<char32_t> text, const char *ascii = "") {
        std::string utf8 = ascii;
        for (char32_t c : text)
            appendUtf8(utf8, c);
        std::string out;
        EXPECT_TRUE(code.encode(utf8, out));
        return out;
    };

    // The most frequent one-byte character, two of the two-byte ones (count
    // 5 and count 1), a second one-byte character: bytes 0, C0 85, 1, C0 89.
    const std::string mixed = coded({0x4E00, 0x4E23, 0x4E01, 0x4E27});
    ASSERT_EQ(mixed.size(), 6u);
    EXPECT_EQ(code.rarestBytes(mixed), (std::pair<std::size_t, std::size_t>(2, 5)));
    EXPECT_EQ(code.rarestBytes(coded({0x4E27}, "ab")), (std::pair<std::size_t, std::size_t>(2, 3)));
    EXPECT_EQ(code.rarestBytes(coded({}, "abc")), (std::pair<std::size_t, std::size_t>(0, 2)))
        << "plain ASCII keeps the needle's ends";
    EXPECT_EQ(code.rarestBytes(coded({0x4E05})), (std::pair<std::size_t, std::size_t>(0, 0)));
    EXPECT_EQ(CompactCode().rarestBytes("xyz"), (std::pair<std::size_t, std::size_t>(0, 2)));
}

// A coded text read character by character, through its code indexes or
// through tables of values (as the pinyin automaton reads it), gives back
// every character, whatever the length of its code: plain ASCII, one byte,
// two and three.
TEST(TextSearch, ReadsCodedCharactersOfEveryLength)
{
    std::vector<std::pair<char32_t, std::uint32_t>> counts;
    const int characters = CompactCode::kOneByte + CompactCode::kTwoBytes + 50;
    for (int i = 0; i < characters; ++i)
        counts.emplace_back(char32_t(0x4E00 + i), std::uint32_t(characters - i));
    const CompactCode code = CompactCode::forCounts(counts);
    const std::u32string text = {
        U'a', 0x4E00,       0x4E00 + CompactCode::kOneByte, U'7', char32_t(0x4E00 + characters - 1), 0x4E01,
        U' ', 0x4E00 + 3000};
    std::string utf8;
    for (char32_t c : text)
        appendUtf8(utf8, c);
    std::string coded;
    ASSERT_TRUE(code.encode(utf8, coded));
    ASSERT_EQ(coded.size(), 1u + 1 + 2 + 1 + 3 + 1 + 1 + 2);

    // Each character's value: its own code point, looked up by code index
    // or by its single byte.
    std::vector<char32_t> ofIndex = code.characters();
    std::array<char32_t, 128> ofByte{};
    for (int b = 0; b < 128; ++b) {
        const int index = CompactCode::indexOfByte(static_cast<unsigned char>(b));
        ofByte[std::size_t(b)] = index < 0 ? char32_t(-1 - index) : ofIndex[std::size_t(index)];
    }
    const auto *p = reinterpret_cast<const unsigned char *>(coded.data());
    const auto *q = p;
    const auto *end = p + coded.size();
    std::u32string byIndex, byValue;
    while (p < end) {
        const int index = CompactCode::nextIndex(p);
        byIndex += index < 0 ? char32_t(-1 - index) : ofIndex[std::size_t(index)];
        byValue += CompactCode::nextValue(q, ofByte.data(), ofIndex.data());
        ASSERT_EQ(p, q);
    }
    EXPECT_EQ(byIndex, text);
    EXPECT_EQ(byValue, text);
}
