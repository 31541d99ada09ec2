#include "platform/os/FileSwap.h"

#include <QFile>
#include <QFileInfo>
#include <QSet>

#include <cerrno>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace platform {

namespace {

QByteArray encoded(const QString &path)
{
    return QFile::encodeName(path);
}

bool syncPath(const QByteArray &path, int flags)
{
    const int fd = ::open(path.constData(), flags | O_CLOEXEC);
    if (fd < 0)
        return false;
    const bool synced = ::fsync(fd) == 0;
    ::close(fd);
    return synced;
}

// A file that was installed, and where its predecessor is kept meanwhile.
struct Installed
{
    QByteArray source;
    QByteArray target;
    QByteArray backup; // empty: the target did not exist before
};

// The name under which a replaced file waits beside its target.
QByteArray backupName(const QString &target)
{
    const QFileInfo info(target);
    return encoded(info.path() + QStringLiteral("/.") + info.fileName() +
                   QStringLiteral(".uOLD%1").arg(::getpid()));
}

// Sets the bits the installed file will carry and writes it to disk.
bool prepareSource(const QByteArray &source, const QByteArray &target, bool executable)
{
    struct stat sourceInfo
    {
    };
    if (::lstat(source.constData(), &sourceInfo) != 0 || !S_ISREG(sourceInfo.st_mode))
        return false;
    mode_t mode = sourceInfo.st_mode & 07777;
    struct stat targetInfo
    {
    };
    if (::lstat(target.constData(), &targetInfo) == 0) {
        if (S_ISDIR(targetInfo.st_mode))
            return false;
        if (S_ISREG(targetInfo.st_mode))
            mode = targetInfo.st_mode & 07777;
    }
    if (executable)
        mode |= (mode & 0444) >> 2;
    return ::chmod(source.constData(), mode) == 0 && syncPath(source, O_RDONLY);
}

// Moves one source over its target, keeping the target's old file under
// the backup name. On failure nothing of this file has changed.
bool installOne(const QByteArray &source, const QByteArray &target, Installed &done)
{
    done = {source, target, {}};
    struct stat targetInfo
    {
    };
    const bool targetExists = ::lstat(target.constData(), &targetInfo) == 0;
    bool backupByRename = false;
    if (targetExists) {
        done.backup = backupName(QFile::decodeName(target));
        ::unlink(done.backup.constData()); // a leftover of an interrupted run
        if (::link(target.constData(), done.backup.constData()) != 0) {
            // A file system without hard links: the old file steps aside first.
            if (::rename(target.constData(), done.backup.constData()) != 0)
                return false;
            backupByRename = true;
        }
    }
    if (::rename(source.constData(), target.constData()) == 0)
        return true;
    if (backupByRename)
        ::rename(done.backup.constData(), target.constData());
    else if (targetExists)
        ::unlink(done.backup.constData());
    return false;
}

// Puts one installed file back to its source name and its predecessor back
// in place.
void undoOne(const Installed &done)
{
    if (done.backup.isEmpty()) {
        ::rename(done.target.constData(), done.source.constData());
        return;
    }
    if (::link(done.target.constData(), done.source.constData()) != 0)
        ::rename(done.target.constData(), done.source.constData());
    ::rename(done.backup.constData(), done.target.constData());
}

} // namespace

bool replaceFilesAtomically(const std::vector<FileReplacement> &files, QString *failedTarget)
{
    std::vector<Installed> installed;
    installed.reserve(files.size());
    for (const FileReplacement &file : files) {
        const QByteArray source = encoded(file.source);
        const QByteArray target = encoded(file.target);
        Installed done;
        if (!prepareSource(source, target, file.executable) || !installOne(source, target, done)) {
            for (auto it = installed.rbegin(); it != installed.rend(); ++it)
                undoOne(*it);
            if (failedTarget)
                *failedTarget = file.target;
            return false;
        }
        installed.push_back(done);
    }

    QSet<QByteArray> folders;
    for (const Installed &done : installed) {
        if (!done.backup.isEmpty())
            ::unlink(done.backup.constData());
        folders.insert(encoded(QFileInfo(QFile::decodeName(done.target)).path()));
    }
    // The renames themselves reach the disk with their folders.
    for (const QByteArray &folder : folders)
        syncPath(folder, O_RDONLY | O_DIRECTORY);
    return true;
}

} // namespace platform
