// The replacement helper of the online upgrade ("Updater.exe"): written out
// and started by the program as it closes for an upgrade.
#include "upgrade/helper/suUpgradeHelper.h"

#include "platform/os/ExecutablePath.h"
#include "platform/os/Processes.h"

#include <QAbstractButton>
#include <QApplication>
#include <QMessageBox>

#include <cstdio>

namespace {

const char *const kAbout = "本程序由软件的在线升级功能自动启动，\n"
                           "在软件关闭后安装新版本的文件，\n"
                           "然后重新启动软件。请不要直接运行它。";

// Started by hand, without arguments: say what this is and end.
int explain(int argc, char **argv)
{
    const bool graphical = !qEnvironmentVariableIsEmpty("DISPLAY") ||
                           !qEnvironmentVariableIsEmpty("WAYLAND_DISPLAY") ||
                           !qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM");
    if (!graphical) {
        std::fprintf(stderr, "Updater v1.0\n%s\n", kAbout);
        return 0;
    }
    QApplication application(argc, argv);
    QMessageBox box(QMessageBox::Information, QStringLiteral("Updater v1.0"), QString::fromUtf8(kAbout),
                    QMessageBox::Ok);
    box.button(QMessageBox::Ok)->setText(QStringLiteral("确定"));
    box.exec();
    return 0;
}

// A line on standard error for a run that did not end with the program
// started again, and the exit status that tells the outcome apart.
int report(TsuHelperOutcome outcome, const TsuHelperCommand &command)
{
    const QByteArray program = command.Executable.toLocal8Bit();
    switch (outcome) {
    case TsuHelperOutcome::Installed:
    case TsuHelperOutcome::NothingToDo:
        return 0;
    case TsuHelperOutcome::StillRunning:
        std::fprintf(stderr, "Updater: %s 在 %d 秒内没有结束，未安装任何文件。\n", program.constData(),
                     kHelperWaitBoundMs / 1000);
        return 2;
    case TsuHelperOutcome::Refused:
        std::fprintf(stderr, "Updater: 下载的文件未通过检查，未安装任何文件，%s 保持原样。\n",
                     program.constData());
        return 5;
    case TsuHelperOutcome::RolledBack:
        std::fprintf(stderr, "Updater: 新文件无法安装，%s 的原有文件已恢复。\n", program.constData());
        return 3;
    case TsuHelperOutcome::StartFailed:
        std::fprintf(stderr, "Updater: 新文件已安装，但无法启动 %s。\n", program.constData());
        return 4;
    }
    return 1;
}

} // namespace

int main(int argc, char **argv)
{
    // The helper and the program it starts again outlive the program that
    // started the helper, and with it whoever read that program's output:
    // a line written to a pipe nobody reads any more must not end either.
    platform::ignoreBrokenPipes();

    QStringList arguments;
    for (int i = 1; i < argc; ++i)
        arguments << QString::fromLocal8Bit(argv[i]);
    const std::optional<TsuHelperCommand> command = suParseHelperArguments(arguments);
    if (!command)
        return explain(argc, argv);
    // The program leaves the list of what to install beside the helper, in
    // the helper's private folder.
    return report(suRunHelper(*command, platform::executableFolder() + kInstallListName), *command);
}
