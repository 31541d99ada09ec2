#pragma once

#include "platform/db/TableSnapshot.h"

#include <functional>
#include <memory>
#include <optional>
#include <vector>

namespace platform::db {

class DbConnection;

namespace detail {
struct PreparedResult;
}

// A statement's result taken from a held snapshot: the store columns
// behind its fields and the store rows it keeps, in table order.
struct SnapshotAnswer
{
    std::shared_ptr<TableSnapshot> snapshot;
    std::vector<int> columns;
    std::vector<int> rows;
    bool allRows = false; // every row of the snapshot (then `rows` is empty)
    // The snapshot's rows the answer looked at: all of them, unless it is
    // still loading. Rows read later are answered through `condition`.
    int rowsSeen = 0;
    std::shared_ptr<const RowPredicate> condition; // none: every row
};

// The store column of each column name of a condition on the snapshot.
std::function<int(const QString &)> snapshotColumns(const std::shared_ptr<TableSnapshot> &snapshot);

// Answers a prepared statement from the snapshot the connection holds of
// its table, with exactly the rows and order the engine would give, or
// gives nothing: when the statement is outside the grammar of
// SnapshotSelect, the snapshot is missing, out of date or lacks a column,
// a comparison is one the snapshot cannot follow exactly, or the engine
// would read the table in another order than table order (an index).
std::optional<SnapshotAnswer> answerFromSnapshot(DbConnection &connection,
                                                 const detail::PreparedResult &prepared);

} // namespace platform::db
