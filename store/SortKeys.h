#pragma once

#include "store/ColumnStore.h"

#include <cstdint>
#include <memory>
#include <unordered_map>
#include <vector>

namespace store {

// The place of every row of one store column in the column's order: rows
// with equal values share a place, places run from 0 without gaps, and an
// empty or null cell has kNoValue. Text sorts in TextElements' order,
// numbers by value.
struct ColumnPlaces
{
    static constexpr std::uint32_t kNoValue = UINT32_MAX;
    std::vector<std::uint32_t> place; // by store row
    std::uint32_t distinct = 0;       // places in use
};

ColumnPlaces placeColumn(const ColumnStore &store, int column);

// The places of the columns a query sorted by, kept while the query's rows
// come from the same store, so that reversing or sorting again costs only
// the ordering of the rows (a quick search answered from the table snapshot
// keeps its store and so its places).
class SortKeys
{
public:
    const ColumnPlaces &places(const std::shared_ptr<ColumnStore> &store, int column);
    // A cell of the column was edited: its places are worked out anew.
    void forget(int column) { m_columns.erase(column); }
    // The store took in more rows: every column's places are worked out anew.
    void forgetAll() { m_columns.clear(); }

private:
    std::weak_ptr<ColumnStore> m_store;
    const ColumnStore *m_storeAddress = nullptr;
    std::unordered_map<int, ColumnPlaces> m_columns;
};

} // namespace store
