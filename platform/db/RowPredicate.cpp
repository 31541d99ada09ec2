#include "platform/db/RowPredicate.h"

namespace platform::db {

RowBits allRows(int rowCount)
{
    RowBits bits((std::size_t(rowCount) + 63) / 64, ~std::uint64_t(0));
    if (rowCount % 64 != 0)
        bits.back() = (std::uint64_t(1) << (rowCount % 64)) - 1;
    return bits;
}

RowBits rowBits(const std::vector<int> &rows, int rowCount)
{
    RowBits bits((std::size_t(rowCount) + 63) / 64, 0);
    for (int r : rows)
        bits[std::size_t(r) / 64] |= std::uint64_t(1) << (r % 64);
    return bits;
}

std::vector<int> rowList(const RowBits &bits)
{
    std::size_t count = 0;
    for (std::uint64_t w : bits)
        count += std::size_t(std::popcount(w));
    std::vector<int> rows;
    rows.reserve(count);
    for (std::size_t w = 0; w < bits.size(); ++w) {
        std::uint64_t word = bits[w];
        while (word) {
            rows.push_back(int(w * 64) + std::countr_zero(word));
            word &= word - 1;
        }
    }
    return rows;
}

CellTest::~CellTest() = default;

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

} // namespace platform::db
