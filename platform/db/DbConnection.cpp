#include "platform/db/DbConnection.h"

#include "platform/db/CipherSettings.h"
#include "platform/db/ConnectionString.h"
#include "platform/db/DbError.h"
#include "platform/db/DbQuery.h"
#include "platform/db/SqliteHandle.h"

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
    if (m_db)
        sqlite3_busy_timeout(m_db, ms);
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
    // read); files written with the engine's defaults must open as well.
    sqlite3 *db = tryOpen(path, key, kBuilderPageSize);
    if (!db)
        db = tryOpen(path, key, 0);
    if (!db)
        throw DbError(QStringLiteral("密码错误或文件不是数据库：%1").arg(path));
    sqlite3_busy_timeout(db, m_busyTimeout);
    m_db = db;
    m_path = info.absoluteFilePath();
}

void DbConnection::close()
{
    // Every query posts what was typed and closes before the file goes.
    const std::vector<DbQuery *> queries = m_queries;
    for (DbQuery *q : queries)
        q->connectionClosing();
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
