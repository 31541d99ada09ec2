#include "platform/os/NamedMutex.h"

#include <QDir>
#include <QFile>

#include <cerrno>
#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

namespace platform {

namespace {

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
    m_path = lockFolder() + QLatin1Char('/') + safe + QStringLiteral(".lock");
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
    if (m_fd >= 0) {
        ::flock(m_fd, LOCK_UN);
        ::close(m_fd);
    }
}

} // namespace platform
