#include "platform/os/Processes.h"

#include <QDir>
#include <QFile>

#include <cerrno>
#include <csignal>
#include <fcntl.h>
#include <spawn.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>
#include <vector>

extern char **environ;

namespace platform {

namespace {

// Whether a process runs the given file: /proc/<pid>/exe leads to the very
// file it runs, even a replaced one; other users' processes are not shown.
bool processRuns(const QString &pid, const struct stat &file)
{
    struct stat info
    {
    };
    const QByteArray link = "/proc/" + pid.toLatin1() + "/exe";
    return ::stat(link.constData(), &info) == 0 && info.st_dev == file.st_dev && info.st_ino == file.st_ino;
}

} // namespace

qint64 spawnProcess(const QString &program, const QStringList &arguments)
{
    const QByteArray path = QFile::encodeName(program);
    std::vector<QByteArray> storage;
    storage.push_back(path);
    for (const QString &argument : arguments)
        storage.push_back(argument.toLocal8Bit());
    std::vector<char *> argv;
    for (QByteArray &item : storage)
        argv.push_back(item.data());
    argv.push_back(nullptr);

    posix_spawnattr_t attributes;
    if (posix_spawnattr_init(&attributes) != 0)
        return -1;
    posix_spawnattr_setflags(&attributes, POSIX_SPAWN_SETSID);
    // Nothing but the standard streams is handed on: an inherited lock or
    // database descriptor would outlive this process in the child.
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addclosefrom_np(&actions, 3);
    pid_t pid = -1;
    const int result = posix_spawn(&pid, path.constData(), &actions, &attributes, argv.data(), environ);
    posix_spawn_file_actions_destroy(&actions);
    posix_spawnattr_destroy(&attributes);
    return result == 0 ? pid : -1;
}

bool waitForProcessExit(qint64 pid)
{
    if (pid <= 0)
        return false;
    int status = 0;
    while (::waitpid(static_cast<pid_t>(pid), &status, 0) < 0) {
        if (errno != EINTR)
            return false;
    }
    return true;
}

void ignoreBrokenPipes()
{
    struct sigaction action
    {
    };
    action.sa_handler = SIG_IGN;
    sigemptyset(&action.sa_mask);
    ::sigaction(SIGPIPE, &action, nullptr);
}

bool executableInUse(const QString &path)
{
    const QByteArray name = QFile::encodeName(path);
    struct stat file
    {
    };
    if (::stat(name.constData(), &file) != 0 || !S_ISREG(file.st_mode))
        return false;
    const int fd = ::open(name.constData(), O_WRONLY | O_NONBLOCK | O_CLOEXEC | O_NOCTTY);
    if (fd >= 0)
        ::close(fd);
    else if (errno == ETXTBSY)
        return true;

    // Kernels that no longer refuse the write still show who runs the file.
    const QStringList processes = QDir(QStringLiteral("/proc")).entryList(QDir::Dirs | QDir::NoDotAndDotDot);
    for (const QString &entry : processes) {
        bool numeric = false;
        entry.toLongLong(&numeric);
        if (numeric && processRuns(entry, file))
            return true;
    }
    return false;
}

} // namespace platform
