#pragma once

#include <QByteArray>
#include <QString>
#include <QStringList>

#include <functional>
#include <memory>
#include <vector>

struct sqlite3;

namespace platform::db {

// One value of a row exactly as the engine keeps it: its storage class and
// its bytes (an integer as 8 bytes little-endian, a real as the 8 bytes of
// its IEEE form, text as UTF-8, a blob as it is, null as nothing).
struct CellValue
{
    enum Kind : quint8 { Integer = 1, Real = 2, Text = 3, Blob = 4, Null = 5 };
    Kind kind = Null;
    QByteArray bytes;
    bool operator==(const CellValue &) const = default;
};
using RowValues = std::vector<CellValue>;

// A whole database file opened with the engine, for the release tool: its
// tables read row by row with their rowids, rows changed by rowid, and a
// digest of the content. Every failure throws DbError.
class DatabaseFile
{
public:
    // Opens a file keyed with passPhrase, trying the known page sizes
    // (CipherSettings.h). Writable opens it for changes; they are made
    // without a rollback journal, so a file that a failure interrupts is to
    // be thrown away (the tool only changes copies).
    DatabaseFile(const QString &path, const QString &passPhrase, bool writable);
    ~DatabaseFile();
    DatabaseFile(const DatabaseFile &) = delete;
    DatabaseFile &operator=(const DatabaseFile &) = delete;

    int pageSize() const { return m_pageSize; }
    // The tables that hold rows (the engine's own left out), by name.
    QStringList tables() const;
    // Every entry of the schema (tables, indexes, views, triggers) with its
    // statement, sorted: two files with the same text have the same schema.
    QString schema() const;
    // Whether every table keeps its rows by rowid (none WITHOUT ROWID).
    bool rowidTablesOnly() const;
    QStringList columns(const QString &table) const;
    qint64 userVersion() const;
    void setUserVersion(qint64 value);

    // Calls visit with the rowid and the values of each row of the table,
    // in the engine's order (by rowid), until it returns false.
    void forEachRow(const QString &table,
                    const std::function<bool(qint64 rowid, const RowValues &)> &visit) const;

    // Changes by rowid, inside begin() ... commit().
    void begin();
    void commit();
    void insertRow(const QString &table, qint64 rowid, const RowValues &values);
    void updateRow(const QString &table, qint64 rowid, const RowValues &values);
    void deleteRow(const QString &table, qint64 rowid);

    // The SHA-256 of the content: the user version, then every table by
    // name: its name, every row in the engine's order, each value with its
    // kind and length, and the number of rows (rowids left out: they are
    // no part of a row).
    QByteArray contentDigest() const;

private:
    struct Statements;
    Statements &statements(const QString &table);

    sqlite3 *m_db = nullptr;
    int m_pageSize = 0;
    std::vector<std::pair<QString, std::unique_ptr<Statements>>> m_statements;
};

} // namespace platform::db
