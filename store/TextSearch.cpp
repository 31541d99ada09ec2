#include "store/TextSearch.h"

#include "store/KeepRowsAhead.h"
#include "store/SqlLikePattern.h"
#include "store/Utf8Text.h"

#include <algorithm>
#include <bit>
#include <cstring>
#include <string>
#include <vector>

#if defined(__x86_64__) && defined(__GNUC__)
#include <immintrin.h>
#define VELMORA_HAVE_AVX2_PATH 1
#endif

namespace store {

namespace {

constexpr std::size_t kNotFound = std::string::npos;

bool isLowerLetter(char c)
{
    return c >= 'a' && c <= 'z';
}

// Whether the needle is at `at` (the caller made sure it fits).
bool needleAt(const char *bytes, std::size_t at, const TextNeedle &n)
{
    return n.foldLetters ? equalsIgnoringAsciiCase(bytes + at, n.lower)
                         : std::memcmp(bytes + at, n.lower.data(), n.lower.size()) == 0;
}

// The first position in [from, size - needle size] where the needle is.
// Letters in either case are compared byte by byte; any other byte of the
// needle (its anchor if it is one) is looked for with memchr.
std::size_t findPlain(const char *bytes, std::size_t size, std::size_t from, const TextNeedle &n)
{
    const std::size_t k = n.lower.size();
    if (from + k > size)
        return kNotFound;
    if (!n.foldLetters) {
        const void *hit = memmem(bytes + from, size - from, n.lower.data(), k);
        return hit ? std::size_t(static_cast<const char *>(hit) - bytes) : kNotFound;
    }
    std::size_t a = std::min(n.anchor, k - 1);
    if (isLowerLetter(n.lower[a]))
        for (std::size_t i = 0; i < k; ++i)
            if (!isLowerLetter(n.lower[i])) {
                a = i;
                break;
            }
    if (!isLowerLetter(n.lower[a])) {
        const char *last = bytes + size - k + a; // the anchor of the last place that fits
        for (const char *p = bytes + from + a; p <= last;) {
            p = static_cast<const char *>(std::memchr(p, n.lower[a], std::size_t(last - p) + 1));
            if (!p)
                return kNotFound;
            const std::size_t at = std::size_t(p - bytes) - a;
            if (needleAt(bytes, at, n))
                return at;
            ++p;
        }
        return kNotFound;
    }
    for (std::size_t at = from; at + k <= size; ++at) {
        if (lowerAsciiByte(bytes[at]) == n.lower.front() && needleAt(bytes, at, n))
            return at;
    }
    return kNotFound;
}

#ifdef VELMORA_HAVE_AVX2_PATH
// Whether the needle has a printable ASCII byte: letters, digits and
// punctuation are the most frequent bytes of any text, so that two of them
// agree at many places that do not hold the needle. (The bytes below are
// the compact code's most frequent characters, each of them rarer.)
bool hasCommonBytes(const TextNeedle &n)
{
    return std::any_of(n.lower.begin(), n.lower.end(), [](char c) { return c >= 0x20 && c < 0x7F; });
}

// Compares some of a needle's bytes with those of 32 places at once: its
// two anchors, and up to `Most` of its bytes in all, so that with four a
// needle of up to four bytes is compared whole and a longer one leaves few
// places to check (for a needle of common bytes; rare anchors leave few
// places by themselves). A letter is compared with its 0x20 bit forced on,
// which makes its two cases alike.
template <int Most> class AnchorCompare
{
public:
    __attribute__((target("avx2"))) explicit AnchorCompare(const TextNeedle &n)
    {
        const std::size_t k = n.lower.size();
        add(n, n.anchor);
        add(n, n.secondAnchor);
        if constexpr (Most > 2) {
            add(n, 0);
            add(n, k - 1);
            for (std::size_t at = 1; at + 1 < k && m_count < kMost; ++at)
                add(n, at);
        }
        m_whole = std::size_t(m_count) == k;
        if (m_count == 1) { // a needle of one byte: compared twice
            m_at[1] = m_at[0];
            m_want[1] = m_want[0];
            m_fold[1] = m_fold[0];
        }
    }
    // Bit p: the bytes compared agree for the needle placed at block + p.
    __attribute__((target("avx2"))) unsigned hits(const char *block) const
    {
        __m256i all = _mm256_and_si256(agree(block, 0), agree(block, 1));
        if constexpr (Most > 2) {
            if (m_count > 2) {
                all = _mm256_and_si256(all, agree(block, 2));
                if (m_count > 3)
                    all = _mm256_and_si256(all, agree(block, 3));
            }
        }
        return unsigned(_mm256_movemask_epi8(all));
    }
    // Whether every byte of the needle is compared: a hit is a match.
    bool whole() const { return m_whole; }

private:
    static constexpr int kMost = Most;
    __attribute__((target("avx2"))) void add(const TextNeedle &n, std::size_t at)
    {
        at = std::min(at, n.lower.size() - 1);
        if (m_count == kMost || std::find(m_at, m_at + m_count, at) != m_at + m_count)
            return;
        const char c = n.lower[at];
        m_at[m_count] = at;
        m_want[m_count] = _mm256_set1_epi8(c);
        m_fold[m_count] = _mm256_set1_epi8(n.foldLetters && isLowerLetter(c) ? 0x20 : 0);
        ++m_count;
    }
    __attribute__((target("avx2"))) __m256i agree(const char *block, int i) const
    {
        const __m256i bytes = _mm256_loadu_si256(reinterpret_cast<const __m256i *>(block + m_at[i]));
        return _mm256_cmpeq_epi8(_mm256_or_si256(bytes, m_fold[i]), m_want[i]);
    }

    int m_count = 0;
    bool m_whole = false;
    std::size_t m_at[kMost] = {};
    __m256i m_want[kMost], m_fold[kMost];
};

// Finds the needle 32 places at a time, checking the whole needle only
// where the bytes compared agree.
template <typename Compare>
__attribute__((target("avx2"))) std::size_t findAvx2(const char *bytes, std::size_t size, std::size_t from,
                                                     const TextNeedle &n, const Compare &anchors)
{
    const std::size_t k = n.lower.size();
    std::size_t at = from;
    if (size < k - 1 + 32)
        return findPlain(bytes, size, at, n);
    while (at + k <= size) {
        // The 32 places from `at`, each leaving room for the whole needle;
        // near the end, the last 32 places, those before `at` left out.
        const std::size_t block = std::min(at, size - (k - 1) - 32);
        unsigned hits = anchors.hits(bytes + block) & (~0u << (at - block));
        while (hits) {
            const std::size_t candidate = block + std::size_t(__builtin_ctz(hits));
            if (anchors.whole() || needleAt(bytes, candidate, n))
                return candidate;
            hits &= hits - 1;
        }
        at = block + 32;
    }
    return kNotFound;
}

// findAvx2 for one search: the bytes compared set up only for a text
// long enough to take a block.
__attribute__((target("avx2"))) std::size_t findOnceAvx2(const char *bytes, std::size_t size,
                                                         std::size_t from, const TextNeedle &n)
{
    if (size < n.lower.size() - 1 + 32)
        return findPlain(bytes, size, from, n);
    return hasCommonBytes(n) ? findAvx2(bytes, size, from, n, AnchorCompare<4>(n))
                             : findAvx2(bytes, size, from, n, AnchorCompare<2>(n));
}
#endif

std::size_t find(const char *bytes, std::size_t size, std::size_t from, const TextNeedle &n)
{
#ifdef VELMORA_HAVE_AVX2_PATH
    static const bool avx2 = __builtin_cpu_supports("avx2");
    if (avx2)
        return findOnceAvx2(bytes, size, from, n);
#endif
    return findPlain(bytes, size, from, n);
}

// A stray continuation byte after the needle would join its last character.
bool endsWhole(std::string_view text, std::size_t after, const TextNeedle &n)
{
    return !(n.endsInMultibyte && after < text.size() &&
             isContinuationByte(static_cast<unsigned char>(text[after])));
}

} // namespace

bool containsNeedle(std::string_view text, const TextNeedle &n)
{
    const std::size_t k = n.lower.size();
    if (k == 0)
        return true;
    for (std::size_t at = 0; (at = find(text.data(), text.size(), at, n)) != kNotFound; ++at) {
        if (endsWhole(text, at + k, n))
            return true;
    }
    return false;
}

bool startsWithNeedle(std::string_view text, const TextNeedle &n)
{
    const std::size_t k = n.lower.size();
    return text.size() >= k && (k == 0 || needleAt(text.data(), 0, n)) && endsWhole(text, k, n);
}

bool endsWithNeedle(std::string_view text, const TextNeedle &n)
{
    const std::size_t k = n.lower.size();
    return text.size() >= k && (k == 0 || needleAt(text.data(), text.size() - k, n));
}

bool equalsNeedle(std::string_view text, const TextNeedle &n)
{
    return text.size() == n.lower.size() && startsWithNeedle(text, n);
}

void findPrefixInHeads(const std::uint32_t *heads, std::size_t words, std::string_view lower,
                       std::uint64_t *out)
{
    // The needle's bytes, the bytes that count and the 0x20 bits that make
    // a letter's two cases alike, laid out as the heads are.
    unsigned char want[4] = {}, mask[4] = {}, fold[4] = {};
    for (std::size_t i = 0; i < std::min<std::size_t>(4, lower.size()); ++i) {
        want[i] = static_cast<unsigned char>(lower[i]);
        mask[i] = 0xFF;
        fold[i] = isLowerLetter(lower[i]) ? 0x20 : 0;
    }
    std::uint32_t wantWord, maskWord, foldWord;
    std::memcpy(&wantWord, want, 4);
    std::memcpy(&maskWord, mask, 4);
    std::memcpy(&foldWord, fold, 4);
    for (std::size_t w = 0; w < words; ++w) {
        const std::uint32_t *h = heads + w * 64;
        std::uint64_t bits = 0;
        for (int b = 0; b < 64; ++b)
            bits |= std::uint64_t(((h[b] | foldWord) & maskWord) == wantWord) << b;
        out[w] = bits;
    }
}

namespace {

// Rows not asked for that take at least this many bytes are passed over;
// a shorter gap is read through, as a new start costs about as much.
constexpr std::uint32_t kGapWorthSkipping = 1024;

} // namespace

#ifdef VELMORA_HAVE_AVX2_PATH
namespace {

// findInCells for a needle of one to four bytes in rows [first, last),
// which a comparison of all its bytes finds exactly: a bit for every place
// where it starts, 32 places at a time, then each place set looked up
// among the cells, passing over the rest of a cell found. A word of a few
// letters is in many cells of a column: the search that starts again after
// each place found pays more for every one.
__attribute__((target("avx2"))) void findShortInRowsAvx2(const char *bytes, const std::uint32_t *ends,
                                                         int first, int last, const TextNeedle &n,
                                                         std::uint64_t *out)
{
    const std::size_t k = n.lower.size();
    const std::size_t from = first ? ends[first - 1] : 0;
    const std::size_t size = ends[last - 1] - from;
    const char *text = bytes + from;
    std::vector<std::uint64_t> starts(size / 64 + 1, 0);
    const AnchorCompare<4> anchors(n); // every byte of the needle
    std::size_t at = 0;
    for (; at + (k - 1) + 32 <= size; at += 32)
        starts[at / 64] |= std::uint64_t(anchors.hits(text + at)) << (at % 64);
    for (; at + k <= size; ++at)
        if (needleAt(text, at, n))
            starts[at / 64] |= std::uint64_t(1) << (at % 64);
    int row = first;
    for (std::size_t w = 0; w < starts.size(); ++w) {
        std::uint64_t bits = starts[w];
        while (bits) {
            const std::size_t place = from + w * 64 + std::size_t(std::countr_zero(bits));
            // The cell holding the place: a few cells on, or found by halves
            // between cells further and further on.
            for (int step = 0; step < 8 && row < last && ends[row] <= place; ++step)
                ++row;
            if (row < last && ends[row] <= place) {
                int stride = 16;
                while (row + stride < last && ends[row + stride] <= place) {
                    row += stride;
                    stride *= 2;
                }
                row = int(
                    std::upper_bound(ends + row, ends + std::min(last, row + stride), std::uint32_t(place)) -
                    ends);
            }
            if (row >= last)
                return;
            const std::size_t cellEnd = ends[row];
            if (place + k > cellEnd) { // runs into the next cell
                bits &= bits - 1;
                continue;
            }
            out[std::size_t(row) / 64] |= std::uint64_t(1) << (row % 64);
            ++row;
            // Past the cell found: places before its end are passed over.
            const std::size_t next = cellEnd - from;
            if (next / 64 > w) {
                w = next / 64;
                bits = w < starts.size() ? starts[w] & (~std::uint64_t(0) << (next % 64)) : 0;
                if (w >= starts.size())
                    return;
            } else {
                bits &= ~std::uint64_t(0) << (next % 64);
            }
        }
    }
}

} // namespace
#endif

namespace {

// Rows [first, last) read in one pass over their bytes, the needle found
// by `find(stop, from)`: after a cell found, the search goes on at the next.
template <typename Find>
void findInRows(const char *bytes, const std::uint32_t *ends, int first, int last, const TextNeedle &n,
                std::uint64_t *out, Find find)
{
    const std::size_t k = n.lower.size();
    std::size_t pos = first ? ends[first - 1] : 0;
    const std::size_t stop = ends[last - 1];
    int row = first;
    while (pos < stop) {
        const std::size_t at = find(stop, pos);
        if (at == kNotFound)
            return;
        while (ends[row] <= at)
            ++row;
        const std::size_t cellEnd = ends[row];
        const std::size_t after = at + k;
        const bool whole =
            after <= cellEnd && !(n.endsInMultibyte && after < cellEnd &&
                                  isContinuationByte(static_cast<unsigned char>(bytes[after])));
        if (!whole) {
            pos = at + 1;
            continue;
        }
        out[std::size_t(row) / 64] |= std::uint64_t(1) << (row % 64);
        pos = cellEnd; // one hit is enough for a row
        ++row;
    }
}

#ifdef VELMORA_HAVE_AVX2_PATH
template <typename Compare>
__attribute__((target("avx2"))) void findInRowsAvx2(const char *bytes, const std::uint32_t *ends, int first,
                                                    int last, const TextNeedle &n, std::uint64_t *out)
{
    const Compare anchors(n); // set up once for all the cells
    findInRows(bytes, ends, first, last, n, out,
               [&](std::size_t stop, std::size_t from) { return findAvx2(bytes, stop, from, n, anchors); });
}
#endif

} // namespace

void findInCells(const char *bytes, const std::uint32_t *ends, int rows, const TextNeedle &n,
                 std::uint64_t *out, const std::uint64_t *only)
{
    if (rows <= 0)
        return;
#ifdef VELMORA_HAVE_AVX2_PATH
    const std::size_t k = n.lower.size();
    static const bool avx2 = __builtin_cpu_supports("avx2");
    const bool commonBytes = hasCommonBytes(n);
    const bool shortNeedle = avx2 && (k <= 2 || (k <= 4 && commonBytes)) && !n.endsInMultibyte;
#endif
    // Rows [first, last) read in one pass over their bytes.
    auto scan = [&](int first, int last) {
#ifdef VELMORA_HAVE_AVX2_PATH
        if (shortNeedle) {
            findShortInRowsAvx2(bytes, ends, first, last, n, out);
            return;
        }
        if (avx2) {
            if (commonBytes)
                findInRowsAvx2<AnchorCompare<4>>(bytes, ends, first, last, n, out);
            else
                findInRowsAvx2<AnchorCompare<2>>(bytes, ends, first, last, n, out);
            return;
        }
#endif
        findInRows(bytes, ends, first, last, n, out,
                   [&](std::size_t stop, std::size_t from) { return find(bytes, stop, from, n); });
    };
    if (!only) {
        scan(0, rows);
        return;
    }
    // Whole words of 64 rows: a word with any row asked for is read.
    const auto words = std::size_t(rows + 63) / 64;
    const auto endOfWord = [&](std::size_t w) { return ends[std::min(rows, int(w * 64 + 64)) - 1]; };
    for (std::size_t first = 0; first < words;) {
        while (first < words && !only[first])
            ++first;
        if (first == words)
            break;
        std::size_t last = first + 1; // one past the last word read
        for (;;) {
            while (last < words && only[last])
                ++last;
            std::size_t next = last;
            while (next < words && !only[next])
                ++next;
            if (next == words || endOfWord(next - 1) - endOfWord(last - 1) >= kGapWorthSkipping)
                break;
            last = next;
        }
        scan(int(first * 64), std::min(rows, int(last * 64)));
        first = last;
    }
}

#ifdef VELMORA_HAVE_AVX2_PATH
namespace {

// Sets in `out` the bit of each listed cell holding the needle (not
// empty), as findAvx2 finds it, the anchors set up once for all cells and
// the lines of the cells some places ahead asked of the memory.
template <typename Compare>
__attribute__((target("avx2"))) void
findInListedCellsAvx2(const char *bytes, std::size_t total, const std::uint32_t *ends,
                      const std::vector<int> &cells, const TextNeedle &n, std::uint64_t *out)
{
    const std::size_t k = n.lower.size();
    const Compare anchors(n);
    // A needle without letters (Chinese text) is compared byte for byte.
    const bool fold = n.foldLetters && std::any_of(n.lower.begin(), n.lower.end(), isLowerLetter);
    const auto begin = [ends](int r) { return r ? ends[r - 1] : std::uint32_t(0); };
    constexpr std::size_t kAhead = 8;
    for (std::size_t x = 0; x < std::min(cells.size(), 2 * kAhead); ++x)
        __builtin_prefetch(ends + cells[x] - (cells[x] > 0));
    for (std::size_t x = 0; x < cells.size(); ++x) {
        if (x + 2 * kAhead < cells.size())
            __builtin_prefetch(ends + cells[x + 2 * kAhead] - 1);
        if (x + kAhead < cells.size()) {
            const int ahead = cells[x + kAhead];
            for (std::uint32_t at = begin(ahead) & ~std::uint32_t(63); at < ends[ahead]; at += 64)
                __builtin_prefetch(bytes + at);
        }
        const int r = cells[x];
        const char *cell = bytes + begin(r);
        const std::size_t size = ends[r] - begin(r);
        if (size < k)
            continue;
        // A short cell: its places compared at once, the bytes after it
        // (of the cells that follow) left out, unless they run past the text.
        if (size < k - 1 + 32 && begin(r) + (k - 1) + 32 > total) {
            if (containsNeedle(std::string_view(cell, size), n))
                out[std::size_t(r) / 64] |= std::uint64_t(1) << (r % 64);
            continue;
        }
        if (size < k - 1 + 32) {
            unsigned hits = anchors.hits(cell) & ((1u << (size - k + 1)) - 1);
            while (hits) {
                const std::size_t candidate = std::size_t(__builtin_ctz(hits));
                const bool same = anchors.whole() ? true
                                  : fold          ? equalsIgnoringAsciiCase(cell + candidate, n.lower)
                                                  : std::memcmp(cell + candidate, n.lower.data(), k) == 0;
                if (same && endsWhole(std::string_view(cell, size), candidate + k, n)) {
                    out[std::size_t(r) / 64] |= std::uint64_t(1) << (r % 64);
                    break;
                }
                hits &= hits - 1;
            }
            continue;
        }
        const std::size_t lastBlock = size - (k - 1) - 32;
        bool held = false;
        std::size_t at = 0;
        // Two blocks at a time while both fit, as long as neither has a
        // place where the anchors agree (most of a long cell).
        while (at + 32 <= lastBlock && (anchors.hits(cell + at) | anchors.hits(cell + at + 32)) == 0)
            at += 64;
        for (; at <= lastBlock + 31 && !held;) {
            // The 32 places from `at`; the last block overlaps the one
            // before, its places already compared left out.
            const std::size_t block = std::min(at, lastBlock);
            unsigned hits = anchors.hits(cell + block) & (~0u << (at - block));
            while (hits) {
                const std::size_t candidate = block + std::size_t(__builtin_ctz(hits));
                const bool same = anchors.whole() ? true
                                  : fold          ? equalsIgnoringAsciiCase(cell + candidate, n.lower)
                                                  : std::memcmp(cell + candidate, n.lower.data(), k) == 0;
                if (same && endsWhole(std::string_view(cell, size), candidate + k, n)) {
                    held = true;
                    break;
                }
                hits &= hits - 1;
            }
            at = block + 32;
        }
        if (held)
            out[std::size_t(r) / 64] |= std::uint64_t(1) << (r % 64);
    }
}

} // namespace
#endif

void findInAskedCells(const char *bytes, const std::uint32_t *ends, int rows, const std::uint64_t *asked,
                      const TextNeedle &n, std::uint64_t *out)
{
    const auto words = std::size_t(rows + 63) / 64;
    std::size_t count = 0;
    for (std::size_t w = 0; w < words; ++w)
        count += std::size_t(std::popcount(asked[w]));
    if (count * 4 >= std::size_t(rows) * 3 && !n.lower.empty()) {
        std::fill(out, out + words, 0);
        findInCells(bytes, ends, rows, n, out, asked);
        for (std::size_t w = 0; w < words; ++w)
            out[w] &= asked[w];
        return;
    }
#ifdef VELMORA_HAVE_AVX2_PATH
    static const bool avx2 = __builtin_cpu_supports("avx2");
    if (avx2 && !n.lower.empty()) {
        std::vector<int> cells;
        cells.reserve(count);
        for (std::size_t w = 0; w < words; ++w)
            for (std::uint64_t todo = asked[w]; todo; todo &= todo - 1)
                cells.push_back(int(w * 64) + std::countr_zero(todo));
        std::fill(out, out + words, 0);
        if (hasCommonBytes(n))
            findInListedCellsAvx2<AnchorCompare<4>>(bytes, ends[rows - 1], ends, cells, n, out);
        else
            findInListedCellsAvx2<AnchorCompare<2>>(bytes, ends[rows - 1], ends, cells, n, out);
        return;
    }
#endif
    const auto begin = [ends](int r) { return r ? ends[r - 1] : std::uint32_t(0); };
    keepRowsAhead(
        asked, words, 0, out, [&](int r) { __builtin_prefetch(ends + r - (r > 0)); },
        [&](int r) {
            // Every line of the cell: a long one is read whole when the
            // needle is near its end or not in it.
            for (std::uint32_t at = begin(r) & ~std::uint32_t(63); at < ends[r]; at += 64)
                __builtin_prefetch(bytes + at);
        },
        [&](int r) { return containsNeedle(std::string_view(bytes + begin(r), ends[r] - begin(r)), n); });
}

} // namespace store
