#include "upgrade/helper/suUpgradeHelper.h"

#include "platform/crypto/Sha256.h"
#include "platform/os/PrivateFiles.h"
#include "platform/os/Processes.h"
#include "upgrade/helper/suUpgradeFolder.h"

#include <QDeadlineTimer>
#include <QFile>
#include <QFileInfo>
#include <QHash>
#include <QThread>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

QString folderOf(const QString &path)
{
    return path.left(path.lastIndexOf(u'/') + 1);
}

// The restart parameters as separate arguments, split at blanks the way a
// command line is.
QStringList argumentsOf(const QString &parameters)
{
    return parameters.split(u' ', Qt::SkipEmptyParts);
}

// Whether the file at path, opened without following a link, is a regular
// file of the given size and SHA-256.
bool matches(const QString &path, qint64 size, const QString &sha256)
{
    const int fd = ::open(QFile::encodeName(path).constData(), O_RDONLY | O_NOFOLLOW | O_CLOEXEC);
    if (fd < 0)
        return false;
    struct stat info
    {
    };
    QFile file;
    if (::fstat(fd, &info) != 0 || !S_ISREG(info.st_mode) || info.st_size != size ||
        !file.open(fd, QIODevice::ReadOnly, QFileDevice::AutoCloseHandle)) {
        ::close(fd);
        return false;
    }
    return platform::crypto::sha256OfDevice(file) == sha256;
}

void removeDownloads(const QString &programFolder, const TsuInstallList &list)
{
    for (const TsuInstallEntry &file : list.Files)
        QFile::remove(suDownloadPath(programFolder, file.SHA256));
}

} // namespace

std::optional<TsuHelperCommand> suParseHelperArguments(const QStringList &arguments)
{
    if (arguments.isEmpty())
        return std::nullopt;
    TsuHelperCommand command;
    if (arguments.size() == 2 && arguments.at(1).startsWith(u'+')) {
        const QString tail = arguments.at(1);
        command.Executable = arguments.at(0);
        command.ExternalSetup = tail.endsWith(u'1');
        command.RestartParams = tail.size() > 2 ? tail.mid(1, tail.size() - 2) : QString();
        return command;
    }

    // Every argument followed by one space.
    const QString joined = arguments.join(u' ') + u' ';
    command.ExternalSetup = joined.size() >= 2 && joined.at(joined.size() - 2) == u'1';
    const qsizetype plus = joined.indexOf(u'+');
    if (plus < 0) {
        command.Executable = joined.chopped(1);
        return command;
    }
    command.Executable = joined.left(plus);
    if (command.Executable.endsWith(u' '))
        command.Executable.chop(1);
    // After "+": R, the method digit and the final space.
    const QString tail = joined.mid(plus + 1);
    command.RestartParams = tail.size() > 2 ? tail.chopped(2) : QString();
    return command;
}

TsuHelperPlan suPlanReplacement(const TsuHelperCommand &command, const TsuInstallList &list)
{
    TsuHelperPlan plan;
    const QString folder = folderOf(command.Executable);
    QHash<QString, int> uses;
    for (const TsuInstallEntry &file : list.Files) {
        QString source = suDownloadPath(folder, file.SHA256);
        if (const int used = uses[file.SHA256]++; used > 0) {
            const QString copy = source + u'.' + QString::number(used);
            plan.Copies.emplace_back(source, copy);
            source = copy;
        }
        switch (file.Role) {
        case TsuInstallRole::Program:
            plan.Files.push_back({source, command.Executable, true});
            break;
        case TsuInstallRole::Setup:
            plan.SetupProgram = folder + file.Name;
            plan.Files.push_back({source, plan.SetupProgram, true});
            break;
        case TsuInstallRole::File:
            plan.Files.push_back({source, folder + file.Name, false});
            break;
        }
    }
    return plan;
}

QString suCheckDownloads(const QString &programFolder, const TsuInstallList &list)
{
    for (const TsuInstallEntry &file : list.Files) {
        if (!matches(suDownloadPath(programFolder, file.SHA256), file.Size, file.SHA256))
            return file.Name;
    }
    return {};
}

bool suWaitUntilFree(const QString &program, int boundMs, int pollMs)
{
    const QDeadlineTimer deadline(boundMs);
    while (platform::executableInUse(program)) {
        if (deadline.hasExpired())
            return false;
        QThread::msleep(static_cast<unsigned long>(std::max(1, pollMs)));
    }
    return true;
}

TsuHelperOutcome suRunHelper(const TsuHelperCommand &command, const QString &listFile, int waitBoundMs)
{
    const QString folder = folderOf(command.Executable);
    QFile listReader(listFile);
    std::optional<TsuInstallList> list;
    if (listReader.open(QIODevice::ReadOnly))
        list = suReadInstallList(listReader.read(1 << 20));
    const bool listed = listReader.exists();

    if (QFileInfo::exists(command.Executable) && !suWaitUntilFree(command.Executable, waitBoundMs)) {
        // The program still runs: installing now would change it under its
        // feet, and starting it again would meet the running copy.
        if (list)
            removeDownloads(folder, *list);
        return TsuHelperOutcome::StillRunning;
    }
    // A swap an earlier helper was stopped in is settled before this one.
    suTidyProgramFolder(folder);

    if (!listed || (list && list->Files.isEmpty())) {
        platform::spawnProcess(command.Executable, argumentsOf(command.RestartParams));
        return TsuHelperOutcome::NothingToDo;
    }
    if (!list || !suCheckDownloads(folder, *list).isEmpty()) {
        if (list)
            removeDownloads(folder, *list);
        platform::spawnProcess(command.Executable, {});
        return TsuHelperOutcome::Refused;
    }

    TsuHelperPlan plan = suPlanReplacement(command, *list);
    bool copied = true;
    for (const auto &[from, to] : plan.Copies) {
        QFile::remove(to);
        copied =
            copied && (::link(QFile::encodeName(from).constData(), QFile::encodeName(to).constData()) == 0 ||
                       QFile::copy(from, to));
    }
    // The version is recorded in the same swap as the files: it changes
    // exactly when the release is in place.
    const QString record = suVersionRecordPath(folder);
    if (!list->Version.isEmpty()) {
        const QString next = record + QStringLiteral(".new");
        QFile::remove(next);
        copied = copied &&
                 platform::writeNewFile(next, "[SYS]\r\nUPDATESET=" + list->Version.toUtf8() + "\r\n", 0600);
        plan.Files.push_back({next, record, false});
    }
    if (!copied || !platform::replaceFilesAtomically(plan.Files, suSwapJournal(folder))) {
        for (const auto &copy : plan.Copies)
            QFile::remove(copy.second);
        removeDownloads(folder, *list);
        QFile::remove(record + QStringLiteral(".new"));
        platform::spawnProcess(command.Executable, {});
        return TsuHelperOutcome::RolledBack;
    }

    if (plan.SetupProgram.isEmpty()) {
        return platform::spawnProcess(command.Executable, argumentsOf(command.RestartParams)) > 0
                   ? TsuHelperOutcome::Installed
                   : TsuHelperOutcome::StartFailed;
    }
    // External setup: run it, wait for it to end (it may ask the user for a
    // long time, so without a bound), remove it and start the program.
    const qint64 setup = platform::spawnProcess(plan.SetupProgram, argumentsOf(command.RestartParams));
    if (setup > 0) {
        platform::waitForProcessExit(setup);
        suWaitUntilFree(plan.SetupProgram, waitBoundMs);
    }
    QFile::remove(plan.SetupProgram);
    const qint64 program = platform::spawnProcess(command.Executable, argumentsOf(command.RestartParams));
    return setup > 0 && program > 0 ? TsuHelperOutcome::Installed : TsuHelperOutcome::StartFailed;
}
