#pragma once

#include <QString>
#include <QStringList>

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
//
// The lock lies in the first of its folders that only this user can reach:
// a real directory (not a link) owned by the user with mode 0700, holding
// no link or file of anyone else under the lock's name. A folder another
// user made first (in /tmp anyone can) is passed over, never used, so that
// nobody else can keep the program from starting or take its requests.
class NamedMutex
{
public:
    // In the first safe folder of lockFolders().
    explicit NamedMutex(const QString &name);
    // In the first safe folder of `folders`; a missing one is created with
    // mode 0700.
    NamedMutex(const QString &name, const QStringList &folders);
    ~NamedMutex();
    NamedMutex(const NamedMutex &) = delete;
    NamedMutex &operator=(const NamedMutex &) = delete;

    // The folders a lock is looked for in, in order: $XDG_RUNTIME_DIR when
    // it exists, /tmp/velmora-<uid>, and the user's own
    // $XDG_CACHE_HOME/velmora (by default ~/.cache/velmora), which no other
    // user can take first.
    static QStringList lockFolders();

    // True when another process of this session holds the lock.
    bool alreadyExists() const { return m_alreadyExists; }
    // The lock file; empty when no folder was safe (the program then runs
    // as the only copy).
    QString lockPath() const { return m_path; }
    // The socket beside the lock file.
    QString socketPath() const { return m_socketPath; }

    // For the holder: opens the socket; `onRequest` runs on this thread's
    // event loop each time a later copy calls requestHolderToFront(). False
    // when this object does not hold the lock or the socket cannot be opened.
    bool listenForRequests(std::function<void()> onRequest);
    // For a later copy: asks the holder to bring its windows forward. False
    // when no holder listens, when what lies under the socket's name is no
    // socket of this user (a link is never followed), or when the holder did
    // not take the request within `timeoutMs`.
    bool requestHolderToFront(int timeoutMs = 2000) const;

private:
    QString m_path;
    QString m_socketPath;
    int m_fd = -1;
    bool m_alreadyExists = false;
    std::unique_ptr<QLocalServer> m_server;
};

} // namespace platform
