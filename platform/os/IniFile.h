#pragma once

#include <stdexcept>

#include <QString>

namespace platform {

// An INI file exists but cannot be read (no permission, not a file).
class IniReadError : public std::runtime_error
{
public:
    using std::runtime_error::runtime_error;
};

// Reads one value from an INI file, the way the system's profile reader
// does: section and key are compared without case, the first matching key
// wins, blanks around the value and one pair of enclosing quotes are
// removed. Lines are read whole whatever their length; an indented line is
// a line of its own; only "=" separates a key from its value, and the value
// keeps a " ;" and what follows (only a line starting with ";" is a
// comment). A missing file, section or key gives defaultValue; a file that
// exists but cannot be read raises IniReadError.
QString readProfileString(const QString &path, const QString &section, const QString &key,
                          const QString &defaultValue);

} // namespace platform
