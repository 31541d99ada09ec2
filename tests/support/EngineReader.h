#pragma once

#include <QString>
#include <QStringList>

#include <optional>
#include <vector>

struct sqlite3;

namespace testdb {

// A statement's result as the engine itself gives it: column names and
// rows of cells as text (nullopt for null), or the engine's error.
struct EngineResult
{
    QStringList columns;
    std::vector<std::vector<std::optional<QString>>> rows;
    QString error; // empty when the statement ran
};

// A connection of its own to a test database file, for reading statements
// with the engine alone, to compare with what the data layer gives.
class EngineReader
{
public:
    EngineReader(const QString &path, const QString &key, int pageSize);
    ~EngineReader();
    EngineReader(const EngineReader &) = delete;
    EngineReader &operator=(const EngineReader &) = delete;

    EngineResult select(const QString &sql) const;

private:
    sqlite3 *m_db = nullptr;
};

} // namespace testdb
