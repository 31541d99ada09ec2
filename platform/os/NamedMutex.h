#pragma once

#include <QString>

namespace platform {

// A lock named across the processes of one user session, standing in for
// a named mutex: the first holder creates it, later ones learn that it
// already exists. Released when the object goes or the process ends.
class NamedMutex
{
public:
    explicit NamedMutex(const QString &name);
    ~NamedMutex();
    NamedMutex(const NamedMutex &) = delete;
    NamedMutex &operator=(const NamedMutex &) = delete;

    // True when another process of this session holds the lock.
    bool alreadyExists() const { return m_alreadyExists; }
    // The lock file (in $XDG_RUNTIME_DIR, or a per-user folder under /tmp).
    QString lockPath() const { return m_path; }

private:
    QString m_path;
    int m_fd = -1;
    bool m_alreadyExists = false;
};

} // namespace platform
