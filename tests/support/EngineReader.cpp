#include "support/EngineReader.h"

#include <sqlcipher/sqlite3.h>

#include <stdexcept>

namespace testdb {

EngineReader::EngineReader(const QString &path, const QString &key, int pageSize)
{
    if (sqlite3_open_v2(path.toUtf8().constData(), &m_db, SQLITE_OPEN_READONLY, nullptr) != SQLITE_OK)
        throw std::runtime_error("cannot open test database");
    QString setup = QStringLiteral("PRAGMA key = '%1';")
                        .arg(QString(key).replace(QLatin1Char('\''), QLatin1String("''")));
    if (pageSize > 0)
        setup += QStringLiteral("PRAGMA cipher_page_size = %1;").arg(pageSize);
    sqlite3_exec(m_db, setup.toUtf8().constData(), nullptr, nullptr, nullptr);
}

EngineReader::~EngineReader()
{
    sqlite3_close(m_db);
}

EngineResult EngineReader::select(const QString &sql) const
{
    EngineResult result;
    const QByteArray utf8 = sql.toUtf8();
    sqlite3_stmt *stmt = nullptr;
    if (sqlite3_prepare_v2(m_db, utf8.constData(), int(utf8.size()), &stmt, nullptr) != SQLITE_OK || !stmt) {
        result.error = QString::fromUtf8(sqlite3_errmsg(m_db));
        sqlite3_finalize(stmt);
        return result;
    }
    for (int c = 0; c < sqlite3_column_count(stmt); ++c)
        result.columns << QString::fromUtf8(sqlite3_column_name(stmt, c));
    int rc;
    while ((rc = sqlite3_step(stmt)) == SQLITE_ROW) {
        std::vector<std::optional<QString>> row;
        for (int c = 0; c < sqlite3_column_count(stmt); ++c) {
            if (sqlite3_column_type(stmt, c) == SQLITE_NULL) {
                row.push_back(std::nullopt);
                continue;
            }
            const auto *text = static_cast<const char *>(sqlite3_column_blob(stmt, c));
            const int size = sqlite3_column_bytes(stmt, c);
            row.push_back(
                sqlite3_column_type(stmt, c) == SQLITE_TEXT
                    ? QString::fromUtf8(text, size)
                    : QString::fromUtf8(reinterpret_cast<const char *>(sqlite3_column_text(stmt, c))));
        }
        result.rows.push_back(std::move(row));
    }
    if (rc != SQLITE_DONE)
        result.error = QString::fromUtf8(sqlite3_errmsg(m_db));
    sqlite3_finalize(stmt);
    return result;
}

} // namespace testdb
