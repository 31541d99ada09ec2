#include "platform/db/DbConnection.h"

#include "platform/db/CipherSettings.h"
#include "platform/db/ConnectionString.h"
#include "platform/db/DbError.h"
#include "platform/db/DbQuery.h"
#include "platform/db/KeptEditsStore.h"
#include "platform/db/ResultReader.h"
#include "platform/db/SqliteHandle.h"
#include "platform/db/TableSnapshot.h"

#include "platform/db/SnapshotLoader.h"
#include "store/SnapshotSelect.h"

#include <QFileInfo>
#include <QMetaObject>

#include <algorithm>

namespace platform::db {

namespace {

QString quoted(QString text)
{
    return QLatin1Char('\'') + text.replace(QLatin1Char('\''), QLatin1String("''")) + QLatin1Char('\'');
}

// Opens the file and proves the key by reading its schema, trying the
// known cipher page sizes in turn on the one handle: the engine derives the
// key from the password once (a derivation slow by design), not once for
// every page size tried. Returns nullptr when the file does not decrypt.
sqlite3 *openDecrypted(const QString &path, const QString &key)
{
    sqlite3 *db = nullptr;
    const QByteArray file = path.toUtf8();
    if (sqlite3_open_v2(file.constData(), &db, SQLITE_OPEN_READWRITE | SQLITE_OPEN_NOMUTEX, nullptr) !=
        SQLITE_OK) {
        const QString message = db ? detail::lastError(db) : QStringLiteral("无法打开数据库文件");
        sqlite3_close(db);
        throw DbError(message);
    }
    const auto readsSchema = [db] {
        try {
            detail::execute(db, QStringLiteral("SELECT count(*) FROM sqlite_master"));
            return true;
        } catch (const DbError &) {
            return false;
        }
    };
    try {
        if (key.isEmpty()) {
            if (readsSchema())
                return db;
        } else {
            detail::execute(db, QStringLiteral("PRAGMA key = %1").arg(quoted(key)));
            int engineDefault = 0;
            {
                const detail::Statement pages =
                    detail::prepare(db, QStringLiteral("PRAGMA cipher_page_size"));
                if (sqlite3_step(pages.get()) == SQLITE_ROW)
                    engineDefault = sqlite3_column_int(pages.get(), 0);
            }
            for (int pageSize : kKnownPageSizes) {
                const int size = pageSize > 0 ? pageSize : engineDefault;
                if (size <= 0)
                    continue;
                detail::execute(db, QStringLiteral("PRAGMA cipher_page_size = %1").arg(size));
                if (readsSchema())
                    return db;
            }
        }
    } catch (const DbError &) {
    }
    sqlite3_close(db);
    return nullptr;
}

} // namespace

DbConnection::DbConnection(QObject *parent) : QObject(parent) {}

DbConnection::~DbConnection()
{
    stopLoading();
    // Queries outliving their connection must not reach back into it.
    for (DbQuery *q : m_queries)
        q->connectionGone();
    if (m_db)
        sqlite3_close(m_db);
}

void DbConnection::setConnectionString(const QString &text)
{
    if (connected())
        throw DbError(QStringLiteral("连接打开时不能修改连接字符串"));
    m_connectionString = text;
}

void DbConnection::setConnected(bool on)
{
    if (on == connected())
        return;
    if (on)
        open();
    else
        close();
}

void DbConnection::setBusyTimeout(int ms)
{
    m_busyTimeout = ms;
    const Use use(*this);
    if (m_db)
        sqlite3_busy_timeout(m_db, ms);
}

DbConnection::Use::Use(DbConnection &connection) : m_connection(connection)
{
    // Counted while waiting: the worker of a preload gives way when it sees it.
    ++m_connection.m_waiting;
    m_connection.m_use.lock();
    --m_connection.m_waiting;
}

DbConnection::Use::~Use()
{
    m_connection.m_use.unlock();
}

namespace {

// The smallest and largest row id of a table: how far a reading in row-id
// order has got. Each is asked on its own: the engine finds a lone min() or
// max() of the row id at an end of the table's tree, while both in one
// statement read every page of the table.
std::pair<std::int64_t, std::int64_t> rowIdRange(sqlite3 *db, const QString &table)
{
    const QString quoted =
        QLatin1Char('"') + QString(table).replace(QLatin1Char('"'), QLatin1String("\"\"")) + QLatin1Char('"');
    const auto bound = [&](const char *function) -> std::int64_t {
        try {
            detail::Statement s = detail::prepare(
                db, QStringLiteral("SELECT %1(rowid) FROM %2").arg(QLatin1String(function), quoted));
            if (sqlite3_step(s.get()) == SQLITE_ROW)
                return sqlite3_column_int64(s.get(), 0);
        } catch (const DbError &) {
        }
        return 0;
    };
    return {bound("min"), bound("max")};
}

// Rows read ahead of a table's snapshot: a screen of a list and some to scroll.
constexpr int kLeadingRows = 4 * detail::SnapshotLoader::kPauseRows;

// The first kLeadingRows rows of the statement (all, if it has fewer), in a
// store of their own; the statement is reset after. nullptr on a failure.
std::shared_ptr<ColumnStore> readLeadingRows(const detail::PreparedResult &prepared)
{
    auto rows = std::make_shared<ColumnStore>(prepared.infos);
    detail::SnapshotLoader loader(prepared.statement.get(), prepared.sources, 0);
    int read = 0;
    loader.between = [&] { return (read += detail::SnapshotLoader::kPauseRows) < kLeadingRows; };
    const int rc = loader.run(*rows);
    rows->finishLoading();
    sqlite3_reset(prepared.statement.get());
    return rc == SQLITE_DONE || rc == SQLITE_INTERRUPT ? rows : nullptr;
}

// Whether the engine runs the statement as one plain pass over the table.
bool plainScan(sqlite3 *db, const QByteArray &utf8, const QString &table)
{
    sqlite3_stmt *s = nullptr;
    const QByteArray explain = "EXPLAIN QUERY PLAN " + utf8;
    bool scan = false;
    int steps = 0;
    if (sqlite3_prepare_v2(db, explain.constData(), int(explain.size()), &s, nullptr) == SQLITE_OK) {
        while (sqlite3_step(s) == SQLITE_ROW) {
            ++steps;
            const auto *detail =
                reinterpret_cast<const char *>(sqlite3_column_text(s, sqlite3_column_count(s) - 1));
            const std::string name = table.toStdString();
            scan =
                detail && (sameSqlName(detail, "SCAN TABLE " + name) || sameSqlName(detail, "SCAN " + name));
        }
    }
    sqlite3_finalize(s);
    return steps == 1 && scan;
}

} // namespace

void DbConnection::checkStatement(const QString &statement)
{
    if (!m_db)
        throw DbError(QStringLiteral("数据库未连接"));
    const Use use(*this);
    const detail::Statement prepared = detail::prepare(m_db, statement.toUtf8());
    if (sqlite3_column_count(prepared.get()) == 0)
        throw DbError(QStringLiteral("语句没有返回字段"));
}

void DbConnection::preload(const QString &statement)
{
    if (!m_db || loading())
        return;
    auto prepared = std::make_shared<detail::PreparedResult>();
    std::shared_ptr<TableSnapshot> snapshot;
    {
        const Use use(*this);
        try {
            const DatabaseStamp stamp = DatabaseStamp::of(m_db);
            *prepared = detail::prepareResult(m_db, statement.toUtf8(), {});
            if (!plainScan(m_db, prepared->utf8, prepared->table))
                return;
            std::vector<ColumnStore::ColumnInfo> infos = prepared->infos;
            for (ColumnStore::ColumnInfo &info : infos)
                info.readings = m_readingColumns.contains(info.name, Qt::CaseInsensitive);
            auto store = std::make_shared<ColumnStore>(std::move(infos));
            snapshot = TableSnapshot::forLoading(m_db, *prepared, store, stamp);
            if (!snapshot)
                return;
            std::tie(m_firstRowId, m_lastRowId) = rowIdRange(m_db, prepared->table);
        } catch (const DbError &) {
            return; // the query that runs the statement later reports what went wrong
        }
    }
    m_loading = snapshot;
    holdSnapshot(snapshot);
    ColumnStore &store = *snapshot->store();
    // One report waits at a time: a busy window does not pile them up.
    store.onRowsHandedOver = [this](int) {
        if (!m_progressPosted.exchange(true))
            QMetaObject::invokeMethod(this, &DbConnection::reportProgress, Qt::QueuedConnection);
    };
    m_stopLoading = false;
    m_loader = std::thread([this, prepared, snapshot] {
        std::unique_lock lock(m_use);
        // Worth it where the first chunk is larger; read while the handle is
        // held, and the rest starts again from the first row.
        if (std::shared_ptr<ColumnStore> leading =
                snapshot->store()->chunkRows() > kLeadingRows ? readLeadingRows(*prepared) : nullptr)
            QMetaObject::invokeMethod(
                this,
                [this, snapshot, leading] {
                    if (m_loading != snapshot)
                        return;
                    m_leadingRows = leading;
                    emit leadingRowsRead();
                    emit loadProgressed(leading->rowCount(), fractionRead(*leading), false, false);
                },
                Qt::QueuedConnection);
        ColumnStore &store = *snapshot->store();
        detail::SnapshotLoader loader(prepared->statement.get(), prepared->sources, 0);
        loader.between = [&] {
            if (m_waiting.load() > 0) {
                lock.unlock();
                // Until the waiting use has the handle; then wait for it to end.
                while (m_waiting.load() > 0 && !m_stopLoading)
                    std::this_thread::yield();
                lock.lock();
            }
            return !m_stopLoading.load();
        };
        loader.stepped = [&] {
            prepared->statement.reset();
            lock.unlock();
        };
        const int rc = loader.run(store);
        store.finishLoading();
        const bool ok = rc == SQLITE_DONE && rowIdsAscend(store);
        QMetaObject::invokeMethod(
            this, [this, ok] { loadEnded(ok); }, Qt::QueuedConnection);
    });
}

void DbConnection::reportProgress()
{
    m_progressPosted = false;
    if (!m_loading)
        return;
    const ColumnStore &store = *m_loading->store();
    emit loadProgressed(store.rowCount(), fractionRead(store), false, false);
}

double DbConnection::fractionRead(const ColumnStore &rows) const
{
    const int count = rows.rowCount();
    if (count == 0 || m_lastRowId <= m_firstRowId)
        return 0;
    return std::clamp(double(rows.rowId(count - 1) - m_firstRowId) / double(m_lastRowId - m_firstRowId), 0.0,
                      1.0);
}

void DbConnection::loadEnded(bool ok)
{
    if (!m_loader.joinable() || !m_loading)
        return;
    m_loader.join();
    std::shared_ptr<TableSnapshot> snapshot = std::move(m_loading);
    m_loading.reset();
    m_leadingRows.reset();
    snapshot->store()->onRowsHandedOver = nullptr;
    if (!ok)
        std::erase(m_snapshots, snapshot);
    emit loadProgressed(snapshot->store()->rowCount(), ok ? 1.0 : 0.0, true, !ok);
}

void DbConnection::stopLoading()
{
    if (!m_loader.joinable())
        return;
    m_stopLoading = true;
    m_loader.join();
    // The reading was cut short: its snapshot is not the whole table.
    if (m_loading) {
        m_loading->store()->onRowsHandedOver = nullptr;
        std::erase(m_snapshots, m_loading);
        m_loading.reset();
    }
    m_leadingRows.reset();
}

std::shared_ptr<TableSnapshot> DbConnection::heldSnapshot(const QString &table)
{
    if (!m_db)
        return nullptr;
    for (auto it = m_snapshots.begin(); it != m_snapshots.end(); ++it) {
        if ((*it)->table().compare(table, Qt::CaseInsensitive) != 0)
            continue;
        if ((*it)->matchesDatabase(m_db))
            return (*it)->editPending() ? nullptr : *it;
        // Out of date: let its memory go before the table is read again.
        m_snapshots.erase(it);
        return nullptr;
    }
    return nullptr;
}

void DbConnection::holdSnapshot(std::shared_ptr<TableSnapshot> snapshot)
{
    std::erase_if(m_snapshots, [&](const std::shared_ptr<TableSnapshot> &held) {
        return held->table().compare(snapshot->table(), Qt::CaseInsensitive) == 0;
    });
    m_snapshots.push_back(std::move(snapshot));
}

void DbConnection::open()
{
    const ConnectionString cs = ConnectionString::parse(m_connectionString);
    const QString provider = cs.value(QStringLiteral("Provider"));
    if (provider.compare(QLatin1String(kProvider), Qt::CaseInsensitive) != 0)
        throw DbError(QStringLiteral("未找到提供程序：%1").arg(provider));

    const QString path = cs.value(QStringLiteral("Data Source"));
    const QFileInfo info(path);
    if (path.isEmpty() || !info.isFile())
        throw DbError(QStringLiteral("找不到数据库文件：%1").arg(path));
    if (!info.isReadable())
        throw DbError(QStringLiteral("无法读取数据库文件：%1").arg(path));

    const QString key = cs.value(QStringLiteral("Jet OLEDB:Database Password"));
    // Files written by our builder use larger cipher pages (much faster to
    // read); files written with other sizes must open as well.
    sqlite3 *db = openDecrypted(path, key);
    if (!db)
        throw DbError(QStringLiteral("密码错误或文件不是数据库：%1").arg(path));
    sqlite3_busy_timeout(db, m_busyTimeout);
    m_db = db;
    m_path = info.absoluteFilePath();
    m_key = key;
    attachKeptEdits();
}

void DbConnection::attachKeptEdits()
{
    m_keptAttached = false;
    m_keptCarried = false;
    m_keptError.clear();
    if (!m_kept.enabled())
        return;
    try {
        detail::attachKeptEdits(m_db, m_kept, m_key);
        m_keptAttached = true;
    } catch (const DbError &e) {
        // The database is still read; only edits of the kept column are refused.
        m_keptError = e.message();
        return;
    }
    try {
        detail::carryKeptEdits(m_db, m_kept, m_path);
        m_keptCarried = true;
        m_keptPrint = DatabaseFingerprint::of(m_path);
    } catch (const DbError &) {
        // Left for the next connection to try again: the file stays unrecorded.
    }
}

void DbConnection::setKeptEdits(const KeptEditsSettings &settings)
{
    if (connected())
        throw DbError(QStringLiteral("连接打开时不能修改设置"));
    m_kept = settings;
}

CarryOverReport DbConnection::carriedEditsNotice()
{
    if (!m_keptAttached)
        return {};
    const Use use(*this);
    try {
        return detail::keptNotice(m_db);
    } catch (const DbError &) {
        return {};
    }
}

void DbConnection::clearCarriedEditsNotice()
{
    if (!m_keptAttached)
        return;
    const Use use(*this);
    try {
        detail::clearKeptNotice(m_db);
    } catch (const DbError &) {
    }
}

int DbConnection::keepDifferencesFrom(const QString &otherPath, bool sameOrigin)
{
    if (!m_keptAttached)
        throw DbError(m_keptError.isEmpty() ? QStringLiteral("未设置修改记录文件") : m_keptError);
    const Use use(*this);
    return detail::keepDifferences(m_db, m_kept, otherPath, m_key, sameOrigin);
}

void DbConnection::close()
{
    stopLoading();
    // Every query posts what was typed and closes before the file goes.
    const std::vector<DbQuery *> queries = m_queries;
    for (DbQuery *q : queries)
        q->connectionClosing();
    // The file may change while it is closed.
    m_snapshots.clear();
    // The edits written since are in this file, as it is now: unless
    // another file took its place meanwhile, which the next connection
    // must carry them into.
    const DatabaseFingerprint now = DatabaseFingerprint::of(m_path);
    if (m_keptAttached && m_keptCarried && now.device == m_keptPrint.device &&
        now.inode == m_keptPrint.inode && now.head == m_keptPrint.head) {
        try {
            detail::noteKeptDatabase(m_db, m_path);
        } catch (const DbError &) {
        }
    }
    m_keptAttached = false;
    m_keptCarried = false;
    sqlite3_close(m_db);
    m_db = nullptr;
    m_path.clear();
}

void DbConnection::attach(DbQuery *query)
{
    if (std::find(m_queries.begin(), m_queries.end(), query) == m_queries.end())
        m_queries.push_back(query);
}

void DbConnection::detach(DbQuery *query)
{
    m_queries.erase(std::remove(m_queries.begin(), m_queries.end(), query), m_queries.end());
}

} // namespace platform::db
