#include "store/CharacterIndex.h"

#include "store/StoreChunk.h"

#include <algorithm>
#include <vector>

namespace store {

CharacterIndex CharacterIndex::build(const TextChunk &text, int rows)
{
    CharacterIndex index;
    const std::size_t keys = kFirstCoded + text.code.characters().size();
    std::vector<std::int32_t> lastRow(keys, -1);
    std::vector<std::uint32_t> counts(keys, 0);
    // Each row's characters, once each: counted first, then laid out. Read
    // twice rather than kept, as the chunk's other columns are built beside.
    auto eachCharacter = [&](auto &&take) {
        std::size_t raw = 0;
        for (int r = 0; r < rows; ++r) {
            if (raw < text.rawRows.size() && text.rawRows[raw] == r) {
                ++raw;
                continue;
            }
            const std::string_view cell = text.stored(std::size_t(r));
            const auto *p = reinterpret_cast<const unsigned char *>(cell.data());
            const auto *end = p + cell.size();
            while (p < end) {
                const auto key = std::size_t(nextKey(p));
                if (lastRow[key] != r) {
                    lastRow[key] = r;
                    take(key, r);
                }
            }
        }
    };
    eachCharacter([&](std::size_t key, int) { ++counts[key]; });

    index.m_words = (std::size_t(rows) + 63) / 64;
    index.m_entries = FixedArray<Entry>(keys);
    std::size_t listed = 0, bitmaps = 0;
    for (std::size_t k = 0; k < keys; ++k) {
        Entry &e = index.m_entries[k];
        // A list takes two bytes a row, a bitmap an eighth of a byte a row.
        if (std::size_t(counts[k]) * 2 > index.m_words * 8) {
            e.begin = std::uint32_t(bitmaps * index.m_words);
            e.count = kBitmap;
            ++bitmaps;
        } else {
            e.begin = std::uint32_t(listed);
            e.count = counts[k];
            listed += counts[k];
        }
    }
    index.m_lists = FixedArray<std::uint16_t>(listed);
    index.m_bitmaps = FixedArray<std::uint64_t>(bitmaps * index.m_words);
    std::fill(index.m_bitmaps.data(), index.m_bitmaps.data() + index.m_bitmaps.size(), std::uint64_t(0));
    std::fill(lastRow.begin(), lastRow.end(), -1);
    std::fill(counts.begin(), counts.end(), 0); // now the rows listed so far
    eachCharacter([&](std::size_t key, int r) {
        const Entry &e = index.m_entries[key];
        if (e.count == kBitmap)
            index.m_bitmaps[e.begin + std::size_t(r) / 64] |= std::uint64_t(1) << (r % 64);
        else
            index.m_lists[e.begin + counts[key]++] = std::uint16_t(r);
    });
    return index;
}

void CharacterIndex::addRows(int key, std::uint64_t *out, std::size_t words) const
{
    if (key < 0 || std::size_t(key) >= m_entries.size())
        return;
    const Entry &e = m_entries[std::size_t(key)];
    if (e.count == kBitmap) {
        const std::uint64_t *bits = m_bitmaps.data() + e.begin;
        for (std::size_t w = 0; w < std::min(words, m_words); ++w)
            out[w] |= bits[w];
        return;
    }
    for (const std::uint16_t *r = m_lists.data() + e.begin, *end = r + e.count; r < end; ++r)
        if (std::size_t(*r) / 64 < words)
            out[*r / 64] |= std::uint64_t(1) << (*r % 64);
}

int CharacterIndex::nextKey(const unsigned char *&p)
{
    const int code = CompactCode::nextIndex(p);
    if (code >= 0)
        return kFirstCoded + code;
    const int byte = -1 - code;
    return byte >= 'A' && byte <= 'Z' ? byte + ('a' - 'A') : byte;
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
