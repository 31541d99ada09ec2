#pragma once

// Internal to the data layer: running a statement in the engine and reading
// its whole result, for a query or for a load on a worker thread.

#include "platform/db/PersistentField.h"
#include "platform/db/SqliteHandle.h"
#include "platform/db/StoreNames.h"
#include "store/ColumnStore.h"
#include "store/SqlTokenizer.h"

#include <QByteArray>
#include <QString>

#include <cstdint>
#include <memory>
#include <vector>

namespace platform::db::detail {

// A prepared statement and what its result will look like.
struct PreparedResult
{
    QByteArray utf8;              // the statement as the engine reads it
    std::vector<SqlToken> tokens; // its tokens
    Statement statement;          // prepared, with the row id in front when it can carry one
    bool hasRowId = false;        // result column 0 is the row id
    std::vector<int> sources;     // result column feeding each field
    std::vector<ColumnStore::ColumnInfo> infos;
    std::vector<int> sizes;
    std::vector<QString> labels;  // display labels of persistent fields
    std::vector<QString> origins; // the table column behind each field (empty when none)
    // The table whose rows the result names: every field is one of its
    // columns and the row ids are read. Empty when rows cannot be written back.
    QString table;
};

// Prepares a statement (throws DbError); with persistent fields the result
// offers exactly those, found by name (throws when one is missing).
PreparedResult prepareResult(sqlite3 *db, const QByteArray &utf8,
                             const std::vector<PersistentField> &persistent);

// The rows of a result, read to the end; the store has row ids when the
// result names its table's rows.
struct ResultRows
{
    std::shared_ptr<ColumnStore> store;
};

// Steps the prepared statement to its end (throws DbError on failure).
ResultRows readResult(sqlite3 *db, PreparedResult &prepared);

} // namespace platform::db::detail
