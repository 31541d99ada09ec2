#include "platform/db/SqliteHandle.h"

#include "platform/db/DbError.h"

namespace platform::db::detail {

QString lastError(sqlite3 *db)
{
    return QString::fromUtf8(sqlite3_errmsg(db));
}

Statement prepare(sqlite3 *db, const QString &sql)
{
    const QByteArray utf8 = sql.toUtf8();
    sqlite3_stmt *stmt = nullptr;
    if (sqlite3_prepare_v2(db, utf8.constData(), int(utf8.size()), &stmt, nullptr) != SQLITE_OK) {
        sqlite3_finalize(stmt);
        throw DbError(lastError(db));
    }
    if (!stmt)
        throw DbError(QStringLiteral("空的 SQL 语句"));
    return Statement(stmt);
}

void execute(sqlite3 *db, const QString &sql)
{
    Statement stmt = prepare(db, sql);
    int rc;
    while ((rc = sqlite3_step(stmt.get())) == SQLITE_ROW) {
    }
    if (rc != SQLITE_DONE)
        throw DbError(lastError(db));
}

} // namespace platform::db::detail
