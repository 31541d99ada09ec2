#pragma once

// Internal to the data layer: the engine's handles with owners that close them.

#include <sqlcipher/sqlite3.h>

#include <QString>

#include <memory>

namespace platform::db::detail {

struct StatementDeleter
{
    void operator()(sqlite3_stmt *s) const { sqlite3_finalize(s); }
};
using Statement = std::unique_ptr<sqlite3_stmt, StatementDeleter>;

// Prepares a statement; throws DbError with the engine's message on failure.
Statement prepare(sqlite3 *db, const QString &sql);
// Runs a statement that returns no rows; throws DbError on failure.
void execute(sqlite3 *db, const QString &sql);

QString lastError(sqlite3 *db);

} // namespace platform::db::detail
