#include "platform/os/FreshFile.h"

#include <fcntl.h>
#include <unistd.h>

namespace platform {

std::unique_ptr<QFile> createFreshFile(const QString &path)
{
    const QByteArray name = QFile::encodeName(path);
    ::unlink(name.constData());
    const int fd = ::open(name.constData(), O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, 0666);
    if (fd < 0)
        return nullptr;
    auto file = std::make_unique<QFile>(path);
    if (!file->open(fd, QIODevice::WriteOnly, QFileDevice::AutoCloseHandle)) {
        ::close(fd);
        ::unlink(name.constData());
        return nullptr;
    }
    return file;
}

} // namespace platform
