#include "store/RowPredicate.h"

#include <QtConcurrent/QtConcurrentMap>

#include <numeric>

namespace store {

RowBits allRows(int rowCount)
{
    return rowRange(0, rowCount);
}

RowBits rowRange(int from, int to)
{
    RowBits bits((std::size_t(to) + 63) / 64, 0);
    for (int w = from / 64; w < int(bits.size()); ++w) {
        std::uint64_t word = ~std::uint64_t(0);
        if (w == from / 64)
            word &= ~std::uint64_t(0) << (from % 64);
        if (w == to / 64 && to % 64 != 0)
            word &= (std::uint64_t(1) << (to % 64)) - 1;
        bits[std::size_t(w)] = word;
    }
    return bits;
}

RowBits rowBits(const std::vector<int> &rows, int rowCount)
{
    RowBits bits((std::size_t(rowCount) + 63) / 64, 0);
    for (int r : rows)
        bits[std::size_t(r) / 64] |= std::uint64_t(1) << (r % 64);
    return bits;
}

std::vector<int> rowList(const RowBits &bits, int from)
{
    std::size_t count = 0;
    for (std::size_t w = std::size_t(from) / 64; w < bits.size(); ++w)
        count += std::size_t(std::popcount(
            w == std::size_t(from) / 64 ? bits[w] & (~std::uint64_t(0) << (from % 64)) : bits[w]));
    std::vector<int> rows;
    rows.reserve(count);
    for (std::size_t w = std::size_t(from) / 64; w < bits.size(); ++w) {
        std::uint64_t word = bits[w];
        if (w == std::size_t(from) / 64)
            word &= ~std::uint64_t(0) << (from % 64);
        while (word) {
            rows.push_back(int(w * 64) + std::countr_zero(word));
            word &= word - 1;
        }
    }
    return rows;
}

std::vector<int> rowList(const RowBits &first, const RowBits &rest, std::vector<int> reuse)
{
    const std::size_t words = std::min(first.size(), rest.size());
    std::size_t count = 0;
    for (std::size_t w = 0; w < first.size(); ++w)
        count += std::size_t(std::popcount(first[w]));
    for (std::size_t w = 0; w < rest.size(); ++w)
        count += std::size_t(std::popcount(w < words ? rest[w] & ~first[w] : rest[w]));
    reuse.clear();
    reuse.reserve(count);
    auto append = [&reuse](std::size_t w, std::uint64_t word) {
        while (word) {
            reuse.push_back(int(w * 64) + std::countr_zero(word));
            word &= word - 1;
        }
    };
    for (std::size_t w = 0; w < first.size(); ++w)
        append(w, first[w]);
    for (std::size_t w = 0; w < rest.size(); ++w)
        append(w, w < words ? rest[w] & ~first[w] : rest[w]);
    return reuse;
}

void forEachChunk(const ColumnStore &store, const RowBits &candidates, const std::function<void(int)> &work,
                  std::size_t parallelRows)
{
    const std::size_t chunkWords = std::size_t(store.chunkRows()) / 64;
    const int chunks = std::min(store.chunkCount(), int((candidates.size() + chunkWords - 1) / chunkWords));
    std::vector<int> todo;
    std::size_t rows = 0;
    for (int k = 0; k < chunks; ++k) {
        const std::size_t first = std::size_t(k) * chunkWords;
        const std::size_t last = std::min(candidates.size(), first + chunkWords);
        std::size_t count = 0;
        for (std::size_t w = first; w < last; ++w)
            count += std::size_t(std::popcount(candidates[w]));
        if (count) {
            todo.push_back(k);
            rows += count;
        }
    }
    if (rows >= parallelRows && todo.size() > 1)
        QtConcurrent::blockingMap(todo, [&work](int k) { work(k); });
    else
        for (int k : todo)
            work(k);
}

CellTest::~CellTest() = default;

void CellTest::prepare(const ColumnStore &, int) const {}

void CellTest::keepInChunk(const ColumnStore &store, int column, const ChunkRows &rows) const
{
    std::string scratch;
    keepRows(rows.candidates, rows.words, rows.first, rows.out,
             [&](int row) { return passes(store, row, column, scratch); });
}

RowBits CellTest::keep(const ColumnStore &store, int column, const RowBits &candidates) const
{
    prepare(store, column);
    RowBits out(candidates.size(), 0);
    const std::size_t chunkWords = std::size_t(store.chunkRows()) / 64;
    forEachChunk(store, candidates, [&](int k) {
        const StoreChunk &chunk = store.chunk(k);
        const std::size_t first = std::size_t(k) * chunkWords;
        const std::size_t words = std::min(candidates.size() - first, (std::size_t(chunk.rows) + 63) / 64);
        keepInChunk(store, column,
                    {chunk, chunk.columns[std::size_t(column)], int(first * 64), words,
                     candidates.data() + first, out.data() + first});
        for (std::size_t w = 0; w < words; ++w)
            out[first + w] &= candidates[first + w];
    });
    if (store.hasEdits(column)) {
        std::string scratch;
        for (int row : store.editedRows(column)) {
            const std::size_t w = std::size_t(row) / 64;
            const std::uint64_t bit = std::uint64_t(1) << (row % 64);
            if (w >= candidates.size() || !(candidates[w] & bit))
                continue;
            if (passes(store, row, column, scratch))
                out[w] |= bit;
            else
                out[w] &= ~bit;
        }
    }
    return out;
}

std::unique_ptr<RowPredicate> RowPredicate::test(QString column, std::unique_ptr<CellTest> test)
{
    auto p = std::make_unique<RowPredicate>();
    p->m_kind = Kind::Test;
    p->m_column = std::move(column);
    p->m_test = std::move(test);
    return p;
}

std::unique_ptr<RowPredicate> RowPredicate::join(Kind kind, std::vector<std::unique_ptr<RowPredicate>> parts)
{
    if (parts.size() == 1)
        return std::move(parts.front());
    auto p = std::make_unique<RowPredicate>();
    p->m_kind = kind;
    p->m_parts = std::move(parts);
    return p;
}

void RowPredicate::forEachTest(const std::function<void(const RowPredicate &)> &visit) const
{
    if (m_kind == Kind::Test) {
        visit(*this);
        return;
    }
    for (const auto &part : m_parts)
        part->forEachTest(visit);
}

RowBits RowPredicate::evaluate(const ColumnStore &store, const std::function<int(const QString &)> &columnOf,
                               const RowBits &candidates) const
{
    switch (m_kind) {
    case Kind::Test:
        return m_test->keep(store, columnOf(m_column), candidates);
    case Kind::And: {
        RowBits kept = candidates;
        for (const auto &part : m_parts)
            kept = part->evaluate(store, columnOf, kept);
        return kept;
    }
    case Kind::Or: {
        RowBits taken(candidates.size(), 0);
        RowBits rest = candidates;
        for (const auto &part : m_parts) {
            const RowBits more = part->evaluate(store, columnOf, rest);
            for (std::size_t w = 0; w < taken.size(); ++w) {
                taken[w] |= more[w];
                rest[w] &= ~more[w];
            }
        }
        return taken;
    }
    }
    return RowBits(candidates.size(), 0);
}

} // namespace store
