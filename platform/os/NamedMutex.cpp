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

QString lockFolder()
{
    const QString runtime = qEnvironmentVariable("XDG_RUNTIME_DIR");
    if (!runtime.isEmpty() && QDir(runtime).exists())
        return runtime;
    const QString folder = QStringLiteral("/tmp/velmora-%1").arg(getuid());
    ::mkdir(QFile::encodeName(folder).constData(), 0700);
    return folder;
}

} // namespace

NamedMutex::NamedMutex(const QString &name)
{
    QString safe = name;
    safe.replace(QLatin1Char('/'), QLatin1Char('_'));
    const QString base = lockFolder() + QLatin1Char('/') + safe;
    m_path = base + QStringLiteral(".lock");
    m_socketPath = base + QStringLiteral(".socket");
    m_fd = ::open(QFile::encodeName(m_path).constData(), O_RDWR | O_CREAT | O_CLOEXEC, 0600);
    if (m_fd < 0)
        return; // no lock can be had: behave as the only copy
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
    // crashed is stale and may go.
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
