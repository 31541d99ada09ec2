#pragma once

#include "store/ColumnStore.h"

#include <QString>

#include <bit>
#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <vector>

namespace store {

// A set of rows of a column store: bit r % 64 of word r / 64 stands for row r.
using RowBits = std::vector<std::uint64_t>;

// Every row of a store with `rowCount` rows.
RowBits allRows(int rowCount);
// The given rows of a store with `rowCount` rows.
RowBits rowBits(const std::vector<int> &rows, int rowCount);
// The rows of a set, in ascending order; `from` skips the rows before it.
std::vector<int> rowList(const RowBits &bits, int from = 0);
// The rows of `first`, then those of `rest` not in `first`, each ascending,
// written into `reuse` (whose memory is kept: a list of rows is never
// longer than the table).
std::vector<int> rowList(const RowBits &first, const RowBits &rest, std::vector<int> reuse);
// The rows of a set from `from` to `to` (exclusive).
RowBits rowRange(int from, int to);

// Calls keep(row) for every candidate among `words` words starting at row
// `first`, and sets the bits where it holds. Runs of 64 candidates are
// tested without looking at the bits.
template <typename Keep>
void keepRows(const std::uint64_t *candidates, std::size_t words, int first, std::uint64_t *out, Keep keep)
{
    for (std::size_t w = 0; w < words; ++w) {
        std::uint64_t todo = candidates[w];
        const int base = first + int(w * 64);
        std::uint64_t bits = 0;
        if (todo == ~std::uint64_t(0)) {
            for (int b = 0; b < 64; ++b)
                bits |= std::uint64_t(bool(keep(base + b))) << b;
        } else {
            while (todo) {
                const int b = std::countr_zero(todo);
                todo &= todo - 1;
                if (keep(base + b))
                    bits |= std::uint64_t(1) << b;
            }
        }
        out[w] = bits;
    }
}

// Below this many candidate rows a second core costs more than it saves,
// for work that costs little per chunk.
inline constexpr std::size_t kParallelRows = 1 << 17;

// Runs work(k) for every chunk k of the store that the candidates reach,
// on both cores when the candidates are at least `parallelRows` (by default
// as many as pay for a second core when each costs little).
void forEachChunk(const ColumnStore &store, const RowBits &candidates, const std::function<void(int)> &work,
                  std::size_t parallelRows = kParallelRows);

// A test of the cells of one column.
class CellTest
{
public:
    virtual ~CellTest();

    // The rows among the candidates whose cell in `column` passes: chunk
    // by chunk, edited cells on their own.
    RowBits keep(const ColumnStore &store, int column, const RowBits &candidates) const;

    // Whether one cell as the store holds it now passes.
    virtual bool passes(const ColumnStore &store, int row, int column, std::string &scratch) const = 0;
    // Throws when the test cannot apply to the column; keep() asks before any row.
    virtual void prepare(const ColumnStore &store, int column) const;

protected:
    // The part of a chunk's rows for keepInChunk: `candidates` and `out`
    // hold `words` words for the chunk's rows from `first` on.
    struct ChunkRows
    {
        const StoreChunk &chunk;
        const StoreChunk::Column &cells;
        int first;
        std::size_t words;
        const std::uint64_t *candidates;
        std::uint64_t *out;
    };
    // Sets the bits of the candidates whose cell as loaded passes (edited
    // cells are settled afterwards). By default passes() is asked row by row.
    virtual void keepInChunk(const ColumnStore &store, int column, const ChunkRows &rows) const;
};

// A condition on the rows of a column store: tests of single columns
// joined by AND and OR. Each part is evaluated only for the rows its
// parent still needs, so a later condition of an AND looks at the rows the
// earlier ones kept, and a later one of an OR at the rows not yet taken.
class RowPredicate
{
public:
    enum class Kind { And, Or, Test };

    static std::unique_ptr<RowPredicate> test(QString column, std::unique_ptr<CellTest> test);
    // Joins the parts; a single part is returned as it is.
    static std::unique_ptr<RowPredicate> join(Kind kind, std::vector<std::unique_ptr<RowPredicate>> parts);

    Kind kind() const { return m_kind; }
    const std::vector<std::unique_ptr<RowPredicate>> &parts() const { return m_parts; }
    // The column name and the test of a test.
    const QString &column() const { return m_column; }
    const CellTest *cellTest() const { return m_test.get(); }

    // Calls `visit` for every test, from left to right.
    void forEachTest(const std::function<void(const RowPredicate &)> &visit) const;

    // The rows among the candidates that satisfy the condition; `columnOf`
    // gives the store column of a test's column name.
    RowBits evaluate(const ColumnStore &store, const std::function<int(const QString &)> &columnOf,
                     const RowBits &candidates) const;

private:
    Kind m_kind = Kind::Test;
    std::vector<std::unique_ptr<RowPredicate>> m_parts;
    QString m_column;
    std::unique_ptr<CellTest> m_test;
};

} // namespace store
