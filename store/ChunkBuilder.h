#pragma once

#include "store/StoreChunk.h"

#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

namespace store {

// Gathers the rows of one chunk as they are read, then finishes them into
// a StoreChunk, choosing for each text column the encoding that holds its
// cells in the fewest bytes: a dictionary when few distinct texts repeat,
// the compact code for mostly Chinese text, else the bytes as read. A
// numeric column with few distinct numbers holds each once as well.
class ChunkBuilder
{
public:
    // `readings`: the text columns also read in pinyin, whose coded chunks
    // carry reading marks (none when empty).
    explicit ChunkBuilder(std::vector<bool> numeric, std::vector<bool> readings = {});

    // One value per column in column order, then finishRow().
    void appendNull(int col);
    void appendText(int col, std::string_view utf8); // text columns
    void appendInteger(int col, std::int64_t value); // numeric columns
    void appendReal(int col, double value);          // numeric columns
    void appendRowId(std::int64_t id);
    void finishRow() { ++m_rows; }
    int rows() const { return m_rows; }

    // The rows gathered so far as a chunk; the builder starts afresh.
    std::unique_ptr<StoreChunk> finish();

private:
    struct Column
    {
        bool numeric = false;
        bool readings = false;
        std::string bytes;
        std::vector<std::uint32_t> ends;
        std::vector<std::int64_t> values;
        std::vector<std::uint64_t> realBits;
        std::vector<std::uint64_t> nullBits;
    };
    void setBit(std::vector<std::uint64_t> &bits, int row);
    TextChunk finishText(const Column &c) const;
    NumberChunk finishNumbers(const Column &c) const;

    std::vector<Column> m_columns;
    std::vector<std::int64_t> m_rowIds;
    int m_rows = 0;
};

// Writes a number the way the grid shows it, into `buf`: whole numbers
// without a point, others with up to 15 significant digits.
std::string_view writeNumber(double value, char (&buf)[64]);

} // namespace store
