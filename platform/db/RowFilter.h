#pragma once

#include "platform/db/StoreNames.h"
#include "store/ColumnStore.h"
#include "store/RowPredicate.h"

#include <QString>

#include <functional>
#include <memory>
#include <vector>

namespace platform::db {

// A row filter in the expression language of the data layer's Filter
// property: comparisons "field op value" (=, <>, <, >, <=, >=, LIKE) joined
// by AND / OR with parentheses; text in single quotes (a doubled quote
// stands for one), numbers unquoted. It is evaluated over a loaded snapshot.
class RowFilter
{
public:
    // An empty (or blank) text gives a filter that keeps every row.
    // Throws DbError when the text cannot be read.
    static RowFilter parse(const QString &text);

    RowFilter();
    ~RowFilter();
    RowFilter(RowFilter &&) noexcept;
    RowFilter &operator=(RowFilter &&) noexcept;

    // Row numbers of the store that satisfy the expression, in store order.
    // Throws DbError when the expression names a column the store lacks.
    std::vector<int> matchingRows(const ColumnStore &store) const;
    // The rows among the candidates that satisfy the expression, where
    // `columnOf` gives the store column of a field name (-1 for none).
    RowBits matchingRows(const ColumnStore &store, const std::function<int(const QString &)> &columnOf,
                         const RowBits &candidates) const;

private:
    std::unique_ptr<RowPredicate> m_root;
};

} // namespace platform::db
