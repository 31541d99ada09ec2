#include "platform/db/TableSnapshot.h"

#include "platform/db/ResultReader.h"
#include "store/SnapshotSelect.h"
#include "store/SqlTokenizer.h"

#include <sqlcipher/sqlite3.h>

#include <algorithm>

namespace platform::db {

namespace {

std::int64_t readDataVersion(sqlite3 *db)
{
    sqlite3_stmt *s = nullptr;
    std::int64_t version = -1;
    if (sqlite3_prepare_v2(db, "PRAGMA data_version", -1, &s, nullptr) == SQLITE_OK &&
        sqlite3_step(s) == SQLITE_ROW)
        version = sqlite3_column_int64(s, 0);
    sqlite3_finalize(s);
    return version;
}

bool textIsUtf8(sqlite3 *db)
{
    sqlite3_stmt *s = nullptr;
    bool utf8 = false;
    if (sqlite3_prepare_v2(db, "PRAGMA encoding", -1, &s, nullptr) == SQLITE_OK &&
        sqlite3_step(s) == SQLITE_ROW) {
        const auto *text = reinterpret_cast<const char *>(sqlite3_column_text(s, 0));
        utf8 = text && std::string_view(text) == "UTF-8";
    }
    sqlite3_finalize(s);
    return utf8;
}

} // namespace

bool rowIdsAscend(const ColumnStore &store)
{
    std::int64_t last = 0;
    for (int k = 0; k < store.chunkCount(); ++k) {
        const StoreChunk &c = store.chunk(k);
        if (c.rows == 0)
            continue;
        if (k > 0 && c.rowId(0) <= last)
            return false;
        for (int r = 1; r < c.rows && !c.rowIds.empty(); ++r) {
            if (c.rowIds[std::size_t(r)] <= c.rowIds[std::size_t(r) - 1])
                return false;
        }
        last = c.rowId(c.rows - 1);
    }
    return true;
}

DatabaseStamp DatabaseStamp::of(sqlite3 *db)
{
    return {readDataVersion(db), std::int64_t(sqlite3_total_changes(db))};
}

TableSnapshot::Affinity TableSnapshot::affinityOf(const QString &declaredType)
{
    const QString t = declaredType.toUpper();
    if (t.contains(u"INT"))
        return Affinity::Integer;
    if (t.contains(u"CHAR") || t.contains(u"CLOB") || t.contains(u"TEXT"))
        return Affinity::Text;
    if (t.contains(u"BLOB") || t.isEmpty())
        return Affinity::Blob;
    if (t.contains(u"REAL") || t.contains(u"FLOA") || t.contains(u"DOUB"))
        return Affinity::Real;
    return Affinity::Numeric;
}

std::shared_ptr<TableSnapshot> TableSnapshot::fromResult(sqlite3 *db, const detail::PreparedResult &prepared,
                                                         const detail::ResultRows &rows,
                                                         const DatabaseStamp &stamp)
{
    // Table order is row-id order; a result read through an index would show otherwise.
    if (!rows.store->hasRowIds() || !rowIdsAscend(*rows.store))
        return nullptr;
    return forLoading(db, prepared, rows.store, stamp);
}

std::shared_ptr<TableSnapshot> TableSnapshot::forLoading(sqlite3 *db, const detail::PreparedResult &prepared,
                                                         std::shared_ptr<ColumnStore> store,
                                                         const DatabaseStamp &stamp)
{
    if (prepared.table.isEmpty() || !prepared.hasRowId || stamp.dataVersion < 0)
        return nullptr;
    const std::optional<SnapshotSelect> statement = SnapshotSelect::parse(prepared.tokens);
    if (!statement || statement->where)
        return nullptr;
    // Bytes compare as the engine compares text only in UTF-8.
    if (!textIsUtf8(db))
        return nullptr;

    auto snap = std::make_shared<TableSnapshot>();
    snap->m_table = prepared.table;
    snap->m_store = std::move(store);
    snap->m_stamp = stamp;
    const QByteArray table = prepared.table.toUtf8();
    for (std::size_t f = 0; f < prepared.sources.size(); ++f) {
        const char *database = sqlite3_column_database_name(prepared.statement.get(), prepared.sources[f]);
        const QString &origin = prepared.origins[f];
        if (!database || std::string_view(database) != "main" || origin.isEmpty() ||
            snap->columnIndex(origin.toStdString()) >= 0)
            return nullptr;
        const char *declared = nullptr;
        const char *collation = nullptr;
        if (sqlite3_table_column_metadata(db, "main", table.constData(), origin.toUtf8().constData(),
                                          &declared, &collation, nullptr, nullptr, nullptr) != SQLITE_OK)
            return nullptr;
        snap->m_columns.push_back(origin);
        snap->m_affinities.push_back(affinityOf(QString::fromUtf8(declared ? declared : "")));
        snap->m_binary.push_back(collation && sameSqlName(collation, "BINARY"));
    }
    return snap;
}

int TableSnapshot::columnIndex(std::string_view name) const
{
    for (std::size_t c = 0; c < m_columns.size(); ++c) {
        if (sameSqlName(m_columns[c].toStdString(), name))
            return int(c);
    }
    return -1;
}

std::optional<SqlColumnClass> TableSnapshot::columnClass(int column) const
{
    const int content = m_store->content(column);
    const Affinity affinity = m_affinities[std::size_t(column)];
    if (affinity == Affinity::Text && m_binary[std::size_t(column)] && !m_store->isNumeric(column) &&
        (content & ~ColumnStore::Texts) == 0)
        return SqlColumnClass::Text;
    // Whole numbers are held exactly, beyond 2^53 too.
    if ((affinity == Affinity::Integer || affinity == Affinity::Numeric) && m_store->isNumeric(column) &&
        (content & ~(ColumnStore::Integers | ColumnStore::WideIntegers)) == 0)
        return SqlColumnClass::Integer;
    return std::nullopt;
}

void TableSnapshot::notePost(const DatabaseStamp &before, const DatabaseStamp &after)
{
    if (m_stamp == before)
        m_stamp = after;
}

} // namespace platform::db
