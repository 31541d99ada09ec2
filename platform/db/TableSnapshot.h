#pragma once

#include "platform/db/StoreNames.h"
#include "store/ColumnStore.h"
#include "store/SqlCellTest.h"

#include <QString>

#include <cstdint>
#include <memory>
#include <optional>
#include <string_view>
#include <vector>

struct sqlite3;

namespace platform::db {

namespace detail {
struct PreparedResult;
struct ResultRows;
} // namespace detail

// The database's state as far as a snapshot cares: the engine's data
// version (which changes when another connection writes) and this
// connection's count of changed rows (which changes when it writes).
struct DatabaseStamp
{
    std::int64_t dataVersion = -1;
    std::int64_t changes = -1;
    bool operator==(const DatabaseStamp &) const = default;

    static DatabaseStamp of(sqlite3 *db);
};

// Whether the row ids of the store's rows rise from row to row.
bool rowIdsAscend(const ColumnStore &store);

// Every row of a table (or of some of its columns), read once in table
// order, from which later statements on the table are answered while the
// database holds what was read.
class TableSnapshot
{
public:
    // How the engine reads a column's declared type.
    enum class Affinity { Integer, Text, Blob, Real, Numeric };
    static Affinity affinityOf(const QString &declaredType);

    // A snapshot of a result just read, or null when the result is not the
    // whole of one table in table order with its row ids. `stamp` is the
    // state taken before the statement ran.
    static std::shared_ptr<TableSnapshot> fromResult(sqlite3 *db, const detail::PreparedResult &prepared,
                                                     const detail::ResultRows &rows,
                                                     const DatabaseStamp &stamp);
    // A snapshot that `store` is still to be filled into from the prepared
    // statement, or null when its result will not be the whole of one table
    // in table order with its row ids.
    static std::shared_ptr<TableSnapshot> forLoading(sqlite3 *db, const detail::PreparedResult &prepared,
                                                     std::shared_ptr<ColumnStore> store,
                                                     const DatabaseStamp &stamp);
    // Whether rows are still being read into the store.
    bool loading() const { return !m_store->loadingFinished(); }

    const QString &table() const { return m_table; }
    const std::shared_ptr<ColumnStore> &store() const { return m_store; }

    // The store column holding a table column, by name in any ASCII case; -1 if none.
    int columnIndex(std::string_view name) const;
    // How the engine compares a column's cells, when that is a way the
    // snapshot can follow exactly.
    std::optional<SqlColumnClass> columnClass(int column) const;

    // Whether the database still holds what the snapshot was read from.
    bool matchesDatabase(sqlite3 *db) const { return DatabaseStamp::of(db) == m_stamp; }
    // Whether the store holds typed text not yet posted: statements cannot
    // be answered from it meanwhile.
    bool editPending() const { return m_pendingEdits > 0; }
    // After this connection wrote a cell of the snapshot both into the
    // database and into the store: the snapshot stays in step if it was.
    void notePost(const DatabaseStamp &before, const DatabaseStamp &after);
    // Typed text not yet posted lies in the store while an edit is pending.
    void editStarted() { ++m_pendingEdits; }
    void editEnded() { --m_pendingEdits; }

private:
    QString m_table;
    std::shared_ptr<ColumnStore> m_store;
    std::vector<QString> m_columns; // the table column behind each store column
    std::vector<Affinity> m_affinities;
    std::vector<bool> m_binary; // compared with the binary collation
    DatabaseStamp m_stamp;
    int m_pendingEdits = 0;
};

} // namespace platform::db
