#include "platform/os/FileSwap.h"

#include "platform/os/WriteAll.h"

#include <QDeadlineTimer>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSet>
#include <QThread>

#include <cerrno>
#include <dirent.h>
#include <fcntl.h>
#include <optional>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

namespace platform {

namespace {

constexpr char kJournalHeader[] = "velmora-swap 1";
constexpr char kJournalEnd[] = "end";

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

QByteArray folderOf(const QByteArray &path)
{
    const qsizetype slash = path.lastIndexOf('/');
    return slash <= 0 ? QByteArray(slash == 0 ? "/" : ".") : path.left(slash);
}

// A rename or a link is on disk once its folder is.
void syncFolderOf(const QByteArray &path)
{
    syncPath(folderOf(path), O_RDONLY | O_DIRECTORY);
}

bool exists(const QByteArray &path)
{
    struct stat info
    {
    };
    return ::lstat(path.constData(), &info) == 0;
}

// One file of a swap as the plan records it.
struct Entry
{
    QByteArray source;
    QByteArray target;
    QByteArray backup;
    bool hadTarget = false;
    // The source's identity: the target is the new file exactly when it is
    // this file, whatever step the swap reached.
    dev_t device = 0;
    ino_t inode = 0;
};

class SwapLock
{
public:
    SwapLock(const QString &path, int waitMs)
    {
        m_fd = ::open(encoded(path).constData(), O_RDWR | O_CREAT | O_NOFOLLOW | O_CLOEXEC, 0600);
        if (m_fd < 0)
            return;
        const QDeadlineTimer deadline(waitMs);
        while (::flock(m_fd, LOCK_EX | LOCK_NB) != 0) {
            if ((errno != EWOULDBLOCK && errno != EINTR) || deadline.hasExpired()) {
                ::close(m_fd);
                m_fd = -1;
                return;
            }
            QThread::msleep(20);
        }
    }
    ~SwapLock()
    {
        if (m_fd >= 0)
            ::close(m_fd);
    }
    bool held() const { return m_fd >= 0; }

private:
    int m_fd = -1;
};

QByteArray journalText(const std::vector<Entry> &entries)
{
    QByteArray text = QByteArray(kJournalHeader) + '\n';
    for (const Entry &e : entries) {
        text += "file\t" + e.source + '\t' + e.target + '\t' + e.backup + '\t' + (e.hadTarget ? "1" : "0") +
                '\t' + QByteArray::number(quint64(e.device)) + '\t' + QByteArray::number(quint64(e.inode)) +
                '\n';
    }
    return text + kJournalEnd + '\n';
}

std::optional<std::vector<Entry>> parseJournal(const QByteArray &text)
{
    const QList<QByteArray> lines = text.split('\n');
    // A plan is written whole before it is renamed into place: one without
    // its end line is not one.
    if (lines.size() < 3 || lines.first() != kJournalHeader || lines.at(lines.size() - 2) != kJournalEnd ||
        !lines.last().isEmpty())
        return std::nullopt;
    std::vector<Entry> entries;
    for (qsizetype i = 1; i < lines.size() - 2; ++i) {
        const QList<QByteArray> fields = lines.at(i).split('\t');
        bool deviceOk = false, inodeOk = false;
        if (fields.size() != 7 || fields.at(0) != "file")
            return std::nullopt;
        Entry e{fields.at(1),
                fields.at(2),
                fields.at(3),
                fields.at(4) == "1",
                dev_t(fields.at(5).toULongLong(&deviceOk)),
                ino_t(fields.at(6).toULongLong(&inodeOk))};
        if (!deviceOk || !inodeOk || e.source.isEmpty() || e.target.isEmpty() || e.backup.isEmpty())
            return std::nullopt;
        entries.push_back(e);
    }
    return entries;
}

// Written under another name and renamed into place, so the plan is either
// whole on disk or not there at all.
bool writeJournal(const QByteArray &path, const QByteArray &text)
{
    const QByteArray part = path + ".new";
    ::unlink(part.constData());
    const int fd = ::open(part.constData(), O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, 0600);
    if (fd < 0)
        return false;
    const bool written = writeAll(fd, text) && ::fsync(fd) == 0;
    if (::close(fd) != 0 || !written || ::rename(part.constData(), path.constData()) != 0) {
        ::unlink(part.constData());
        return false;
    }
    syncFolderOf(path);
    return true;
}

// Removes every file of the backup folder, then the folder; true when it
// held any.
bool clearBackups(const QByteArray &folder)
{
    DIR *dir = ::opendir(folder.constData());
    if (!dir)
        return false;
    QList<QByteArray> names;
    while (const dirent *entry = ::readdir(dir)) {
        const QByteArray name(entry->d_name);
        if (name != "." && name != "..")
            names << name;
    }
    ::closedir(dir);
    for (const QByteArray &name : names)
        ::unlink((folder + '/' + name).constData());
    ::rmdir(folder.constData());
    return !names.isEmpty();
}

// Puts every target back as it was before the swap, whichever step the swap
// reached, last file first.
void rollBack(const std::vector<Entry> &entries)
{
    QSet<QByteArray> folders;
    for (auto e = entries.rbegin(); e != entries.rend(); ++e) {
        struct stat target
        {
        };
        const bool targetThere = ::lstat(e->target.constData(), &target) == 0;
        const bool installed = targetThere && target.st_dev == e->device && target.st_ino == e->inode;
        const bool backupThere = exists(e->backup);
        if (installed) {
            if (e->hadTarget && backupThere)
                ::rename(e->backup.constData(), e->target.constData());
            else if (!e->hadTarget)
                ::unlink(e->target.constData());
        } else if (backupThere) {
            // A backup taken by a link leaves the target in place; one taken
            // by a rename (no hard links here) is the target itself.
            if (targetThere)
                ::unlink(e->backup.constData());
            else
                ::rename(e->backup.constData(), e->target.constData());
        }
        folders.insert(folderOf(e->target));
    }
    for (const QByteArray &folder : std::as_const(folders))
        syncPath(folder, O_RDONLY | O_DIRECTORY);
}

SwapRecovery recoverLocked(const SwapJournal &journal)
{
    const QByteArray path = encoded(journal.journalFile);
    ::unlink((path + ".new").constData()); // a plan that never took effect
    if (!exists(path))
        return clearBackups(encoded(journal.backupFolder)) ? SwapRecovery::Completed
                                                           : SwapRecovery::NothingToDo;
    QFile file(journal.journalFile);
    const std::optional<std::vector<Entry>> entries =
        file.open(QIODevice::ReadOnly) ? parseJournal(file.read(1 << 20)) : std::nullopt;
    if (!entries)
        return SwapRecovery::Failed;
    rollBack(*entries);
    ::unlink(path.constData());
    syncFolderOf(path);
    clearBackups(encoded(journal.backupFolder));
    return SwapRecovery::RolledBack;
}

// The checks and the preparation of one file before anything changes: the
// bits the installed file will carry, the source on disk, its identity.
bool prepare(const FileReplacement &file, const QByteArray &backup, Entry &entry)
{
    entry = {encoded(file.source), encoded(file.target), backup, false, 0, 0};
    if (entry.source.contains('\t') || entry.source.contains('\n') || entry.target.contains('\t') ||
        entry.target.contains('\n'))
        return false;
    struct stat source
    {
    };
    if (::lstat(entry.source.constData(), &source) != 0 || !S_ISREG(source.st_mode))
        return false;
    mode_t mode = file.executable ? 0755 : 0644;
    struct stat target
    {
    };
    if (::lstat(entry.target.constData(), &target) == 0) {
        if (S_ISDIR(target.st_mode))
            return false;
        entry.hadTarget = true;
        if (S_ISREG(target.st_mode))
            mode = target.st_mode & 07777;
    }
    if (file.executable)
        mode |= (mode & 0444) >> 2;
    if (::chmod(entry.source.constData(), mode) != 0 || !syncPath(entry.source, O_RDONLY) ||
        ::lstat(entry.source.constData(), &source) != 0)
        return false;
    entry.device = source.st_dev;
    entry.inode = source.st_ino;
    return true;
}

} // namespace

bool replaceFilesAtomically(const std::vector<FileReplacement> &files, const SwapJournal &journal,
                            QString *failedTarget, const SwapStepHook &afterStep)
{
    const auto fail = [&](const QString &target) {
        if (failedTarget)
            *failedTarget = target;
        return false;
    };
    const SwapLock lock(journal.lockFile, 30000);
    if (!lock.held())
        return fail(files.empty() ? QString() : files.front().target);
    // An older swap cut short is settled first.
    if (recoverLocked(journal) == SwapRecovery::Failed)
        return fail(journal.journalFile);

    const QByteArray backupFolder = encoded(journal.backupFolder);
    if (::mkdir(backupFolder.constData(), 0700) != 0 && errno != EEXIST)
        return fail(journal.backupFolder);
    std::vector<Entry> entries(files.size());
    QSet<QByteArray> targets;
    for (size_t i = 0; i < files.size(); ++i) {
        const QByteArray backup = backupFolder + '/' + QByteArray::number(quint64(i));
        ::unlink(backup.constData());
        if (!prepare(files[i], backup, entries[i]) || targets.contains(entries[i].target)) {
            clearBackups(backupFolder);
            return fail(files[i].target);
        }
        targets.insert(entries[i].target);
    }

    int step = 0;
    const auto reached = [&] {
        if (afterStep)
            afterStep(++step);
    };
    const QByteArray journalPath = encoded(journal.journalFile);
    if (!writeJournal(journalPath, journalText(entries))) {
        clearBackups(backupFolder);
        return fail(journal.journalFile);
    }
    reached();

    for (size_t i = 0; i < entries.size(); ++i) {
        const Entry &e = entries[i];
        bool moved = true;
        if (e.hadTarget) {
            // A link keeps the target in place until the rename replaces it;
            // without hard links the old file steps aside first.
            if (::link(e.target.constData(), e.backup.constData()) != 0)
                moved = ::rename(e.target.constData(), e.backup.constData()) == 0;
            if (moved) {
                syncPath(backupFolder, O_RDONLY | O_DIRECTORY);
                reached();
            }
        }
        if (!moved || ::rename(e.source.constData(), e.target.constData()) != 0) {
            rollBack(entries);
            ::unlink(journalPath.constData());
            syncFolderOf(journalPath);
            clearBackups(backupFolder);
            return fail(files[i].target);
        }
        reached();
    }

    QSet<QByteArray> folders;
    for (const Entry &e : entries)
        folders.insert(folderOf(e.target));
    for (const QByteArray &folder : std::as_const(folders))
        syncPath(folder, O_RDONLY | O_DIRECTORY);
    // From here on the swap stands.
    ::unlink(journalPath.constData());
    syncFolderOf(journalPath);
    reached();
    for (const Entry &e : entries) {
        if (exists(e.backup)) {
            ::unlink(e.backup.constData());
            reached();
        }
    }
    ::rmdir(backupFolder.constData());
    return true;
}

SwapRecovery recoverUnfinishedSwap(const SwapJournal &journal, int waitMs)
{
    const QByteArray path = encoded(journal.journalFile);
    // Nothing was ever swapped here: no lock file is made for nothing.
    if (!exists(path) && !exists(path + ".new") && !exists(encoded(journal.backupFolder)))
        return SwapRecovery::NothingToDo;
    const SwapLock lock(journal.lockFile, waitMs);
    if (!lock.held())
        return SwapRecovery::Failed;
    return recoverLocked(journal);
}

} // namespace platform
