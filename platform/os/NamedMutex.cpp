#include "platform/os/NamedMutex.h"

#include <QDir>
#include <QFile>
#include <QLocalServer>
#include <QLocalSocket>

#include <cerrno>
#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

namespace platform {

namespace {

// What a later copy sends; anything else on the socket is ignored.
constexpr char kToFront[] = "to-front\n";

// Opens a folder of this user's own, which no one else can enter or put
// anything into: a real directory (a link is not followed), owned by the
// user, with mode 0700. A missing folder is made so first. -1 for any
// other folder.
int openOwnFolder(const QString &path)
{
    const QByteArray name = QFile::encodeName(path);
    ::mkdir(name.constData(), 0700);
    const int fd = ::open(name.constData(), O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC);
    if (fd < 0)
        return -1;
    struct stat info
    {
    };
    if (::fstat(fd, &info) != 0 || !S_ISDIR(info.st_mode) || info.st_uid != ::geteuid() ||
        (info.st_mode & 07777) != 0700) {
        ::close(fd);
        return -1;
    }
    return fd;
}

// Opens (or makes) the lock file in the folder without following a link
// under its name; -1 when what has the name is no plain file of the user's.
int openLockFile(int folderFd, const QByteArray &name)
{
    const int fd =
        ::openat(folderFd, name.constData(), O_RDWR | O_CREAT | O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC, 0600);
    if (fd < 0)
        return -1;
    struct stat info
    {
    };
    if (::fstat(fd, &info) != 0 || !S_ISREG(info.st_mode) || info.st_uid != ::geteuid()) {
        ::close(fd);
        return -1;
    }
    return fd;
}

} // namespace

QStringList NamedMutex::lockFolders()
{
    QStringList folders;
    const QString runtime = qEnvironmentVariable("XDG_RUNTIME_DIR");
    if (!runtime.isEmpty() && QDir(runtime).exists())
        folders << runtime;
    folders << QStringLiteral("/tmp/velmora-%1").arg(::getuid());
    QString cache = qEnvironmentVariable("XDG_CACHE_HOME");
    // The base directory specification ignores a relative value.
    if (cache.isEmpty() || QDir::isRelativePath(cache))
        cache = QDir::homePath() + QStringLiteral("/.cache");
    if (QDir().mkpath(cache))
        folders << cache + QStringLiteral("/velmora");
    return folders;
}

NamedMutex::NamedMutex(const QString &name) : NamedMutex(name, lockFolders()) {}

NamedMutex::NamedMutex(const QString &name, const QStringList &folders)
{
    QString safe = name;
    safe.replace(QLatin1Char('/'), QLatin1Char('_'));
    const QByteArray lockName = QFile::encodeName(safe + QStringLiteral(".lock"));
    for (const QString &folder : folders) {
        const int folderFd = openOwnFolder(folder);
        if (folderFd < 0)
            continue;
        m_fd = openLockFile(folderFd, lockName);
        ::close(folderFd);
        if (m_fd < 0)
            continue;
        const QString base = QDir::cleanPath(folder) + QLatin1Char('/') + safe;
        m_path = base + QStringLiteral(".lock");
        m_socketPath = base + QStringLiteral(".socket");
        break;
    }
    if (m_fd < 0)
        return; // no safe folder: behave as the only copy
    if (::flock(m_fd, LOCK_EX | LOCK_NB) != 0) {
        m_alreadyExists = (errno == EWOULDBLOCK);
        ::close(m_fd);
        m_fd = -1;
    }
}

NamedMutex::~NamedMutex()
{
    if (m_server) {
        m_server->close();
        m_server.reset();
    }
    if (m_fd >= 0) {
        ::flock(m_fd, LOCK_UN);
        ::close(m_fd);
    }
}

bool NamedMutex::listenForRequests(std::function<void()> onRequest)
{
    if (m_fd < 0 || m_server)
        return false;
    // Only the lock's holder gets here, so a socket file left by a copy that
    // crashed is stale and may go (and with it a link planted under its
    // name: removing a link never touches what it points at, and the new
    // socket is renamed into place, never written through a link).
    QLocalServer::removeServer(m_socketPath);
    m_server = std::make_unique<QLocalServer>();
    m_server->setSocketOptions(QLocalServer::UserAccessOption);
    if (!m_server->listen(m_socketPath)) {
        m_server.reset();
        return false;
    }
    QLocalServer *server = m_server.get();
    QObject::connect(server, &QLocalServer::newConnection, server, [server, onRequest] {
        while (QLocalSocket *socket = server->nextPendingConnection()) {
            QObject::connect(socket, &QLocalSocket::disconnected, socket, &QObject::deleteLater);
            QObject::connect(socket, &QLocalSocket::readyRead, socket, [socket, onRequest] {
                if (!socket->canReadLine())
                    return;
                const QByteArray line = socket->readLine();
                // The answer tells the later copy that its request was taken.
                socket->write("ok\n");
                socket->flush();
                socket->disconnectFromServer();
                if (line == kToFront && onRequest)
                    onRequest();
            });
        }
    });
    return true;
}

bool NamedMutex::requestHolderToFront(int timeoutMs) const
{
    // Connecting follows a link under the socket's name: only a socket of
    // the user's own is asked.
    struct stat info
    {
    };
    if (m_socketPath.isEmpty() || ::lstat(QFile::encodeName(m_socketPath).constData(), &info) != 0 ||
        !S_ISSOCK(info.st_mode) || info.st_uid != ::geteuid())
        return false;
    QLocalSocket socket;
    socket.connectToServer(m_socketPath);
    if (!socket.waitForConnected(timeoutMs))
        return false;
    socket.write(kToFront);
    if (!socket.waitForBytesWritten(timeoutMs))
        return false;
    while (!socket.canReadLine())
        if (!socket.waitForReadyRead(timeoutMs))
            return false;
    return socket.readLine() == "ok\n";
}

} // namespace platform
