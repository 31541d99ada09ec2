#pragma once

#include <QString>

#include <ostream>

// Shows texts readably in failed expectations.
inline void PrintTo(const QString &text, std::ostream *os)
{
    *os << '"' << text.toStdString() << '"';
}
