#include "platform/db/TextSearch.h"

#include "platform/db/SqlLikePattern.h"

#include <cstring>
#include <string>
#include <thread>

#if defined(__x86_64__) && defined(__GNUC__)
#include <immintrin.h>
#define VELMORA_HAVE_AVX2_PATH 1
#endif

namespace platform::db {

namespace {

constexpr std::size_t kNotFound = std::string::npos;
// Below this many bytes a second thread costs more than it saves.
constexpr std::size_t kSplitBytes = std::size_t(16) << 20;

bool isContinuation(unsigned char c)
{
    return (c & 0xC0) == 0x80;
}

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
std::size_t findPlain(const char *bytes, std::size_t size, std::size_t from, const TextNeedle &n)
{
    const std::size_t k = n.lower.size();
    if (!n.foldLetters) {
        if (from + k > size)
            return kNotFound;
        const void *hit = memmem(bytes + from, size - from, n.lower.data(), k);
        return hit ? std::size_t(static_cast<const char *>(hit) - bytes) : kNotFound;
    }
    for (std::size_t at = from; at + k <= size; ++at) {
        if (lowerAsciiByte(bytes[at]) == n.lower.front() && needleAt(bytes, at, n))
            return at;
    }
    return kNotFound;
}

#ifdef VELMORA_HAVE_AVX2_PATH
// Compares the needle's first and last bytes with 32 positions at once and
// checks the whole needle only where both agree. A letter is compared with
// its 0x20 bit forced on, which makes its two cases alike.
__attribute__((target("avx2"))) std::size_t findAvx2(const char *bytes, std::size_t size, std::size_t from,
                                                     const TextNeedle &n)
{
    const std::size_t k = n.lower.size();
    const char first = n.lower.front();
    const char last = n.lower.back();
    const __m256i wantFirst = _mm256_set1_epi8(first);
    const __m256i wantLast = _mm256_set1_epi8(last);
    const __m256i foldFirst = _mm256_set1_epi8(n.foldLetters && isLowerLetter(first) ? 0x20 : 0);
    const __m256i foldLast = _mm256_set1_epi8(n.foldLetters && isLowerLetter(last) ? 0x20 : 0);
    std::size_t at = from;
    for (; at + k - 1 + 32 <= size; at += 32) {
        const __m256i head =
            _mm256_or_si256(_mm256_loadu_si256(reinterpret_cast<const __m256i *>(bytes + at)), foldFirst);
        const __m256i tail = _mm256_or_si256(
            _mm256_loadu_si256(reinterpret_cast<const __m256i *>(bytes + at + k - 1)), foldLast);
        auto hits = unsigned(_mm256_movemask_epi8(
            _mm256_and_si256(_mm256_cmpeq_epi8(head, wantFirst), _mm256_cmpeq_epi8(tail, wantLast))));
        while (hits) {
            const std::size_t candidate = at + std::size_t(__builtin_ctz(hits));
            if (needleAt(bytes, candidate, n))
                return candidate;
            hits &= hits - 1;
        }
    }
    return findPlain(bytes, size, at, n);
}
#endif

std::size_t find(const char *bytes, std::size_t size, std::size_t from, const TextNeedle &n)
{
#ifdef VELMORA_HAVE_AVX2_PATH
    static const bool avx2 = __builtin_cpu_supports("avx2");
    if (avx2)
        return findAvx2(bytes, size, from, n);
#endif
    return findPlain(bytes, size, from, n);
}

// Whether a text holds the needle where it stands for whole characters.
bool contains(std::string_view text, const TextNeedle &n)
{
    const std::size_t k = n.lower.size();
    for (std::size_t at = 0; (at = findPlain(text.data(), text.size(), at, n)) != kNotFound; ++at) {
        const std::size_t after = at + k;
        if (!(n.endsInMultibyte && after < text.size() &&
              isContinuation(static_cast<unsigned char>(text[after]))))
            return true;
    }
    return false;
}

// Searches rows [first, last) and sets their bits in `out`.
void searchRows(const ColumnStore::LoadedText &text, int first, int last, const TextNeedle &n, RowBits &out)
{
    if (first >= last)
        return;
    const std::size_t k = n.lower.size();
    std::size_t pos = first == 0 ? 0 : text.ends[first - 1];
    const std::size_t stop = text.ends[last - 1];
    int row = first;
    while (pos < stop) {
        const std::size_t at = find(text.bytes, stop, pos, n);
        if (at == kNotFound)
            return;
        while (text.ends[row] <= at)
            ++row;
        const std::size_t cellEnd = text.ends[row];
        const std::size_t after = at + k;
        const bool whole =
            after <= cellEnd && !(n.endsInMultibyte && after < cellEnd &&
                                  isContinuation(static_cast<unsigned char>(text.bytes[after])));
        if (!whole) {
            pos = at + 1;
            continue;
        }
        out[std::size_t(row) / 64] |= std::uint64_t(1) << (row % 64);
        pos = cellEnd; // one hit is enough for a row
        ++row;
    }
}

} // namespace

RowBits rowsContaining(const ColumnStore &store, int column, const TextNeedle &needle)
{
    const int rows = store.rowCount();
    RowBits out((std::size_t(rows) + 63) / 64, 0);
    const ColumnStore::LoadedText text = store.loadedText(column);
    if (rows > 0 && needle.lower.size() > 0) {
        // Split on a word boundary so that the two halves set bits of different words.
        const int half = (rows / 2) & ~63;
        if (text.size >= kSplitBytes && half > 0) {
            std::thread other([&] { searchRows(text, 0, half, needle, out); });
            searchRows(text, half, rows, needle, out);
            other.join();
        } else {
            searchRows(text, 0, rows, needle, out);
        }
    }
    for (int row : store.editedRows(column)) {
        const std::uint64_t bit = std::uint64_t(1) << (row % 64);
        if (!store.isNull(row, column) && contains(store.text(row, column), needle))
            out[std::size_t(row) / 64] |= bit;
        else
            out[std::size_t(row) / 64] &= ~bit;
    }
    return out;
}

} // namespace platform::db
