#include "platform/db/DbConnection.h"

#include "platform/db/CipherSettings.h"
#include "platform/db/ConnectionString.h"
#include "platform/db/DbError.h"
#include "platform/db/DbQuery.h"
#include "platform/db/ResultReader.h"
#include "platform/db/SqliteHandle.h"
#include "platform/db/TableSnapshot.h"

#include <QFileInfo>

#include <algorithm>

namespace platform::db {

namespace {

QString quoted(QString text)
{
    return QLatin1Char('\'') + text.replace(QLatin1Char('\''), QLatin1String("''")) + QLatin1Char('\'');
}

// Opens the file with the key and cipher page size given, and reads its
// schema to prove both. Returns nullptr when the file does not decrypt.
sqlite3 *tryOpen(const QString &path, const QString &key, int pageSize)
{
    sqlite3 *db = nullptr;
    const QByteArray file = path.toUtf8();
    if (sqlite3_open_v2(file.constData(), &db, SQLITE_OPEN_READWRITE | SQLITE_OPEN_NOMUTEX, nullptr) !=
        SQLITE_OK) {
        const QString message = db ? detail::lastError(db) : QStringLiteral("无法打开数据库文件");
        sqlite3_close(db);
        throw DbError(message);
    }
    try {
        if (!key.isEmpty()) {
            detail::execute(db, QStringLiteral("PRAGMA key = %1").arg(quoted(key)));
            if (pageSize > 0)
                detail::execute(db, QStringLiteral("PRAGMA cipher_page_size = %1").arg(pageSize));
        }
        detail::execute(db, QStringLiteral("SELECT count(*) FROM sqlite_master"));
    } catch (const DbError &) {
        sqlite3_close(db);
        return nullptr;
    }
    return db;
}

} // namespace

DbConnection::DbConnection(QObject *parent) : QObject(parent) {}

DbConnection::~DbConnection()
{
    finishPreload();
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
    if (handle())
        sqlite3_busy_timeout(m_db, ms);
}

sqlite3 *DbConnection::handle()
{
    finishPreload();
    return m_db;
}

void DbConnection::preload(const QString &statement)
{
    if (!handle())
        return;
    m_preload = std::thread([this, db = m_db, utf8 = statement.toUtf8()] {
        try {
            const DatabaseStamp stamp = DatabaseStamp::of(db);
            detail::PreparedResult prepared = detail::prepareResult(db, utf8, {});
            const detail::ResultRows rows = detail::readResult(db, prepared);
            m_preloaded = TableSnapshot::fromResult(db, prepared, rows, stamp);
        } catch (...) {
            // The query that runs the statement later reports what went wrong.
        }
    });
}

void DbConnection::finishPreload()
{
    if (!m_preload.joinable())
        return;
    m_preload.join();
    if (m_preloaded)
        holdSnapshot(std::move(m_preloaded));
    m_preloaded.reset();
}

std::shared_ptr<TableSnapshot> DbConnection::heldSnapshot(const QString &table)
{
    if (!handle())
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
    sqlite3 *db = nullptr;
    for (int pageSize : kKnownPageSizes) {
        if ((db = tryOpen(path, key, pageSize)))
            break;
    }
    if (!db)
        throw DbError(QStringLiteral("密码错误或文件不是数据库：%1").arg(path));
    sqlite3_busy_timeout(db, m_busyTimeout);
    m_db = db;
    m_path = info.absoluteFilePath();
}

void DbConnection::close()
{
    finishPreload();
    // Every query posts what was typed and closes before the file goes.
    const std::vector<DbQuery *> queries = m_queries;
    for (DbQuery *q : queries)
        q->connectionClosing();
    // The file may change while it is closed.
    m_snapshots.clear();
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
