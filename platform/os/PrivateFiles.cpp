#include "platform/os/PrivateFiles.h"

#include "platform/os/WriteAll.h"

#include <QDir>
#include <QFile>

#include <cerrno>
#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace platform {

namespace {

// Empties and removes one folder, working below a descriptor of the folder
// itself so that a name swapped for a link meanwhile is never followed.
void removeFolder(int parentFd, const QByteArray &name)
{
    const int fd = ::openat(parentFd, name.constData(), O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC);
    if (fd < 0)
        return;
    struct stat info
    {
    };
    if (::fstat(fd, &info) != 0 || info.st_uid != ::getuid()) {
        ::close(fd);
        return;
    }
    DIR *dir = ::fdopendir(fd);
    if (!dir) {
        ::close(fd);
        return;
    }
    while (const dirent *entry = ::readdir(dir)) {
        const QByteArray child(entry->d_name);
        if (child == "." || child == "..")
            continue;
        struct stat childInfo
        {
        };
        if (::fstatat(fd, child.constData(), &childInfo, AT_SYMLINK_NOFOLLOW) == 0 &&
            !S_ISDIR(childInfo.st_mode))
            ::unlinkat(fd, child.constData(), 0);
    }
    ::closedir(dir); // closes fd
    ::unlinkat(parentFd, name.constData(), AT_REMOVEDIR);
}

} // namespace

QString createPrivateFolder(const QString &parent, const QString &prefix)
{
    QString base = parent;
    if (!base.endsWith(u'/'))
        base += u'/';
    QByteArray pattern = QFile::encodeName(base + prefix) + "XXXXXX";
    // mkdtemp creates the folder with mode 0700 and fails on any existing name.
    if (!::mkdtemp(pattern.data()))
        return {};
    return QFile::decodeName(pattern) + u'/';
}

bool ensurePrivateFolder(const QString &path)
{
    QString cleaned = path;
    while (cleaned.size() > 1 && cleaned.endsWith(u'/'))
        cleaned.chop(1);
    const QByteArray name = QFile::encodeName(cleaned);
    if (::mkdir(name.constData(), 0700) != 0 && errno != EEXIST)
        return false;
    // Opened without following a link, and checked through the descriptor,
    // so the folder checked is the folder changed.
    const int fd = ::open(name.constData(), O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC);
    if (fd < 0)
        return false;
    struct stat info
    {
    };
    const bool ours = ::fstat(fd, &info) == 0 && S_ISDIR(info.st_mode) && info.st_uid == ::getuid() &&
                      ::fchmod(fd, 0700) == 0;
    ::close(fd);
    return ours;
}

bool writeNewFile(const QString &path, const QByteArray &bytes, int mode)
{
    const int fd = ::open(QFile::encodeName(path).constData(),
                          O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, static_cast<mode_t>(mode));
    if (fd < 0)
        return false;
    // The umask must not take bits the caller asked for (execute).
    const bool written =
        ::fchmod(fd, static_cast<mode_t>(mode)) == 0 && writeAll(fd, bytes) && ::fsync(fd) == 0;
    if (::close(fd) != 0 || !written) {
        ::unlink(QFile::encodeName(path).constData());
        return false;
    }
    return true;
}

void removePrivateFolders(const QString &parent, const QString &prefix)
{
    const QByteArray folder = QFile::encodeName(parent.isEmpty() ? QStringLiteral(".") : parent);
    const int parentFd = ::open(folder.constData(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (parentFd < 0)
        return;
    const QByteArray start = QFile::encodeName(prefix);
    const int listFd = ::dup(parentFd);
    DIR *dir = listFd >= 0 ? ::fdopendir(listFd) : nullptr;
    if (!dir) {
        if (listFd >= 0)
            ::close(listFd);
        ::close(parentFd);
        return;
    }
    QList<QByteArray> names;
    while (const dirent *entry = ::readdir(dir)) {
        const QByteArray name(entry->d_name);
        // Exactly the prefix and the six characters mkdtemp added.
        if (name.startsWith(start) && name.size() == start.size() + 6)
            names << name;
    }
    ::closedir(dir);
    for (const QByteArray &name : names)
        removeFolder(parentFd, name);
    ::close(parentFd);
}

} // namespace platform
