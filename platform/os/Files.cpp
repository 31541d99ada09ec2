#include "platform/os/Files.h"

#include <QByteArray>
#include <QFile>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace platform {

namespace {

timespec toTimespec(qint64 ms)
{
    timespec ts{};
    ts.tv_sec = static_cast<time_t>(ms / 1000);
    long rest = static_cast<long>(ms % 1000);
    if (rest < 0) {
        rest += 1000;
        ts.tv_sec -= 1;
    }
    ts.tv_nsec = rest * 1000000L;
    return ts;
}

} // namespace

QString tempFolder()
{
    QString folder = qEnvironmentVariable("TMPDIR");
    if (folder.isEmpty())
        folder = QStringLiteral("/tmp");
    if (!folder.endsWith(u'/'))
        folder += u'/';
    return folder;
}

bool isDirectory(const QString &path)
{
    struct stat info
    {
    };
    if (path.isEmpty() || ::stat(QFile::encodeName(path).constData(), &info) != 0)
        return false;
    return S_ISDIR(info.st_mode);
}

bool setFileTimes(const QString &path, std::optional<qint64> accessMs, std::optional<qint64> modifyMs)
{
    if (path.isEmpty())
        return false;
    const int fd = ::open(QFile::encodeName(path).constData(), O_WRONLY | O_CLOEXEC);
    if (fd < 0)
        return false;
    timespec times[2];
    times[0] = accessMs ? toTimespec(*accessMs) : timespec{0, UTIME_OMIT};
    times[1] = modifyMs ? toTimespec(*modifyMs) : timespec{0, UTIME_OMIT};
    const bool written = ::futimens(fd, times) == 0;
    ::close(fd);
    return written;
}

qint64 fileSize64(const QString &path)
{
    struct stat info
    {
    };
    if (path.isEmpty() || ::stat(QFile::encodeName(path).constData(), &info) != 0)
        return -1;
    if (!S_ISREG(info.st_mode))
        return -1;
    return static_cast<qint64>(info.st_size);
}

} // namespace platform
