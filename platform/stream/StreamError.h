#pragma once

#include <QString>
#include <stdexcept>

namespace platform::stream {

// A component stream that cannot be read or written: a damaged or foreign stream, a
// value of the wrong kind, a device that refuses bytes. The message is Chinese text that
// the program may show as it is.
class StreamError : public std::runtime_error
{
public:
    explicit StreamError(const QString &message)
        : std::runtime_error(message.toStdString()), m_message(message)
    {
    }
    QString message() const { return m_message; }

private:
    QString m_message;
};

// A file that cannot be created or opened for a stream.
class FileError : public std::runtime_error
{
public:
    explicit FileError(const QString &message) : std::runtime_error(message.toStdString()), m_message(message)
    {
    }
    QString message() const { return m_message; }

private:
    QString m_message;
};

} // namespace platform::stream
