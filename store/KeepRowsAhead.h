#pragma once

#include <algorithm>
#include <bit>
#include <cstddef>
#include <cstdint>

namespace store {

// keepRows for candidates scattered over a chunk too large for the cache,
// where each test waits on memory: before keep(row) runs, far(row) has run
// 16 candidates ahead and near(row) 8 ahead, so that each can ask for what
// the test will read (far for what near needs to find it).
template <typename Far, typename Near, typename Keep>
void keepRowsAhead(const std::uint64_t *candidates, std::size_t words, int first, std::uint64_t *out, Far far,
                   Near near, Keep keep)
{
    // A cursor over the candidates' rows, in ascending order; -1 past the last.
    struct Cursor
    {
        const std::uint64_t *bits;
        std::size_t words;
        std::size_t w = 0;
        std::uint64_t left = 0;
        int next()
        {
            while (!left) {
                if (++w >= words)
                    return -1;
                left = bits[w];
            }
            const int row = int(w * 64) + std::countr_zero(left);
            left &= left - 1;
            return row;
        }
    };
    auto cursor = [&] { return Cursor{candidates, words, 0, words ? candidates[0] : 0}; };
    Cursor lead = cursor(), middle = cursor(), main = cursor();
    for (int i = 0; i < 16; ++i)
        if (const int r = lead.next(); r >= 0)
            far(first + r);
    for (int i = 0; i < 8; ++i)
        if (const int r = middle.next(); r >= 0)
            near(first + r);
    std::fill(out, out + words, 0);
    for (int r; (r = main.next()) >= 0;) {
        if (const int ahead = lead.next(); ahead >= 0)
            far(first + ahead);
        if (const int ahead = middle.next(); ahead >= 0)
            near(first + ahead);
        if (keep(first + r))
            out[std::size_t(r) / 64] |= std::uint64_t(1) << (r % 64);
    }
}

} // namespace store
