#pragma once

#include <QString>
#include <QStringList>

#include <utility>
#include <vector>

namespace platform::db {

// A connection string read the way the data layer reads it: "key=value"
// pairs separated by ";", keys compared without case, a value in double
// or single quotes may hold ";" and doubles its own quote character.
class ConnectionString
{
public:
    // Throws DbError when a piece is not a "key=value" pair or a quote is left open.
    static ConnectionString parse(const QString &text);

    // The value of a key (case-insensitive; the last one wins), or an empty
    // string when the key is absent.
    QString value(const QString &key) const;
    bool contains(const QString &key) const;
    QStringList keys() const;

private:
    std::vector<std::pair<QString, QString>> m_pairs;
};

} // namespace platform::db
