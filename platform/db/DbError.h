#pragma once

#include <stdexcept>
#include <string>

#include <QString>

namespace platform::db {

// Every failure of the data layer surfaces as this error; callers decide
// what the user sees.
class DbError : public std::runtime_error
{
public:
    explicit DbError(const QString &message) : std::runtime_error(message.toStdString()) {}
    QString message() const { return QString::fromStdString(what()); }
};

} // namespace platform::db
