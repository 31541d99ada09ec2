#include "platform/db/DatabaseFile.h"

#include "platform/crypto/Sha256.h"
#include "platform/db/CipherSettings.h"
#include "platform/db/DbError.h"
#include "platform/db/QuotedName.h"
#include "platform/db/SqliteHandle.h"

#include <QtEndian>

#include <cstring>

namespace platform::db {

namespace {

QString quotedText(const QString &text)
{
    return u'\'' + QString(text).replace(u'\'', QStringLiteral("''")) + u'\'';
}

CellValue cellOf(sqlite3_stmt *stmt, int column)
{
    CellValue cell;
    switch (sqlite3_column_type(stmt, column)) {
    case SQLITE_INTEGER: {
        cell.kind = CellValue::Integer;
        cell.bytes.resize(8);
        qToLittleEndian<qint64>(sqlite3_column_int64(stmt, column), cell.bytes.data());
        break;
    }
    case SQLITE_FLOAT: {
        cell.kind = CellValue::Real;
        const double value = sqlite3_column_double(stmt, column);
        quint64 bits = 0;
        std::memcpy(&bits, &value, sizeof bits);
        cell.bytes.resize(8);
        qToLittleEndian<quint64>(bits, cell.bytes.data());
        break;
    }
    case SQLITE_TEXT:
        cell.kind = CellValue::Text;
        cell.bytes = QByteArray(reinterpret_cast<const char *>(sqlite3_column_text(stmt, column)),
                                sqlite3_column_bytes(stmt, column));
        break;
    case SQLITE_BLOB:
        cell.kind = CellValue::Blob;
        cell.bytes = QByteArray(static_cast<const char *>(sqlite3_column_blob(stmt, column)),
                                sqlite3_column_bytes(stmt, column));
        break;
    default:
        cell.kind = CellValue::Null;
        break;
    }
    return cell;
}

void bind(sqlite3_stmt *stmt, int index, const CellValue &cell)
{
    switch (cell.kind) {
    case CellValue::Integer:
        sqlite3_bind_int64(stmt, index, qFromLittleEndian<qint64>(cell.bytes.constData()));
        break;
    case CellValue::Real: {
        const quint64 bits = qFromLittleEndian<quint64>(cell.bytes.constData());
        double value = 0;
        std::memcpy(&value, &bits, sizeof value);
        sqlite3_bind_double(stmt, index, value);
        break;
    }
    case CellValue::Text:
        sqlite3_bind_text(stmt, index, cell.bytes.constData(), int(cell.bytes.size()), SQLITE_TRANSIENT);
        break;
    case CellValue::Blob:
        sqlite3_bind_blob(stmt, index, cell.bytes.constData(), int(cell.bytes.size()), SQLITE_TRANSIENT);
        break;
    case CellValue::Null:
        sqlite3_bind_null(stmt, index);
        break;
    }
}

void run(sqlite3_stmt *stmt, sqlite3 *db)
{
    const int rc = sqlite3_step(stmt);
    sqlite3_reset(stmt);
    sqlite3_clear_bindings(stmt);
    if (rc != SQLITE_DONE)
        throw DbError(detail::lastError(db));
}

} // namespace

struct DatabaseFile::Statements
{
    detail::Statement insert, update, remove;
    int columns = 0;
};

DatabaseFile::DatabaseFile(const QString &path, const QString &passPhrase, bool writable)
{
    const int flags = writable ? SQLITE_OPEN_READWRITE : SQLITE_OPEN_READONLY;
    for (const int pageSize : kKnownPageSizes) {
        sqlite3 *db = nullptr;
        if (sqlite3_open_v2(path.toUtf8().constData(), &db, flags, nullptr) != SQLITE_OK) {
            const QString message = db ? detail::lastError(db) : path;
            sqlite3_close(db);
            throw DbError(message);
        }
        try {
            detail::execute(db, QStringLiteral("PRAGMA key = %1").arg(quotedText(passPhrase)));
            if (pageSize > 0)
                detail::execute(db, QStringLiteral("PRAGMA cipher_page_size = %1").arg(pageSize));
            detail::execute(db, QStringLiteral("SELECT count(*) FROM sqlite_master"));
        } catch (const DbError &) {
            sqlite3_close(db);
            continue;
        }
        m_db = db;
        m_pageSize = pageSize > 0 ? pageSize : 1024;
        break;
    }
    if (!m_db)
        throw DbError(QStringLiteral("%1 does not open with the pass phrase").arg(path));
    if (writable) {
        detail::execute(m_db, QStringLiteral("PRAGMA journal_mode = OFF"));
        detail::execute(m_db, QStringLiteral("PRAGMA synchronous = OFF"));
    }
}

DatabaseFile::~DatabaseFile()
{
    m_statements.clear();
    sqlite3_close(m_db);
}

QStringList DatabaseFile::tables() const
{
    QStringList names;
    detail::Statement stmt = detail::prepare(
        m_db,
        QStringLiteral("SELECT name FROM sqlite_master WHERE type = 'table' AND name NOT LIKE 'sqlite\\_%' "
                       "ESCAPE '\\' ORDER BY name"));
    while (sqlite3_step(stmt.get()) == SQLITE_ROW)
        names << QString::fromUtf8(reinterpret_cast<const char *>(sqlite3_column_text(stmt.get(), 0)));
    return names;
}

QString DatabaseFile::schema() const
{
    QString text;
    detail::Statement stmt = detail::prepare(
        m_db, QStringLiteral(
                  "SELECT type, name, tbl_name, ifnull(sql, '') FROM sqlite_master ORDER BY type, name"));
    while (sqlite3_step(stmt.get()) == SQLITE_ROW) {
        for (int c = 0; c < 4; ++c)
            text +=
                QString::fromUtf8(reinterpret_cast<const char *>(sqlite3_column_text(stmt.get(), c))) + u'\t';
        text += u'\n';
    }
    return text;
}

bool DatabaseFile::rowidTablesOnly() const
{
    for (const QString &table : tables()) {
        try {
            detail::execute(m_db, QStringLiteral("SELECT rowid FROM %1 LIMIT 1").arg(quotedName(table)));
        } catch (const DbError &) {
            return false;
        }
    }
    return true;
}

QStringList DatabaseFile::columns(const QString &table) const
{
    QStringList names;
    detail::Statement stmt =
        detail::prepare(m_db, QStringLiteral("PRAGMA table_info(%1)").arg(quotedName(table)));
    while (sqlite3_step(stmt.get()) == SQLITE_ROW)
        names << QString::fromUtf8(reinterpret_cast<const char *>(sqlite3_column_text(stmt.get(), 1)));
    return names;
}

qint64 DatabaseFile::userVersion() const
{
    detail::Statement stmt = detail::prepare(m_db, QStringLiteral("PRAGMA user_version"));
    return sqlite3_step(stmt.get()) == SQLITE_ROW ? sqlite3_column_int64(stmt.get(), 0) : 0;
}

void DatabaseFile::setUserVersion(qint64 value)
{
    detail::execute(m_db, QStringLiteral("PRAGMA user_version = %1").arg(value));
}

void DatabaseFile::forEachRow(const QString &table,
                              const std::function<bool(qint64 rowid, const RowValues &)> &visit) const
{
    const QStringList names = columns(table);
    QStringList quoted;
    for (const QString &name : names)
        quoted << quotedName(name);
    detail::Statement stmt = detail::prepare(
        m_db,
        QStringLiteral("SELECT rowid, %1 FROM %2 ORDER BY rowid").arg(quoted.join(u','), quotedName(table)));
    RowValues values(size_t(names.size()));
    int rc;
    while ((rc = sqlite3_step(stmt.get())) == SQLITE_ROW) {
        for (int c = 0; c < names.size(); ++c)
            values[size_t(c)] = cellOf(stmt.get(), c + 1);
        if (!visit(sqlite3_column_int64(stmt.get(), 0), values))
            return;
    }
    if (rc != SQLITE_DONE)
        throw DbError(detail::lastError(m_db));
}

DatabaseFile::Statements &DatabaseFile::statements(const QString &table)
{
    for (auto &entry : m_statements) {
        if (entry.first == table)
            return *entry.second;
    }
    const QStringList names = columns(table);
    QStringList quoted, marks, sets;
    for (int c = 0; c < names.size(); ++c) {
        quoted << quotedName(names[c]);
        marks << QStringLiteral("?%1").arg(c + 2);
        sets << QStringLiteral("%1 = ?%2").arg(quotedName(names[c])).arg(c + 2);
    }
    auto made = std::make_unique<Statements>();
    made->columns = int(names.size());
    const QString name = quotedName(table);
    made->insert = detail::prepare(m_db, QStringLiteral("INSERT INTO %1 (rowid, %2) VALUES (?1, %3)")
                                             .arg(name, quoted.join(u','), marks.join(u',')));
    made->update =
        detail::prepare(m_db, QStringLiteral("UPDATE %1 SET %2 WHERE rowid = ?1").arg(name, sets.join(u',')));
    made->remove = detail::prepare(m_db, QStringLiteral("DELETE FROM %1 WHERE rowid = ?1").arg(name));
    m_statements.emplace_back(table, std::move(made));
    return *m_statements.back().second;
}

void DatabaseFile::begin()
{
    detail::execute(m_db, QStringLiteral("BEGIN"));
}

void DatabaseFile::commit()
{
    detail::execute(m_db, QStringLiteral("COMMIT"));
}

void DatabaseFile::insertRow(const QString &table, qint64 rowid, const RowValues &values)
{
    Statements &s = statements(table);
    if (int(values.size()) != s.columns)
        throw DbError(QStringLiteral("a row of %1 with %2 values").arg(table).arg(values.size()));
    sqlite3_bind_int64(s.insert.get(), 1, rowid);
    for (int c = 0; c < s.columns; ++c)
        bind(s.insert.get(), c + 2, values[size_t(c)]);
    run(s.insert.get(), m_db);
}

void DatabaseFile::updateRow(const QString &table, qint64 rowid, const RowValues &values)
{
    Statements &s = statements(table);
    if (int(values.size()) != s.columns)
        throw DbError(QStringLiteral("a row of %1 with %2 values").arg(table).arg(values.size()));
    sqlite3_bind_int64(s.update.get(), 1, rowid);
    for (int c = 0; c < s.columns; ++c)
        bind(s.update.get(), c + 2, values[size_t(c)]);
    run(s.update.get(), m_db);
}

void DatabaseFile::deleteRow(const QString &table, qint64 rowid)
{
    Statements &s = statements(table);
    sqlite3_bind_int64(s.remove.get(), 1, rowid);
    run(s.remove.get(), m_db);
}

QByteArray DatabaseFile::contentDigest() const
{
    crypto::Sha256 hash;
    const auto addNumber = [&hash](quint64 value) {
        char raw[8];
        qToLittleEndian(value, raw);
        hash.add(raw, 8);
    };
    addNumber(quint64(userVersion()));
    for (const QString &table : tables()) {
        const QByteArray name = table.toUtf8();
        addNumber(quint64(name.size()));
        hash.add(name);
        quint64 rows = 0;
        forEachRow(table, [&](qint64, const RowValues &values) {
            for (const CellValue &cell : values) {
                const char kind = char(cell.kind);
                hash.add(&kind, 1);
                addNumber(quint64(cell.bytes.size()));
                hash.add(cell.bytes);
            }
            ++rows;
            return true;
        });
        addNumber(rows);
    }
    return hash.result();
}

} // namespace platform::db
