#include "store/SortKeys.h"

#include "store/TextOrder.h"

#include <algorithm>
#include <array>

namespace store {

namespace {

// A text cell by twenty-four of its sort elements at a time, packed four to a
// word so that comparing the words compares the elements. The first
// elements order all cells; only cells that tie read their next ones, and
// so on, so a text is read no further than it takes to tell it from its
// neighbours. The first reading goes through the cells in store order; the
// later ones jump about the text buffer, so the first reads enough to leave
// few ties.
constexpr int kWords = 6;

struct TextEntry
{
    std::array<std::uint64_t, kWords> key{};
    TextElements::Position next; // where the following elements begin
    int row = 0;
};

static_assert(TextElements::kBound == (std::uint32_t(1) << 16));

void readElements(TextEntry &e, std::string_view text)
{
    TextElements elements(text, e.next);
    for (std::uint64_t &word : e.key) {
        word = 0;
        for (int i = 0; i < 4; ++i)
            word = (word << 16) | elements.next(); // 0 once the text is used up
    }
    e.next = elements.position();
}

bool sameKey(const TextEntry &a, const TextEntry &b)
{
    return a.key == b.key;
}

// Whether the text may go on after these elements (the last is not the end).
bool mayContinue(const TextEntry &e)
{
    return (e.key.back() & 0xFFFF) != 0;
}

ColumnPlaces placeText(const ColumnStore &store, int column)
{
    const int rows = store.rowCount();
    ColumnPlaces result;
    result.place.assign(std::size_t(rows), ColumnPlaces::kNoValue);
    std::vector<TextEntry> entries;
    entries.reserve(std::size_t(rows));
    std::string scratch; // a cell held in the compact code is read out here
    for (int r = 0; r < rows; ++r) {
        if (store.isNull(r, column))
            continue;
        const std::string_view text = store.text(r, column, scratch);
        if (text.empty())
            continue;
        TextEntry e;
        e.row = r;
        readElements(e, text);
        entries.push_back(e);
    }
    const auto byKey = [](const TextEntry &a, const TextEntry &b) { return a.key < b.key; };

    // differs[i]: entry i holds another text than entry i - 1.
    std::vector<char> differs(entries.size(), 0);
    std::vector<std::pair<std::size_t, std::size_t>> ties;
    const auto sortRange = [&](std::size_t begin, std::size_t end) {
        std::sort(entries.begin() + std::ptrdiff_t(begin), entries.begin() + std::ptrdiff_t(end), byKey);
        for (std::size_t i = begin; i < end;) {
            std::size_t j = i + 1;
            while (j < end && sameKey(entries[j], entries[i]))
                differs[j++] = 0;
            if (i > begin)
                differs[i] = 1;
            if (j - i > 1 && mayContinue(entries[i]))
                ties.emplace_back(i, j);
            i = j;
        }
    };
    sortRange(0, entries.size());
    while (!ties.empty()) {
        const auto [begin, end] = ties.back();
        ties.pop_back();
        for (std::size_t i = begin; i < end; ++i)
            readElements(entries[i], store.text(entries[i].row, column, scratch));
        sortRange(begin, end);
    }

    std::uint32_t place = 0;
    for (std::size_t i = 0; i < entries.size(); ++i) {
        place += std::uint32_t(differs[i]);
        result.place[std::size_t(entries[i].row)] = place;
    }
    result.distinct = entries.empty() ? 0 : place + 1;
    return result;
}

ColumnPlaces placeNumbers(const ColumnStore &store, int column)
{
    const int rows = store.rowCount();
    ColumnPlaces result;
    result.place.assign(std::size_t(rows), ColumnPlaces::kNoValue);
    std::vector<std::pair<double, int>> entries;
    entries.reserve(std::size_t(rows));
    for (int r = 0; r < rows; ++r) {
        if (!store.isNull(r, column))
            entries.emplace_back(store.number(r, column), r);
    }
    std::sort(entries.begin(), entries.end());
    std::uint32_t place = 0;
    for (std::size_t i = 0; i < entries.size(); ++i) {
        if (i > 0 && entries[i].first != entries[i - 1].first)
            ++place;
        result.place[std::size_t(entries[i].second)] = place;
    }
    result.distinct = entries.empty() ? 0 : place + 1;
    return result;
}

} // namespace

ColumnPlaces placeColumn(const ColumnStore &store, int column)
{
    return isNumericType(store.column(column).type) ? placeNumbers(store, column) : placeText(store, column);
}

const ColumnPlaces &SortKeys::places(const std::shared_ptr<ColumnStore> &store, int column)
{
    // Another store, or a new one where a freed one was: nothing kept applies.
    if (store.get() != m_storeAddress || m_store.expired()) {
        m_columns.clear();
        m_store = store;
        m_storeAddress = store.get();
    }
    auto found = m_columns.find(column);
    if (found == m_columns.end())
        found = m_columns.emplace(column, placeColumn(*store, column)).first;
    return found->second;
}

} // namespace store
