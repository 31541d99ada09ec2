#include "store/CharacterIndex.h"

#include "store/StoreChunk.h"
#include "store/Utf8Text.h"

#include <algorithm>
#include <bit>
#include <string>
#include <vector>

namespace store {

CharacterIndex CharacterIndex::build(const TextChunk &text, int rows)
{
    CharacterIndex index;
    std::vector<std::int32_t> lastRow(kKeys, -1);
    std::vector<std::uint32_t> counts(kKeys, 0);
    // The characters of each row, once each, row after row.
    std::vector<std::uint16_t> held;
    std::vector<std::uint32_t> heldEnds(std::size_t(rows), 0);
    // As many as the text has characters at most: room set aside at once is
    // never copied as it grows, and takes memory only where it is written.
    held.reserve(text.bytes.size());
    int lastKey = -1;
    std::size_t raw = 0;
    if (text.encoding == TextEncoding::Plain) {
        // Plain ASCII: the bytes a cell holds gathered as bits, a byte at a
        // time with no lookup, then listed once each.
        for (int r = 0; r < rows; ++r) {
            const std::string_view cell = text.stored(std::size_t(r));
            std::uint64_t seen[2] = {0, 0};
            for (const char c : cell) {
                const auto b = static_cast<unsigned char>(c);
                const unsigned key = b >= 'A' && b <= 'Z' ? b + ('a' - 'A') : b;
                seen[(key >> 6) & 1] |= std::uint64_t(1) << (key & 63);
            }
            for (unsigned half = 0; half < 2; ++half)
                for (std::uint64_t bits = seen[half]; bits; bits &= bits - 1) {
                    const int key = int(half * 64) + std::countr_zero(bits);
                    ++counts[std::size_t(key)];
                    held.push_back(std::uint16_t(key));
                    lastKey = std::max(lastKey, key);
                }
            heldEnds[std::size_t(r)] = std::uint32_t(held.size());
        }
    }
    for (int r = 0; r < rows && text.encoding != TextEncoding::Plain; ++r) {
        if (raw < text.rawRows.size() && text.rawRows[raw] == r) {
            ++raw;
            heldEnds[std::size_t(r)] = std::uint32_t(held.size());
            continue;
        }
        const std::string_view cell = text.stored(std::size_t(r));
        const auto *p = reinterpret_cast<const unsigned char *>(cell.data());
        const auto *end = p + cell.size();
        while (p < end) {
            const int key = nextKey(p);
            if (lastRow[std::size_t(key)] != r) {
                lastRow[std::size_t(key)] = r;
                ++counts[std::size_t(key)];
                held.push_back(std::uint16_t(key));
                lastKey = std::max(lastKey, key);
            }
        }
        heldEnds[std::size_t(r)] = std::uint32_t(held.size());
    }

    index.m_words = (std::size_t(rows) + 63) / 64;
    const auto keys = std::size_t(lastKey + 1);
    index.m_entries = FixedArray<Entry>(keys);
    std::size_t listed = 0, bitmaps = 0;
    for (std::size_t k = 0; k < keys; ++k) {
        Entry &e = index.m_entries[k];
        // A list takes two bytes a row, a bitmap an eighth of a byte a row.
        if (std::size_t(counts[k]) * 2 > index.m_words * 8) {
            e.begin = std::uint32_t(bitmaps); // its place among the bitmaps until they are filled
            e.count = counts[k] | kBitmap;
            ++bitmaps;
        } else {
            e.begin = std::uint32_t(listed);
            e.count = counts[k];
            listed += counts[k];
        }
    }
    index.m_lists = FixedArray<std::uint16_t>(listed);
    index.m_bitmaps = FixedArray<std::uint64_t>(bitmaps * index.m_words);
    std::fill(counts.begin(), counts.begin() + std::ptrdiff_t(keys), 0); // now the rows listed so far
    // The bitmaps are filled 64 rows at a time, a word of each at once: one
    // bit at a time into bitmaps far apart would wait on the memory.
    std::vector<std::uint64_t> block(bitmaps, 0);
    std::size_t at = 0;
    for (std::size_t w = 0; w < index.m_words; ++w) {
        const int last = std::min(rows, int(w * 64) + 64);
        for (int r = int(w * 64); r < last; ++r) {
            for (; at < heldEnds[std::size_t(r)]; ++at) {
                const std::uint16_t key = held[at];
                const Entry &e = index.m_entries[key];
                if (e.count & kBitmap)
                    block[e.begin] |= std::uint64_t(1) << (r % 64);
                else
                    index.m_lists[e.begin + counts[key]++] = std::uint16_t(r);
            }
        }
        for (std::size_t b = 0; b < bitmaps; ++b) {
            index.m_bitmaps[b * index.m_words + w] = block[b];
            block[b] = 0;
        }
    }
    for (std::size_t k = 0; k < keys; ++k) {
        Entry &e = index.m_entries[k];
        if (e.count & kBitmap)
            e.begin *= std::uint32_t(index.m_words);
    }
    return index;
}

int CharacterIndex::keyOf(const CompactCode &code, char32_t c)
{
    std::string utf8, coded;
    appendUtf8(utf8, c);
    if (!code.encode(utf8, coded) || coded.empty())
        return -1;
    const auto *p = reinterpret_cast<const unsigned char *>(coded.data());
    return nextKey(p);
}

int CharacterIndex::keyOfCodeIndex(int index)
{
    const std::uint32_t packed = CompactCode::packedCode(index);
    const unsigned char bytes[3] = {static_cast<unsigned char>(packed),
                                    static_cast<unsigned char>(packed >> 8),
                                    static_cast<unsigned char>(packed >> 16)};
    const unsigned char *p = bytes;
    return nextKey(p);
}

void CharacterIndex::addRows(int key, std::uint64_t *out, std::size_t words) const
{
    if (key < 0 || std::size_t(key) >= m_entries.size())
        return;
    const Entry &e = m_entries[std::size_t(key)];
    if (e.count & kBitmap) {
        const std::uint64_t *bits = m_bitmaps.data() + e.begin;
        for (std::size_t w = 0; w < std::min(words, m_words); ++w)
            out[w] |= bits[w];
        return;
    }
    for (const std::uint16_t *r = m_lists.data() + e.begin, *end = r + e.count; r < end; ++r)
        if (std::size_t(*r) / 64 < words)
            out[*r / 64] |= std::uint64_t(1) << (*r % 64);
}

std::size_t CharacterIndex::rowsHolding(int key) const
{
    if (key < 0 || std::size_t(key) >= m_entries.size())
        return 0;
    return m_entries[std::size_t(key)].count & ~kBitmap;
}

void CharacterIndex::keepRowsHoldingAll(std::string_view coded, std::uint64_t *rows, std::size_t words) const
{
    std::vector<std::uint64_t> holding(words);
    const auto *p = reinterpret_cast<const unsigned char *>(coded.data());
    const auto *end = p + coded.size();
    while (p < end) {
        std::fill(holding.begin(), holding.end(), 0);
        addRows(nextKey(p), holding.data(), words);
        for (std::size_t w = 0; w < words; ++w)
            rows[w] &= holding[w];
    }
}

std::size_t CharacterIndex::memoryBytes() const
{
    return m_entries.memoryBytes() + m_lists.memoryBytes() + m_bitmaps.memoryBytes();
}

} // namespace store
