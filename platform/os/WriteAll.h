#pragma once

#include <QByteArray>

#include <cerrno>
#include <unistd.h>

namespace platform {

// Writes every byte to a descriptor, going on after interrupted and short
// writes; false when the descriptor takes no more.
inline bool writeAll(int fd, const QByteArray &bytes)
{
    qsizetype done = 0;
    while (done < bytes.size()) {
        const ssize_t written =
            ::write(fd, bytes.constData() + done, static_cast<size_t>(bytes.size() - done));
        if (written < 0 && errno == EINTR)
            continue;
        if (written <= 0)
            return false;
        done += written;
    }
    return true;
}

} // namespace platform
