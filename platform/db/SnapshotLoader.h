#pragma once

#include "platform/db/StoreNames.h"
#include "store/ColumnStore.h"

#include <sqlcipher/sqlite3.h>

#include <cstdint>
#include <functional>
#include <vector>

namespace platform::db::detail {

// Reads every row of a prepared statement into a column store. The engine
// is stepped on this thread while a second thread files the values into
// the store: most of the cost of a large snapshot is first-touching its
// fresh memory, and that then overlaps with reading the database.
class SnapshotLoader
{
public:
    // `sources[f]` is the result column feeding store column f; with
    // `rowIdColumn` >= 0 the store takes that column as its row ids.
    SnapshotLoader(sqlite3_stmt *statement, std::vector<int> sources, int rowIdColumn);

    // Steps the statement to its end. Returns the engine's result code
    // (SQLITE_DONE on success); the store then holds every row read, its
    // chunks handed to readers as they are finished (the last one is left
    // to the caller's finishLoading()).
    int run(ColumnStore &store);

    // Called on the stepping thread every kPauseRows rows; returning false
    // stops the reading (run() then returns SQLITE_INTERRUPT). A reader
    // sharing its connection with other work lets it in here.
    std::function<bool()> between;
    // About a millisecond of reading.
    static constexpr int kPauseRows = 512;
    // Called on the stepping thread once the statement is stepped no more,
    // before the rows still on their way are filed: the connection can be
    // let go of here.
    std::function<void()> stepped;

private:
    sqlite3_stmt *m_statement;
    std::vector<int> m_sources;
    int m_rowIdColumn;
};

} // namespace platform::db::detail
