#include "upgrade/helper/suUpgradeHelper.h"

#include "platform/os/Processes.h"

#include <QDeadlineTimer>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QThread>

namespace {

const QString kTempSuffix = QStringLiteral(".uTMP");

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

void removeDownloads(const TsuHelperPlan &plan)
{
    for (const platform::FileReplacement &file : plan.Files)
        QFile::remove(file.source);
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

TsuHelperPlan suPlanReplacement(const TsuHelperCommand &command)
{
    TsuHelperPlan plan;
    const QString folder = folderOf(command.Executable);
    const QString programName = command.Executable.mid(folder.size());
    // A file named after the program itself was downloaded: it is the new
    // program, and no other file takes its place.
    bool executableNamed = QFileInfo(command.Executable + kTempSuffix).isFile();

    const QStringList downloads = QDir(folder.isEmpty() ? QStringLiteral(".") : folder)
                                      .entryList({QStringLiteral("*") + kTempSuffix},
                                                 QDir::Files | QDir::Hidden | QDir::NoSymLinks, QDir::Name);
    for (const QString &download : downloads) {
        QString name = download.chopped(kTempSuffix.size());
        const QString source = folder + download;
        if (name.isEmpty() || name == QStringLiteral(".") || name == QStringLiteral("..")) {
            plan.Ignored << source;
            continue;
        }
        bool runnable = name == programName;
        if (!executableNamed && name.endsWith(QStringLiteral("exe"))) {
            executableNamed = true;
            runnable = true;
            if (command.ExternalSetup)
                plan.SetupProgram = folder + name;
            else
                name = programName;
        }
        plan.Files.push_back({source, folder + name, runnable});
    }
    return plan;
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

TsuHelperOutcome suRunHelper(const TsuHelperCommand &command, int waitBoundMs)
{
    const TsuHelperPlan plan = suPlanReplacement(command);
    if (QFileInfo::exists(command.Executable) && !suWaitUntilFree(command.Executable, waitBoundMs)) {
        // The program still runs: installing now would change it under its
        // feet, and starting it again would meet the running copy.
        removeDownloads(plan);
        return TsuHelperOutcome::StillRunning;
    }
    if (plan.Files.empty()) {
        platform::spawnProcess(command.Executable, argumentsOf(command.RestartParams));
        return TsuHelperOutcome::NothingToDo;
    }
    if (!platform::replaceFilesAtomically(plan.Files)) {
        removeDownloads(plan);
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
