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
    std::vector<std::int32_t> lastRow(kKeys + kPairs, -1);
    std::vector<std::uint32_t> counts(kKeys + kPairs, 0);
    // The characters of each row, once each, row after row.
    std::vector<std::uint16_t> held;
    std::vector<std::uint32_t> heldEnds(std::size_t(rows), 0);
    // As many as the text has characters at most: room set aside at once is
    // never copied as it grows, and takes memory only where it is written.
    // A coded cell holds as many pairs of letters and digits at most.
    held.reserve(text.bytes.size() * (text.encoding == TextEncoding::Plain ? 1 : 2));
    int lastKey = -1;
    std::size_t raw = 0;
    if (text.encoding == TextEncoding::Plain) {
        // Plain ASCII: the bytes a cell holds gathered as bits, a byte at a
        // time with no lookup, then listed once each. Its pairs of letters
        // and digits are counted, and the rows of those kept listed below.
        for (int r = 0; r < rows; ++r) {
            const std::string_view cell = text.stored(std::size_t(r));
            std::uint64_t seen[2] = {0, 0};
            forEachAlnumPair(cell, [&](int slots) {
                const std::size_t pair = std::size_t(kKeys + slots);
                if (lastRow[pair] != r) {
                    lastRow[pair] = r;
                    ++counts[pair];
                }
            });
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
        int before = -1; // the letter or digit just read, as its place among them
        while (p < end) {
            const int key = nextKey(p);
            if (lastRow[std::size_t(key)] != r) {
                lastRow[std::size_t(key)] = r;
                ++counts[std::size_t(key)];
                held.push_back(std::uint16_t(key));
                lastKey = std::max(lastKey, key);
            }
            const int place = alnumSlot(char32_t(key)); // an ASCII letter's key is its lower case
            if (before >= 0 && place >= 0) {
                const std::size_t pair = std::size_t(kKeys + before * kAlnums + place);
                if (lastRow[pair] != r) {
                    lastRow[pair] = r;
                    ++counts[pair];
                    held.push_back(std::uint16_t(pair));
                }
            }
            before = place;
        }
        heldEnds[std::size_t(r)] = std::uint32_t(held.size());
    }

    index.m_words = (std::size_t(rows) + 63) / 64;
    // What a key's rows take: two bytes a row in a list, an eighth of a byte
    // a row in a bitmap.
    const auto asBitmap = [&](std::uint32_t count) { return std::size_t(count) * 2 > index.m_words * 8; };
    const auto bytesOf = [&](std::uint32_t count) {
        return asBitmap(count) ? index.m_words * 8 : std::size_t(count) * 2;
    };
    // The pairs of letters and digits are kept where they cost little
    // against the text: a profile's few Latin words and numbers, not an
    // address's house numbers.
    std::size_t pairBytes = 0;
    for (std::size_t k = kKeys; k < std::size_t(kKeys + kPairs); ++k)
        pairBytes += counts[k] ? bytesOf(counts[k]) : 0;
    const bool plain = text.encoding == TextEncoding::Plain;
    index.m_allPairs = !plain && pairBytes > 0 && pairBytes * kMostPairShare <= text.bytes.size();
    // In plain text (an English name, a web address), the pairs few rows
    // hold, the rarest first, as far as they cost little: a pair of them is
    // then known in every row, its absence too, where a filter of the
    // row's pairs would let about a third of the rows through.
    std::vector<bool> keptPair(std::size_t(kPairs), index.m_allPairs);
    if (plain && pairBytes > 0) {
        std::vector<int> order;
        for (int k = 0; k < kPairs; ++k)
            if (counts[std::size_t(kKeys + k)] > 0)
                order.push_back(k);
        std::sort(order.begin(), order.end(), [&](int a, int b) {
            return counts[std::size_t(kKeys + a)] < counts[std::size_t(kKeys + b)];
        });
        const std::size_t budget = text.bytes.size() / kMostRarePairShare;
        std::size_t spent = 0;
        std::fill(keptPair.begin(), keptPair.end(), true); // those no row holds are known too
        for (std::size_t i = 0; i < order.size(); ++i) {
            const std::uint32_t count = counts[std::size_t(kKeys + order[i])];
            if (asBitmap(count) || spent + bytesOf(count) > budget) {
                for (std::size_t j = i; j < order.size(); ++j)
                    keptPair[std::size_t(order[j])] = false;
                break;
            }
            spent += bytesOf(count);
        }
    }
    // Coded text gathered its pairs with its characters (and keeps all or
    // none); plain text lists those it keeps apart, below.
    const bool pairs = index.m_allPairs || (plain && pairBytes > 0);

    const auto keys = std::size_t(lastKey + 1);
    index.m_entries = FixedArray<Entry>(keys);
    if (pairs)
        index.m_pairEntries = FixedArray<Entry>(std::size_t(kPairs));
    std::size_t listed = 0, bitmaps = 0;
    const auto place = [&](Entry &e, std::uint32_t count) {
        if (asBitmap(count)) {
            e.begin = std::uint32_t(bitmaps); // its place among the bitmaps until they are filled
            e.count = count | kBitmap;
            ++bitmaps;
        } else {
            e.begin = std::uint32_t(listed);
            e.count = count;
            listed += count;
        }
    };
    for (std::size_t k = 0; k < keys; ++k)
        place(index.m_entries[k], counts[k]);
    for (std::size_t k = 0; k < index.m_pairEntries.size(); ++k)
        if (keptPair[k])
            place(index.m_pairEntries[k], counts[std::size_t(kKeys) + k]);
        else
            index.m_pairEntries[k].count = kUnknown;
    index.m_lists = FixedArray<std::uint16_t>(listed);
    index.m_bitmaps = FixedArray<std::uint64_t>(bitmaps * index.m_words);
    std::fill(counts.begin(), counts.end(), 0); // now the rows listed so far
    // The bitmaps are filled 64 rows at a time, a word of each at once: one
    // bit at a time into bitmaps far apart would wait on the memory.
    std::vector<std::uint64_t> block(bitmaps, 0);
    std::size_t at = 0;
    for (std::size_t w = 0; w < index.m_words; ++w) {
        const int last = std::min(rows, int(w * 64) + 64);
        for (int r = int(w * 64); r < last; ++r) {
            for (; at < heldEnds[std::size_t(r)]; ++at) {
                const std::uint16_t key = held[at];
                if (key >= kKeys && !pairs)
                    continue;
                const Entry &e = key < kKeys ? index.m_entries[key] : index.m_pairEntries[key - kKeys];
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
    if (plain && pairs) {
        // The rows of the pairs kept, all listed (none is held by enough
        // rows to take a bitmap): read again rather than gathered above,
        // where they would take more memory than the text while building.
        std::fill(lastRow.begin() + kKeys, lastRow.end(), -1);
        for (int r = 0; r < rows; ++r)
            forEachAlnumPair(text.stored(std::size_t(r)), [&](int slots) {
                const std::size_t pair = std::size_t(kKeys + slots);
                const Entry &e = index.m_pairEntries[pair - kKeys];
                if (e.count == kUnknown || lastRow[pair] == r)
                    return;
                lastRow[pair] = r;
                index.m_lists[e.begin + counts[pair]++] = std::uint16_t(r);
            });
    }
    for (FixedArray<Entry> *entries : {&index.m_entries, &index.m_pairEntries})
        for (std::size_t k = 0; k < entries->size(); ++k) {
            Entry &e = (*entries)[k];
            if (e.count != kUnknown && (e.count & kBitmap))
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

const CharacterIndex::Entry *CharacterIndex::entryOf(int key) const
{
    if (key < 0)
        return nullptr;
    if (key >= kKeys)
        return std::size_t(key - kKeys) < m_pairEntries.size() ? &m_pairEntries[std::size_t(key - kKeys)]
                                                               : nullptr;
    return std::size_t(key) < m_entries.size() ? &m_entries[std::size_t(key)] : nullptr;
}

int CharacterIndex::pairKey(char32_t first, char32_t second)
{
    const int a = caselessAlnumSlot(first), b = caselessAlnumSlot(second);
    return a < 0 || b < 0 ? -1 : kKeys + a * kAlnums + b;
}

void CharacterIndex::addRows(int key, std::uint64_t *out, std::size_t words) const
{
    const Entry *found = entryOf(key);
    if (!found)
        return;
    const Entry &e = *found;
    if (e.count == kUnknown)
        return;
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
    const Entry *e = entryOf(key);
    return e && e->count != kUnknown ? e->count & ~kBitmap : 0;
}

bool CharacterIndex::knowsPair(int key) const
{
    const Entry *e = key >= kKeys ? entryOf(key) : nullptr;
    return e && e->count != kUnknown;
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
    return m_entries.memoryBytes() + m_pairEntries.memoryBytes() + m_lists.memoryBytes() +
           m_bitmaps.memoryBytes();
}

} // namespace store
