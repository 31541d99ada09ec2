#pragma once

#include <QString>

#include <functional>
#include <memory>

class QLocalServer;

namespace platform {

// A lock named across the processes of one user session, standing in for
// a named mutex: the first holder creates it, later ones learn that it
// already exists. Released when the object goes or the process ends.
//
// Beside the lock the holder can keep a local socket of the same name,
// reachable only by the user, through which a later copy asks the holder
// to come forward (a desktop starts a program's menu entry again to bring
// its window to the front).
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
    // The socket beside the lock file.
    QString socketPath() const { return m_socketPath; }

    // For the holder: opens the socket; `onRequest` runs on this thread's
    // event loop each time a later copy calls requestHolderToFront(). False
    // when this object does not hold the lock or the socket cannot be opened.
    bool listenForRequests(std::function<void()> onRequest);
    // For a later copy: asks the holder to bring its windows forward. False
    // when no holder listens or it did not take the request within `timeoutMs`.
    bool requestHolderToFront(int timeoutMs = 2000) const;

private:
    QString m_path;
    QString m_socketPath;
    int m_fd = -1;
    bool m_alreadyExists = false;
    std::unique_ptr<QLocalServer> m_server;
};

} // namespace platform
