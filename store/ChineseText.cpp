#include "store/ChineseText.h"

#include "store/PinyinData.h"
#include "store/Utf8Text.h"

#include <algorithm>
#include <unordered_map>

namespace store {

namespace data = pinyin_data;

namespace {

// The folded form of every character below U+10000, and the reading set of
// each (0xFFFF for none), looked up directly: a search folds every
// character it reads.
struct BmpTables
{
    std::vector<char16_t> fold;
    std::vector<std::uint16_t> readingSet;
    std::unordered_map<char32_t, std::vector<char32_t>> unfolded;

    BmpTables() : fold(0x10000), readingSet(0x10000, 0xFFFF)
    {
        for (char32_t c = 0; c < 0x10000; ++c)
            fold[c] = char16_t(c);
        for (char32_t c = 'A'; c <= 'Z'; ++c)
            fold[c] = char16_t(c - 'A' + 'a');
        // Full-width ASCII, as a Chinese keyboard may give it.
        for (char32_t c = 0xFF01; c <= 0xFF5E; ++c) {
            char32_t ascii = c - 0xFF01 + 0x21;
            if (ascii >= 'A' && ascii <= 'Z')
                ascii += 'a' - 'A';
            fold[c] = char16_t(ascii);
        }
        fold[0x3000] = u' ';
        for (int i = 0; i < data::kFoldCount; ++i)
            if (data::kFoldFrom[i] < 0x10000 && data::kFoldTo[i] < 0x10000)
                fold[data::kFoldFrom[i]] = char16_t(data::kFoldTo[i]);
        for (int i = 0; i < data::kReadingCharCount; ++i)
            if (data::kReadingChars[i] < 0x10000)
                readingSet[data::kReadingChars[i]] = data::kReadingSets[i];
        for (char32_t c = 0; c < 0x10000; ++c)
            if (fold[c] != c && !(c >= 0xD800 && c <= 0xDFFF))
                unfolded[fold[c]].push_back(c);
        for (int i = 0; i < data::kFoldCount; ++i)
            if (data::kFoldFrom[i] >= 0x10000 || data::kFoldTo[i] >= 0x10000)
                unfolded[data::kFoldTo[i]].push_back(data::kFoldFrom[i]);
        for (auto &[to, from] : unfolded)
            from.insert(from.begin(), to);
    }
};

const BmpTables &tables()
{
    static const BmpTables t;
    return t;
}

} // namespace

char32_t foldCharacter(char32_t c)
{
    if (c < 0x10000)
        return tables().fold[c];
    const char32_t *end = data::kFoldFrom + data::kFoldCount;
    const char32_t *at = std::lower_bound(data::kFoldFrom, end, c);
    return at != end && *at == c ? data::kFoldTo[at - data::kFoldFrom] : c;
}

std::u32string utf32Text(std::string_view utf8)
{
    std::u32string out;
    out.reserve(utf8.size());
    const auto *p = reinterpret_cast<const unsigned char *>(utf8.data());
    const auto *end = p + utf8.size();
    while (p < end) {
        if (*p < 0x80) {
            out.push_back(*p++);
            continue;
        }
        const int n = wellFormedLength(p, end);
        if (n == 0) {
            out.push_back(kReplacementCharacter);
            ++p;
            continue;
        }
        std::size_t at = 0;
        out.push_back(nextCharacter(std::string_view(reinterpret_cast<const char *>(p), std::size_t(n)), at));
        p += n;
    }
    return out;
}

std::u32string foldedText(std::string_view utf8)
{
    std::u32string out = utf32Text(utf8);
    for (char32_t &c : out)
        c = foldCharacter(c);
    return out;
}

const std::vector<char32_t> &unfoldedForms(char32_t folded)
{
    static thread_local std::vector<char32_t> single(1);
    const auto &map = tables().unfolded;
    if (auto it = map.find(folded); it != map.end())
        return it->second;
    single[0] = folded;
    return single;
}

int readingSetOf(char32_t folded)
{
    int set = 0xFFFF;
    if (folded < 0x10000) {
        set = tables().readingSet[folded];
    } else {
        const char32_t *end = data::kReadingChars + data::kReadingCharCount;
        const char32_t *at = std::lower_bound(data::kReadingChars, end, folded);
        if (at != end && *at == folded)
            set = data::kReadingSets[at - data::kReadingChars];
    }
    return set == 0xFFFF ? -1 : set;
}

std::span<const std::uint16_t> readingSet(int set)
{
    return {data::kSetItems + data::kSetStarts[set], data::kSetItems + data::kSetStarts[set + 1]};
}

int readingSetCount()
{
    return data::kSetCount;
}

std::span<const std::uint16_t> readingsOf(char32_t folded)
{
    const int set = readingSetOf(folded);
    if (set < 0)
        return {};
    return readingSet(set);
}

std::size_t pinyinTableBytes()
{
    const BmpTables &t = tables();
    std::size_t unfolded = 0;
    for (const auto &[to, from] : t.unfolded)
        unfolded += sizeof(to) + sizeof(from) + from.capacity() * sizeof(char32_t) + 2 * sizeof(void *);
    return std::size_t(data::kSetStarts[data::kSetCount]) * sizeof(std::uint16_t) +
           std::size_t(data::kSetCount + 1) * sizeof(std::uint16_t) +
           std::size_t(data::kReadingCharCount) * (sizeof(char32_t) + sizeof(std::uint16_t)) +
           std::size_t(data::kFoldCount) * 2 * sizeof(char32_t) + std::size_t(data::kSyllableCount) * 8 +
           t.fold.capacity() * sizeof(char16_t) + t.readingSet.capacity() * sizeof(std::uint16_t) + unfolded;
}

std::string_view syllable(int id)
{
    return data::kSyllables[id];
}

int syllableCount()
{
    return data::kSyllableCount;
}

} // namespace store
