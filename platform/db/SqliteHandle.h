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
// The engine would silently stop reading at a NUL character and run only
// the part before it, so a statement holding one is refused outright.
Statement prepare(sqlite3 *db, const QString &sql);
Statement prepare(sqlite3 *db, const QByteArray &utf8);
// Runs a statement that returns no rows; throws DbError on failure.
void execute(sqlite3 *db, const QString &sql);

QString lastError(sqlite3 *db);

} // namespace platform::db::detail
