#include "support/TestDatabase.h"

#include <sqlcipher/sqlite3.h>

#include <stdexcept>

namespace testdb {

namespace {

QString quoted(QString text)
{
    return QLatin1Char('\'') + text.replace(QLatin1Char('\''), QLatin1String("''")) + QLatin1Char('\'');
}

sqlite3 *openFile(const QString &path, const QString &key, int pageSize, int flags)
{
    sqlite3 *db = nullptr;
    if (sqlite3_open_v2(path.toUtf8().constData(), &db, flags, nullptr) != SQLITE_OK) {
        sqlite3_close(db);
        throw std::runtime_error("cannot open test database");
    }
    auto exec = [db](const QString &sql) {
        char *error = nullptr;
        if (sqlite3_exec(db, sql.toUtf8().constData(), nullptr, nullptr, &error) != SQLITE_OK) {
            const std::string message = error ? error : "error";
            sqlite3_free(error);
            throw std::runtime_error(message + " in: " + sql.toStdString());
        }
    };
    if (!key.isEmpty()) {
        exec(QStringLiteral("PRAGMA key = ") + quoted(key));
        if (pageSize > 0)
            exec(QStringLiteral("PRAGMA cipher_page_size = %1").arg(pageSize));
    }
    return db;
}

void runStatements(sqlite3 *db, const QStringList &statements)
{
    for (const QString &sql : statements) {
        char *error = nullptr;
        if (sqlite3_exec(db, sql.toUtf8().constData(), nullptr, nullptr, &error) != SQLITE_OK) {
            const std::string message = error ? error : "error";
            sqlite3_free(error);
            sqlite3_close(db);
            throw std::runtime_error(message + " in: " + sql.toStdString());
        }
    }
}

} // namespace

void create(const QString &path, const QString &key, int pageSize, const QStringList &statements)
{
    sqlite3 *db = openFile(path, key, pageSize, SQLITE_OPEN_READWRITE | SQLITE_OPEN_CREATE);
    runStatements(db, statements);
    sqlite3_close(db);
}

void run(const QString &path, const QString &key, int pageSize, const QStringList &statements)
{
    sqlite3 *db = openFile(path, key, pageSize, SQLITE_OPEN_READWRITE);
    runStatements(db, statements);
    sqlite3_close(db);
}

QString scalar(const QString &path, const QString &key, int pageSize, const QString &sql)
{
    sqlite3 *db = openFile(path, key, pageSize, SQLITE_OPEN_READONLY);
    sqlite3_stmt *stmt = nullptr;
    QString result;
    if (sqlite3_prepare_v2(db, sql.toUtf8().constData(), -1, &stmt, nullptr) == SQLITE_OK &&
        sqlite3_step(stmt) == SQLITE_ROW) {
        const auto *text = reinterpret_cast<const char *>(sqlite3_column_text(stmt, 0));
        result = text ? QString::fromUtf8(text) : QString();
    }
    sqlite3_finalize(stmt);
    sqlite3_close(db);
    return result;
}

ExclusiveLock::ExclusiveLock(const QString &path, const QString &key, int pageSize)
    : m_db(openFile(path, key, pageSize, SQLITE_OPEN_READWRITE))
{
    runStatements(static_cast<sqlite3 *>(m_db),
                  {QStringLiteral("BEGIN EXCLUSIVE"), QStringLiteral("UPDATE Dorvak SET cRemark = cRemark")});
}

ExclusiveLock::~ExclusiveLock()
{
    sqlite3_exec(static_cast<sqlite3 *>(m_db), "ROLLBACK", nullptr, nullptr, nullptr);
    sqlite3_close(static_cast<sqlite3 *>(m_db));
}

QString companyTableSql()
{
    return QStringLiteral(
        "CREATE TABLE Dorvak (cTypeName VARCHAR(50), cCorpCName VARCHAR(100), cCAdd VARCHAR(100), cZip "
        "VARCHAR(6), "
        "cTel VARCHAR(30), cFax VARCHAR(30), cHttp VARCHAR(100), cEmail VARCHAR(100), cCorpEName "
        "VARCHAR(100), "
        "cEAdd VARCHAR(100), cAreaNo VARCHAR(10), cTypeNo VARCHAR(10), cArea VARCHAR(50), cProvince "
        "VARCHAR(50), "
        "cManager VARCHAR(50), cMainProd VARCHAR(200), cCorpMemo MEMO, iFlag INTEGER, cRemark VARCHAR(200))");
}

QString companyInsert(const QString &name, const QString &province, int flag, const QString &http,
                      const QString &memo)
{
    return QStringLiteral(
               "INSERT INTO Dorvak VALUES ('电子电器', %1, '地址', '100000', '010-1234567', '', %2, "
               "'a@b.cn', 'Company', 'Address', '010', '01', '区', %3, '张三', '产品', %4, %5, '')")
        .arg(quoted(name), quoted(http), quoted(province), quoted(memo))
        .arg(flag);
}

} // namespace testdb
