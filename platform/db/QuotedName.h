#pragma once

#include <QString>

namespace platform::db {

// A table or column name as a statement quotes it: in double quotes, a
// double quote within it doubled.
inline QString quotedName(QString name)
{
    return QLatin1Char('"') + name.replace(QLatin1Char('"'), QLatin1String("\"\"")) + QLatin1Char('"');
}

} // namespace platform::db
