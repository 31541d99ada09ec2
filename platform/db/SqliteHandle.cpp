#include "platform/db/SqliteHandle.h"

#include "platform/db/DbError.h"

namespace platform::db::detail {

QString lastError(sqlite3 *db)
{
    return QString::fromUtf8(sqlite3_errmsg(db));
}

Statement prepare(sqlite3 *db, const QString &sql)
{
    return prepare(db, sql.toUtf8());
}

Statement prepare(sqlite3 *db, const QByteArray &utf8)
{
    if (utf8.contains('\0'))
        throw DbError(QStringLiteral("SQL 语句中含有空字符"));
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
