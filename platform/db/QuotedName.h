#pragma once

#include <QString>

namespace platform::db {

// A table or column name as an SQL identifier: in double quotes, a quote
// inside doubled.
inline QString quotedName(QString name)
{
    return QLatin1Char('"') + name.replace(QLatin1Char('"'), QLatin1String("\"\"")) + QLatin1Char('"');
}

} // namespace platform::db
